// The sort key read as a number: which fields are numbers, and their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/RecordList.h"
#include "records/Sort.h"

namespace quellor {
namespace {

using Strings = std::vector<std::string>;

// Fields as written in the file; "u:" only in UTF-8, "s:" only in code page 932.
// Numbers in ascending order of value, then fields that are not numbers.
// clang-format off
const char* const kNumbers[] = {
    "\"-1,234,567.5\"", "－１，０００", "u:−９９９", "-￥500円", "￥-400", "-.5", "-0",
    "\" 0.25 \"", "　0.3　", ".5", "1.", "1.50", "＋２", "+3", "３．５", "$12", "u:¥13",
    "s:\\14", "￥1，000円", "\"9,999,999\"", "12345678901234567890"};
const char* const kNotNumbers[] = {
    "", "abc", "\"1,23\"", "\"1234,567\"", "\"1,000,00\"", "\",100\"", "\"1,,000\"",
    "1.2.3", "--1", "1-", "\"- 1\"", "１円円", "1e5", "$", "円", ".", "u:\\15", "1.5\"\"\""};
// clang-format on

Strings SortedKeys(const Strings& lines, Encoding encoding, KeyOrder order) {
    TStringListEx list;
    test::Fill(list, lines);
    SortByField(list, 0, 2, encoding, {}, order);
    return test::Lines(list);
}

template <std::size_t N>
Strings Lines(const char* const (&fields)[N], Encoding encoding) {
    const std::string_view other = encoding == Encoding::Utf8 ? "s:" : "u:";
    Strings lines;
    for (std::size_t i = 0; i < N; ++i) {
        std::string_view field = fields[i];
        if (field.starts_with(other)) continue;
        if (field.starts_with("s:") || field.starts_with("u:")) field.remove_prefix(2);
        const std::string line = std::string(field) + "," + std::to_string(i);
        lines.push_back(encoding == Encoding::Utf8 ? line : test::Sjis(line));
    }
    return lines;
}

TEST(NumericSortTest, NumbersComeByValueAndTheRestAfterInTextOrder) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Cp932}) {
        Strings expected = Lines(kNumbers, encoding);
        const Strings others = Lines(kNotNumbers, encoding);
        const Strings othersInTextOrder = SortedKeys(others, encoding, KeyOrder::Text);
        expected.insert(expected.end(), othersInTextOrder.begin(), othersInTextOrder.end());
        Strings input = expected;
        std::reverse(input.begin(), input.end());
        std::rotate(input.begin(), input.begin() + 7, input.end());
        EXPECT_EQ(SortedKeys(input, encoding, KeyOrder::Number), expected)
            << (encoding == Encoding::Utf8 ? "UTF-8" : "code page 932");
    }
}

// Past the 24 digits a key holds, and past an exponent of 32000, the digits decide.
TEST(NumericSortTest, LongNumbersAreOrderedByTheirDigits) {
    const std::string huge(33000, '0');
    const Strings ascending = {"-1234567890123456789012345678,a",
                               "-1234567890123456789012345677,a",
                               "0.1234567890123456789012345671,a",
                               "0.1234567890123456789012345672,a",
                               "123456789012345678901234567,a",
                               "123456789012345678901234568,a",
                               "1234567890123456789012345670,a",
                               "1" + huge + ",a",
                               "2" + huge + ",a",
                               "1" + huge + "0,a",
                               "1" + huge + "1,a"};
    for (const std::size_t turn : {std::size_t{0}, std::size_t{5}}) {
        Strings input = ascending;
        std::reverse(input.begin(), input.end());
        std::rotate(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(turn), input.end());
        EXPECT_EQ(SortedKeys(input, Encoding::Cp932, KeyOrder::Number), ascending) << turn;
    }
}

}  // namespace
}  // namespace quellor
