#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "records/Exceptions.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

using Transcript = std::vector<std::string>;

Transcript Tail(const Transcript& calls, std::size_t n) {
    return Transcript(calls.end() - static_cast<std::ptrdiff_t>(std::min(n, calls.size())),
                      calls.end());
}

class RunFailure : public RunTest {
  protected:
    // Three files of three records, record extraction keeping every record.
    RunSettings ThreeFiles() {
        std::vector<std::string> files;
        for (const char* name : {"one.csv", "two.csv", "three.csv"})
            files.push_back(WriteLines(name, {"a,1", "a,2", "a,3"}));
        RunSettings settings = SettingsFor(files, 2);
        settings.RecordExtractionOn = true;
        settings.Condition1 = {1, "a", MatchMode::Equals};
        return settings;
    }
};

TEST_F(RunFailure, AbortDuringTheSecondOfThreeFilesKeepsWhatWasFinished) {
    const RunSettings settings = ThreeFiles();
    const std::string& second = settings.Files[1];
    RecordingObserver observer;
    // A click on Abort, delivered after the second file's first record.
    observer.OnPendingEvents = [&](RecordingObserver& o) {
        if (o.Log.rfind(second, 0) == 0) o.Abort.Request();
    };

    const RunError error = RunFailing(settings, observer);

    EXPECT_TRUE(error.Aborted);
    EXPECT_EQ(error.Message, "ユーザーにより中断されました");
    EXPECT_EQ(ReadBytes(settings.Files[0] + ".new"), "a,1\r\na,2\r\na,3\r\n");
    EXPECT_FALSE(Exists(settings.Files[1] + ".new"));
    EXPECT_FALSE(Exists(settings.Files[2] + ".new"));
    EXPECT_EQ(
        observer.Log,
        second + "を処理中．．．（CP932）\r\nﾚｺｰﾄﾞ抽出中．．．\r\nユーザーにより中断されました");
    EXPECT_EQ(Tail(observer.Calls, 5), (Transcript{
                                           "SetRecordProgress:33",
                                           "ProcessPendingEvents",
                                           "ProcessPendingEvents",
                                           "UnlockControls",
                                           "AppendLog:\r\nユーザーにより中断されました",
                                       }));
    EXPECT_EQ(observer.CountOf("ShowInformation"), 0);
    EXPECT_EQ(observer.CountOf("UnlockControls"), 2);  // once per file begun
}

// The command line's interrupt handler, firing as the sort begins.
struct InterruptedAtSort : RecordingObserver {
    void AppendLog(const std::string& text) override {
        RecordingObserver::AppendLog(text);
        if (text == "ｿｰﾄ中．．．") Abort.Request();
    }
};

// A click seen after a sort that nothing follows, or an interrupt inside the
// sort: the run ends as the record check ends it, and saves nothing.
TEST_F(RunFailure, AbortOfTheSortEndsAsTheRecordCheckDoes) {
    for (const auto& [inside, extraction] :
         {std::pair{false, false}, {true, false}, {true, true}}) {
        RunSettings settings = ThreeFiles();
        settings.RecordExtractionOn = extraction;
        settings.SortOn = settings.DuplicatesToFile = true;
        settings.SortKeyField = 1;  // every record repeats the key: a ".w" is due
        InterruptedAtSort interrupted;
        RecordingObserver clicked;
        clicked.OnPendingEvents = [](RecordingObserver& o) { o.Abort.Request(); };
        RecordingObserver& observer = inside ? interrupted : clicked;

        EXPECT_EQ(RunFailing(settings, observer).Message, "ユーザーにより中断されました");
        EXPECT_EQ(observer.Log, settings.Files[0] + "を処理中．．．（CP932）\r\nｿｰﾄ中．．．" +
                                    (inside ? "" : "3件\r\n") + "\r\nユーザーにより中断されました");
        EXPECT_EQ(Tail(observer.Calls, 2),
                  (Transcript{"UnlockControls", "AppendLog:\r\nユーザーにより中断されました"}));
        for (const std::string& file : settings.Files)
            EXPECT_FALSE(Exists(file + ".new") || Exists(file + ".w")) << file;
    }
}

