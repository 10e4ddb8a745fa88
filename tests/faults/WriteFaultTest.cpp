// A write that fails part-way: a file-size limit in a child process makes the
// system refuse bytes in the middle of writing an output.
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

constexpr rlim_t kLimit = 64 * 1024;

// About 1 MB of records, the last few repeated so the sort has duplicates.
std::string BigInput(int repeats) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "r" + std::to_string(100000 + i) + ",field-two-of-the-record,third\r\n";
    }
    for (int i = 0; i < repeats; ++i) text += "dup,the-same-line-over-and-over-again,x\r\n";
    return text;
}

std::string RunUnderSizeLimit(const RunSettings& settings) {
    return InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        const rlimit limit{kLimit, kLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
        return RunReportingError(settings);
    });
}

struct WriteFaultCase {
    const char* name;
    bool staleNew;    // a ".new" from an earlier run stands there
    bool duplicates;  // the ".w" is the first output, and too large
    // A budget below the run's need: the outputs are streamed and the sort's
    // runs go to disk beside them, where the limit hits a run first.
    std::uint64_t budget = 0;
    const char* failing = nullptr;  // the output the error names
};

class WriteFault : public FaultTest, public ::testing::WithParamInterface<WriteFaultCase> {};

TEST_P(WriteFault, LeavesNoPartialOutputAndTheOldOneUntouched) {
    const WriteFaultCase& c = GetParam();
    const std::string input = Write("big.csv", BigInput(c.duplicates ? 5000 : 0));
    if (c.staleNew) Write("big.csv.new", "from an earlier run\r\n");
    const Snapshot before = Take();

    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 3;
    s.FieldExtractionOn = !c.duplicates;
    s.ChosenFields = {3, 2, 1};
    s.SortOn = c.duplicates;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    s.MemoryBudget = c.budget;

    EXPECT_EQ(RunUnderSizeLimit(s),
              "EWriteError: ファイル " + input + c.failing + " への書き込みエラー");
    ExpectOnlyAdded(before, {});

    // Without the limit the same run goes through, so the limit was the fault.
    EXPECT_EQ(RunReportingError(s), "");
    EXPECT_GT(Read(input + ".new").size(), kLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, WriteFault,
    ::testing::Values(WriteFaultCase{"NoEarlierOutput", false, false, 0, ".new"},
                      WriteFaultCase{"EarlierOutput", true, false, 0, ".new"},
                      WriteFaultCase{"DuplicatesFile", true, true, 0, ".w"},
                      WriteFaultCase{"StreamedOutput", true, false, 256 << 10, ".new"},
                      WriteFaultCase{"SortRunOnDisk", true, true, 1 << 20, ".new"}),
    [](const auto& row) { return std::string(row.param.name); });

// The limit hits the second file: the first keeps its complete output.
TEST_F(FaultTest, WriteFailureKeepsEarlierFilesOutputs) {
    const std::string small = Write("a.csv", "x,y,z\r\n");
    const std::string big = Write("b.csv", BigInput(0));
    const std::string third = Write("c.csv", "p,q,r\r\n");
    const Snapshot before = Take();
    RunSettings s;
    s.Files = {small, big, third};
    s.ExpectedFieldCount = 3;
    s.FieldExtractionOn = true;
    s.ChosenFields = {2};

    EXPECT_EQ(RunUnderSizeLimit(s), "EWriteError: ファイル " + big + ".new への書き込みエラー");
    ExpectOnlyAdded(before, {"a.csv.new"});
    EXPECT_EQ(Read(small + ".new"), "y\r\n");
}

}  // namespace
}  // namespace quellor::faults
