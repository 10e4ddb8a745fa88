// SplitFields and JoinFields held against literal versions of their steps on
// random lines full of blanks, quotes, commas and stray lead bytes.
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

using test::Fill;
using test::Hex;
using test::Lines;
using Fields = std::vector<std::string>;

bool Lead(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
}

bool Blank(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x01 && b <= 0x20;
}

std::size_t Next(std::string_view text, std::size_t p) {
    return Lead(text[p]) && p + 1 < text.size() ? p + 2 : p + 1;
}

std::string ModelQuoted(std::string_view text, std::size_t& p, char q) {
    std::string field;
    p += 1;
    while (p < text.size()) {
        if (text[p] == q) {
            if (p + 1 < text.size() && text[p + 1] == q) {
                field += q;
                p += 2;
                continue;
            }
            p += 1;
            return field;
        }
        const std::size_t next = Next(text, p);
        field.append(text.substr(p, next - p));
        p = next;
    }
    return field;
}

Fields ModelSplit(std::string_view line, char q) {
    const std::string_view text = line.substr(0, line.find('\0'));
    Fields fields;
    std::size_t p = 0;
    auto skipBlanks = [&] {
        while (p < text.size() && Blank(text[p])) p = Next(text, p);
    };
    skipBlanks();
    while (p < text.size()) {
        if (q != 0 && text[p] == q) {
            fields.push_back(ModelQuoted(text, p, q));
        } else {
            const std::size_t start = p;
            while (p < text.size() && !Blank(text[p]) && text[p] != ',') p = Next(text, p);
            fields.emplace_back(text.substr(start, p - start));
        }
        skipBlanks();
        if (p < text.size() && text[p] == ',') {
            if (p + 1 == text.size()) fields.emplace_back();
            p += 1;
            skipBlanks();
        }
    }
    return fields;
}

std::string ModelJoin(const Fields& fields, char q) {
    if (fields.size() == 1 && fields[0].empty()) return std::string(2, q);
    std::string line;
    for (const auto& field : fields) {
        bool quote = false;
        for (std::size_t p = 0; p < field.size(); p = Next(field, p))
            quote = quote || Blank(field[p]) || field[p] == q || field[p] == ',';
        if (quote && q != 0) {
            line += q;
            for (std::size_t p = 0; p < field.size();) {
                const std::size_t next = Next(field, p);
                if (field[p] == q) line += q;
                line.append(field, p, next - p);
                p = next;
            }
            line += q;
        } else {
            line += field;
        }
        line += ',';
    }
    if (!line.empty()) line.pop_back();
    return line;
}

std::string RandomText(std::mt19937& rng, std::size_t maxLength, bool withNul) {
    static const std::string alphabet =
        std::string("aab,,\"\"\" \t\x1a\x7f\x81\x82\xa0\xb1\xe0\xfc\x40") + '\0';
    std::string text;
    for (std::size_t n = rng() % (maxLength + 1); n > 0; --n) {
        char c = alphabet[rng() % alphabet.size()];
        if (c == '\0' && !withNul) c = 'z';
        text += c;
    }
    return text;
}

TEST(FieldCodecModelTest, SplitAgreesOnRandomLines) {
    std::mt19937 rng(932);
    TStringList plain, quoted;
    for (int round = 0; round < 20000; ++round) {
        const std::string line = RandomText(rng, 24, round % 3 == 0);
        SplitFields(plain, line, PlainCsv(Encoding::Cp932));
        SplitFields(quoted, line, QuotedCsv(Encoding::Cp932));
        ASSERT_EQ(Lines(plain), ModelSplit(line, 0)) << Hex(line);
        ASSERT_EQ(Lines(quoted), ModelSplit(line, '"')) << Hex(line);
    }
}

// Lines read in place must give both splitters' fields, or be left to them:
// commas, quotes, blanks and NULs here mostly follow a lead byte.
TEST(FieldCodecModelTest, PlainFieldsAgreeWithTheSplitters) {
    const std::string alphabet = std::string("ab,,\x81\x82\xa0\xb1\xe0\xfc\x40\" ") + '\0';
    std::mt19937 rng(257);
    PlainFields plain;
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        // Long enough for runs of lead bytes across the scanner's blocks.
        for (std::size_t n = rng() % 150; n > 0; --n) {
            const std::size_t k = rng() % alphabet.size();
            // The last three (quote, blank, NUL) only after a lead byte, but for one line in forty.
            if (k + 3 >= alphabet.size() && (line.empty() || !Lead(line.back())) && rng() % 40 != 0)
                continue;
            line += alphabet[k];
        }
        if (!plain.Find(line, Encoding::Cp932)) continue;
        ++found;
        Fields fields;
        for (int i = 0; i < plain.Count(); ++i) fields.emplace_back(plain.Get(i));
        ASSERT_EQ(fields, ModelSplit(line, '"')) << Hex(line);
        ASSERT_EQ(fields, ModelSplit(line, 0)) << Hex(line);
    }
    EXPECT_GT(found, 3000);
}

TEST(FieldCodecModelTest, JoinAgreesOnRandomFieldLists) {
    std::mt19937 rng(1207);
    TStringList list;
    for (int round = 0; round < 20000; ++round) {
        Fields fields(rng() % 5);
        for (auto& field : fields) field = RandomText(rng, 6, false);
        Fill(list, fields);
        ASSERT_EQ(Hex(JoinFields(list, QuotedCsv(Encoding::Cp932))), Hex(ModelJoin(fields, '"')));
    }
}

TEST(FieldCodecModelTest, WellFormedFieldsSurviveJoinAndSplit) {
    const Fields pieces = {"a", "Z", " ", "\t", ",", "\"", "\x82\xa0", "\xb1", "\x81\x40", "9"};
    std::mt19937 rng(4);
    TStringList list, back;
    for (int round = 0; round < 5000; ++round) {
        Fields fields(rng() % 5);
        for (auto& field : fields)
            for (int n = rng() % 4; n > 0; --n) field += pieces[rng() % pieces.size()];
        Fill(list, fields);
        const std::string joined = JoinFields(list, QuotedCsv(Encoding::Cp932));
        SplitFields(back, joined, QuotedCsv(Encoding::Cp932));
        ASSERT_EQ(Lines(back), fields) << Hex(joined);
    }
}

}  // namespace
}  // namespace quellor
