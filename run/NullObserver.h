// An observer for runs without a window: shows nothing. Tools and tests
// derive from it to watch the calls they care about.
#pragma once

#include <string>

#include "run/RunObserver.h"

namespace quellor {

class NullObserver : public RunObserver {
  public:
    void SetFileCounter(const std::string&) override {}
    void SetRecordCounter(const std::string&) override {}
    void SetLog(const std::string&) override {}
    void AppendLog(const std::string&) override {}
    void SetFileProgress(int) override {}
    void SetRecordProgress(int) override {}
    void ProcessPendingEvents() override {}
    void LockControls() override {}
    void UnlockControls() override {}
    void ShowWarning(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    void SelectPage(RunStage) override {}
};

}  // namespace quellor
