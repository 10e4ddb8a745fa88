// The record and field rules held against a literal, byte-by-byte reading
// of them on random texts full of blanks, tabs, quotes, delimiters, line
// breaks and stray lead bytes: the values, the bytes each field stood as,
// where the record ends, and the in-place reading of plain records.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "records/FieldCodec.h"
#include "records/RecordList.h"

namespace quellor {
namespace {

using test::Hex;
using Strings = std::vector<std::string>;

bool Lead(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
}
bool Break(char c) {
    return c == '\r' || c == '\n';
}
bool Padding(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(std::string s) {
    while (!s.empty() && Padding(s.back())) s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && Padding(s[i])) ++i;
    return s.substr(i);
}

struct Model {
    Strings values, raw;
    std::size_t end = 0;
    bool unclosed = false;
};

// One character after another, as the rules are written.
Model ModelRecord(std::string_view t, char d, bool cp932) {
    Model m;
    std::size_t p = 0;
    const auto plainEnd = [&](std::size_t i) {
        while (i < t.size() && !Break(t[i]) && t[i] != d) {
            i += cp932 && Lead(t[i]) && i + 1 < t.size() && !Break(t[i + 1]) ? 2u : 1u;
        }
        return i;
    };
    for (;;) {
        const std::size_t start = p;
        std::size_t q = p;
        while (q < t.size() && t[q] == ' ') ++q;
        std::size_t end;
        std::string value;
        if (q < t.size() && t[q] == '"') {
            std::size_t i = q + 1;
            bool closed = false;
            while (i < t.size()) {
                if (cp932 && Lead(t[i]) && i + 1 < t.size()) {
                    value.append(t.substr(i, 2));
                    i += 2;
                } else if (t[i] == '"' && i + 1 < t.size() && t[i + 1] == '"') {
                    value += '"';
                    i += 2;
                } else if (t[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                } else {
                    value += t[i++];
                }
            }
            if (!closed) {
                m.unclosed = true;
                end = t.size();
            } else {
                end = plainEnd(i);
                value += Trim(std::string(t.substr(i, end - i)));
            }
        } else {
            end = plainEnd(p);
            value = Trim(std::string(t.substr(p, end - p)));
        }
        m.values.push_back(value);
        m.raw.emplace_back(t.substr(start, end - start));
        if (end < t.size() && t[end] == d) {
            p = end + 1;
            continue;
        }
        m.end = end;
        return m;
    }
}

std::string RandomText(std::mt19937& rng) {
    static const Strings pieces = {"a",     "b",      " ",        "\t",   ",",    "\"",   "\"\"",
                                   "\r",    "\n",     "\r\n",     "\x81", "\x82", "\xa0", "\xb1",
                                   "\x81,", "\x81\"", "\x88\x9f", "x,y",  "\"q\""};
    std::string text;
    for (int n = static_cast<int>(rng() % 14); n > 0; --n) text += pieces[rng() % pieces.size()];
    return text;
}

TEST(FieldCodecModelTest, SplitAndRecordEndAgreeOnRandomTexts) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 40000; ++round) {
        const std::string text = RandomText(rng);
        const char d = round % 3 == 0 ? '\t' : ',';
        const bool cp932 = round % 5 != 0;
        const CsvDialect dialect(cp932 ? Encoding::Cp932 : Encoding::Utf8, d);
        const Model model = ModelRecord(text, d, cp932);
        const RecordEnd end = FindRecordEnd(text, 0, dialect);
        ASSERT_EQ(end.End, model.end) << Hex(text);
        ASSERT_EQ(end.Unclosed, model.unclosed) << Hex(text);
        const test::Split split = test::SplitOf(std::string_view(text).substr(0, end.End), dialect);
        ASSERT_EQ(split.values, model.values) << Hex(text);
        ASSERT_EQ(split.raw, model.raw) << Hex(text);
    }
}

// Records without a quote are read in place, by the same rules.
TEST(FieldCodecModelTest, PlainFieldsAgreeWithTheSplitter) {
    std::mt19937 rng(31);
    int inPlace = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = RandomText(rng);
        std::erase_if(text, [](char c) { return Break(c); });
        const CsvDialect dialect(Encoding::Cp932, round % 2 ? '\t' : ',');
        PlainFields plain;
        if (!plain.Find(text, dialect)) continue;
        ++inPlace;
        TStringListEx fields;
        SplitFields(fields, text, dialect);
        ASSERT_EQ(plain.Count(), fields.Count()) << Hex(text);
        bool padded = false;
        for (int i = 0; i < fields.Count(); ++i) {
            ASSERT_EQ(plain.Get(i), fields.Get(i)) << Hex(text);
            ASSERT_EQ(plain.Raw(i), fields.Raw(i)) << Hex(text);
            padded = padded || fields.Get(i) != fields.Raw(i);
        }
        // Told without looking at the fields one by one.
        std::size_t ends[kMaxPlainFields];
        bool told = false;
        FindPlainFieldEnds(text, dialect, ends, &told);
        ASSERT_EQ(told, padded) << Hex(text);
    }
    EXPECT_GT(inPlace, 1000);
}

}  // namespace
}  // namespace quellor
