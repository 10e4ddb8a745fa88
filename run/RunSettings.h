// Everything a run takes from the window, copied once when Start is pressed.
#pragma once

#include <string>
#include <vector>

#include "records/MatchMode.h"

namespace quellor {

struct RecordCondition {
    int FieldNumber = 0;     // 1-based; 0 = none
    std::string SearchText;  // CP932 bytes exactly as typed
    MatchMode Mode = MatchMode::Equals;
};

struct RunSettings {
    std::vector<std::string> Files;  // native paths, in list order
    bool FieldExtractionOn = false;
    bool RecordExtractionOn = false;
    bool SortOn = false;
    std::vector<int> ChosenFields;  // 1-based, in output order
    int ExpectedFieldCount = 0;
    int SortKeyField = 0;  // 1-based; 0 = none
    bool SortDescending = false;
    bool DuplicatesToFile = false;
    RecordCondition Condition1;
    RecordCondition Condition2;
    bool JoinWithOr = false;
    bool NoFileWhenEmpty = false;
};

}  // namespace quellor
