#include "run/JobFile.h"

#include <vector>

#include "records/StagedFile.h"
#include "run/CommandOptionTable.h"
#include "run/CommandOptions.h"

namespace quellor {

using namespace runmsg;

namespace {

struct OptionLine {
    OptionId Option;
    std::string Value;  // empty for a flag
};

// What the window's controls hold is written as far as options can say it:
// a page switched on with nothing chosen in it (no field, no condition, no
// key) does nothing a run could do, so it is left out and reads back as off.
std::vector<OptionLine> OptionLines(const RunChoices& c) {
    std::vector<OptionLine> lines;
    const FieldChoice& fields = c.Fields;
    if (fields.On && !fields.ChosenFields.empty()) {
        std::string list;
        for (int n : fields.ChosenFields) list += (list.empty() ? "" : ",") + std::to_string(n);
        lines.push_back({OptionId::Fields, list});
    }
    auto condition = [](const ConditionChoice& k) {
        return std::to_string(k.FieldNumber) + ':' + std::string(ModeWord(k.Mode)) + ':' + k.Text;
    };
    const RecordChoice& records = c.Records;
    if (records.On && records.Condition1.FieldNumber > 0)
        lines.push_back({OptionId::Where, condition(records.Condition1)});
    // The window ignores a second condition with no field, as the run does.
    if (records.On && records.Condition2.FieldNumber > 0) {
        lines.push_back(
            {records.JoinWithOr ? OptionId::Or : OptionId::And, condition(records.Condition2)});
    }
    if (records.NoFileWhenEmpty) lines.push_back({OptionId::NoEmptyOutput, {}});
    const SortChoice& sort = c.Sort;
    if (sort.On && sort.KeyField > 0) {
        lines.push_back({OptionId::Sort, std::to_string(sort.KeyField) +
                                             (sort.Numeric ? ":num" : "") +
                                             (sort.Descending ? ":desc" : "")});
    }
    if (sort.DuplicatesToFile) lines.push_back({OptionId::Duplicates, {}});
    const FileChoice& files = c.Files;
    if (files.HeadingLine) lines.push_back({OptionId::Header, {}});
    if (files.Text.Encoding != EncodingChoice::Auto)
        lines.push_back({OptionId::Encoding, std::string(EncodingWord(files.Text.Encoding))});
    if (files.Text.Delimiter != DelimiterChoice::Auto)
        lines.push_back({OptionId::Delimiter, std::string(DelimiterWord(files.Text.Delimiter))});
    return lines;
}

std::string TextOf(const std::vector<OptionLine>& lines) {
    std::string text = std::string(kJobMark) + std::to_string(kJobVersion) + '\n';
    for (const auto& [option, value] : lines) {
        text.append(OptionOf(option).Name);
        if (!value.empty()) text.append(" ").append(value);
        text += '\n';
    }
    return text;
}

}  // namespace

std::string JobText(const RunChoices& c) {
    return TextOf(OptionLines(c));
}

// Written aside and put in place whole, as the outputs are: a full disk or
// a crash never leaves last month's job cut short. A value the reader would
// refuse or cut is refused here, so that a saved job always loads.
void WriteJobFile(const std::string& path, const RunChoices& choices) {
    const std::vector<OptionLine> lines = OptionLines(choices);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& value = lines[i].Value;
        const bool lineBreak = value.find_first_of("\r\n") != std::string::npos;
        if (lineBreak || EndsInBlanks(value)) {
            // Line 1 is the version line.
            throw JobError(path, static_cast<int>(i) + 2,
                           std::string(OptionOf(lines[i].Option).Name),
                           lineBreak ? kJobValueLineBreak : kJobEndsInBlanks);
        }
    }
    StagedFile file(path);
    file.Append(TextOf(lines));
    file.Finish();
    CommitTogether({&file});
}

RunChoices ReadJobFile(const std::string& path) {
    CommandLine read;
    ApplyJobFile(path, read);
    return read.Choices;
}

}  // namespace quellor
