// The field lists and field combo boxes, built from the sample line.
#include <QComboBox>
#include <QPushButton>

#include "records/Exceptions.h"
#include "run/SampleLine.h"
#include "ui/Cp932Text.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"
#include "ui/main.h"

namespace quellor::ui {

namespace {

QString FieldEntry(int number, std::string_view sample) {
    return QString::fromUtf8("[第%1ﾌｨｰﾙﾄﾞ]\u3000%2")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(ShowCp932(sample));
}

QString U(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

void TfrmMain::BuildFieldChoices() {
    ListBox2->clear();
    ListBox3->clear();
    if (ListBox1->count() == 0) return;
    const std::string path = FilePath(0);
    const ShownFields sample = SampleFieldsShown(path);
    const std::vector<std::string>& fields = sample.Fields;
    const QList<QComboBox*> combos = {ComboBox1, ComboBox3, ComboBox5};
    for (QComboBox* c : combos) {
        c->clear();
        c->addItem(QString());
    }
    for (int k = 1; k <= static_cast<int>(fields.size()); ++k) {
        ListBox2->addItem(FieldEntry(k, fields[static_cast<std::size_t>(k - 1)]));
        for (QComboBox* c : combos) c->addItem(U(kFieldChoice).arg(k));
    }
    for (QComboBox* c : combos) c->setCurrentIndex(0);
    FitScrollWidth(ListBox2);
    // The choosers hold what fits; the user learns why the rest is missing.
    const std::string notice = ShownLineNotice(path, 1, sample.LineCut, sample.FieldsCut);
    if (!notice.empty()) throw Exception(notice);
}

void TfrmMain::MoveSelected(ListBox* from, ListBox* to) {
    QStringList moving;
    for (int i = 0; i < from->count(); ++i) {
        if (from->item(i)->isSelected()) moving << from->item(i)->text();
    }
    for (const QString& text : moving) to->addItem(text);
    for (int i = from->count() - 1; i >= 0; --i) {
        if (from->item(i)->isSelected()) delete from->takeItem(i);
    }
}

void TfrmMain::Button1Click() {
    if (ListBox2->count() == 0) return;
    MoveSelected(ListBox2, ListBox3);
    FitScrollWidth(ListBox2);
    FitScrollWidth(ListBox3);
}

void TfrmMain::Button2Click() {
    if (ListBox3->count() == 0) return;
    MoveSelected(ListBox3, ListBox2);
    FitScrollWidth(ListBox2);
    FitScrollWidth(ListBox3);
}

// The entry with the keyboard focus; a filled list always has one.
int TfrmMain::CurrentEntry() const {
    int row = ListBox3->currentRow();
    return row >= 0 ? row : 0;
}

void TfrmMain::RewriteEntry(int row, const QString& text) {
    QListWidgetItem* item = ListBox3->item(row);
    item->setText(text);
    item->setSelected(false);
}

void TfrmMain::MarkEntry(int row) {
    ListBox3->item(row)->setSelected(true);
    // The focus follows the moved entry, so a second press moves it on.
    ListBox3->selectionModel()->setCurrentIndex(ListBox3->model()->index(row, 0),
                                                QItemSelectionModel::NoUpdate);
}

void TfrmMain::Button3Click() {
    if (ListBox3->count() == 0) return;
    int p = CurrentEntry();
    if (p == 0) return;
    QString taken = ListBox3->item(p)->text();
    for (int i = p; i > 0; --i) RewriteEntry(i, ListBox3->item(i - 1)->text());
    RewriteEntry(0, taken);
    MarkEntry(0);
}

void TfrmMain::Button4Click() {
    if (ListBox3->count() == 0) return;
    int p = CurrentEntry();
    if (p == 0) return;
    QString upper = ListBox3->item(p - 1)->text();
    RewriteEntry(p - 1, ListBox3->item(p)->text());
    RewriteEntry(p, upper);
    MarkEntry(p - 1);
}

void TfrmMain::Button5Click() {
    if (ListBox3->count() == 0) return;
    int p = CurrentEntry();
    int last = ListBox3->count() - 1;
    if (p == last) return;
    QString lower = ListBox3->item(p + 1)->text();
    RewriteEntry(p + 1, ListBox3->item(p)->text());
    RewriteEntry(p, lower);
    MarkEntry(p + 1);
}

void TfrmMain::Button6Click() {
    if (ListBox3->count() == 0) return;
    int p = CurrentEntry();
    int last = ListBox3->count() - 1;
    if (p == last) return;
    QString taken = ListBox3->item(p)->text();
    for (int i = p; i < last; ++i) RewriteEntry(i, ListBox3->item(i + 1)->text());
    RewriteEntry(last, taken);
    MarkEntry(last);
}

void TfrmMain::ListBox3Click() {
    bool few = ListBox3->selectedItems().size() < 2;
    for (QPushButton* b : {Button3, Button4, Button5, Button6}) b->setEnabled(few);
}

}  // namespace quellor::ui
