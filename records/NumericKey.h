// The sort key read as a number. Each line's key field is read once into a
// fixed-width key whose bytes compare as the values do; only two keys that
// tie there and both hold more digits than it keeps are read again and
// compared digit by digit.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "records/Encoding.h"

namespace quellor {

// Eight key bytes as one word that compares as the bytes do.
inline std::uint64_t LoadBigEndian(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

// How the sort compares the key field: as text, or as a number first.
enum class KeyOrder : std::uint8_t { Text, Number };

// What a key holds exactly: the sign, the decimal exponent up to ±32000 and
// the first 24 significant digits. Values beyond that (more digits, or a
// longer exponent) are still ordered right: the key marks them, and two of
// them that tie are compared digit by digit.
struct NumberKey {
    std::uint64_t High = 0;  // class, exponent, first digits
    std::uint64_t Low = 0;   // the other digits, then the mark for more
    bool NeedsDigits() const;
};

// The key of a key field's value. Numbers come in value order, then every
// value that is not one (the empty one too), all with one key: the text
// decides among those.
NumberKey NumberKeyOf(std::string_view value, Encoding encoding);

// The order of two values' numbers whose keys tie and both need digits.
int CompareLongNumbers(std::string_view a, std::string_view b, Encoding encoding);

inline int CompareNumberKeys(const NumberKey& a, const NumberKey& b) {
    if (a.High != b.High) return a.High < b.High ? -1 : 1;
    if (a.Low != b.Low) return a.Low < b.Low ? -1 : 1;
    return 0;
}

// The numbers' order, reading the values again only when the keys cannot tell.
template <typename ValueOf>
int CompareNumbers(const NumberKey& a, const NumberKey& b, const ValueOf& valueOf,
                   Encoding encoding) {
    const int c = CompareNumberKeys(a, b);
    if (c != 0 || !a.NeedsDigits()) return c;
    return CompareLongNumbers(valueOf(0), valueOf(1), encoding);
}

}  // namespace quellor
