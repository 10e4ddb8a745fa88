// A search text as the user typed it (UTF-8) in the encoding of the records
// it is compared with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellor {

// The text in code page 932, after the characters that Linux input methods
// produce for their JIS mapping (〜 − ‖ — ¢ £ ¬) are replaced by the code page
// 932 characters that look the same; nothing when a character has no code
// there, or the text is not valid UTF-8.
std::optional<std::string> SearchTextAsCp932(std::string_view utf8);

}  // namespace quellor
