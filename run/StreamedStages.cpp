#include "run/StreamedStages.h"

#include <cstdint>
#include <exception>
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
#include "run/RunMessages.h"

namespace quellor {

namespace {

constexpr std::size_t kReadBlock = std::size_t{4} << 20;
constexpr std::size_t kWriteBlock = std::size_t{1} << 20;

// An output written line by line with CR LF, through one reused buffer.
class OutputLines {
  public:
    OutputLines(const std::string& path, mode_t mode, std::string_view prefix) : file_(path, mode) {
        buf_.reserve(kWriteBlock);
        buf_ = prefix;
    }
    void Add(std::string_view line) {
        buf_ += line;
        buf_ += "\r\n";
        if (buf_.size() >= kWriteBlock) Flush();
    }
    StagedFile& Finish() {
        Flush();
        file_.Finish();
        return file_;
    }
    StagedFile& File() { return file_; }

  private:
    void Flush() {
        file_.Append(buf_);
        buf_.clear();
    }
    StagedFile file_;
    std::string buf_;
};

// The ".new" file written while the stages run. The in-memory road meets a
// failure to create or write it only after the stages, so it is kept until
// then: the user sees the same calls and the same error.
class DeferredOutput {
  public:
    DeferredOutput(const std::string& path, mode_t mode, std::string_view prefix) {
        try {
            out_.emplace(path, mode, prefix);
        } catch (const Exception&) {
            failure_ = std::current_exception();
        }
    }
    void Add(std::string_view line) {
        if (failure_) return;
        try {
            out_->Add(line);
        } catch (const Exception&) {
            failure_ = std::current_exception();
        }
    }
    StagedFile& Finish() {
        if (!failure_) return out_->Finish();
        std::rethrow_exception(failure_);
    }

  private:
    std::optional<OutputLines> out_;
    std::exception_ptr failure_;
};

// Where the current stage reads its records: the input or the sorted lines.
struct Source {
    int Fd;
    const LineIndex* Index;
};

class KeptBits {
  public:
    explicit KeptBits(std::uint64_t lines) : words_((lines + 63) / 64, 0) {}
    void Keep(std::uint64_t line) { words_[line / 64] |= std::uint64_t{1} << (line % 64); }
    bool Kept(std::uint64_t line) const { return (words_[line / 64] >> (line % 64)) & 1; }

  private:
    std::vector<std::uint64_t> words_;
};

// Every line of the source in order, with the ones not kept left out.
template <typename Each>
void ForEachKept(const Source& src, const KeptBits* kept, Each each) {
    if (src.Index->Marks.empty()) return;
    LineStream in(src.Fd, src.Index->From(0), src.Index->End, kReadBlock);
    std::string_view line;
    for (std::uint64_t h = 0; in.Next(line); ++h) {
        if (!kept || kept->Kept(h)) each(line);
    }
}

struct SortOutcome {
    int Kept;  // lines left once repeated ones went to the side file
    std::optional<RunFile> Sorted;
};

SortOutcome SortStageOnDisk(RunContext& run, const IndexedFile& input, const OutputPaths& outputs,
                            mode_t newMode, std::optional<OutputLines>& duplicates,
                            std::optional<DeferredOutput>& processed) {
    RunObserver& observer = run.Observer;
    const RunSettings& settings = run.Settings;
    const int loaded = static_cast<int>(input.Index.Lines);
    const bool later = settings.RecordExtractionOn || settings.FieldExtractionOn;
    observer.AppendLog(runmsg::kLogSorting);
    observer.SetRecordCounter(Format(runmsg::kSortCounter, {loaded}));

    // The runs take the file's size once, and the sorted lines the later
    // stages read take it again: a disk without room fails now, not hours on.
    const std::string folder = FolderOf(outputs.Processed);
    const std::uint64_t need = input.Index.End * (later ? 2 : 1);
    if (FreeBytesIn(folder) < need) {
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(outputs.Processed)}));
    }
    const std::uint64_t budget = BudgetOf(settings);
    const int share = 100 / run.State.OperationsOn;
    const std::uint64_t steps = 2 * std::max<std::uint64_t>(input.Index.Lines, 1);
    ExternalSortSettings s;
    s.Folder = folder;
    s.Output = outputs.Processed;
    s.TextEncoding = input.Form.TextEncoding;
    s.KeyIndex = settings.SortKeyField - 1;
    s.ExpectedFieldCount = settings.ExpectedFieldCount;
    s.Descending = settings.SortDescending;
    s.Order = settings.SortNumeric ? KeyOrder::Number : KeyOrder::Text;
    s.RunBytes = SortRunBytes(budget);
    s.MergeBytes = MergeBufferBytes(budget);
    s.Tick = [&](std::uint64_t done) {
        observer.KeepAlive(static_cast<int>(done * static_cast<std::uint64_t>(share) / steps));
        if (run.Abort.Requested()) EndByAbort(run);
    };
    ExternalSort sort(std::move(s));
    sort.BuildRuns(input.File.Get(), input.Index);

    SortOutcome outcome{0, std::nullopt};
    if (later) {
        outcome.Sorted.emplace(folder, outputs.Processed);
    } else if (!(settings.NoFileWhenEmpty && loaded == 0)) {
        processed.emplace(outputs.Processed, newMode, input.Form.Prefix());
    }
    std::string previous;
    sort.Merge([&](std::string_view line) {
        // Identical lines are adjacent in the merged order: all but the first go aside.
        if (settings.DuplicatesToFile && outcome.Kept > 0 && line == previous) {
            if (!duplicates) duplicates.emplace(outputs.Duplicates, newMode, input.Form.Prefix());
            duplicates->Add(line);
            return;
        }
        if (settings.DuplicatesToFile) previous.assign(line);
        ++outcome.Kept;
        if (outcome.Sorted) {
            outcome.Sorted->Add(line);
        } else if (processed) {
            processed->Add(line);
        }
    });
    if (outcome.Sorted) outcome.Sorted->Finish();
    if (duplicates) duplicates->Finish();

    observer.AppendLog(Format(runmsg::kLogCount, {loaded}));
    SetRecordBar(run, share);
    run.State.RecordBarBase = run.State.RecordBar;
    LetEventsThrough(run);
    // With no record check to come, this is the last moment before the save,
    // as on the in-memory road.
    if (!later && run.Abort.Requested()) EndByAbort(run);
    return outcome;
}

