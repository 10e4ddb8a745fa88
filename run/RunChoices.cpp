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
    s.Files = c.Files;
    s.FieldExtractionOn = c.FieldExtractionOn;
    s.RecordExtractionOn = c.RecordExtractionOn;
    s.SortOn = c.SortOn;
    s.ChosenFields = c.ChosenFields;
    s.ExpectedFieldCount = c.ExpectedFieldCount;
    s.SortKeyField = c.SortKeyField;
    s.SortDescending = c.SortDescending;
    s.DuplicatesToFile = c.DuplicatesToFile;
    s.SortNumeric = c.SortNumeric;
    s.HeadingLine = c.HeadingLine;
    s.MemoryBudget = c.MemoryBudget;
    s.Condition1 = ConditionFrom(c.Condition1);
    s.Condition2 = ConditionFrom(c.Condition2);
    s.JoinWithOr = c.JoinWithOr;
    s.NoFileWhenEmpty = c.NoFileWhenEmpty;
    s.TextEncoding = c.TextEncoding;
    s.Delimiter = c.Delimiter;
    return s;
}

}  // namespace quellor
