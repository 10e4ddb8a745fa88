// What the user chose for a run, as the window's controls and the command
// line's options both express it. One function turns it into RunSettings, so
// the two front ends cannot drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "records/MatchMode.h"
#include "run/RunSettings.h"

namespace quellor {

struct ConditionChoice {
    int FieldNumber = 0;  // 1-based; 0 = none
    std::string Text;     // UTF-8, as typed
    MatchMode Mode = MatchMode::Equals;
};

struct RunChoices {
    std::vector<std::string> Files;  // native paths, in list order
    bool FieldExtractionOn = false;
    std::vector<int> ChosenFields;  // 1-based, in output order
    int ExpectedFieldCount = 0;
    bool RecordExtractionOn = false;
    ConditionChoice Condition1;
    ConditionChoice Condition2;
    bool JoinWithOr = false;
    bool NoFileWhenEmpty = false;
    bool SortOn = false;
    int SortKeyField = 0;  // 1-based; 0 = none
    bool SortDescending = false;
    bool DuplicatesToFile = false;
    bool SortNumeric = false;  // the key read as a number
    // Line 1 of every file names the fields: kept first, never sorted or matched.
    bool HeadingLine = false;
    // The window always guesses; the command line lets the user decide.
    EncodingChoice TextEncoding = EncodingChoice::Auto;
    DelimiterChoice Delimiter = DelimiterChoice::Auto;
    std::uint64_t MemoryBudget = 0;  // bytes; 0: the machine's default
};

// The settings of the run. A search text is kept as typed for UTF-8 files
// and encoded for code page 932 files; one that code page 932 cannot hold
// matches nothing there. A text that is not UTF-8 raises std::invalid_argument.
RunSettings SettingsFromChoices(const RunChoices& choices);

}  // namespace quellor
