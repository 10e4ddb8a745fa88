// The stages one file goes through, and the hooks they call for every record.
// Internal to the run library.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/RecordList.h"
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

// What the sort says before its records are put in order, and once they
// are (on disk, once they are merged): the heading's field count is checked
// at the start; at the end, with no record check to come, an abort is
// noticed there, before anything of the file is kept.
void OpenSortStage(RunContext& run, int count, const CsvDialect& dialect);
void CloseSortStage(RunContext& run, int count);
// Whether a record split into fields stays, by the run's conditions in the
// encoding of the file at hand.
std::function<bool(const TStringListEx&)> RecordTest(const RunSettings& settings,
                                                     Encoding encoding);
// The same test of a record whose fields were read in place.
std::function<bool(const PlainFields&)> PlainRecordTest(const RunSettings& settings,
                                                        Encoding encoding);
// What the extraction stages say before their first record and after their
// last, on every path.
void OpenRecordStage(RunContext& run, int count);
void CloseRecordStage(RunContext& run, int count, int left);
void OpenFieldStage(RunContext& run, int count);
void CloseFieldStage(RunContext& run, int count);

// The heading's field count, checked as the stage checks its records: as
// the sort checks a record, or as the record check checks one (line 1); the
// field stage then cuts it, failing as a record's cut fails. Nothing
// without a heading.
void CheckHeading(RunContext& run, RunStage stage, const CsvDialect& dialect);
// The heading cut to the chosen fields; throws as the field stage's cut of
// a record does (a wrong count is not checked here).
std::string CutHeading(const RunState& state, const RunSettings& settings,
                       const CsvDialect& dialect);

// The check of a long piece of a file's work (loading, sorting, the
// extraction's pass, saving). An abort stops it at once, unless it was
// already pending when the window's events were last let through and a
// record check is to come, which notices it where it always did: a run's
// transcript does not depend on how long its work took. The work done moves
// the record bar from from across share.
CancelCheck WorkCheck(RunContext& run, bool recordCheckFollows, int from, int share);

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
