// A listed file that is another's output under another spelling: "./",
// "..", a relative path, a folder reached through a symlink, a dangling
// symlink, a hard link. Each would be read after the run wrote it.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

struct SpellingCase {
    const char* name;
    std::vector<const char*> present;  // files made beside a.csv before the run
    std::vector<const char*> listed;   // "@" stands for the folder's absolute path
    const char* link;                  // "name>target" made in the folder, or null
    bool hardLink;
    bool sortOn;      // else field extraction; duplicates on either way
    int overwritten;  // index into listed (a.csv is listed first), -1: the run goes ahead
};

class OutputSpelling : public FaultTest, public ::testing::WithParamInterface<SpellingCase> {
  protected:
    std::string Spelled(std::string text) const {
        const std::string up = "../" + fs::path(dir_).filename().string();
        for (auto [mark, with] : {std::pair<std::string, std::string>{"@rel", fs::relative(dir_)},
                                  {"@up", dir_ + "/sub/../" + up},
                                  {"@", dir_}}) {
            if (text.rfind(mark, 0) == 0) return with + text.substr(mark.size());
        }
        return text;
    }
    void Link(const char* spec, bool hard) const {
        if (!spec) return;
        const std::string text(spec);
        const std::string name = text.substr(0, text.find('>'));
        const std::string target = text.substr(text.find('>') + 1);
        if (hard) {
            fs::create_hard_link(PathOf(target), PathOf(name));
        } else {
            fs::create_symlink(target, PathOf(name));
        }
    }
};

TEST_P(OutputSpelling, IsKnownWhateverTheSpelling) {
    const SpellingCase& c = GetParam();
    Write("a.csv", "b,2\r\na,1\r\na,1\r\n");
    for (const char* name : c.present) Write(name, "b,2\r\na,1\r\n");
    fs::create_directory(PathOf("sub"));
    fs::create_directory_symlink(dir_, PathOf("alias"));
    Link(c.link, c.hardLink);
    RunSettings s;
    for (const char* listed : c.listed) s.Files.push_back(Spelled(listed));
    s.ExpectedFieldCount = 2;
    s.SortOn = c.sortOn;
    s.SortKeyField = 1;
    s.FieldExtractionOn = !c.sortOn;
    s.ChosenFields = {2, 1};
    s.DuplicatesToFile = true;
    const Snapshot before = Take();
    FaultObserver observer;

    EXPECT_EQ(RunReportingError(s, observer), "");

    if (c.overwritten < 0) {
        EXPECT_EQ(observer.Warnings(), "");
        EXPECT_EQ(Read(PathOf("a.csv.w")), "b,2\r\na,1\r\n");  // a listed file, never an output
        return;
    }
    EXPECT_EQ(observer.Warnings(), s.Files[static_cast<std::size_t>(c.overwritten)] + "は" +
                                       s.Files[0] + "の出力先と同じﾌｧｲﾙなので処理できません");
    ExpectOnlyAdded(before, {});
}

INSTANTIATE_TEST_SUITE_P(
    Lists, OutputSpelling,
    ::testing::Values(
        SpellingCase{"DotSlash", {}, {"@/a.csv", "@/./a.csv.new"}, nullptr, false, true, 1},
        SpellingCase{"Relative", {}, {"@/a.csv", "@rel/a.csv.new"}, nullptr, false, true, 1},
        SpellingCase{"DotDot", {}, {"@/a.csv", "@up/a.csv.new"}, nullptr, false, true, 1},
        SpellingCase{"FolderSymlink", {}, {"@/alias/a.csv", "@/a.csv.w"}, nullptr, false, true, 1},
        SpellingCase{
            "DanglingSymlink", {}, {"@/./a.csv", "@/b.csv"}, "b.csv>a.csv.w", false, true, 1},
        SpellingCase{"HardLinkToAnOutput",
                     {"a.csv.new"},
                     {"@/a.csv", "@/b.csv"},
                     "b.csv>a.csv.new",
                     true,
                     true,
                     1},
        SpellingCase{"DuplicatesWithoutTheSort",
                     {"a.csv.w"},
                     {"@/a.csv", "@/a.csv.w"},
                     nullptr,
                     false,
                     false,
                     -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellor::faults
