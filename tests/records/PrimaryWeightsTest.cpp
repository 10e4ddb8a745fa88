// Sort keys are built from looked-up primary weights. Whenever two keys
// differ, they must order the two texts exactly as the collator itself
// does, or sorted files would come out in another order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "records/Compare.h"
#include "records/Cp932.h"
#include "records/PrimaryWeights.h"
#include "tests/records/TestSupport.h"

namespace quellor {
namespace {

constexpr std::size_t kLimit = 48;

// Random texts over the whole code page: every single byte and every lead
// byte with every second byte, with kana, prolonged sound marks, Greek and
// Cyrillic often, since context rules and script order touch those.
std::string RandomText(std::mt19937& rng) {
    static const std::vector<std::string> picks = {test::Sjis("ー"),
                                                   test::Sjis("ゝ"),
                                                   test::Sjis("カ"),
                                                   test::Sjis("あ"),
                                                   test::Sjis("ｰ"),
                                                   test::Sjis("ｶ"),
                                                   test::Sjis("・"),
                                                   test::Sjis("Α"),
                                                   test::Sjis("н"),
                                                   test::Sjis("東"),
                                                   "L",
                                                   "l",
                                                   "a",
                                                   "1",
                                                   ","};
    std::string text;
    const int chars = 1 + static_cast<int>(rng() % 6);
    for (int c = 0; c < chars; ++c) {
        const auto pick = static_cast<unsigned>(rng() % 10);
        if (pick < 4) {
            text += picks[rng() % picks.size()];
        } else if (pick < 6) {
            text += static_cast<char>(rng() % 256);
        } else {
            unsigned lead = 0x81 + static_cast<unsigned>(rng() % 60);
            if (lead > 0x9F) lead += 0xE0 - 0xA0;
            text += static_cast<char>(lead);
            text += static_cast<char>(rng() % 256);
        }
    }
    return text;
}

struct Key {
    bool ok;
    std::vector<std::uint8_t> bytes;
};

Key KeyOf(const std::string& text) {
    std::uint8_t key[kLimit];
    std::size_t size = 0;
    const bool ok = PrimaryWeights::Get(true).Prefix(text, key, kLimit, &size);
    return {ok, std::vector<std::uint8_t>(key, key + (ok ? size : 0))};
}

// Zero-padded comparison, as the sort makes it; 0 says nothing.
int KeyOrder(const Key& a, const Key& b) {
    const std::size_t n = std::max(a.bytes.size(), b.bytes.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = i < a.bytes.size() ? a.bytes[i] : 0;
        const int y = i < b.bytes.size() ? b.bytes[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

TEST(PrimaryWeightsTest, DifferingKeysOrderTextsAsTheCollatorDoes) {
    std::mt19937 rng(932);
    int decided = 0;
    for (int round = 0; round < 40000; ++round) {
        const std::string a = RandomText(rng), b = RandomText(rng);
        const Key ka = KeyOf(a), kb = KeyOf(b);
        if (!ka.ok || !kb.ok) continue;
        const int byKey = KeyOrder(ka, kb);
        if (byKey == 0) continue;
        ++decided;
        ASSERT_EQ(byKey, CompareLocale(a, b, true)) << test::Hex(a) << " / " << test::Hex(b);
    }
    // Most pairs must be decided by their keys, or the table would be pointless.
    EXPECT_GT(decided, 20000);
}

// Found by fuzzing: the collator puts kana before Cyrillic and Greek, which
// the raw element weights do not show.
TEST(PrimaryWeightsTest, ScriptOrderOfTheCollatorHolds) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"\x84\x7e\xb8", "\xbb\xab"},  // Cyrillic then kana
        {"\x83\x9f", "\xb1"},          // Greek alpha, half-width a
        {test::Sjis("東"), test::Sjis("Α")},
    };
    for (const auto& [a, b] : pairs) {
        const Key ka = KeyOf(a), kb = KeyOf(b);
        ASSERT_TRUE(ka.ok && kb.ok) << test::Hex(a);
        EXPECT_EQ(KeyOrder(ka, kb), CompareLocale(a, b, true)) << test::Hex(a);
    }
}

// Every double-byte character the code page holds, whatever its lead byte:
// along the collator's order the keys never go down.
TEST(PrimaryWeightsTest, KeysOfEveryDoubleByteCharacterFollowTheCollator) {
    std::vector<std::pair<std::string, Key>> chars;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC && IsLeadByte(static_cast<unsigned char>(lead));
             ++trail) {
            const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
            if (Key key = KeyOf(c); key.ok && DecodeCp932(c) != u"\uFFFD")
                chars.emplace_back(c, key);
        }
    }
    ASSERT_GT(chars.size(), 7000u);
    std::stable_sort(chars.begin(), chars.end(), [](const auto& x, const auto& y) {
        return CompareLocale(x.first, y.first, true) < 0;
    });
    for (std::size_t k = 1; k < chars.size(); ++k)
        ASSERT_LE(KeyOrder(chars[k - 1].second, chars[k].second), 0) << test::Hex(chars[k].first);
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
