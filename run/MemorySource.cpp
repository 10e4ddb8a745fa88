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
        const CancelCheck work = WorkCheck(run, s.RecordExtractionOn || s.FieldExtractionOn, 0,
                                           100 / run.State.OperationsOn);
        SortByField(records_, s.SortKeyField - 1, s.ExpectedFieldCount, form_.Dialect(), work,
                    s.SortNumeric ? KeyOrder::Number : KeyOrder::Text, run.State.Numbering());
        if (s.SortDescending) ReverseLines(records_);
        // Written aside now, so the moved records need no memory in the later stages.
        if (s.DuplicatesToFile) outputs.AddDuplicates(*ExtractDuplicates(records_, work), work);
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
