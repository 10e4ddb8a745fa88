#include "cli/CliOptions.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "records/Encoding.h"
#include "run/MemoryBudget.h"

namespace quellor::cli {

namespace {

// Field numbers beyond this are surely a typing slip, and stay clear of overflow.
constexpr int kLargestNumber = 1'000'000;

std::optional<int> Number(std::string_view text, int least) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < least || value > kLargestNumber)
        return std::nullopt;
    return value;
}

struct Modes {
    const char* Name;
    MatchMode Mode;
};
constexpr Modes kModes[] = {{"equals", MatchMode::Equals},
                            {"contains", MatchMode::Contains},
                            {"starts", MatchMode::StartsWith},
                            {"ends", MatchMode::EndsWith}};

// FIELD:MODE:TEXT; the text is everything after the second colon, colons included.
std::optional<ConditionChoice> Condition(std::string_view value) {
    const std::size_t first = value.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = value.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto field = Number(value.substr(0, first), 1);
    const std::string_view mode = value.substr(first + 1, second - first - 1);
    if (!field) return std::nullopt;
    for (const Modes& m : kModes) {
        if (mode == m.Name)
            return ConditionChoice{*field, std::string(value.substr(second + 1)), m.Mode};
    }
    return std::nullopt;
}

std::optional<std::vector<int>> FieldList(std::string_view value) {
    std::vector<int> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = value.find(',', start);
        const auto n = Number(value.substr(start, comma - start), 1);
        if (!n) return std::nullopt;
        numbers.push_back(*n);
        if (comma == std::string_view::npos) return numbers;
        start = comma + 1;
    }
}

class Reader {
  public:
    explicit Reader(const std::vector<std::string>& args) : args_(args) {}

    void Read(CommandLine& c) {
        bool filesOnly = false;
        for (i_ = 0; i_ < args_.size(); ++i_) {
            const std::string& arg = args_[i_];
            if (filesOnly || arg.size() < 2 || arg[0] != '-') {
                c.Choices.Files.push_back(arg);
            } else if (arg == "--") {
                filesOnly = true;
            } else {
                Option(c, arg);
            }
        }
    }

  private:
    void Option(CommandLine& c, const std::string& arg) {
        const std::size_t eq = arg.find('=');
        name_ = arg.substr(0, eq);
        inline_ = eq == std::string::npos ? std::nullopt : std::optional(arg.substr(eq + 1));
        if (name_ == "--help") {
            c.Do = CommandLine::Action::Help;
        } else if (name_ == "--version") {
            if (c.Do != CommandLine::Action::Help) c.Do = CommandLine::Action::Version;
        } else if (name_ == "--duplicates") {
            Once(c.Choices.DuplicatesToFile);
        } else if (name_ == "--no-empty-output") {
            Once(c.Choices.NoFileWhenEmpty);
        } else if (name_ == "--header") {
            Once(c.Choices.HeadingLine);
        } else if (name_ == "--fields") {
            Once(c.Choices.FieldExtractionOn);
            const auto list = FieldList(Value(c.FieldsArgument));
            if (!list) throw UsageError(c.FieldsArgument, kNotFieldList);
            c.Choices.ChosenFields = *list;
        } else if (name_ == "--where") {
            if (!c.WhereArgument.empty()) throw UsageError(name_, kGivenTwice);
            c.Choices.Condition1 = ConditionOf(Value(c.WhereArgument));
            c.Choices.RecordExtractionOn = true;
        } else if (name_ == "--and" || name_ == "--or") {
            if (!c.SecondArgument.empty()) {
                const bool same = c.SecondArgument.rfind(name_ + ' ', 0) == 0;
                throw UsageError(name_, same              ? kGivenTwice
                                        : name_ == "--or" ? kAfterAnd
                                                          : kAfterOr);
            }
            c.Choices.Condition2 = ConditionOf(Value(c.SecondArgument));
            c.Choices.JoinWithOr = name_ == "--or";
            // As in the window: a second condition alone switches record
            // extraction on, and the start check then asks for the first.
            c.Choices.RecordExtractionOn = true;
        } else if (name_ == "--sort") {
            Once(c.Choices.SortOn);
            Sort(c, Value(c.SortArgument));
        } else if (name_ == "--encoding") {
            Once(encodingGiven_);
            c.Choices.TextEncoding = EncodingOf(Value(typed_));
        } else if (name_ == "--expected-fields") {
            Once(c.ExpectedFieldsGiven);
            std::string typed;
            const auto n = Number(Value(typed), 0);
            if (!n) throw UsageError(typed, kNotCount);
            c.Choices.ExpectedFieldCount = *n;
        } else if (name_ == "--memory") {
            if (c.Choices.MemoryBudget != 0) throw UsageError(name_, kGivenTwice);
            std::string typed;
            const auto size = ParseMemorySize(Value(typed));
            if (!size) throw UsageError(typed, kNotMemorySize);
            c.Choices.MemoryBudget = *size;
        } else {
            throw UsageError(args_[i_], kUnknownOption);
        }
    }

