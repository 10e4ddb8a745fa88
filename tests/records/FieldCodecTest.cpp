#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Cp932.h"
#include "records/FieldCodec.h"

namespace quellor {
namespace {

using namespace std::string_literals;
using test::Fill;
using test::Hex;
using test::Lines;
using test::Sjis;
using Fields = std::vector<std::string>;

constexpr CsvDialect kQuoted = QuotedCsv(Encoding::Cp932);
constexpr CsvDialect kPlain = PlainCsv(Encoding::Cp932);

std::string Show(const Fields& fields) {
    std::string out;
    for (const auto& f : fields) out += "[" + Hex(f) + "]";
    return out.empty() ? "(none)" : out;
}

Fields Split(std::string_view line, char quote) {
    TStringList list;
    SplitFields(list, line, CsvDialect{',', quote});
    return Lines(list);
}

std::string Join(const Fields& fields, char quote) {
    TStringList list;
    Fill(list, fields);
    return JoinFields(list, CsvDialect{',', quote});
}

struct SplitRow {
    std::string line;
    Fields plain;   // no quote character
    Fields quoted;  // quote byte = double quote
};

std::vector<SplitRow> SplitTable() {
    return {
        {"", {}, {}},
        {"  ", {}, {}},
        {"a,b,x", {"a", "b", "x"}, {"a", "b", "x"}},
        {" a , b ", {"a", "b"}, {"a", "b"}},
        {"a b,x", {"a", "b", "x"}, {"a", "b", "x"}},
        {"a\tb", {"a", "b"}, {"a", "b"}},
        {"a   b", {"a", "b"}, {"a", "b"}},
        {Sjis("東京,ｵｵｻｶ"), {Sjis("東京"), Sjis("ｵｵｻｶ")}, {Sjis("東京"), Sjis("ｵｵｻｶ")}},
        {Sjis("a　b"), {Sjis("a　b")}, {Sjis("a　b")}},
        {"a,,b", {"a", "", "b"}, {"a", "", "b"}},
        {"a,  ,b", {"a", "", "b"}, {"a", "", "b"}},
        {",", {"", ""}, {"", ""}},
        {"a,", {"a", ""}, {"a", ""}},
        {"a, ", {"a"}, {"a"}},
        {", a", {"", "a"}, {"", "a"}},
        {"\"a,b\",x", {"\"a", "b\"", "x"}, {"a,b", "x"}},
        {" \"a b\" ,x", {"\"a", "b\"", "x"}, {"a b", "x"}},
        {"\"a\"\"b\",x", {"\"a\"\"b\"", "x"}, {"a\"b", "x"}},
        {"\"\",x", {"\"\"", "x"}, {"", "x"}},
        {"\"\"", {"\"\""}, {""}},
        {"\"a\" b", {"\"a\"", "b"}, {"a", "b"}},
        {"\"ab\"de,x", {"\"ab\"de", "x"}, {"ab", "de", "x"}},
        {"a\"b,x", {"a\"b", "x"}, {"a\"b", "x"}},
        {"\"abc", {"\"abc"}, {"abc"}},
        {"\"a\"\"b", {"\"a\"\"b"}, {"a\"b"}},
        {"a,\"", {"a", "\""}, {"a", ""}},
        {"\x81\x2c\x61", {"\x81\x2c\x61"}, {"\x81\x2c\x61"}},
    };
}

// Rows that follow from the blank, stepping and NUL rules.
std::vector<SplitRow> SteppingTable() {
    return {
        {"\x81 a,b", {"\x81 a", "b"}, {"\x81 a", "b"}},             // trail byte is no blank
        {"a\x81", {"a\x81"}, {"a\x81"}},                            // lead byte at the very end
        {"\x81\"x,y", {"\x81\"x", "y"}, {"\x81\"x", "y"}},          // trail byte is no quote
        {"\"\x81\"x\",y", {"\"\x81\"x\"", "y"}, {"\x81\"x", "y"}},  // nor a closing quote
        {"a,b\0,c"s, {"a", "b"}, {"a", "b"}},                       // the text ends at NUL
        {"a,\0x"s, {"a", ""}, {"a", ""}},                           // comma last before NUL
        {"\0a"s, {}, {}},
        {"a\x1a,\x1a"
         "b",
         {"a", "b"},
         {"a", "b"}},  // Ctrl-Z is a blank
        {"a\x7f"
         "b",
         {"a\x7f"
          "b"},
         {"a\x7f"
          "b"}},                                            // 0x7F is not
        {"\xa1,\xdf", {"\xa1", "\xdf"}, {"\xa1", "\xdf"}},  // half-width kana: one byte
        {Sjis("，"), {Sjis("，")}, {Sjis("，")}},           // full-width comma
        {"\"a,b\"\"\"", {"\"a", "b\"\"\""}, {"a,b\""}},
        {"\"a, b", {"\"a", "b"}, {"a, b"}},  // unclosed takes the rest
    };
}

TEST(SplitFieldsTest, DocumentedTableWithoutQuote) {
    for (const auto& row : SplitTable())
        EXPECT_EQ(Show(Split(row.line, 0)), Show(row.plain)) << Hex(row.line);
}

TEST(SplitFieldsTest, DocumentedTableWithDoubleQuote) {
    for (const auto& row : SplitTable())
        EXPECT_EQ(Show(Split(row.line, '"')), Show(row.quoted)) << Hex(row.line);
}

TEST(SplitFieldsTest, CharacterSteppingBlanksAndNul) {
    for (const auto& row : SteppingTable()) {
        EXPECT_EQ(Show(Split(row.line, 0)), Show(row.plain)) << Hex(row.line);
        EXPECT_EQ(Show(Split(row.line, '"')), Show(row.quoted)) << Hex(row.line);
    }
}

TEST(SplitFieldsTest, ReplacesContents) {
    TStringList list;
    Fill(list, {"old1", "old2", "old3"});
    SplitFields(list, "\"p\",q", kPlain);
    EXPECT_EQ(Lines(list), (Fields{"\"p\"", "q"}));
    SplitFields(list, "", kPlain);
    EXPECT_EQ(list.Count(), 0);
}

TEST(SplitFieldsTest, DefaultDialectIsCommaAndDoubleQuote) {
    TStringList list;
    const CsvDialect dialect;
    EXPECT_EQ(dialect.Delimiter, ',');
    EXPECT_EQ(dialect.Quote, '"');
    SplitFields(list, "\"a b\",c", dialect);
    EXPECT_EQ(Lines(list), (Fields{"a b", "c"}));
}

struct JoinRow {
    Fields fields;
    std::string line;
};

TEST(JoinFieldsTest, DocumentedTableWithDoubleQuote) {
    const std::vector<JoinRow> table = {
        {{}, ""},
        {{""}, "\"\""},
        {{"", ""}, ","},
        {{"a", "", "b"}, "a,,b"},
        {{"a b", "x"}, "\"a b\",x"},
        {{"a,b", "x"}, "\"a,b\",x"},
        {{"a\"b"}, "\"a\"\"b\""},
        {{" "}, "\" \""},
        {{"\""}, "\"\"\"\""},
        // rows that follow from the quoting rule
        {{"a"}, "a"},
        {{"a", ""}, "a,"},
        {{"a\tb"}, "\"a\tb\""},
        {{"\x1a"}, "\"\x1a\""},
        {{"a\x7f"}, "a\x7f"},
        {{"\x81\""
          "a"},
         "\x81\""
         "a"},  // trail byte needs no quoting
        {{"\x81\""
          "a\""},
         "\"\x81\""
         "a\"\"\""},  // only the real quote doubles
        {{Sjis("東京　大阪")}, Sjis("東京　大阪")},
    };
    for (const auto& row : table)
        EXPECT_EQ(Hex(Join(row.fields, '"')), Hex(row.line)) << Show(row.fields);
}

TEST(JoinFieldsTest, WithoutQuoteJoinsWithPlainCommas) {
    EXPECT_EQ(Join({}, 0), "");
    EXPECT_EQ(Join({"a", "b", "\"c\""}, 0), "a,b,\"c\"");
    EXPECT_EQ(Join({"a", "", "b", ""}, 0), "a,,b,");
    EXPECT_EQ(Join({Sjis("ﾚｺｰﾄﾞ1"), Sjis("東京")}, 0), Sjis("ﾚｺｰﾄﾞ1,東京"));
}

TEST(JoinFieldsTest, LeavesListUnchangedAndIntoClearsBuffer) {
    TStringList list;
    Fill(list, {"a b", "c"});
    std::string out = "stale";
    JoinFieldsInto(list, kQuoted, out);
    EXPECT_EQ(out, "\"a b\",c");
    EXPECT_EQ(Lines(list), (Fields{"a b", "c"}));
}

TEST(FieldCodecTest, SplitAndJoinRewriteTable) {
    const std::vector<SplitRow> table = {
        // line, fields, line after (in quoted[0])
        {"a b,x", {"a", "b", "x"}, {"a,b,x"}},
        {"\"a\",b", {"a", "b"}, {"a,b"}},
        {"a,b\"x", {"a", "b\"x"}, {"a,\"b\"\"x\""}},
        {"\"a b\",x", {"a b", "x"}, {"\"a b\",x"}},
        {"\"a,b\",x", {"a,b", "x"}, {"\"a,b\",x"}},
        {"\"\",x", {"", "x"}, {",x"}},
        {", ", {""}, {"\"\""}},
        {" a , b ", {"a", "b"}, {"a,b"}},
    };
    for (const auto& row : table) {
        TStringList list;
        SplitFields(list, row.line, kQuoted);
        EXPECT_EQ(Show(Lines(list)), Show(row.plain)) << row.line;
        EXPECT_EQ(JoinFields(list, kQuoted), row.quoted[0]) << row.line;
    }
}

// The preview cuts with no quote, puts the record label first, joins with no
// quote and cuts the joined line again with the double quote.
Fields PreviewRow(std::string_view line, int number) {
    TStringList plain;
    SplitFields(plain, line, kPlain);
    TStringList labelled;
    labelled.Add(Sjis("ﾚｺｰﾄﾞ") + std::to_string(number));
    for (int i = 0; i < plain.Count(); ++i) labelled.Add(plain.Get(i));
    TStringList row;
    SplitFields(row, JoinFields(labelled, kPlain), kQuoted);
    return Lines(row);
}

TEST(FieldCodecTest, PreviewDoubleSplit) {
    TStringList plain;
    SplitFields(plain, "\"a,b\",x", kPlain);
    EXPECT_EQ(Lines(plain), (Fields{"\"a", "b\"", "x"}));
    EXPECT_EQ(Show(PreviewRow("\"a,b\",x", 1)), Show({Sjis("ﾚｺｰﾄﾞ1"), "a,b", "x"}));
    EXPECT_EQ(Show(PreviewRow("a b,x", 1)), Show({Sjis("ﾚｺｰﾄﾞ1"), "a", "b", "x"}));
}

}  // namespace
}  // namespace quellor
