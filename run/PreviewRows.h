// The rows of the preview grid: the first lines of a file, each split twice
// (once to count its fields, once more, quote-aware, into the cells shown).
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "records/StringList.h"
#include "run/SampleLine.h"

namespace quellor {

struct PreviewRow {
    // The fields of the line, quotes being ordinary characters: the grid
    // gets this many headed columns.
    int FieldCount = 0;
    // The row label followed by the line's fields, split once more with the
    // double quote as quote byte; a quoted field holding a blank or a comma
    // fills one cell though it counted as several fields.
    std::vector<std::string> Cells;
};

// Reads a file's first lines, whose bytes decide their encoding, and hands
// them out one row at a time; a read that failed part-way is raised after
// the rows read before it, so the caller shows those first.
class PreviewRows {
  public:
    // Raises the reader's errors when not even the first line could be
    // read. Each row's label is labelPrefix (UTF-8) in the file's encoding,
    // followed by the row's number from 1.
    PreviewRows(const std::string& path, int lineLimit, const std::string& labelPrefix);

    Encoding TextEncoding() const { return text_.TextEncoding; }
    // The next row, or nothing after the last line or the limit. A line
    // shown only in part gives what fits, and the rows go on after it.
    std::optional<PreviewRow> Next();
    // The notice for the first row shown only in part, once it was read;
    // empty while every row was whole. Nothing stopped: it is no error.
    const std::string& Notice() const { return notice_; }

  private:
    LeadingLines text_;
    std::exception_ptr failure_;
    std::string path_;
    std::string notice_;
    std::size_t read_ = 0;
    std::string labelPrefix_;
    TStringList fields_;
    TStringList row_;
    TStringList cells_;
};

}  // namespace quellor
