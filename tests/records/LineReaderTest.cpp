#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Exceptions.h"
#include "records/LineFiles.h"

namespace quellor {
namespace {

using namespace std::string_literals;
using test::Hex;
using test::Lines;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

class LineReaderTest : public test::TempDirTest {
  protected:
    // Reads the way the preview does: AtEnd before every NextLine.
    Strings ReadAll(std::string_view bytes, std::size_t limit = 1000) {
        LineReader reader;
        reader.Open(WriteBytes("in.csv", bytes));
        Strings lines;
        while (lines.size() < limit && !reader.AtEnd()) lines.push_back(reader.NextLine());
        reader.Close();
        return lines;
    }
};

struct ReadRow {
    std::string bytes;
    Strings lines;
};

TEST_F(LineReaderTest, CrLfCtrlZAndNulRules) {
    const std::vector<ReadRow> table = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb\r\n\r\n", {"a", "b", ""}},
        {"a\nb\n", {"a", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\rb\r\nx", {"ab", "x"}},
        {"a\r\r\nb", {"a", "b"}},
        {"a\r", {"a"}},
        {"\r", {""}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\r\n\x1a", {"a"}},
        {"a\r\n\x1a"
         "b\r\nc",
         {"a"}},
        {"\x1a"
         "abc",
         {}},
        {"a\x1a"
         "b",
         {"a\x1a"
          "b"}},
        {"a\r\x1a"
         "b",
         {"a\x1a"
          "b"}},
        {"a\0b\r\nc"s, {"a\0b"s, "c"}},
        {"\0\r\n\0"s, {"\0"s, "\0"s}},
        {"x\r\nb\0c\r\nd"s, {"x", "b\0c"s, "d"}},
    };
    for (const auto& row : table) EXPECT_EQ(ReadAll(row.bytes), row.lines) << Hex(row.bytes);
}

TEST_F(LineReaderTest, LinesAcrossBlockBoundaries) {
    const std::string l127(127, 'a'), l128(128, 'b'), l129(129, 'c'), l300(300, 'd');
    EXPECT_EQ(ReadAll(l127 + "\r\n" + l128 + "\r\n" + l129 + "\n" + l300),
              (Strings{l127, l128, l129, l300}));
    // CR is the last byte of the first block, LF the first of the second.
    EXPECT_EQ(ReadAll(l127 + "\r\nz"), (Strings{l127, "z"}));
    // A lone CR at the block's end is dropped; the line goes on.
    EXPECT_EQ(ReadAll(l127 + "\rx\r\ny"), (Strings{l127 + "x", "y"}));
    // A Ctrl-Z that begins a line right at the start of the second block.
    EXPECT_EQ(ReadAll(std::string(126, 'e') + "\r\n\x1a"
                                              "more"),
              Strings{std::string(126, 'e')});
    EXPECT_EQ(ReadAll(std::string(254, 'f') + "\r\n"), Strings{std::string(254, 'f')});
    EXPECT_EQ(ReadAll(std::string(255, 'g') + "\r\n\r\n"), (Strings{std::string(255, 'g'), ""}));
}

TEST_F(LineReaderTest, NextLineWithoutAtEnd) {
    LineReader reader;
    reader.Open(WriteBytes("empty.csv", ""));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "");
    EXPECT_EQ(reader.NextLine(), "");
    reader.Close();

    reader.Open(WriteBytes("z.csv",
                           "\x1a"
                           "abc\r\n"));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "");
    reader.Close();

    reader.Open(WriteBytes("one.csv", "a,b\r\nc"));
    EXPECT_EQ(reader.NextLine(), "a,b");
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_FALSE(reader.AtEnd());  // asking consumes nothing
    EXPECT_EQ(reader.NextLine(), "c");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextLine(), "");
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
}

struct OpenErrorRow {
    std::string path;
    int code;
    std::string message;
};

TEST_F(LineReaderTest, OpenErrorsCarryCodeAndMessage) {
    WriteBytes("plain.csv", "a");
    fs::create_directory(PathOf("sub"));
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);  // nobody writes: must not hang
    const std::vector<OpenErrorRow> table = {
        {PathOf("missing.csv"), 2, "ファイルが見つかりません"},
        {PathOf("plain.csv/x.csv"), 3, "不正なファイル名です"},
        {PathOf(std::string(300, 'n') + ".csv"), 3, "不正なファイル名です"},
        {PathOf("sub"), 5, "ファイルへのアクセスが拒否されました"},
        {PathOf("pipe"), 5, "ファイルへのアクセスが拒否されました"},
        {"/dev/zero", 5, "ファイルへのアクセスが拒否されました"},
    };
    for (const auto& row : table) {
        LineReader reader;
        try {
            reader.Open(row.path);
            ADD_FAILURE() << "no error for " << row.path;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.ErrorCode(), row.code) << row.path;
            EXPECT_EQ(std::string(e.what()), row.message) << row.path;
        }
        EXPECT_FALSE(reader.IsOpen()) << row.path;
    }
}

