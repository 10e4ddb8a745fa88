// The sort of a file larger than memory: sorted runs written to unnamed
// files, then merged. The order is the sort's own (SortOrder.h), total, so
// the result does not depend on where the runs were cut, and identical
// records always meet. Runs hold the records as they are; the key's form is
// made again wherever two records are compared.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/LineStream.h"
#include "records/NumericKey.h"
#include "records/RecordLines.h"
#include "records/RunFiles.h"

namespace quellor {

struct ExternalSortSettings {
    std::string Folder;  // where the runs go
    std::string Output;  // named by write errors
    CsvDialect Dialect;
    int KeyIndex = 0;
    int ExpectedFieldCount = 0;
    // How the index's records are named in errors.
    RecordNumbering Numbering;
    bool Descending = false;
    KeyOrder Order = KeyOrder::Text;
    std::uint64_t RunBytes = 0;    // text per run
    std::uint64_t MergeBytes = 0;  // read buffers of one merge together
    // The most runs one merge reads at once; 0: as many as the budget's
    // buffers and the process's open-file limit allow.
    std::size_t MostRunsPerMerge = 0;
    // Called every few thousand lines with the lines dealt with so far, out
    // of twice the lines: each line counts once when its run is built and
    // once when it is merged, however many merges that takes. While a run is
    // sorted it is called at once and then every few dozen milliseconds;
    // what it throws stops the sort.
    std::function<void(std::uint64_t)> Tick;
};

class ExternalSort {
  public:
    explicit ExternalSort(ExternalSortSettings settings);

    // Reads the indexed records of the input, checks each one's field count
    // (EStringListError naming the first wrong record by its line in the
    // file), and writes the sorted runs. Whenever as many runs wait as one
    // merge reads, they are merged into one, so the open runs stay few
    // however large the file.
    void BuildRuns(const IndexedFile& input, const LineIndex& index);
    // Every record in order.
    void Merge(const std::function<void(std::string_view)>& sink);

  private:
    void AddRun(RunFile run, std::size_t level);
    // Merges the runs in order into take, on this thread.
    void MergeRuns(std::vector<RunFile>& runs, const std::function<void(std::string_view)>& take);
    RunFile MergeIntoOne(std::vector<RunFile>& runs);

    ExternalSortSettings s_;
    std::size_t fanIn_;
    // Runs waiting for a merge by how many merges made them: a level fills
    // up to the fan-in before it becomes one run of the next.
    std::vector<std::vector<RunFile>> levels_;
    std::uint64_t lines_ = 0;
    // While the last merges run: lines they have written, and will have.
    std::uint64_t merged_ = 0, toMerge_ = 0;
};

}  // namespace quellor
