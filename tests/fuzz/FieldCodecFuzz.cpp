// Any bytes as a text of records, in both encodings and with both
// delimiters: the record ends where the rules say, the fields' bytes put
// back together give the record, the in-place reading agrees with the
// splitter, and any values written quoted read back as themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "records/Compare.h"
#include "records/Cp932.h"
#include "records/Encoding.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"

namespace quellor::fuzz {
namespace {

// A lead byte with nothing after it takes the closing quote written after
// it for its second byte: such a value cannot be written quoted.
bool EndsInLoneLeadByte(std::string_view value) {
    if (value.empty()) return false;
    const std::size_t last = value.size() - 1;
    return IsLeadByte(static_cast<unsigned char>(value[last])) && !IsTrailByte(value, last);
}

void CheckRecord(std::string_view text, const CsvDialect& dialect) {
    const RecordEnd end = FindRecordEnd(text, 0, dialect);
    FUZZ_CHECK(end.End <= end.Next && end.Next <= text.size(), Hex(text));
    FUZZ_CHECK(!end.Unclosed || end.End == text.size(), Hex(text));
    const std::string_view record = text.substr(0, end.End);
    const std::string_view read = record.substr(0, record.find('\0'));

    TStringListEx fields;
    SplitFields(fields, record, dialect);
    FUZZ_CHECK(fields.Count() >= 1, Hex(text));
    // The fields' bytes, joined by the delimiter, are the record as read.
    std::string joined;
    for (int i = 0; i < fields.Count(); ++i) {
        if (i > 0) joined += dialect.Delimiter;
        joined += fields.Raw(i);
    }
    FUZZ_CHECK(joined == read, Hex(read) + " -> " + Hex(joined));

    PlainFields plain;
    if (plain.Find(record, dialect)) {
        FUZZ_CHECK(plain.Count() == fields.Count(), Hex(record));
        for (int i = 0; i < fields.Count(); ++i) {
            FUZZ_CHECK(plain.Get(i) == fields.Get(i), Hex(record));
            FUZZ_CHECK(plain.Raw(i) == fields.Raw(i), Hex(record));
        }
    }

    // Every value written quoted, "" for each quote, reads back as itself.
    const bool cp932 = dialect.TextEncoding == Encoding::Cp932;
    std::string quoted;
    for (int i = 0; i < fields.Count(); ++i) {
        const std::string_view value = fields.Get(i);
        if (cp932 && EndsInLoneLeadByte(value)) return;
        if (i > 0) quoted += dialect.Delimiter;
        quoted += '"';
        for (std::size_t k = 0; k < value.size();) {
            const std::size_t len = cp932 ? CharLength(value, k) : 1;
            if (len == 1 && value[k] == '"') quoted += '"';
            quoted.append(value.substr(k, len));
            k += len;
        }
        quoted += '"';
    }
    TStringListEx again;
    SplitFields(again, quoted, dialect);
    FUZZ_CHECK(Lines(again) == Lines(fields), Hex(record) + " -> " + Hex(quoted));
    FUZZ_CHECK(FindRecordEnd(quoted, 0, dialect).End == quoted.size(), Hex(quoted));
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const Encoding encoding : {Encoding::Cp932, Encoding::Utf8}) {
        for (const char delimiter : {',', '\t'}) fuzz::CheckRecord(bytes, {encoding, delimiter});
        (void)DelimiterOf(bytes, encoding);
    }
    return 0;
}