// A folder that does not exist is the path-not-found case, not file-not-found.
// Linux reports a missing folder as ENOENT, the same as a missing file.
TEST_F(LineReaderTest, OpenInMissingFolderIsFileNotFound) {
    LineReader reader;
    try {
        reader.Open(PathOf("nofolder/x.csv"));
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 2);
        EXPECT_EQ(std::string(e.what()), "ファイルが見つかりません");
    }
    EXPECT_FALSE(reader.IsOpen());
}

// Literal readers, byte by byte, to hold the library against on random files.
Strings ModelReader(const std::string& bytes) {
    Strings lines;
    std::size_t pos = 0;
    auto atEnd = [&] { return pos >= bytes.size() || bytes[pos] == '\x1a'; };
    while (!atEnd()) {
        std::string line;
        while (pos < bytes.size()) {
            char c = bytes[pos++];
            if (c == '\n') break;
            if (c == '\r') {
                if (pos < bytes.size() && bytes[pos] == '\n') {
                    ++pos;
                    break;
                }
                continue;
            }
            line += c;
        }
        lines.push_back(line);
    }
    return lines;
}

// The lines LoadLines gives; nulLine is set to the line that holds a NUL.
Strings ModelLoad(const std::string& bytes, int& nulLine) {
    Strings lines;
    nulLine = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n\0"s, pos);
        if (end == std::string::npos) end = bytes.size();
        if (end < bytes.size() && bytes[end] == '\0') {
            nulLine = static_cast<int>(lines.size()) + 1;
            return {};
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
    return lines;
}

std::string RandomFile(std::mt19937& rng) {
    const std::string alphabet = "aaaab,\x82\xa0\r\r\n\n\x1a"s + '\0';
    std::string bytes;
    const int length = static_cast<int>(rng() % 400);
    const bool withNul = rng() % 4 == 0;
    for (int i = 0; i < length; ++i) {
        char c = alphabet[rng() % alphabet.size()];
        if (c == '\0' && !withNul) c = 'c';
        if (c == '\x1a' && rng() % 3) c = 'd';
        bytes += c;
    }
    return bytes;
}

TEST_F(LineReaderTest, AgreesWithLiteralReadersOnRandomFiles) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = RandomFile(rng);
        EXPECT_EQ(ReadAll(bytes), ModelReader(bytes)) << Hex(bytes);
        int nulLine = 0;
        Strings expected = ModelLoad(bytes, nulLine);
        TStringList list;
        const std::string path = PathOf("in.csv");
        if (nulLine == 0) {
            LoadLines(list, path);
            EXPECT_EQ(Lines(list), expected) << Hex(bytes);
        } else {
            EXPECT_THROW_MESSAGE(
                LoadLines(list, path), EReadError,
                "ファイル " + path + " の" + std::to_string(nulLine) + "行目にNUL文字があります");
        }
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace quellor
