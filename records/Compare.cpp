#include "records/Compare.h"

#include <cstring>

#include "records/Collation.h"
#include "records/Cp932.h"

namespace quellor {

int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase, Encoding encoding) {
    // The same bytes always collate equal; this spares the decoding.
    if (SameBytes(a, b)) return 0;
    thread_local collation::U16Buffer ua, ub, scratch;
    collation::PrepareText(a, ignoreCase, ua, scratch, encoding);
    collation::PrepareText(b, ignoreCase, ub, scratch, encoding);
    return collation::ComparePrepared(ua, ub);
}

bool SameLocale(std::string_view a, std::string_view b, bool ignoreCase, Encoding encoding) {
    return CompareLocale(a, b, ignoreCase, encoding) == 0;
}

bool SameBytes(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

bool IsTrailByte(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos > text.size()) return false;
    std::size_t run = 0;
    for (std::size_t k = pos; k > 0 && IsLeadByte(static_cast<unsigned char>(text[k - 1])); --k) {
        ++run;
    }
    return run % 2 == 1;
}

bool StartsCharacterAt(std::string_view text, std::size_t pos, Encoding encoding) {
    return encoding == Encoding::Utf8 ? StartsUtf8Character(text, pos) : !IsTrailByte(text, pos);
}

int FindSubtext(std::string_view text, std::string_view sub, Encoding encoding) {
    if (text.empty() || sub.empty()) return 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(sub, start);
        if (at == std::string_view::npos) return 0;
        if (StartsCharacterAt(text, at, encoding)) return static_cast<int>(at + 1);
        start = at + 1;
    }
}

}  // namespace quellor
