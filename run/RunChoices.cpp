#include "run/RunChoices.h"

#include <stdexcept>

#include "records/Encoding.h"
#include "records/SearchText.h"

namespace quellor {

namespace {

RecordCondition ConditionFrom(const ConditionChoice& choice) {
    if (!IsValidUtf8(choice.Text)) {
        throw std::invalid_argument("search text is not UTF-8: " + choice.Text);
    }
    const auto bytes = SearchTextAsCp932(choice.Text);
    RecordCondition condition{choice.FieldNumber, bytes.value_or(std::string()), choice.Mode};
    condition.SearchTextUtf8 = choice.Text;
    condition.NotInCp932 = !bytes.has_value();
    return condition;
}

}  // namespace

RunSettings SettingsFromChoices(const RunChoices& c) {
    RunSettings s;
    s.Files = c.Files.Paths;
    s.HeadingLine = c.Files.HeadingLine;
    s.TextEncoding = c.Files.Text.Encoding;
    s.Delimiter = c.Files.Text.Delimiter;
    s.FieldExtractionOn = c.Fields.On;
    s.ChosenFields = c.Fields.ChosenFields;
    s.ExpectedFieldCount = c.Fields.ExpectedFieldCount;
    s.RecordExtractionOn = c.Records.On;
    s.Condition1 = ConditionFrom(c.Records.Condition1);
    s.Condition2 = ConditionFrom(c.Records.Condition2);
    s.JoinWithOr = c.Records.JoinWithOr;
    s.NoFileWhenEmpty = c.Records.NoFileWhenEmpty;
    s.SortOn = c.Sort.On;
    s.SortKeyField = c.Sort.KeyField;
    s.SortDescending = c.Sort.Descending;
    s.SortNumeric = c.Sort.Numeric;
    s.DuplicatesToFile = c.Sort.DuplicatesToFile;
    s.MemoryBudget = c.MemoryBudget;
    return s;
}

}  // namespace quellor
