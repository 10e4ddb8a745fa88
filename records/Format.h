// printf-like filling of the system's message templates: "%s" takes a text as
// it is (bytes kept), "%d" a signed decimal integer. Templates come from the
// message tables, never from data.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace quellor {

using FormatArg = std::variant<std::string_view, std::int64_t>;

std::string Format(std::string_view templ, std::initializer_list<FormatArg> args);

}  // namespace quellor
