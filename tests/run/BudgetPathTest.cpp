// A file that does not fit the memory budget is streamed, and sorted on
// disk, with the outputs and the observer calls of the in-memory path. Tiny
// budgets force that path on small files: every line becomes a sorted run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "records/SearchText.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

using Lines = std::vector<std::string>;
// Below any file's need, empty files included: every line is a run of its own.
constexpr std::uint64_t kTinyBudget = 16;

// 3 fields; groups of repeated lines that many runs cut through; keys that
// sort differently by bytes and by the locale; a quoted field and blanks
// that the sort rewrites.
Lines Records() {
    Lines lines;
    const char* keys[] = {"ｶﾀｶﾅ", "東京", "apple", "Banana", "cherry", "\"q,x\"", "10", "9"};
    for (int i = 0; i < 240; ++i) {
        const std::string key = keys[(i * 7) % 8];
        const std::string note = i % 5 == 0 ? "\"至急 " + std::to_string(i % 3) + "\"" : "通常";
        lines.push_back(std::to_string(i % 11) + "," + key + "," + note);
    }
    return lines;
}

// About 2,000 varied records: product codes that differ only in letter case
// or width, addresses sharing a long prefix (so the merge compares past the
// keys' first words), numbers, repeats, and quoted fields.
Lines VariedRecords() {
    Lines lines;
    const char* codes[] = {"Kx-001", "KX-001", "kx-001", "Ｋｘ-001", "Kx-002", "ｶﾀ", "カタ"};
    const char* streets[] = {"東京都千代田区丸の内一丁目", "東京都千代田区丸の内一丁目1番",
                             "東京都千代田区丸の内一丁目1番2号", "東京都千代田区丸の内二丁目"};
    for (int i = 0; i < 2000; ++i) {
        const int k = (i * 37) % 101;
        std::string line = codes[k % 7];
        line += ",";
        line += streets[(k / 7) % 4];
        line += k % 9 == 0 ? ",\"" + std::to_string(k) + " 番\"" : "," + std::to_string(k % 13);
        lines.push_back(line);
    }
    return lines;
}

struct Case {
    const char* Name;
    void (*Set)(RunSettings&);
    Lines Input = Records();
};

void SortAsc(RunSettings& s) {
    s.SortOn = true;
    s.SortKeyField = 2;
    s.DuplicatesToFile = true;
}
void SortDesc(RunSettings& s) {
    SortAsc(s);
    s.SortDescending = true;
}
void Records8(RunSettings& s) {
    s.RecordExtractionOn = true;
    s.Condition1 = {3, "至急", MatchMode::Contains};
}
void Fields(RunSettings& s) {
    s.FieldExtractionOn = true;
    s.ChosenFields = {3, 1};
}
void All(RunSettings& s) {
    SortAsc(s);
    Records8(s);
    Fields(s);
}
void AllDescNoEmpty(RunSettings& s) {
    SortDesc(s);
    Records8(s);
    s.Condition1.SearchText = "none";
    Fields(s);
    s.NoFileWhenEmpty = true;
}

const Case kCases[] = {
    {"SortManyRuns", SortAsc},
    {"SortDescending", SortDesc},
    {"RecordsOnly", Records8},
    {"FieldsOnly", Fields},
    {"AllThree", All},
    {"AllThreeNothingLeft", AllDescNoEmpty},
    {"OneLineOneRun", All, {"1,a,至急"}},
    {"VariedAscending", SortAsc, VariedRecords()},
    {"VariedDescending", SortDesc, VariedRecords()},
    {"VariedAllThree", All, VariedRecords()},
    {"EmptyFile", All, {}},
    {"SortFieldCountOnLine5", SortAsc, {"1,a,x", "2,b,x", "3,c,x", "4,d,x", "5,e", "6,f,x"}},
    {"RecordFieldCountOnLine2", Records8, {"1,a,x", "2,b", "3,c,x", "4,d,x"}},
    {"FieldCountAfterSort", All, {"1,b,至急", "2,a", "3,c,至急"}},
    // Cut by the field stage's dialect only: refused where the record stays.
    {"FieldCountInKeptRecordsOnly", All, {"1,\"x,y\",通常", "2,b,至急", "3,\"p,q\",至急"}},
};

