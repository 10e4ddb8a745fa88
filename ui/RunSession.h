// A run as the window shows it: the counters, the log, the two bars, the
// lock set, the Abort button and the event processing between records.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"
#include "ui/Controls.h"
#include "ui/LockedLook.h"

class QWidget;

namespace quellor::ui {

class RunSession : public RunObserver {
  public:
    // lockRoot: the window whose push buttons, edit boxes and page control
    // a run disables.
    RunSession(const RunSessionControls& controls, QWidget* lockRoot);
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // Counters, log and bars as after start-up.
    void Reset();
    // Runs to the end on this thread; errors leave after the controls are
    // unlocked. A second Start while a run goes on is ignored.
    void Run(const RunSettings& settings);
    bool Running() const { return running_; }

    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    int GetRecordProgress() override;
    void ProcessPendingEvents() override;
    void KeepAlive(int recordPercent) override;
    void LockControls() override;
    void UnlockControls() override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(int page) override;

  private:
    void AbortClicked();
    void EnableLockSet(bool enabled);

    RunSessionControls c_;
    QWidget* lockRoot_;
    AbortSwitch abort_;
    bool running_ = false;
    bool eventsProcessedSinceLock_ = false;
    int callsSinceEvents_ = 0;
    QElapsedTimer eventClock_;
    LockedLook lockedLook_;
};

}  // namespace quellor::ui
