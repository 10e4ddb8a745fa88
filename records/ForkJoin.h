// Two halves of one pass at once: the passes over a whole list (building
// sort keys, sorting, rewriting lines) pay for a second thread only when the
// list is long and there is a second core to run it.
#pragma once

#include <cstddef>
#include <exception>
#include <thread>

namespace quellor {

// Below this many lines starting a thread costs about what it saves.
inline constexpr std::size_t kParallelFrom = 20000;

inline bool WorthTwoThreads(std::size_t lines) {
    return lines >= kParallelFrom && std::thread::hardware_concurrency() >= 2;
}

// Runs there on a second thread and here on this one, and returns once both
// have finished. What here threw is thrown on, else what there threw: an
// error (a cancel among them) is never lost by crossing threads, and neither
// half is left running over data the caller is about to drop.
template <typename Here, typename There>
void ForkJoin(const Here& here, const There& there) {
    std::exception_ptr failure;
    std::thread second([&] {
        try {
            there();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        here();
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace quellor
