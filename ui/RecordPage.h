// The record extraction page (TabSheet2): one or two search conditions.
#pragma once

#include <QWidget>

#include "run/RunChoices.h"
#include "ui/Controls.h"

namespace quellor::ui {

// What the page hands to a run.
struct RecordChoice {
    bool On = false;
    ConditionChoice Condition1;
    ConditionChoice Condition2;  // counts only with a field
    bool JoinWithOr = false;
    bool NoFileWhenEmpty = false;
};

class RecordPage : public QWidget {
  public:
    RecordPage() = default;

    void Bind(const RecordPageControls& controls);

    // The check box keeps what the user last gave it.
    void Reset();
    // The fields of the sample line to test: an empty entry, then 1 to count.
    void TakeFieldCount(int count);
    RecordChoice Choice() const;

  private:
    void SwitchClicked();

    RecordPageControls c_;
};

// Fills a field combo box: the empty entry 0 ("no field"), then one entry
// per field, each carrying its number; the empty entry chosen.
void FillFieldChoices(QComboBox* combo, int count);
// The field number chosen in such a combo box; 0 for none.
int ChosenField(const QComboBox* combo);

}  // namespace quellor::ui
