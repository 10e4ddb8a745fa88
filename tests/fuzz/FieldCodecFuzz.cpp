// Any bytes as one line, through SplitFields and JoinFields with both quote
// settings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "records/Compare.h"
#include "records/Cp932.h"
#include "records/Encoding.h"
#include "records/FieldCodec.h"

namespace quellor::fuzz {
namespace {

bool Holds(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// A lead byte with nothing after it: the one way malformed text can make a
// field whose quoted form reads back differently (its closing quote would
// become the lead byte's second byte).
bool EndsInLoneLeadByte(std::string_view field) {
    if (field.empty()) return false;
    const std::size_t last = field.size() - 1;
    return IsLeadByte(static_cast<unsigned char>(field[last])) && !IsTrailByte(field, last);
}

void CheckFieldBytes(const TStringList& fields, std::string_view line) {
    const bool lineHasBreak = Holds(line, '\r') || Holds(line, '\n');
    for (int i = 0; i < fields.Count(); ++i) {
        const std::string_view f = fields.Get(i);
        FUZZ_CHECK(!Holds(f, '\0'), Hex(f));
        // Only a quoted field can keep a line break, and only one the line had.
        if (!lineHasBreak) FUZZ_CHECK(!Holds(f, '\r') && !Holds(f, '\n'), Hex(f));
    }
}

void CheckDoubleQuoteRoundTrip(const TStringList& fields, std::string_view line,
                               const CsvDialect& dialect) {
    // In UTF-8 no byte swallows the next, so every line round-trips.
    const bool cp932 = dialect.TextEncoding == Encoding::Cp932;
    if (cp932 && fields.Count() > 0 && EndsInLoneLeadByte(fields.Get(fields.Count() - 1))) return;
    const std::string joined = JoinFields(fields, dialect);
    TStringList again;
    SplitFields(again, joined, dialect);
    FUZZ_CHECK(Lines(again) == Lines(fields), Hex(line) + " -> " + Hex(joined));
    FUZZ_CHECK(JoinFields(again, dialect) == joined, Hex(joined));
}

void CheckNoQuoteRoundTrip(const TStringList& fields, std::string_view line,
                           const CsvDialect& dialect) {
    if (fields.Count() == 1 && fields.Get(0).empty()) return;
    TStringList joiner;
    Fill(joiner, Lines(fields));
    const std::string joined = JoinFields(joiner, dialect);
    TStringList again;
    SplitFields(again, joined, dialect);
    FUZZ_CHECK(Lines(again) == Lines(fields), Hex(line) + " -> " + Hex(joined));
}

void SplitBoth(std::string_view line, Encoding encoding) {
    const CsvDialect withQuote = QuotedCsv(encoding);
    const CsvDialect withoutQuote = PlainCsv(encoding);
    TStringList quoted;
    SplitFields(quoted, line, withQuote);
    CheckFieldBytes(quoted, line);

    TStringList plain;
    SplitFields(plain, line, withoutQuote);
    CheckFieldBytes(plain, line);

    // A record line never holds CR or LF; only such lines must round-trip.
    if (Holds(line, '\r') || Holds(line, '\n')) return;
    CheckDoubleQuoteRoundTrip(quoted, line, withQuote);
    CheckNoQuoteRoundTrip(plain, line, withoutQuote);
    // Both settings read a line only up to its first NUL.
    const std::string_view head = line.substr(0, line.find('\0'));
    TStringList headFields;
    SplitFields(headFields, head, withQuote);
    FUZZ_CHECK(Lines(headFields) == Lines(quoted), Hex(line));
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every line in both encodings: a UTF-8 file may hold any bytes after its mark.
    for (const auto encoding : {quellor::Encoding::Cp932, quellor::Encoding::Utf8})
        quellor::fuzz::SplitBoth(bytes, encoding);
    // The same bytes as a record line: what LoadLines could hand over.
    std::string record;
    for (char c : bytes)
        if (c != '\r' && c != '\n') record += c;
    for (const auto encoding : {quellor::Encoding::Cp932, quellor::Encoding::Utf8})
        quellor::fuzz::SplitBoth(record, encoding);
    return 0;
}
