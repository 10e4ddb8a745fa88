#include "records/Encoding.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "records/Cp932.h"
#include "records/JapaneseText.h"

namespace quellor {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The first byte at or after i that is 0x80 or above; n when there is none.
std::size_t SkipAscii(const unsigned char* p, std::size_t i, std::size_t n) {
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

}  // namespace

void Utf8Check::Feed(std::string_view piece) {
    if (!valid_) return;
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const std::size_t n = piece.size();
    for (std::size_t i = SkipAscii(p, 0, n); i < n; i = SkipAscii(p, i, n)) {
        sawHigh_ = true;
        const std::size_t len = Utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            valid_ = false;
            return;
        }
        i += len;
    }
}

bool IsValidUtf8(std::string_view text) {
    Utf8Check check;
    check.Feed(text);
    return check.Valid();
}

namespace {

// The bits set in a 16-bit mask, without the processor's own instruction,
// which the build does not assume.
inline unsigned BitsSet(unsigned x) {
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return (x + (x >> 8)) & 0x1Fu;
}

// How far the line goes as well-formed UTF-8 made of ASCII and three-byte
// characters whose lead byte allows any following bytes (E1 to EF but ED),
// sixteen bytes at a time: Japanese text is mostly that, and the check byte
// by byte mispredicts at every change between the two. Returns where the
// first other character begins (or n); *leads counts the characters passed.
std::size_t PlainJapaneseRun(const unsigned char* p, std::size_t n, std::int64_t* leads,
                             bool* high) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i top = _mm_set1_epi8(static_cast<char>(0x80));
    unsigned carry = 0;  // continuation bytes due at the next block's start
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const auto highBits = static_cast<unsigned>(_mm_movemask_epi8(v));
        if (highBits == 0 && carry == 0) continue;
        // Signed compares after flipping the top bit compare unsigned bytes.
        const __m128i s = _mm_xor_si128(v, top);
        const auto above = [&](int b) {
            return static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpgt_epi8(s, _mm_set1_epi8(static_cast<char>(b ^ 0x80)))));
        };
        const unsigned cont = highBits & ~above(0xBF);
        const unsigned ed = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0xED)))));
        const unsigned lead = above(0xE0) & ~above(0xEF) & ~ed;
        const unsigned due = (lead << 1) | (lead << 2) | carry;
        if ((highBits & ~(cont | lead)) != 0 || (due & 0xFFFF) != cont) break;
        *leads += BitsSet(lead);
        *high = true;
        carry = due >> 16;
    }
    // Back to the start of a character cut by the block's end, which the
    // caller then counts.
    if (carry != 0) --*leads;
    if (carry & 2) return i - 1;
    if (carry & 1) return i - 2;
#else
    (void)p, (void)n, (void)leads, (void)high;
#endif
    return i;
}

}  // namespace

void EncodingGuess::Feed(std::string_view line) {
    ++lines_;
    if (strayBytes_ > kFewStrayBytes) return;
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    bool high = false;
    const std::size_t from = PlainJapaneseRun(p, n, &beyondLatin1_, &high);
    for (std::size_t i = SkipAscii(p, from, n); i < n; i = SkipAscii(p, i, n)) {
        high = true;
        const std::size_t len = Utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            if (strayBytes_++ == 0) firstStrayLine_ = lines_;
            if (strayBytes_ > kFewStrayBytes) return;
            ++i;
            continue;
        }
        if (p[i] > 0xC3) ++beyondLatin1_;
        i += len;
    }
    sawHigh_ = sawHigh_ || high;
    // Only a text still open to both readings is weighed.
    if (!high || !cp932Whole_) return;
    const LineReadings readings = WeighReadings(line);
    if (!readings.Cp932Whole) {
        cp932Whole_ = false;
        return;
    }
    utf8Weight_ += readings.Utf8;
    cp932Weight_ += readings.Cp932;
}

