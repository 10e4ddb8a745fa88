#include "ui/SortPage.h"

#include <QCheckBox>
#include <QComboBox>

#include "ui/ErrorDisplay.h"
#include "ui/RecordPage.h"
#include "ui/Widgets.h"

namespace quellor::ui {

void SortPage::Bind(const SortPageControls& controls) {
    c_ = controls;
    connect(c_.onOff, &RadioGroup::clicked, this, [this] { Guarded([&] { SwitchClicked(); }); });
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
    choice.DuplicatesToFile = c_.duplicatesToFile->isChecked();
    return choice;
}

void SortPage::SwitchClicked() {
    const bool on = c_.onOff->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{c_.keyField, c_.order, c_.duplicatesToFile}) {
        w->setEnabled(on);
    }
}

}  // namespace quellor::ui
