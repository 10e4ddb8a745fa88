#include "run/CommandOptions.h"

#include <charconv>
#include <optional>
#include <set>
#include <string_view>

#include "run/CommandOptionTable.h"
#include "run/JobLines.h"
#include "run/MemoryBudget.h"

namespace quellor {

using namespace runmsg;

static_assert(kLeastMemoryBudget == 1 << 20, "kBelowLeastMemory names the least budget: 1M");

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

// FIELD:MODE:TEXT; the text is everything after the second colon, colons included.
std::optional<ConditionChoice> Condition(std::string_view value) {
    const std::size_t first = value.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = value.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto field = Number(value.substr(0, first), 1);
    const auto mode = ModeNamed(value.substr(first + 1, second - first - 1));
    if (!field || !mode) return std::nullopt;
    return ConditionChoice{*field, std::string(value.substr(second + 1)), *mode};
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

// Reads the options of one source, the command line or one job file: an
// option given twice is refused within a source, while a later source
// overrides an earlier one.
class Reader {
  public:
    explicit Reader(bool inJob) : inJob_(inJob) {}

    void Read(const std::vector<std::string>& args, CommandLine& c) {
        args_ = &args;
        bool filesOnly = false;
        for (i_ = 0; i_ < args.size(); ++i_) {
            const std::string& arg = args[i_];
            const CommandOption* prefixed = filesOnly ? nullptr : OptionByPrefix(arg);
            if (inJob_ && (filesOnly || arg.size() < 2 || arg[0] != '-' || arg == "--")) {
                throw UsageError(arg, kNotInJob);
            } else if (prefixed && arg.size() > prefixed->Also.size()) {
                name_ = prefixed->Name;
                inline_ = arg.substr(prefixed->Also.size());
                Option(c, *prefixed);
            } else if (filesOnly || arg.size() < 2 || arg[0] != '-') {
                c.Choices.Files.Paths.push_back(arg);
            } else if (arg == "--") {
                filesOnly = true;
            } else {
                const std::size_t eq = arg.find('=');
                name_ = arg.substr(0, eq);
                inline_ =
                    eq == std::string::npos ? std::nullopt : std::optional(arg.substr(eq + 1));
                const CommandOption* option = FindOption(name_);
                if (!option) throw UsageError(inJob_ ? name_ : arg, kUnknownOption);
                if (inJob_ && !option->InJob) throw UsageError(name_, kNotInJob);
                if (!option->TakesValue() && inline_) throw UsageError(name_, kTakesNoValue);
                Option(c, *option);
            }
        }
    }

  private:
    void Option(CommandLine& c, const CommandOption& option) {
        switch (option.Id) {
            case OptionId::Help:
                c.Do = CommandLine::Action::Help;
                break;
            case OptionId::Version:
                if (c.Do != CommandLine::Action::Help) c.Do = CommandLine::Action::Version;
                break;
            case OptionId::Job: {
                std::string typed;
                ApplyJobFile(Value(typed), c);
                break;
            }
            case OptionId::Duplicates:
                Flag(c.Choices.Sort.DuplicatesToFile);
                break;
            case OptionId::NoEmptyOutput:
                Flag(c.Choices.Records.NoFileWhenEmpty);
                break;
            case OptionId::Header:
                Flag(c.Choices.Files.HeadingLine);
                break;
            case OptionId::Fields: {
                Once();
                c.Choices.Fields.On = true;
                const auto list = FieldList(Value(c.FieldsArgument));
                if (!list) throw UsageError(c.FieldsArgument, kNotFieldList);
                c.Choices.Fields.ChosenFields = *list;
                break;
            }
            case OptionId::Where:
                Once();
                c.Choices.Records.Condition1 = ConditionOf(Value(c.WhereArgument));
                c.Choices.Records.On = true;
                break;
            case OptionId::And:
            case OptionId::Or:
                Second(c, option.Id == OptionId::Or);
                break;
            case OptionId::Sort:
                Once();
                c.Choices.Sort.On = true;
                Sort(c, Value(c.SortArgument));
                break;
            case OptionId::Encoding: {
                Once();
                std::string typed;
                const auto encoding = EncodingNamed(Value(typed));
                if (!encoding) throw UsageError(typed, kNotEncoding);
                c.Choices.Files.Text.Encoding = *encoding;
                break;
            }
            case OptionId::Delimiter: {
                Once();
                std::string typed;
                const auto delimiter = DelimiterNamed(Value(typed));
                if (!delimiter) throw UsageError(typed, kNotDelimiter);
                c.Choices.Files.Text.Delimiter = *delimiter;
                break;
            }
            case OptionId::ExpectedFields: {
                Once();
                c.ExpectedFieldsGiven = true;
                std::string typed;
                const auto n = Number(Value(typed), 0);
                if (!n) throw UsageError(typed, kNotCount);
                c.Choices.Fields.ExpectedFieldCount = *n;
                break;
            }
            case OptionId::Memory: {
                Once();
                std::string typed;
                const auto size = ParseMemorySize(Value(typed));
                if (!size) throw UsageError(typed, kNotMemorySize);
                if (*size < kLeastMemoryBudget) throw UsageError(typed, kBelowLeastMemory);
                c.Choices.MemoryBudget = *size;
                break;
            }
        }
    }

    // The option's value, from "--name=value" or the next argument; typed
    // gets "--name value" for naming it later. A job's option has its value
    // on its own line.
    std::string Value(std::string& typed) {
        if (!inline_) {
            if (inJob_ || i_ + 1 >= args_->size()) throw UsageError(name_, kNeedsValue);
            inline_ = (*args_)[++i_];
        }
        typed = name_ + ' ' + *inline_;
        return *inline_;
    }

    void Once() {
        if (!given_.insert(name_).second) throw UsageError(name_, kGivenTwice);
    }

    void Flag(bool& flag) {
        Once();
        flag = true;
    }

    // --and or --or: one of them, once.
    void Second(CommandLine& c, bool withOr) {
        if (!second_.empty()) {
            throw UsageError(name_, second_ == name_ ? kGivenTwice : withOr ? kAfterAnd : kAfterOr);
        }
        second_ = name_;
        c.Choices.Records.Condition2 = ConditionOf(Value(c.SecondArgument));
        c.Choices.Records.JoinWithOr = withOr;
        // As in the window: a second condition alone switches record
        // extraction on, and the start check then asks for the first.
        c.Choices.Records.On = true;
    }

    ConditionChoice ConditionOf(const std::string& value) {
        const auto condition = Condition(value);
        if (!condition) throw UsageError(name_ + ' ' + value, kNotCondition);
        return *condition;
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
        c.Choices.Sort.KeyField = *key;
        c.Choices.Sort.Descending = descending;
        c.Choices.Sort.Numeric = numeric;
    }

    const bool inJob_;
    const std::vector<std::string>* args_ = nullptr;
    std::size_t i_ = 0;
    std::string name_;
    std::optional<std::string> inline_;
    std::set<std::string, std::less<>> given_;
    std::string second_;  // --and or --or, once given
};

// A job line as one argument: "--name value" reads as "--name=value", the
// value being the rest of the line, spaces and colons included.
std::string AsArgument(const std::string& line) {
    const std::size_t cut = line.find_first_of(" =");
    if (cut == std::string::npos || line[cut] == '=') return line;
    return line.substr(0, cut) + '=' + line.substr(cut + 1);
}

// The option a job line names, for a refusal of the line as a whole.
std::string OptionNamed(const std::string& line) {
    return line.substr(0, line.find_first_of(" =\t"));
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    Reader(false).Read(args, c);
    return c;
}

void ApplyJobFile(const std::string& path, CommandLine& c) {
    const std::vector<JobLine> lines = JobFileLines(path);
    CommandLine read = c;
    Reader reader(true);
    for (const JobLine& line : lines) {
        try {
            if (EndsInBlanks(line.Text)) throw UsageError(OptionNamed(line.Text), kJobEndsInBlanks);
            reader.Read({AsArgument(line.Text)}, read);
        } catch (const UsageError& e) {
            throw JobError(path, line.Number, e.Argument, e.Reason);
        }
    }
    c = std::move(read);
}

}  // namespace quellor