    // The option's value, from "--name=value" or the next argument; typed
    // gets "--name value" for naming it later.
    std::string Value(std::string& typed) {
        if (!inline_) {
            if (i_ + 1 >= args_.size()) throw UsageError(name_, kNeedsValue);
            inline_ = args_[++i_];
        }
        typed = name_ + ' ' + *inline_;
        return *inline_;
    }

    void Once(bool& flag) {
        if (flag) throw UsageError(name_, kGivenTwice);
        if (inline_ &&
            (name_ == "--duplicates" || name_ == "--no-empty-output" || name_ == "--header"))
            throw UsageError(name_ + '=' + *inline_, kUnknownOption);
        flag = true;
    }

    ConditionChoice ConditionOf(const std::string& value) {
        const auto condition = Condition(value);
        if (!condition) throw UsageError(name_ + ' ' + value, kNotCondition);
        return *condition;
    }

    EncodingChoice EncodingOf(const std::string& value) const {
        if (value == "auto") return EncodingChoice::Auto;
        if (value == "cp932") return EncodingChoice::Cp932;
        if (value == "utf-8") return EncodingChoice::Utf8;
        throw UsageError(typed_, kNotEncoding);
    }

    // FIELD[:num][:asc|:desc], the words in either order, each at most once.
    void Sort(CommandLine& c, const std::string& value) {
        const std::string_view v(value);
        std::size_t colon = v.find(':');
        const auto key = Number(v.substr(0, colon), 1);
        if (!key) throw UsageError(c.SortArgument, kNotSortKey);
        bool numeric = false, order = false, descending = false;
        while (colon != std::string_view::npos) {
            const std::size_t next = v.find(':', colon + 1);
            const std::string_view word = v.substr(colon + 1, next - colon - 1);
            if (word == "num" && !numeric) {
                numeric = true;
            } else if ((word == "asc" || word == "desc") && !order) {
                order = true;
                descending = word == "desc";
            } else {
                throw UsageError(c.SortArgument, kNotSortKey);
            }
            colon = next;
        }
        c.Choices.SortKeyField = *key;
        c.Choices.SortDescending = descending;
        c.Choices.SortNumeric = numeric;
    }

    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    std::string name_;
    std::optional<std::string> inline_;
    bool encodingGiven_ = false;
    std::string typed_;
};

}  // namespace

Language LanguageOf(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* v : {lcAll, lcMessages, lang}) {
        if (v && *v)
            return std::string_view(v).substr(0, 2) == "ja" ? Language::Japanese
                                                            : Language::English;
    }
    return Language::English;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    Reader(args).Read(c);
    return c;
}

void CheckAgainstFieldCount(const CommandLine& c) {
    const RunChoices& ch = c.Choices;
    const int count = ch.ExpectedFieldCount;
    for (int n : ch.ChosenFields) {
        if (ch.FieldExtractionOn && n > count) throw UsageError(c.FieldsArgument, kBeyondFields);
    }
    if (ch.Condition1.FieldNumber > count) throw UsageError(c.WhereArgument, kBeyondFields);
    if (ch.Condition2.FieldNumber > count) throw UsageError(c.SecondArgument, kBeyondFields);
    if (ch.SortKeyField > count) throw UsageError(c.SortArgument, kBeyondFields);
}

RunSettings SettingsOf(const CommandLine& c) {
    try {
        return SettingsFromChoices(c.Choices);
    } catch (const std::invalid_argument&) {
        // The one failure of the conversion: name the condition whose text it was.
        const bool first = !IsValidUtf8(c.Choices.Condition1.Text);
        throw UsageError(first ? c.WhereArgument : c.SecondArgument, kNotUtf8);
    }
}

}  // namespace quellor::cli