void EncodingGuess::Join(const EncodingGuess& next) {
    // Past kFewStrayBytes either side stopped counting, and the verdict is
    // code page 932 whatever the other counts say. Short of that, neither
    // side stopped, so the sums are those of one pass; the weights matter
    // only when code page 932 read both sides whole, and then each side
    // weighed every line it had.
    if (strayBytes_ == 0 && next.strayBytes_ > 0) firstStrayLine_ = lines_ + next.firstStrayLine_;
    strayBytes_ = std::min(strayBytes_ + next.strayBytes_, kFewStrayBytes + 1);
    beyondLatin1_ += next.beyondLatin1_;
    utf8Weight_ += next.utf8Weight_;
    cp932Weight_ += next.cp932Weight_;
    sawHigh_ = sawHigh_ || next.sawHigh_;
    cp932Whole_ = cp932Whole_ && next.cp932Whole_;
    lines_ += next.lines_;
}

bool EncodingGuess::MostlyUtf8() const {
    if (strayBytes_ == 0 || strayBytes_ > kFewStrayBytes) return false;
    // A stray byte already speaks against UTF-8: the UTF-8 reading must be
    // Japanese and clearly ahead.
    if (cp932Whole_) return utf8Weight_ > 0 && utf8Weight_ - cp932Weight_ >= 2;
    return beyondLatin1_ >= strayBytes_;
}

Encoding EncodingGuess::Guess() const {
    if (strayBytes_ > 0) return MostlyUtf8() ? Encoding::Utf8 : Encoding::Cp932;
    if (!sawHigh_ || (cp932Whole_ && cp932Weight_ - utf8Weight_ >= 2)) return Encoding::Cp932;
    return Encoding::Utf8;
}

Encoding DetectEncoding(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) return Encoding::Utf8;
    EncodingGuess guess;
    guess.Feed(text);
    return guess.Guess();
}

bool StartsUtf8Character(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos >= text.size()) return true;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if ((p[pos] & 0xC0) != 0x80) return true;  // only continuation bytes lie inside
    // The nearest byte before that is no continuation byte is the only one
    // whose sequence can reach pos.
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
        const std::size_t at = pos - back;
        if ((p[at] & 0xC0) == 0x80) continue;
        return Utf8SequenceLength(p + at, text.size() - at) <= back;
    }
    return true;
}

std::size_t Utf8UnfinishedTail(std::string_view text) {
    // As above: the nearest byte that is no continuation byte starts the
    // last character; its lead byte tells how long that character must be.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;
        const std::size_t length = b >= 0xF5   ? 1
                                   : b >= 0xF0 ? 4
                                   : b >= 0xE0 ? 3
                                   : b >= 0xC2 ? 2
                                               : 1;
        return length > back ? back : 0;
    }
    return 0;
}

std::size_t DecodeUtf8Into(std::string_view text, char16_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    char16_t* dst = out;
    for (std::size_t i = 0; i < n;) {
        std::size_t len;
        const char32_t cp = DecodeUtf8Char(p + i, n - i, &len);
        if (cp < 0x10000) {
            *dst++ = static_cast<char16_t>(cp);
        } else {
            *dst++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            *dst++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
        i += len;
    }
    return static_cast<std::size_t>(dst - out);
}

std::string TextForShow(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Cp932) return Cp932ToUtf8(bytes);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = Utf8SequenceLength(p + i, bytes.size() - i);
        if (len == 0) {
            AppendUtf8(kReplacement, out);
            ++i;
        } else {
            out.append(bytes.data() + i, len);
            i += len;
        }
    }
    return out;
}

std::string PathForShow(std::string_view path) {
    if (IsValidUtf8(path)) return std::string(path);
    const std::u16string units = DecodeCp932(path);
    std::string out;
    // The decoder gives one unit per character, so units and characters pair up.
    std::size_t at = 0;
    for (const char16_t u : units) {
        const std::size_t len = CharLength(path, at);
        if (u == kReplacement) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            for (std::size_t k = 0; k < len; ++k) {
                const auto b = static_cast<unsigned char>(path[at + k]);
                out += "\\x";
                out += kHex[b >> 4];
                out += kHex[b & 0x0F];
            }
        } else {
            AppendUtf8(u, out);
        }
        at += len;
    }
    return out;
}

}  // namespace quellor
