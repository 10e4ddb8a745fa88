// The run as a command shows it: the log on standard output, warnings and
// errors on standard error, and a progress bar where there is a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/ProgressBar.h"
#include "run/RunObserver.h"

namespace quellor::cli {

class CliObserver : public RunObserver {
  public:
    // bar may be null: no terminal, no bar.
    CliObserver(std::FILE* out, std::FILE* err, ProgressBar* bar);

    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    void ProcessPendingEvents() override {}
    void LockControls() override {}
    void UnlockControls() override {}
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(RunStage) override {}

    // An error that ended the run, as the error box shows it.
    void ShowError(std::string_view message);
    // Ends the log's last line and takes the bar away.
    void Finish();
    bool WarningShown() const { return warningShown_; }

  private:
    void Log(std::string_view text);
    void PrintLine(std::FILE* to, std::string_view line);
    void EndPendingLine();

    std::FILE* out_;
    std::FILE* err_;
    ProgressBar* bar_;
    std::string pending_;  // the log's line that has not ended yet
    bool warningShown_ = false;
};

}  // namespace quellor::cli
