#include "records/JapaneseText.h"

#include <array>
#include <climits>
#include <vector>

#include "records/Cp932.h"
#include "records/Utf8Char.h"

namespace quellor {

namespace {

constexpr std::int8_t kUnmapped = INT8_MIN;
constexpr char16_t kReplacement = 0xFFFD;

constexpr bool Within(char32_t c, char32_t low, char32_t high) {
    return c >= low && c <= high;
}

// Kana, the ideographic space and punctuation, full-width letters, digits and signs.
constexpr bool IsJapaneseForm(char32_t c) {
    return Within(c, 0x3000, 0x30FF) || Within(c, 0xFF01, 0xFF60) || Within(c, 0xFFE0, 0xFFE6);
}
constexpr bool IsHalfWidthKana(char32_t c) {
    return Within(c, 0xFF61, 0xFF9F);
}
constexpr bool IsIdeograph(char32_t c) {
    return Within(c, 0x4E00, 0x9FFF) || Within(c, 0xF900, 0xFAFF);
}

// The weight of a double-byte character, by its code and what it stands for.
// The two readings share these, so that a character says the same whichever
// encoding brought it up; the weights were set on generated names, addresses
// and product lines in both encodings.
std::int8_t PairWeight(unsigned lead, unsigned trail, char16_t unit) {
    if (IsJapaneseForm(unit)) return 2;
    if (IsIdeograph(unit)) {
        const unsigned code = lead << 8 | trail;
        if (code >= 0x889F && code <= 0x9872) return 2;  // the common kanji
        // The second level of JIS kanji is seldom written; the vendors'
        // added kanji are mostly variants in names (髙, 﨑).
        return lead <= 0xEA ? -1 : 0;
    }
    if (lead == 0x81 || lead == 0x87) return 1;   // signs, circled numbers, ㈱
    if (lead >= 0xF0 && lead <= 0xF9) return -2;  // the user-defined area
    return 0;                                     // Greek, Cyrillic, box drawing
}

// What a character that code page 932 cannot hold says in a UTF-8 reading.
std::int8_t WeightOutsideCp932(char32_t c) {
    if (IsJapaneseForm(c)) return 2;
    if (IsHalfWidthKana(c)) return 1;
    if (Within(c, 0x4E00, 0x9FFF)) return -1;  // 鷗 and the like, and Chinese forms
    return -2;                                 // other scripts, Hangul, rare ideographs
}

class Weights {
  public:
    Weights() {
        for (char32_t c = 0x80; c < 0x10000; ++c) codePoint_[c] = WeightOutsideCp932(c);
        // Half-width katakana read as UTF-8 are letters with marks and signs
        // of this block, whether code page 932 holds the sign or not.
        for (char32_t c = 0x80; c <= 0xFF; ++c) codePoint_[c] = -1;
        pair_.fill(kUnmapped);
        std::vector<bool> seen(0x10000);
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (unsigned trail = 0; trail < 256; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t unit = Decode(std::string_view(bytes, 2));
                if (unit == kReplacement) continue;
                const std::int8_t weight = PairWeight(lead, trail, unit);
                pair_[PairIndex(static_cast<unsigned char>(lead),
                                static_cast<unsigned char>(trail))] = weight;
                // A character with two codes is weighed by the first, the
                // standard's own.
                if (unit > 0xFF && !seen[unit]) codePoint_[unit] = weight;
                seen[unit] = true;
            }
        }
        for (unsigned b = 0x80; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const char16_t unit = Decode(std::string_view(&byte, 1));
            single_[b] = unit == kReplacement ? kUnmapped : IsHalfWidthKana(unit) ? 1 : -2;
        }
    }

    std::int8_t Pair(unsigned char lead, unsigned char trail) const {
        return pair_[PairIndex(lead, trail)];
    }
    std::int8_t Single(unsigned char b) const { return single_[b]; }
    std::int8_t CodePoint(char32_t c) const { return codePoint_[c]; }

  private:
    static char16_t Decode(std::string_view bytes) {
        char16_t units[2];
        return DecodeCp932Into(bytes, units) == 1 ? units[0] : kReplacement;
    }

    std::array<std::int8_t, 0x10000> codePoint_{};
    std::array<std::int8_t, kPairTableSize> pair_{};
    std::array<std::int8_t, 256> single_{};
};

const Weights& TheWeights() {
    static const Weights weights;
    return weights;
}

// A half-width katakana right after a wide character is how the last byte of
// a UTF-8 kanji or kana reads in code page 932, and rare in written text:
// it counts against the reading. One after another, or after ASCII, counts for it.
std::int8_t KanaAfter(bool afterWide, std::int8_t weight) {
    return afterWide ? -1 : weight;
}

}  // namespace

LineReadings WeighReadings(std::string_view line) {
    const Weights& weights = TheWeights();
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    LineReadings readings;

    bool afterWide = false;
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            afterWide = false;
            ++i;
            continue;
        }
        const bool pair = IsLeadByte(b) && i + 1 < n;
        const std::int8_t weight = pair ? weights.Pair(b, p[i + 1]) : weights.Single(b);
        if (weight == kUnmapped) {
            readings.Cp932Whole = false;
            readings.Cp932 = 0;
            return readings;  // the UTF-8 reading is then the only one
        }
        const bool kana = !pair && b >= 0xA1 && b <= 0xDF;
        readings.Cp932 += kana ? KanaAfter(afterWide, weight) : weight;
        afterWide = !kana;
        i += pair ? 2 : 1;
    }

    afterWide = false;
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            afterWide = false;
            ++i;
            continue;
        }
        std::size_t length;
        const char32_t c = DecodeUtf8Char(p + i, n - i, &length);
        i += length;
        if (length == 1) {  // a stray byte: no character of this reading
            afterWide = false;
            continue;
        }
        if (c >= 0x10000) {  // emoji and rare kanji count neither way
            afterWide = true;
            continue;
        }
        const bool kana = IsHalfWidthKana(c);
        readings.Utf8 += kana ? KanaAfter(afterWide, weights.CodePoint(c)) : weights.CodePoint(c);
        afterWide = !kana;
    }
    return readings;
}

}  // namespace quellor
