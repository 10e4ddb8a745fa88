// Records and fields as every spreadsheet reads them: the table of records
// and their fields (values, and the bytes each field stood as), where
// records end in a text, and which delimiter a first record says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"

namespace quellor {
namespace {

using namespace std::string_literals;
using test::Hex;
using test::Sjis;
using test::Split;
using test::SplitOf;
using Strings = std::vector<std::string>;

std::string Show(const Strings& fields) {
    std::string out;
    for (const auto& f : fields) out += "[" + Hex(f) + "]";
    return out;
}

struct FieldRow {
    std::string record;
    Strings values;
    Strings raw;  // empty: each field's bytes are its value
};

// Comma-separated, code page 932. ␣ is written as a blank, ⇥ as \t.
const std::vector<FieldRow> kFieldTable = {
    // RFC 4180's examples.
    {"aaa,bbb,ccc", {"aaa", "bbb", "ccc"}, {}},
    {"\"aaa\",\"bbb\",\"ccc\"", {"aaa", "bbb", "ccc"}, {"\"aaa\"", "\"bbb\"", "\"ccc\""}},
    {"\"aaa\",\"b\r\nbb\",\"ccc\"",
     {"aaa", "b\r\nbb", "ccc"},
     {"\"aaa\"", "\"b\r\nbb\"", "\"ccc\""}},
    {"\"aaa\",\"b\"\"bb\",\"ccc\"", {"aaa", "b\"bb", "ccc"}, {"\"aaa\"", "\"b\"\"bb\"", "\"ccc\""}},
    // Blanks and tabs are part of a field; a value drops them at its ends.
    {"1,Sato Taro,Tokyo", {"1", "Sato Taro", "Tokyo"}, {}},
    {" a , b ", {"a", "b"}, {" a ", " b "}},
    {"a\tb,\tc\t", {"a\tb", "c"}, {"a\tb", "\tc\t"}},
    {Sjis("東京都千代田区 1-2-3,株式会社 ABC"),
     {Sjis("東京都千代田区 1-2-3"), Sjis("株式会社 ABC")},
     {}},
    // Empty fields, and a record that is empty.
    {"", {""}, {}},
    {",", {"", ""}, {}},
    {"a,", {"a", ""}, {}},
    {"a,,b", {"a", "", "b"}, {}},
    {"a, ", {"a", ""}, {"a", " "}},
    // Blanks around a quoted field are no part of its value.
    {"1, \"Sato, Taro\" , Tokyo",
     {"1", "Sato, Taro", "Tokyo"},
     {"1", " \"Sato, Taro\" ", " Tokyo"}},
    {"\"\",x", {"", "x"}, {"\"\"", "x"}},
    {"\"\"\"\"", {"\""}, {"\"\"\"\""}},
    // Text after the closing quote is kept, without its blanks.
    {"\"ab\"de,x", {"abde", "x"}, {"\"ab\"de", "x"}},
    {"\"ab\" de ,x", {"abde", "x"}, {"\"ab\" de ", "x"}},
    {"\"a\"\"\"b\",x", {"a\"b\"", "x"}, {"\"a\"\"\"b\"", "x"}},
    // A quote inside a field that does not begin with one is an ordinary byte.
    {"a\"b,x", {"a\"b", "x"}, {}},
    {"5\"5,\"x\"y\"", {"5\"5", "xy\""}, {"5\"5", "\"x\"y\""}},
    // A tab before the quote: the field does not begin with one.
    {"\t\"a,b\"", {"\"a", "b\""}, {"\t\"a", "b\""}},
    // Line breaks inside quotes, CR LF or LF, are part of the value.
    {"\"Osaka\nKita-ku\",1", {"Osaka\nKita-ku", "1"}, {"\"Osaka\nKita-ku\"", "1"}},
    // An unclosed quote takes the rest.
    {"a,\"b,c", {"a", "b,c"}, {"a", "\"b,c"}},
    {"\"a\"\"b", {"a\"b"}, {"\"a\"\"b"}},
    // Code page 932: a second byte is never a delimiter or a quote.
    {"\x81,a,b", {"\x81,a", "b"}, {}},
    {"\"\x81\",x\"", {"\x81\",x"}, {"\"\x81\",x\""}},
    {Sjis("\"ソ\",\"表\""), {Sjis("ソ"), Sjis("表")}, {Sjis("\"ソ\""), Sjis("\"表\"")}},
    {Sjis("ｱ,\"ｲ\""), {Sjis("ｱ"), Sjis("ｲ")}, {Sjis("ｱ"), Sjis("\"ｲ\"")}},
    // A NUL ends what is read of the record.
    {"a,b\0c,d"s, {"a", "b"}, {}},
};

TEST(SplitFieldsTest, TableOfRecordsAndTheirFields) {
    for (const FieldRow& row : kFieldTable) {
        const Split got = SplitOf(row.record, {Encoding::Cp932});
        EXPECT_EQ(Show(got.values), Show(row.values)) << Hex(row.record);
        EXPECT_EQ(Show(got.raw), Show(row.raw.empty() ? row.values : row.raw)) << Hex(row.record);
    }
}

TEST(SplitFieldsTest, TabSeparatedAndUtf8) {
    const Split tabs = SplitOf("a, b\t\"c\td\"\t e ", {Encoding::Cp932, '\t'});
    EXPECT_EQ(tabs.values, (Strings{"a, b", "c\td", "e"}));
    // In UTF-8 no byte of a character is a delimiter: E3 81 84 ends in 0x84.
    const Split utf8 = SplitOf("\xe3\x81\x84,\"\xe5\xb8\x82\"", {Encoding::Utf8});
    EXPECT_EQ(utf8.values, (Strings{"\xe3\x81\x84", "\xe5\xb8\x82"}));
}

TEST(SplitFieldsTest, KeepsAtMostTheFieldsAsked) {
    TStringListEx list;
    EXPECT_TRUE(SplitFields(list, "a,\"b,c\",d", {}, 2));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(1), "b,c");
    EXPECT_FALSE(SplitFields(list, "a,b", {}, 2));
    // The record may be the list's own field.
    SplitFields(list, "\"x,y\",z", {});
    SplitFields(list, list.Raw(0), {});
    EXPECT_EQ(test::Lines(list), Strings{"x,y"});
}

// Field extraction writes each chosen field as it stood.
TEST(SelectFieldsTest, JoinsTheFieldsAsTheyStoodWithTheDelimiter) {
    TStringListEx list;
    SplitFields(list, " p ,\"q,r\"\"\",\"s\nt\"", {});
    EXPECT_EQ(list.SelectFields({3, 1}), "\"s\nt\", p ");
    EXPECT_EQ(list.SelectFields({2, 2}, '\t'), "\"q,r\"\"\"\t\"q,r\"\"\"");
    EXPECT_THROW(list.SelectFields({4}), EStringListError);
}

struct EndRow {
    std::string text;
    std::size_t end, next;
    bool unclosed;
};

TEST(FindRecordEndTest, RecordsEndAtLineBreaksOutsideQuotes) {
    const std::vector<EndRow> table = {
        {"a,b\r\nc", 3, 5, false},
        {"a,b\nc", 3, 4, false},
        {"a,b\rc", 3, 4, false},
        {"a,b", 3, 3, false},
        {"\"a\r\nb\",c\r\nd", 8, 10, false},
        {"a,\"b\nc\nd\"\ne", 9, 10, false},
        {"x\"y\nz", 3, 4, false},  // the quote is no quote here
        {"\"a\"\"\nb\"\n", 7, 8, false},
        {"\"open\r\nrest", 11, 11, true},
        // A lead byte before a line break outside quotes ends nothing early.
        {"a\x81\r\nb", 2, 4, false},
    };
    for (const EndRow& row : table) {
        const RecordEnd r = FindRecordEnd(row.text, 0, {});
        EXPECT_EQ(r.End, row.end) << Hex(row.text);
        EXPECT_EQ(r.Next, row.next) << Hex(row.text);
        EXPECT_EQ(r.Unclosed, row.unclosed) << Hex(row.text);
    }
}

TEST(DelimiterOfTest, TabSeparatedWhenTheFirstRecordHoldsTabsAndNoComma) {
    const std::vector<std::pair<std::string, char>> table = {
        {"a\tb\tc\r\nx,y", '\t'},
        {"a,b\tc", ','},
        {"a\t\"b,c\"\td", '\t'},  // a comma inside quotes separates nothing
        {"\"a\tb\",c", ','},
        {"abc", ','},
        {"", ','},
        {"\"a\nb\"\tc", '\t'},
    };
    for (const auto& [text, delimiter] : table)
        EXPECT_EQ(DelimiterOf(text, Encoding::Cp932), delimiter) << Hex(text);
}

}  // namespace
}  // namespace quellor
