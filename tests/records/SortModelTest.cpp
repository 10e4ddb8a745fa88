// The list's sorting, the sort by field and the duplicate extraction held
// against literal step-by-step versions on random CP932 data.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "records/Compare.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor {
namespace {

using test::Fill;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;

// The seven steps, word for word, with swaps only.
void ReferenceQuickSort(std::string* lines, int left, int right) {
    auto compare = [&](int x, int y) { return CompareLocale(lines[x], lines[y], true); };
    int l = left;
    for (;;) {
        int i = l, j = right, p = (l + right) / 2;
        do {
            while (compare(i, p) < 0) ++i;
            while (compare(j, p) > 0) --j;
            if (i <= j) {
                std::swap(lines[i], lines[j]);
                if (p == i) {
                    p = j;
                } else if (p == j) {
                    p = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) ReferenceQuickSort(lines, l, j);
        l = i;
        if (l >= right) break;
    }
}

void ReferenceSortLines(Strings& lines) {
    if (lines.size() >= 2) ReferenceQuickSort(lines.data(), 0, static_cast<int>(lines.size()) - 1);
}

// Short lines from a small alphabet full of case-only and width-only twins.
Strings RandomLines(std::mt19937& rng, int count) {
    static const Strings alphabet = {"a",        "A",        "b",        "B",        "z",
                                     "Z",        "1",        ",",        "\"",       " ",
                                     Sjis("あ"), Sjis("ア"), Sjis("ｱ"),  Sjis("Ａ"), Sjis("ａ"),
                                     Sjis("東"), Sjis("ー"), "\x87\x90", "\x81\xe0"};
    Strings lines;
    for (int i = 0; i < count; ++i) {
        if (!lines.empty() && rng() % 5 == 0) {
            lines.push_back(lines[rng() % lines.size()]);
            continue;
        }
        std::string line;
        for (int n = static_cast<int>(rng() % 5); n > 0; --n)
            line += alphabet[rng() % alphabet.size()];
        lines.push_back(line);
    }
    return lines;
}

// SortLines must leave the lines exactly where the literal procedure does.
void ExpectProcedureOrder(const Strings& input, const std::string& what) {
    Strings expected = input;
    ReferenceSortLines(expected);
    TStringList list;
    Fill(list, input);
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(Lines(list), expected) << what;
}

TEST(SortModelTest, SortLinesFollowsTheProcedureExactly) {
    std::mt19937 rng(932);
    for (int count : {2, 3, 7, 50, 3000}) {
        ExpectProcedureOrder(RandomLines(rng, count), std::to_string(count) + " lines");
    }
}

TEST(SortModelTest, SortLinesOnSortedReversedAndEqualInput) {
    Strings ascending;
    for (int i = 0; i < 1000; ++i) ascending.push_back(i % 2 ? "k" : "K");
    std::mt19937 rng(7);
    Strings mixed = RandomLines(rng, 2000);
    ReferenceSortLines(mixed);
    Strings reversed(mixed.rbegin(), mixed.rend());
    for (const Strings& input : {ascending, mixed, reversed}) ExpectProcedureOrder(input, "");
}

// Few values repeated many times, some with case-only twins that the steps
// alone place: identical lines are sorted as one, and the rest must not move.
TEST(SortModelTest, ManyRepeatedLinesKeepTheProcedureOrder) {
    std::mt19937 rng(100);
    for (const auto& [values, count] : {std::pair{1u, 500}, {2u, 3000}, {100u, 30000}}) {
        Strings input;
        for (int i = 0; i < count; ++i) {
            const std::string value = "k" + std::to_string(rng() % values);
            input.push_back(rng() % 7 == 0 ? "K" + value.substr(1) : value);
        }
        ExpectProcedureOrder(input, std::to_string(values) + " values");
    }
}

// Without twins that only the steps can place, the keys' words decide: runs
// that share their first words past the buffer's size, runs equal in every
// word that the collator settles, repeated lines among them, and one line
// repeated more often than the buffer holds.
TEST(SortModelTest, LinesSharingLongPrefixesFollowTheProcedure) {
    std::mt19937 rng(48);
    Strings input;
    for (int i = 0; i < 7000; ++i) {
        const auto n = rng() % 100000;
        if (i % 10 == 0) {
            input.push_back("a-prefix-longer-than-any-key-" + std::to_string(n % 700));
        } else {
            input.push_back("shared-start-" + std::to_string(n));
        }
        if (i % 50 == 0) input.push_back(input[rng() % input.size()]);
        input.push_back("one-line-repeated-past-the-buffer");
    }
    ExpectProcedureOrder(input, "shared prefixes");
}

// Split, check, swap, join, sort, split, swap back, join.
Strings ReferenceSortByField(Strings lines, int key, int expectedCount) {
    TStringList scratch;
    for (auto& line : lines) {
        SplitFields(scratch, line, QuotedCsv(Encoding::Cp932));
        EXPECT_EQ(scratch.Count(), expectedCount);
        scratch.Exchange(0, key);
        line = JoinFields(scratch, QuotedCsv(Encoding::Cp932));
    }
    ReferenceSortLines(lines);
    for (auto& line : lines) {
        SplitFields(scratch, line, QuotedCsv(Encoding::Cp932));
        scratch.Exchange(key, 0);
        line = JoinFields(scratch, QuotedCsv(Encoding::Cp932));
    }
    return lines;
}

std::string RandomField(std::mt19937& rng) {
    static const Strings plain = {"a",        "A",        "b",       "B",          "1",
                                  Sjis("あ"), Sjis("ア"), Sjis("ｱ"), Sjis("東京"), "x\"y"};
    std::string field;
    for (int n = static_cast<int>(rng() % 3); n > 0; --n) field += plain[rng() % plain.size()];
    auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (char c : text) out += c == '"' ? std::string(2, c) : std::string(1, c);
        return out + "\"";
    };
    switch (rng() % 6) {
        case 0:
            return quoted(field + " " + field);
        case 1:
            return quoted(field + "," + field);
        case 2:
            return field.empty() ? field : " " + field + " ";
        case 3:
            return quoted(field);
        default:
            return field;
    }
}

Strings RandomRecords(std::mt19937& rng, int count, int fields) {
    Strings lines;
    for (int i = 0; i < count; ++i) {
        if (!lines.empty() && rng() % 4 == 0) {
            lines.push_back(lines[rng() % lines.size()]);
            continue;
        }
        std::string line = RandomField(rng);
        for (int f = 1; f < fields; ++f) line += "," + RandomField(rng);
        lines.push_back(line);
    }
    return lines;
}

TEST(SortModelTest, SortByFieldMatchesItsSteps) {
    std::mt19937 rng(20261207);
    for (int key : {0, 1, 3}) {
        const Strings input = RandomRecords(rng, 2000, 4);
        TStringListEx list;
        Fill(list, input);
        SortByField(list, key, 4, Encoding::Cp932);
        EXPECT_EQ(Lines(list), ReferenceSortByField(input, key, 4)) << "key " << key;
    }
}

// From the end: move each line that equals its upper neighbour, then reverse.
std::pair<Strings, Strings> ReferenceExtract(Strings lines) {
    Strings moved;
    for (int i = static_cast<int>(lines.size()) - 1; i >= 1; --i) {
        const auto at = lines.begin() + i;
        if (*at == at[-1]) {
            moved.push_back(*at);
            lines.erase(at);
        }
    }
    return {lines, Strings(moved.rbegin(), moved.rend())};
}

TEST(SortModelTest, ExtractDuplicatesMatchesItsSteps) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 4; ++round) {
        Strings input = RandomLines(rng, 3000);
        if (round % 2) ReferenceSortLines(input);
        TStringListEx list;
        Fill(list, input);
        auto moved = ExtractDuplicates(list);
        const auto [left, expectedMoved] = ReferenceExtract(input);
        EXPECT_EQ(Lines(list), left);
        EXPECT_EQ(Lines(*moved), expectedMoved);
    }
}

