// The stages one file goes through, and the hooks they call for every record.
// Internal to the run library.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/RecordList.h"
#include "records/StagedFile.h"
#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"
#include "run/RunState.h"

namespace quellor {

struct RunContext {
    const RunSettings& Settings;
    RunObserver& Observer;
    const AbortSwitch& Abort;
    RunState State;
};

// The abort of a run, inside it: ExecuteRun turns it into its outcome.
class ERunAborted : public Exception {
  public:
    using Exception::Exception;
};

// Each stage is told the dialect of the file the records came from.
// Writes the repeated records aside into duplicates when there are any, after
// prefix as the input began; the caller puts them in place together with the
// result. Ends as the record check's abort does when the run is interrupted
// inside the sort, or when no extraction stage follows to notice an abort.
void SortStage(RunContext& run, TStringListEx& records, const CsvDialect& dialect,
               const std::string& duplicatesPath, mode_t newMode, std::string_view prefix,
               std::optional<StagedFile>& duplicates);
// Whether a record split into fields stays, by the run's conditions in the
// encoding of the file at hand.
std::function<bool(const TStringListEx&)> RecordTest(const RunSettings& settings,
                                                     Encoding encoding);
// The same test of a record whose fields were read in place.
std::function<bool(const PlainFields&)> PlainRecordTest(const RunSettings& settings,
                                                        Encoding encoding);
// What the extraction stages say before their first record and after their
// last, on every road.
void OpenRecordStage(RunContext& run, int count);
void CloseRecordStage(RunContext& run, int count, int left);
void OpenFieldStage(RunContext& run, int count);
void CloseFieldStage(RunContext& run, int count);

// The heading's field count, checked as the stage checks its records: as
// the sort checks a record, or as the record check checks one (line 1).
// Nothing without a heading.
void CheckHeadingForSort(const RunContext& run, const CsvDialect& dialect);
void CheckHeading(RunContext& run, const CsvDialect& dialect);
// Checks the heading as CheckHeading does and cuts it to the chosen fields.
void CutHeading(RunContext& run, const CsvDialect& dialect);

// Raises the field-count error or the abort, each with the log line that
// closes the log once the window is unlocked.
void CheckRecord(RunContext& run, int lineNumber, int fieldsFound);
void ReportRecordProgress(RunContext& run, int done);
// Lets the window's events through, noting whether an abort was then pending.
void LetEventsThrough(RunContext& run);
// Ends the run as the record check ends it on an abort.
[[noreturn]] void EndByAbort(RunContext& run);
// Moves the record bar; the run keeps the position for the next stage's share.
void SetRecordBar(RunContext& run, int percent);

}  // namespace quellor
