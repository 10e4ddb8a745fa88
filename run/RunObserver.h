// How a run shows its progress and uses the window. Texts are UTF-8.
#pragma once

#include <string>

namespace quellor {

class RunObserver {
  public:
    virtual ~RunObserver() = default;

    virtual void SetFileCounter(const std::string& text) = 0;
    virtual void SetRecordCounter(const std::string& text) = 0;
    virtual void SetLog(const std::string& text) = 0;
    virtual void AppendLog(const std::string& text) = 0;
    virtual void SetFileProgress(int percent) = 0;
    virtual void SetRecordProgress(int percent) = 0;
    // The position the record bar now holds, after clamping to 0..100.
    virtual int GetRecordProgress() = 0;
    virtual void ProcessPendingEvents() = 0;
    // Called every few thousand lines while a file too large for memory is
    // sorted on disk, a step with no per-record hooks: the record bar may
    // move to recordPercent, and events may be delivered, at intervals the
    // observer bounds. Calls on every other path stay as they are.
    virtual void KeepAlive(int recordPercent) { (void)recordPercent; }
    virtual void LockControls() = 0;
    virtual void UnlockControls() = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    // 0 field extraction, 1 record extraction, 2 sort.
    virtual void SelectPage(int page) = 0;
};

}  // namespace quellor
