// How a text is cut into records and a record into fields, as every
// spreadsheet reads a CSV file. These are the only places the rules live:
//
// - Only the delimiter separates fields; blanks and tabs are part of a field.
// - A field whose first byte other than half-width blanks is the double
//   quote is quoted: it runs to the closing quote that is not one of a ""
//   pair, and may hold delimiters and line breaks; "" inside stands for one
//   quote. Blanks before the opening quote are not part of the value, nor
//   are blanks and tabs around the text that may follow the closing quote
//   before the next delimiter; that text itself is kept, as spreadsheets
//   keep it. A quote inside a field that does not begin with one is an
//   ordinary byte.
// - A record ends at a line break (CR LF, CR or LF) outside quotes.
// - The value of a plain field is its bytes without the blanks and tabs at
//   its ends.
// - In code page 932 a lead byte and the byte after it are one character: a
//   second byte is never taken for a delimiter or a quote. Line breaks
//   outside quotes end a record whatever stands before them, as they always
//   ended a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "records/CsvDialect.h"

namespace quellor {

// Where one field of a record stands in its text.
struct FieldBounds {
    std::size_t From = 0, To = 0;  // the field's bytes, as they stand
    // Plain: the value. Quoted: the text between the quotes (with "" pairs
    // when Pairs is set), then the text after the closing quote, trimmed.
    std::size_t ValueFrom = 0, ValueTo = 0;
    std::size_t TailFrom = 0, TailTo = 0;
    bool Quoted = false, Pairs = false;
    bool Open = false;  // a quoted field the text ended in
};

// Walks the fields of the record that begins at from, up to its end: a line
// break outside quotes, or the end of the text.
class FieldWalker {
  public:
    FieldWalker(std::string_view text, std::size_t from, const CsvDialect& dialect);
    // The next field; false once the record has ended.
    bool Next(FieldBounds& field);
    // Where the record ended: at its line break, or at the end of the text.
    std::size_t End() const { return pos_; }

  private:
    std::size_t PlainEnd(std::size_t from) const;

    const unsigned char* p_;
    std::size_t n_;
    unsigned char d_;
    bool pairs_;  // code page 932
    std::size_t pos_;
    bool more_ = true;
};

// A field's value: its bytes when they are the value; else (a quoted field
// with "" pairs or text after its closing quote) the value written at out,
// which moves past it. out needs room for the field's bytes.
std::string_view FieldValue(std::string_view record, const FieldBounds& f,
                            const CsvDialect& dialect, char*& out);

// Where a record that begins at from ends.
struct RecordEnd {
    std::size_t End;   // its last byte's end: its line break, or the text's end
    std::size_t Next;  // where the record after it begins (past the break)
    // A quote still open at the end of the text, and where it opened.
    bool Unclosed = false;
    std::size_t OpenedAt = 0;
};
RecordEnd FindRecordEnd(std::string_view text, std::size_t from, const CsvDialect& dialect);

// The tab or the comma, as the first record of a text says: tab-separated
// when it holds a tab and no comma outside quotes.
char DelimiterOf(std::string_view text, Encoding encoding);

// The most fields FindPlainFieldEnds reads in place.
inline constexpr std::size_t kMaxPlainFields = 257;
// Where each field of a record ends (the position of the delimiter after
// it, or the record's size), for a record cut at its delimiters alone: no
// NUL byte, and no quote but those that wrap a whole field, one at each end
// (as most exports quote every field). Returns the number of fields, or 0
// when the record needs SplitFields. padded, when given, is set when some
// field's value is not its bytes: it is quoted, or begins or ends with a
// blank or a tab. ends holds kMaxPlainFields places.
std::size_t FindPlainFieldEnds(std::string_view record, const CsvDialect& dialect,
                               std::size_t* ends, bool* padded);

inline bool IsPadding(unsigned char b) {
    return b == ' ' || b == '\t';
}

// [from, to) without the blanks and tabs at its ends. A blank is never the
// second byte of a pair, so the bytes can be looked at one by one.
inline void TrimPadding(const unsigned char* p, std::size_t& from, std::size_t& to) {
    while (from < to && IsPadding(p[from])) ++from;
    while (to > from && IsPadding(p[to - 1])) --to;
}

// A plain field's value: its bytes without the blanks and tabs at its ends.
// Inline, as the record test asks for one value of every record.
inline std::string_view TrimmedValue(std::string_view bytes) {
    std::size_t from = 0, to = bytes.size();
    TrimPadding(reinterpret_cast<const unsigned char*>(bytes.data()), from, to);
    return bytes.substr(from, to - from);
}

// The value of a field FindPlainFieldEnds found: without the quotes that
// wrap it, else as TrimmedValue.
inline std::string_view PlainFieldValue(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes.front() == kQuote && bytes.back() == kQuote)
        return bytes.substr(1, bytes.size() - 2);
    return TrimmedValue(bytes);
}

}  // namespace quellor
