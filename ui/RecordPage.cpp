#include "ui/RecordPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "ui/ErrorDisplay.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"

namespace quellor::ui {

void FillFieldChoices(QComboBox* combo, int count) {
    combo->clear();
    combo->addItem(QString(), 0);
    for (int k = 1; k <= count; ++k) combo->addItem(QString::fromUtf8(kFieldChoice).arg(k), k);
    combo->setCurrentIndex(0);
}

int ChosenField(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? 0 : combo->currentData().toInt();
}

namespace {

MatchMode ModeOf(const QComboBox* combo) {
    return static_cast<MatchMode>(qMax(0, combo->currentIndex()));
}

}  // namespace

void RecordPage::Bind(const RecordPageControls& controls) {
    c_ = controls;
    connect(c_.onOff, &RadioGroup::clicked, this, [this] { Guarded([&] { SwitchClicked(); }); });
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

void RecordPage::SwitchClicked() {
    const bool on = c_.onOff->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{c_.firstField, c_.firstMode, c_.secondField,
                                                      c_.secondMode, c_.firstText, c_.secondText,
                                                      c_.join, c_.noFileWhenEmpty}) {
        w->setEnabled(on);
    }
}

}  // namespace quellor::ui
