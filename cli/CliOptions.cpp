#include "cli/CliOptions.h"

#include <string_view>

#include "records/Encoding.h"

namespace quellor::cli {

Language LanguageOf(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* v : {lcAll, lcMessages, lang}) {
        if (v && *v)
            return std::string_view(v).substr(0, 2) == "ja" ? Language::Japanese
                                                            : Language::English;
    }
    return Language::English;
}

void CheckAgainstFieldCount(const CommandLine& c) {
    const RunChoices& ch = c.Choices;
    const int count = ch.Fields.ExpectedFieldCount;
    for (int n : ch.Fields.ChosenFields) {
        if (ch.Fields.On && n > count) throw UsageError(c.FieldsArgument, kBeyondFields);
    }
    if (ch.Records.Condition1.FieldNumber > count) throw UsageError(c.WhereArgument, kBeyondFields);
    if (ch.Records.Condition2.FieldNumber > count)
        throw UsageError(c.SecondArgument, kBeyondFields);
    if (ch.Sort.KeyField > count) throw UsageError(c.SortArgument, kBeyondFields);
}

RunSettings SettingsOf(const CommandLine& c) {
    try {
        return SettingsFromChoices(c.Choices);
    } catch (const std::invalid_argument&) {
        // The one failure of the conversion: name the condition whose text it was.
        const bool first = !IsValidUtf8(c.Choices.Records.Condition1.Text);
        throw UsageError(first ? c.WhereArgument : c.SecondArgument, kNotUtf8);
    }
}

}  // namespace quellor::cli
