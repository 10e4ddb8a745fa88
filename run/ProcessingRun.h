// The Start command from its checks to the written files.
#pragma once

#include <functional>
#include <string>

#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"

namespace quellor {

// Checks the settings and, if they pass, processes every file. Returns
// normally after the end of the run or after a failed start check; any error
// that ends the run leaves by exception after the controls are unlocked.
// The run clears abort once its checks have passed, and polls it at every
// record of the per-record stages.
void ExecuteRun(const RunSettings& settings, RunObserver& observer, AbortSwitch& abort);

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
void ExecuteRun(const RunSettings& settings, RunObserver& observer, AbortSwitch& abort,
                const OutputPathsFor& outputsFor);

}  // namespace quellor
