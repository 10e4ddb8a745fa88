#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

using Transcript = std::vector<std::string>;

const Transcript kEndOfOneFileRun = {
    "SetFileProgress:100",
    "ShowInformation:処理が終わりました",
    "SetFileCounter:",
    "SetRecordCounter:",
    "SetFileProgress:0",
    "SetRecordProgress:0",
    "SetLog:正常終了しました\r\n処理ﾌｧｲﾙ数1\r\n処理時間#ﾐﾘ秒",
};

std::string Numbered(const char* prefix, int i) {
    std::string text(prefix);
    text += std::to_string(i);
    return text;
}

Transcript Concat(Transcript head, const Transcript& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST_F(RunTest, SortOnlyRunCallsTheObserverInItsOrder) {
    const std::string input = WriteLines("s.csv", {"b,2", "a,1"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    const Transcript expected = Concat(
        {
            "SetFileProgress:0",
            "LockControls",
            "SetLog:" + input + "を処理中．．．",
            "SetFileCounter:0/1ﾌｧｲﾙ処理",
            "AppendLog:（CP932）\r\n",
            "SetRecordCounter:0/2ﾚｺｰﾄﾞ処理",
            "SetRecordProgress:0",
            "AppendLog:ｿｰﾄ中．．．",
            "SetRecordCounter:ｿｰﾄ件数2件",
            "AppendLog:2件\r\n",
            "SetRecordProgress:100",
            "ProcessPendingEvents",
            "SetRecordProgress:100",
            "SetFileProgress:100",
            "SetFileCounter:1/1ﾌｧｲﾙ処理",
            "UnlockControls",
        },
        kEndOfOneFileRun);
    EXPECT_EQ(observer.Normalized(), expected);
    EXPECT_EQ(ReadLines(input + ".new"), (std::vector<std::string>{"a,1", "b,2"}));
}

TEST_F(RunTest, PerRecordStagesCallTheObserverInTheirOrder) {
    const std::string input = WriteLines("r.csv", {"keep,1", "drop,2"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "keep", MatchMode::Equals};
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {2, 1};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    const Transcript expected = Concat(
        {
            "SetFileProgress:0",
            "LockControls",
            "SetLog:" + input + "を処理中．．．",
            "SetFileCounter:0/1ﾌｧｲﾙ処理",
            "AppendLog:（CP932）\r\n",
            "SetRecordCounter:0/2ﾚｺｰﾄﾞ処理",
            "SetRecordProgress:0",
            // record extraction, last record first
            "AppendLog:ﾚｺｰﾄﾞ抽出中．．．",
            "SetRecordProgress:25",
            "ProcessPendingEvents",
            "ProcessPendingEvents",
            "SetRecordProgress:50",
            "ProcessPendingEvents",
            "ProcessPendingEvents",
            "SetRecordCounter:2/2ﾚｺｰﾄﾞ処理",
            "SetRecordProgress:50",
            "AppendLog:1件\r\n",
            // field extraction of the one record left
            "AppendLog:ﾌｨｰﾙﾄﾞ抽出中．．．",
            "SetRecordProgress:100",
            "ProcessPendingEvents",
            "AppendLog:完了",
            "SetRecordCounter:1/1ﾚｺｰﾄﾞ処理",
            "SetRecordProgress:100",
            "SetFileProgress:100",
            "SetFileCounter:1/1ﾌｧｲﾙ処理",
            "UnlockControls",
        },
        kEndOfOneFileRun);
    EXPECT_EQ(observer.Normalized(), expected);
    EXPECT_EQ(ReadBytes(input + ".new"), "1,keep\r\n");
}

TEST_F(RunTest, ThreeOperationRunLogsEachStage) {
    std::vector<std::string> lines;
    for (int i = 0; i < 120; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "k%03d", 119 - i);
        lines.push_back(std::string(key) + "," + (i % 3 == 0 ? "yes" : "no") + ",v");
    }
    const std::string input = WriteLines("three.csv", lines);
    RunSettings settings = SettingsFor({input}, 3);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    settings.RecordExtractionOn = true;
    settings.Condition1 = {2, "yes", MatchMode::Equals};
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {3, 1};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(observer.LogAtInformation, input +
                                             "を処理中．．．（CP932）\r\n"
                                             "ｿｰﾄ中．．．120件\r\n"
                                             "ﾚｺｰﾄﾞ抽出中．．．40件\r\n"
                                             "ﾌｨｰﾙﾄﾞ抽出中．．．完了");
    const std::vector<std::string> out = ReadLines(input + ".new");
    ASSERT_EQ(out.size(), 40u);
    EXPECT_EQ(out.front(), "v,k002");
    EXPECT_EQ(out.back(), "v,k119");
}

struct BarCase {
    const char* Name;
    bool Sort, Records, Fields;
    int RecordCount;
    std::vector<int> Bar;  // every SetRecordProgress of the run
};

class RecordBar : public RunTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(RecordBar, AdvancesWithinEachOperationsShare) {
    const BarCase& c = GetParam();
    std::vector<std::string> lines;
    for (int i = 0; i < c.RecordCount; ++i) lines.push_back(Numbered("r", i) + ",x");
    const std::string input = WriteLines("bar.csv", lines);
    RunSettings settings = SettingsFor({input}, 2);
    settings.SortOn = c.Sort;
    settings.SortKeyField = 1;
    settings.RecordExtractionOn = c.Records;
    settings.Condition1 = {1, "r", MatchMode::Contains};
    settings.FieldExtractionOn = c.Fields;
    settings.ChosenFields = {1};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(observer.ValuesOf("SetRecordProgress"), c.Bar);
}

INSTANTIATE_TEST_SUITE_P(
    Run, RecordBar,
    ::testing::Values(
        BarCase{"RecordsAndFieldsFourRecords",
                false,
                true,
                true,
                4,
                {0, 12, 25, 37, 50, 50, 62, 75, 87, 100, 100, 0}},
        BarCase{"AllThreeThreeRecords",
                true,
                true,
                true,
                3,
                {0, 33, 44, 55, 66, 66, 77, 88, 99, 100, 0}},
        BarCase{"SortAlone", true, false, false, 3, {0, 100, 100, 0}},
        BarCase{"FieldsAloneThreeRecords", false, false, true, 3, {0, 33, 66, 100, 100, 0}},
        BarCase{"SortAndRecordsNoRecords", true, true, false, 0, {0, 50, 100, 100, 0}}),
    [](const auto& row) { return std::string(row.param.Name); });

struct CounterCase {
    int Records;
    std::vector<std::string> Counter;  // every SetRecordCounter of the run
};

class RecordCounter : public RunTest, public ::testing::WithParamInterface<CounterCase> {};

TEST_P(RecordCounter, IsRewrittenOnlyAtThousands) {
    const CounterCase& c = GetParam();
    std::vector<std::string> lines(static_cast<std::size_t>(c.Records), "a,b");
    const std::string input = WriteLines("many.csv", lines);
    RunSettings settings = SettingsFor({input}, 2);
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {2};
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(observer.TextsOf("SetRecordCounter"), c.Counter);
}

INSTANTIATE_TEST_SUITE_P(
    Run, RecordCounter,
    ::testing::Values(
        CounterCase{999, {"0/999ﾚｺｰﾄﾞ処理", "999/999ﾚｺｰﾄﾞ処理", ""}},
        CounterCase{1000, {"0/1000ﾚｺｰﾄﾞ処理", "1000/1000ﾚｺｰﾄﾞ処理", "1000/1000ﾚｺｰﾄﾞ処理", ""}},
        CounterCase{2500,
                    {"0/2500ﾚｺｰﾄﾞ処理", "1000/2500ﾚｺｰﾄﾞ処理", "2000/2500ﾚｺｰﾄﾞ処理",
                     "2500/2500ﾚｺｰﾄﾞ処理", ""}}),
    [](const auto& row) { return std::to_string(row.param.Records); });

TEST_F(RunTest, FileBarAndCounterCountEveryListedFile) {
    // 50 files: 29 of them must read 58, which binary floating point gets wrong.
    std::vector<std::string> files;
    for (int i = 0; i < 50; ++i) files.push_back(WriteLines(Numbered("f", i), {}));
    RunSettings settings = SettingsFor(files, 1);
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {1};
    settings.NoFileWhenEmpty = true;
    RecordingObserver observer;

    ExecuteRun(settings, observer, observer.Abort);

    std::vector<int> bar = {0};
    for (int done = 1; done <= 50; ++done) bar.push_back(done * 2);
    bar.insert(bar.end(), {100, 0});
    EXPECT_EQ(observer.ValuesOf("SetFileProgress"), bar);
    const std::vector<std::string> counters = observer.TextsOf("SetFileCounter");
    ASSERT_EQ(counters.size(), 101u);
    EXPECT_EQ(counters[56], "28/50ﾌｧｲﾙ処理");
    EXPECT_EQ(counters[57], "29/50ﾌｧｲﾙ処理");
    EXPECT_EQ(observer.CountOf("LockControls"), 50);
    EXPECT_EQ(observer.CountOf("UnlockControls"), 50);
    EXPECT_EQ(observer.Normalized().back(),
              "SetLog:正常終了しました\r\n処理ﾌｧｲﾙ数50\r\n処理時間#ﾐﾘ秒");
    EXPECT_FALSE(Exists(files[0] + ".new"));
}

}  // namespace
}  // namespace quellor::test
