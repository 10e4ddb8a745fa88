// The field entries of the choosers: "[第%sﾌｨｰﾙﾄﾞ]　%s" (UTF-8).
#pragma once

#include <optional>
#include <string_view>

namespace quellor {

// The field number of an entry, or nothing when it is not of that form.
std::optional<int> FieldNumberOfEntry(std::string_view entry);

}  // namespace quellor
