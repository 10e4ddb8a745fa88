// The comparison rules of the whole system.
#pragma once

#include <cstddef>
#include <string_view>

#include "records/Encoding.h"

namespace quellor {

// Locale-aware three-way comparison of two texts of one encoding: -1, 0 or +1.
int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase,
                  Encoding encoding = Encoding::Cp932);
bool SameLocale(std::string_view a, std::string_view b, bool ignoreCase,
                Encoding encoding = Encoding::Cp932);
bool SameBytes(std::string_view a, std::string_view b);
// 1-based byte position of the first occurrence of sub that begins a
// character (in code page 932: not on a trail byte); 0 when there is none or
// either text is empty.
int FindSubtext(std::string_view text, std::string_view sub, Encoding encoding = Encoding::Cp932);
bool IsTrailByte(std::string_view text, std::size_t pos);
// Whether pos begins a character of the text, stepped from its start.
bool StartsCharacterAt(std::string_view text, std::size_t pos, Encoding encoding);

}  // namespace quellor
