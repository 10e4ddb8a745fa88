// The sort page (TabSheet3): key field, direction, repeated records aside.
#pragma once

#include <QWidget>

#include "run/RunChoices.h"
#include "ui/Scale.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace quellor::ui {

class RadioGroup;

class SortPage : public QWidget {
  public:
    // Makes the page and its controls as the next tab of pages.
    SortPage(QTabWidget* pages, Scale scale);

    // The check boxes keep what the user last gave them.
    void Reset();
    void TakeFieldCount(int count);
    SortChoice Choice() const;
    // Sets the controls to a choice (a loaded job); false when the key is
    // not among the fields, which leaves no key chosen.
    bool TakeChoice(const SortChoice& choice);

  private:
    void SwitchClicked();

    struct Controls {
        RadioGroup* onOff = nullptr;
        QGroupBox* group = nullptr;
        QLabel* keyCaption = nullptr;
        QLabel* orderCaption = nullptr;
        QComboBox* keyField = nullptr;
        QCheckBox* duplicatesToFile = nullptr;
        QComboBox* order = nullptr;
        QCheckBox* numericKey = nullptr;
    };
    Controls c_;
};

}  // namespace quellor::ui
