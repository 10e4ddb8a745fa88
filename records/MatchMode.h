// How a record condition compares a field with its search text.
#pragma once

#include <cstdint>

namespace quellor {

// The order is the order of the condition combo boxes' entries. None is the
// empty fifth entry the second condition offers, and matches nothing.
enum class MatchMode : std::uint8_t { Equals, Contains, StartsWith, EndsWith, None };

}  // namespace quellor
