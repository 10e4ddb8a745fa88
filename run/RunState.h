// The values of one run that the stages and the per-record hooks share.
#pragma once

#include <cstdint>
#include <string>

#include "records/MyClasses.h"

namespace quellor {

struct RunState {
    int TotalFiles = 0;
    int FilesDone = 0;
    std::string CurrentFile;
    int OperationsOn = 0;
    int StageRecordCount = 0;
    int RecordBarBase = 0;
    // The current per-record stage's field list; owned by the stage, null between stages.
    TStringListEx* FieldList = nullptr;
    std::uint32_t StartTick = 0;
};

}  // namespace quellor
