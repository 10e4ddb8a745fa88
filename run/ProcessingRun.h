// The Start command from its checks to the written files.
#pragma once

#include "run/AbortSwitch.h"
#include "run/OutputPaths.h"
#include "run/RunObserver.h"
#include "run/RunOutcome.h"
#include "run/RunSettings.h"

namespace quellor {

// Checks the settings and, if they pass, processes every file. Returns what
// the run came to: done, a failed start check (its warning already shown), or
// aborted; any error that ends the run leaves by exception after the controls
// are unlocked. The caller owns abort and clears it before a run it wants to
// start afresh: a request made before the run stops it at its first check.
RunOutcome ExecuteRun(const RunSettings& settings, RunObserver& observer, const AbortSwitch& abort);

// The same run with the output paths chosen by the caller (the benchmark
// driver writes where its harness expects); ExecuteRun uses OutputsBeside.
RunOutcome ExecuteRun(const RunSettings& settings, RunObserver& observer, const AbortSwitch& abort,
                      const OutputPathsFor& outputsFor);

}  // namespace quellor
