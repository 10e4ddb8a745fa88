// The options of the command line, read into the same choices the window's
// controls give. A job file holds the same options, one a line, and is read
// by the same reader, so a job run from the window and from the command line
// cannot mean two things. Which options there are, and which a job may
// hold, is the table of run/CommandOptionTable.h.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "run/RunChoices.h"
#include "run/RunMessages.h"

namespace quellor {

// An argument the command cannot use, and why.
class UsageError : public std::runtime_error {
  public:
    UsageError(std::string argument, runmsg::Said reason)
        : std::runtime_error(argument), Argument(std::move(argument)), Reason(reason) {}
    std::string Argument;
    runmsg::Said Reason;
};

struct CommandLine {
    enum class Action { Run, Help, Version };
    Action Do = Action::Run;
    RunChoices Choices;
    bool ExpectedFieldsGiven = false;
    // The arguments as typed, to name them when a later check refuses them.
    std::string FieldsArgument, WhereArgument, SecondArgument, SortArgument;
};

// Raises UsageError for an argument that is not understood. "--job FILE" and
// "@FILE" put the job's options in their place: later options override the
// job's, and only an option given twice on the command line, or twice in the
// job, is refused. A bad job raises EJobError.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Reads the job file at path onto c, as the options it holds would be read in
// its place. Raises EJobError naming the file and the line; c is then unchanged.
void ApplyJobFile(const std::string& path, CommandLine& c);

}  // namespace quellor
