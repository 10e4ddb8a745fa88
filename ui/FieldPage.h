// The field extraction page (TabSheet1): which fields to keep, in which order.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "run/RunChoices.h"
#include "ui/Scale.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace quellor::ui {

class ListBox;
class RadioGroup;

class FieldPage : public QWidget {
  public:
    // Makes the page and its controls as the first tab of pages.
    FieldPage(QTabWidget* pages, Scale scale);

    void Reset();
    // Empties both lists (before a new sample is read).
    void ClearFields();
    // One entry per field of the sample line, none chosen.
    void TakeSample(const std::vector<std::string>& fields, Encoding encoding);
    // The expected field count is the sample's: every field of it stands in
    // one of the two lists.
    FieldChoice Choice() const;
    // Sets the switch and chooses the fields in order (a loaded job); the
    // numbers the sample has no field for are returned. The field count
    // stays the sample's.
    std::vector<int> TakeChoice(const FieldChoice& choice);

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
