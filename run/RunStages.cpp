#include "run/RunStages.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/Cancel.h"
#include "records/Cp932.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/Messages.h"
#include "records/Sort.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

// A condition with its search text in the encoding of the file at hand.
struct FileCondition {
    FileCondition(const RecordCondition& c, Encoding encoding)
        : FieldIndex(c.FieldNumber - 1), Mode(c.Mode), TextEncoding(encoding) {
        if (encoding == Encoding::Cp932) {
            Text = c.SearchText;
            // The field is still read, so a missing one fails as with any text.
            MatchesNothing = c.NotInCp932;
        } else {
            Text = c.SearchTextUtf8 ? *c.SearchTextUtf8 : Cp932ToUtf8(c.SearchText);
        }
    }

    template <typename Fields>
    bool Matches(const Fields& fields) const {
        const bool found = fields.MatchField(Text, FieldIndex, Mode, TextEncoding);
        return found && !MatchesNothing;
    }

    std::string Text;
    int FieldIndex;
    MatchMode Mode;
    Encoding TextEncoding;
    bool MatchesNothing = false;
};

// The second condition is tested only when the first cannot decide alone.
template <typename Fields>
bool RecordStays(const RunSettings& s, const FileCondition& c1, const FileCondition& c2,
                 const Fields& fields) {
    const bool first = c1.Matches(fields);
    if (s.Condition2.FieldNumber == 0) return first;
    if (s.JoinWithOr) return first || c2.Matches(fields);
    return first && c2.Matches(fields);
}

std::string RecordCounter(int done, int total) {
    return Format(runmsg::kRecordCounter, {done, total});
}

}  // namespace

void OpenSortStage(RunContext& run, int count, const CsvDialect& dialect) {
    run.Observer.AppendLog(runmsg::kLogSorting);
    run.Observer.SetRecordCounter(Format(runmsg::kSortCounter, {count}));
    CheckHeading(run, RunStage::Sort, dialect);
}

void CloseSortStage(RunContext& run, int count) {
    const RunSettings& settings = run.Settings;
    run.Observer.AppendLog(Format(runmsg::kLogCount, {count}));
    SetRecordBar(run, 100 / run.State.OperationsOn);
    run.State.RecordBarBase = run.State.RecordBar;
    LetEventsThrough(run);
    // With no record check to come, this is the last moment before the save.
    if (!settings.RecordExtractionOn && !settings.FieldExtractionOn && run.Abort.Requested())
        EndByAbort(run);
}

namespace {

template <typename Fields>
std::function<bool(const Fields&)> RecordTestOf(const RunSettings& settings, Encoding encoding) {
    return [&settings, c1 = FileCondition(settings.Condition1, encoding),
            c2 = FileCondition(settings.Condition2, encoding)](const Fields& fields) {
        return RecordStays(settings, c1, c2, fields);
    };
}

}  // namespace

std::function<bool(const TStringListEx&)> RecordTest(const RunSettings& settings,
                                                     Encoding encoding) {
    return RecordTestOf<TStringListEx>(settings, encoding);
}

std::function<bool(const PlainFields&)> PlainRecordTest(const RunSettings& settings,
                                                        Encoding encoding) {
    return RecordTestOf<PlainFields>(settings, encoding);
}

void OpenRecordStage(RunContext& run, int count) {
    run.Observer.AppendLog(runmsg::kLogRecordExtraction);
    run.State.StageRecordCount = count;
}

void CloseRecordStage(RunContext& run, int count, int left) {
    RunState& state = run.State;
    run.Observer.SetRecordCounter(RecordCounter(count, count));
    SetRecordBar(run, 100 / state.OperationsOn + state.RecordBarBase);
    state.RecordBarBase = state.RecordBar;
    run.Observer.AppendLog(Format(runmsg::kLogCount, {left}));
}

void OpenFieldStage(RunContext& run, int count) {
    run.Observer.AppendLog(runmsg::kLogFieldExtraction);
    run.State.StageRecordCount = count;
}

void CloseFieldStage(RunContext& run, int count) {
    run.Observer.AppendLog(runmsg::kLogDone);
    run.Observer.SetRecordCounter(RecordCounter(count, count));
}

namespace {

int HeadingFields(const RunState& state, const CsvDialect& dialect) {
    TStringListEx fields;
    SplitFields(fields, *state.Heading, dialect);
    return fields.Count();
}

}  // namespace

void CheckHeading(RunContext& run, RunStage stage, const CsvDialect& dialect) {
    if (!run.State.Heading) return;
    const int found = HeadingFields(run.State, dialect);
    if (stage == RunStage::Sort) {
        if (found != run.Settings.ExpectedFieldCount)
            throw EStringListError(Format(msg::kFieldCountDiffers, {std::int64_t{1}}));
        return;
    }
    CheckRecord(run, 1, found);
    if (stage == RunStage::FieldExtraction) CutHeading(run.State, run.Settings, dialect);
}

std::string CutHeading(const RunState& state, const RunSettings& settings,
                       const CsvDialect& dialect) {
    TStringListEx fields;
    SplitFields(fields, *state.Heading, dialect);
    std::string cut;
    fields.SelectFieldsInto(settings.ChosenFields, dialect.Delimiter, cut);
    return cut;
}

CancelCheck WorkCheck(RunContext& run, bool recordCheckFollows, int from, int share) {
    const std::atomic<bool>* flag =
        recordCheckFollows && run.State.AbortAfterEvents ? nullptr : &run.Abort.Flag();
    return CancelCheck(flag, [&run, from, share](std::uint64_t done, std::uint64_t total) {
        if (total == 0) return;
        run.Observer.KeepAlive(from + static_cast<int>(std::min(done, total) *
                                                       static_cast<std::uint64_t>(share) / total));
    });
}

void CheckRecord(RunContext& run, int lineNumber, int found) {
    RunState& state = run.State;
    const int expected = run.Settings.ExpectedFieldCount;
    // The field count is tested first: a wrong record is reported even when an
    // abort is pending.
    if (found != expected) {
        state.EndingLog = runmsg::kLogFailed;
        throw EStringListError(Format(runmsg::kFieldCountError, {PathForShow(state.CurrentFile),
                                                                 lineNumber, expected, found}));
    }
    if (run.Abort.Requested()) EndByAbort(run);
}

void ReportRecordProgress(RunContext& run, int done) {
    RunObserver& observer = run.Observer;
    const RunState& state = run.State;
    // Repainting the counter for every record would slow long files down.
    if (done % 1000 == 0) observer.SetRecordCounter(RecordCounter(done, state.StageRecordCount));
    // 64-bit: the product passes 2^31 beyond 21 million records.
    const std::int64_t share =
        std::int64_t{done} * 100 / (std::int64_t{state.StageRecordCount} * state.OperationsOn);
    SetRecordBar(run, static_cast<int>(share) + state.RecordBarBase);
    LetEventsThrough(run);
}

void LetEventsThrough(RunContext& run) {
    run.Observer.ProcessPendingEvents();
    run.State.AbortAfterEvents = run.Abort.Requested();
}

[[noreturn]] void EndByAbort(RunContext& run) {
    run.State.EndingLog = runmsg::kLogAborted;
    throw ERunAborted(runmsg::kAborted);
}

void SetRecordBar(RunContext& run, int percent) {
    run.State.RecordBar = std::clamp(percent, 0, 100);
    run.Observer.SetRecordProgress(percent);
}

}  // namespace quellor
