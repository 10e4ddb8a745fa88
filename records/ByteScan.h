// Finding the bytes that split records and fields, sixteen or sixty-four
// at a time. A found byte may still be the second byte of a double-byte
// character; callers decide that with StartsCharacter, or for a whole block
// with AfterOddLeadRuns.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "records/Cp932.h"

namespace quellor {

// The first position at or after i that holds the byte a, b or c; n when
// there is none.
inline std::size_t NextOfThree(const unsigned char* p, std::size_t i, std::size_t n,
                               unsigned char a, unsigned char b, unsigned char c) {
#ifdef __SSE2__
    const __m128i va = _mm_set1_epi8(static_cast<char>(a));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    const __m128i vc = _mm_set1_epi8(static_cast<char>(c));
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)), _mm_cmpeq_epi8(v, vc));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (bits != 0) return i + static_cast<std::size_t>(__builtin_ctz(bits));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == a || p[i] == b || p[i] == c) return i;
    }
    return n;
}

// What sixty-four bytes hold, one bit a byte: the delimiter d; quotes; NUL;
// blanks and tabs, which a value does not keep at its ends; and the
// lead-range bytes of code page 932.
struct StopMasks {
    std::uint64_t delimiters, quotes, nuls, blanks, leads;
};

// Blanks only when asked for: record extraction and field extraction take
// every record through here, and neither needs them.
template <bool kBlanks>
inline StopMasks StopMasks64(const unsigned char* p, unsigned char d) {
    StopMasks m{0, 0, 0, 0, 0};
#ifdef __SSE2__
    const __m128i delimiter = _mm_set1_epi8(static_cast<char>(d));
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const __m128i low = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0x81)));
        const __m128i high = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0xE0)));
        const __m128i lead =
            _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8(0x9F - 0x81)), low),
                         _mm_cmpeq_epi8(_mm_min_epu8(high, _mm_set1_epi8(0xFC - 0xE0)), high));
        const auto bits = [](__m128i x) {
            return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x)));
        };
        m.delimiters |= bits(_mm_cmpeq_epi8(v, delimiter)) << (16 * k);
        m.quotes |= bits(_mm_cmpeq_epi8(v, quote)) << (16 * k);
        m.nuls |= bits(_mm_cmpeq_epi8(v, _mm_setzero_si128())) << (16 * k);
        if constexpr (kBlanks) {
            const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab));
            m.blanks |= bits(blank) << (16 * k);
        }
        m.leads |= bits(lead) << (16 * k);
    }
#else
    for (unsigned k = 0; k < 64; ++k) {
        const std::uint64_t bit = std::uint64_t{1} << k;
        if (p[k] == d) m.delimiters |= bit;
        if (p[k] == '"') m.quotes |= bit;
        if (p[k] == 0) m.nuls |= bit;
        if (kBlanks && (p[k] == ' ' || p[k] == '\t')) m.blanks |= bit;
        if (IsLeadByte(p[k])) m.leads |= bit;
    }
#endif
    return m;
}

// The bytes of a 64-byte block that follow an odd run of lead-range bytes:
// a run begins a character (the byte before it is a single byte or ends a
// pair), so the byte after an odd one is a second byte. oddCarry says the
// block before ended in an odd run, and is set for the next. Runs are
// measured by carries, as odd runs of backslashes are in JSON scanners.
inline std::uint64_t AfterOddLeadRuns(std::uint64_t leads, std::uint64_t& oddCarry) {
    constexpr std::uint64_t kEven = 0x5555555555555555u;
    constexpr std::uint64_t kOdd = ~kEven;
    const std::uint64_t starts = leads & ~(leads << 1);
    const std::uint64_t evenStartMask = kEven ^ oddCarry;
    const std::uint64_t evenStarts = starts & evenStartMask;
    const std::uint64_t oddStarts = starts & ~evenStartMask;
    const std::uint64_t evenCarries = leads + evenStarts;
    std::uint64_t oddCarries = leads + oddStarts;
    const std::uint64_t endsOdd = oddCarries < leads ? 1 : 0;
    oddCarries |= oddCarry;
    oddCarry = endsOdd;
    const std::uint64_t evenCarryEnds = evenCarries & ~leads;
    const std::uint64_t oddCarryEnds = oddCarries & ~leads;
    return (evenCarryEnds & kOdd) | (oddCarryEnds & kEven);
}

// The first position at or after i that holds NUL, CR or LF, n when there
// is none; with NoteQuote, *quote is set when a double quote stood in the
// bytes looked at (a little past the line's end maybe, never past n).
template <bool NoteQuote>
inline std::size_t FindLineByte(const unsigned char* p, std::size_t i, std::size_t n, bool* quote) {
#ifdef __SSE2__
    const __m128i nul = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i dq = _mm_set1_epi8('"');
    // Quotes gathered in a register and noted once: a store through quote
    // at every block would be read back at the next.
    __m128i quotes = _mm_setzero_si128();
    const auto note = [&] {
        if constexpr (NoteQuote) *quote = *quote || _mm_movemask_epi8(quotes) != 0;
    };
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, nul), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, lf));
        if constexpr (NoteQuote) quotes = _mm_or_si128(quotes, _mm_cmpeq_epi8(v, dq));
        const auto bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (bits != 0) {
            note();
            return i + static_cast<std::size_t>(__builtin_ctz(bits));
        }
    }
    note();
#endif
    for (; i < n; ++i) {
        if constexpr (NoteQuote) {
            if (p[i] == '"') *quote = true;
        }
        if (p[i] == 0 || p[i] == '\r' || p[i] == '\n') return i;
    }
    return n;
}

inline std::size_t NextLineByte(const unsigned char* p, std::size_t i, std::size_t n) {
    return FindLineByte<false>(p, i, n, nullptr);
}

inline std::size_t NextLineByte(const unsigned char* p, std::size_t i, std::size_t n, bool& quote) {
    return FindLineByte<true>(p, i, n, &quote);
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
