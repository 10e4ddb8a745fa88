// The Start command from its checks to the written files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "run/RunObserver.h"
#include "run/RunSettings.h"

namespace quellor {

// Process-wide: set by the Abort button, cleared by a run's preparation,
// polled at every record of the per-record stages.
extern bool AbortRequested;

// Checks the settings and, if they pass, processes every file. Returns
// normally after the end of the run or after a failed start check; any error
// that ends the run leaves by exception after the controls are unlocked.
void ExecuteRun(const RunSettings& settings, RunObserver& observer);

// Where the outputs of one input file go.
struct OutputPaths {
    std::string Processed;   // the ".new" file
    std::string Duplicates;  // the ".w" file
};
using OutputPathsFor = std::function<OutputPaths(const std::string& input)>;

// The outputs beside the input: its full name with ".new" and ".w" appended.
OutputPaths OutputsBeside(const std::string& input);

// The same run with the output paths chosen by the caller (the benchmark
// driver writes where its harness expects); ExecuteRun uses OutputsBeside.
void ExecuteRun(const RunSettings& settings, RunObserver& observer,
                const OutputPathsFor& outputsFor);

// The field number of a field entry "[第%sﾌｨｰﾙﾄﾞ]　%s" (UTF-8), or nothing when
// the entry is not of that form.
std::optional<int> FieldNumberOfEntry(std::string_view entry);

}  // namespace quellor
