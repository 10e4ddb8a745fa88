#include "records/Format.h"

namespace quellor {

std::string Format(std::string_view templ, std::initializer_list<FormatArg> args) {
    std::string out;
    out.reserve(templ.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < templ.size(); ++i) {
        const char c = templ[i];
        if (c == '%' && i + 1 < templ.size() && (templ[i + 1] == 's' || templ[i + 1] == 'd') &&
            next != args.end()) {
            if (const auto* text = std::get_if<std::string_view>(&*next)) {
                out += *text;
            } else {
                out += std::to_string(std::get<std::int64_t>(*next));
            }
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace quellor
