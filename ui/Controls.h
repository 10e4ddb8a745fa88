// The window's controls, grouped by the part of the window that works them.
// The layout table fills these pointers; each part then keeps its own group
// privately. Qt's parent-child ownership destroys the controls.
#pragma once

#include <QtGlobal>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace quellor::ui {

class FieldPage;
class ListBox;
class LogLabel;
class RadioGroup;
class RecordPage;
class SortPage;
class StringGrid;

// Layout pixels at 96 dpi to pixels on this screen.
struct Scale {
    double factor = 1.0;
    int operator()(int designPixels) const { return qRound(designPixels * factor); }
};

struct FieldPageControls {
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

struct RecordPageControls {
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

struct SortPageControls {
    RadioGroup* onOff = nullptr;
    QGroupBox* group = nullptr;
    QLabel* keyCaption = nullptr;
    QLabel* orderCaption = nullptr;
    QComboBox* keyField = nullptr;
    QCheckBox* duplicatesToFile = nullptr;
    QComboBox* order = nullptr;
};

struct FileListControls {
    ListBox* list = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* removeAllButton = nullptr;
    QLabel* totalLabel = nullptr;
    StringGrid* preview = nullptr;
    QLabel* previewNote = nullptr;  // names the encoding of the shown lines
};

struct RunSessionControls {
    QLabel* fileCounter = nullptr;
    QLabel* recordCounter = nullptr;
    LogLabel* log = nullptr;
    QProgressBar* fileBar = nullptr;
    QProgressBar* recordBar = nullptr;
    QPushButton* abortButton = nullptr;
    QTabWidget* pages = nullptr;
};

struct WindowControls {
    QFrame* messageFrame = nullptr;
    QLabel* messageCaption = nullptr;
    QLabel* conditionCaption = nullptr;
    QLabel* dropCaption = nullptr;
    QPushButton* clearAllButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QTabWidget* pages = nullptr;
    FieldPage* fieldPage = nullptr;
    RecordPage* recordPage = nullptr;
    SortPage* sortPage = nullptr;
    FileListControls files;
    RunSessionControls run;
    FieldPageControls field;
    RecordPageControls record;
    SortPageControls sort;
};

}  // namespace quellor::ui
