// A heading line stays first, out of the sort, the match and the repeated
// records, on every road: in memory, streamed and sorted on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "records/Encoding.h"
#include "records/Format.h"
#include "run/ProcessingRun.h"
#include "run/RunMessages.h"

namespace quellor::test {
namespace {

using Lines = std::vector<std::string>;
constexpr std::uint64_t kBudgets[] = {0, 16};  // 16: streamed, or sorted on disk

std::string Joined(const Lines& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return lines.empty() ? "(none)" : out;
}

struct Case {
    const char* Name;
    bool Sort, Records, Fields;
    Lines New, Duplicates, Counts;  // Counts: the "%d件" log lines
};
const Case kCases[] = {
    {"Sort",
     true,
     false,
     false,
     {"番号,名前,区分", "1,a,通常", "3,b,至急", "2,c,至急", "番号,名前,区分"},
     {"1,a,通常"},
     {"5件\r\n"}},
    {"Records", false, true, false, {"番号,名前,区分", "3,b,至急", "2,c,至急"}, {}, {"2件\r\n"}},
    {"Fields",
     false,
     false,
     true,
     {"区分,番号", "至急,3", "通常,1", "至急,2", "通常,1", "区分,番号"},
     {},
     {}},
    {"All",
     true,
     true,
     true,
     {"区分,番号", "至急,3", "至急,2"},
     {"1,a,通常"},
     {"5件\r\n", "2件\r\n"}},
};

class HeadingRoads : public RunTest, public ::testing::WithParamInterface<Case> {};

TEST_P(HeadingRoads, KeepLineOneFirstAndCountOnlyRecords) {
    const Case& c = GetParam();
    const std::string in = WriteLines("in.csv", {"番号,名前,区分", "3,b,至急", "1,a,通常",
                                                 "2,c,至急", "1,a,通常", "番号,名前,区分"});
    std::vector<Lines> calls;
    for (const std::uint64_t budget : kBudgets) {
        RunSettings s = SettingsFor({in}, 3);
        s.HeadingLine = true;
        s.MemoryBudget = budget;
        s.SortOn = s.DuplicatesToFile = c.Sort;
        s.SortKeyField = 2;
        s.RecordExtractionOn = c.Records;
        s.Condition1 = {3, "", MatchMode::Contains, "至急"};
        s.FieldExtractionOn = c.Fields;
        s.ChosenFields = {3, 1};
        RecordingObserver o;
        ExecuteRun(s, o, o.Abort);
        EXPECT_EQ(ReadBytes(in + ".new"), Joined(c.New)) << budget;
        EXPECT_EQ(Exists(in + ".w") ? ReadBytes(in + ".w") : "(none)", Joined(c.Duplicates));
        Lines counts;
        for (const std::string& t : o.TextsOf("AppendLog"))
            if (t.ends_with("件\r\n")) counts.push_back(t);
        EXPECT_EQ(counts, c.Counts) << budget;
        EXPECT_EQ(o.TextsOf("SetRecordCounter").at(0), "0/5ﾚｺｰﾄﾞ処理");
        calls.push_back(o.Normalized());
        std::filesystem::remove(in + ".w");
    }
    EXPECT_EQ(calls[1], calls[0]);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadingRoads, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.Name); });

// Line 1 is checked like a record, and records keep their lines in the file.
TEST_F(RunTest, HeadingFieldCountAndRecordLinesAreNamedByLineInFile) {
    const std::string bad = WriteLines("bad.csv", {"番号,名前", "1,a,x", "2,b,x"});
    const std::string late = WriteLines("late.csv", {"番号,名前,区分", "1,a,x", "2,b"});
    const auto check = [](const std::string& path, int line, int found) {
        return Format(runmsg::kFieldCountError, {PathForShow(path), line, 3, found});
    };
    const struct {
        std::string Path, Message;
        bool Sort, Records;
    } rows[] = {{bad, "ﾌｨｰﾙﾄﾞ数が他と違います（1行目）", true, false},
                {bad, check(bad, 1, 2), false, true},
                {bad, check(bad, 1, 2), false, false},
                {late, "ﾌｨｰﾙﾄﾞ数が他と違います（3行目）", true, false},
                {late, check(late, 3, 2), false, true},
                {late, check(late, 3, 2), false, false}};
    for (const auto& row : rows) {
        for (const std::uint64_t budget : kBudgets) {
            RunSettings s = SettingsFor({row.Path}, 3);
            s.HeadingLine = true;
            s.MemoryBudget = budget;
            s.SortOn = row.Sort;
            s.SortKeyField = 1;
            s.RecordExtractionOn = row.Records;
            s.Condition1 = {1, "1", MatchMode::Equals};
            s.FieldExtractionOn = !row.Sort && !row.Records;
            s.ChosenFields = {1};
            RecordingObserver o;
            EXPECT_EQ(RunFailing(s, o).Message, row.Message) << row.Path << budget;
        }
    }
}

// A file of its heading alone is an empty file that keeps its heading.
TEST_F(RunTest, HeadingOnlyFileGivesItsHeadingOrNothingUnderTheEmptySwitch) {
    const std::string in = WriteLines("head.csv", {"番号,名前,区分"});
    for (const bool noFileWhenEmpty : {false, true}) {
        for (const std::uint64_t budget : kBudgets) {
            RunSettings s = SettingsFor({in}, 3);
            s.HeadingLine = true;
            s.MemoryBudget = budget;
            s.SortOn = s.RecordExtractionOn = s.FieldExtractionOn = true;
            s.SortKeyField = 1;
            s.Condition1 = {1, "1", MatchMode::Equals};
            s.ChosenFields = {3, 1};
            s.NoFileWhenEmpty = noFileWhenEmpty;
            RecordingObserver o;
            ExecuteRun(s, o, o.Abort);
            EXPECT_EQ(Exists(in + ".new") ? ReadBytes(in + ".new") : "(none)",
                      noFileWhenEmpty ? "(none)" : "区分,番号\r\n")
                << budget;
            std::filesystem::remove(in + ".new");
        }
    }
}

}  // namespace
}  // namespace quellor::test
