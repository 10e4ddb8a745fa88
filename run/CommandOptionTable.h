// Every option of quellor-cli, once: the reader of the command line and of
// job files, the job writer, the help in both languages, the manual page and
// the shell's completion all take the options from this table, so a new
// option cannot be read without being documented, or written to a job the
// reader refuses.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/MatchMode.h"
#include "run/RunMessages.h"

namespace quellor {

enum class OptionId : std::uint8_t {
    Fields,
    Where,
    And,
    Or,
    Sort,
    Duplicates,
    NoEmptyOutput,
    Header,
    Encoding,
    Delimiter,
    ExpectedFields,
    Memory,
    Job,
    Help,
    Version
};

// What follows the option's name: nothing, free text, a file's name, or one
// of the encoding or delimiter words (the completion offers those).
enum class ValueKind : std::uint8_t { None, Text, File, EncodingWord, DelimiterWord };

struct CommandOption {
    OptionId Id;
    std::string_view Name;
    ValueKind Kind = ValueKind::None;
    runmsg::Said Value = {"", ""};  // the value's placeholder in the help
    bool InJob = false;             // whether a job file may hold it
    std::string_view Also = {};     // a prefix that stands for the option before its value
    runmsg::Said Help;              // lines of the help; '\n' continues the text below
    // The manual page's paragraph in English, a sentence a line; `x` is bold.
    const char* Manual;

    bool TakesValue() const { return Kind != ValueKind::None; }
};

// Every option, in the order the help and the manual page list them.
std::span<const CommandOption> AllCommandOptions();

// The option of that name ("--sort"), or null.
const CommandOption* FindOption(std::string_view name);
const CommandOption& OptionOf(OptionId id);
// The option an argument names through its prefix ("@month.txt"), or null.
const CommandOption* OptionByPrefix(std::string_view argument);

// The words of the match modes in a condition (FIELD:MODE:TEXT).
struct ModeWordOf {
    std::string_view Word;
    MatchMode Mode;
};
inline constexpr ModeWordOf kModeWords[] = {{"equals", MatchMode::Equals},
                                            {"contains", MatchMode::Contains},
                                            {"starts", MatchMode::StartsWith},
                                            {"ends", MatchMode::EndsWith}};
std::string_view ModeWord(MatchMode mode);
std::optional<MatchMode> ModeNamed(std::string_view word);

// The names --encoding takes, in any case: the first of each encoding is the
// one the help offers and a job is written with; the others are the names
// other programs give these encodings.
struct EncodingWordOf {
    std::string_view Word;
    EncodingChoice Choice;
};
inline constexpr EncodingWordOf kEncodingWords[] = {
    {"auto", EncodingChoice::Auto},       {"cp932", EncodingChoice::Cp932},
    {"utf-8", EncodingChoice::Utf8},      {"utf8", EncodingChoice::Utf8},
    {"shift_jis", EncodingChoice::Cp932}, {"shift-jis", EncodingChoice::Cp932},
    {"sjis", EncodingChoice::Cp932},      {"windows-31j", EncodingChoice::Cp932},
    {"ms932", EncodingChoice::Cp932}};
std::string_view EncodingWord(EncodingChoice choice);
std::optional<EncodingChoice> EncodingNamed(std::string_view word);
// Whether the word is the one an encoding is written with.
bool IsFirstEncodingWord(const EncodingWordOf& word);

// The words --delimiter takes, in any case.
struct DelimiterWordOf {
    std::string_view Word;
    DelimiterChoice Choice;
};
inline constexpr DelimiterWordOf kDelimiterWords[] = {{"auto", DelimiterChoice::Auto},
                                                      {"comma", DelimiterChoice::Comma},
                                                      {"tab", DelimiterChoice::Tab}};
std::string_view DelimiterWord(DelimiterChoice choice);
std::optional<DelimiterChoice> DelimiterNamed(std::string_view word);

}  // namespace quellor
