#include "cli/CliHelp.h"

#include <string_view>

#include "records/Encoding.h"
#include "run/CommandOptionTable.h"

namespace quellor::cli {

namespace {

constexpr std::size_t kIndent = 2;
constexpr std::size_t kTextColumn = 26;

// The columns a terminal gives a text: two for a full-width character, one
// for ASCII, punctuation and the half-width katakana the window's words use.
std::size_t Columns(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t columns = 0;
    for (std::size_t i = 0, length = 1; i < text.size(); i += length) {
        const char32_t c = DecodeUtf8Char(p + i, text.size() - i, &length);
        const bool narrow =
            c < 0x1100 || (c >= 0x2000 && c < 0x2E80) || (c >= 0xFF61 && c <= 0xFFDC);
        columns += narrow ? 1 : 2;
    }
    return columns;
}

// "--sort F[:num][:desc]", "--job FILE, @FILE".
std::string Head(const CommandOption& option, Language language) {
    std::string head(kIndent, ' ');
    head.append(option.Name);
    const char* value = In(language, option.Value);
    if (option.TakesValue()) head.append(" ").append(value);
    if (!option.Also.empty()) head.append(", ").append(option.Also).append(value);
    return head;
}

}  // namespace

std::string HelpText(Language language) {
    std::string text = In(language, kHelpUsage);
    const std::string indent(kTextColumn, ' ');
    for (const CommandOption& option : AllCommandOptions()) {
        const std::string head = Head(option, language);
        const std::size_t width = Columns(head);
        // A head that leaves less than two blanks before the texts has them below it.
        text += head + (width + 2 > kTextColumn ? '\n' + indent : indent.substr(width));
        std::string_view help = In(language, option.Help);
        for (std::size_t end; (end = help.find('\n')) != std::string_view::npos;) {
            text.append(help.substr(0, end)).append("\n").append(indent);
            help.remove_prefix(end + 1);
        }
        text.append(help).append("\n");
    }
    return text + In(language, kHelpEnd);
}

}  // namespace quellor::cli
