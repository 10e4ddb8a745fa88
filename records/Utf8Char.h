// The UTF-8 half of character stepping, below everything that reads text:
// a sequence's length and its code point, with a stray byte a character of
// its own.
#pragma once

#include <cstddef>

namespace quellor {

// Length of the well-formed UTF-8 sequence at p (1 to 4), or 0 when the
// bytes there are not one (a stray or cut sequence, an overlong form, a
// surrogate). Such a byte is a character of its own.
inline std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t remaining) {
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    const auto cont = [&](std::size_t k, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return k < remaining && p[k] >= lo && p[k] <= hi;
    };
    if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

// Length of the character at p in a UTF-8 text: its sequence, or one byte.
inline std::size_t Utf8CharLength(const unsigned char* p, std::size_t remaining) {
    const std::size_t len = Utf8SequenceLength(p, remaining);
    return len == 0 ? 1 : len;
}

// The code point of the character at p in a UTF-8 text, its length in
// *length: a byte outside a well-formed sequence is U+FFFD, one byte long.
inline char32_t DecodeUtf8Char(const unsigned char* p, std::size_t remaining, std::size_t* length) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        *length = 1;
        return b;
    }
    const std::size_t len = Utf8SequenceLength(p, remaining);
    *length = len == 0 ? 1 : len;
    switch (len) {
        case 2:
            return static_cast<char32_t>(((b & 0x1F) << 6) | (p[1] & 0x3F));
        case 3:
            return static_cast<char32_t>(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        case 4:
            return static_cast<char32_t>(((b & 0x07) << 18) | ((p[1] & 0x3F) << 12) |
                                         ((p[2] & 0x3F) << 6) | (p[3] & 0x3F));
        default:
            return 0xFFFD;
    }
}

}  // namespace quellor
