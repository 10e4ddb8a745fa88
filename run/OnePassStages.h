// The extraction stages of a file read from disk, done in one forward pass
// over its records (the input, or the sorted lines as the merge hands them
// out): no record is read twice, and no sorted copy of the file is written
// and read back, which on a file larger than memory cost as much as the
// sort. Internal to the run library.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/CsvDialect.h"
#include "records/RecordList.h"
#include "records/StringList.h"
#include "run/OutputLines.h"
#include "run/RunStages.h"

namespace quellor {

class OnePassStages {
  public:
    using Sink = std::function<void(std::string_view)>;
    // keep receives each record the stages keep, cut to the chosen fields.
    OnePassStages(const RunSettings& settings, const CsvDialect& dialect, Sink keep);

    // Each record, in order.
    void Take(std::string_view record);

    // Takes over what a pass over the records right after this one's noted,
    // as if this pass had gone on over them.
    void Append(const OnePassStages& later);

    // The stages as the observer sees them when they walk their records:
    // the same calls, record checks and line numbers, one record at a time,
    // from what the pass noted. Returns the records left.
    int Report(RunContext& run) const;

  private:
    // The record stage's test and the field stage's cut of one record,
    // whose fields are in fields: false ends the record's way.
    template <typename Fields>
    bool Stays(std::uint64_t h, const Fields& fields);
    template <typename Fields>
    void Cut(std::uint64_t kept, const Fields& fields);

    // A record whose field count the stage's check refuses.
    struct Refused {
        std::uint64_t Index;  // within the stage's records
        int Found;
    };

    const RunSettings& settings_;
    CsvDialect dialect_;
    Sink keep_;
    std::function<bool(const TStringListEx&)> stays_;
    std::function<bool(const PlainFields&)> plainStays_;
    TStringListEx fields_;
    PlainFields plain_;
    std::string cut_;
    std::uint64_t taken_ = 0, left_ = 0;
    // A record on which the conditions or the cut themselves failed (a
    // field they name is missing), with what they threw.
    struct Failed {
        std::uint64_t Index;
        std::exception_ptr Error;
    };

    // The record stage goes from the last record to the first, so the one it
    // meets first is the last refused; the field stage the reverse.
    std::optional<Refused> lastRefusedRecord_, firstRefusedField_;
    std::optional<Failed> lastFailedTest_, firstFailedCut_;
};

// The extraction stages over the records in memory, in one pass on both
// cores, kept records into out. Returns the stages, to say what they found.
std::unique_ptr<OnePassStages> ExtractInMemory(RunContext& run, const TStringList& records,
                                               const CsvDialect& dialect, DeferredOutput& out);

// The heading as the ".new" begins with it: cut to the chosen fields when
// the field extraction is on. Nothing without a heading, nor when the cut
// refuses it (the stages then end the run before the output is kept).
std::optional<std::string> HeadingAsWritten(const RunState& state, const RunSettings& settings,
                                            const CsvDialect& dialect);

}  // namespace quellor
