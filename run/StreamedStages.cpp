#include "run/StreamedStages.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "records/Exceptions.h"
#include "records/ExternalSort.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineStream.h"
#include "records/Messages.h"
#include "records/RunFiles.h"
#include "run/MemoryBudget.h"
#include "run/OnePassStages.h"
#include "run/OutputLines.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

constexpr std::size_t kReadBlock = std::size_t{4} << 20;
constexpr std::size_t kLineBlock = std::size_t{1} << 20;
// Lines between two looks at the window and the abort switch in a long pass.
constexpr std::uint64_t kTickEvery = 8192;

// The records after the heading, indexed as IndexLines indexes a whole
// file and numbered from 0; the heading goes to the run's state.
LineIndex TakeHeading(RunState& state, const IndexedFile& input) {
    const LineIndex& all = input.Index;
    LineIndex rest;
    rest.End = all.End;
    if (all.Marks.empty()) return rest;
    LineStream in(input, all.From(0), all.To(0), kLineBlock);
    std::string_view line;
    in.Next(line);
    state.Heading.emplace(line);
    rest.Lines = all.Lines - 1;
    if (rest.Lines == 0) return rest;
    rest.Marks.push_back({in.Next(line) ? in.LineStart() : all.To(0), 0});
    for (std::size_t k = 1; k < all.Marks.size(); ++k) {
        if (all.Marks[k].Line > 1)
            rest.Marks.push_back({all.Marks[k].Offset, all.Marks[k].Line - 1});
    }
    return rest;
}

// The ".new" begins with the heading, as cut so far, before any record.
template <typename Output>
void OpenProcessed(std::optional<Output>& processed, const RunState& state,
                   const OutputPaths& outputs, mode_t newMode, std::string_view prefix) {
    processed.emplace(outputs.Processed, newMode, prefix);
    if (state.Heading) processed->Add(*state.Heading);
}

// The lines the sort keeps go to later when extraction stages follow, and
// otherwise to processed, made here unless no file is to be written.
void SortStageOnDisk(RunContext& run, const IndexedFile& input, const LineIndex& index,
                     const OutputPaths& outputs, mode_t newMode,
                     std::optional<OutputLines>& duplicates,
                     std::optional<DeferredOutput>& processed, OnePassStages* later) {
    RunObserver& observer = run.Observer;
    const RunSettings& settings = run.Settings;
    const int loaded = static_cast<int>(index.Lines);
    observer.AppendLog(runmsg::kLogSorting);
    observer.SetRecordCounter(Format(runmsg::kSortCounter, {loaded}));
    CheckHeadingForSort(run, input.Form.Dialect());

    // The runs take the file's size until the merge ends, and the outputs
    // written meanwhile (the ".new" and the ".w" together) up to once more: a
    // disk without room fails now, not hours on.
    const std::string folder = FolderOf(outputs.Processed);
    const std::uint64_t need = input.Index.End * 2;
    if (FreeBytesIn(folder) < need) {
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(outputs.Processed)}));
    }
    const std::uint64_t budget = BudgetOf(settings);
    const int share = 100 / run.State.OperationsOn;
    const std::uint64_t steps = 2 * std::max<std::uint64_t>(index.Lines, 1);
    ExternalSortSettings s;
    s.Folder = folder;
    s.Output = outputs.Processed;
    s.Dialect = input.Form.Dialect();
    s.KeyIndex = settings.SortKeyField - 1;
    s.ExpectedFieldCount = settings.ExpectedFieldCount;
    s.Numbering = run.State.Numbering();
    s.Descending = settings.SortDescending;
    s.Order = settings.SortNumeric ? KeyOrder::Number : KeyOrder::Text;
    s.RunBytes = SortRunBytes(budget);
    s.MergeBytes = MergeBufferBytes(budget);
    s.Tick = [&](std::uint64_t done) {
        observer.KeepAlive(static_cast<int>(done * static_cast<std::uint64_t>(share) / steps));
        if (run.Abort.Requested()) EndByAbort(run);
    };
    ExternalSort sort(std::move(s));
    sort.BuildRuns(input, index);

    if (!later && !(settings.NoFileWhenEmpty && loaded == 0)) {
        OpenProcessed(processed, run.State, outputs, newMode, input.Form.Prefix());
    }
    std::string previous;
    bool first = true;
    sort.Merge([&](std::string_view line) {
        // Identical lines are adjacent in the merged order: all but the first go aside.
        if (settings.DuplicatesToFile && !first && line == previous) {
            if (!duplicates) duplicates.emplace(outputs.Duplicates, newMode, input.Form.Prefix());
            duplicates->Add(line);
            return;
        }
        if (settings.DuplicatesToFile) previous.assign(line);
        first = false;
        if (later) {
            later->Take(line);
        } else if (processed) {
            processed->Add(line);
        }
    });
    if (duplicates) duplicates->Finish();

    observer.AppendLog(Format(runmsg::kLogCount, {loaded}));
    SetRecordBar(run, share);
    run.State.RecordBarBase = run.State.RecordBar;
    LetEventsThrough(run);
    // With no record check to come, this is the last moment before the save,
    // as on the in-memory road.
    if (!later && run.Abort.Requested()) EndByAbort(run);
}

