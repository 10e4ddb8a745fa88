// An observer for runs without a window: shows nothing and keeps only the
// record bar, which the run reads back. Tools and tests derive from it to
// watch the calls they care about.
#pragma once

#include <algorithm>
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
    void SetRecordProgress(int percent) override { bar_ = std::clamp(percent, 0, 100); }
    int GetRecordProgress() override { return bar_; }
    void ProcessPendingEvents() override {}
    void LockControls() override {}
    void UnlockControls() override {}
    void ShowWarning(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    void SelectPage(int) override {}

  private:
    int bar_ = 0;
};

}  // namespace quellor
