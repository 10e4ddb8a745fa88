// What the user chose for a run, as the window's controls and the command
// line's options both express it: one part for each of the window's rooms,
// which hands out and takes back its part whole. One function turns it into
// RunSettings, so the two front ends cannot drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/LineFiles.h"
#include "records/MatchMode.h"
#include "run/RunSettings.h"

namespace quellor {

// The files and how their lines are read.
struct FileChoice {
    std::vector<std::string> Paths;  // native paths, in list order; a job names none
    // Line 1 of every file names the fields: kept first, never sorted or matched.
    bool HeadingLine = false;
    // The encoding and the delimiter: the command line and a job may fix
    // them; the window has no control for either and keeps a loaded job's.
    TextChoice Text;
    bool operator==(const FileChoice&) const = default;
};

struct FieldChoice {
    bool On = false;
    std::vector<int> ChosenFields;  // 1-based, in output order
    // The field count every record of every stage is checked against: the
    // sample's fields in the window, --expected-fields or the first file's
    // first record on the command line.
    int ExpectedFieldCount = 0;
    bool operator==(const FieldChoice&) const = default;
};

struct ConditionChoice {
    int FieldNumber = 0;  // 1-based; 0 = none
    std::string Text;     // UTF-8, as typed
    MatchMode Mode = MatchMode::Equals;
    bool operator==(const ConditionChoice&) const = default;
};

struct RecordChoice {
    bool On = false;
    ConditionChoice Condition1;
    ConditionChoice Condition2;  // counts only with a field
    bool JoinWithOr = false;
    bool NoFileWhenEmpty = false;
    bool operator==(const RecordChoice&) const = default;
};

struct SortChoice {
    bool On = false;
    int KeyField = 0;  // 1-based; 0 = none
    bool Descending = false;
    bool Numeric = false;  // the key read as a number
    bool DuplicatesToFile = false;
    bool operator==(const SortChoice&) const = default;
};

struct RunChoices {
    FileChoice Files;
    FieldChoice Fields;
    RecordChoice Records;
    SortChoice Sort;
    std::uint64_t MemoryBudget = 0;  // bytes; 0: the machine's default
    bool operator==(const RunChoices&) const = default;
};

// The settings of the run. A search text is kept as typed for UTF-8 files
// and encoded for code page 932 files; one that code page 932 cannot hold
// matches nothing there. A text that is not UTF-8 raises std::invalid_argument.
RunSettings SettingsFromChoices(const RunChoices& choices);

}  // namespace quellor
