// Plays the window manager's part for a test that the window keeps
// answering while a run works: finds the program's window by its title,
// pings it every 50 ms as a manager does (_NET_WM_PING) and notes how long
// each answer took. First the window idles for IDLE seconds; then the probe
// clicks "ｽﾀｰﾄ", clicks "中止" (in the same place) ABORT_AFTER seconds later
// and waits for the abort's error box.
// Usage: quellor_ping_probe IDLE ABORT_AFTER   (with DISPLAY set)
// Prints its figures; "clicked-abort-ns N" gives the click's CLOCK_MONOTONIC
// time for a check that it fell inside the slowed stage. Exits with 1 when a
// ping waited, or the box came, later than 0.5 s; with 2 when the test could
// not be made (no window, a window slow while idle, a run over too soon).
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "Pinger.h"
#include "ProbeDisplay.h"

namespace {

using std::chrono::milliseconds;

constexpr char kCaption[] = "Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00";
// The boxes a run may end in: the abort's (the error box, titled with the
// program's name), a finished run's, and a refused start's.
const std::set<std::string> kBoxTitles = {"quellor", "情報", "警告"};
constexpr milliseconds kLimit(500);
// "ｽﾀｰﾄ" and "中止" share one place of the form, in its 568 x 569 pixels.
constexpr int kFormWidth = 568, kFormHeight = 569, kButtonX = 488 + 37, kButtonY = 504 + 12;

[[noreturn]] void Quit(int status, const char* why) {
    std::fprintf(stderr, "probe: %s\n", why);
    std::exit(status);
}

Clock::time_point After(double seconds) {
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

xcb_window_t MainWindow(ProbeDisplay& x) {
    const Clock::time_point until = After(60);
    while (Clock::now() < until) {
        for (const auto& w : x.TitledWindows()) {
            if (w.Title == kCaption) return w.Window;
        }
        std::this_thread::sleep_for(milliseconds(100));
    }
    Quit(2, "no window of the program was mapped");
}

// A box that was not there before, if one is shown now.
struct Box {
    std::string Title;
    Clock::time_point At;
};
std::optional<Box> NewBox(ProbeDisplay& x, const std::set<xcb_window_t>& before) {
    for (const auto& w : x.TitledWindows()) {
        if (kBoxTitles.contains(w.Title) && !before.contains(w.Window)) {
            return Box{w.Title, Clock::now()};
        }
    }
    return std::nullopt;
}

void Print(const char* phase, const Pinger::Figures& f) {
    std::printf(
        "probe: %s: %d pings, %d answered, longest answer %.1f ms (ping sent %.0f ms in), "
        "longest silence %.1f ms, %d over %lld ms\n",
        phase, f.Sent, f.Answered, f.LongestMs, f.LongestSentAfterMs, f.SilenceMs, f.Late,
        static_cast<long long>(kLimit.count()));
    std::fflush(stdout);
}

void ClickButton(ProbeDisplay& x, xcb_window_t window) {
    const auto [width, height] = x.Size(window);
    x.Click(window, kButtonX * width / kFormWidth, kButtonY * height / kFormHeight);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) Quit(2, "usage: quellor_ping_probe IDLE ABORT_AFTER");
    const double idle = std::atof(argv[1]), abortAfter = std::atof(argv[2]);

    ProbeDisplay x;
    const xcb_window_t window = MainWindow(x);
    Pinger pinger(x, window);
    // The window may still be reading the listed file for its preview.
    pinger.Pump(After(30), [&] { return pinger.Now(kLimit).Answered > 0; });
    if (pinger.Now(kLimit).Answered == 0) Quit(2, "the window answers no ping");

    pinger.Restart();
    pinger.Pump(After(idle), nullptr);
    const Pinger::Figures quiet = pinger.Now(kLimit);
    Print("idle", quiet);
    if (quiet.LongestMs > Ms(kLimit)) Quit(2, "the window is slow to answer while idle");

    std::set<xcb_window_t> before;
    for (const auto& w : x.TitledWindows()) before.insert(w.Window);
    std::optional<Box> box;
    const auto boxShown = [&] { return (box = NewBox(x, before)).has_value(); };

    ClickButton(x, window);  // "ｽﾀｰﾄ"
    pinger.Restart();
    if (pinger.Pump(After(abortAfter), boxShown)) {
        std::fprintf(stderr, "probe: box \"%s\" before the click on 中止\n", box->Title.c_str());
        // A benchmark asks for a whole run this way: its figures still count.
        Print("whole run", pinger.Now(kLimit));
        Quit(2, "the run was over before the abort: the stage is too short");
    }
    ClickButton(x, window);  // "中止"
    const Clock::time_point clicked = Clock::now();
    std::printf("probe: clicked-abort-ns %lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(clicked.time_since_epoch())
                        .count()));
    // Today's stages end well within this; a run that never ends fails here.
    pinger.Pump(After(20), boxShown);
    // Pings still waiting are answered once a box's own loop runs.
    pinger.Drain(After(5));
    const Pinger::Figures busy = pinger.Now(kLimit);
    Print("run", busy);

    bool good = busy.Late == 0 && busy.Answered == busy.Sent;
    if (!box) {
        std::printf("probe: abort: no box within 20 s of the click\n");
        good = false;
    } else {
        const double ms = Ms(box->At - clicked);
        std::printf("probe: abort: box \"%s\" %.1f ms after the click\n", box->Title.c_str(), ms);
        good = good && box->Title == "quellor" && ms <= Ms(kLimit);
    }
    std::fflush(stdout);
    return good ? 0 : 1;
}