// The extraction stages straight from the input, in one pass that may take
// long on a big file: the window hears from it as from a sort on disk, and
// an abort ends it.
void ExtractOnDisk(RunContext& run, const IndexedFile& input, const LineIndex& index,
                   const OutputPaths& outputs, mode_t newMode,
                   std::optional<DeferredOutput>& processed) {
    const RunSettings& settings = run.Settings;
    processed.emplace(outputs.Processed, newMode, input.Form.Prefix());
    OnePassStages stages(run.State, settings, input.Form.Dialect(),
                         [&](std::string_view line) { processed->Add(line); });
    if (!index.Marks.empty()) {
        LineStream in(input, index.From(0), index.End, kReadBlock);
        std::string_view line;
        for (std::uint64_t n = 1; in.Next(line); ++n) {
            stages.Take(line);
            if (n % kTickEvery != 0) continue;
            run.Observer.KeepAlive(run.State.RecordBar);
            if (run.Abort.Requested()) EndByAbort(run);
        }
    }
    if (stages.Report(run) == 0 && settings.NoFileWhenEmpty) processed.reset();
}

}  // namespace

void ProcessFileStreamed(RunContext& run, const std::string& path, const OutputPaths& outputs,
                         mode_t newMode) {
    RunObserver& observer = run.Observer;
    const RunSettings& settings = run.Settings;
    const IndexedFile input = IndexLines(path, settings.Text());
    run.State.FileLines = input.Form.Lines;
    observer.AppendLog(
        Format(runmsg::kLogEncoding, {runmsg::EncodingName(input.Form.TextEncoding)}));
    std::optional<LineIndex> afterHeading;
    if (settings.HeadingLine) afterHeading.emplace(TakeHeading(run.State, input));
    const LineIndex& index = afterHeading ? *afterHeading : input.Index;
    const int loaded = static_cast<int>(index.Lines);
    observer.SetRecordCounter(Format(runmsg::kRecordCounter, {0, loaded}));
    SetRecordBar(run, 0);
    run.State.RecordBarBase = 0;

    const CsvDialect dialect = input.Form.Dialect();
    const std::string_view prefix = input.Form.Prefix();
    std::optional<OutputLines> duplicates;
    std::optional<DeferredOutput> processed;
    if (settings.SortOn) {
        std::optional<OnePassStages> later;
        if (settings.RecordExtractionOn || settings.FieldExtractionOn) {
            // Whether the result is kept is known only at the end.
            processed.emplace(outputs.Processed, newMode, prefix);
            later.emplace(run.State, settings, dialect,
                          [&](std::string_view line) { processed->Add(line); });
        }
        SortStageOnDisk(run, input, index, outputs, newMode, duplicates, processed,
                        later ? &*later : nullptr);
        if (later && later->Report(run) == 0 && settings.NoFileWhenEmpty) processed.reset();
    } else {
        ExtractOnDisk(run, input, index, outputs, newMode, processed);
    }
    SetRecordBar(run, 100);
    StagedFile* written = processed ? &processed->Finish() : nullptr;
    CommitTogether({duplicates ? &duplicates->File() : nullptr, written});
}

}  // namespace quellor