TEST_F(RunFailure, FieldCountErrorNamesFileLineAndBothCounts) {
    const std::string first = WriteLines("ok.csv", {"1,2,3,4,5"});
    const std::string bad =
        WriteLines("bad.csv", {"1,2,3,4,5", "1,2,3,4,5", "1,2,3,4", "1,2,3,4,5"});
    const std::string last = WriteLines("last.csv", {"1,2,3,4,5"});
    RunSettings settings = SettingsFor({first, bad, last}, 5);
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {5, 1};
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EStringListError));
    EXPECT_EQ(error.Message, bad + "の\r\n3行目でｴﾗｰ\r\n5であるべきﾌｨｰﾙﾄﾞ数が4です");
    EXPECT_EQ(observer.Log,
              bad + "を処理中．．．（CP932）\r\nﾌｨｰﾙﾄﾞ抽出中．．．\r\n異常終了しました");
    EXPECT_EQ(Tail(observer.Calls, 2),
              (Transcript{"UnlockControls", "AppendLog:\r\n異常終了しました"}));
    EXPECT_EQ(ReadBytes(first + ".new"), "5,1\r\n");
    EXPECT_FALSE(Exists(bad + ".new"));
    EXPECT_FALSE(Exists(last + ".new"));
    EXPECT_EQ(observer.CountOf("ShowInformation"), 0);
}

TEST_F(RunFailure, RecordExtractionReportsTheLineCountedFromTheTop) {
    const std::string input = WriteLines("bad.csv", {"a,1", "a", "a,3", "a,4"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "a", MatchMode::Equals};
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Message, input + "の\r\n2行目でｴﾗｰ\r\n2であるべきﾌｨｰﾙﾄﾞ数が1です");
    // The records after it were examined first, from the last one back.
    EXPECT_EQ(observer.ValuesOf("SetRecordProgress"), (std::vector<int>{0, 25, 50}));
}

TEST_F(RunFailure, FieldCountIsCheckedBeforeAPendingAbort) {
    const std::string input = WriteLines("bad.csv", {"a,1", "a"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {1};
    RecordingObserver observer;
    observer.OnPendingEvents = [](RecordingObserver& o) { o.Abort.Request(); };

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EStringListError));
    EXPECT_EQ(error.Message, input + "の\r\n2行目でｴﾗｰ\r\n2であるべきﾌｨｰﾙﾄﾞ数が1です");
    EXPECT_TRUE(observer.Abort.Requested());
}

TEST_F(RunFailure, MissingFileInTheMiddleStopsTheRunThere) {
    const std::string first = WriteLines("first.csv", {"x"});
    const std::string missing = PathOf("missing.csv");
    const std::string last = WriteLines("last.csv", {"y"});
    RunSettings settings = SettingsFor({first, missing, last}, 1);
    settings.FieldExtractionOn = true;
    settings.ChosenFields = {1};
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EFOpenError));
    EXPECT_NE(error.Message.find(missing), std::string::npos) << error.Message;
    EXPECT_EQ(ReadBytes(first + ".new"), "x\r\n");
    EXPECT_FALSE(Exists(missing + ".new"));
    EXPECT_FALSE(Exists(last + ".new"));
    // Errors from outside the per-record check leave the log as it was.
    EXPECT_EQ(observer.Log, missing + "を処理中．．．");
    EXPECT_EQ(Tail(observer.Calls, 4),
              (Transcript{"LockControls", "SetLog:" + missing + "を処理中．．．",
                          "SetFileCounter:1/3ﾌｧｲﾙ処理", "UnlockControls"}));
}

TEST_F(RunFailure, SortErrorEndsTheRunWithoutClosingLine) {
    const std::string input = WriteLines("s.csv", {"b,1", "a", "c,3"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.SortOn = true;
    settings.SortKeyField = 2;
    settings.DuplicatesToFile = true;
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EStringListError));
    EXPECT_EQ(error.Message, "ﾌｨｰﾙﾄﾞ数が他と違います（2行目）");
    EXPECT_EQ(observer.Log, input + "を処理中．．．（CP932）\r\nｿｰﾄ中．．．");
    EXPECT_EQ(Tail(observer.Calls, 2),
              (Transcript{"SetRecordCounter:ｿｰﾄ件数3件", "UnlockControls"}));
    EXPECT_FALSE(Exists(input + ".new"));
    EXPECT_FALSE(Exists(input + ".w"));
}

