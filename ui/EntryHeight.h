// The entries of the old lists stood 12 layout pixels apart; the style's
// entries are higher and would show fewer of them in the same box.
#pragma once

class QAbstractItemView;
class QComboBox;

namespace quellor::ui {

// Every entry of the view gets this height in pixels.
void SetEntryHeight(QAbstractItemView* view, int height);

// The same for the list a combo box drops down: the style's menu-like
// entries are nearly twice as high.
void SetDropDownEntryHeight(QComboBox* combo, int height);

}  // namespace quellor::ui
