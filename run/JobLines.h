// The lines of a saved job as a person writes them: line 1 is the version
// line; then one option a line exactly as the command line takes it
// (run/CommandOptions.h reads them); blank lines and lines starting with '#'
// are comments. Files are never part of a job.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/Exceptions.h"
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

// Whether the text ends in blanks (half-width, full-width or tabs). At the
// end of a job line they are in the value, yet no editor shows them: a search
// text "東京 " would silently match nothing, so such a line is refused, and
// the job writer never writes one.
bool EndsInBlanks(std::string_view text);

// A refusal of a line of the job at path, naming the argument and why.
EJobError JobError(const std::string& path, int line, const std::string& argument,
                   runmsg::Said reason);

}  // namespace quellor
