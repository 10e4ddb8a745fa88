// The form as data: one row per control, and the one builder that makes the
// controls from the rows.
#pragma once

#include <QString>
#include <variant>
#include <vector>

#include "ui/Controls.h"

class QWidget;

namespace quellor::ui {

// How a label's width follows its text.
enum class Fit {
    Fixed,        // keeps the width of its row
    ToText,       // as wide as its text
    ToTextOnShow  // and measured again once the window is polished
};

using ControlSlot =
    std::variant<QFrame**, QLabel**, QPushButton**, ListBox**, StringGrid**, QTabWidget**,
                 RadioGroup**, QGroupBox**, QComboBox**, QLineEdit**, QCheckBox**, QProgressBar**,
                 LogLabel**, FieldPage**, RecordPage**, SortPage**>;

struct ControlRow {
    const char* name;  // the object name: tests, hints and transcripts use it
    ControlSlot member;
    const char* parent;  // object name of the parent
    int x, y, width, height;
    // Caption, tab text, or the items of a list control one a line.
    const char* caption;
    Fit fit = Fit::Fixed;
};

// The rows, in the order of creation (which is also the stacking order),
// bound to the members of controls.
std::vector<ControlRow> WindowLayout(WindowControls& controls);

// Creates every control of the rows under window (whose object name is the
// parent of the top-level rows) and fills the members.
void BuildControls(QWidget* window, const std::vector<ControlRow>& rows, Scale scale);

// Labels grow with their text.
void FitLabel(QLabel* label, const QString& text);

// A list box's horizontal extent: its widest entry and 5 pixels to spare;
// an empty list keeps the extent it had.
void FitScrollWidth(ListBox* list, Scale scale);

}  // namespace quellor::ui
