// A request from outside to stop long work early, read by the passes over a
// file (loading, sorting, writing) at bounded intervals, and the work done
// so far reported back, so that whoever waits can show it moving.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "records/Exceptions.h"

namespace quellor {

class CancelCheck {
  public:
    // Work done out of the whole, in any unit.
    using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

    CancelCheck() = default;  // never fires, reports nothing
    explicit CancelCheck(const std::atomic<bool>& requested, Progress progress = {})
        : CancelCheck(&requested, std::move(progress)) {}
    // No request to look at (null) that still reports.
    CancelCheck(const std::atomic<bool>* requested, Progress progress) : requested_(requested) {
        if (progress) report_ = std::make_shared<Reporter>(std::move(progress));
    }

    void ThrowIfRequested() const {
        if (requested_ && requested_->load(std::memory_order_relaxed)) throw ECancelled();
    }
    // For loops over records: one look in kInterval steps keeps the cost out
    // of sight and the wait short (well under a millisecond at the slowest step).
    void AtStep(std::size_t step) const {
        if (step % kInterval == 0) ThrowIfRequested();
    }
    // Reports the work done, now and then: only from the thread that made
    // the check (the others' share is counted in done), and at most every
    // so often, so a caller may report at every chunk.
    void Report(std::uint64_t done, std::uint64_t total) const {
        if (report_) report_->Report(done, total);
    }

    static constexpr std::size_t kInterval = 1024;

  private:
    class Reporter {
      public:
        explicit Reporter(Progress progress) : progress_(std::move(progress)) {}
        void Report(std::uint64_t done, std::uint64_t total) {
            if (std::this_thread::get_id() != owner_) return;
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ < kEvery) return;
            last_ = now;
            progress_(done, total);
        }

      private:
        static constexpr std::chrono::milliseconds kEvery{50};
        Progress progress_;
        std::thread::id owner_ = std::this_thread::get_id();
        std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    };

    const std::atomic<bool>* requested_ = nullptr;
    std::shared_ptr<Reporter> report_;
};

}  // namespace quellor
