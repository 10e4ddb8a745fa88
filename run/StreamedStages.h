// The road of a file whose run does not fit the memory budget: the same
// stages with the same observer calls, record checks and outputs as the
// in-memory road, with the records taken in one pass as they are read from
// the file (or, after a sort, as the merge hands them out) rather than held
// in a list.
// Internal to the run library.
#pragma once

#include <sys/types.h>

#include <string>

#include "run/ProcessingRun.h"
#include "run/RunStages.h"

namespace quellor {

// Everything ProcessFile does for one file between its log line and the
// file counter, with outputs put in place together at the end.
void ProcessFileStreamed(RunContext& run, const std::string& path, const OutputPaths& outputs,
                         mode_t newMode);

}  // namespace quellor
