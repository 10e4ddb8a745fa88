// A file whose run does not fit the memory budget: indexed in one pass,
// then read again as it lies, or sorted on disk (runs built, then merged
// as the records are taken), in memory that does not grow with the file.
#include <cstdint>
#include <optional>

#include "records/Exceptions.h"
#include "records/ExternalSort.h"
#include "records/Format.h"
#include "records/LineStream.h"
#include "records/Messages.h"
#include "records/RunFiles.h"
#include "run/FileSource.h"
#include "run/MemoryBudget.h"

namespace quellor {

namespace {

constexpr std::size_t kReadBlock = std::size_t{4} << 20;
constexpr std::size_t kHeadingBlock = std::size_t{1} << 20;
// Records between two looks at the window and the abort switch in a long pass.
constexpr std::uint64_t kTickEvery = 8192;

class DiskSource : public FileSource {
  public:
    DiskSource(RunContext& run, const std::string& path, OutputPaths outputs)
        : input_(IndexLines(path, run.Settings.Text(),
                            WorkCheck(run, true, 0, 100 / run.State.OperationsOn))),
          index_(input_.Index),
          outputs_(std::move(outputs)) {
        form_ = input_.Form;
    }

    int Count() const override { return static_cast<int>(index_.Lines); }

    // The records after the heading, indexed as IndexLines indexes a whole
    // file and numbered from 0.
    std::optional<std::string> TakeHeading() override {
        const LineIndex& all = input_.Index;
        if (all.Marks.empty()) return std::nullopt;
        LineStream in(input_, all.From(0), all.To(0), kHeadingBlock);
        std::string_view record;
        in.Next(record);
        std::string heading(record);
        LineIndex rest;
        rest.End = all.End;
        rest.Lines = all.Lines - 1;
        if (rest.Lines > 0) {
            rest.Marks.push_back({in.Next(record) ? in.LineStart() : all.To(0), 0});
            for (std::size_t k = 1; k < all.Marks.size(); ++k) {
                if (all.Marks[k].Line > 1)
                    rest.Marks.push_back({all.Marks[k].Offset, all.Marks[k].Line - 1});
            }
        }
        index_ = std::move(rest);
        return heading;
    }

    void Sort(RunContext& run, FileOutputs&) override {
        const RunSettings& settings = run.Settings;
        // The runs take the file's size until the merge ends, and the outputs
        // written meanwhile (the ".new" and the ".w" together) up to once more:
        // a disk without room fails now, not hours on.
        const std::string folder = FolderOf(outputs_.Processed);
        if (FreeBytesIn(folder) < input_.Index.End * 2) {
            throw EWriteError(Format(msg::kFileWriteError, {PathForShow(outputs_.Processed)}));
        }
        const std::uint64_t budget = BudgetOf(settings);
        const int share = 100 / run.State.OperationsOn;
        const std::uint64_t steps = 2 * std::max<std::uint64_t>(index_.Lines, 1);
        ExternalSortSettings s;
        s.Folder = folder;
        s.Output = outputs_.Processed;
        s.Dialect = form_.Dialect();
        s.KeyIndex = settings.SortKeyField - 1;
        s.ExpectedFieldCount = settings.ExpectedFieldCount;
        s.Numbering = run.State.Numbering();
        s.Descending = settings.SortDescending;
        s.Order = settings.SortNumeric ? KeyOrder::Number : KeyOrder::Text;
        s.RunBytes = SortRunBytes(budget);
        s.MergeBytes = MergeBufferBytes(budget);
        s.Tick = [&run, share, steps](std::uint64_t done) {
            run.Observer.KeepAlive(
                static_cast<int>(done * static_cast<std::uint64_t>(share) / steps));
            if (run.Abort.Requested()) EndByAbort(run);
        };
        sort_.emplace(std::move(s));
        sort_->BuildRuns(input_, index_);
    }

    std::unique_ptr<OnePassStages> Extract(RunContext& run, FileOutputs& outputs) override {
        auto stages = std::make_unique<OnePassStages>(
            run.Settings, form_.Dialect(),
            [&processed = outputs.Processed()](std::string_view record) { processed.Add(record); });
        ForEach(run, outputs, [&](std::string_view record) { stages->Take(record); });
        return stages;
    }

    void Write(RunContext& run, FileOutputs& outputs) override {
        DeferredOutput& processed = outputs.Processed();
        ForEach(run, outputs, [&](std::string_view record) { processed.Add(record); });
    }

  private:
    // Every record in order: merged when sorted, the repeats aside; else as
    // read, in one pass that may take long on a big file, so the window
    // hears from it as from a sort on disk, and an abort ends it.
    template <typename Take>
    void ForEach(RunContext& run, FileOutputs& outputs, const Take& take) {
        if (sort_) {
            const bool aside = run.Settings.DuplicatesToFile;
            std::string previous;
            bool first = true;
            sort_->Merge([&](std::string_view record) {
                // Identical records are adjacent in the merged order: all but the first go aside.
                if (aside && !first && record == previous) return outputs.AddDuplicate(record);
                if (aside) previous.assign(record);
                first = false;
                take(record);
            });
            return;
        }
        if (index_.Marks.empty()) return;
        LineStream in(input_, index_.From(0), index_.End, kReadBlock);
        std::string_view record;
        for (std::uint64_t n = 1; in.Next(record); ++n) {
            take(record);
            if (n % kTickEvery != 0) continue;
            run.Observer.KeepAlive(run.State.RecordBar);
            if (run.Abort.Requested()) EndByAbort(run);
        }
    }

    IndexedFile input_;
    LineIndex index_;  // the records after the heading
    OutputPaths outputs_;
    std::optional<ExternalSort> sort_;
};

}  // namespace

std::unique_ptr<FileSource> OpenOnDisk(RunContext& run, const std::string& path,
                                       const OutputPaths& outputs) {
    return std::make_unique<DiskSource>(run, path, outputs);
}

std::unique_ptr<FileSource> OpenFileSource(RunContext& run, const std::string& path,
                                           const OutputPaths& outputs) {
    if (FitsInMemory(run.Settings, path)) return LoadIntoMemory(run, path);
    return OpenOnDisk(run, path, outputs);
}

}  // namespace quellor
