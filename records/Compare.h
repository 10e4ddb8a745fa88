// The comparison rules of the whole system.
#pragma once

#include <string_view>

namespace quellor {

// Locale-aware three-way comparison of two CP932 texts: -1, 0 or +1.
int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase);
bool SameLocale(std::string_view a, std::string_view b, bool ignoreCase);
bool SameBytes(std::string_view a, std::string_view b);
// 1-based byte position of the first occurrence of sub that does not start on
// a trail byte; 0 when there is none or either text is empty.
int FindSubtext(std::string_view text, std::string_view sub);
bool IsTrailByte(std::string_view text, std::size_t pos);

}  // namespace quellor
