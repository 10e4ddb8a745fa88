// A recording observer and a temporary folder for tests of whole runs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <typeindex>
#include <vector>

#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"

namespace quellor::test {

// Stores one line per observer call, "Name" or "Name:argument", and keeps the
// log and the record bar as the window would show them.
class RecordingObserver : public RunObserver {
  public:
    std::vector<std::string> Calls;
    std::string Log;
    std::string LogAtInformation;  // the log while the information box was open
    int RecordBar = 0;
    int PendingEventCalls = 0;
    // The run's abort switch, so a test can pull it from inside a callback.
    AbortSwitch Abort;
    // Runs inside ProcessPendingEvents, like a click delivered there.
    std::function<void(RecordingObserver&)> OnPendingEvents;

    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    void ProcessPendingEvents() override;
    void LockControls() override;
    void UnlockControls() override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(RunStage stage) override;

    // The arguments of every call of one operation, in order.
    std::vector<std::string> TextsOf(const std::string& name) const;
    std::vector<int> ValuesOf(const std::string& name) const;
    int CountOf(const std::string& name) const;
    // The transcript with the elapsed time of the closing log replaced by "#".
    std::vector<std::string> Normalized() const;
};

// A fresh folder per test, removed with everything in it afterwards.
class RunTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the lines, each followed by CR LF, and returns the file's path.
    std::string WriteLines(const std::string& name, const std::vector<std::string>& lines);
    std::string PathOf(const std::string& name) const;

    std::filesystem::path dir_;
};

std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// The lines of a CR LF file.
std::vector<std::string> ReadLines(const std::string& path);

// What ended a run that did not finish: the exception's exact class and
// message, or the abort's message.
struct RunError {
    std::type_index Type = typeid(void);
    std::string Message;
    bool Aborted = false;
};
RunError RunFailing(const RunSettings& settings, RecordingObserver& observer);

// What a run left: the message of the error that ended it ("" when it
// finished) and the bytes of each output of its first file, "(none)" where
// none was written. The outputs are removed, so that the next run meets the
// folder as this one did.
struct RunOutputs {
    std::string Error, New, Duplicates;
    bool operator==(const RunOutputs&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RunOutputs& o);
RunOutputs RunTakingOutputs(const RunSettings& settings, RecordingObserver& observer);
RunOutputs RunTakingOutputs(const RunSettings& settings);

// Settings with the given files and every operation off.
RunSettings SettingsFor(std::vector<std::string> files, int expectedFieldCount);

}  // namespace quellor::test
