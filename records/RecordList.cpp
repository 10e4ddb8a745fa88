#include "records/RecordList.h"

#include <algorithm>
#include <cstdint>

#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

bool TStringListEx::MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                               Encoding encoding) const {
    constexpr bool kIgnoreCase = false;
    // Decided before the field is fetched: the empty entry never looks at the record.
    if (mode > MatchMode::EndsWith) return false;
    const std::string_view field = Get(fieldIndex);
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
