#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Exceptions.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor {
namespace {

using test::Fill;
using test::Hex;
using test::IndexMessage;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;

constexpr Encoding kCp932 = Encoding::Cp932;

struct MatchRow {
    std::string field;
    std::string search;
    int mode;  // as the combo box index: out-of-range values included
    bool expected;
};

std::vector<MatchRow> MatchTable() {
    const std::string ai = "\x82\xa0\x82\xa2";  // あい
    const std::string kana = "\xb1\xa2";        // ｱ｢
    const std::string bracket = "\xa2";         // ｢
    return {
        // exact
        {"abc", "abc", 0, true},
        {"abc", "ABC", 0, false},
        {"abc", "ab", 0, false},
        {"", "", 0, true},
        {"a", "", 0, false},
        {Sjis("ｱ"), Sjis("ア"), 0, false},
        {Sjis("あ"), Sjis("ア"), 0, false},
        {Sjis("東京"), Sjis("東京"), 0, true},
        {"\x87\x90", "\x81\xe0", 0, true},  // two codes of the same character
        // contains
        {"abcdef", "cde", 1, true},
        {"abcdef", "xyz", 1, false},
        {"abcdef", "CDE", 1, false},
        {"abc", "abcd", 1, false},
        {"abc", "", 1, false},
        {"", "", 1, false},
        {ai, bracket, 1, false},
        {kana, bracket, 1, true},
        {"\x82\xa2\xa2", bracket, 1, true},
        // starts with
        {"abcdef", "abc", 2, true},
        {"abcdef", "abd", 2, false},
        {"ABCdef", "abc", 2, false},
        {"ab", "abc", 2, false},
        {"abc", "", 2, true},
        {"", "", 2, true},
        {"", "a", 2, false},
        {ai, "\x82\xa0\x82", 2, true},  // the prefix is cut at a byte count
        {Sjis("東京都"), Sjis("東京"), 2, true},
        // ends with
        {"abcdef", "def", 3, true},
        {"abcdef", "DEF", 3, false},
        {"abcdef", "abcdef", 3, true},
        {"abc", "abcd", 3, false},
        {"abc", "", 3, false},
        {"", "", 3, false},
        {ai, bracket, 3, false},
        {kana, bracket, 3, true},
        {Sjis("東京都"), Sjis("京都"), 3, true},
        // outside 0..3
        {"abc", "abc", 4, false},
        {"", "", 255, false},
    };
}

TEST(MatchFieldTest, ModesTable) {
    for (const auto& row : MatchTable()) {
        TStringListEx fields;
        Fill(fields, {"other", row.field});
        EXPECT_EQ(fields.MatchField(row.search, 1, static_cast<MatchMode>(row.mode), kCp932),
                  row.expected)
            << "field " << Hex(row.field) << " search " << Hex(row.search) << " mode " << row.mode;
    }
}

TEST(MatchFieldTest, FieldIndexOutsideTheList) {
    TStringListEx fields;
    Fill(fields, {"a", "b"});
    for (const MatchMode mode :
         {MatchMode::Equals, MatchMode::Contains, MatchMode::StartsWith, MatchMode::EndsWith}) {
        EXPECT_THROW_MESSAGE(fields.MatchField("a", 2, mode, kCp932), EStringListError,
                             IndexMessage(2));
        EXPECT_THROW_MESSAGE(fields.MatchField("a", -1, mode, kCp932), EStringListError,
                             IndexMessage(-1));
    }
    // An unknown mode reads no field, so even a bad index is no error.
    EXPECT_FALSE(fields.MatchField("a", 99, MatchMode::None, kCp932));
    EXPECT_FALSE(fields.MatchField("a", -1, static_cast<MatchMode>(200), kCp932));
}

TEST(ReverseLinesTest, AllLengths) {
    const std::vector<std::pair<Strings, Strings>> table = {
        {{}, {}},
        {{"a"}, {"a"}},
        {{"a", "b"}, {"b", "a"}},
        {{"a", "b", "c"}, {"c", "b", "a"}},
        {{"a", "b", "c", "d"}, {"d", "c", "b", "a"}},
    };
    for (const auto& [in, out] : table) {
        TStringListEx list;
        Fill(list, in);
        ReverseLines(list);
        EXPECT_EQ(Lines(list), out);
    }
}

struct DupRow {
    Strings in;
    Strings left;
    Strings moved;
};

TEST(ExtractDuplicatesTest, Examples) {
    const std::vector<DupRow> table = {
        {{}, {}, {}},
        {{"a"}, {"a"}, {}},
        {{"a", "a", "b", "a"}, {"a", "b", "a"}, {"a"}},
        {{"x", "y", "y", "z", "z", "z"}, {"x", "y", "z"}, {"y", "z", "z"}},
        {{"q", "q", "q", "q"}, {"q"}, {"q", "q", "q"}},
        {{"abc", "ABC"}, {"abc", "ABC"}, {}},
        {{"x", "X", "x"}, {"x", "X", "x"}, {}},
        {{"", "", "a"}, {"", "a"}, {""}},
        {{"\x87\x90", "\x81\xe0"}, {"\x87\x90", "\x81\xe0"}, {}},
    };
    for (const auto& row : table) {
        TStringListEx list;
        Fill(list, row.in);
        auto moved = ExtractDuplicates(list);
        ASSERT_NE(moved, nullptr);
        EXPECT_EQ(Lines(list), row.left);
        EXPECT_EQ(Lines(*moved), row.moved);
    }
}

TEST(SelectFieldsTest, Examples) {
    TStringListEx fields;
    Fill(fields, {"p", "q", "r"});
    EXPECT_EQ(fields.SelectFields({3, 1}), "r,p");
    EXPECT_EQ(fields.SelectFields({2, 2}), "q,q");
    EXPECT_EQ(fields.SelectFields({1, 2, 3}), "p,q,r");
    EXPECT_EQ(fields.SelectFields({}), "");
    EXPECT_THROW_MESSAGE(fields.SelectFields({4}), EStringListError,
                         "指定したﾌｨｰﾙﾄﾞがありません（第4ﾌｨｰﾙﾄﾞ）");
    EXPECT_THROW_MESSAGE(fields.SelectFields({1, 9}), EStringListError,
                         "指定したﾌｨｰﾙﾄﾞがありません（第9ﾌｨｰﾙﾄﾞ）");
    EXPECT_THROW_MESSAGE(fields.SelectFields({0}), EStringListError, IndexMessage(-1));
    EXPECT_THROW_MESSAGE(fields.SelectFields({2, -3}), EStringListError, IndexMessage(-4));
    EXPECT_EQ(Lines(fields), (Strings{"p", "q", "r"}));
}

TEST(SelectFieldsTest, CopiesFieldsUnquoted) {
    TStringListEx fields;
    Fill(fields, {"a\"b", "c,d", "e f", ""});
    EXPECT_EQ(fields.SelectFields({1, 2, 3, 4}), "a\"b,c,d,e f,");
    EXPECT_EQ(fields.SelectFields({4}), "");
    std::string out = "stale";
    fields.SelectFieldsInto({3, 1}, ',', out);
    EXPECT_EQ(out, "e f,a\"b");
}

}  // namespace
}  // namespace quellor
