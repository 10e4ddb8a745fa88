#include "cli/CliObserver.h"

#include <algorithm>

#include "cli/CliTexts.h"
#include "run/ErrorText.h"

namespace quellor::cli {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

CliObserver::CliObserver(std::FILE* out, std::FILE* err, ProgressBar* bar)
    : out_(out), err_(err), bar_(bar) {}

void CliObserver::SetFileCounter(const std::string& text) {
    if (bar_) bar_->SetFileCounter(text);
}

void CliObserver::SetRecordCounter(const std::string& text) {
    if (bar_) bar_->SetRecordCounter(text);
}

// The window replaces its log at every file; a stream cannot take back what
// it printed, so the line that was still growing is ended first.
void CliObserver::SetLog(const std::string& text) {
    EndPendingLine();
    Log(text);
}

void CliObserver::AppendLog(const std::string& text) {
    Log(text);
}

void CliObserver::SetFileProgress(int percent) {
    if (bar_) bar_->SetFilePercent(percent);
}

void CliObserver::SetRecordProgress(int percent) {
    if (bar_) bar_->SetRecordPercent(std::clamp(percent, 0, 100));
}

void CliObserver::ShowWarning(const std::string& text) {
    warningShown_ = true;
    EndPendingLine();
    PrintLine(err_, std::string(kProgram) + ": " + text);
}

void CliObserver::ShowInformation(const std::string& text) {
    EndPendingLine();
    PrintLine(out_, text);
}

void CliObserver::ShowError(std::string_view message) {
    EndPendingLine();
    const std::string shown = ErrorShownText(message);
    std::string text = std::string(kProgram) + ": ";
    std::string_view rest = shown;
    for (std::size_t at; (at = rest.find(kLineBreak)) != std::string_view::npos;) {
        text.append(rest.substr(0, at)).append("\n");
        rest.remove_prefix(at + kLineBreak.size());
    }
    PrintLine(err_, text.append(rest));
}

void CliObserver::Finish() {
    EndPendingLine();
    if (bar_) bar_->Clear();
}

// Every completed line of the log is printed once, as it completes.
void CliObserver::Log(std::string_view text) {
    for (std::size_t at; (at = text.find(kLineBreak)) != std::string_view::npos;) {
        pending_.append(text.substr(0, at));
        PrintLine(out_, pending_);
        pending_.clear();
        text.remove_prefix(at + kLineBreak.size());
    }
    pending_.append(text);
}

void CliObserver::EndPendingLine() {
    if (pending_.empty()) return;
    PrintLine(out_, pending_);
    pending_.clear();
}

void CliObserver::PrintLine(std::FILE* to, std::string_view line) {
    if (bar_) bar_->Clear();
    std::fwrite(line.data(), 1, line.size(), to);
    std::fputc('\n', to);
    // A few lines per file: flushed at once, so that they keep their order
    // with standard error and a reader of a pipe sees the run go on.
    std::fflush(to);
}

}  // namespace quellor::cli
