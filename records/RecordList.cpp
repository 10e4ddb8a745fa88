#include "records/RecordList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

// One test and one cut for a record's fields however they were split.
template <typename Fields>
bool MatchFieldOf(const Fields& fields, std::string_view searchText, int fieldIndex, MatchMode mode,
                  Encoding encoding) {
    constexpr bool kIgnoreCase = false;
    // Decided before the field is fetched: the empty entry never looks at the record.
    if (mode > MatchMode::EndsWith) return false;
    const std::string_view field = fields.Get(fieldIndex);
    switch (mode) {
        case MatchMode::Equals:
            return SameLocale(field, searchText, kIgnoreCase, encoding);
        case MatchMode::Contains:
            return FindSubtext(field, searchText, encoding) > 0;
        case MatchMode::StartsWith: {
            // Cut at a byte count, whatever the characters there.
            const std::size_t n = std::min(searchText.size(), field.size());
            return SameLocale(searchText, field.substr(0, n), kIgnoreCase, encoding);
        }
        case MatchMode::EndsWith: {
            if (searchText.empty() || field.size() < searchText.size()) return false;
            const std::size_t tail = field.size() - searchText.size();
            // The tail must not begin inside a character.
            if (!StartsCharacterAt(field, tail, encoding)) return false;
            return SameLocale(field.substr(tail), searchText, kIgnoreCase, encoding);
        }
        case MatchMode::None:
            break;
    }
    return false;
}

template <typename Fields>
void SelectFieldsOf(const Fields& fields, const std::vector<int>& fieldNumbers, char delimiter,
                    std::string& out) {
    out.clear();
    bool first = true;
    for (int n : fieldNumbers) {
        if (n > fields.Count())
            throw EStringListError(Format(msg::kFieldMissing, {std::int64_t{n}}));
        if (n < 1) ThrowIndexOutOfBounds(n - 1);
        if (!first) out += delimiter;
        out += fields.Raw(n - 1);
        first = false;
    }
}

}  // namespace

bool TStringListEx::MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                               Encoding encoding) const {
    return MatchFieldOf(*this, searchText, fieldIndex, mode, encoding);
}

void TStringListEx::SelectFieldsInto(const std::vector<int>& fieldNumbers, char delimiter,
                                     std::string& out) const {
    SelectFieldsOf(*this, fieldNumbers, delimiter, out);
}

std::string TStringListEx::SelectFields(const std::vector<int>& fieldNumbers,
                                        char delimiter) const {
    std::string out;
    SelectFieldsInto(fieldNumbers, delimiter, out);
    return out;
}

std::string_view TStringListEx::Raw(int i) const {
    CheckIndex(i);
    const auto k = static_cast<std::size_t>(i);
    return k < raw_.size() ? raw_[k] : At(k);
}

bool PlainFields::Find(std::string_view record, const CsvDialect& dialect) {
    text_ = record.data();
    count_ = FindPlainFieldEnds(record, dialect, ends_, nullptr);
    return count_ != 0;
}

std::string_view PlainFields::Raw(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= count_) ThrowIndexOutOfBounds(i);
    const std::size_t k = static_cast<std::size_t>(i);
    const std::size_t from = k == 0 ? 0 : ends_[k - 1] + 1;
    return {text_ + from, ends_[k] - from};
}

std::string_view PlainFields::Get(int i) const {
    return PlainFieldValue(Raw(i));
}

bool PlainFields::MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                             Encoding encoding) const {
    return MatchFieldOf(*this, searchText, fieldIndex, mode, encoding);
}

void PlainFields::SelectFieldsInto(const std::vector<int>& fieldNumbers, char delimiter,
                                   std::string& out) const {
    SelectFieldsOf(*this, fieldNumbers, delimiter, out);
}

void SplitFields(TStringListEx& fields, std::string_view record, const CsvDialect& dialect) {
    SplitFields(fields, record, dialect, std::string_view::npos);
}

namespace {

std::string_view UpToNul(std::string_view record) {
    const void* nul = record.empty() ? nullptr : std::memchr(record.data(), 0, record.size());
    return nul ? record.substr(
                     0, static_cast<std::size_t>(static_cast<const char*>(nul) - record.data()))
               : record;
}

}  // namespace

std::size_t CountFields(std::string_view record, const CsvDialect& dialect) {
    record = UpToNul(record);
    std::size_t ends[kMaxPlainFields];
    if (const std::size_t count = FindPlainFieldEnds(record, dialect, ends, nullptr)) return count;
    FieldWalker walker(record, 0, dialect);
    FieldBounds f;
    std::size_t count = 0;
    while (walker.Next(f)) ++count;
    return count;
}

bool SplitFields(TStringListEx& fields, std::string_view record, const CsvDialect& dialect,
                 std::size_t maxFields) {
    record = UpToNul(record);
    // The record may live in the list that is about to be refilled.
    std::string copy;
    if (fields.Owns(record.data())) {
        copy.assign(record);
        record = copy;
    }
    fields.ClearFields();
    if (maxFields == 0) return true;
    // The fields point into a private copy of the record; values that must
    // be unquoted are written after it.
    const std::size_t n = record.size();
    char* text = fields.Allocate(2 * n);
    if (n > 0) std::memcpy(text, record.data(), n);
    const std::string_view raw(text, n);

    std::size_t ends[kMaxPlainFields];
    const std::size_t count =
        maxFields == std::string_view::npos ? FindPlainFieldEnds(raw, dialect, ends, nullptr) : 0;
    if (count > 0) {
        for (std::size_t k = 0, from = 0; k < count; from = ends[k++] + 1) {
            const std::string_view bytes = raw.substr(from, ends[k] - from);
            fields.AddField(PlainFieldValue(bytes), bytes);
        }
        return false;
    }
    FieldWalker walker(raw, 0, dialect);
    FieldBounds f;
    char* values = text + n;
    while (walker.Next(f)) {
        if (static_cast<std::size_t>(fields.Count()) == maxFields) return true;
        fields.AddField(FieldValue(raw, f, dialect, values), raw.substr(f.From, f.To - f.From));
    }
    return false;
}

}  // namespace quellor