struct Outcome {
    RunOutputs Outputs;
    Lines Calls;
};

class BudgetPaths : public RunTest, public ::testing::WithParamInterface<Case> {
  protected:
    Outcome Run(std::uint64_t budget) {
        RunSettings settings = SettingsFor({WriteLines("in.csv", GetParam().Input)}, 3);
        GetParam().Set(settings);
        settings.MemoryBudget = budget;
        RecordingObserver observer;
        return {RunTakingOutputs(settings, observer), observer.Normalized()};
    }
};

// A run of one line each, and runs of a few dozen lines merged two at a
// time over several levels.
TEST_P(BudgetPaths, GiveTheOutputsAndCallsOfTheInMemoryPath) {
    const Outcome inMemory = Run(0);
    for (const std::uint64_t budget : {kTinyBudget, std::uint64_t{4096}}) {
        const Outcome onDisk = Run(budget);
        EXPECT_EQ(onDisk.Outputs, inMemory.Outputs) << budget;
        EXPECT_EQ(onDisk.Calls, inMemory.Calls) << budget;
        // Nothing of the runs is left beside the outputs.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BudgetPaths, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.Name); });

// Records equal but for letter case come in byte order, so identical ones
// meet and every repeat goes aside, in memory and on disk alike.
TEST_F(RunTest, CaseOnlyTiesComeInByteOrderSoEveryRepeatGoesAside) {
    struct Row {
        Lines In;
        int Fields, Key;
        bool Descending;
        Lines New, Duplicates;
    };
    const Row rows[] = {
        {{"x", "X", "x", "b", "X"}, 1, 1, false, {"b", "X", "x"}, {"X", "x"}},
        {{"a,x", "A,x", "a,x", "A,x"}, 2, 1, false, {"A,x", "a,x"}, {"A,x", "a,x"}},
        {{"a,x", "A,x", "a,x", "A,x"}, 2, 1, true, {"a,x", "A,x"}, {"a,x", "A,x"}},
        {{"1,Kx-001", "1,KX-001", "1,Kx-001", "1,kx-001", "1,KX-001"},
         2,
         2,
         false,
         {"1,KX-001", "1,Kx-001", "1,kx-001"},
         {"1,KX-001", "1,Kx-001"}},
    };
    for (const Row& row : rows) {
        for (const std::uint64_t budget : {std::uint64_t{0}, std::uint64_t{64}}) {
            const std::string input = WriteLines("ties.csv", row.In);
            RunSettings settings = SettingsFor({input}, row.Fields);
            SortAsc(settings);
            settings.SortKeyField = row.Key;
            settings.SortDescending = row.Descending;
            settings.MemoryBudget = budget;
            RecordingObserver observer;
            ExecuteRun(settings, observer, observer.Abort);
            EXPECT_EQ(ReadLines(input + ".new"), row.New) << row.In[1] << budget;
            EXPECT_EQ(ReadLines(input + ".w"), row.Duplicates) << row.In[1] << budget;
            std::filesystem::remove(input + ".w");
        }
    }
}

// Numbers by value, equal values by the whole line, repeats aside, the rest
// after them in text order; descending reverses all of it. Both paths.
TEST_F(RunTest, NumericKeyGivesTheSameBytesOnBothPaths) {
    const std::string input =
        WriteLines("num.csv", {"3,x,c", "1,10,a", "4,-2,d", "2,\x82\x58,b", "5,,e", "1,10,a",
                               "6,10.0,f", "7,\xb1,g", "8,\"1,000\",h", "9,\x82\x50\x82\x4f,i"});
    const Lines ascending = {"4,-2,d",   "2,\x82\x58,b",  "1,10,a", "9,\x82\x50\x82\x4f,i",
                             "6,10.0,f", "8,\"1,000\",h", "5,,e",   "3,x,c",
                             "7,\xb1,g"};
    for (const bool descending : {false, true}) {
        for (const std::uint64_t budget : {std::uint64_t{0}, kTinyBudget}) {
            RunSettings settings = SettingsFor({input}, 3);
            SortAsc(settings);
            settings.SortNumeric = true;
            settings.SortDescending = descending;
            settings.MemoryBudget = budget;
            RecordingObserver observer;
            ExecuteRun(settings, observer, observer.Abort);
            Lines expected = ascending;
            if (descending) std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(ReadLines(input + ".new"), expected) << descending << budget;
            EXPECT_EQ(ReadBytes(input + ".w"), "1,10,a\r\n");
        }
    }
}

// A first group of three digits before a thousands separator, quoted with
// the comma or written full width, is a number like any other, in both
// encodings and on both paths.
TEST_F(RunTest, ThousandsWithAThreeDigitFirstGroupSortByValue) {
    const Lines ascending = {"\"-123,456\",a", "99999,b",       "１２３，４５５,c",
                             "\"123,456\",d",  "123457,e",      "１５０，０００,f",
                             "150001,g",       "\"999,999\",h", "\"100,000,000\",i"};
    for (const bool cp932 : {false, true}) {
        Lines input;
        for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
            input.push_back(cp932 ? SearchTextAsCp932(*it).value() : *it);
        const std::string path = WriteLines("thousands.csv", input);
        for (const std::uint64_t budget : {std::uint64_t{0}, kTinyBudget}) {
            RunSettings settings = SettingsFor({path}, 2);
            settings.SortOn = settings.SortNumeric = true;
            settings.SortKeyField = 1;
            settings.MemoryBudget = budget;
            RecordingObserver observer;
            ExecuteRun(settings, observer, observer.Abort);
            Lines expected = input;
            std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(ReadLines(path + ".new"), expected) << cp932 << " budget " << budget;
        }
    }
}

// Abort in the runs (first half of the bar) or the merge; with few lines only
// the sort of each run calls KeepAlive while the runs are built.
struct AbortingOnDisk : RecordingObserver {
    bool InMerge;
    int Last = -1;
    void KeepAlive(int percent) override {
        Last = percent;
        if ((percent > 50) == InMerge) Abort.Request();
    }
};

TEST_F(RunTest, AbortWhileTheRunsAreBuiltOrMergedLeavesNothing) {
    for (const bool inMerge : {false, true}) {
        Lines many(inMerge ? 20000 : 5000, "1,a,b");
        for (std::size_t i = 0; i < many.size(); i += 3) many[i] = std::to_string(i) + ",k,v";
        const std::string input = WriteLines("big.csv", many);
        RunSettings settings = SettingsFor({input}, 3);
        SortAsc(settings);
        settings.MemoryBudget = inMerge ? 4096 : 64 << 10;
        AbortingOnDisk observer;
        observer.InMerge = inMerge;
        EXPECT_TRUE(RunFailing(settings, observer).Aborted) << inMerge;
        EXPECT_EQ(observer.Last > 50, inMerge);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
        std::filesystem::remove(input);
    }
}

// A click seen after a sort that nothing follows ends both paths alike.
TEST_F(RunTest, AbortAfterASortAloneEndsBothPathsAlike) {
    const std::string input = WriteLines("in.csv", Records());
    std::vector<Lines> calls;
    for (const std::uint64_t budget : {std::uint64_t{0}, kTinyBudget}) {
        RunSettings settings = SettingsFor({input}, 3);
        SortAsc(settings);
        settings.MemoryBudget = budget;
        RecordingObserver observer;
        observer.OnPendingEvents = [](RecordingObserver& o) { o.Abort.Request(); };
        EXPECT_TRUE(RunFailing(settings, observer).Aborted) << budget;
        EXPECT_FALSE(Exists(input + ".new") || Exists(input + ".w")) << budget;
        calls.push_back(observer.Normalized());
    }
    EXPECT_EQ(calls[1], calls[0]);
}

}  // namespace
}  // namespace quellor::test
