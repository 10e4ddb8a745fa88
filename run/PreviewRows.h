// The rows of the preview grid: the first lines of a file, each split twice
// (once to count its fields, once more, quote-aware, into the cells shown).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/LineFiles.h"
#include "records/StringList.h"

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

// Reads a file's first lines one row at a time, so that a read failing
// part-way leaves the rows already read with the caller.
class PreviewRows {
  public:
    // Opens the file (raising the reader's errors); each row's label is
    // labelPrefix followed by the row's number from 1, in the file's bytes.
    PreviewRows(const std::string& path, int lineLimit, std::string labelPrefix);

    // The next row, or nothing after the last line or the limit.
    std::optional<PreviewRow> Next();

  private:
    LineReader reader_;
    int lineLimit_;
    int read_ = 0;
    std::string labelPrefix_;
    TStringList fields_;
    TStringList row_;
    TStringList cells_;  // never given a quote byte: the double quote
};

}  // namespace quellor
