// Finding the bytes that split a record line, sixteen at a time. A found
// byte may still be the second byte of a double-byte character; callers
// decide that with StartsCharacter.
#pragma once

#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "records/Cp932.h"

namespace quellor {

// The first position at or after i that holds a byte up to 0x20 (a blank,
// or NUL), the delimiter d, or the byte q (pass d again for no second
// byte); n when there is none.
inline std::size_t NextStopByte(const unsigned char* p, std::size_t i, std::size_t n,
                                unsigned char d, unsigned char q) {
#ifdef __SSE2__
    const __m128i delimiter = _mm_set1_epi8(static_cast<char>(d));
    const __m128i quote = _mm_set1_epi8(static_cast<char>(q));
    const __m128i blank = _mm_set1_epi8(0x20);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, delimiter), _mm_cmpeq_epi8(v, quote)),
                         _mm_cmpeq_epi8(_mm_min_epu8(v, blank), v));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (bits != 0) return i + static_cast<std::size_t>(__builtin_ctz(bits));
    }
#endif
    for (; i < n; ++i) {
        const unsigned char c = p[i];
        if (c <= 0x20 || c == d || c == q) return i;
    }
    return n;
}

// One bit for each of the sixteen bytes at p that NextStopByte would stop at.
inline unsigned StopBits(const unsigned char* p, unsigned char d, unsigned char q) {
#ifdef __SSE2__
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(d))),
                                  _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(q)))),
                     _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x20)), v));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
#else
    unsigned bits = 0;
    for (unsigned k = 0; k < 16; ++k) {
        if (p[k] <= 0x20 || p[k] == d || p[k] == q) bits |= 1u << k;
    }
    return bits;
#endif
}

// The first position at or after i that holds NUL, CR or LF; n when there is none.
inline std::size_t NextLineByte(const unsigned char* p, std::size_t i, std::size_t n) {
#ifdef __SSE2__
    const __m128i nul = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, nul), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, lf));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (bits != 0) return i + static_cast<std::size_t>(__builtin_ctz(bits));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == 0 || p[i] == '\r' || p[i] == '\n') return i;
    }
    return n;
}

// Whether position pos begins a character when characters are stepped from
// position from: the lead bytes right before it pair off evenly.
inline bool StartsCharacter(const unsigned char* p, std::size_t from, std::size_t pos) {
    std::size_t run = 0;
    while (pos > from && IsLeadByte(p[pos - 1])) {
        --pos;
        ++run;
    }
    return run % 2 == 0;
}

}  // namespace quellor
