// Whole runs over UTF-8 files, alone and listed beside code page 932 files.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "records/Cp932.h"
#include "records/SearchText.h"
#include "run/ProcessingRun.h"
#include "run/RunChoices.h"
#include "run/SampleLine.h"

namespace quellor::test {
namespace {

using Lines = std::vector<std::string>;
const std::string kBom = "\xEF\xBB\xBF";

std::string Cp932(const std::string& utf8) {
    return SearchTextAsCp932(utf8).value();
}

// Records built from characters that sort in every way the collator knows:
// kanji, both kana widths, voiced and prolonged marks, letter case, and
// characters whose last UTF-8 byte is a code page 932 lead byte (市, い).
Lines MixedRecords() {
    const char* const pieces[] = {"東京", "大阪市", "い",  "市", "ア",   "ｱ",  "ｶﾞ", "カー",
                                  "かあ", "abc",    "ABC", "Ab", "１２", "～", "ゝ", "x"};
    std::mt19937 random(932);
    Lines lines;
    for (int i = 0; i < 400; ++i) {
        if (i % 10 == 9) {
            lines.push_back(lines[random() % lines.size()]);  // repeated records
            continue;
        }
        std::string line;
        for (int f = 0; f < 4; ++f) {
            std::string field;
            for (int k = 0, n = 1 + random() % 3; k < n; ++k) field += pieces[random() % 16];
            if (random() % 5 == 0) field = "\"" + field + "\"";
            line += (f ? "," : "") + field;
        }
        lines.push_back(line);
    }
    return lines;
}

class RunUtf8Test : public RunTest {};

// The same records as an Excel-style UTF-8 file (mark, CR LF) and as code
// page 932, in one run: the same records in the same order, the same bytes
// apart from the encoding, and the mark again at the head of both outputs.
TEST_F(RunUtf8Test, BothEncodingsGiveTheSameRecordsInTheSameOrder) {
    const Lines records = MixedRecords();
    Lines cp932;
    for (const std::string& r : records) cp932.push_back(Cp932(r));
    const std::string sjisPath = WriteLines("sjis.csv", cp932);
    Lines excel = records;
    excel.front() = kBom + excel.front();
    const std::string utf8Path = WriteLines("utf8.csv", excel);

    RunChoices c;
    c.Files = {sjisPath, utf8Path};
    c.ExpectedFieldCount = 4;
    c.SortOn = true;
    c.SortKeyField = 2;
    c.DuplicatesToFile = true;
    c.RecordExtractionOn = true;
    c.Condition1 = {3, "市", MatchMode::Contains};
    c.Condition2 = {1, "ア", MatchMode::StartsWith};
    c.JoinWithOr = true;
    c.FieldExtractionOn = true;
    c.ChosenFields = {3, 1, 2};
    RecordingObserver observer;
    ExecuteRun(SettingsFromChoices(c), observer, observer.Abort);

    for (const char* suffix : {".new", ".w"}) {
        const std::string sjisOut = ReadBytes(sjisPath + suffix);
        EXPECT_GT(sjisOut.size(), 200u) << suffix;
        EXPECT_EQ(ReadBytes(utf8Path + suffix), kBom + Cp932ToUtf8(sjisOut)) << suffix;
    }
}

// A typed character that code page 932 has no code for is in no record of
// such a file; a UTF-8 file may hold it.
TEST_F(RunUtf8Test, TextOutsideCodePage932MatchesOnlyInUtf8Files) {
    const std::string sjis = WriteLines("a.csv", {Cp932("森鴎外,1"), Cp932("夏目,2")});
    const std::string utf8 = WriteLines("b.csv", {"森鷗外,1", "夏目,2"});
    RunChoices c;
    c.Files = {sjis, utf8};
    c.ExpectedFieldCount = 2;
    c.RecordExtractionOn = true;
    c.Condition1 = {1, "鷗", MatchMode::Contains};
    RecordingObserver observer;
    ExecuteRun(SettingsFromChoices(c), observer, observer.Abort);
    EXPECT_EQ(ReadLines(sjis + ".new"), Lines{});
    EXPECT_EQ(ReadLines(utf8 + ".new"), Lines{"森鷗外,1"});
}

// Kilobytes of UTF-8 and then one line that is not: the whole file decides
// the run (code page 932, where "A" inside ア is a second byte), while the
// sample reads only the first line.
TEST_F(RunUtf8Test, AFileThatOnlyBeginsLikeUtf8IsCodePage932) {
    Lines lines(600, "東京,x");
    lines.push_back(Cp932("ア,y"));
    lines.push_back("A,z");
    const std::string path = WriteLines("late.csv", lines);
    EXPECT_EQ(ReadSampleLine(path).TextEncoding, Encoding::Utf8);
    RunSettings s = SettingsFor({path}, 2);
    s.RecordExtractionOn = true;
    s.Condition1 = {1, "A", MatchMode::Contains};
    RecordingObserver observer;
    ExecuteRun(s, observer, observer.Abort);
    EXPECT_EQ(ReadLines(path + ".new"), Lines{"A,z"});
}

TEST_F(RunUtf8Test, ErrorsNameTheRealLineAndALegibleFileName) {
    const std::string good = WriteLines("good.csv", {"002,東京都港区", "001,大阪府大阪市"});
    const std::string bad = WriteLines(Cp932("名簿.csv"), {"001,大阪市", "002,い", "003"});
    RunSettings s = SettingsFor({good, bad}, 2);
    s.SortOn = true;
    s.SortKeyField = 2;
    s.FieldExtractionOn = true;
    s.ChosenFields = {2, 1};
    RecordingObserver observer;
    const RunError error = RunFailing(s, observer);
    EXPECT_EQ(ReadLines(good + ".new"), (Lines{"大阪府大阪市,001", "東京都港区,002"}));
    EXPECT_EQ(error.Message, "ﾌｨｰﾙﾄﾞ数が他と違います（3行目）");
    s.SortOn = false;
    EXPECT_EQ(RunFailing(s, observer).Message,
              PathOf("名簿.csv") + "の\r\n3行目でｴﾗｰ\r\n2であるべきﾌｨｰﾙﾄﾞ数が1です");
    EXPECT_EQ(observer.Log.substr(0, PathOf("名簿.csv").size()), PathOf("名簿.csv"));
}

}  // namespace
}  // namespace quellor::test
