// Lines of a file read forward in large blocks by the rules LoadLines cuts
// them with, and an index of where every so many of them begin: together
// they let a file of any size be read, and read again in any stretch, in
// bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/CsvDialect.h"
#include "records/FileHandle.h"
#include "records/LineFiles.h"
#include "records/ReadBuffer.h"

namespace quellor {

// The line that begins at Offset is line number Line (from 0).
struct LineMark {
    std::uint64_t Offset;
    std::uint64_t Line;
};

// Marks at most kLinesPerMark lines or about kBytesPerMark bytes apart, so
// one stretch between two marks is cheap to hold whatever the lines are like.
struct LineIndex {
    static constexpr std::uint64_t kLinesPerMark = 4096;
    static constexpr std::uint64_t kBytesPerMark = std::uint64_t{1} << 20;

    std::uint64_t Lines = 0;
    std::uint64_t End = 0;  // where the last line's break ends
    std::vector<LineMark> Marks;

    // Called with the offset of every line in order.
    void LineAt(std::uint64_t offset) {
        if (Marks.empty() || Lines - Marks.back().Line >= kLinesPerMark ||
            offset - Marks.back().Offset >= kBytesPerMark) {
            Marks.push_back({offset, Lines});
        }
        ++Lines;
    }
    // Stretch k: its first byte, the byte after it, its first line and its line count.
    std::uint64_t From(std::size_t k) const { return Marks[k].Offset; }
    std::uint64_t To(std::size_t k) const {
        return k + 1 < Marks.size() ? Marks[k + 1].Offset : End;
    }
    std::uint64_t FirstLine(std::size_t k) const { return Marks[k].Line; }
};

struct IndexedFile;

class LineStream {
  public:
    // Reads [from, to) of the indexed file, blockSize bytes at a time at
    // least: its records, in the file's dialect when its quoted values may
    // hold line breaks (or in the dialect given), else its lines. The file
    // must still be as its stamp says, at the start and at the end of the
    // stretch, and hold every byte of it: otherwise EReadError naming it.
    LineStream(const IndexedFile& input, std::uint64_t from, std::uint64_t to,
               std::size_t blockSize, const CsvDialect* dialect = nullptr);
    // Starts over on another stretch of the same file, keeping the buffer.
    void Reset(std::uint64_t from, std::uint64_t to);

    // The next record or line, valid until the next call; false at the end,
    // and at a NUL byte, which ends the text (NulMet then says so).
    bool Next(std::string_view& line);
    bool NulMet() const { return nul_; }
    // Where the record or line last returned began.
    std::uint64_t LineStart() const { return lineStart_; }
    // Where a quote opened that the text's end left open; 0 for none (a
    // quote never opens at the file's first byte's place and stays open
    // unnoticed: the record would be empty before it).
    std::uint64_t UnclosedAt() const { return unclosedAt_; }

  private:
    void Refill();

    const IndexedFile& input_;
    std::optional<CsvDialect> dialect_;  // none: lines
    std::uint64_t unclosedAt_ = 0;
    std::uint64_t next_ = 0, to_ = 0;
    ReadBuffer buf_;
    std::size_t pos_ = 0, len_ = 0;
    std::uint64_t bufStart_ = 0, lineStart_ = 0;
    bool eof_ = false, nul_ = false;
};

// An input file opened for streaming, with what one pass over it learnt.
// The streamed and on-disk paths read a file more than once; one that is no
// longer as it was at a later read would give records of two different
// files, or fewer records than the run reports, so the run for it ends.
struct IndexedFile {
    FileHandle File;
    std::string Path;
    FileStamp Stamp;
    TextForm Form;
    // A quote somewhere: records may span lines, and the index marks
    // records; without one every line is a record.
    bool Quotes = false;
    LineIndex Index;

    // EReadError naming the file when it is no longer as it was first read.
    void CheckUnchanged() const;
};

// One pass over the file: its records counted and marked, its encoding and
// delimiter found as LoadLines finds them (a file with quotes is read a
// second time, for where its records begin). Fails as LoadLines does
// (EFOpenError, EReadError naming the line with a NUL byte or an unclosed
// quote), and with EReadError when the records are more than a count holds
// (2^31 - 1).
IndexedFile IndexLines(const std::string& path, TextChoice choice = {},
                       const CancelCheck& work = {});

}  // namespace quellor
