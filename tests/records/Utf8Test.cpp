// UTF-8 text beside code page 932: which a text is, and where its characters
// begin when lines are cut, rewritten and matched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Encoding.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"

namespace quellor {
namespace {

using test::Fill;
using test::Hex;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;

TEST(Utf8Test, TheBytesDecideTheEncoding) {
    const struct {
        std::string bytes;
        Encoding expected;
    } table[] = {
        {"", Encoding::Cp932},
        {"a,b\r\n", Encoding::Cp932},  // ASCII reads the same either way
        {"\xEF\xBB\xBF"
         "a",
         Encoding::Utf8},  // the mark alone decides
        {"\xEF\xBB\xBF" + Sjis("東京"), Encoding::Utf8},
        {"市,い", Encoding::Utf8},  // E5 B8 82 / E3 81 84: CP932 lead bytes last
        {Sjis("東京,ｱｲｳ"), Encoding::Cp932},
        {"\xC0\xAF", Encoding::Cp932},      // overlong
        {"\xED\xA0\x80", Encoding::Cp932},  // a surrogate
        {"\xE5\xB8", Encoding::Cp932},      // cut short
    };
    for (const auto& row : table)
        EXPECT_EQ(DetectEncoding(row.bytes), row.expected) << Hex(row.bytes);
}

TEST(Utf8Test, FileNamesAreShownLegibly) {
    EXPECT_EQ(PathForShow("/tmp/名簿.csv"), "/tmp/名簿.csv");
    EXPECT_EQ(PathForShow("/tmp/" + Sjis("名簿.csv")), "/tmp/名簿.csv");
    EXPECT_EQ(PathForShow("/tmp/\xFF" + Sjis("表")), "/tmp/\\xFF表");
}

// A lead byte right before a comma: in code page 932 it takes the comma as
// its second byte; in UTF-8 the comma begins a character of its own. The
// sort's fast rewrite must see both.
TEST(Utf8Test, SortRewriteFindsCommasOnlyWhereCharactersBegin) {
    TStringListEx cp932;
    Fill(cp932, {"b\x82,a", "a\x82,b"});
    cp932.SortByField(0, 1);
    EXPECT_EQ(Lines(cp932), (Strings{"a\x82,b", "b\x82,a"}));

    TStringListEx utf8;
    utf8.TextEncoding = Encoding::Utf8;
    Fill(utf8, {"\"c い\",c", "b市,a", "a市,b"});
    utf8.SortByField(1, 2);
    EXPECT_EQ(Lines(utf8), (Strings{"b市,a", "a市,b", "\"c い\",c"}));
}

TEST(Utf8Test, FieldsAndMatchesBeginOnCharacters) {
    TStringListEx fields;
    fields.TextEncoding = Encoding::Utf8;
    SplitFields(fields, "大阪市,\"港区, 東京\",い");
    EXPECT_EQ(Lines(fields), (Strings{"大阪市", "港区, 東京", "い"}));
    EXPECT_EQ(JoinFields(fields), "大阪市,\"港区, 東京\",い");
    // 0x82 is the last byte of 市: no character begins there.
    EXPECT_FALSE(fields.MatchField("\x82", 0, MatchMode::Contains));
    EXPECT_FALSE(fields.MatchField("\x82", 0, MatchMode::EndsWith));
    EXPECT_TRUE(fields.MatchField("市", 0, MatchMode::EndsWith));
    EXPECT_TRUE(fields.MatchField("港区", 1, MatchMode::StartsWith));
    EXPECT_TRUE(fields.MatchField("い", 2, MatchMode::Equals));
}

}  // namespace
}  // namespace quellor
