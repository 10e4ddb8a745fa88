// The values of one run that the stages and the per-record hooks share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "records/RecordLines.h"

namespace quellor {

struct RunState {
    int TotalFiles = 0;
    int FilesDone = 0;
    std::string CurrentFile;
    int OperationsOn = 0;
    int StageRecordCount = 0;
    int RecordBarBase = 0;
    int RecordBar = 0;  // where the record bar stands, 0 to 100
    // The log's closing line of a run that the record check ends.
    std::string EndingLog;
    std::uint32_t StartTick = 0;
    // Whether an abort was pending when events were last let through: the
    // window requests one only then, so one that appears later is an interrupt.
    bool AbortAfterEvents = false;
    // The first record of the file at hand when it names the fields: out of
    // the records, written first, cut like them by the field extraction.
    std::optional<std::string> Heading;
    // Where the file's records begin, for the lines errors name.
    RecordLines FileLines;
    // How the records after the heading are named.
    RecordNumbering Numbering() const { return {&FileLines, Heading ? 1 : 0}; }
};

// A record's line in the file from its place among the records (from 0):
// a heading stands before the first.
inline int RecordLine(const RunState& state, std::int64_t index) {
    return static_cast<int>(state.Numbering().LineOf(index));
}

}  // namespace quellor
