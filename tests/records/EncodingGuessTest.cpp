// Which encoding a short file is read in, when its bytes could be either:
// the lines of a one- or two-line file, written once as UTF-8 and once
// converted to code page 932, must each be read in the encoding they were written in.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "records/Encoding.h"

namespace quellor {
namespace {

using test::Hex;
using test::Sjis;
using Lines = std::vector<std::string>;

// What the user sees: the encoding, or the refusal naming a line.
struct Verdict {
    Encoding Read;
    bool Refused;
    std::int64_t StrayLine;
    bool operator==(const Verdict&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Verdict& v) {
    return out << (v.Read == Encoding::Utf8 ? "UTF-8" : "CP932") << (v.Refused ? " refused" : "")
               << " stray line " << v.StrayLine;
}

Verdict Of(const EncodingGuess& guess) {
    return {guess.Guess(), guess.MostlyUtf8(), guess.MostlyUtf8() ? guess.FirstStrayLine() : 0};
}

EncodingGuess Fed(const Lines& lines, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    EncodingGuess guess;
    for (std::size_t i = from; i < std::min(to, lines.size()); ++i) guess.Feed(lines[i]);
    return guess;
}

std::string Shown(const Lines& lines) {
    std::string out;
    for (const auto& line : lines) out += Hex(line) + " | ";
    return out;
}

// Names, addresses, product lines, half-width katakana and mixtures. The
// first rows were refused or read as UTF-8 when written in code page 932;
// the later ones are UTF-8 texts that code page 932 also reads whole.
TEST(EncodingGuessTest, ShortFilesAreReadInTheEncodingTheyWereWrittenIn) {
    const Lines files[] = {
        {"3153,丸井商店"},
        {"7662,ﾂｷﾙｲ"},
        {"40257,丸井物産"},
        {"丸の内"},
        {"ﾂｼﾞｽﾄｱ"},
        {"ｼﾐｽﾞｽﾄｱ"},
        {"58970,ﾉｰﾄA4"},
        {"ZZ-14304,ﾊﾔｼ ﾀﾛｳ"},
        {"ﾀﾅｶ ﾊﾅｺ", "ﾀﾅｶ ﾕｳｺ"},
        {"B-5065,ﾖｼﾀﾞｽﾄｱ", "B-5066,ﾂｷﾙｲ"},
        {"3153,丸井商店", "7662,ﾂｷﾙｲ"},
        {"山田 ﾀﾛｳ,東京ｽﾄｱ"},
        {"高橋商店,ﾀｶﾊｼｼｮｳﾃﾝ"},
        {"A-1024,コピー用紙Ａ４,500", "\"1,200\",りんご"},
        {"㈱月島商事,髙橋 誠"},
        {"A-88103,イトウハナコ"},
        {"ヤマザキ運輸"},
        {"82966,岡田製作所"},
        {"X-80115,吉田㈱"},
        {"神奈川県横浜市西区みなとみらい3-3-1"},
        {"新宿区西新宿2-8-1", "京都府京都市下京区"},
        {"渡辺 翔太"},
        {"A-3349,歯ブラシ", "28438,食パン"},
        {"51921,タナカ サクラ"},
    };
    for (const Lines& utf8 : files) {
        Lines cp932;
        for (const auto& line : utf8) cp932.push_back(Sjis(line));
        EXPECT_EQ(Of(Fed(cp932)), (Verdict{Encoding::Cp932, false, 0})) << utf8.front();
        EXPECT_EQ(Of(Fed(utf8)), (Verdict{Encoding::Utf8, false, 0})) << utf8.front();
    }
}

// What the guess did before still holds where the text is clear: a UTF-8
// file with a stray byte is refused, naming its line; half-width katakana
// that pair up into Latin-1 letters stay code page 932; a Latin-1 letter
// beside kanji is UTF-8.
TEST(EncodingGuessTest, StrayBytesInUtf8AndKatakanaAsLatinLettersReadAsBefore) {
    Lines long_(600, "東京,x");
    long_.insert(long_.end(), {Sjis("ア,y"), "A,z"});
    const struct {
        Lines Text;
        Verdict Expected;
    } rows[] = {
        {long_, {Encoding::Utf8, true, 601}},
        {{"東京都千代田区丸の内1-2-3", Sjis("ア")}, {Encoding::Utf8, true, 2}},
        {{Sjis("ﾃｱ,1"), Sjis("ﾂｱ,2")}, {Encoding::Cp932, false, 0}},
        {{"café,1", "東京,2"}, {Encoding::Utf8, false, 0}},
    };
    for (const auto& row : rows) EXPECT_EQ(Of(Fed(row.Text)), row.Expected) << Shown(row.Text);
}

// A file read on two threads is guessed in two halves; joined, they must
// give what one pass gives, wherever the cut falls.
TEST(EncodingGuessTest, TwoHalvesJoinedGiveTheVerdictOfOnePass) {
    Lines stray(20, "大阪府大阪市北区梅田２丁目");
    stray[12] = Sjis("梅田");
    const Lines files[] = {
        {Sjis("3153,丸井商店"), Sjis("7662,ﾂｷﾙｲ"), "x", Sjis("ﾀﾅｶ ﾊﾅｺ")},
        {"A-88103,イトウハナコ", "ヤマザキ運輸", "x", "渡辺 翔太"},
        {Sjis("ﾃｱ,1"), "x", Sjis("ﾂｱ,2")},
        stray,
        {"\xFF", "あ", "\xFF", "い", "\xFF", "う", "\xFF\xFF\xFF\xFF\xFF\xFF", "え"},
    };
    for (const Lines& lines : files) {
        const Verdict whole = Of(Fed(lines));
        for (std::size_t cut = 0; cut <= lines.size(); ++cut) {
            EncodingGuess first = Fed(lines, 0, cut);
            first.Join(Fed(lines, cut));
            EXPECT_EQ(Of(first), whole) << Shown(lines) << " cut at " << cut;
            EXPECT_EQ(first.FirstStrayLine(), Fed(lines).FirstStrayLine()) << cut;
        }
    }
}

}  // namespace
}  // namespace quellor
