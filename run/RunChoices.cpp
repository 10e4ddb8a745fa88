#include "run/RunChoices.h"

#include <stdexcept>

#include "records/SearchText.h"

namespace quellor {

namespace {

RecordCondition ConditionFrom(const ConditionChoice& choice) {
    const auto bytes = SearchTextAsCp932(choice.Text);
    if (!bytes) throw std::invalid_argument("search text outside code page 932: " + choice.Text);
    return {choice.FieldNumber, *bytes, choice.Mode};
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
    s.Condition1 = ConditionFrom(c.Condition1);
    s.Condition2 = ConditionFrom(c.Condition2);
    s.JoinWithOr = c.JoinWithOr;
    s.NoFileWhenEmpty = c.NoFileWhenEmpty;
    return s;
}

}  // namespace quellor
