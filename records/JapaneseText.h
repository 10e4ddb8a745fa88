// How much like Japanese a line reads in each of the two encodings. Short
// texts can be whole in both: half-width katakana pair up into UTF-8
// sequences, a kanji whose lead byte is E0 to EF starts one, and UTF-8
// kana and kanji often make whole code page 932 pairs. What the bytes would
// say then decides: kana, common kanji and full-width forms speak for a
// reading; Hangul, rare ideographs, Latin letters with marks and the like,
// which only a misreading brings up, speak against it.
#pragma once

#include <cstdint>
#include <string_view>

namespace quellor {

struct LineReadings {
    std::int64_t Utf8 = 0;   // the weight of the UTF-8 reading (a stray byte counts nothing)
    std::int64_t Cp932 = 0;  // the weight of the code page 932 reading, when it is whole
    bool Cp932Whole = true;  // every character of the code page 932 reading maps to one
};

// Weighs both readings of one line. Sums over lines are sums over the
// whole text: nothing carries from one line into the next.
LineReadings WeighReadings(std::string_view line);

}  // namespace quellor
