// A listed file that is the first one's output under another spelling would
// be read after the run wrote it: "./", "..", a relative path, a folder
// reached through a symlink, a dangling symlink, a hard link.
#include <filesystem>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

TEST_F(FaultTest, AnOutputIsKnownWhateverItsSpelling) {
    const std::string a = PathOf("a.csv"), c = PathOf("c.csv"), rel = fs::relative(dir_);
    const std::string up = PathOf("sub/../../") + fs::path(dir_).filename().string();
    for (const char* name : {"a.csv", "c.csv", "c.csv.new", "a.csv.w"})
        Write(name, "b,2\r\na,1\r\na,1\r\n");
    fs::create_directory(PathOf("sub"));
    fs::create_directory_symlink(dir_, PathOf("alias"));
    fs::create_symlink("a.csv.new", PathOf("dangling"));
    fs::create_hard_link(PathOf("c.csv.new"), PathOf("d.csv"));
    const Snapshot before = Take();
    const std::pair<std::string, std::string> lists[] = {{a, PathOf("./a.csv.new")},
                                                         {a, rel + "/a.csv.new"},
                                                         {a, up + "/a.csv.new"},
                                                         {PathOf("alias/a.csv"), a + ".new"},
                                                         {PathOf("./a.csv"), PathOf("dangling")},
                                                         {c, PathOf("d.csv")}};
    for (const auto& [input, output] : lists) {
        RunSettings s;
        s.Files = {input, output};
        s.ExpectedFieldCount = s.SortKeyField = 2;
        s.SortOn = s.DuplicatesToFile = true;
        FaultObserver observer;
        EXPECT_EQ(RunReportingError(s, observer), "");
        EXPECT_EQ(observer.Warnings(),
                  output + "は" + input + "の出力先と同じﾌｧｲﾙなので処理できません");
    }
    ExpectOnlyAdded(before, {});
    // Without the sort no ".w" is written, so a listed one is only an input.
    RunSettings s;
    s.Files = {a, a + ".w"};
    s.ExpectedFieldCount = 2;
    s.FieldExtractionOn = s.DuplicatesToFile = true;
    s.ChosenFields = {2};
    EXPECT_EQ(RunReportingError(s), "");
    EXPECT_EQ(Read(a + ".w"), "b,2\r\na,1\r\na,1\r\n");
}

}  // namespace
}  // namespace quellor::faults
