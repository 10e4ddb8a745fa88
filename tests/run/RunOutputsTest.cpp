#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

using Lines = std::vector<std::string>;

const Lines kFruit = {"apple,red", "banana,yellow", "cherry,red", "date,brown"};

struct ConditionCase {
    const char* Name;
    RecordCondition First;
    RecordCondition Second;
    bool JoinWithOr;
    Lines Kept;
};

class Conditions : public RunTest, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(Conditions, KeepTheMatchingRecordsInOrder) {
    const ConditionCase& c = GetParam();
    const std::string input = WriteLines("fruit.csv", kFruit);
    RunSettings settings = SettingsFor({input}, 2);
    settings.RecordExtractionOn = true;
    settings.Condition1 = c.First;
    settings.Condition2 = c.Second;
    settings.JoinWithOr = c.JoinWithOr;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(ReadLines(input + ".new"), c.Kept);
    EXPECT_EQ(observer.TextsOf("AppendLog").back(), std::to_string(c.Kept.size()) + "件\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Run, Conditions,
    ::testing::Values(
        ConditionCase{
            "FirstOnly", {2, "red", MatchMode::Equals}, {}, false, {"apple,red", "cherry,red"}},
        ConditionCase{"FirstOnlyEvenWithOr",
                      {2, "red", MatchMode::Equals},
                      {0, "x", MatchMode::Contains},
                      true,
                      {"apple,red", "cherry,red"}},
        ConditionCase{"LetterCaseCounts", {2, "RED", MatchMode::Equals}, {}, false, {}},
        ConditionCase{"And",
                      {2, "red", MatchMode::Equals},
                      {1, "ch", MatchMode::StartsWith},
                      false,
                      {"cherry,red"}},
        ConditionCase{"Or",
                      {2, "red", MatchMode::Equals},
                      {1, "na", MatchMode::EndsWith},
                      true,
                      {"apple,red", "banana,yellow", "cherry,red"}},
        ConditionCase{"ContainsEmptyNeverMatches", {1, "", MatchMode::Contains}, {}, false, {}},
        ConditionCase{
            "StartsWithEmptyAlwaysMatches", {1, "", MatchMode::StartsWith}, {}, false, kFruit},
        // The empty fifth mode of the second condition matches nothing.
        ConditionCase{"AndWithEmptyModeKeepsNothing",
                      {2, "red", MatchMode::Equals},
                      {1, "apple", MatchMode::None},
                      false,
                      {}},
        ConditionCase{"OrWithEmptyModeIsTheFirstAlone",
                      {2, "red", MatchMode::Equals},
                      {1, "banana", MatchMode::None},
                      true,
                      {"apple,red", "cherry,red"}},
        // A second condition that would fail is never reached.
        ConditionCase{"AndSkipsSecondWhenFirstFails",
                      {2, "blue", MatchMode::Equals},
                      {99, "x", MatchMode::Equals},
                      false,
                      {}},
        ConditionCase{"OrSkipsSecondWhenFirstMatches",
                      {1, "", MatchMode::StartsWith},
                      {99, "x", MatchMode::Equals},
                      true,
                      kFruit}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(RunTest, CodePage932BytesPassThroughUnchanged) {
    // 東京,表,ｱｲｳ and a line whose second field holds 至急.
    const std::string tokyo = "\x93\x8c\x8b\x9e", hyo = "\x95\x5c", kana = "\xb1\xb2\xb3";
    const std::string urgent = "\x8e\x8a\x8b\x7d";
    const std::string input =
        WriteLines("\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf.csv",
                   {tokyo + "," + hyo + "," + kana, kana + ",x" + urgent + "y," + tokyo});
    RunSettings settings = SettingsFor({input}, 3);
    settings.RecordExtractionOn = true;
    settings.Condition1 = {2, urgent, MatchMode::Contains};
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {3, 2, 1};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(ReadBytes(input + ".new"), tokyo + ",x" + urgent + "y," + kana + "\r\n");
    EXPECT_EQ(observer.TextsOf("SetLog").front(), input + "を処理中．．．");
}

TEST_F(RunTest, InputsAreNeverModified) {
    const std::string a = WriteLines("a.csv", {"c,1", "a,2", "c,1", "b,3"});
    const std::string b = WriteLines("b.csv", {"z,9", "y,8"});
    const std::string beforeA = ReadBytes(a), beforeB = ReadBytes(b);
    RunSettings settings = SettingsFor({a, b}, 2);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    settings.DuplicatesToFile = true;
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "", MatchMode::StartsWith};
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {2};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(ReadBytes(a), beforeA);
    EXPECT_EQ(ReadBytes(b), beforeB);
    EXPECT_EQ(ReadLines(a + ".new"), (Lines{"2", "3", "1"}));
    EXPECT_EQ(ReadLines(a + ".w"), (Lines{"c,1"}));
    EXPECT_EQ(ReadLines(b + ".new"), (Lines{"8", "9"}));
    EXPECT_FALSE(Exists(b + ".w"));
}

TEST_F(RunTest, DescendingSortKeepsTheFirstOfEachGroupInDescendingOrder) {
    const std::string input = WriteLines("d.csv", {"b", "a", "b", "c", "a"});
    RunSettings settings = SettingsFor({input}, 1);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    settings.SortDescending = true;
    settings.DuplicatesToFile = true;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(ReadLines(input + ".new"), (Lines{"c", "b", "a"}));
    EXPECT_EQ(ReadLines(input + ".w"), (Lines{"b", "a"}));
    EXPECT_EQ(observer.TextsOf("AppendLog"), (Lines{"（CP932）\r\n", "ｿｰﾄ中．．．", "5件\r\n"}));
}

TEST_F(RunTest, NoRepeatedLinesLeaveAnOldDuplicatesFileAlone) {
    const std::string input = WriteLines("u.csv", {"b", "a"});
    WriteLines("u.csv.w", {"from an earlier run"});
    WriteLines("u.csv.new", {"old", "output"});
    RunSettings settings = SettingsFor({input}, 1);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    settings.DuplicatesToFile = true;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(ReadLines(input + ".w"), (Lines{"from an earlier run"}));
    EXPECT_EQ(ReadLines(input + ".new"), (Lines{"a", "b"}));
}

TEST_F(RunTest, NoFileWhenEmptySkipsOnlyTheEmptyResult) {
    const std::string none = WriteLines("none.csv", {"x,1", "y,2"});
    const std::string some = WriteLines("some.csv", {"a,1", "x,2"});
    RunSettings settings = SettingsFor({none, some}, 2);
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "a", MatchMode::Equals};
    settings.NoFileWhenEmpty = true;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_FALSE(Exists(none + ".new"));
    EXPECT_EQ(ReadLines(some + ".new"), (Lines{"a,1"}));
    EXPECT_EQ(observer.Normalized().back(),
              "SetLog:正常終了しました\r\n処理ﾌｧｲﾙ数2\r\n処理時間#ﾐﾘ秒");
}

struct EmptyInputCase {
    const char* Name;
    bool Sort, Records, Fields, NoFileWhenEmpty;
    Lines Log;  // every AppendLog of the run
};

class EmptyInput : public RunTest, public ::testing::WithParamInterface<EmptyInputCase> {};

TEST_P(EmptyInput, IsProcessedAsZeroRecords) {
    const EmptyInputCase& c = GetParam();
    const std::string input = WriteLines("empty.csv", {});
    RunSettings settings = SettingsFor({input}, 3);
    settings.SortOn = c.Sort;
    settings.SortKeyField = 1;
    settings.RecordExtractionOn = c.Records;
    settings.Condition1 = {1, "", MatchMode::StartsWith};
    settings.FieldExtractionOn = c.Fields;
    settings.ChosenFields = {1};
    settings.NoFileWhenEmpty = c.NoFileWhenEmpty;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    Lines log = c.Log;
    log.insert(log.begin(), "（CP932）\r\n");  // an empty file reads as code page 932
    EXPECT_EQ(observer.TextsOf("AppendLog"), log);
    EXPECT_EQ(observer.TextsOf("SetRecordCounter").front(), "0/0ﾚｺｰﾄﾞ処理");
    EXPECT_EQ(observer.CountOf("ProcessPendingEvents"), c.Sort ? 1 : 0);
    if (c.NoFileWhenEmpty) {
        EXPECT_FALSE(Exists(input + ".new"));
    } else {
        ASSERT_TRUE(Exists(input + ".new"));
        EXPECT_EQ(std::filesystem::file_size(input + ".new"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Run, EmptyInput,
    ::testing::Values(
        EmptyInputCase{"AllThreeWritten",
                       true,
                       true,
                       true,
                       false,
                       {"ｿｰﾄ中．．．", "0件\r\n", "ﾚｺｰﾄﾞ抽出中．．．", "0件\r\n",
                        "ﾌｨｰﾙﾄﾞ抽出中．．．", "完了"}},
        EmptyInputCase{
            "FieldsAloneNotWritten", false, false, true, true, {"ﾌｨｰﾙﾄﾞ抽出中．．．", "完了"}},
        EmptyInputCase{
            "SortAloneNotWritten", true, false, false, true, {"ｿｰﾄ中．．．", "0件\r\n"}}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace quellor::test
