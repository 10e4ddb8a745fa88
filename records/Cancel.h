// A request from outside to stop long work early, read by the sort's passes
// at bounded intervals. While they run only a signal handler can set it: the
// window delivers its events between records, never inside the sort.
#pragma once

#include <atomic>
#include <cstddef>

#include "records/Exceptions.h"

namespace quellor {

class CancelCheck {
  public:
    CancelCheck() = default;  // never fires
    explicit CancelCheck(const std::atomic<bool>& requested) : requested_(&requested) {}

    void ThrowIfRequested() const {
        if (requested_ && requested_->load(std::memory_order_relaxed)) throw ECancelled();
    }
    // For loops over lines: one look in kInterval steps keeps the cost out of
    // sight and the wait short (a few milliseconds at the slowest step).
    void AtStep(std::size_t step) const {
        if (step % kInterval == 0) ThrowIfRequested();
    }

    static constexpr std::size_t kInterval = 4096;

  private:
    const std::atomic<bool>* requested_ = nullptr;
};

}  // namespace quellor
