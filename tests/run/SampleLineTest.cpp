// What the window reads of a file's lines is bounded; the run is not.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "RunTestSupport.h"
#include "records/LineFiles.h"
#include "run/SampleLine.h"

namespace quellor {
namespace {

class SampleLineTest : public test::RunTest {
  protected:
    std::string WriteBytes(const std::string& bytes) {
        const std::string path = PathOf("in.csv");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

std::string Fields(std::size_t count) {
    std::string line = "f";
    for (std::size_t k = 1; k < count; ++k) line += ",f";
    return line;
}

TEST_F(SampleLineTest, FieldsUpToTheLimitAndNoFurther) {
    struct Case {
        std::string bytes;
        std::size_t fields;
        bool lineCut, fieldsCut;
    };
    const std::size_t limit = kShownFieldLimit;
    const std::string longLine = std::string(kShownLineBytes - 2, 'x') + ",y";
    const Case cases[] = {
        {Fields(limit) + "\r\nnext", limit, false, false},
        {Fields(limit + 1) + "\r\n", limit, false, true},
        {Fields(limit) + ",\r\n", limit, false, true},  // an empty last field counts
        {longLine + "\r\n", 2, false, false},
        {longLine + "z\r\n", 2, true, false},
        // Lines ended by CR alone read as one line: a frozen window before.
        {[] {
             std::string s;
             while (s.size() <= 2 * kShownLineBytes) s += "a,b\r";
             return s;
         }(),
         limit, true, true},
    };
    for (const Case& c : cases) {
        const SampleLine shown = SampleFieldsShown(WriteBytes(c.bytes));
        EXPECT_EQ(shown.Fields.size(), c.fields) << c.bytes.size();
        EXPECT_EQ(shown.LineCut, c.lineCut) << c.bytes.size();
        EXPECT_EQ(shown.FieldsCut, c.fieldsCut) << c.bytes.size();
        if (!c.lineCut) {
            EXPECT_EQ(SampleFields(PathOf("in.csv")).size(), c.fields + (c.fieldsCut ? 1 : 0));
        }
    }
    EXPECT_EQ(SampleFieldsShown(WriteBytes(longLine + "z")).Fields[1], "y");
}

TEST_F(SampleLineTest, AUtf8LineCutInsideACharacterStaysUtf8) {
    std::string line;
    while (line.size() < kShownLineBytes) line += "表";
    ASSERT_NE(kShownLineBytes % 3, 0u);  // the limit falls inside a character
    const SampleLine shown = SampleFieldsShown(WriteBytes(line + ",x\r\n"));
    EXPECT_EQ(shown.TextEncoding, Encoding::Utf8);
    EXPECT_EQ(shown.Fields.at(0).size(), kShownLineBytes / 3 * 3);
    LeadingRecords leading;
    ReadLeadingRecords(PathOf("in.csv"), 50, leading);
    EXPECT_EQ(leading.TextEncoding, Encoding::Utf8);
    EXPECT_EQ(leading.Records.at(0).size(), kShownLineBytes / 3 * 3);
}

// The choosers and the preview read records: a heading whose quoted value
// holds a line break is one record, and the rows after it are counted on.
TEST_F(SampleLineTest, ARecordGoesOnOverTheLinesOfAQuotedValue) {
    const std::string path =
        WriteBytes("No,\"Name\r\n(kana)\", City\r\n1,\"Sato, Taro\",\"Osaka\nKita\"\r\n2,x,y");
    const SampleLine sample = ReadSampleLine(path);
    EXPECT_EQ(sample.Fields, (std::vector<std::string>{"No", "Name\n(kana)", "City"}));
    LeadingRecords leading;
    ReadLeadingRecords(path, 2, leading);
    EXPECT_EQ(leading.Records, (std::vector<std::string>{"No,\"Name\n(kana)\", City",
                                                         "1,\"Sato, Taro\",\"Osaka\nKita\""}));
    EXPECT_EQ(FieldCountOfFirstFile(path), 3);
    // Tab-separated: the first record says so.
    EXPECT_EQ(ReadSampleLine(WriteBytes("a b\t\"c,d\"\r\n")).Fields,
              (std::vector<std::string>{"a b", "c,d"}));
}

TEST_F(SampleLineTest, ACutLineNamesEveryLimitThatCutIt) {
    EXPECT_EQ(ShownLineNotice("C:/a.csv", 1, false, false), "");
    EXPECT_EQ(ShownLineNotice("C:/a.csv", 1, true, true),
              "C:/a.csvの\r\n1行目が長すぎます\r\n先頭4MB・4096ﾌｨｰﾙﾄﾞまでを扱います");
    EXPECT_EQ(ShownLineNotice("C:/a.csv", 1, true, false),
              "C:/a.csvの\r\n1行目が長すぎます\r\n先頭4MBまでを扱います");
    EXPECT_EQ(ShownLineNotice("C:/a.csv", 7, false, true),
              "C:/a.csvの\r\n7行目のﾌｨｰﾙﾄﾞ数が多すぎます\r\n先頭4096ﾌｨｰﾙﾄﾞまでを扱います");
}

TEST_F(SampleLineTest, BoundedReadsStopAtTheLimitAndNotBefore) {
    LineReader reader;
    reader.Open(WriteBytes("abcd\r\nabcde\r\nab\rc"));
    bool cut = true;
    EXPECT_EQ(reader.NextLine(4, cut), "abcd");
    EXPECT_FALSE(cut);
    EXPECT_EQ(reader.NextLine(4, cut), "abcd");
    EXPECT_TRUE(cut);
    EXPECT_EQ(reader.NextLine(), "e");
    EXPECT_EQ(reader.NextLine(3, cut), "abc");  // a lone CR is dropped
    EXPECT_FALSE(cut);
}

}  // namespace
}  // namespace quellor
