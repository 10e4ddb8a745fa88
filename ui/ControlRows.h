// The form as data: each room lists its controls as rows, one a control, and
// makes them with the one builder. A new control is one row and one member
// in the room that works it.
#pragma once

#include <QString>
#include <initializer_list>
#include <variant>

#include "ui/Scale.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;

namespace quellor::ui {

class ListBox;
class LogLabel;
class RadioGroup;
class StringGrid;

// How a label's width follows its text.
enum class Fit {
    Fixed,        // keeps the width of its row
    ToText,       // as wide as its text
    ToTextOnShow  // and measured again once the window is polished
};

// The member the row's control is stored in; its type is the control's kind.
using ControlSlot = std::variant<QFrame**, QLabel**, QPushButton**, ListBox**, StringGrid**,
                                 QTabWidget**, RadioGroup**, QGroupBox**, QComboBox**, QLineEdit**,
                                 QCheckBox**, QProgressBar**, LogLabel**>;

struct ControlRow {
    const char* name;  // the object name: tests, hints and transcripts use it
    ControlSlot member;
    const char* parent;  // object name of the parent
    int x, y, width, height;
    // Caption, or the items of a list control one a line.
    const char* caption;
    Fit fit = Fit::Fixed;
};

// Creates the controls of the rows, in their order (which is also the
// stacking order), and fills the members. A row's parent is root or a
// control of an earlier row.
void BuildControls(QWidget* root, std::initializer_list<ControlRow> rows, Scale scale);

// Makes page a tab of pages, under its object name and with its tab text.
void AddPage(QTabWidget* pages, QWidget* page, const char* name, const char* tabText);

// Labels grow with their text.
void FitLabel(QLabel* label, const QString& text);

// The font is final only once the window is polished: the labels that fit
// their text then are measured again.
void FitLabelsOnShow(QWidget* window);

}  // namespace quellor::ui
