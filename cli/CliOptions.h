// The command line, read into the same choices the window's controls give.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliTexts.h"
#include "run/RunChoices.h"

namespace quellor::cli {

enum class Language { Japanese, English };

// The help's language: the first of LC_ALL, LC_MESSAGES, LANG that is set
// decides, as it does for every program; "ja..." is Japanese.
Language LanguageOf(const char* lcAll, const char* lcMessages, const char* lang);

// An argument the command cannot use, and why.
class UsageError : public std::runtime_error {
  public:
    UsageError(std::string argument, Said reason)
        : std::runtime_error(argument), Argument(std::move(argument)), Reason(reason) {}
    std::string Argument;
    Said Reason;
};

struct CommandLine {
    enum class Action { Run, Help, Version };
    Action Do = Action::Run;
    RunChoices Choices;
    bool ExpectedFieldsGiven = false;
    // The arguments as typed, to name them when a later check refuses them.
    std::string FieldsArgument, WhereArgument, SecondArgument, SortArgument;
};

// Raises UsageError for an argument that is not understood.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Field numbers beyond the records' field count, and search texts that code
// page 932 cannot hold, are refused here, naming the argument.
void CheckAgainstFieldCount(const CommandLine& command);
RunSettings SettingsOf(const CommandLine& command);

}  // namespace quellor::cli
