// The list's sorting, the sort by field and the duplicate extraction held
// against plain reference versions on random CP932 data: records full of
// quotes, blanks and case twins, which the sort orders by their values and
// never rewrites.
#include <gtest/gtest.h>

#include <algorithm>
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

// The sort's order: the collator ignoring case, then the bytes, so that
// lines only letter case or width tell apart come in one order and
// identical lines stand together.
bool ReferenceBefore(const std::string& a, const std::string& b) {
    const int c = CompareLocale(a, b, true);
    return c != 0 ? c < 0 : a < b;
}

void ReferenceSortLines(Strings& lines) {
    std::sort(lines.begin(), lines.end(), ReferenceBefore);
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

void ExpectReferenceOrder(const Strings& input, const std::string& what) {
    Strings expected = input;
    ReferenceSortLines(expected);
    TStringList list;
    Fill(list, input);
    SortLines(list, Encoding::Cp932);
    EXPECT_EQ(Lines(list), expected) << what;
}

TEST(SortModelTest, SortLinesOrdersByCollatorThenBytes) {
    std::mt19937 rng(932);
    for (int count : {2, 3, 7, 50, 3000}) {
        ExpectReferenceOrder(RandomLines(rng, count), std::to_string(count) + " lines");
    }
}

TEST(SortModelTest, SortLinesOnSortedReversedAndEqualInput) {
    Strings ascending;
    for (int i = 0; i < 1000; ++i) ascending.push_back(i % 2 ? "k" : "K");
    std::mt19937 rng(7);
    Strings mixed = RandomLines(rng, 2000);
    ReferenceSortLines(mixed);
    Strings reversed(mixed.rbegin(), mixed.rend());
    for (const Strings& input : {ascending, mixed, reversed}) ExpectReferenceOrder(input, "");
}

// Few values repeated many times, some with case-only twins: identical lines
// are sorted as one, and the twins come in their bytes' order.
TEST(SortModelTest, ManyRepeatedLinesWithCaseTwins) {
    std::mt19937 rng(100);
    for (const auto& [values, count] : {std::pair{1u, 500}, {2u, 3000}, {100u, 30000}}) {
        Strings input;
        for (int i = 0; i < count; ++i) {
            const std::string value = "k" + std::to_string(rng() % values);
            input.push_back(rng() % 7 == 0 ? "K" + value.substr(1) : value);
        }
        ExpectReferenceOrder(input, std::to_string(values) + " values");
    }
}

// Runs that share their first words past the buffer's size, runs equal in
// every word that the collator settles, repeated lines among them, and one
// line repeated more often than the buffer holds.
TEST(SortModelTest, LinesSharingLongPrefixes) {
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
    ExpectReferenceOrder(input, "shared prefixes");
}

// Each record's form is its values joined by commas with the key field
// exchanged with the first; records are ordered by their forms, then by
// themselves, and come out as they went in.
Strings ReferenceSortByField(const Strings& records, int key, int expectedCount) {
    std::vector<std::pair<std::string, std::string>> keyed;
    TStringListEx fields;
    for (const auto& record : records) {
        SplitFields(fields, record, {});
        EXPECT_EQ(fields.Count(), expectedCount);
        std::string form;
        for (int k = 0; k < fields.Count(); ++k) {
            if (k > 0) form += ',';
            form += fields.Get(k == 0 ? key : k == key ? 0 : k);
        }
        keyed.emplace_back(form, record);
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return ReferenceBefore(a.first, b.first);
        return a.second < b.second;
    });
    Strings out;
    for (const auto& [form, record] : keyed) out.push_back(record);
    return out;
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
        SortByField(list, key, 4, {});
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
    SortByField(list, 1, 2, {});
    ReverseLines(list);
    auto moved = ExtractDuplicates(list);
    EXPECT_EQ(Lines(list), left);
    EXPECT_EQ(Lines(*moved), expectedMoved);
}

}  // namespace
}  // namespace quellor
