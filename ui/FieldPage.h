// The field extraction page (TabSheet1): which fields to keep, in which order.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "ui/Controls.h"

namespace quellor::ui {

// What the page hands to a run.
struct FieldChoice {
    bool On = false;
    std::vector<int> ChosenFields;  // 1-based, in output order
    // Every field of the sample stands in one of the two lists.
    int ExpectedFieldCount = 0;
};

class FieldPage : public QWidget {
  public:
    FieldPage() = default;

    // Takes the page's controls once the layout has made them.
    void Bind(const FieldPageControls& controls, Scale scale);

    void Reset();
    // Empties both lists (before a new sample is read).
    void ClearFields();
    // One entry per field of the sample line, none chosen.
    void TakeSample(const std::vector<std::string>& fields, Encoding encoding);
    FieldChoice Choice() const;

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

    FieldPageControls c_;
    Scale scale_;
};

}  // namespace quellor::ui
