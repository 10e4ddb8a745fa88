// The field extraction page (TabSheet1): which fields to keep, in which order.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "ui/Scale.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace quellor::ui {

class ListBox;
class RadioGroup;

// What the page hands to a run.
struct FieldChoice {
    bool On = false;
    std::vector<int> ChosenFields;  // 1-based, in output order
    // Every field of the sample stands in one of the two lists.
    int ExpectedFieldCount = 0;
};

class FieldPage : public QWidget {
  public:
    // Makes the page and its controls as the first tab of pages.
    FieldPage(QTabWidget* pages, Scale scale);

    void Reset();
    // Empties both lists (before a new sample is read).
    void ClearFields();
    // One entry per field of the sample line, none chosen.
    void TakeSample(const std::vector<std::string>& fields, Encoding encoding);
    FieldChoice Choice() const;
    // Sets the switch and chooses the fields in order (a loaded job); the
    // numbers the sample has no field for are returned.
    std::vector<int> TakeChoice(bool on, const std::vector<int>& fields);

  private:
    void SwitchClicked();
    void ChooseClicked();
    void GiveBackClicked();
    void ToTopClicked();
    void UpOneClicked();
    void DownOneClicked();
    void ToBottomClicked();
    void ChosenSelectionChanged();

    void MoveSelected(ListBox* from, ListBox* to);
    int CurrentEntry() const;
    void MarkEntry(int row);

    struct Controls {
        RadioGroup* onOff = nullptr;
        QGroupBox* group = nullptr;
        QLabel* sourceCaption = nullptr;
        QLabel* chosenCaption = nullptr;
        ListBox* sourceList = nullptr;  // kept sorted by its texts
        ListBox* chosenList = nullptr;  // in output order
        QPushButton* chooseButton = nullptr;
        QPushButton* giveBackButton = nullptr;
        QPushButton* toTopButton = nullptr;
        QPushButton* upOneButton = nullptr;
        QPushButton* downOneButton = nullptr;
        QPushButton* toBottomButton = nullptr;
    };
    Controls c_;
    Scale scale_;
};

}  // namespace quellor::ui
