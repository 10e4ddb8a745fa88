// A run as the window shows it: the counters, the log, the two bars, the
// lock set and the Abort button, while the run works on its own thread.
#pragma once

#include <QString>

#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"
#include "ui/LockedLook.h"
#include "ui/Scale.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;

namespace quellor::ui {

class LogLabel;

class RunSession : public RunObserver {
  public:
    // Makes the session's controls on window, whose push buttons, edit
    // boxes and page control a run disables; pages are the window's pages.
    RunSession(QWidget* window, QTabWidget* pages, Scale scale);
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // Counters, log and bars as after start-up.
    void Reset();
    // Runs to the end on a thread of its own while this thread goes on
    // delivering events; the calls the run makes on this session arrive
    // here as events. Errors leave after the controls are unlocked. A
    // second Start while a run goes on is ignored.
    void Run(const RunSettings& settings);
    bool Running() const { return running_; }
    // What "中止" sets; a signal handler may set it too.
    AbortSwitch& Abort() { return abort_; }

    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    // Events flow while the run works on its own thread.
    void ProcessPendingEvents() override {}
    void KeepAlive(int recordPercent) override;
    void LockControls() override;
    void UnlockControls() override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(RunStage stage) override;

  private:
    void AbortClicked();
    void EnableLockSet(bool enabled);
    void ReleaseDueLock();

    struct Controls {
        QLabel* fileCounter = nullptr;
        QLabel* recordCounter = nullptr;
        LogLabel* log = nullptr;
        QProgressBar* fileBar = nullptr;
        QProgressBar* recordBar = nullptr;
        QPushButton* abortButton = nullptr;
        QTabWidget* pages = nullptr;
    };
    Controls c_;
    QWidget* lockRoot_;
    AbortSwitch abort_;
    bool running_ = false;
    bool locked_ = false;
    bool unlockDue_ = false;
    LockedLook lockedLook_;
};

}  // namespace quellor::ui