// A long list is compared in two halves: a value repeated across the middle
// still leaves one line, and the moved lines keep the list's order.
TEST(SortModelTest, LongListMovesEveryRepeat) {
    constexpr int kLines = 24001;
    Strings input, left, moved;
    for (int i = 0; i < kLines; ++i) {
        const std::string value = "v" + std::to_string(100000 + i / 7);
        (input.empty() || input.back() != value ? left : moved).push_back(value);
        input.push_back(value);
    }
    TStringListEx list;
    Fill(list, input);
    const auto extracted = ExtractDuplicates(list);
    EXPECT_EQ(Lines(list), left);
    EXPECT_EQ(Lines(*extracted), moved);
}

TEST(SortModelTest, SortedDescendingThenExtractedMatchesSteps) {
    std::mt19937 rng(31);
    const Strings input = RandomRecords(rng, 1500, 2);
    Strings expected = ReferenceSortByField(input, 1, 2);
    expected = Strings(expected.rbegin(), expected.rend());
    const auto [left, expectedMoved] = ReferenceExtract(expected);
    TStringListEx list;
    Fill(list, input);
    SortByField(list, 1, 2, Encoding::Cp932);
    ReverseLines(list);
    auto moved = ExtractDuplicates(list);
    EXPECT_EQ(Lines(list), left);
    EXPECT_EQ(Lines(*moved), expectedMoved);
}

}  // namespace
}  // namespace quellor
