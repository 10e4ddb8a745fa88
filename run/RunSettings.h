// Everything a run takes from the window, copied once when Start is pressed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/LineFiles.h"
#include "records/MatchMode.h"

namespace quellor {

struct RecordCondition {
    int FieldNumber = 0;     // 1-based; 0 = none
    std::string SearchText;  // compared with code page 932 files: the bytes exactly
    MatchMode Mode = MatchMode::Equals;
    // Compared with UTF-8 files: the text as typed. Unset, SearchText is
    // decoded from code page 932 for them.
    std::optional<std::string> SearchTextUtf8 = std::nullopt;
    // The typed text holds a character code page 932 has no code for, so no
    // record of a code page 932 file holds it; SearchText is then unused.
    bool NotInCp932 = false;
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
    bool SortNumeric = false;  // the key read as a number
    // The first record of every file names the fields: kept first, never
    // sorted or matched.
    bool HeadingLine = false;
    RecordCondition Condition1;
    RecordCondition Condition2;
    bool JoinWithOr = false;
    bool NoFileWhenEmpty = false;
    EncodingChoice TextEncoding = EncodingChoice::Auto;  // of every file
    DelimiterChoice Delimiter = DelimiterChoice::Auto;   // of every file
    TextChoice Text() const { return {TextEncoding, Delimiter}; }
    // Bytes of memory the run may take; 0: the machine's default. Files
    // whose run needs more are streamed, and sorted on disk.
    std::uint64_t MemoryBudget = 0;
};

}  // namespace quellor
