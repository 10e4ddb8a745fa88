// Random runs for the run fuzz target: settings and files drawn from the
// fuzzer's bytes, and an observer that can ask for an abort at a given point.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "run/AbortSwitch.h"
#include "run/NullObserver.h"
#include "run/RunSettings.h"

namespace quellor::fuzz {

// Keeps only the record bar (the run reads it back); requests an abort at the
// given call of ProcessPendingEvents (0: never), as the Abort button would;
// prints the log to logTo as the command line does (-1: nowhere).
class FuzzObserver : public NullObserver {
  public:
    explicit FuzzObserver(int abortAt, int logTo = -1) : abortAt_(abortAt), logTo_(logTo) {}

    void SetLog(const std::string& text) override { AppendLog(text); }
    void AppendLog(const std::string& text) override;
    void ProcessPendingEvents() override;
    void LockControls() override { ++locks_; }
    void ShowWarning(const std::string&) override { warned_ = true; }
    void ShowInformation(const std::string&) override { ++informed_; }

    int Locks() const { return locks_; }
    bool Warned() const { return warned_; }
    int Informed() const { return informed_; }
    AbortSwitch& Abort() { return abort_; }

  private:
    AbortSwitch abort_;
    int abortAt_;
    int logTo_;
    int events_ = 0;
    int locks_ = 0;
    int informed_ = 0;
    bool warned_ = false;
};

struct RunCase {
    RunSettings Settings;
    std::vector<std::string> Names;     // file names in the run's folder
    std::vector<std::string> Contents;  // their bytes
    int AbortAt = 0;
    // A standard descriptor closed before the run as cron may leave it, and
    // opened on /dev/null as main does (-1: none); the log goes to it.
    int ClosedStream = -1;
};

// Draws a case and writes its inputs (and any stale outputs) into dir.
RunCase MakeRunCase(FuzzedDataProvider& fdp, const std::string& dir);

struct RunResult {
    bool Warned = false;
    bool Failed = false;
    bool Aborted = false;
    std::size_t FileIndex = 0;  // the file in progress when the run failed
    std::string Message;
};

RunResult RunOnce(const RunCase& c);

// Whether a listed file is the ".new" (or the ".w", when duplicates go to
// their file) of another listed file: the run must then not start.
bool ListsAnOutput(const RunCase& c);

}  // namespace quellor::fuzz
