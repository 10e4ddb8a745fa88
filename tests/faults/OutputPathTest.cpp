// Outputs that cannot be written where they belong: a folder the user may not
// write into, a ".new" name taken by a folder, and a name one byte too long.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

RunSettings SortWithDuplicates(const std::string& input) {
    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 2;
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    return s;
}

struct LockedFolderCase {
    const char* name;
    const char* input;
    const char* failingOutput;
};

class LockedFolder : public FaultTest, public ::testing::WithParamInterface<LockedFolderCase> {};

TEST_P(LockedFolder, RaisesCannotCreateAndAddsNothing) {
    const std::string input = Write("in.csv", GetParam().input);
    ::chmod(input.c_str(), 0644);
    ::chmod(dir_.c_str(), 0555);  // others may read and enter, nobody may write
    const Snapshot before = Take();

    const std::string error = InChild([&] {
        DropToUnprivilegedUser();
        return RunReportingError(SortWithDuplicates(input));
    });

    EXPECT_EQ(error,
              "EFCreateError: ファイル " + input + GetParam().failingOutput + " を作成できません");
    ExpectOnlyAdded(before, {});
}

INSTANTIATE_TEST_SUITE_P(Outputs, LockedFolder,
                         ::testing::Values(LockedFolderCase{"ResultFile", "b,2\r\na,1\r\n", ".new"},
                                           LockedFolderCase{"DuplicatesFile",
                                                            "b,2\r\na,1\r\na,1\r\n", ".w"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(FaultTest, NewPathThatIsAFolderIsLeftAsItWas) {
    const std::string input = Write("in.csv", "b,2\r\na,1\r\n");
    fs::create_directory(input + ".new");
    Write("in.csv.new/inside.txt", "kept\r\n");
    const std::string next = Write("next.csv", "c,3\r\n");
    const Snapshot before = Take();

    RunSettings s = SortWithDuplicates(input);
    s.Files.push_back(next);
    EXPECT_EQ(RunReportingError(s), "EFCreateError: ファイル " + input + ".new を作成できません");
    ExpectOnlyAdded(before, {});  // and the later file is not touched
    EXPECT_TRUE(fs::is_directory(input + ".new"));
}

// A folder entry holds 255 bytes: ".new" after an input name of 251 bytes
// just fits and is written; after 252 it does not, and the run stops before
// anything, the ".w" included, takes a name.
TEST_F(FaultTest, AnOutputNameOf255BytesIsWrittenAnd256IsRefused) {
    for (const std::size_t length : {std::size_t{251}, std::size_t{252}}) {
        const std::string input =
            Write(std::string(length - 4, 'n') + ".csv", "b,2\r\na,1\r\na,1\r\n");
        const Snapshot before = Take();
        const std::string error = RunReportingError(SortWithDuplicates(input));
        if (length == 251) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(Read(input + ".new"), "a,1\r\nb,2\r\n");
            EXPECT_EQ(Read(input + ".w"), "a,1\r\n");
        } else {
            EXPECT_EQ(error, "EFCreateError: ファイル " + input + ".new を作成できません");
            ExpectOnlyAdded(before, {});
        }
    }
}

}  // namespace
}  // namespace quellor::faults
