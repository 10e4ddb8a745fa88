#include "records/RecordList.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "records/ByteScan.h"
#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/FieldSwap.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

bool TStringListEx::MatchField(std::string_view searchText, int fieldIndex, MatchMode mode) const {
    // Decided before the field is fetched: the empty entry never looks at the record.
    if (mode > MatchMode::EndsWith) return false;
    const std::string_view field = Get(fieldIndex);
    const Encoding encoding = TextEncoding;
    switch (mode) {
        case MatchMode::Equals:
            return SameLocale(field, searchText, IgnoreCase, encoding);
        case MatchMode::Contains:
            return FindSubtext(field, searchText, encoding) > 0;
        case MatchMode::StartsWith: {
            // Cut at a byte count, whatever the characters there.
            const std::size_t n = std::min(searchText.size(), field.size());
            return SameLocale(searchText, field.substr(0, n), IgnoreCase, encoding);
        }
        case MatchMode::EndsWith: {
            if (searchText.empty() || field.size() < searchText.size()) return false;
            const std::size_t tail = field.size() - searchText.size();
            // The tail must not begin inside a character.
            if (!StartsCharacterAt(field, tail, encoding)) return false;
            return SameLocale(field.substr(tail), searchText, IgnoreCase, encoding);
        }
        case MatchMode::None:
            break;
    }
    return false;
}

void TStringListEx::SortByField(int keyIndex, int expectedFieldCount, const CancelCheck& cancel) {
    SwapFieldsInEveryLine(*this, 0, keyIndex, expectedFieldCount, cancel);
    SortLines(cancel);
    SwapFieldsInEveryLine(*this, keyIndex, 0, -1, cancel);
    ReleaseUnusedBlocks();
}

void TStringListEx::ReverseLines() {
    const int count = Count();
    for (int i = 0; i < count - 1 - i; ++i) Exchange(i, count - 1 - i);
}

std::unique_ptr<TStringListEx> TStringListEx::ExtractDuplicates() {
    // Walking from the end never moves a line still to be compared, so each
    // line is compared with its original neighbour: one forward pass gives
    // the same result, with the moved lines already in their order.
    auto moved = std::make_unique<TStringListEx>();
    moved->TextEncoding = TextEncoding;
    const std::size_t count = static_cast<std::size_t>(Count());
    if (count < 2) return moved;
    std::vector<char> keep(count, 1);
    for (std::size_t i = 1; i < count; ++i) {
        if (SameBytes(At(i), At(i - 1))) {
            keep[i] = 0;
            moved->Add(At(i));
        }
    }
    if (moved->Count() > 0) KeepMarked(keep);
    return moved;
}

void TStringListEx::SelectFieldsInto(const std::vector<int>& fieldNumbers, std::string& out) const {
    out.clear();
    for (int n : fieldNumbers) {
        if (n > Count()) throw EStringListError(Format(msg::kFieldMissing, {std::int64_t{n}}));
        const std::string_view field = Get(n - 1);
        out += ',';
        out += field;
    }
    if (!out.empty()) out.erase(0, 1);
}

std::string TStringListEx::SelectFields(const std::vector<int>& fieldNumbers) const {
    std::string out;
    SelectFieldsInto(fieldNumbers, out);
    return out;
}

}  // namespace quellor
