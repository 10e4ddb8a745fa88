// Start-up, reset, the pages' on/off rule, the keyboard and the Start command.
#include "ui/main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "run/FieldEntry.h"
#include "run/ProcessingRun.h"
#include "run/RunChoices.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/Icons.h"
#include "ui/MessageBoxes.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

namespace quellor::ui {

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    if (QScreen* s = screen()) scale_ = s->logicalDotsPerInch() / 96.0;
    setWindowTitle(U(kCaption));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
    QFont font;
    font.setFamilies(
        {U("ＭＳ Ｐゴシック"), U("MS PGothic"), U("IPAPGothic"), U("Noto Sans CJK JP")});
    font.setPixelSize(Scaled(12));
    font.setWeight(QFont::Normal);
    setFont(font);
    setFixedSize(Scaled(568), Scaled(569));
    move(310, 99);
    CreateControls();
    ConnectHandlers();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

int TfrmMain::Scaled(int designPixels) const {
    return qRound(designPixels * scale_);
}

void TfrmMain::ConnectHandlers() {
    auto on = [this](auto* sender, auto signal, void (TfrmMain::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    on(BitBtn1, &QPushButton::clicked, &TfrmMain::BitBtn1Click);
    on(BitBtn2, &QPushButton::clicked, &TfrmMain::AllClear);
    on(BitBtn3, &QPushButton::clicked, &TfrmMain::BitBtn3Click);
    on(BitBtn4, &QPushButton::clicked, &TfrmMain::BitBtn4Click);
    on(BitBtn5, &QPushButton::clicked, &TfrmMain::AllClear);
    on(BitBtn6, &QPushButton::clicked, &TfrmMain::BitBtn6Click);
    on(ListBox1, &ListBox::userSelectionChanged, &TfrmMain::ListBox1Click);
    on(ListBox1, &ListBox::userDoubleClicked, &TfrmMain::ListBox1DblClick);
    on(RadioGroup3, &RadioGroup::clicked, &TfrmMain::UpdateFieldTab);
    on(RadioGroup2, &RadioGroup::clicked, &TfrmMain::UpdateRecordTab);
    on(RadioGroup4, &RadioGroup::clicked, &TfrmMain::UpdateSortTab);
    on(Button1, &QPushButton::clicked, &TfrmMain::Button1Click);
    on(Button2, &QPushButton::clicked, &TfrmMain::Button2Click);
    on(Button3, &QPushButton::clicked, &TfrmMain::Button3Click);
    on(Button4, &QPushButton::clicked, &TfrmMain::Button4Click);
    on(Button5, &QPushButton::clicked, &TfrmMain::Button5Click);
    on(Button6, &QPushButton::clicked, &TfrmMain::Button6Click);
    on(ListBox2, &ListBox::userDoubleClicked, &TfrmMain::Button1Click);
    on(ListBox3, &ListBox::userDoubleClicked, &TfrmMain::Button2Click);
    on(ListBox3, &ListBox::userSelectionChanged, &TfrmMain::ListBox3Click);
}

void TfrmMain::FormCreate() {
    // Files may be dropped anywhere: controls that take drops of their own
    // hand file drops on to the window.
    setAcceptDrops(true);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->acceptDrops()) w->installEventFilter(this);
    }
    AllClear();
    SetLabelText(Label4, U(kPreviewNote).arg(PreviewLineLimit));
    AssignHints();
}

void TfrmMain::AssignHints() {
    for (const Hint& h : kHints) {
        auto* w = findChild<QWidget*>(QLatin1String(h.control));
        if (!w) continue;
        QString text =
            h.text ? U(h.text)
                   : U(kGridHintHead) + QString::number(PreviewLineLimit) + U(kGridHintTail);
        w->setToolTip(text);
        w->setToolTipDuration(kHintShowMs);
    }
    // A page's hint shows over its tab.
    for (int i = 0; i < PageControl1->count(); ++i) {
        PageControl1->setTabToolTip(i, PageControl1->widget(i)->toolTip());
    }
}

void TfrmMain::AllClear() {
    ListBox1->clear();
    ClearPreview();
    ResetChoices();
    UpdateTotalLabel();
}

void TfrmMain::ResetChoices() {
    ListBox2->clear();
    ListBox3->clear();
    ComboBox1->clear();
    ComboBox3->clear();
    ComboBox5->clear();
    ComboBox2->setCurrentIndex(0);
    ComboBox4->setCurrentIndex(0);
    ComboBox6->setCurrentIndex(0);
    Edit1->clear();
    Edit2->clear();
    RadioGroup3->SetItemIndex(0);
    RadioGroup2->SetItemIndex(1);
    RadioGroup1->SetItemIndex(0);
    RadioGroup4->SetItemIndex(1);
    SetLabelText(Label5, U(kFileCounterReset));
    SetLabelText(Label6, U(kRecordCounterReset));
    log_ = U(kLogReset);
    Label7->setText(log_);
    BitBtn1->setEnabled(false);
    BitBtn5->setEnabled(false);
    ProgressBar1->setValue(ProgressBar1->minimum());
    ProgressBar2->setValue(ProgressBar2->minimum());
    UpdateFieldTab();
    UpdateRecordTab();
    UpdateSortTab();
    PageControl1->setCurrentWidget(TabSheet1);
}

void TfrmMain::UpdateFieldTab() {
    bool on = RadioGroup3->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{ListBox2, ListBox3, Button1, Button2, Button3,
                                                      Button4, Button5, Button6}) {
        w->setEnabled(on);
    }
}

