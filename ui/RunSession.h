// A run as the window shows it: the counters, the log, the two bars, the
// lock set, the Abort button and the event processing between records.
#pragma once

#include <QElapsedTimer>
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
    void ProcessPendingEvents() override;
    void KeepAlive(int recordPercent) override;
    void LockControls() override;
    void UnlockControls() override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(RunStage stage) override;

  private:
    void AbortClicked();
    void EnableLockSet(bool enabled);

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
    bool eventsProcessedSinceLock_ = false;
    int callsSinceEvents_ = 0;
    QElapsedTimer eventClock_;
    QElapsedTimer counterPaintClock_;
    LockedLook lockedLook_;
};

}  // namespace quellor::ui
