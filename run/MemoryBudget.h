// How much memory one run may take, and whether a file's run fits it whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "run/RunSettings.h"

namespace quellor {

// The environment variable through which the window is given a budget.
inline constexpr const char* kMemoryVariable = "QUELLOR_MEMORY";

// A quarter of the machine's memory, at most 4 GiB.
std::uint64_t DefaultMemoryBudget();
// "512M", "2G", "64K" (powers of 1024) or a bare count of bytes; nullopt
// for anything else, zero included.
std::optional<std::uint64_t> ParseMemorySize(std::string_view text);
// The least budget a user may give: below it a sort would write a run to
// disk every few lines and merge thousands of them, and a value typed as
// "512" where "512M" was meant would look like a hang. The run itself takes
// any budget (tests give it a few bytes to force the on-disk paths).
inline constexpr std::uint64_t kLeastMemoryBudget = std::uint64_t{1} << 20;
// The settings' budget, or the default when they name none.
std::uint64_t BudgetOf(const RunSettings& settings);

// Whether the file's run takes the in-memory path: its whole need, judged
// from its size and the lines in its first bytes, is within the budget, and
// it is below 2 GiB. A file that cannot be read counts as fitting, so the
// in-memory path reports it as it always has.
bool FitsInMemory(const RunSettings& settings, const std::string& path);

// Text per sorted run, and read buffers of the merge together, for a budget.
std::uint64_t SortRunBytes(std::uint64_t budget);
std::uint64_t MergeBufferBytes(std::uint64_t budget);

}  // namespace quellor
