// How a run shows its progress and uses the window. Texts are UTF-8.
#pragma once

#include <string>

#include "run/RunOutcome.h"

namespace quellor {

class RunObserver {
  public:
    virtual ~RunObserver() = default;

    virtual void SetFileCounter(const std::string& text) = 0;
    virtual void SetRecordCounter(const std::string& text) = 0;
    virtual void SetLog(const std::string& text) = 0;
    virtual void AppendLog(const std::string& text) = 0;
    // 0 to 100; the run never asks for another value.
    virtual void SetFileProgress(int percent) = 0;
    virtual void SetRecordProgress(int percent) = 0;
    virtual void ProcessPendingEvents() = 0;
    // Called every few thousand lines while a file too large for memory is
    // sorted on disk or read ahead of its stages, steps with no per-record
    // hooks: the record bar may
    // move to recordPercent, and events may be delivered, at intervals the
    // observer bounds. Calls on every other path stay as they are.
    virtual void KeepAlive(int recordPercent) { (void)recordPercent; }
    virtual void LockControls() = 0;
    virtual void UnlockControls() = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    // Brings the page of the operation forward.
    virtual void SelectPage(RunStage stage) = 0;
};

}  // namespace quellor
