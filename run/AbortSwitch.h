// The request to stop a run, owned by whoever can make it: the window's
// Abort button, or the command line's interrupt handler.
#pragma once

#include <atomic>

namespace quellor {

class AbortSwitch {
  public:
    // Lock-free, so a signal handler may call it.
    void Request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    void Clear() noexcept { requested_.store(false, std::memory_order_relaxed); }
    bool Requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    // For work below the run that may only read it (CancelCheck).
    const std::atomic<bool>& Flag() const noexcept { return requested_; }

  private:
    std::atomic<bool> requested_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace quellor
