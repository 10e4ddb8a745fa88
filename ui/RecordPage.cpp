#include "ui/RecordPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "ui/ControlRows.h"
#include "ui/ErrorDisplay.h"
#include "ui/FieldCombo.h"
#include "ui/RadioGroup.h"

namespace quellor::ui {

namespace {

MatchMode ModeOf(const QComboBox* combo) {
    return static_cast<MatchMode>(qMax(0, combo->currentIndex()));
}

}  // namespace

RecordPage::RecordPage(QTabWidget* pages, Scale scale) {
    AddPage(pages, this, "TabSheet2", "ﾚｺｰﾄﾞ抽出");
    const char* modes = "と完全に一致する\nを含む\nで始まる\nで終わる";
    // The second condition's modes end in an empty entry that names none.
    const char* modesAndNone = "と完全に一致する\nを含む\nで始まる\nで終わる\n";
    // The field combo boxes are as wide as their widest entry, "第4096ﾌｨｰﾙﾄﾞ".
    BuildControls(this,
                  {
                      {"RadioGroup2", &c_.onOff, "TabSheet2", 8, 8, 185, 33, "する\nしない"},
                      {"GroupBox1", &c_.group, "TabSheet2", 8, 48, 529, 153,
                       "抽出するﾚｺｰﾄﾞの文字列検索条件を指定して下さい"},
                      {"Label9", &c_.firstIs, "GroupBox1", 121, 30, 12, 12, "が"},
                      {"Label12", &c_.secondIs, "GroupBox1", 121, 100, 12, 12, "が"},
                      {"ComboBox1", &c_.firstField, "GroupBox1", 8, 24, 107, 20, ""},
                      {"Edit1", &c_.firstText, "GroupBox1", 138, 24, 239, 20, ""},
                      {"ComboBox2", &c_.firstMode, "GroupBox1", 384, 24, 137, 20, modes},
                      {"RadioGroup1", &c_.join, "GroupBox1", 10, 48, 189, 33, "かつ\nまたは"},
                      {"ComboBox3", &c_.secondField, "GroupBox1", 8, 93, 107, 20, ""},
                      {"Edit2", &c_.secondText, "GroupBox1", 138, 93, 239, 20, ""},
                      {"ComboBox4", &c_.secondMode, "GroupBox1", 384, 93, 137, 20, modesAndNone},
                      {"CheckBox2", &c_.noFileWhenEmpty, "GroupBox1", 8, 128, 233, 17,
                       "抽出ﾚｺｰﾄﾞがなければﾌｧｲﾙを作成しない"},
                  },
                  scale);
    ConnectGuarded(c_.onOff, &RadioGroup::clicked, this, &RecordPage::SwitchClicked);
}

void RecordPage::Reset() {
    c_.firstField->clear();
    c_.secondField->clear();
    c_.firstMode->setCurrentIndex(0);
    c_.secondMode->setCurrentIndex(0);
    c_.firstText->clear();
    c_.secondText->clear();
    c_.onOff->SetItemIndex(1);
    c_.join->SetItemIndex(0);
    SwitchClicked();
}

void RecordPage::TakeFieldCount(int count) {
    FillFieldChoices(c_.firstField, count);
    FillFieldChoices(c_.secondField, count);
}

RecordChoice RecordPage::Choice() const {
    RecordChoice choice;
    choice.On = c_.onOff->ItemIndex() == 0;
    choice.Condition1 = {ChosenField(c_.firstField), c_.firstText->text().toStdString(),
                         ModeOf(c_.firstMode)};
    choice.Condition2 = {ChosenField(c_.secondField), c_.secondText->text().toStdString(),
                         ModeOf(c_.secondMode)};
    choice.JoinWithOr = c_.join->ItemIndex() == 1;
    choice.NoFileWhenEmpty = c_.noFileWhenEmpty->isChecked();
    return choice;
}

std::vector<int> RecordPage::TakeChoice(const RecordChoice& choice) {
    std::vector<int> missing;
    c_.onOff->SetItemIndex(choice.On ? 0 : 1);
    const struct {
        QComboBox* field;
        QLineEdit* text;
        QComboBox* mode;
        const ConditionChoice& condition;
    } rows[] = {{c_.firstField, c_.firstText, c_.firstMode, choice.Condition1},
                {c_.secondField, c_.secondText, c_.secondMode, choice.Condition2}};
    for (const auto& row : rows) {
        if (!ChooseField(row.field, row.condition.FieldNumber))
            missing.push_back(row.condition.FieldNumber);
        row.text->setText(QString::fromStdString(row.condition.Text));
        row.mode->setCurrentIndex(static_cast<int>(row.condition.Mode));
    }
    c_.join->SetItemIndex(choice.JoinWithOr ? 1 : 0);
    c_.noFileWhenEmpty->setChecked(choice.NoFileWhenEmpty);
    SwitchClicked();
    return missing;
}

void RecordPage::SwitchClicked() {
    const bool on = c_.onOff->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{c_.firstField, c_.firstMode, c_.secondField,
                                                      c_.secondMode, c_.firstText, c_.secondText,
                                                      c_.join, c_.noFileWhenEmpty}) {
        w->setEnabled(on);
    }
}

}  // namespace quellor::ui
