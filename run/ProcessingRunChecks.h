// Start checks and preparations that look at the files on disk rather than
// at the user's choices alone. Internal to the run library.
#pragma once

#include <optional>
#include <string>

#include "run/OutputPaths.h"
#include "run/RunSettings.h"

namespace quellor {

// The warning when an output of the run is itself a listed file, by the
// same path however it is spelled, or as the same file on disk (symlinks
// followed, hard links by device and inode): writing it
// would destroy an input, before or after it is read. One pass with hash
// lookups, so ten thousand files cost a few milliseconds of stat calls.
std::optional<std::string> ListedFileAmongOutputs(const RunSettings& s,
                                                  const OutputPathsFor& outputsFor);

// Clears what killed runs left behind, once per folder that gets outputs.
void RemoveStaleTemporariesBeside(const RunSettings& s, const OutputPathsFor& outputsFor);

}  // namespace quellor
