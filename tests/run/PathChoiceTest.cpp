// Which path a file takes by its need against the memory budget, near the
// budget and not only far from it, and what the streamed path does alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "run/MemoryBudget.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

// 40,960 lines of eight bytes: 327,680 bytes, five blocks of 64 KiB, so the
// lines counted in the first block stand for the whole file exactly.
std::vector<std::string> ShortLines() {
    std::vector<std::string> lines;
    char number[8];
    for (int i = 0; i < 40960; ++i) {
        std::snprintf(number, sizeof number, "%06d", (i * 7919) % 40960);
        lines.emplace_back(number);
    }
    return lines;
}

// The need as the documentation gives it: 2.25 bytes per byte and 32 per
// line with a sort, 1.25 and 24 without. Half a kilobyte either side of it
// is a few lines' worth, far less than any of the figures would move it.
TEST_F(RunTest, AFileJustOverTheBudgetIsStreamedAndJustUnderItStaysInMemory) {
    const std::string input = WriteLines("short.csv", ShortLines());
    const std::uint64_t bytes = 40960 * 8, lines = 40960;
    const struct {
        bool Sort;
        std::uint64_t Need;
    } rows[] = {
        {false, bytes * 5 / 4 + lines * 24},
        {true, bytes * 9 / 4 + lines * 32},
    };
    for (const auto& row : rows) {
        for (const bool over : {false, true}) {
            RunSettings s = SettingsFor({input}, 1);
            s.SortOn = row.Sort;
            s.SortKeyField = 1;
            s.FieldExtractionOn = !row.Sort;
            s.ChosenFields = {1};
            s.MemoryBudget = over ? row.Need - 512 : row.Need + 512;
            EXPECT_EQ(FitsInMemory(s, input), !over)
                << (row.Sort ? "sort" : "no sort") << ", budget " << s.MemoryBudget;
            RecordingObserver observer;
            ExecuteRun(s, observer, observer.Abort);
            EXPECT_EQ(ReadLines(input + ".new").size(), lines);
        }
    }
}

// Without a sort, the streamed path writes no ".new" when no record is
// left and the user asked for none, as the in-memory path does; one record
// left still gives one.
TEST_F(RunTest, NoFileWhenEmptyHoldsOnTheStreamedPathWithoutASort) {
    const std::string input = WriteLines("in.csv", {"1,a,later", "2,b,later", "3,c,urgent"});
    for (const bool fields : {false, true}) {
        for (const std::uint64_t budget : {std::uint64_t{0}, std::uint64_t{16}}) {
            for (const std::string text : {"none", "urgent"}) {
                RunSettings s = SettingsFor({input}, 3);
                s.RecordExtractionOn = true;
                s.Condition1 = {3, text, MatchMode::Contains};
                s.FieldExtractionOn = fields;
                s.ChosenFields = {2};
                s.NoFileWhenEmpty = true;
                s.MemoryBudget = budget;
                EXPECT_EQ(RunTakingOutputs(s).New != "(none)", text == "urgent")
                    << text << fields << " budget " << budget;
            }
        }
    }
}

}  // namespace
}  // namespace quellor::test
