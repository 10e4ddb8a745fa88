#include "ui/FieldPage.h"

#include <QPushButton>

#include "ui/ControlRows.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListBox.h"
#include "ui/RadioGroup.h"

namespace quellor::ui {

namespace {

// Entries carry their field number as data; the text is for the user only.
constexpr int kFieldNumberRole = Qt::UserRole;

QString EntryText(int number, std::string_view sample, Encoding encoding) {
    return QString::fromUtf8("[第%1ﾌｨｰﾙﾄﾞ]\u3000%2")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(ShowValue(sample, encoding));
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

FieldPage::FieldPage(QTabWidget* pages, Scale scale) : scale_(scale) {
    AddPage(pages, this, "TabSheet1", "ﾌｨｰﾙﾄﾞ抽出");
    constexpr Fit grows = Fit::ToText;
    BuildControls(
        this,
        {
            {"RadioGroup3", &c_.onOff, "TabSheet1", 8, 8, 185, 33, "する\nしない"},
            {"GroupBox2", &c_.group, "TabSheet1", 8, 48, 529, 153,
             "抽出するﾌｨｰﾙﾄﾞを選択し並び替えてください（１番目のﾌｧｲﾙの1行目をｻﾝﾌﾟﾙとしています）"},
            {"Label10", &c_.sourceCaption, "GroupBox2", 8, 16, 94, 12, "元のﾌｨｰﾙﾄﾞと順番", grows},
            {"Label11", &c_.chosenCaption, "GroupBox2", 272, 16, 116, 12, "抽出するﾌｨｰﾙﾄﾞと順番",
             grows},
            {"ListBox2", &c_.sourceList, "GroupBox2", 8, 32, 217, 113, ""},
            {"ListBox3", &c_.chosenList, "GroupBox2", 272, 32, 217, 113, ""},
            {"Button1", &c_.chooseButton, "GroupBox2", 232, 64, 33, 17, "→"},
            {"Button2", &c_.giveBackButton, "GroupBox2", 232, 96, 33, 17, "←"},
            {"Button3", &c_.toTopButton, "GroupBox2", 496, 40, 25, 25, "▲"},
            {"Button4", &c_.upOneButton, "GroupBox2", 496, 64, 25, 25, "△"},
            {"Button5", &c_.downOneButton, "GroupBox2", 496, 88, 25, 25, "▽"},
            {"Button6", &c_.toBottomButton, "GroupBox2", 496, 112, 25, 25, "▼"},
        },
        scale);
    c_.sourceList->setSortingEnabled(true);
    ConnectGuarded(c_.onOff, &RadioGroup::clicked, this, &FieldPage::SwitchClicked);
    ConnectGuarded(c_.chooseButton, &QPushButton::clicked, this, &FieldPage::ChooseClicked);
    ConnectGuarded(c_.giveBackButton, &QPushButton::clicked, this, &FieldPage::GiveBackClicked);
    ConnectGuarded(c_.toTopButton, &QPushButton::clicked, this, &FieldPage::ToTopClicked);
    ConnectGuarded(c_.upOneButton, &QPushButton::clicked, this, &FieldPage::UpOneClicked);
    ConnectGuarded(c_.downOneButton, &QPushButton::clicked, this, &FieldPage::DownOneClicked);
    ConnectGuarded(c_.toBottomButton, &QPushButton::clicked, this, &FieldPage::ToBottomClicked);
    ConnectGuarded(c_.sourceList, &ListBox::userDoubleClicked, this, &FieldPage::ChooseClicked);
    ConnectGuarded(c_.chosenList, &ListBox::userDoubleClicked, this, &FieldPage::GiveBackClicked);
    ConnectGuarded(c_.chosenList, &ListBox::userSelectionChanged, this,
                   &FieldPage::ChosenSelectionChanged);
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

std::vector<int> FieldPage::TakeChoice(const FieldChoice& choice) {
    c_.onOff->SetItemIndex(choice.On ? 0 : 1);
    while (c_.chosenList->count() > 0) c_.sourceList->addItem(c_.chosenList->takeItem(0));
    std::vector<int> missing;
    for (int number : choice.ChosenFields) {
        int row = c_.sourceList->count() - 1;
        while (row >= 0 && c_.sourceList->item(row)->data(kFieldNumberRole).toInt() != number)
            --row;
        if (row < 0) {
            missing.push_back(number);
            continue;
        }
        c_.chosenList->addItem(c_.sourceList->takeItem(row));
    }
    FitScrollWidth(c_.sourceList, scale_);
    FitScrollWidth(c_.chosenList, scale_);
    SwitchClicked();
    return missing;
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
