// A heading line stays first and out of the sort, the match and the repeats,
// in memory, streamed and sorted on disk (a budget of 16 bytes); "|" stands for CR LF.
#include <gtest/gtest.h>

#include "RunTestSupport.h"
#include "run/ProcessingRun.h"

namespace quellor::test {
namespace {

constexpr int S = 1, R = 2, F = 4, NoEmpty = 8;
const std::vector<std::string> kIn = {"番号,名前,区分", "3,b,至急", "1,a,通常",
                                      "2,c,至急",       "1,a,通常", "番号,名前,区分"};
const std::vector<std::string> kBadHead = {"番号,名前", "1,a,x"},
                               kBadLine3 = {"a,b,c", "1,a,x", "2,b"};
const std::string N = "(none)";  // no such output
// Seen: the first record counter, the "%d件" log lines and the error's end.
const struct {
    int Ops;
    std::vector<std::string> In;
    std::string New, Duplicates, Seen;
} kCases[] = {
    {S, kIn, "番号,名前,区分|1,a,通常|3,b,至急|2,c,至急|番号,名前,区分|", "1,a,通常|",
     "0/5ﾚｺｰﾄﾞ処理|5件|"},
    {R, kIn, "番号,名前,区分|3,b,至急|2,c,至急|", N, "0/5ﾚｺｰﾄﾞ処理|2件|"},
    {F, kIn, "区分,番号|至急,3|通常,1|至急,2|通常,1|区分,番号|", N, "0/5ﾚｺｰﾄﾞ処理|"},
    {S | R | F, kIn, "区分,番号|至急,3|至急,2|", "1,a,通常|", "0/5ﾚｺｰﾄﾞ処理|5件|2件|"},
    {S | R | F, {"番号,名前,区分"}, "区分,番号|", N, "0/0ﾚｺｰﾄﾞ処理|0件|0件|"},
    {S | R | F | NoEmpty, {"番号,名前,区分"}, N, N, "0/0ﾚｺｰﾄﾞ処理|0件|0件|"},
    {S, kBadHead, N, N, "ﾌｨｰﾙﾄﾞ数が他と違います（1行目）"},
    {R, kBadHead, N, N, "の|1行目でｴﾗｰ|3であるべきﾌｨｰﾙﾄﾞ数が2です"},
    {F, kBadHead, N, N, "の|1行目でｴﾗｰ|3であるべきﾌｨｰﾙﾄﾞ数が2です"},
    {S, kBadLine3, N, N, "ﾌｨｰﾙﾄﾞ数が他と違います（3行目）"},
    {F, kBadLine3, N, N, "の|3行目でｴﾗｰ|3であるべきﾌｨｰﾙﾄﾞ数が2です"},
};

std::string Crlf(std::string text) {
    for (std::size_t at; (at = text.find('|')) != std::string::npos;) text.replace(at, 1, "\r\n");
    return text;
}

RunSettings HeadedRun(std::vector<std::string> files, int ops, std::uint64_t budget) {
    RunSettings s = SettingsFor(std::move(files), 3);
    s.HeadingLine = true, s.MemoryBudget = budget, s.NoFileWhenEmpty = ops & NoEmpty;
    s.SortOn = s.DuplicatesToFile = ops & S, s.SortKeyField = 2;
    s.RecordExtractionOn = ops & R, s.Condition1 = {3, "", MatchMode::Contains, "至急"};
    s.FieldExtractionOn = ops & F, s.ChosenFields = {3, 1};
    return s;
}

TEST_F(RunTest, HeadingLineStaysFirstOnEveryPath) {
    for (const auto& c : kCases) {
        const std::string in = WriteLines("in.csv", c.In);
        std::vector<std::string> inMemory;
        for (const std::uint64_t budget : {0u, 16u}) {
            RecordingObserver o;
            const RunOutputs out = RunTakingOutputs(HeadedRun({in}, c.Ops, budget), o);
            std::string seen = o.TextsOf("SetRecordCounter").at(0) + "\r\n";
            for (const std::string& t : o.TextsOf("AppendLog"))
                seen += t.ends_with("件\r\n") ? t : "";
            EXPECT_TRUE((seen + out.Error).ends_with(Crlf(c.Seen))) << c.In[0] << seen << out.Error;
            EXPECT_EQ(out.New, Crlf(c.New)) << c.Ops;
            EXPECT_EQ(out.Duplicates, Crlf(c.Duplicates)) << c.Ops;
            if (budget == 0) inMemory = o.Normalized();
            EXPECT_EQ(o.Normalized(), inMemory);
        }
    }
}

// The heading is each file's own first line: an empty file listed after a
// file with one has none, and its ".new" is empty on either path.
TEST_F(RunTest, AnEmptyFileAfterAHeadedOneHasNoHeading) {
    for (const int ops : {S, R, F, S | R | F}) {
        for (const std::uint64_t budget : {0u, 16u}) {
            const std::string first = WriteLines("first.csv", kIn);
            const std::string empty = WriteLines("empty.csv", {});
            RecordingObserver o;
            ExecuteRun(HeadedRun({first, empty}, ops, budget), o, o.Abort);
            EXPECT_TRUE(ReadBytes(first + ".new").starts_with(ops & F ? "区分,番号" : kIn[0]));
            EXPECT_EQ(ReadBytes(empty + ".new"), "") << ops << " budget " << budget;
            EXPECT_EQ(Exists(empty + ".w") ? ReadBytes(empty + ".w") : "", "") << ops;
            for (const char* suffix : {".new", ".w"}) {
                std::filesystem::remove(first + suffix);
                std::filesystem::remove(empty + suffix);
            }
        }
    }
}

}  // namespace
}  // namespace quellor::test
