#include "ui/FieldCombo.h"

#include <QComboBox>

#include "ui/UiTexts.h"

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

bool ChooseField(QComboBox* combo, int number) {
    const int index = combo->findData(number);
    combo->setCurrentIndex(index < 0 ? 0 : index);
    return index >= 0;
}

}  // namespace quellor::ui
