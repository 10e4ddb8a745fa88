// The entries of the old lists stood 12 layout pixels apart; the style's
// entries are higher and would show fewer of them in the same box. An entry
// is never lower than the line of the font it is drawn in, though: a lower
// one cuts off what hangs below the baseline, and "a_b" reads as "a b".
#pragma once

class QAbstractItemView;
class QComboBox;

namespace quellor::ui {

// Every entry of the view gets this height in pixels, or the height of the
// view's font line where that is more.
void SetEntryHeight(QAbstractItemView* view, int height);

// The same for the list a combo box drops down: the style's menu-like
// entries are nearly twice as high.
void SetDropDownEntryHeight(QComboBox* combo, int height);

}  // namespace quellor::ui
