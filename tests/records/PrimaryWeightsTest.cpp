// The looked-up primary weights must be exactly what the collator itself
// yields for the same text, or sorted files would come out in another order.
#include <gtest/gtest.h>
#include <unicode/ucoleitr.h>

#include <random>
#include <string>
#include <vector>

#include "records/Collation.h"
#include "records/Cp932.h"
#include "records/PrimaryWeights.h"
#include "tests/records/TestSupport.h"

namespace quellor {
namespace {

constexpr std::size_t kLimit = 40;

// The collator's own primary bytes of a whole text, walked element by element.
std::vector<std::uint8_t> CollatorPrimaries(std::string_view cp932, bool ignoreCase) {
    collation::U16Buffer text, scratch;
    collation::PrepareText(cp932, ignoreCase, text, scratch);
    UErrorCode status = U_ZERO_ERROR;
    UCollationElements* it = ucol_openElements(collation::Collator(), text.data(),
                                               static_cast<int32_t>(text.size()), &status);
    std::vector<std::uint8_t> bytes;
    for (int32_t ce; (ce = ucol_next(it, &status)) != UCOL_NULLORDER && U_SUCCESS(status);) {
        const auto primary = static_cast<std::uint32_t>(ucol_primaryOrder(ce));
        if (primary >> 8) bytes.push_back(static_cast<std::uint8_t>(primary >> 8));
        if (primary & 0xFF) bytes.push_back(static_cast<std::uint8_t>(primary & 0xFF));
    }
    ucol_closeElements(it);
    if (bytes.size() > kLimit) bytes.resize(kLimit);
    return bytes;
}

// Random texts over the whole code page: every single byte and every lead
// byte with every second byte, with kana and prolonged sound marks often,
// since those carry the context rules.
std::string RandomText(std::mt19937& rng) {
    static const std::vector<std::string> kana = {test::Sjis("ー"),
                                                  test::Sjis("ゝ"),
                                                  test::Sjis("ゞ"),
                                                  test::Sjis("ヽ"),
                                                  test::Sjis("カ"),
                                                  test::Sjis("あ"),
                                                  test::Sjis("ｰ"),
                                                  test::Sjis("ｶ"),
                                                  test::Sjis("・"),
                                                  "L",
                                                  "l"};
    std::string text;
    const int chars = static_cast<int>(rng() % 24);
    for (int c = 0; c < chars; ++c) {
        const unsigned pick = rng() % 10;
        if (pick < 3) {
            text += kana[rng() % kana.size()];
        } else if (pick < 6) {
            text += static_cast<char>(rng() % 256);
        } else {
            unsigned lead = 0x81 + rng() % 60;
            if (lead > 0x9F) lead += 0xE0 - 0xA0;
            text += static_cast<char>(lead);
            text += static_cast<char>(rng() % 256);
        }
    }
    return text;
}

TEST(PrimaryWeightsTest, LookedUpWeightsAgreeWithTheCollator) {
    std::mt19937 rng(932);
    int lookedUp = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(rng);
        const bool ignoreCase = round % 2 == 0;
        std::uint8_t key[kLimit];
        std::size_t size = 0;
        if (!PrimaryWeights::Get(ignoreCase).Prefix(text, key, kLimit, &size)) continue;
        ++lookedUp;
        const std::vector<std::uint8_t> got(key, key + size);
        ASSERT_EQ(got, CollatorPrimaries(text, ignoreCase)) << test::Hex(text);
    }
    // Most texts must take the fast way, or the table would be pointless.
    EXPECT_GT(lookedUp, 5000);
}

TEST(PrimaryWeightsTest, ContextRulesAreLeftToTheCollator) {
    std::uint8_t key[kLimit];
    std::size_t size = 0;
    // A prolonged sound mark takes its weight from the kana before it.
    EXPECT_FALSE(PrimaryWeights::Get(true).Prefix(test::Sjis("カー"), key, kLimit, &size));
    // The same mark beyond a full key is never reached.
    const std::string longName(60, 'a');
    EXPECT_TRUE(PrimaryWeights::Get(true).Prefix(longName + test::Sjis("ー"), key, kLimit, &size));
    EXPECT_EQ(size, kLimit);
}

}  // namespace
}  // namespace quellor
