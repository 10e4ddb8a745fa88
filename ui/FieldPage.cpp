#include "ui/FieldPage.h"

#include <QPushButton>

#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/Widgets.h"
#include "ui/WindowLayout.h"

namespace quellor::ui {

namespace {

// Entries carry their field number as data; the text is for the user only.
constexpr int kFieldNumberRole = Qt::UserRole;

QString EntryText(int number, std::string_view sample, Encoding encoding) {
    return QString::fromUtf8("[第%1ﾌｨｰﾙﾄﾞ]\u3000%2")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(ShowText(sample, encoding));
}

// An entry's content, moved as a whole when the order is rewritten.
struct Entry {
    QString text;
    QVariant number;
};

Entry EntryAt(ListBox* list, int row) {
    QListWidgetItem* item = list->item(row);
    return {item->text(), item->data(kFieldNumberRole)};
}

// Rewriting a position takes its selection mark away.
void Rewrite(ListBox* list, int row, const Entry& entry) {
    QListWidgetItem* item = list->item(row);
    item->setText(entry.text);
    item->setData(kFieldNumberRole, entry.number);
    item->setSelected(false);
}

}  // namespace

void FieldPage::Bind(const FieldPageControls& controls, Scale scale) {
    c_ = controls;
    scale_ = scale;
    c_.sourceList->setSortingEnabled(true);
    auto on = [this](auto* sender, auto signal, void (FieldPage::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    on(c_.onOff, &RadioGroup::clicked, &FieldPage::SwitchClicked);
    on(c_.chooseButton, &QPushButton::clicked, &FieldPage::ChooseClicked);
    on(c_.giveBackButton, &QPushButton::clicked, &FieldPage::GiveBackClicked);
    on(c_.toTopButton, &QPushButton::clicked, &FieldPage::ToTopClicked);
    on(c_.upOneButton, &QPushButton::clicked, &FieldPage::UpOneClicked);
    on(c_.downOneButton, &QPushButton::clicked, &FieldPage::DownOneClicked);
    on(c_.toBottomButton, &QPushButton::clicked, &FieldPage::ToBottomClicked);
    on(c_.sourceList, &ListBox::userDoubleClicked, &FieldPage::ChooseClicked);
    on(c_.chosenList, &ListBox::userDoubleClicked, &FieldPage::GiveBackClicked);
    on(c_.chosenList, &ListBox::userSelectionChanged, &FieldPage::ChosenSelectionChanged);
}

void FieldPage::Reset() {
    ClearFields();
    c_.onOff->SetItemIndex(0);
    SwitchClicked();
}

void FieldPage::ClearFields() {
    c_.sourceList->clear();
    c_.chosenList->clear();
}

void FieldPage::TakeSample(const std::vector<std::string>& fields, Encoding encoding) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const int number = static_cast<int>(k) + 1;
        auto* item = new QListWidgetItem(EntryText(number, fields[k], encoding));
        item->setData(kFieldNumberRole, number);
        c_.sourceList->addItem(item);
    }
    FitScrollWidth(c_.sourceList, scale_);
}

FieldChoice FieldPage::Choice() const {
    FieldChoice choice;
    choice.On = c_.onOff->ItemIndex() == 0;
    for (int i = 0; i < c_.chosenList->count(); ++i) {
        choice.ChosenFields.push_back(c_.chosenList->item(i)->data(kFieldNumberRole).toInt());
    }
    choice.ExpectedFieldCount = c_.sourceList->count() + c_.chosenList->count();
    return choice;
}

void FieldPage::SwitchClicked() {
    const bool on = c_.onOff->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c_.sourceList, c_.chosenList, c_.chooseButton, c_.giveBackButton, c_.toTopButton,
             c_.upOneButton, c_.downOneButton, c_.toBottomButton}) {
        w->setEnabled(on);
    }
}

// Entries move whole, in the order of the list they leave.
void FieldPage::MoveSelected(ListBox* from, ListBox* to) {
    QList<int> rows;
    for (int i = 0; i < from->count(); ++i) {
        if (from->item(i)->isSelected()) rows << i;
    }
    QList<QListWidgetItem*> moving;
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
        moving.prepend(from->takeItem(rows[i]));
    }
    for (QListWidgetItem* item : moving) to->addItem(item);
}

void FieldPage::ChooseClicked() {
    if (c_.sourceList->count() == 0) return;
    MoveSelected(c_.sourceList, c_.chosenList);
    FitScrollWidth(c_.sourceList, scale_);
    FitScrollWidth(c_.chosenList, scale_);
}

void FieldPage::GiveBackClicked() {
    if (c_.chosenList->count() == 0) return;
    MoveSelected(c_.chosenList, c_.sourceList);
    FitScrollWidth(c_.sourceList, scale_);
    FitScrollWidth(c_.chosenList, scale_);
}

// The entry with the keyboard focus; a filled list always has one.
int FieldPage::CurrentEntry() const {
    int row = c_.chosenList->currentRow();
    return row >= 0 ? row : 0;
}

void FieldPage::MarkEntry(int row) {
    ListBox* list = c_.chosenList;
    list->item(row)->setSelected(true);
    // The focus follows the moved entry, so a second press moves it on.
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::NoUpdate);
}

void FieldPage::ToTopClicked() {
    ListBox* list = c_.chosenList;
    if (list->count() == 0) return;
    int p = CurrentEntry();
    if (p == 0) return;
    Entry taken = EntryAt(list, p);
    for (int i = p; i > 0; --i) Rewrite(list, i, EntryAt(list, i - 1));
    Rewrite(list, 0, taken);
    MarkEntry(0);
}

void FieldPage::UpOneClicked() {
    ListBox* list = c_.chosenList;
    if (list->count() == 0) return;
    int p = CurrentEntry();
    if (p == 0) return;
    Entry upper = EntryAt(list, p - 1);
    Rewrite(list, p - 1, EntryAt(list, p));
    Rewrite(list, p, upper);
    MarkEntry(p - 1);
}

void FieldPage::DownOneClicked() {
    ListBox* list = c_.chosenList;
    if (list->count() == 0) return;
    int p = CurrentEntry();
    if (p == list->count() - 1) return;
    Entry lower = EntryAt(list, p + 1);
    Rewrite(list, p + 1, EntryAt(list, p));
    Rewrite(list, p, lower);
    MarkEntry(p + 1);
}

void FieldPage::ToBottomClicked() {
    ListBox* list = c_.chosenList;
    if (list->count() == 0) return;
    int p = CurrentEntry();
    int last = list->count() - 1;
    if (p == last) return;
    Entry taken = EntryAt(list, p);
    for (int i = p; i < last; ++i) Rewrite(list, i, EntryAt(list, i + 1));
    Rewrite(list, last, taken);
    MarkEntry(last);
}

void FieldPage::ChosenSelectionChanged() {
    bool few = c_.chosenList->selectedItems().size() < 2;
    for (QPushButton* b : {c_.toTopButton, c_.upOneButton, c_.downOneButton, c_.toBottomButton}) {
        b->setEnabled(few);
    }
}

}  // namespace quellor::ui
