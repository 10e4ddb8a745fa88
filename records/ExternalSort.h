// The sort of a file larger than memory: sorted runs written to unnamed
// files, then merged. The order is the list's sort order (the key field in
// front, the whole line compared ignoring case); lines that compare equal
// but differ in their bytes are ordered by their bytes, so identical lines
// always meet and the result does not depend on where the runs were cut.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/Encoding.h"
#include "records/LineStream.h"
#include "records/NumericKey.h"
#include "records/RunFiles.h"

namespace quellor {

struct ExternalSortSettings {
    std::string Folder;  // where the runs go
    std::string Output;  // named by write errors
    Encoding TextEncoding = Encoding::Cp932;
    int KeyIndex = 0;
    int ExpectedFieldCount = 0;
    // The number (from 0) in the file of the index's first line, for errors.
    std::uint64_t FirstLine = 0;
    bool Descending = false;
    KeyOrder Order = KeyOrder::Text;
    std::uint64_t RunBytes = 0;    // text per run
    std::uint64_t MergeBytes = 0;  // read buffers of the merge together
    // Called every few thousand lines with the lines dealt with so far:
    // each line counts once when its run is built and once when it is merged.
    // While a run is sorted it is called at once and then every few dozen
    // milliseconds; what it throws stops the sort.
    std::function<void(std::uint64_t)> Tick;
};

class ExternalSort {
  public:
    explicit ExternalSort(ExternalSortSettings settings) : s_(std::move(settings)) {}

    // Reads the indexed lines of fd, checks each line's field count and
    // rewrites it as the sort does (EStringListError naming the first wrong
    // line by its number in the file), and writes the sorted runs.
    void BuildRuns(int fd, const LineIndex& index);
    std::size_t RunCount() const { return runs_.size(); }
    // Every line in order with its key field back in place.
    void Merge(const std::function<void(std::string_view)>& sink);

  private:
    ExternalSortSettings s_;
    std::vector<RunFile> runs_;
};

}  // namespace quellor
