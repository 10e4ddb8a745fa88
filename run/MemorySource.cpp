// A file held whole in memory: loaded at once, sorted in place, its records
// taken through the extraction stages on both cores.
#include <optional>

#include "records/Cancel.h"
#include "records/RecordList.h"
#include "records/Sort.h"
#include "run/FileSource.h"

namespace quellor {

namespace {

class MemorySource : public FileSource {
  public:
    MemorySource(RunContext& run, const std::string& path) {
        std::optional<SortPreparation> preparing;
        if (run.Settings.SortOn) preparing.emplace();
        form_ = LoadLines(records_, path, run.Settings.Text(), kParallelLoadFrom,
                          WorkCheck(run, true, 0, 100 / run.State.OperationsOn));
    }

    int Count() const override { return records_.Count(); }

    std::optional<std::string> TakeHeading() override {
        if (records_.Empty()) return std::nullopt;
        std::string heading(records_.At(0));
        records_.Delete(0);
        return heading;
    }

    void Sort(RunContext& run, FileOutputs& outputs) override {
        const RunSettings& s = run.Settings;
        // The window's requests are left to the first record check when an
        // extraction stage follows, where they were always noticed; an
        // interrupt (during the load, or inside the sort) stops the sort at once.
        const bool leftToRecordCheck =
            (s.RecordExtractionOn || s.FieldExtractionOn) && run.State.AbortAfterEvents;
        const CancelCheck cancel =
            leftToRecordCheck ? CancelCheck() : CancelCheck(run.Abort.Flag());
        try {
            SortByField(records_, s.SortKeyField - 1, s.ExpectedFieldCount, form_.Dialect(), cancel,
                        s.SortNumeric ? KeyOrder::Number : KeyOrder::Text, run.State.Numbering());
        } catch (const ECancelled&) {
            EndByAbort(run);
        }
        if (s.SortDescending) ReverseLines(records_);
        // Written aside now, so the moved records need no memory in the later stages.
        if (s.DuplicatesToFile) outputs.AddDuplicates(*ExtractDuplicates(records_));
    }

    std::unique_ptr<OnePassStages> Extract(RunContext& run, FileOutputs& outputs) override {
        return ExtractInMemory(run, records_, form_.Dialect(), outputs.Processed());
    }

    void Write(RunContext& run, FileOutputs& outputs) override {
        outputs.WriteProcessed(records_, WorkCheck(run, true, run.State.RecordBar, 0));
    }

  private:
    TStringListEx records_;
};

}  // namespace

std::unique_ptr<FileSource> LoadIntoMemory(RunContext& run, const std::string& path) {
    return std::make_unique<MemorySource>(run, path);
}

}  // namespace quellor
