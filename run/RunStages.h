// The stages one file goes through, and the hooks they call for every record.
// Internal to the run library.
#pragma once

#include <string>
#include <string_view>

#include "records/RecordList.h"
#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"
#include "run/RunState.h"

namespace quellor {

struct RunContext {
    const RunSettings& Settings;
    RunObserver& Observer;
    AbortSwitch& Abort;
    RunState State;
};

// The ".w" file begins with prefix, as the input did.
void SortStage(RunContext& run, TStringListEx& records, const std::string& duplicatesPath,
               std::string_view prefix);
void RecordExtractionStage(RunContext& run, TStringListEx& records);
void FieldExtractionStage(RunContext& run, TStringListEx& records);

// Raises the field-count error or the abort; both unlock the window and close
// the log first, so the user reads the outcome while the error box is open.
void CheckRecord(RunContext& run, int lineNumber, int fieldsFound);
void ReportRecordProgress(RunContext& run, int done);

}  // namespace quellor
