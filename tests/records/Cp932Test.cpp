#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Cp932.h"

namespace quellor {
namespace {

using test::Hex;

struct DecodeRow {
    std::string bytes;
    std::u16string text;
};

TEST(Cp932Test, DecodesCharacterByCharacter) {
    const std::vector<DecodeRow> table = {
        {"", u""},
        {"abc", u"abc"},
        {"\x82\xa0", u"あ"},
        {"\xb1\xdf", u"ｱﾟ"},
        {"\x1a\x1c\x7f", u"\x1a\x1c\x7f"},  // control bytes stay themselves
        {"\x87\x90\x81\xe0", u"≒≒"},
        {"\x81\x5f", u"＼"},
        {"\x82", u"\xfffd"},  // a lead byte at the end
        {"a\x82", u"a\xfffd"},
        {"\x81\x20"
         "b",
         u"\xfffd"
         "b"},  // a bad pair is one character
        {"\x82\x2c", u"\xfffd"},
        {"\x80\xa0\xfd", u"\xfffd\xfffd\xfffd"},
    };
    for (const auto& row : table) EXPECT_EQ(DecodeCp932(row.bytes), row.text) << Hex(row.bytes);
}

TEST(Cp932Test, AppendsAndCountsUnits) {
    std::u16string out = u"x";
    EXPECT_EQ(DecodeCp932("\x82\xa0z", out), 2u);
    EXPECT_EQ(out, u"xあz");
}

TEST(Cp932Test, ToUtf8ForShowing) {
    EXPECT_EQ(Cp932ToUtf8("\x93\x8c\x8b\x9e,\xb1"), "東京,ｱ");
    EXPECT_EQ(Cp932ToUtf8("\x82"), "\xef\xbf\xbd");
}

TEST(Cp932Test, LeadBytesAndCharacterLength) {
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
        EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)), lead) << b;
    }
    EXPECT_EQ(CharLength("\x82\xa0", 0), 2u);
    EXPECT_EQ(CharLength("\x82", 0), 1u);
    EXPECT_EQ(CharLength("a\x82", 1), 1u);
    EXPECT_EQ(CharLength("\xb1\xa2", 0), 1u);
}

}  // namespace
}  // namespace quellor
