#include "Pinger.h"

#include <poll.h>

#include <algorithm>

Pinger::Pinger(ProbeDisplay& x, xcb_window_t window) : x_(x), window_(window) {}

void Pinger::Restart() {
    from_ = lastAnswer_ = Clock::now();
    f_ = {};
    delaysMs_.clear();
}

void Pinger::Answered(std::uint32_t stamp, Clock::time_point at) {
    const auto sent = waiting_.find(stamp);
    if (sent == waiting_.end()) return;  // another manager's, or one answered twice
    const double ms = Ms(at - sent->second);
    if (ms > f_.LongestMs) {
        f_.LongestMs = ms;
        f_.LongestSentAfterMs = Ms(sent->second - from_);
    }
    delaysMs_.push_back(ms);
    ++f_.Answered;
    f_.SilenceMs = std::max(f_.SilenceMs, Ms(at - lastAnswer_));
    lastAnswer_ = at;
    waiting_.erase(sent);
}

bool Pinger::Pump(Clock::time_point until, const std::function<bool()>& stop, bool sending) {
    constexpr auto kLookEvery = std::chrono::milliseconds(20);
    Clock::time_point nextLook = Clock::now();
    bool mapped = false;
    for (;;) {
        // Answers the last round trips left in the queue come first, so the
        // wait below only starts on an empty queue.
        while (const auto e = x_.Next()) {
            if (e->PingAnswered) Answered(*e->PingAnswered, Clock::now());
            mapped = mapped || e->Mapped;
        }
        const Clock::time_point now = Clock::now();
        if (now >= until) return false;
        if (stop && (mapped || now >= nextLook)) {
            mapped = false;
            nextLook = now + kLookEvery;
            if (stop()) return true;
            continue;
        }
        if (sending && now >= nextPing_) {
            // The stamp is the time in ms, as a manager's server time would
            // be: unique at this interval.
            const auto stamp = static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(now - origin_).count() + 1);
            waiting_[stamp] = now;
            x_.Ping(window_, stamp);
            ++f_.Sent;
            nextPing_ = std::max(nextPing_ + kInterval, now);
            continue;
        }
        Clock::time_point wake = until;
        if (sending) wake = std::min(wake, nextPing_);
        if (stop) wake = std::min(wake, nextLook);
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now);
        const timespec t{wait.count() / 1'000'000'000, wait.count() % 1'000'000'000};
        pollfd p{x_.Fd(), POLLIN, 0};
        ppoll(&p, 1, &t, nullptr);
    }
}

void Pinger::Drain(Clock::time_point until) {
    Pump(
        until, [this] { return waiting_.empty(); }, false);
}

Pinger::Figures Pinger::Now(std::chrono::milliseconds limit) const {
    Figures f = f_;
    const Clock::time_point now = Clock::now();
    const double limitMs = Ms(limit);
    f.Late = static_cast<int>(
        std::count_if(delaysMs_.begin(), delaysMs_.end(), [&](double ms) { return ms > limitMs; }));
    for (const auto& [stamp, sent] : waiting_) {
        if (sent < from_) continue;
        const double ms = Ms(now - sent);
        if (ms > limitMs) ++f.Late;
        if (ms > f.LongestMs) {
            f.LongestMs = ms;
            f.LongestSentAfterMs = Ms(sent - from_);
        }
    }
    f.SilenceMs = std::max(f.SilenceMs, Ms(now - lastAnswer_));
    return f;
}