// From the last record to the first, as the in-memory stage goes: a stretch
// of the index at a time is read forwards and its records taken backwards.
int RecordExtractionOnDisk(RunContext& run, const Source& src, Encoding encoding, KeptBits& kept) {
    RunObserver& observer = run.Observer;
    RunState& state = run.State;
    observer.AppendLog(runmsg::kLogRecordExtraction);
    TStringListEx fields;
    const CsvDialect dialect = QuotedCsv(encoding);
    const auto stays = RecordTest(run.Settings, encoding);
    const LineIndex& index = *src.Index;
    const int count = static_cast<int>(index.Lines);
    state.StageRecordCount = count;

    int examined = 0, left = 0;
    LineStream stretch(src.Fd, 0, 0, LineIndex::kBytesPerMark * 2);
    std::vector<std::string_view> lines;
    for (std::size_t k = index.Marks.size(); k-- > 0;) {
        stretch.Reset(index.From(k), index.To(k));
        stretch.ReadAll(lines);
        const std::uint64_t first = index.FirstLine(k);
        for (std::size_t j = lines.size(); j-- > 0;) {
            const std::uint64_t h = first + j;
            SplitFields(fields, lines[j], dialect);
            CheckRecord(run, static_cast<int>(h) + 1, fields.Count());
            if (stays(fields)) {
                kept.Keep(h);
                ++left;
            }
            ReportRecordProgress(run, ++examined);
            LetEventsThrough(run);
        }
    }

    observer.SetRecordCounter(Format(runmsg::kRecordCounter, {count, count}));
    SetRecordBar(run, 100 / state.OperationsOn + state.RecordBarBase);
    state.RecordBarBase = state.RecordBar;
    observer.AppendLog(Format(runmsg::kLogCount, {left}));
    return left;
}

void FieldExtractionOnDisk(RunContext& run, const Source& src, Encoding encoding,
                           const KeptBits* kept, int count, DeferredOutput* out) {
    RunObserver& observer = run.Observer;
    RunState& state = run.State;
    observer.AppendLog(runmsg::kLogFieldExtraction);
    state.StageRecordCount = count;
    TStringListEx fields;
    const CsvDialect dialect = PlainCsv(encoding);
    const std::vector<int> chosen(run.Settings.ChosenFields);
    std::string line;
    int done = 0;
    ForEachKept(src, kept, [&](std::string_view record) {
        SplitFields(fields, record, dialect);
        CheckRecord(run, done + 1, fields.Count());
        fields.SelectFieldsInto(chosen, line);
        if (out) out->Add(line);
        ReportRecordProgress(run, ++done);
    });
    observer.AppendLog(runmsg::kLogDone);
    observer.SetRecordCounter(Format(runmsg::kRecordCounter, {count, count}));
}

}  // namespace

void ProcessFileStreamed(RunContext& run, const std::string& path, const OutputPaths& outputs,
                         mode_t newMode) {
    RunObserver& observer = run.Observer;
    const RunSettings& settings = run.Settings;
    const IndexedFile input = IndexLines(path, settings.TextEncoding);
    observer.AppendLog(
        Format(runmsg::kLogEncoding, {runmsg::EncodingName(input.Form.TextEncoding)}));
    const int loaded = static_cast<int>(input.Index.Lines);
    observer.SetRecordCounter(Format(runmsg::kRecordCounter, {0, loaded}));
    SetRecordBar(run, 0);
    run.State.RecordBarBase = 0;

    const Encoding encoding = input.Form.TextEncoding;
    const std::string_view prefix = input.Form.Prefix();
    std::optional<OutputLines> duplicates;
    std::optional<DeferredOutput> processed;
    std::optional<RunFile> sorted;
    Source src{input.File.Get(), &input.Index};
    int count = loaded;
    if (settings.SortOn) {
        SortOutcome outcome = SortStageOnDisk(run, input, outputs, newMode, duplicates, processed);
        count = outcome.Kept;
        sorted = std::move(outcome.Sorted);
        if (sorted) src = {sorted->Fd(), &sorted->Index()};
    }
    std::optional<KeptBits> kept;
    if (settings.RecordExtractionOn) {
        kept.emplace(src.Index->Lines);
        count = RecordExtractionOnDisk(run, src, encoding, *kept);
    }
    const bool writeProcessed = !(settings.NoFileWhenEmpty && count == 0);
    if (settings.FieldExtractionOn) {
        if (writeProcessed) processed.emplace(outputs.Processed, newMode, prefix);
        FieldExtractionOnDisk(run, src, encoding, kept ? &*kept : nullptr, count,
                              processed ? &*processed : nullptr);
    }
    SetRecordBar(run, 100);

    if (!processed && writeProcessed) {
        processed.emplace(outputs.Processed, newMode, prefix);
        ForEachKept(src, kept ? &*kept : nullptr,
                    [&](std::string_view line) { processed->Add(line); });
    }
    StagedFile* written = processed ? &processed->Finish() : nullptr;
    CommitTogether({duplicates ? &duplicates->File() : nullptr, written});
}

}  // namespace quellor
