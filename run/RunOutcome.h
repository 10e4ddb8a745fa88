// What a run came to. Errors that end a run stay exceptions; these are the
// endings a caller acts on in its own way (the command line's exit status).
#pragma once

#include <optional>
#include <string>

namespace quellor {

// The three operations, in the order of the window's pages.
enum class RunStage { FieldExtraction, RecordExtraction, Sort };

// The start checks, in the order they are made.
enum class StartCheck {
    NoFiles,
    NoChosenFields,
    NoSortKey,
    NoRecordCondition,
    NoOperation,
    OutputIsListedFile
};

struct RunOutcome {
    enum class Kind { Done, StartCheckFailed, Aborted };
    Kind What = Kind::Done;
    // A failed start check: which one, and the page it brought forward, if any.
    std::optional<StartCheck> Check;
    std::optional<RunStage> Page;
    // The warning of a failed check, or the abort's message, as the user reads it.
    std::string Message;
};

}  // namespace quellor
