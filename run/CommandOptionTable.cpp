#include "run/CommandOptionTable.h"

#include <algorithm>

namespace quellor {

namespace {

// The help's lines are 80 columns: the texts start at column 26, so a line
// of them holds 54 (a full-width character takes two, a half-width one).
constexpr CommandOption kCommandOptions[] = {
    {.Id = OptionId::Fields,
     .Name = "--fields",
     .Kind = ValueKind::Text,
     .Value = {"F,F...", "F,F..."},
     .InJob = true,
     .Help = {"ﾌｨｰﾙﾄﾞ抽出: この順に並べて残すﾌｨｰﾙﾄﾞ (例 3,1)",
              "field extraction: the fields to keep, in order (3,1)"},
     .Manual = "Field extraction: keep these fields, numbered from 1, in this order."},
    {.Id = OptionId::Where,
     .Name = "--where",
     .Kind = ValueKind::Text,
     .Value = {"F:方法:文字列", "F:MODE:TEXT"},
     .InJob = true,
     .Help = {"ﾚｺｰﾄﾞ抽出: 第Fﾌｨｰﾙﾄﾞの条件 (方法は equals,\n"
              "contains, starts, ends)",
              "record extraction: the condition on field F\n"
              "(MODE is equals, contains, starts or ends)"},
     .Manual = "Record extraction: keep the records whose field F matches the text.\n"
               "MODE is `equals`, `contains`, `starts` or `ends`.\n"
               "The text is taken in UTF-8, as typed, and compared in the encoding of each "
               "file."},
    {.Id = OptionId::And,
     .Name = "--and",
     .Kind = ValueKind::Text,
     .Value = {"F:方法:文字列", "F:MODE:TEXT"},
     .InJob = true,
     .Help = {"2つ目の条件 (両方を満たすﾚｺｰﾄﾞを残す)",
              "a second condition; records must match both"},
     .Manual = "A second condition; a record must match both."},
    {.Id = OptionId::Or,
     .Name = "--or",
     .Kind = ValueKind::Text,
     .Value = {"F:方法:文字列", "F:MODE:TEXT"},
     .InJob = true,
     .Help = {"2つ目の条件 (どちらかを満たすﾚｺｰﾄﾞを残す)",
              "a second condition; records must match either"},
     .Manual = "A second condition; a record must match either."},
    {.Id = OptionId::Sort,
     .Name = "--sort",
     .Kind = ValueKind::Text,
     .Value = {"F[:num][:desc]", "F[:num][:desc]"},
     .InJob = true,
     .Help = {"ｿｰﾄ: ｷｰのﾌｨｰﾙﾄﾞ。:desc で降順 (既定は :asc 昇順)、\n"
              ":num で数値として並べる (金額, 数量など)",
              "sort: the key field, :desc descending (default\n"
              ":asc ascending), :num by value (amounts, counts)"},
     .Manual = "Sort by field F, ascending (`:asc`, the default) or descending (`:desc`).\n"
               "With `:num` the key is read as a number: an optional sign (+ ＋ - − －),\n"
               "half- or full-width digits, thousands separators (a comma inside a quoted\n"
               "field, or a full-width comma), one decimal point, a leading yen or dollar\n"
               "sign and a trailing 円 are allowed, and blanks around it are ignored.\n"
               "Numbers sort by value, however many digits they have; equal values by the\n"
               "key's text and then the rest of the line (1.5 before 1.50, and after it\n"
               "with `:desc`).\n"
               "Fields that are not numbers (an empty one too) come after the numbers, in\n"
               "the text order, and first with `:desc`."},
    {.Id = OptionId::Duplicates,
     .Name = "--duplicates",
     .Kind = ValueKind::None,
     .InJob = true,
     .Help = {"重複ﾚｺｰﾄﾞを「名前.w」に移す", "move repeated records to NAME.w"},
     .Manual = "Move repeated records found by the sort to FILE.w."},
    {.Id = OptionId::NoEmptyOutput,
     .Name = "--no-empty-output",
     .Kind = ValueKind::None,
     .InJob = true,
     .Help = {"ﾚｺｰﾄﾞが残らなければ「名前.new」を書かない",
              "write no NAME.new when no record is left"},
     .Manual = "Write no FILE.new when no record is left."},
    {.Id = OptionId::Header,
     .Name = "--header",
     .Kind = ValueKind::None,
     .InJob = true,
     .Help = {"1行目は見出し: ｿｰﾄ・抽出せず「名前.new」の先頭に残す",
              "the first record of every file is a heading: kept\n"
              "first, never sorted, matched or moved to NAME.w"},
     .Manual = "Take the first record of every file as a heading: it is not sorted, matched\n"
               "or moved as a repeated record, and stands first in FILE.new,\n"
               "cut to the chosen fields like every record."},
    {.Id = OptionId::Encoding,
     .Name = "--encoding",
     .Kind = ValueKind::EncodingWord,
     .Value = {"方式", "ENC"},
     .InJob = true,
     .Help = {"ﾌｧｲﾙの文字ｺｰﾄﾞ: cp932, utf-8, auto (既定: auto\n"
              "ﾌｧｲﾙごとに内容から判定)。sjis, utf8 などの別名も\n"
              "大文字でも使える",
              "read every file as cp932 or utf-8, or auto\n"
              "(default: decided for each file by its bytes);\n"
              "sjis, utf8 and other usual names, in any case"},
     .Manual = "Read every file as code page 932 (Shift-JIS), `cp932`, or as UTF-8, `utf-8`.\n"
               "The default, `auto`, decides for each file by its bytes, and stops at a\n"
               "UTF-8 file that holds a few bytes that are not UTF-8, naming the line of the\n"
               "first one."},
    {.Id = OptionId::Delimiter,
     .Name = "--delimiter",
     .Kind = ValueKind::DelimiterWord,
     .Value = {"区切り", "DELIM"},
     .InJob = true,
     .Help = {"ﾌｨｰﾙﾄﾞの区切り: comma, tab, auto (既定: auto\n"
              "1行目にﾀﾌﾞがあってｶﾝﾏがなければﾀﾌﾞ区切り)",
              "the fields' delimiter: comma, tab or auto (default:\n"
              "tab when a file's first record holds a tab and\n"
              "no comma outside quotes)"},
     .Manual = "Separate fields by commas, `comma`, or by tabs, `tab`, in every file.\n"
               "The default, `auto`, takes a file whose first record holds a tab and no comma\n"
               "outside quotes as tab-separated; its outputs stay tab-separated."},
    {.Id = OptionId::ExpectedFields,
     .Name = "--expected-fields",
     .Kind = ValueKind::Text,
     .Value = {"N", "N"},
     .Help = {"各ﾚｺｰﾄﾞのﾌｨｰﾙﾄﾞ数 (既定: 1番目のﾌｧｲﾙの先頭ﾚｺｰﾄﾞ)",
              "fields every record must have (default: those\n"
              "of the first record of the first file)"},
     .Manual = "The number of fields every record must have.\n"
               "Without it, the number of fields of the first record of the first file."},
    {.Id = OptionId::Memory,
     .Name = "--memory",
     .Kind = ValueKind::Text,
     .Value = {"SIZE", "SIZE"},
     .Help = {"使うﾒﾓﾘの上限 (例 512M, 2G; 1M以上。既定: 実ﾒﾓﾘの\n"
              "4分の1, 最大4G)。超えるﾌｧｲﾙはﾃﾞｨｽｸ上でｿｰﾄする",
              "memory the run may use (512M, 2G; at least 1M;\n"
              "default: a quarter of the RAM, at most 4G);\n"
              "larger files are streamed and sorted on disk"},
     .Manual = "The memory one run may use, as a count of bytes or with `K`, `M` or `G`\n"
               "(powers of 1024), for example `512M`; at least `1M`.\n"
               "Without it, a quarter of the machine's memory, at most 4G.\n"
               "A file whose run needs more is read record by record and, when it is\n"
               "sorted, sorted on disk in runs beside its output, which needs about twice\n"
               "the file's size in free space there (the runs, and the outputs written\n"
               "while they are merged)."},
    {.Id = OptionId::Job,
     .Name = "--job",
     .Kind = ValueKind::File,
     .Value = {"ﾌｧｲﾙ", "FILE"},
     .Also = "@",
     .Help = {"保存したｼﾞｮﾌﾞの指定をここに置く (後のｵﾌﾟｼｮﾝが優先)",
              "the options of a saved job, here; later options\n"
              "override them"},
     .Manual = "Read the options of a saved job file in this place: options after it\n"
               "override the job's, and only an option given twice within the job, or twice\n"
               "on the command line, is refused.\n"
               "See JOB FILES below."},
    {.Id = OptionId::Help,
     .Name = "--help",
     .Kind = ValueKind::None,
     .Help = {"この説明を表示する", "show this help"},
     .Manual = "Show the options, in Japanese when the locale is Japanese."},
    {.Id = OptionId::Version,
     .Name = "--version",
     .Kind = ValueKind::None,
     .Help = {"ﾊﾞｰｼﾞｮﾝを表示する", "show the version"},
     .Manual = "Show the version."},
};

}  // namespace

std::span<const CommandOption> AllCommandOptions() {
    return kCommandOptions;
}

const CommandOption* FindOption(std::string_view name) {
    for (const CommandOption& option : kCommandOptions) {
        if (option.Name == name) return &option;
    }
    return nullptr;
}

const CommandOption& OptionOf(OptionId id) {
    return *std::find_if(std::begin(kCommandOptions), std::end(kCommandOptions),
                         [id](const CommandOption& option) { return option.Id == id; });
}

const CommandOption* OptionByPrefix(std::string_view argument) {
    for (const CommandOption& option : kCommandOptions) {
        if (!option.Also.empty() && argument.starts_with(option.Also)) return &option;
    }
    return nullptr;
}

std::string_view ModeWord(MatchMode mode) {
    for (const ModeWordOf& m : kModeWords) {
        if (m.Mode == mode) return m.Word;
    }
    return kModeWords[0].Word;
}

std::optional<MatchMode> ModeNamed(std::string_view word) {
    for (const ModeWordOf& m : kModeWords) {
        if (m.Word == word) return m.Mode;
    }
    return std::nullopt;
}

std::string_view EncodingWord(EncodingChoice choice) {
    for (const EncodingWordOf& w : kEncodingWords) {
        if (w.Choice == choice) return w.Word;
    }
    return kEncodingWords[0].Word;
}

// Words are taken in any case; the table holds them in lower case.
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::optional<EncodingChoice> EncodingNamed(std::string_view word) {
    for (const EncodingWordOf& w : kEncodingWords) {
        if (std::ranges::equal(word, w.Word, {}, Lower)) return w.Choice;
    }
    return std::nullopt;
}

std::string_view DelimiterWord(DelimiterChoice choice) {
    for (const DelimiterWordOf& w : kDelimiterWords) {
        if (w.Choice == choice) return w.Word;
    }
    return kDelimiterWords[0].Word;
}

std::optional<DelimiterChoice> DelimiterNamed(std::string_view word) {
    for (const DelimiterWordOf& w : kDelimiterWords) {
        if (std::ranges::equal(word, w.Word, {}, Lower)) return w.Choice;
    }
    return std::nullopt;
}

bool IsFirstEncodingWord(const EncodingWordOf& word) {
    return EncodingWord(word.Choice) == word.Word;
}

}  // namespace quellor
