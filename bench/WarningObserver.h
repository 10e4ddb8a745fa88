// The benchmark's observer: nothing shown, the start check's warning kept so
// that the driver can print it.
#pragma once

#include <string>

#include "run/NullObserver.h"

namespace quellor::bench {

class WarningObserver : public NullObserver {
  public:
    void ShowWarning(const std::string& text) override { warning_ = text; }
    const std::string& Warning() const { return warning_; }

  private:
    std::string warning_;
};

}  // namespace quellor::bench
