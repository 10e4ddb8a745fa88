// Saved jobs: the choices of a run as a small text file a person can read
// and edit (its lines: run/JobLines.h), written from the choices and read
// back by the option reader of the command line. The includes run one way:
// RunChoices, CommandOptionTable, JobLines < CommandOptions < JobFile.
#pragma once

#include <string>

#include "run/JobLines.h"
#include "run/RunChoices.h"

namespace quellor {

// The job text of the choices (files, memory and field count left out).
std::string JobText(const RunChoices& choices);
// Writes the job text to path, replacing the file; raises EFCreateError or
// EWriteError, or EJobError for a value no job line can give back as it is
// (one ending in blanks, or holding a line break), writing nothing then.
void WriteJobFile(const std::string& path, const RunChoices& choices);
// The choices a job file holds, over the defaults of a run.
RunChoices ReadJobFile(const std::string& path);

}  // namespace quellor
