// The observer a run calls on its own thread: each call reaches the window's
// observer as an event on the window's thread, in the order made.
#pragma once

#include <functional>

#include "run/RunObserver.h"

class QObject;

namespace quellor::ui {

class QueuedObserver : public RunObserver {
  public:
    // window lives on the window's thread and outlives the run; its
    // methods are called there.
    QueuedObserver(RunObserver& window, QObject* windowThreadObject);

    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    // The window answers on its own; nothing to let through.
    void ProcessPendingEvents() override {}
    void KeepAlive(int recordPercent) override;
    void LockControls() override;
    void UnlockControls() override;
    // Wait for the box to be closed, as a run on the window's thread would.
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(RunStage stage) override;

    // Called on the window's thread once every earlier call has been.
    void Post(std::function<void()> call);

  private:
    void Wait(std::function<void()> call);

    RunObserver& window_;
    QObject* context_;
    // The record bar is set for every record; only a move is sent.
    int recordPercent_ = -1;
};

}  // namespace quellor::ui
