// Shared by the fault tests: a scratch folder on disk, runs that report their
// error as text, child processes with their own limits and user, and checks
// that nothing was lost.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "run/RunObserver.h"
#include "run/RunSettings.h"

namespace quellor::faults {

// Keeps the log; calls onEvents whenever the run lets the
// window's events through, which is where a user (or another program) can
// act in the middle of a run.
class FaultObserver : public RunObserver {
  public:
    std::function<void()> onEvents;

    void SetFileCounter(const std::string&) override {}
    void SetRecordCounter(const std::string&) override {}
    void SetLog(const std::string& text) override { log_ = text; }
    void AppendLog(const std::string& text) override { log_ += text; }
    void SetFileProgress(int) override {}
    void SetRecordProgress(int) override {}
    void ProcessPendingEvents() override {
        if (onEvents) onEvents();
    }
    void LockControls() override {}
    void UnlockControls() override {}
    void ShowWarning(const std::string& text) override { warnings_ += text; }
    void ShowInformation(const std::string&) override { ++informed_; }
    void SelectPage(RunStage) override { ++pagesSelected_; }

    const std::string& Log() const { return log_; }
    const std::string& Warnings() const { return warnings_; }
    int Informed() const { return informed_; }
    int PagesSelected() const { return pagesSelected_; }

  private:
    int informed_ = 0;
    int pagesSelected_ = 0;
    std::string log_;
    std::string warnings_;
};

// Runs and gives the error that ended the run as "Class: message", or "" when
// the run finished.
std::string RunReportingError(const RunSettings& settings, FaultObserver& observer);
std::string RunReportingError(const RunSettings& settings);

// Runs body in a forked child and returns what it returned; the child's
// limits and user do not reach this process.
std::string InChild(const std::function<std::string()>& body);
// Gives up root for the user nobody (nothing to do when not root).
void DropToUnprivilegedUser();
bool RunningAsRoot();
// Hands the file to the user nobody (nothing to do when not root).
void GiveToUnprivilegedUser(const std::string& path);

// Every file of the folder with its bytes (folders as "<folder>").
using Snapshot = std::map<std::string, std::string>;

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }
    std::string Write(const std::string& name, std::string_view bytes) const;
    static std::string Read(const std::string& path);
    Snapshot Take() const;
    // Opens the folder to other users, for runs as nobody.
    void ShareFolder() const;

    // Everything that was there is still there, byte for byte, and nothing
    // else is, apart from the named new outputs.
    void ExpectOnlyAdded(const Snapshot& before, const std::vector<std::string>& added) const;

    std::string dir_;
};

std::string Text(const std::vector<std::string>& lines);  // each line + CR LF

}  // namespace quellor::faults
