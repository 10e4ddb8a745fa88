// The Start command from its checks to the written files.
#pragma once

#include "run/AbortSwitch.h"
#include "run/OutputPaths.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"

namespace quellor {

// Checks the settings and, if they pass, processes every file. Returns
// normally after the end of the run or after a failed start check; any error
// that ends the run leaves by exception after the controls are unlocked.
// The run clears abort once its checks have passed, and polls it at every
// record of the per-record stages.
void ExecuteRun(const RunSettings& settings, RunObserver& observer, AbortSwitch& abort);

// The same run with the output paths chosen by the caller (the benchmark
// driver writes where its harness expects); ExecuteRun uses OutputsBeside.
void ExecuteRun(const RunSettings& settings, RunObserver& observer, AbortSwitch& abort,
                const OutputPathsFor& outputsFor);

}  // namespace quellor
