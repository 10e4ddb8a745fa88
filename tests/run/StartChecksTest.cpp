#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

struct StartCheckCase {
    const char* Name;
    std::function<void(RunSettings&)> Arrange;
    std::vector<std::string> ExpectedCalls;
};

void NoFiles(RunSettings& s) {
    s.Files.clear();
}
void FieldsUnchosen(RunSettings& s) {
    s.FieldExtractionOn = true;
}
void SortKeyless(RunSettings& s) {
    s.SortOn = true;
}
void RecordsUnconditioned(RunSettings& s) {
    s.RecordExtractionOn = true;
}

const std::vector<StartCheckCase>& Cases() {
    static const std::vector<StartCheckCase> cases = {
        {"NoFilesWithNothingOn", NoFiles, {"ShowWarning:処理ﾌｧｲﾙがありません"}},
        {"NoFilesWinsOverEveryOtherCheck",
         [](RunSettings& s) {
             NoFiles(s);
             FieldsUnchosen(s);
             SortKeyless(s);
             RecordsUnconditioned(s);
         },
         {"ShowWarning:処理ﾌｧｲﾙがありません"}},
        {"FieldsBeforeSortAndRecords",
         [](RunSettings& s) {
             FieldsUnchosen(s);
             SortKeyless(s);
             RecordsUnconditioned(s);
         },
         {"ShowWarning:抽出するﾌｨｰﾙﾄﾞが指定されていません", "SelectPage:0"}},
        {"SortBeforeRecords",
         [](RunSettings& s) {
             SortKeyless(s);
             RecordsUnconditioned(s);
         },
         {"ShowWarning:ｿｰﾄｷｰが指定されていません", "SelectPage:2"}},
        {"SortCheckedWhenFieldsAreChosen",
         [](RunSettings& s) {
             FieldsUnchosen(s);
             s.ChosenFields = {1};
             SortKeyless(s);
         },
         {"ShowWarning:ｿｰﾄｷｰが指定されていません", "SelectPage:2"}},
        {"RecordConditionMissing",
         RecordsUnconditioned,
         {"ShowWarning:抽出するﾚｺｰﾄﾞ条件が指定されていません", "SelectPage:1"}},
        {"SecondConditionAloneIsNotEnough",
         [](RunSettings& s) {
             RecordsUnconditioned(s);
             s.Condition2.FieldNumber = 1;
         },
         {"ShowWarning:抽出するﾚｺｰﾄﾞ条件が指定されていません", "SelectPage:1"}},
        {"NothingSwitchedOn",
         [](RunSettings&) {},
         {"ShowWarning:条件が指定されていません", "SelectPage:0"}},
        {"SettingsOfOperationsThatAreOffAreIgnored",
         [](RunSettings& s) {
             s.ChosenFields = {1};
             s.SortKeyField = 1;
             s.Condition1.FieldNumber = 1;
         },
         {"ShowWarning:条件が指定されていません", "SelectPage:0"}},
    };
    return cases;
}

class StartChecks : public RunTest, public ::testing::WithParamInterface<StartCheckCase> {};

TEST_P(StartChecks, WarnSelectThePageAndChangeNothingElse) {
    const std::string input = WriteLines("a.csv", {"1,2"});
    const std::string before = ReadBytes(input);
    RunSettings settings = SettingsFor({input}, 2);
    GetParam().Arrange(settings);
    RecordingObserver observer;
    observer.Abort.Request();  // a failed check does not clear a pending request

    ExecuteRun(settings, observer, observer.Abort);

    EXPECT_EQ(observer.Calls, GetParam().ExpectedCalls);
    EXPECT_TRUE(observer.Abort.Requested());
    EXPECT_FALSE(Exists(input + ".new"));
    EXPECT_EQ(ReadBytes(input), before);
}

INSTANTIATE_TEST_SUITE_P(Run, StartChecks, ::testing::ValuesIn(Cases()),
                         [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace quellor::test
