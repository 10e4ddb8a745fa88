// Saved jobs: the choices of a run as a small text file a person can read
// and edit. Line 1 is the version line; then one option a line exactly as
// the command line takes it (run/CommandOptions.h reads them); blank lines
// and lines starting with '#' are comments. Files are never part of a job.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/Exceptions.h"
#include "run/RunChoices.h"
#include "run/RunMessages.h"

namespace quellor {

inline constexpr std::string_view kJobMark = "quellor-job ";
inline constexpr int kJobVersion = 1;
// A job is a dozen short lines: anything much larger is some other file.
inline constexpr std::size_t kLargestJobFile = 64 * 1024;

struct JobLine {
    int Number;        // 1-based, in the file
    std::string Text;  // without its line end
};

// The option lines of the job file at path, the comments left out. Raises
// EJobError for a file that is too large, not UTF-8, holds a NUL byte, or
// has no version line or a newer one.
std::vector<JobLine> JobFileLines(const std::string& path);

// Whether a file's first bytes make it a job rather than records.
bool StartsAsJob(std::string_view firstBytes);

// The job text of the choices (files, memory and field count left out).
std::string JobText(const RunChoices& choices);
// Writes the job text to path, replacing the file; raises EFCreateError or
// EWriteError.
void WriteJobFile(const std::string& path, const RunChoices& choices);
// The choices a job file holds, over the defaults of a run.
RunChoices ReadJobFile(const std::string& path);

// A refusal of a line of the job at path, naming the argument and why.
EJobError JobError(const std::string& path, int line, const std::string& argument,
                   runmsg::Said reason);

}  // namespace quellor
