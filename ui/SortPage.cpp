#include "ui/SortPage.h"

#include <QCheckBox>
#include <QComboBox>

#include "ui/ControlRows.h"
#include "ui/ErrorDisplay.h"
#include "ui/FieldCombo.h"
#include "ui/RadioGroup.h"

namespace quellor::ui {

SortPage::SortPage(QTabWidget* pages, Scale scale) {
    AddPage(pages, this, "TabSheet3", "ｿｰﾄ");
    BuildControls(
        this,
        {
            {"RadioGroup4", &c_.onOff, "TabSheet3", 8, 8, 185, 33, "する\nしない"},
            {"GroupBox3", &c_.group, "TabSheet3", 8, 48, 529, 89, "ｿｰﾄｷｰを指定して下さい"},
            {"Label14", &c_.keyCaption, "GroupBox3", 122, 28, 37, 12, "をｷｰに"},
            {"Label15", &c_.orderCaption, "GroupBox3", 250, 28, 54, 12, "でｿｰﾄする"},
            {"ComboBox5", &c_.keyField, "GroupBox3", 8, 24, 107, 20, ""},
            {"CheckBox1", &c_.duplicatesToFile, "GroupBox3", 8, 56, 265, 17,
             "重複しているﾚｺｰﾄﾞを除去し別ﾌｧｲﾙに書き出す"},
            {"ComboBox6", &c_.order, "GroupBox3", 170, 24, 73, 20, "昇順\n降順"},
            // After the sentence it qualifies: "key field, ascending, as numbers".
            {"NumericKeyCheck", &c_.numericKey, "GroupBox3", 316, 26, 49, 17, "数値"},
        },
        scale);
    ConnectGuarded(c_.onOff, &RadioGroup::clicked, this, &SortPage::SwitchClicked);
}

void SortPage::Reset() {
    c_.keyField->clear();
    c_.order->setCurrentIndex(0);
    c_.onOff->SetItemIndex(1);
    SwitchClicked();
}

void SortPage::TakeFieldCount(int count) {
    FillFieldChoices(c_.keyField, count);
}

SortChoice SortPage::Choice() const {
    SortChoice choice;
    choice.On = c_.onOff->ItemIndex() == 0;
    choice.KeyField = ChosenField(c_.keyField);
    choice.Descending = c_.order->currentIndex() == 1;
    choice.Numeric = c_.numericKey->isChecked();
    choice.DuplicatesToFile = c_.duplicatesToFile->isChecked();
    return choice;
}

bool SortPage::TakeChoice(const SortChoice& choice) {
    c_.onOff->SetItemIndex(choice.On ? 0 : 1);
    const bool found = ChooseField(c_.keyField, choice.KeyField);
    c_.order->setCurrentIndex(choice.Descending ? 1 : 0);
    c_.duplicatesToFile->setChecked(choice.DuplicatesToFile);
    c_.numericKey->setChecked(choice.Numeric);
    SwitchClicked();
    return found;
}

void SortPage::SwitchClicked() {
    const bool on = c_.onOff->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{c_.keyField, c_.order, c_.numericKey,
                                                      c_.duplicatesToFile}) {
        w->setEnabled(on);
    }
}

}  // namespace quellor::ui
