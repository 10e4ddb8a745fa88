// The Start command from its checks to the written files.
#pragma once

#include <optional>
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

// The field number of a field entry "[第%sﾌｨｰﾙﾄﾞ]　%s" (UTF-8), or nothing when
// the entry is not of that form.
std::optional<int> FieldNumberOfEntry(std::string_view entry);

}  // namespace quellor