TEST_F(RunFailure, SecondConditionOutOfRangeFailsOnlyWhenItIsTested) {
    const std::string input = WriteLines("c.csv", {"a,1"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "a", MatchMode::Equals};
    settings.Condition2 = {99, "a", MatchMode::Equals};
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EStringListError));
    EXPECT_EQ(error.Message, "リストのインデックスが範囲を超えています (98)");
    EXPECT_EQ(Tail(observer.Calls, 2),
              (Transcript{"AppendLog:ﾚｺｰﾄﾞ抽出中．．．", "UnlockControls"}));
}

// A chosen field the records lack fails where the field stage meets the
// first record, after the record stage has told all of its own.
TEST_F(RunFailure, ChosenFieldBeyondTheRecordsFailsInTheFieldStage) {
    const std::string input = WriteLines("c.csv", {"a,1", "b,2"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.RecordExtractionOn = settings.FieldExtractionOn = true;
    settings.Condition1 = {1, "b", MatchMode::Equals};
    settings.ChosenFields = {2, 3};
    RecordingObserver observer;

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Type, typeid(EStringListError));
    EXPECT_EQ(error.Message, "指定したﾌｨｰﾙﾄﾞがありません（第3ﾌｨｰﾙﾄﾞ）");
    EXPECT_EQ(Tail(observer.Calls, 3),
              (Transcript{"AppendLog:1件\r\n", "AppendLog:ﾌｨｰﾙﾄﾞ抽出中．．．", "UnlockControls"}));
    EXPECT_FALSE(Exists(input + ".new"));
}

// The ".w" is ready after the sort but is put in place only with the ".new":
// a run that fails later leaves the earlier ".w" as it was.
TEST_F(RunFailure, DuplicatesFileWaitsForTheResultFile) {
    const std::string input = WriteLines("d.csv", {"b,1", "a,1", "b,1", "c,1"});
    WriteLines("d.csv.w", {"from an earlier run"});
    RunSettings settings = SettingsFor({input}, 2);
    settings.SortOn = true;
    settings.SortKeyField = 1;
    settings.DuplicatesToFile = true;
    settings.RecordExtractionOn = true;
    settings.Condition1 = {1, "a", MatchMode::Equals};
    RecordingObserver observer;
    observer.OnPendingEvents = [](RecordingObserver& o) { o.Abort.Request(); };

    const RunError error = RunFailing(settings, observer);

    EXPECT_EQ(error.Message, "ユーザーにより中断されました");
    EXPECT_EQ(ReadBytes(input + ".w"), "from an earlier run\r\n");
    EXPECT_FALSE(Exists(input + ".new"));
}

// A file long enough to be taken on both cores: the stage that refuses a
// record still names the one it meets first, by the line it begins on.
// Field 1 keeps the odd records ("k…").
TEST_F(RunFailure, LongFileNamesTheRecordEachStageMeetsFirst) {
    struct Row {
        std::vector<std::pair<int, std::string>> bad;  // line, record
        int reported;
    };
    const std::vector<Row> rows = {
        // The record stage walks back from the end: the last bad record.
        {{{100, "k,x,1"}, {30001, "k,x,1"}}, 30001},
        // Both halves of a round, and two rounds apart: the last again.
        {{{5, "m,x,1"}, {16390, "k,x,1"}, {49999, "m,x,1"}}, 49999},
        // Records with line breaks in quoted values push the lines down.
        {{{10, "\"k5\r\n5\",1"}, {40001, "k,x,1"}}, 40002},
        {{{3, "\"k\r\nx\",1"}, {7, "\"m\r\n\ry\",1"}, {40001, "k,x,1"}}, 40004},
    };
    for (const Row& row : rows) {
        std::vector<std::string> lines;
        for (int i = 1; i <= 50000; ++i)
            lines.push_back((i % 2 ? "k" : "m") + std::to_string(i) + ",1");
        for (const auto& [line, record] : row.bad)
            lines[static_cast<std::size_t>(line - 1)] = record;
        const std::string input = WriteLines("long.csv", lines);
        RunSettings settings = SettingsFor({input}, 2);
        settings.RecordExtractionOn = settings.FieldExtractionOn = true;
        settings.Condition1 = {1, "k", MatchMode::StartsWith};
        settings.ChosenFields = {2, 1};
        RecordingObserver observer;

        const RunError error = RunFailing(settings, observer);

        EXPECT_NE(error.Message.find("\r\n" + std::to_string(row.reported) + "行目でｴﾗｰ"),
                  std::string::npos)
            << error.Message;
        EXPECT_FALSE(Exists(input + ".new"));
    }
}

}  // namespace
}  // namespace quellor::test
