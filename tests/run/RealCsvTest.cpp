// Whole runs on the files users have: blanks inside values, quoted commas,
// values typed over two lines, every field quoted, tab-separated exports.
// Each row runs in memory, streamed with one record a sorted run, and with
// runs of a few records merged in levels: all three give its outputs.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "RunTestSupport.h"

namespace quellor::test {
namespace {

struct RunRow {
    const char* Name;
    std::string Input;
    std::function<void(RunSettings&)> Set;
    std::string New, Duplicates = "(none)";
    std::string Error = {};  // with the path in place of %s
};

void Fields(RunSettings& s, std::vector<int> chosen) {
    s.FieldExtractionOn = true;
    s.ChosenFields = std::move(chosen);
}
void Sort(RunSettings& s, int key, bool duplicates = false) {
    s.SortOn = true;
    s.SortKeyField = key;
    s.DuplicatesToFile = duplicates;
}

const RunRow kRows[] = {
    {"BlanksAreContent", "2,Suzuki Ichiro,Osaka\r\n1,Sato Taro,Tokyo\r\n",
     [](RunSettings& s) {
         Sort(s, 1);
         Fields(s, {2});
     },
     "Sato Taro\r\nSuzuki Ichiro\r\n"},
    {"QuotedCommaIsOneFieldInEveryStage", "1,\"Sato, Taro\",Tokyo\r\n2,Sato,Osaka\r\n",
     [](RunSettings& s) {
         s.RecordExtractionOn = true;
         s.Condition1 = {2, "Sato, Taro", MatchMode::Equals};
         Fields(s, {3, 2});
     },
     "Tokyo,\"Sato, Taro\"\r\n"},
    {"AValueTypedOverTwoLinesStaysOneRecord", "1,\"Osaka\r\nKita-ku\",x\r\n0,y,z\r\n",
     [](RunSettings& s) { Sort(s, 1); }, "0,y,z\r\n1,\"Osaka\r\nKita-ku\",x\r\n"},
    {"EveryFieldQuotedKeepsItsQuotes", "\"b\",\"2\",\"q\"\r\n\"a\",\"1\",\"p\"\r\n",
     [](RunSettings& s) {
         Sort(s, 1);
         s.RecordExtractionOn = true;
         s.Condition1 = {3, "p", MatchMode::Equals};
     },
     "\"a\",\"1\",\"p\"\r\n"},
    {"TabSeparatedStaysTabSeparated", "b x\t2\tq\r\na y\t1\tp\r\n",
     [](RunSettings& s) {
         Sort(s, 2);
         Fields(s, {2, 1});
     },
     "1\ta y\r\n2\tb x\r\n"},
    {"PaddedValuesMatchAsTheyAre", " 東京 ,1,a\r\n大阪,2,b\r\n",
     [](RunSettings& s) {
         s.RecordExtractionOn = true;
         s.Condition1 = {1, "", MatchMode::Equals, std::string("東京")};
     },
     " 東京 ,1,a\r\n"},
    {"RepeatsAreRecordsOfTheSameBytes", "a,1,x\r\n\"a\",1,x\r\na,1,x\r\n",
     [](RunSettings& s) { Sort(s, 1, true); }, "\"a\",1,x\r\na,1,x\r\n", "a,1,x\r\n"},
    {"AHeadingOverTwoLines", "No,\"Name\r\n(kana)\",x\r\n2,b,y\r\n1,a,z\r\n",
     [](RunSettings& s) {
         s.HeadingLine = true;
         Sort(s, 1);
         Fields(s, {2, 1});
     },
     "\"Name\r\n(kana)\",No\r\na,1\r\nb,2\r\n"},
    {"AnUnclosedQuoteNamesTheLineItOpenedOn", "a,b,c\r\nd,\"e,f\r\ng,h,i\r\n",
     [](RunSettings& s) { Sort(s, 1); }, "(none)", "(none)",
     "ファイル %s の2行目で始まる引用符が閉じていません"},
    {"TheSortNamesTheLineARecordBeginsOn", "\"a\r\nb\",1,x\r\nc,2\r\n",
     [](RunSettings& s) { Sort(s, 1); }, "(none)", "(none)", "ﾌｨｰﾙﾄﾞ数が他と違います（3行目）"},
    {"TheRecordCheckNamesTheLineARecordBeginsOn", "\"a\r\nb\",1,x\r\nc,2\r\n",
     [](RunSettings& s) { Fields(s, {1}); }, "(none)", "(none)",
     "%sの\r\n3行目でｴﾗｰ\r\n3であるべきﾌｨｰﾙﾄﾞ数が2です"},
};

class RealCsv : public RunTest, public ::testing::WithParamInterface<RunRow> {};

TEST_P(RealCsv, GivesTheSameOutputsOnEveryPath) {
    const RunRow& row = GetParam();
    const std::string input = PathOf("in.csv");
    std::ofstream(input, std::ios::binary) << row.Input;
    RunOutputs expected{row.Error, row.New, row.Duplicates};
    if (const auto at = expected.Error.find("%s"); at != std::string::npos)
        expected.Error.replace(at, 2, input);
    for (const std::uint64_t budget : {std::uint64_t{0}, std::uint64_t{16}, std::uint64_t{4096}}) {
        RunSettings settings = SettingsFor({input}, 3);
        row.Set(settings);
        settings.MemoryBudget = budget;
        EXPECT_EQ(RunTakingOutputs(settings), expected) << budget;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RealCsv, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace quellor::test
