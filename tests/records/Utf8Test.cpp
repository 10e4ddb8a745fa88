// UTF-8 text beside code page 932: which a text is, and where its characters
// begin when lines are rewritten and matched.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "records/Encoding.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor {
namespace {

using test::Fill;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;

TEST(Utf8Test, TheBytesDecideTheEncodingAndHowNamesShow) {
    const Strings cp932 = {"", "a,b\r\n", Sjis("東京,ｱｲｳ"), "\xC0\xAF", "\xED\xA0\x80", "\xE5\xB8"};
    for (const auto& t : cp932) EXPECT_EQ(DetectEncoding(t), Encoding::Cp932) << test::Hex(t);
    for (const auto& t : {"\xEF\xBB\xBF"
                          "a",
                          "\xEF\xBB\xBF\x93\x8C", "市,い"}) {
        EXPECT_EQ(DetectEncoding(t), Encoding::Utf8) << test::Hex(t);
    }
    EXPECT_EQ(PathForShow("/t/名簿"), "/t/名簿");
    EXPECT_EQ(PathForShow("/t/\xFF" + Sjis("名簿")), "/t/\\xFF名簿");
}

// Long runs of Japanese text are checked sixteen bytes at a time; a
// character cut by a block's end, or an odd one inside a run, must count as
// in the check byte by byte. Seven characters against eight stray bytes
// read as code page 932 (a wide character counted twice would tip it).
TEST(Utf8Test, RunsOfJapaneseCountAsCharacterByCharacter) {
    const std::string five = "あいうえお";  // fifteen bytes: the sixth character is cut at 16
    const struct {
        std::string text;
        Encoding encoding;
    } rows[] = {
        {five + "かき" + std::string(8, '\xFF'), Encoding::Cp932},
        {five + "かきく" + std::string(8, '\xFF'), Encoding::Utf8},
        {"x" + five + "か\xE3\x81" + five, Encoding::Utf8},
        {five + "\xED\xA0\x80" + five, Encoding::Utf8},  // a surrogate: three strays
        {five + "\xE0\x80\x80" + five, Encoding::Utf8},  // overlong: three strays
        {five + "é€𠀋" + five + five + "a", Encoding::Utf8},
        {five + five + "\xE3", Encoding::Utf8},
        {"ab" + five + "\x81\x80" + five + five, Encoding::Utf8},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DetectEncoding(row.text), row.encoding) << test::Hex(row.text);
        EncodingGuess guess;
        guess.Feed("ascii");
        guess.Feed(row.text);
        EXPECT_EQ(guess.Guess(), row.encoding) << test::Hex(row.text);
    }
}

// A lead byte right before a comma takes the comma as its second byte in
// code page 932; in UTF-8 the comma begins a character of its own. The
// sort's fast rewrite must see both.
TEST(Utf8Test, SortRewriteFindsCommasOnlyWhereCharactersBegin) {
    TStringListEx cp932;
    Fill(cp932, {"b\x82,a", "a\x82,b"});
    SortByField(cp932, 0, 1, Encoding::Cp932);
    EXPECT_EQ(Lines(cp932), (Strings{"a\x82,b", "b\x82,a"}));

    TStringListEx utf8;
    Fill(utf8, {"\"c い\",c", "b市,a", "a市,b"});
    SortByField(utf8, 1, 2, Encoding::Utf8);
    EXPECT_EQ(Lines(utf8), (Strings{"b市,a", "a市,b", "\"c い\",c"}));
}

// A byte outside any UTF-8 sequence is a character of its own, the
// replacement character, which sorts after the letters; it is not skipped.
TEST(Utf8Test, AStrayByteSortsAsTheReplacementCharacter) {
    TStringListEx utf8;
    Fill(utf8, {"a\xFF"
                "b",
                "az", "ab"});
    SortByField(utf8, 0, 1, Encoding::Utf8);
    EXPECT_EQ(Lines(utf8), (Strings{"ab", "az",
                                    "a\xFF"
                                    "b"}));
}

TEST(Utf8Test, MatchesBeginOnCharacters) {
    TStringListEx fields;
    Fill(fields, {"大阪市"});
    // 0x82 is the last byte of 市: no character begins there.
    EXPECT_FALSE(fields.MatchField("\x82", 0, MatchMode::Contains, Encoding::Utf8));
    EXPECT_FALSE(fields.MatchField("\x82", 0, MatchMode::EndsWith, Encoding::Utf8));
    EXPECT_TRUE(fields.MatchField("市", 0, MatchMode::EndsWith, Encoding::Utf8));
}

}  // namespace
}  // namespace quellor
