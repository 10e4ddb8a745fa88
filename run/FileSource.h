// Where one input file's records come from, and how they are sorted: held
// whole in memory, or read from the file as it lies and sorted on disk. The
// file's work itself (ProcessFile) is the same for both: it takes the
// heading, sorts, hands the records to the extraction stages or to the
// ".new", and says so to the observer in one place. Internal to the run
// library.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "records/LineFiles.h"
#include "run/FileOutputs.h"
#include "run/OnePassStages.h"
#include "run/RunStages.h"

namespace quellor {

class FileSource {
  public:
    virtual ~FileSource() = default;

    const TextForm& Form() const { return form_; }
    // The records left (after the heading was taken).
    virtual int Count() const = 0;
    // Takes the first record out; nothing when the file has none.
    virtual std::optional<std::string> TakeHeading() = 0;
    // Sorts as the settings say, the repeats going aside to outputs; a sort
    // on disk only builds its runs here and merges as the records are taken.
    virtual void Sort(RunContext& run, FileOutputs& outputs) = 0;
    // Every record, in order, through the extraction stages, kept ones to
    // the ".new"; the stages are returned to say what they found.
    virtual std::unique_ptr<OnePassStages> Extract(RunContext& run, FileOutputs& outputs) = 0;
    // Every record, in order, to the ".new".
    virtual void Write(RunContext& run, FileOutputs& outputs) = 0;

  protected:
    TextForm form_;
};

// The file read whole into memory when its run fits the budget, else opened
// to be streamed (a sort's runs go beside the outputs); its encoding and
// delimiter found either way.
std::unique_ptr<FileSource> OpenFileSource(RunContext& run, const std::string& path,
                                           const OutputPaths& outputs);

std::unique_ptr<FileSource> LoadIntoMemory(RunContext& run, const std::string& path);
std::unique_ptr<FileSource> OpenOnDisk(RunContext& run, const std::string& path,
                                       const OutputPaths& outputs);

}  // namespace quellor