void TfrmMain::UpdateRecordTab() {
    bool on = RadioGroup2->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboBox1, ComboBox2, ComboBox3, ComboBox4,
                                                      Edit1, Edit2, RadioGroup1, CheckBox2}) {
        w->setEnabled(on);
    }
}

void TfrmMain::UpdateSortTab() {
    bool on = RadioGroup4->ItemIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboBox5, ComboBox6, CheckBox1}) {
        w->setEnabled(on);
    }
}

void TfrmMain::UpdateTotalLabel() {
    SetLabelText(Label8, U(kTotalFiles).arg(ListBox1->count()));
}

void TfrmMain::ClearPreview() {
    StringGrid1->clearContents();
    StringGrid1->setRowCount(2);
    StringGrid1->setColumnCount(2);
    for (auto [row, column] : {std::pair{0, 0}, {0, 1}, {1, 0}}) SetPreviewCell(row, column, {});
}

void TfrmMain::FitScrollWidth(ListBox* list) {
    if (list->count() == 0) return;
    QFontMetrics metrics(list->font());
    int width = 0;
    for (int i = 0; i < list->count(); ++i) {
        width = qMax(width, metrics.horizontalAdvance(list->item(i)->text()));
    }
    list->SetScrollExtent(width + Scaled(5));
}

// Labels grow with their text; the log keeps its fixed size.
void TfrmMain::SetLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    if (label == Label7) return;
    int width = label->fontMetrics().horizontalAdvance(text);
    if (width != label->width()) label->resize(width, label->height());
}

void TfrmMain::showEvent(QShowEvent* e) {
    // The font is final only once the window is polished.
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6, Label8}) {
        SetLabelText(label, label->text());
    }
    if (!e->spontaneous()) FixFrame(this, FrameButtons::MinimiseAndClose);
    QWidget::showEvent(e);
}

bool TfrmMain::PressIfUsable(QPushButton* button) {
    if (!button->isEnabled() || !button->isVisibleTo(this)) return false;
    button->click();
    return true;
}

void TfrmMain::keyPressEvent(QKeyEvent* e) {
    Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            PressIfUsable(focused ? focused : BitBtn3);
            return;
        }
        if (e->key() == Qt::Key_Escape) {
            PressIfUsable(BitBtn4);
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    // The run in progress goes on to its end; its boxes must not wait for
    // a user who has asked the program to end.
    if (running_) MessageBoxes::SetEnding(true);
    e->accept();
}

void TfrmMain::BitBtn4Click() {
    close();
}

void TfrmMain::BitBtn6Click() {
    abort_.Request();
}

void TfrmMain::BitBtn3Click() {
    if (running_) return;
    RunSettings settings = BuildRunSettings();
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};
    ExecuteRun(settings, *this, abort_);
}

RunSettings TfrmMain::BuildRunSettings() const {
    RunChoices c;
    for (int i = 0; i < ListBox1->count(); ++i) c.Files.push_back(FilePath(i));
    c.FieldExtractionOn = RadioGroup3->ItemIndex() == 0;
    c.RecordExtractionOn = RadioGroup2->ItemIndex() == 0;
    c.SortOn = RadioGroup4->ItemIndex() == 0;
    for (int i = 0; i < ListBox3->count(); ++i) {
        if (auto n = FieldNumberOfEntry(ListBox3->item(i)->text().toStdString())) {
            c.ChosenFields.push_back(*n);
        }
    }
    c.ExpectedFieldCount = ListBox2->count() + ListBox3->count();
    c.SortKeyField = qMax(0, ComboBox5->currentIndex());
    c.SortDescending = ComboBox6->currentIndex() == 1;
    c.DuplicatesToFile = CheckBox1->isChecked();
    c.Condition1 = {qMax(0, ComboBox1->currentIndex()), Edit1->text().toStdString(),
                    static_cast<MatchMode>(qMax(0, ComboBox2->currentIndex()))};
    c.Condition2 = {qMax(0, ComboBox3->currentIndex()), Edit2->text().toStdString(),
                    static_cast<MatchMode>(qMax(0, ComboBox4->currentIndex()))};
    c.JoinWithOr = RadioGroup1->ItemIndex() == 1;
    c.NoFileWhenEmpty = CheckBox2->isChecked();
    return SettingsFromChoices(c);
}

}  // namespace quellor::ui
