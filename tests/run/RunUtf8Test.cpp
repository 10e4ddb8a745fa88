// Whole runs over UTF-8 files, alone and listed beside code page 932 files.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "RunTestSupport.h"
#include "records/Cp932.h"
#include "records/SearchText.h"
#include "run/ProcessingRun.h"
#include "run/RunChoices.h"
#include "run/SampleLine.h"

namespace quellor::test {
namespace {

using Lines = std::vector<std::string>;

std::string Cp932(const std::string& utf8) {
    return SearchTextAsCp932(utf8).value();
}

// Kanji, both kana widths, voiced and prolonged marks, letter case, quoted
// fields, repeats, and characters whose last UTF-8 byte is a code page 932
// lead byte (市, い).
Lines MixedRecords() {
    const char* const pieces[] = {"東京", "大阪市", "い",  "市", "ア",   "ｱ",  "ｶﾞ", "カー",
                                  "かあ", "abc",    "ABC", "Ab", "１２", "～", "ゝ", "x"};
    std::mt19937 random(932);
    Lines lines;
    for (int i = 0; i < 400; ++i) {
        std::string line;
        for (int f = 0; f < 4; ++f) {
            std::string field;
            for (int k = 0, n = static_cast<int>(1 + random() % 3); k < n; ++k)
                field += pieces[random() % 16];
            line += (f ? "," : "") + (random() % 5 ? field : "\"" + field + "\"");
        }
        lines.push_back(i % 10 == 9 ? lines[random() % lines.size()] : line);
    }
    return lines;
}

class RunUtf8Test : public RunTest {
  protected:
    void Run(const RunChoices& c) {
        RecordingObserver observer;
        ExecuteRun(SettingsFromChoices(c), observer, observer.Abort);
    }
};

// An Excel-style UTF-8 file (mark, CR LF) and its code page 932 twin in one
// run: the same records in the same order, and the mark again on both outputs.
TEST_F(RunUtf8Test, BothEncodingsGiveTheSameRecordsInTheSameOrder) {
    Lines records = MixedRecords(), cp932;
    for (const std::string& r : records) cp932.push_back(Cp932(r));
    records.front() = "\xEF\xBB\xBF" + records.front();
    RunChoices c;
    c.Files.Paths = {WriteLines("sjis.csv", cp932), WriteLines("utf8.csv", records)};
    c.Fields = {true, {3, 1, 2}, 4};
    c.Sort.On = c.Sort.DuplicatesToFile = c.Records.On = c.Records.JoinWithOr = true;
    c.Sort.KeyField = 2;
    c.Records.Condition1 = {3, "市", MatchMode::Contains};
    c.Records.Condition2 = {1, "ア", MatchMode::StartsWith};
    Run(c);
    for (const char* suffix : {".new", ".w"}) {
        const std::string sjisOut = ReadBytes(c.Files.Paths[0] + suffix);
        EXPECT_GT(sjisOut.size(), 200u) << suffix;
        EXPECT_EQ(ReadBytes(c.Files.Paths[1] + suffix), "\xEF\xBB\xBF" + Cp932ToUtf8(sjisOut))
            << suffix;
    }
}

// A typed character that code page 932 has no code for is in no record of
// such a file, in any mode: not in an empty field, nor where a "?" stands.
TEST_F(RunUtf8Test, TextOutsideCodePage932MatchesOnlyInUtf8Files) {
    for (const MatchMode mode :
         {MatchMode::Equals, MatchMode::Contains, MatchMode::StartsWith, MatchMode::EndsWith}) {
        RunChoices c;
        c.Files.Paths = {WriteLines("a.csv", {Cp932("森鴎外,1"), Cp932("森?外,2"), ",3"}),
                         WriteLines("b.csv", {"森鷗外,1", "夏目,2"})};
        c.Fields.ExpectedFieldCount = 2;
        c.Records.On = true;
        c.Records.Condition1 = {1, mode == MatchMode::Contains ? "鷗" : "森鷗外", mode};
        Run(c);
        EXPECT_EQ(ReadLines(c.Files.Paths[0] + ".new"), Lines{});
        EXPECT_EQ(ReadLines(c.Files.Paths[1] + ".new"), Lines{"森鷗外,1"});
    }
}

// Half-width katakana pair up into valid UTF-8 (ﾃｱ is C3 B1, "ñ"); a file
// that is UTF-8 but for one stray byte is read in neither encoding unasked.
// What the text means decides, unless the user chose; outputs keep the bytes.
TEST_F(RunUtf8Test, TheTextsMeaningOrTheUsersChoiceDecidesTheEncoding) {
    Lines late(600, "東京,x");
    late.insert(late.end(), {Cp932("ア,y"), "A,z"});  // "A" is the second byte of ア
    const Lines kana = {Cp932("ﾃｱ,1"), Cp932("ﾂｱ,2")};
    struct Case {
        Lines Input;
        EncodingChoice Choice;
        std::string Text, Kept, Log;
    };
    const Case cases[] = {
        {kana, EncodingChoice::Auto, "ﾃｱ", Cp932("ﾃｱ,1\r\n"), "（CP932）\r\n"},
        {kana, EncodingChoice::Utf8, "ñ", Cp932("ﾃｱ,1\r\n"), "（UTF-8）\r\n"},
        {{"café,1", "東京,2"}, EncodingChoice::Auto, "é", "café,1\r\n", "（UTF-8）\r\n"},
        {late, EncodingChoice::Cp932, "A", "A,z\r\n", "（CP932）\r\n"},
        {late, EncodingChoice::Utf8, "A", Cp932("ア,y\r\n") + "A,z\r\n", "（UTF-8）\r\n"},
        {late, EncodingChoice::Auto, "A", "", ""},
    };
    for (const Case& c : cases) {
        RunChoices choices;
        choices.Files.Paths = {WriteLines("f.csv", c.Input)};
        choices.Files.Text.Encoding = c.Choice;
        choices.Fields.ExpectedFieldCount = 2;
        choices.Records.On = true;
        choices.Records.Condition1 = {1, c.Text, MatchMode::Contains};
        RecordingObserver observer;
        if (c.Log.empty()) {
            EXPECT_EQ(RunFailing(SettingsFromChoices(choices), observer).Message,
                      "ファイル " + choices.Files.Paths[0] +
                          " はUTF-8として読みましたが、601行目にUTF-8でないバイトがあります");
            continue;
        }
        ExecuteRun(SettingsFromChoices(choices), observer, observer.Abort);
        EXPECT_EQ(ReadBytes(choices.Files.Paths[0] + ".new"), c.Kept) << c.Text;
        EXPECT_EQ(observer.TextsOf("AppendLog").front(), c.Log) << c.Text;
    }
}

// One-line code page 932 files that are almost, or wholly, UTF-8 as well:
// 丸井 (88 E4 8F A4) makes UTF-8 sequences around two stray bytes, ﾂｷﾙｲ
// (C2 B7 D9 B2) is valid UTF-8. Both are read as what they are, on either path.
TEST_F(RunUtf8Test, ShortCodePage932FilesAreReadAsCodePage932) {
    for (const std::uint64_t budget : {std::uint64_t{0}, std::uint64_t{16}}) {
        RunChoices c;
        c.Files.Paths = {WriteLines("maru.csv", {Cp932("3153,丸井商店")}),
                         WriteLines("tsuki.csv", {Cp932("7662,ﾂｷﾙｲ")})};
        c.Fields.ExpectedFieldCount = 2;
        c.Records.On = c.Records.JoinWithOr = true;
        c.Records.Condition1 = {2, "丸井", MatchMode::StartsWith};
        c.Records.Condition2 = {2, "ﾂｷ", MatchMode::StartsWith};
        c.MemoryBudget = budget;
        RecordingObserver observer;
        ExecuteRun(SettingsFromChoices(c), observer, observer.Abort);
        EXPECT_EQ(ReadBytes(c.Files.Paths[0] + ".new"), Cp932("3153,丸井商店\r\n")) << budget;
        EXPECT_EQ(ReadBytes(c.Files.Paths[1] + ".new"), Cp932("7662,ﾂｷﾙｲ\r\n")) << budget;
        const std::vector<std::string> logs = observer.TextsOf("AppendLog");
        EXPECT_EQ(std::count(logs.begin(), logs.end(), "（CP932）\r\n"), 2) << budget;
    }
}

// "市," is no lead byte and a comma: only the truly short line fails, under a legible name.
TEST_F(RunUtf8Test, ErrorsNameTheRealLineAndALegibleFileName) {
    RunSettings s = SettingsFor({WriteLines(Cp932("名簿.csv"), {"大阪市,1", "市,2", "3"})}, 2);
    s.FieldExtractionOn = true;
    s.ChosenFields = {2, 1};
    RecordingObserver observer;
    EXPECT_EQ(RunFailing(s, observer).Message,
              PathOf("名簿.csv") + "の\r\n3行目でｴﾗｰ\r\n2であるべきﾌｨｰﾙﾄﾞ数が1です");
    EXPECT_EQ(observer.Log.find(PathOf("名簿.csv")), 0u);
}

}  // namespace
}  // namespace quellor::test
