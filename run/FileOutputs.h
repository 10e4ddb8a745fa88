// The two outputs of one input file: the ".new" and the ".w", written aside
// and put in place together once the file's work is done, whichever path
// made them. Internal to the run library.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "records/StagedFile.h"
#include "records/StringList.h"
#include "run/OutputLines.h"
#include "run/OutputPaths.h"

namespace quellor {

class FileOutputs {
  public:
    // prefix: what every output of this input begins with (its byte-order
    // mark). heading: the first line of the ".new", as the last stage
    // leaves the input's heading; none without one.
    FileOutputs(OutputPaths paths, mode_t mode, std::string_view prefix,
                std::optional<std::string> heading);

    // A repeated record for the ".w", made at the first.
    void AddDuplicate(std::string_view record);
    // The repeated records all at once.
    void AddDuplicates(const TStringList& records, const CancelCheck& work);
    // The ".w" is whole: a failure to write it ends the sort.
    void FinishDuplicates();

    // The ".new" made as its records come: a failure to make or write it is
    // raised by Commit, after the stages have said what they found.
    DeferredOutput& Processed();
    // The ".new" of a list of records, written at once; work is looked at
    // between its chunks.
    void WriteProcessed(const TStringList& records, const CancelCheck& work);
    // No ".new": nothing was left and the user asked for none then.
    void DropProcessed();

    // Puts what was written in place, both together.
    void Commit();

  private:
    OutputPaths paths_;
    mode_t mode_;
    std::string_view prefix_;
    std::optional<std::string> heading_;
    std::optional<OutputLines> duplicates_;
    std::optional<StagedFile> duplicatesWhole_;
    std::optional<DeferredOutput> processed_;
    std::optional<StagedFile> processedWhole_;
};

}  // namespace quellor
