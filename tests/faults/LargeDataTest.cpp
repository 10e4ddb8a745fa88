// Sizes at the edges of the record model: a line of 100 MB, files of 2 GiB
// and more (sparse, so they cost no disk), and a thousand files in one run.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "FaultSupport.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/Messages.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHugeLine = 100u * 1000 * 1000;

TEST_F(FaultTest, LineOf100MBLoadsSortsAndExtracts) {
    const std::string big(kHugeLine, 'x');
    const std::string input = Write("huge.csv", "k2," + big + ",dup\r\nk1,b,c\r\nk1,b,c\r\n");
    const Snapshot before = Take();

    TStringList lines;
    LoadLines(lines, input);
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Get(0).size(), kHugeLine + 7);

    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 3;
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    EXPECT_EQ(RunReportingError(s), "");
    EXPECT_TRUE(Read(input + ".new") == Text({"k1,b,c", "k2," + big + ",dup"}));
    EXPECT_EQ(Read(input + ".w"), Text({"k1,b,c"}));

    // The huge field is found by its end and moved behind the others.
    s.SortOn = false;
    s.RecordExtractionOn = true;
    s.Condition1 = {2, "xxx", MatchMode::EndsWith};
    s.FieldExtractionOn = true;
    s.ChosenFields = {3, 1, 2};
    EXPECT_EQ(RunReportingError(s), "");
    EXPECT_TRUE(Read(input + ".new") == Text({"dup,k2," + big}));
    ExpectOnlyAdded(before, {"huge.csv.new", "huge.csv.w"});
}

// A file of the given size that holds a short first line and then a hole.
std::string MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "a,b\r\n", 5), 5);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    return path;
}

class OversizedFile : public FaultTest, public ::testing::WithParamInterface<off_t> {};

// A list refuses it; a run streams it instead, and reads on past 2 GiB
// until the hole's NUL bytes on line 2.
TEST_P(OversizedFile, IsRefusedByNameWithNothingWritten) {
    const std::string first = Write("first.csv", "q,r\r\n");
    const std::string huge = MakeSparse(PathOf("huge.csv"), GetParam());
    const std::string tooLarge = Format(msg::kFileTooLarge, {huge});

    TStringList lines;
    lines.Add("kept");
    try {
        LoadLines(lines, huge);
        ADD_FAILURE() << "loaded a file of " << GetParam() << " bytes";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), tooLarge);
    }
    EXPECT_EQ(lines.Count(), 1);

    RunSettings s;
    s.Files = {first, huge};
    s.ExpectedFieldCount = 2;
    s.FieldExtractionOn = true;
    s.ChosenFields = {2};
    EXPECT_EQ(RunReportingError(s),
              "EReadError: " + Format(msg::kNulInLine, {huge, std::int64_t{2}}));
    EXPECT_EQ(Read(first + ".new"), "r\r\n");
    EXPECT_FALSE(fs::exists(huge + ".new"));
    EXPECT_EQ(fs::file_size(huge), static_cast<std::uintmax_t>(GetParam()));

    // The field choosers read only the first line, however large the file.
    LineReader reader;
    reader.Open(huge);
    EXPECT_EQ(reader.NextLine(), "a,b");
    reader.Close();
}

// 2 GiB exactly, just over, and 4 GiB + 5, which a 32-bit size would take
// for 5 bytes.
INSTANTIATE_TEST_SUITE_P(Sizes, OversizedFile,
                         ::testing::Values(off_t{1} << 31, (off_t{1} << 31) + 1,
                                           (off_t{1} << 32) + 5));

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST_F(FaultTest, ThousandFilesInOneRun) {
    constexpr int kFiles = 1000;
    RunSettings s;
    for (int i = 0; i < kFiles; ++i) {
        const std::string n = std::to_string(i);
        s.Files.push_back(Write("f" + n + ".csv", "b," + n + "\r\na,1\r\na,1\r\nc,x\r\n"));
    }
    s.ExpectedFieldCount = 2;
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    s.RecordExtractionOn = true;
    s.Condition1 = {1, "c", MatchMode::Equals};
    s.Condition2 = {1, "x", MatchMode::None};  // the empty fifth mode: never matches
    s.JoinWithOr = true;
    s.FieldExtractionOn = true;
    s.ChosenFields = {2, 1};
    const Snapshot before = Take();
    const int descriptors = OpenDescriptors();

    FaultObserver observer;
    EXPECT_EQ(RunReportingError(s, observer), "");
    EXPECT_EQ(observer.Informed(), 1);
    EXPECT_NE(observer.Log().find("処理ﾌｧｲﾙ数1000\r\n"), std::string::npos) << observer.Log();
    EXPECT_EQ(OpenDescriptors(), descriptors);

    std::vector<std::string> added;
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = s.Files[static_cast<std::size_t>(i)];
        ASSERT_EQ(Read(path + ".new"), "x,c\r\n") << path;
        ASSERT_EQ(Read(path + ".w"), "a,1\r\n") << path;
        added.push_back("f" + std::to_string(i) + ".csv.new");
        added.push_back("f" + std::to_string(i) + ".csv.w");
    }
    ExpectOnlyAdded(before, added);
}

}  // namespace
}  // namespace quellor::faults
