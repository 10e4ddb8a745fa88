// Running out of memory in the middle of a run: a limit on the address space
// of a child process makes allocations fail where a full machine would.
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // its shadow memory cannot live under the limit
#else
constexpr bool kSanitized = false;
#endif

long VirtualBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key) {
        if (key == "VmSize:" && status >> kb) break;
    }
    return kb * 1024;
}

RunSettings SortWithDuplicates(const std::string& input) {
    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 1;
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    return s;
}

TEST_F(FaultTest, OutOfMemoryNamesTheFileAndWritesNothing) {
    if (kSanitized) GTEST_SKIP() << "address sanitizer";
    // The collator and its tables are made before the limit, as in a window
    // that has sorted before.
    ASSERT_EQ(RunReportingError(SortWithDuplicates(Write("warm.csv", "b\r\na\r\n"))), "");
    std::string text;
    for (int i = 0; i < 4000000; ++i)
        text += {char('a' + i % 26), char('a' + i / 26 % 26), '\r', '\n'};
    const std::string input = Write("short.csv", text);
    Write("short.csv.new", "old\r\n");
    const Snapshot before = Take();

    const std::string error = InChild([&] {
        const rlim_t limit = static_cast<rlim_t>(VirtualBytes()) + (96u << 20);
        const rlimit as{limit, limit};
        if (::setrlimit(RLIMIT_AS, &as) != 0) return std::string("setrlimit failed");
        return RunReportingError(SortWithDuplicates(input));
    });

    EXPECT_EQ(error, "EOutOfMemory: メモリが足りないため" + input + "を処理できません");
    ExpectOnlyAdded(before, {});
}

// A sort on disk of a file cut into thousands of runs, each line a run of its
// own: neither the runs' write buffers nor their descriptors may pile up
// until the merge. Under either limit the run gives what it gives in memory.
class ManyRuns : public FaultTest, public ::testing::WithParamInterface<int> {};

TEST_P(ManyRuns, MergeWithinTheLimitsOfTheProcess) {
    if (kSanitized && GetParam() == RLIMIT_AS) GTEST_SKIP() << "address sanitizer";
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "k" + std::to_string(i * 7919 % 1000) + "\r\n";
    const std::string input = Write("runs.csv", text);
    ASSERT_EQ(RunReportingError(SortWithDuplicates(input)), "");
    const std::string sorted = Read(input + ".new"), repeats = Read(input + ".w");

    const std::string error = InChild([&] {
        rlimit limit{};
        if (GetParam() == RLIMIT_NOFILE) {
            limit.rlim_cur = limit.rlim_max = 64;
        } else {
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(VirtualBytes()) + (96u << 20);
        }
        if (::setrlimit(GetParam(), &limit) != 0) return std::string("setrlimit failed");
        RunSettings s = SortWithDuplicates(input);
        s.MemoryBudget = 16;
        return RunReportingError(s);
    });

    EXPECT_EQ(error, "");
    EXPECT_EQ(Read(input + ".new"), sorted);
    EXPECT_EQ(Read(input + ".w"), repeats);
}

INSTANTIATE_TEST_SUITE_P(Limits, ManyRuns, ::testing::Values(RLIMIT_NOFILE, RLIMIT_AS),
                         [](const auto& row) {
                             return std::string(row.param == RLIMIT_NOFILE ? "OpenFiles"
                                                                           : "AddressSpace");
                         });

}  // namespace
}  // namespace quellor::faults
