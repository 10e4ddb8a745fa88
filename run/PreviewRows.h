// The rows of the preview grid: the first records of a file, each split by
// the rules every stage splits by, into the values shown.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "records/RecordList.h"
#include "run/SampleLine.h"

namespace quellor {

struct PreviewRow {
    int FieldCount = 0;  // the grid gets this many headed columns
    // The row label followed by the record's values; a value may hold line
    // breaks (as LF), which the grid shows by a mark.
    std::vector<std::string> Cells;
};

// Reads a file's first records, whose bytes decide their encoding and
// delimiter, and hands them out one row at a time; a read that failed
// part-way is raised after the rows read before it, so the caller shows
// those first.
class PreviewRows {
  public:
    // Raises the reader's errors when not even the first record could be
    // read. Each row's label is labelPrefix (UTF-8) in the file's encoding,
    // followed by the row's number from 1.
    PreviewRows(const std::string& path, int lineLimit, const std::string& labelPrefix,
                TextChoice choice = {});

    Encoding TextEncoding() const { return text_.TextEncoding; }
    // The next row, or nothing after the last record or the limit. A record
    // shown only in part gives what fits, and the rows go on after it.
    std::optional<PreviewRow> Next();
    // The notice for the first row shown only in part, once it was read;
    // empty while every row was whole. Nothing stopped: it is no error.
    const std::string& Notice() const { return notice_; }

  private:
    LeadingRecords text_;
    std::exception_ptr failure_;
    std::string path_;
    std::string notice_;
    std::size_t read_ = 0;
    std::string labelPrefix_;
    TStringListEx fields_;
};

}  // namespace quellor
