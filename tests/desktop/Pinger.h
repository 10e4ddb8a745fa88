// The pings a window manager sends to a window, every 50 ms, and what came
// of them: how long each answer took and the longest the window was silent.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <vector>

#include "ProbeDisplay.h"

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Pinger {
  public:
    static constexpr auto kInterval = std::chrono::milliseconds(50);

    Pinger(ProbeDisplay& x, xcb_window_t window);

    // Pings (when sending) and reads answers until until, or until stop
    // returns true: it is asked whenever a window is mapped and at least
    // every 20 ms. True when stop ended it.
    bool Pump(Clock::time_point until, const std::function<bool()>& stop, bool sending = true);
    // Reads answers without pinging until every ping is answered or until.
    void Drain(Clock::time_point until);

    // Figures from here on; pings still waiting count where they are answered.
    void Restart();
    struct Figures {
        int Sent = 0;
        int Answered = 0;
        int Late = 0;  // answered after kLimit, or not at all by now
        double LongestMs = 0;
        double LongestSentAfterMs = 0;  // when the longest waiting ping was sent
        double SilenceMs = 0;           // longest time without an answer
    };
    // The figures now: a ping still waiting counts with its wait so far.
    Figures Now(std::chrono::milliseconds limit) const;

  private:
    void Answered(std::uint32_t stamp, Clock::time_point at);

    ProbeDisplay& x_;
    xcb_window_t window_;
    Clock::time_point origin_ = Clock::now();
    Clock::time_point from_ = origin_;
    Clock::time_point lastAnswer_ = origin_;
    Clock::time_point nextPing_ = origin_;
    std::map<std::uint32_t, Clock::time_point> waiting_;
    std::vector<double> delaysMs_;
    Figures f_;
};
