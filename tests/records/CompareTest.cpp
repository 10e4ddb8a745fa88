#include <gtest/gtest.h>
#include <unicode/coll.h>
#include <unicode/unistr.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Compare.h"

namespace quellor {
namespace {

using test::Hex;
using test::Sjis;

struct CompareRow {
    std::string a;
    std::string b;
    bool ignoreCase;
    int expected;
};

TEST(CompareLocaleTest, Examples) {
    const std::vector<CompareRow> table = {
        {"", "", false, 0},
        {"", "", true, 0},
        {"", "a", false, -1},
        {"a", "", true, 1},
        {"a", "b", false, -1},
        {"b", "a", true, 1},
        {"abc", "ABC", true, 0},
        {"abc", "ABC", false, -1},
        {"ABC", "abc", false, 1},
        {"x", "X", true, 0},
        {",", "a", true, -1},
        {"\"", "a", true, -1},
        {Sjis("ｱ"), Sjis("ア"), true, 1},    // width still counts
        {Sjis("あ"), Sjis("ア"), true, -1},  // kana type still counts
        {Sjis("Ａ"), Sjis("ａ"), true, 0},   // full-width letters fold too
        {Sjis("東京"), Sjis("東京"), false, 0},
        {"\x87\x90", "\x81\xe0", false, 0},  // NEC and JIS codes of one character
        {std::string("a\0b", 3), std::string("a\0b", 3), false, 0},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CompareLocale(row.a, row.b, row.ignoreCase), row.expected)
            << Hex(row.a) << " vs " << Hex(row.b) << " ignoreCase " << row.ignoreCase;
        EXPECT_EQ(SameLocale(row.a, row.b, row.ignoreCase), row.expected == 0);
    }
}

TEST(CompareLocaleTest, TextsAreTakenWithTheirLengths) {
    const std::string withNul("ab\0c", 4);
    EXPECT_NE(CompareLocale(withNul, "ab", false), 0);
    EXPECT_NE(CompareLocale(std::string("ab\0c", 4), std::string("ab\0d", 4), false), 0);
}

// ICU's ja collator on the Unicode text, as the platform fixes it.
int IcuCompare(const std::string& utf8a, const std::string& utf8b, bool ignoreCase) {
    static std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale("ja"), status));
        c->setStrength(icu::Collator::IDENTICAL);
        return c;
    }();
    icu::UnicodeString a = icu::UnicodeString::fromUTF8(utf8a);
    icu::UnicodeString b = icu::UnicodeString::fromUTF8(utf8b);
    if (ignoreCase) {
        a.foldCase(U_FOLD_CASE_DEFAULT);
        b.foldCase(U_FOLD_CASE_DEFAULT);
    }
    UErrorCode status = U_ZERO_ERROR;
    return collator->compare(a, b, status);
}

TEST(CompareLocaleTest, AgreesWithJapaneseCollationOnRandomTexts) {
    const std::vector<std::string> alphabet = {
        "a",  "A",  "b",  "B",  "z",  "1",  "9",  ",",  "\"", " ",  "-", "_", "あ", "ア", "ｱ",
        "か", "が", "ｶﾞ", "ー", "東", "京", "Ａ", "ａ", "ｚ", "～", "①", "ⅰ", "Ω",  "ω",  "　"};
    std::mt19937 rng(932);
    for (int round = 0; round < 3000; ++round) {
        std::string a, b;
        for (int n = static_cast<int>(rng() % 5); n > 0; --n)
            a += alphabet[rng() % alphabet.size()];
        b = a.substr(0, rng() % (a.size() + 1));
        for (int n = rng() % 4; n > 0; --n) b += alphabet[rng() % alphabet.size()];
        const bool ignoreCase = rng() % 2;
        std::string sa, sb;
        try {
            sa = Sjis(a);
            sb = Sjis(b);
        } catch (const std::exception&) {
            continue;  // a character CP932 cannot hold
        }
        ASSERT_EQ(CompareLocale(sa, sb, ignoreCase), IcuCompare(a, b, ignoreCase))
            << a << " vs " << b << " ignoreCase " << ignoreCase;
    }
}

TEST(SameBytesTest, BytesOnly) {
    EXPECT_TRUE(SameBytes("", ""));
    EXPECT_TRUE(SameBytes("abc", "abc"));
    EXPECT_FALSE(SameBytes("abc", "ABC"));
    EXPECT_FALSE(SameBytes("abc", "abc "));
    EXPECT_FALSE(SameBytes("\x87\x90", "\x81\xe0"));
    EXPECT_TRUE(SameBytes(std::string("a\0b", 3), std::string("a\0b", 3)));
    EXPECT_FALSE(SameBytes(std::string("a\0b", 3), std::string("a\0c", 3)));
}

struct TrailRow {
    std::string text;
    std::size_t pos;
    bool trail;
};

TEST(IsTrailByteTest, RunsOfLeadBytes) {
    const std::vector<TrailRow> table = {
        {"a", 0, false},
        {"\x82\xa0", 0, false},
        {"\x82\xa0", 1, true},
        {"\x82\xa0\x82\xa2", 2, false},
        {"\x82\xa0\x82\xa2", 3, true},
        {"\x82\x82\x82\x41", 1, true},
        {"\x82\x82\x82\x41", 2, false},
        {"\x82\x82\x82\x41", 3, true},
        {"a\x82\x82\x41", 3, false},
        {"\xb1\xa2", 1, false},     // half-width katakana are single bytes
        {"\x9f\xe0\xfc", 1, true},  // the edges of both lead ranges
        {"\x9f\xe0\xfc", 2, false},
        {"\x80\xa0", 1, false},
        {"\xa0\xa0", 1, false},
        {"\xfd\x41", 1, false},
        {"\xe0\x41", 1, true},
    };
    for (const auto& row : table)
        EXPECT_EQ(IsTrailByte(row.text, row.pos), row.trail) << Hex(row.text) << " @" << row.pos;
}

struct FindRow {
    std::string text;
    std::string sub;
    int expected;
};

TEST(FindSubtextTest, SkipsOccurrencesOnTrailBytes) {
    const std::vector<FindRow> table = {
        {"", "", 0},
        {"abc", "", 0},
        {"", "a", 0},
        {"abcabc", "bc", 2},
        {"abcabc", "abc", 1},
        {"abc", "abcd", 0},
        {"abc", "B", 0},
        {"\x82\xa0\x82\xa2", "\xa2", 0},
        {"\xb1\xa2", "\xa2", 2},
        {"\x82\xa2\xa2", "\xa2", 3},
        {"\x82\x82\xa0", "\x82\xa0", 0},
        {"\x82\x82\x82\xa0", "\x82\xa0", 3},
        {Sjis("東京都の京都"), Sjis("京都"), 3},
        {std::string("a\0b", 3), "b", 3},
    };
    for (const auto& row : table)
        EXPECT_EQ(FindSubtext(row.text, row.sub), row.expected)
            << Hex(row.text) << " / " << Hex(row.sub);
}

}  // namespace
}  // namespace quellor
