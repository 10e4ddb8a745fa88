// The sort page (TabSheet3): key field, direction, repeated records aside.
#pragma once

#include <QWidget>

#include "ui/Controls.h"

namespace quellor::ui {

// What the page hands to a run.
struct SortChoice {
    bool On = false;
    int KeyField = 0;  // 1-based; 0 = none
    bool Descending = false;
    bool DuplicatesToFile = false;
};

class SortPage : public QWidget {
  public:
    SortPage() = default;

    void Bind(const SortPageControls& controls);

    // The check box keeps what the user last gave it.
    void Reset();
    void TakeFieldCount(int count);
    SortChoice Choice() const;

  private:
    void SwitchClicked();

    SortPageControls c_;
};

}  // namespace quellor::ui
