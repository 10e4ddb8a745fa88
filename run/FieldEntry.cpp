#include "run/FieldEntry.h"

#include <climits>
#include <optional>
#include <string_view>

namespace quellor {

std::optional<int> FieldNumberOfEntry(std::string_view entry) {
    constexpr std::string_view kOpen = "[第";
    constexpr std::string_view kClose = "ﾌｨｰﾙﾄﾞ]";

    const std::size_t open = entry.find(kOpen);
    if (open == std::string_view::npos) return std::nullopt;
    std::size_t pos = open + kOpen.size();
    const std::size_t digitsStart = pos;
    int number = 0;
    // The whole run of digits counts: the entries pad to two digits, but a
    // field past 99 has three or more.
    while (pos < entry.size() && entry[pos] >= '0' && entry[pos] <= '9') {
        const int digit = entry[pos] - '0';
        if (number > (INT_MAX - digit) / 10) return std::nullopt;
        number = number * 10 + digit;
        ++pos;
    }
    if (pos == digitsStart || entry.substr(pos, kClose.size()) != kClose) return std::nullopt;
    return number;
}

}  // namespace quellor
