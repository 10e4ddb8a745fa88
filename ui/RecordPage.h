// The record extraction page (TabSheet2): one or two search conditions.
#pragma once

#include <QWidget>

#include "run/RunChoices.h"
#include "ui/Scale.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace quellor::ui {

class RadioGroup;

class RecordPage : public QWidget {
  public:
    // Makes the page and its controls as the next tab of pages.
    RecordPage(QTabWidget* pages, Scale scale);

    // The check box keeps what the user last gave it.
    void Reset();
    // The fields of the sample line to test: an empty entry, then 1 to count.
    void TakeFieldCount(int count);
    RecordChoice Choice() const;
    // Sets the controls to a choice (a loaded job); the field numbers the
    // combo boxes do not have are returned and left unchosen.
    std::vector<int> TakeChoice(const RecordChoice& choice);

  private:
    void SwitchClicked();

    struct Controls {
        RadioGroup* onOff = nullptr;
        QGroupBox* group = nullptr;
        QLabel* firstIs = nullptr;
        QLabel* secondIs = nullptr;
        QComboBox* firstField = nullptr;
        QLineEdit* firstText = nullptr;
        QComboBox* firstMode = nullptr;
        RadioGroup* join = nullptr;
        QComboBox* secondField = nullptr;
        QLineEdit* secondText = nullptr;
        QComboBox* secondMode = nullptr;
        QCheckBox* noFileWhenEmpty = nullptr;
    };
    Controls c_;
};

}  // namespace quellor::ui
