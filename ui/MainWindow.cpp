#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "records/Exceptions.h"
#include "run/MemoryBudget.h"
#include "run/RunChoices.h"
#include "run/SampleLine.h"
#include "ui/ControlRows.h"
#include "ui/ErrorDisplay.h"
#include "ui/FieldPage.h"
#include "ui/FileList.h"
#include "ui/Icons.h"
#include "ui/InterruptWatch.h"
#include "ui/MessageBoxes.h"
#include "ui/RadioGroup.h"
#include "ui/RecordPage.h"
#include "ui/RunSession.h"
#include "ui/SortPage.h"
#include "ui/UiTexts.h"
#include "ui/WindowFrame.h"

namespace quellor::ui {

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// The form's tab order by object name; a radio group stands for its buttons.
// A control added since stands where it is on the page: the heading switch
// above the file list, the job buttons above the pages, and "数値" at the end
// of the sort key's line, which is walked (key, order, "数値") before the
// check box below it.
constexpr const char* kTabOrder[] = {
    "StringGrid1", "BitBtn1",         "BitBtn2",       "BitBtn3",       "HeadingLineCheck",
    "ListBox1",    "BitBtn4",         "SaveJobButton", "LoadJobButton", "PageControl1",
    "RadioGroup3", "ListBox2",        "Button1",       "Button2",       "ListBox3",
    "Button3",     "Button4",         "Button5",       "Button6",       "RadioGroup2",
    "ComboBox1",   "Edit1",           "ComboBox2",     "RadioGroup1",   "ComboBox3",
    "Edit2",       "ComboBox4",       "CheckBox2",     "RadioGroup4",   "ComboBox5",
    "ComboBox6",   "NumericKeyCheck", "CheckBox1",     "BitBtn5",       "BitBtn6"};

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    SetUpWindow();
    CreateControls();
    ConnectGuarded(c_.startButton, &QPushButton::clicked, this, &MainWindow::StartClicked);
    ConnectGuarded(c_.cancelButton, &QPushButton::clicked, this, &MainWindow::CancelClicked);
    ConnectGuarded(c_.clearAllButton, &QPushButton::clicked, this, &MainWindow::AllClear);
    ConnectGuarded(c_.saveJobButton, &QPushButton::clicked, this, &MainWindow::SaveJobClicked);
    ConnectGuarded(c_.loadJobButton, &QPushButton::clicked, this, &MainWindow::LoadJobClicked);
    ConnectGuarded(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
                   &MainWindow::SaveJobClicked);
    ConnectGuarded(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
                   &MainWindow::LoadJobClicked);
    FormCreate();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetUpWindow() {
    setObjectName(QStringLiteral("frmMain"));
    if (QScreen* s = screen()) scale_.factor = s->logicalDotsPerInch() / 96.0;
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
    font.setPixelSize(scale_(12));
    font.setWeight(QFont::Normal);
    setFont(font);
    setFixedSize(scale_(568), scale_(569));
    move(310, 99);
}

void MainWindow::CreateControls() {
    constexpr Fit growsOnShow = Fit::ToTextOnShow;
    BuildControls(this,
                  {
                      {"Bevel1", &c_.messageFrame, "frmMain", 8, 472, 473, 89, ""},
                      {"Label1", &c_.messageCaption, "frmMain", 8, 456, 74, 12, "【処理ﾒｯｾｰｼﾞ】",
                       growsOnShow},
                      {"Label2", &c_.conditionCaption, "frmMain", 8, 192, 146, 12,
                       "【処理条件を指定して下さい】", growsOnShow},
                      {"Label3", &c_.dropCaption, "frmMain", 8, 8, 158, 12,
                       "【処理ﾌｧｲﾙをﾄﾞﾛｯﾌﾟして下さい】", growsOnShow},
                      {"BitBtn2", &c_.clearAllButton, "frmMain", 488, 472, 75, 25, "全てｸﾘｱ"},
                      {"BitBtn3", &c_.startButton, "frmMain", 488, 504, 75, 25, "ｽﾀｰﾄ"},
                      {"BitBtn4", &c_.cancelButton, "frmMain", 488, 536, 75, 25, "ｷｬﾝｾﾙ"},
                      {"PageControl1", &c_.pages, "frmMain", 8, 208, 553, 233, ""},
                  },
                  scale_);
    c_.pages->tabBar()->setAttribute(Qt::WA_Hover);
    c_.clearAllButton->setIcon(EraserIcon());
    c_.clearAllButton->setIconSize(QSize(scale_(16), scale_(16)));
    c_.startButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    c_.cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    // The page control owns its pages, as Qt parents own their children.
    c_.fieldPage = new FieldPage(c_.pages, scale_);
    c_.recordPage = new RecordPage(c_.pages, scale_);
    c_.sortPage = new SortPage(c_.pages, scale_);
    files_ = std::make_unique<FileList>(
        this, scale_, [this] { BuildFieldChoices(); }, [this] { AllClear(); },
        [this] { return session_ && session_->Running(); });
    session_ = std::make_unique<RunSession>(this, c_.pages, scale_);
    // Made last, so the focus starts in the preview as it always has.
    BuildControls(
        this,
        {
            // Saved jobs, in the strip between the preview and the pages.
            {"SaveJobButton", &c_.saveJobButton, "frmMain", 400, 184, 78, 21, "ｼﾞｮﾌﾞ保存..."},
            {"LoadJobButton", &c_.loadJobButton, "frmMain", 483, 184, 78, 21, "ｼﾞｮﾌﾞ読込..."},
        },
        scale_);
    SetTabOrder();
}

void MainWindow::SetTabOrder() {
    QList<QWidget*> chain;
    for (const char* name : kTabOrder) {
        auto* w = findChild<QWidget*>(QLatin1String(name));
        Q_ASSERT(w);
        auto* group = qobject_cast<RadioGroup*>(w);
        if (!group) {
            chain << w;
            continue;
        }
        for (int i = 0; QAbstractButton* b = group->Button(i); ++i) chain << b;
    }
    for (int i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::FormCreate() {
    // Files may be dropped anywhere: controls that take drops of their own
    // hand file drops on to the window.
    setAcceptDrops(true);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->acceptDrops()) w->installEventFilter(this);
    }
    AllClear();
    AssignHints();
}

void MainWindow::AssignHints() {
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
    for (int i = 0; i < c_.pages->count(); ++i) {
        c_.pages->setTabToolTip(i, c_.pages->widget(i)->toolTip());
    }
}

// "全てｸﾘｱ" and "全て削除" alike: the file list and every choice.
void MainWindow::AllClear() {
    files_->Reset();
    c_.fieldPage->Reset();
    c_.recordPage->Reset();
    c_.sortPage->Reset();
    pendingJob_.reset();
    session_->Reset();
    c_.pages->setCurrentWidget(c_.fieldPage);
}

// Every build forgets the choices made from the previous sample; with no
// file listed the field combo boxes keep what they had.
void MainWindow::BuildFieldChoices() {
    c_.fieldPage->ClearFields();
    if (files_->Empty()) return;
    const std::string path = files_->Files().front();
    const SampleLine sample = SampleFieldsShown(path, files_->Choice().Text);
    const int count = static_cast<int>(sample.Fields.size());
    c_.recordPage->TakeFieldCount(count);
    c_.sortPage->TakeFieldCount(count);
    c_.fieldPage->TakeSample(sample.Fields, sample.TextEncoding);
    // The choosers hold what fits; the user learns why the rest is missing.
    // Nothing stopped: a notice, not an error.
    const std::string notice = ShownLineNotice(path, 1, sample.LineCut, sample.FieldsCut);
    if (!notice.empty()) MessageBoxes::ShowInformation(QString::fromStdString(notice));
    if (pendingJob_) ApplyChoices(*std::exchange(pendingJob_, std::nullopt));
}

bool MainWindow::Running() const {
    return session_->Running();
}

void MainWindow::StartClicked() {
    if (session_->Running()) return;
    session_->Run(BuildRunSettings());
}

RunSettings MainWindow::BuildRunSettings() const {
    return SettingsFromChoices(BuildRunChoices());
}

RunChoices MainWindow::BuildRunChoices() const {
    // The window has no option of its own: the budget comes from the
    // environment, in the form --memory takes; anything else is the default.
    const char* memory = std::getenv(kMemoryVariable);
    const std::uint64_t budget = memory ? ParseMemorySize(memory).value_or(0) : 0;
    return RunChoices{files_->Choice(), c_.fieldPage->Choice(), c_.recordPage->Choice(),
                      c_.sortPage->Choice(), budget};
}

void MainWindow::EndOnInterrupts() {
    interrupts_ = std::make_unique<InterruptWatch>(session_->Abort(), [this] {
        MessageBoxes::SetEnding(true);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
                dialog->reject();
            }
        }
        close();
    });
}

void MainWindow::CancelClicked() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // The run in progress goes on to its end; its boxes must not wait for
    // a user who has asked the program to end.
    if (session_->Running()) MessageBoxes::SetEnding(true);
    e->accept();
}

void MainWindow::showEvent(QShowEvent* e) {
    FitLabelsOnShow(this);
    if (!e->spontaneous()) FixFrame(this, FrameButtons::MinimiseAndClose);
    QWidget::showEvent(e);
}

bool MainWindow::PressIfUsable(QPushButton* button) {
    if (!button->isEnabled() || !button->isVisibleTo(this)) return false;
    button->click();
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            PressIfUsable(focused ? focused : c_.startButton);
            return;
        }
        if (e->key() == Qt::Key_Escape) {
            PressIfUsable(c_.cancelButton);
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

}  // namespace quellor::ui
