// An observer for runs without a window: keeps only the record bar, which the
// run reads back.
#pragma once

#include <algorithm>
#include <string>

#include "run/RunObserver.h"

namespace quellor::bench {

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
    void ShowWarning(const std::string& text) override { warning_ = text; }
    void ShowInformation(const std::string&) override {}
    void SelectPage(int) override {}

    const std::string& Warning() const { return warning_; }

  private:
    int bar_ = 0;
    std::string warning_;
};

}  // namespace quellor::bench
