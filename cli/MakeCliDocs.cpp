// Writes the manual page of quellor-cli and its bash completion from the
// option table (run/CommandOptionTable.h), so that neither can miss or
// misname an option the command reads. The page's other sections come from
// a template: the line "@OPTIONS@" becomes the options, "@JOB_OPTIONS@" the
// list of those a job may hold.
// Usage: quellor_cli_docs PAGE_TEMPLATE PAGE COMPLETION
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "run/CommandOptionTable.h"

namespace {

using quellor::AllCommandOptions;
using quellor::CommandOption;
using quellor::ValueKind;

// A text as roff prints it: a backslash is an escape there.
std::string Roff(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\\' ? std::string("\\e") : std::string(1, c);
    return out;
}

// Options and words to type, in bold; their dashes are minus signs, so that
// what the page shows can be searched for and copied.
std::string Bold(std::string_view text) {
    std::string out = "\\fB";
    for (char c : text) out += c == '-' ? std::string("\\-") : Roff(std::string_view(&c, 1));
    return out + "\\fR";
}

// A line of the table's text, `x` in bold. A line starting with a dot or an
// apostrophe would be a request.
std::string TextLine(std::string_view line) {
    std::string out;
    bool bold = false;
    for (std::size_t start = 0; start <= line.size(); bold = !bold) {
        std::size_t end = line.find('`', start);
        if (end == std::string_view::npos) end = line.size();
        const std::string_view part = line.substr(start, end - start);
        out += bold ? Bold(part) : Roff(part);
        start = end + 1;
    }
    if (out.starts_with('.') || out.starts_with('\'')) out.insert(0, "\\&");
    return out + '\n';
}

std::string Lines(std::string_view text) {
    std::string out;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        out += TextLine(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return out + TextLine(text);
}

// "--job FILE, @FILE", the value in italics.
std::string Tag(const CommandOption& option) {
    const std::string value = "\\fI" + Roff(option.Value.English) + "\\fR";
    std::string tag = Bold(option.Name);
    if (option.TakesValue()) tag += " " + value;
    if (!option.Also.empty()) tag += ", " + Bold(option.Also) + value;
    return tag + '\n';
}

// The other names the encodings are taken by, after the ones the help gives.
std::string OtherEncodingNames() {
    std::string text = "Other names are taken too, in any case:\n";
    for (const auto& first : quellor::kEncodingWords) {
        if (!quellor::IsFirstEncodingWord(first)) continue;
        std::string others;
        for (const auto& word : quellor::kEncodingWords) {
            if (word.Choice == first.Choice && !quellor::IsFirstEncodingWord(word))
                others += (others.empty() ? "" : ", ") + Bold(word.Word);
        }
        if (!others.empty()) text += others + " for " + Bold(first.Word) + ";\n";
    }
    text.replace(text.size() - 2, 1, ".");
    return text;
}

std::string OptionsSection() {
    std::string out;
    for (const CommandOption& option : AllCommandOptions()) {
        out += ".TP\n" + Tag(option) + Lines(option.Manual);
        if (option.Kind == ValueKind::EncodingWord) out += OtherEncodingNames();
    }
    return out;
}

// One a line, "--fields," to "--encoding;".
std::string JobOptions() {
    std::vector<std::string_view> names;
    for (const CommandOption& option : AllCommandOptions()) {
        if (option.InJob) names.push_back(option.Name);
    }
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i)
        out += Bold(names[i]) + (i + 1 < names.size() ? ",\n" : ";\n");
    return out;
}

bool WritePage(const char* templatePath, const char* pagePath) {
    std::ifstream in(templatePath);
    std::ostringstream page;
    int markers = 0;
    for (std::string line; std::getline(in, line);) {
        if (line == "@OPTIONS@") {
            page << OptionsSection();
            ++markers;
        } else if (line == "@JOB_OPTIONS@") {
            page << JobOptions();
            ++markers;
        } else {
            page << line << '\n';
        }
    }
    if (!in.eof() || markers != 2) {
        std::fprintf(stderr, "%s: cannot read, or lacks @OPTIONS@ and @JOB_OPTIONS@\n",
                     templatePath);
        return false;
    }
    std::ofstream out(pagePath);
    out << page.str();
    return static_cast<bool>(out.flush());
}

// Values that are files get files; the encoding its words; other values
// nothing (a field number or a search text cannot be guessed); a word that
// starts with a dash the options; anything else, and all after "--", files.
std::string Completion() {
    std::string names, texts, values, prefixes;
    for (const CommandOption& option : AllCommandOptions()) {
        const std::string name(option.Name), also(option.Also);
        names += (names.empty() ? "" : " ") + name;
        if (option.Kind == ValueKind::Text) texts += (texts.empty() ? "" : "|") + name;
        if (option.Kind == ValueKind::File)
            values += "        " + name + ") _quellor_cli_files \"$cur\" ;;\n";
        if (option.Kind == ValueKind::EncodingWord) {
            std::string words;
            for (const auto& word : quellor::kEncodingWords) {
                if (quellor::IsFirstEncodingWord(word))
                    words += (words.empty() ? "" : " ") + std::string(word.Word);
            }
            values += "        " + name + ") _quellor_cli_words '" + words + "' \"$cur\" ;;\n";
        }
        if (option.Kind == ValueKind::DelimiterWord) {
            std::string words;
            for (const auto& word : quellor::kDelimiterWords)
                words += (words.empty() ? "" : " ") + std::string(word.Word);
            values += "        " + name + ") _quellor_cli_words '" + words + "' \"$cur\" ;;\n";
        }
        if (!also.empty()) {
            prefixes += "                " + also + "*) _quellor_cli_files \"${cur#" + also +
                        "}\" " + also + " ;;\n";
        }
    }
    return "# bash completion for quellor-cli, made from its option table when it was built.\n"
           "_quellor_cli_files() {\n"
           "    local IFS=$'\\n'\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    COMPREPLY=($(compgen -f -P \"$2\" -- \"$1\"))\n"
           "}\n"
           "_quellor_cli_words() {\n"
           "    COMPREPLY=($(compgen -W \"$1\" -- \"$2\"))\n"
           "}\n"
           "_quellor_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} i\n"
           "    COMPREPLY=()\n"
           "    # The shell cuts \"--encoding=utf\" at the \"=\", which stands for a blank.\n"
           "    if [[ $cur == = ]]; then\n"
           "        cur=\n"
           "    elif [[ $prev == = ]]; then\n"
           "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
           "    fi\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        [[ ${COMP_WORDS[i]} == -- ]] && { _quellor_cli_files \"$cur\"; return; }\n"
           "    done\n"
           "    case $prev in\n" +
           values + "        " + texts + ") ;;\n" +
           "        *)\n"
           "            case $cur in\n" +
           prefixes + "                -*) _quellor_cli_words '" + names + "' \"$cur\" ;;\n" +
           "                *) _quellor_cli_files \"$cur\" ;;\n"
           "            esac ;;\n"
           "    esac\n"
           "}\n"
           "complete -F _quellor_cli quellor-cli\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PAGE_TEMPLATE PAGE COMPLETION\n", argv[0]);
        return 2;
    }
    if (!WritePage(argv[1], argv[2])) return 1;
    std::ofstream completion(argv[3]);
    completion << Completion();
    if (!completion.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
