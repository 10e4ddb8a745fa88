#include "run/ErrorText.h"

namespace quellor {

std::string ErrorShownText(std::string_view message) {
    std::string text(message);
    if (text.empty()) return text;
    // Any character outside ASCII is at least 0x81 in code page 932, and so
    // is its first byte here: only a last ASCII byte can stand at or below ".".
    const auto last = static_cast<unsigned char>(text.back());
    if (last > '.') text += '.';
    return text;
}

}  // namespace quellor
