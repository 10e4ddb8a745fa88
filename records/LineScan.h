// Cutting a loaded text into lines, whole or as two pieces at once. A piece
// reports what it found (a NUL, the encoding's clues) rather than throwing,
// so that the first piece's verdict can win over the second's, as it would
// in one pass from the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/RecordLines.h"
#include "records/StringList.h"

namespace quellor {

// Where a line begins at or after from, past the first CR, LF or CR LF there;
// size when none does before the end.
std::size_t LineStartFrom(const char* text, std::size_t from, std::size_t size);

// What one piece of a text held besides its lines.
struct PieceFindings {
    EncodingGuess guess;
    std::int64_t nulLine = 0;  // the piece's line (from 1) holding a NUL; 0 for none
    bool quote = false;        // a double quote somewhere: records may span lines
};

// The lines of text[from, to), which begins a line, as spans. Stops at a
// NUL. The list is reserved for the lines up to countTo: a first piece
// grows once for the whole text, whose second piece it is about to take in.
void ScanSpans(const char* text, std::size_t from, std::size_t to, std::size_t countTo,
               bool guessing, std::vector<TStringList::Span>& lines, PieceFindings& found,
               const CancelCheck& work = {});

// The same as offset and size pairs, a quarter of a span's bytes each
// (file sizes fit 32 bits), so that the second piece costs little beside
// the list it joins.
struct PieceLine {
    std::uint32_t at;
    std::uint32_t size;
};
void ScanPieceLines(const char* text, std::size_t from, std::size_t to, bool guessing,
                    std::vector<PieceLine>& lines, PieceFindings& found,
                    const CancelCheck& work = {});

// Joins the lines of a text that a quoted field runs across into records,
// and notes those records' line breaks. Returns the line (from 1) on which
// a quote still open at the text's end opened, or 0.
std::int64_t JoinQuotedRecords(const char* text, std::size_t size, const CsvDialect& dialect,
                               std::vector<TStringList::Span>& lines, RecordLines& recordLines,
                               const CancelCheck& work = {});

}  // namespace quellor
