// The stages one file goes through, and the hooks they call for every record.
// Internal to the run library.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "records/Encoding.h"
#include "records/LineFilesStaging.h"
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

// Each stage is told the encoding the records were loaded in.
// Writes the repeated records aside into duplicates when there are any, after
// prefix as the input began; the caller puts them in place together with the
// result. Ends as the record check's abort does when the run is interrupted
// inside the sort, or when no extraction stage follows to notice an abort.
void SortStage(RunContext& run, TStringListEx& records, Encoding encoding,
               const std::string& duplicatesPath, mode_t newMode, std::string_view prefix,
               std::optional<StagedFile>& duplicates);
void RecordExtractionStage(RunContext& run, TStringListEx& records, Encoding encoding);
void FieldExtractionStage(RunContext& run, TStringListEx& records, Encoding encoding);

// Raises the field-count error or the abort; both unlock the window and close
// the log first, so the user reads the outcome while the error box is open.
void CheckRecord(RunContext& run, int lineNumber, int fieldsFound);
void ReportRecordProgress(RunContext& run, int done);

}  // namespace quellor
