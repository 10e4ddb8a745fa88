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

}  // namespace
}  // namespace quellor::faults
