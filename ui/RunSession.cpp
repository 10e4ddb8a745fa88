#include "ui/RunSession.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

#include "run/ProcessingRun.h"
#include "ui/ControlRows.h"
#include "ui/ErrorDisplay.h"
#include "ui/LogLabel.h"
#include "ui/MessageBoxes.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

// Events wait at most this long while a run works through its records.
constexpr qint64 kEventIntervalMs = 8;
constexpr int kCallsPerClockRead = 64;

QString Shown(const std::string& text) {
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

RunSession::RunSession(QWidget* window, QTabWidget* pages, Scale scale) : lockRoot_(window) {
    constexpr Fit growsOnShow = Fit::ToTextOnShow;
    BuildControls(window,
                  {
                      {"Label5", &c_.fileCounter, "frmMain", 16, 480, 27, 12, "", growsOnShow},
                      {"Label6", &c_.recordCounter, "frmMain", 16, 520, 27, 12, "", growsOnShow},
                      {"Label7", &c_.log, "frmMain", 304, 480, 169, 73, ""},
                      {"ProgressBar1", &c_.fileBar, "frmMain", 16, 496, 273, 16, ""},
                      {"ProgressBar2", &c_.recordBar, "frmMain", 16, 536, 273, 16, ""},
                      {"BitBtn6", &c_.abortButton, "frmMain", 488, 504, 75, 25, "中止"},
                  },
                  scale);
    c_.pages = pages;
    c_.abortButton->setIcon(window->style()->standardIcon(QStyle::SP_BrowserStop));
    // The run repaints these at once; painting their own background spares
    // repainting the window beneath them each time.
    for (QLabel* l : std::initializer_list<QLabel*>{c_.fileCounter, c_.recordCounter, c_.log})
        l->setAutoFillBackground(true);
    c_.abortButton->hide();
    ConnectGuarded(c_.abortButton, &QPushButton::clicked, this, &RunSession::AbortClicked);
}

void RunSession::Reset() {
    FitLabel(c_.fileCounter, QString::fromUtf8(kFileCounterReset));
    FitLabel(c_.recordCounter, QString::fromUtf8(kRecordCounterReset));
    c_.log->setText(QString::fromUtf8(kLogReset));
    c_.fileBar->setValue(c_.fileBar->minimum());
    c_.recordBar->setValue(c_.recordBar->minimum());
}

void RunSession::Run(const RunSettings& settings) {
    if (running_) return;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};
    // A click on "中止" after the last record check of the previous run must
    // not stop this one.
    abort_.Clear();
    const RunOutcome outcome = ExecuteRun(settings, *this, abort_);
    if (outcome.What == RunOutcome::Kind::Aborted) ShowErrorText(outcome.Message);
}

void RunSession::AbortClicked() {
    abort_.Request();
}

void RunSession::SetFileCounter(const std::string& text) {
    FitLabel(c_.fileCounter, Shown(text));
    c_.fileCounter->repaint();
}

void RunSession::SetRecordCounter(const std::string& text) {
    FitLabel(c_.recordCounter, Shown(text));
    // Painted at once when the last paint is a while ago: a sort that lets
    // no event through may follow. A counter moving every thousand records
    // is painted with the events let through a few milliseconds later, not
    // a thousand times a second.
    if (counterPaintClock_.isValid() && counterPaintClock_.elapsed() < kEventIntervalMs) {
        c_.recordCounter->update();
        return;
    }
    c_.recordCounter->repaint();
    counterPaintClock_.start();
}

void RunSession::SetLog(const std::string& text) {
    c_.log->setText(Shown(text));
    c_.log->repaint();
}

void RunSession::AppendLog(const std::string& text) {
    c_.log->setText(c_.log->text() + Shown(text));
    c_.log->repaint();
}

void RunSession::SetFileProgress(int percent) {
    if (c_.fileBar->value() != percent) c_.fileBar->setValue(percent);
}

void RunSession::SetRecordProgress(int percent) {
    // Called for every record: the bar is touched only when it moves.
    if (c_.recordBar->value() != percent) c_.recordBar->setValue(percent);
}

// A sort on disk calls this every few thousand lines: events are delivered
// at the same bounded interval, and the record bar moves within the sort's share.
void RunSession::KeepAlive(int recordPercent) {
    SetRecordProgress(recordPercent);
    if (eventClock_.isValid() && eventClock_.elapsed() < kEventIntervalMs) return;
    QCoreApplication::processEvents();
    eventClock_.start();
}

void RunSession::ProcessPendingEvents() {
    // Asking the event loop after each of a million records would cost more
    // than the records themselves, and so would reading the clock each time;
    // a few milliseconds of delay is not seen.
    if (eventsProcessedSinceLock_ && ++callsSinceEvents_ < kCallsPerClockRead) return;
    callsSinceEvents_ = 0;
    if (eventsProcessedSinceLock_ && eventClock_.isValid() &&
        eventClock_.elapsed() < kEventIntervalMs) {
        return;
    }
    eventsProcessedSinceLock_ = true;
    QCoreApplication::processEvents();
    eventClock_.start();
}

void RunSession::LockControls() {
    EnableLockSet(false);
    lockedLook_.Hold(c_.pages);
    c_.abortButton->show();
    c_.abortButton->raise();
    c_.abortButton->setEnabled(true);
    // The first record of every file lets events through at once.
    eventsProcessedSinceLock_ = false;
}

// Every push button, edit box, the page control and the heading switch: the
// controls a run locks.
void RunSession::EnableLockSet(bool enabled) {
    for (QWidget* w : lockRoot_->findChildren<QPushButton*>()) w->setEnabled(enabled);
    for (QWidget* w : lockRoot_->findChildren<QLineEdit*>()) w->setEnabled(enabled);
    for (QWidget* w : lockRoot_->findChildren<QTabWidget*>()) w->setEnabled(enabled);
    if (auto* w = lockRoot_->findChild<QWidget*>(QStringLiteral("HeadingLineCheck"))) {
        w->setEnabled(enabled);
    }
}

void RunSession::UnlockControls() {
    EnableLockSet(true);
    lockedLook_.Release();
    c_.abortButton->hide();
}

void RunSession::ShowWarning(const std::string& text) {
    MessageBoxes::ShowWarning(QString::fromUtf8(text));
}

void RunSession::ShowInformation(const std::string& text) {
    MessageBoxes::ShowInformation(QString::fromUtf8(text));
}

void RunSession::SelectPage(RunStage stage) {
    // The pages stand in the order of the stages.
    c_.pages->setCurrentIndex(static_cast<int>(stage));
}

}  // namespace quellor::ui
