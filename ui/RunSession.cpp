#include "ui/RunSession.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <thread>

#include "run/ProcessingRun.h"
#include "ui/ControlRows.h"
#include "ui/ErrorDisplay.h"
#include "ui/LogLabel.h"
#include "ui/MessageBoxes.h"
#include "ui/QueuedObserver.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

QString Shown(const std::string& text) {
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The toolkit calls exit() when the display goes away. A run's thread must
// not go on among the objects exit() destroys: while one works, the process
// ends at that point as if killed, and outputs not yet in place stay unplaced.
std::atomic<bool> runThreadWorks{false};

void EndAtOnceIfARunWorks() {
    if (runThreadWorks.load()) std::_Exit(1);
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
    // The run works on a thread of its own, so that the window goes on
    // answering the user and the desktop whatever the run is doing; the
    // window's calls come back as events, the last one saying it has ended.
    QueuedObserver toWindow(*this, lockRoot_);
    RunOutcome outcome;
    std::exception_ptr failure;
    bool ended = false;
    // Registered once the toolkit's own objects exist, so it runs before
    // their destructors do.
    static const bool endsAtExit = std::atexit(EndAtOnceIfARunWorks) == 0;
    runThreadWorks = endsAtExit;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                outcome = ExecuteRun(settings, toWindow, abort_);
            } catch (...) {
                failure = std::current_exception();
            }
            toWindow.Post([&ended] { ended = true; });
        });
    } catch (...) {
        runThreadWorks = false;
        throw;
    }
    // Not a QEventLoop: quitting the application must not leave this loop
    // while the run still holds the files. Until the run has locked the
    // controls (its start checks come first), the user's input waits; once
    // locked, it reaches only what the lock leaves usable.
    while (!ended) {
        QCoreApplication::processEvents(locked_ ? QEventLoop::WaitForMoreEvents
                                                : QEventLoop::WaitForMoreEvents |
                                                      QEventLoop::ExcludeUserInputEvents);
    }
    worker.join();
    runThreadWorks = false;
    ReleaseDueLock();
    if (failure) std::rethrow_exception(failure);
    if (outcome.What == RunOutcome::Kind::Aborted) ShowErrorText(outcome.Message);
}

void RunSession::AbortClicked() {
    abort_.Request();
}

void RunSession::SetFileCounter(const std::string& text) {
    FitLabel(c_.fileCounter, Shown(text));
}

void RunSession::SetRecordCounter(const std::string& text) {
    FitLabel(c_.recordCounter, Shown(text));
}

void RunSession::SetLog(const std::string& text) {
    c_.log->setText(Shown(text));
}

void RunSession::AppendLog(const std::string& text) {
    c_.log->setText(c_.log->text() + Shown(text));
}

void RunSession::SetFileProgress(int percent) {
    if (c_.fileBar->value() != percent) c_.fileBar->setValue(percent);
}

void RunSession::SetRecordProgress(int percent) {
    if (c_.recordBar->value() != percent) c_.recordBar->setValue(percent);
}

void RunSession::KeepAlive(int recordPercent) {
    SetRecordProgress(recordPercent);
}

void RunSession::LockControls() {
    unlockDue_ = false;
    if (locked_) return;
    locked_ = true;
    EnableLockSet(false);
    lockedLook_.Hold(c_.pages);
    c_.abortButton->show();
    c_.abortButton->raise();
    c_.abortButton->setEnabled(true);
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

// The run unlocks after each file and locks again for the next, an instant
// later on its own thread: the window keeps the lock until the next file's
// lock cancels it, a box opens or the run ends, so that the set neither
// flickers between files nor takes a click there.
void RunSession::UnlockControls() {
    unlockDue_ = true;
}

void RunSession::ReleaseDueLock() {
    if (!unlockDue_) return;
    unlockDue_ = false;
    locked_ = false;
    EnableLockSet(true);
    lockedLook_.Release();
    c_.abortButton->hide();
}

void RunSession::ShowWarning(const std::string& text) {
    ReleaseDueLock();
    MessageBoxes::ShowWarning(QString::fromUtf8(text));
}

void RunSession::ShowInformation(const std::string& text) {
    ReleaseDueLock();
    MessageBoxes::ShowInformation(QString::fromUtf8(text));
}

void RunSession::SelectPage(RunStage stage) {
    // The pages stand in the order of the stages.
    c_.pages->setCurrentIndex(static_cast<int>(stage));
}

}  // namespace quellor::ui
