// quellor-cli: the window's run from the command line, for scripts and
// monthly jobs. Exit status: 0 done, 1 a start check failed, 2 an error ended
// the run, 3 aborted, 64 bad arguments.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliHelp.h"
#include "cli/CliObserver.h"
#include "cli/CliOptions.h"
#include "cli/ProgressBar.h"
#include "records/Exceptions.h"
#include "run/ProcessingRun.h"
#include "run/RunMessages.h"
#include "run/SampleLine.h"
#include "run/StandardStreams.h"

namespace quellor::cli {

namespace {

enum ExitStatus { kDone = 0, kStartCheck = 1, kError = 2, kAborted = 3, kUsage = 64 };

// What a signal handler may touch: the switch (lock-free) and a flag of its own.
AbortSwitch* theSwitch = nullptr;
volatile std::sig_atomic_t interrupted = 0;

extern "C" void RequestAbort(int) {
    interrupted = 1;
    if (theSwitch) theSwitch->Request();
}

// Ctrl-C and a polite kill end the run as the Abort button does: at the next
// record, with nothing partial left behind.
void CatchInterrupts(AbortSwitch& abort) {
    theSwitch = &abort;
    struct sigaction action {};
    action.sa_handler = RequestAbort;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader of the log that goes away must not end the run half-way.
    std::signal(SIGPIPE, SIG_IGN);
}

int Usage(Language language, const UsageError& e) {
    std::fprintf(stderr, "%s: %s: %s\n%s", kProgram, e.Argument.c_str(), In(language, e.Reason),
                 In(language, kTryHelp));
    return kUsage;
}

int StatusOf(const RunOutcome& outcome) {
    switch (outcome.What) {
        case RunOutcome::Kind::Done:
            return kDone;
        case RunOutcome::Kind::StartCheckFailed:
            return kStartCheck;
        case RunOutcome::Kind::Aborted:
            return kAborted;
    }
    return kError;
}

int Run(CommandLine& command) {
    AbortSwitch abort;
    CatchInterrupts(abort);
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    ProgressBar bar(stderr);
    CliObserver observer(stdout, stderr, terminal ? &bar : nullptr);
    RunChoices& choices = command.Choices;
    RunOutcome outcome;
    try {
        // As the window does: the first record of the first file sets the count.
        const FileChoice& files = choices.Files;
        if (!command.ExpectedFieldsGiven && !files.Paths.empty())
            choices.Fields.ExpectedFieldCount = FieldCountOfFirstFile(files.Paths[0], files.Text);
        if (!files.Paths.empty()) CheckAgainstFieldCount(command);
        const RunSettings settings = SettingsOf(command);
        // An interrupt while the first file was read: no file is begun.
        outcome = interrupted ? RunOutcome{RunOutcome::Kind::Aborted, std::nullopt, std::nullopt,
                                           runmsg::kAborted}
                              : ExecuteRun(settings, observer, abort);
    } catch (const UsageError&) {
        throw;
    } catch (const EAbort&) {
        observer.Finish();
        return kError;
    } catch (const std::exception& e) {
        observer.ShowError(e.what());
        observer.Finish();
        return kError;
    }
    if (outcome.What == RunOutcome::Kind::Aborted) observer.ShowError(outcome.Message);
    observer.Finish();
    return StatusOf(outcome);
}

// A log or message that did not reach its reader turns a success into an
// error: a script must not take the run for done when it cannot know.
int WithStreamsChecked(int status, Language language) {
    const bool outFailed = std::fflush(stdout) != 0 || std::ferror(stdout);
    const bool errFailed = std::fflush(stderr) != 0 || std::ferror(stderr);
    if (!outFailed && !errFailed) return status;
    if (outFailed) std::fprintf(stderr, "%s: %s\n", kProgram, In(language, kLogWriteError));
    return status == kDone || status == kStartCheck ? kError : status;
}

}  // namespace

int Main(const std::vector<std::string>& args, Language language) {
    try {
        CommandLine command = ParseCommandLine(args);
        switch (command.Do) {
            case CommandLine::Action::Help:
                std::fputs(HelpText(language).c_str(), stdout);
                return kDone;
            case CommandLine::Action::Version:
                std::printf("%s %s\n", kProgram, QUELLOR_VERSION);
                return kDone;
            case CommandLine::Action::Run:
                break;
        }
        return Run(command);
    } catch (const UsageError& e) {
        return Usage(language, e);
    } catch (const EJobError& e) {
        const std::string& text = language == Language::Japanese ? e.Message() : e.English();
        std::fprintf(stderr, "%s: %s\n%s", kProgram, text.c_str(), In(language, kTryHelp));
        return kUsage;
    }
}

}  // namespace quellor::cli

int main(int argc, char** argv) {
    using namespace quellor::cli;
    if (!quellor::OpenClosedStandardStreams()) return kError;
    // A write past the file-size limit fails with the output's write error
    // instead of killing the command.
    std::signal(SIGXFSZ, SIG_IGN);
    const Language language =
        LanguageOf(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    return WithStreamsChecked(Main({argv + 1, argv + argc}, language), language);
}
