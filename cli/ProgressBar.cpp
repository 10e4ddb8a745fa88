#include "cli/ProgressBar.h"

#include <algorithm>

namespace quellor::cli {

namespace {

constexpr int kBarWidth = 20;
// Counter texts change every thousand records; a terminal needs far fewer redraws.
constexpr auto kCounterRedraw = std::chrono::milliseconds(100);

void Bar(std::string& line, int percent) {
    const int filled = std::clamp(percent, 0, 100) * kBarWidth / 100;
    line += '[';
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarWidth - filled), '-');
    line += "] ";
}

}  // namespace

void ProgressBar::SetFileCounter(const std::string& text) {
    if (text == fileCounter_) return;
    fileCounter_ = text;
    Draw();
}

void ProgressBar::SetRecordCounter(const std::string& text) {
    if (text == recordCounter_) return;
    recordCounter_ = text;
    // Throttled: a counter alone does not earn a redraw more often than this.
    if (std::chrono::steady_clock::now() - lastDraw_ >= kCounterRedraw) Draw();
}

void ProgressBar::SetFilePercent(int percent) {
    if (percent == filePercent_) return;
    filePercent_ = percent;
    Draw();
}

void ProgressBar::SetRecordPercent(int percent) {
    // Called for every record: only a moved bar is drawn.
    if (percent == recordPercent_) return;
    recordPercent_ = percent;
    Draw();
}

void ProgressBar::Clear() {
    if (!shown_) return;
    std::fputs("\r\x1b[K", out_);
    std::fflush(out_);
    shown_ = false;
}

void ProgressBar::Draw() {
    std::string line = "\r";
    Bar(line, filePercent_);
    line += fileCounter_;
    line += "  ";
    Bar(line, recordPercent_);
    line += recordCounter_;
    line += "\x1b[K";
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    shown_ = true;
    lastDraw_ = std::chrono::steady_clock::now();
}

}  // namespace quellor::cli
