// Two bars on one terminal line, files and records, as the window shows them.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace quellor::cli {

class ProgressBar {
  public:
    explicit ProgressBar(std::FILE* terminal) : out_(terminal) {}
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void SetFileCounter(const std::string& text);
    void SetRecordCounter(const std::string& text);
    void SetFilePercent(int percent);
    void SetRecordPercent(int percent);
    // Takes the line away, so that other output starts on a clean line; the
    // next change draws it again.
    void Clear();

  private:
    void Draw();

    std::FILE* out_;
    std::string fileCounter_, recordCounter_;
    int filePercent_ = 0, recordPercent_ = 0;
    bool shown_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace quellor::cli
