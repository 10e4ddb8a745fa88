// How the message of an error that ended a command is shown to the user, in
// the window's error box and on the command line's standard error alike.
#pragma once

#include <string>
#include <string_view>

namespace quellor {

// The message with "." appended unless it is empty or already ends in a
// character at or below "." in byte order.
std::string ErrorShownText(std::string_view message);

}  // namespace quellor
