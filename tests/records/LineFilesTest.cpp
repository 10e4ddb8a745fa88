#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "records/Cp932.h"
#include "records/Exceptions.h"
#include "records/LineFiles.h"

namespace quellor {
namespace {

using namespace std::string_literals;
using test::Fill;
using test::Hex;
using test::Lines;
using test::Sjis;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

class LineFilesTest : public test::TempDirTest {
  protected:
    Strings Load(std::string_view bytes, std::size_t parallelFrom = kParallelLoadFrom) {
        TStringList list;
        LoadLines(list, WriteBytes("in.csv", bytes), EncodingChoice::Auto, parallelFrom);
        return Lines(list);
    }
};

struct LoadRow {
    std::string bytes;
    Strings lines;
};

TEST_F(LineFilesTest, LoadCutsLinesByCrAndLf) {
    const std::vector<LoadRow> table = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb\r\n\r\n", {"a", "b", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\rb\r\nx", {"a", "b", "x"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"\n", {""}},
        {"\r", {""}},
        {"\r\n\r\n", {"", ""}},
        {"\n\n\n", {"", "", ""}},
        {"a\r\n\x1a", {"a", "\x1a"}},
        {"a\x1a"
         "b\r\nc",
         {"a\x1a"
          "b",
          "c"}},
        {"\x82\rX", {"\x82", "X"}},
        // The byte-order mark belongs to the file, not to its first line.
        {"\xef\xbb\xbf"
         "a,b\r\n",
         {"a,b"}},
        {"\xef\xbb\xbf", {}},
        {"\xef\xbb\xbf\r\nx", {"", "x"}},
        {Sjis("東京,大阪\r\nｱｲｳ"), {Sjis("東京,大阪"), Sjis("ｱｲｳ")}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Load(row.bytes), row.lines) << Hex(row.bytes);
        EXPECT_EQ(Load(row.bytes, 0), row.lines) << "two halves: " << Hex(row.bytes);
    }
}

// Cut in two at its middle, a file reads as it does in one pass: lines,
// encoding, and the line an error names.
TEST_F(LineFilesTest, LoadInTwoHalvesMatchesOnePass) {
    const std::string x10(10, 'x');
    const std::string path = PathOf("split.csv");
    const auto stray = [&](int line) {
        return "ファイル " + path + " はUTF-8として読みましたが、" + std::to_string(line) +
               "行目にUTF-8でないバイトがあります";
    };
    const auto nul = [&](int line) {
        return "ファイル " + path + " の" + std::to_string(line) + "行目にNUL文字があります";
    };
    struct Row {
        std::string bytes;
        Strings lines;
        Encoding encoding;
        std::string error;
    };
    const std::vector<Row> table = {
        {"ab\r\ncd", {"ab", "cd"}, Encoding::Cp932, ""},          // the middle cuts CR LF
        {"abc\rdef", {"abc", "def"}, Encoding::Cp932, ""},        // a lone CR at the middle
        {"ab\r\r\ncd", {"ab", "", "cd"}, Encoding::Cp932, ""},    // CR, then CR LF
        {"a\r\nbcdefgh", {"a", "bcdefgh"}, Encoding::Cp932, ""},  // no break past the middle
        {"\xef\xbb\xbf"
         "ab\r\ncd",
         {"ab", "cd"},
         Encoding::Utf8,
         ""},
        {"\xef\xbb\xbf"
         "a\nb",
         {"a", "b"},
         Encoding::Utf8,
         ""},
        {"a\r\nb\r\nc\r\nd\0"s, {}, Encoding::Cp932, nul(4)},
        {"a\0\r\nb\r\nc\0"s, {}, Encoding::Cp932, nul(1)},
        {"あいう\r\nb\r\nc\x80", {}, Encoding::Utf8, stray(3)},
        // The stray byte before the middle, the wide characters after it.
        {"\x80\r\n" + x10 + "\r\nあいう", {}, Encoding::Utf8, stray(1)},
        {"é\r\n" + x10 + "\r\né", {"é", x10, "é"}, Encoding::Cp932, ""},
        {"é\r\n" + x10 + "\r\n\xc2\xa0", {"é", x10, "\xc2\xa0"}, Encoding::Utf8, ""},
    };
    for (const auto& row : table) {
        WriteBytes("split.csv", row.bytes);
        TStringList list;
        Fill(list, {"kept"});
        try {
            const TextForm form = LoadLines(list, path, EncodingChoice::Auto, 0);
            EXPECT_EQ(row.error, "") << Hex(row.bytes);
            EXPECT_EQ(Lines(list), row.lines) << Hex(row.bytes);
            EXPECT_EQ(form.TextEncoding, row.encoding) << Hex(row.bytes);
        } catch (const EReadError& e) {
            EXPECT_EQ(std::string(e.what()), row.error) << Hex(row.bytes);
            EXPECT_EQ(Lines(list), Strings{"kept"}) << Hex(row.bytes);
        }
    }
}

// A long file's lines are joined into records in two halves at once, the
// second as if a record began at its first line. A quoted value that runs
// across the middle, with lines inside it that read as records of their
// own, must not fool the second half; errors and line numbers are those of
// one pass.
TEST_F(LineFilesTest, RecordsAcrossTheMiddleOfALongFile) {
    constexpr int kLines = 50000;
    for (const int open : {kLines / 2 - 1, kLines / 2, kLines / 2 + 1, 100, kLines - 3}) {
        const auto at = static_cast<std::size_t>(open);
        Strings lines;
        for (int i = 0; i < kLines; ++i) lines.push_back("\"r" + std::to_string(i) + "\",x");
        // Three lines of one value, the inner ones alike records with quotes.
        lines[at] = "q,\"a";
        lines[at + 1] = "\"\"b\",\"c\"\"";
        lines[at + 2] = "d\",z";
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        Strings records = lines;
        records[at] += "\r\n" + lines[at + 1] + "\r\n" + lines[at + 2];
        records.erase(records.begin() + open + 1, records.begin() + open + 3);
        TStringList list;
        const TextForm form = LoadLines(list, WriteBytes("long.csv", text), {}, 0);
        ASSERT_EQ(Lines(list), records) << open;
        EXPECT_EQ(form.Lines.LineOf(open), open + 1);
        EXPECT_EQ(form.Lines.LineOf(open + 1), open + 4);
        // Unclosed at the end, however the halves fall.
        EXPECT_THROW_MESSAGE(LoadLines(list, WriteBytes("open.csv", text + "\"tail\r\n")),
                             EReadError,
                             "ファイル " + PathOf("open.csv") + " の" + std::to_string(kLines + 1) +
                                 "行目で始まる引用符が閉じていません");
    }
}

TEST_F(LineFilesTest, LoadReadsLongLinesWhole) {
    const std::string l127(127, 'a'), l128(128, 'b'), l129(129, 'c'), l300(300, 'd');
    const std::string l5000 = std::string(4999, 'e') + "f";
    EXPECT_EQ(Load(l127 + "\r\n" + l128 + "\r\n" + l129 + "\n" + l300 + "\r" + l5000),
              (Strings{l127, l128, l129, l300, l5000}));
}

TEST_F(LineFilesTest, LoadReplacesWholeList) {
    TStringList list;
    Fill(list, {"old1", "old2", "old3"});
    LoadLines(list, WriteBytes("in.csv", "new\r\n"));
    EXPECT_EQ(Lines(list), Strings{"new"});
    LoadLines(list, WriteBytes("empty.csv", ""));
    EXPECT_EQ(list.Count(), 0);
}

struct NulRow {
    std::string bytes;
    int line;
};

TEST_F(LineFilesTest, LoadRefusesNulNamingItsLine) {
    const std::vector<NulRow> table = {
        {"\0"s, 1},
        {"\0abc"s, 1},
        {"abc\0"s, 1},
        {"a\r\nb\0c\r\nd"s, 2},
        {"a\r\n\0"s, 2},
        {"a\rb\0"s, 2},
        {"a\n\r\0"s, 3},
        {std::string(300, 'x') + "\r\n" + std::string(200, 'y') + "\r\n\r\nz\0"s, 4},
    };
    for (const auto& row : table) {
        const std::string path = WriteBytes("nul.csv", row.bytes);
        TStringList list;
        Fill(list, {"kept"});
        EXPECT_THROW_MESSAGE(
            LoadLines(list, path), EReadError,
            "ファイル " + path + " の" + std::to_string(row.line) + "行目にNUL文字があります");
        EXPECT_EQ(Lines(list), Strings{"kept"}) << Hex(row.bytes);
    }
}

TEST_F(LineFilesTest, LoadErrorsNameThePathAsGiven) {
    TStringList list;
    Fill(list, {"kept"});
    const std::string missing = dir_.string() + "/./missing.csv";
    EXPECT_THROW_MESSAGE(LoadLines(list, missing), EFOpenError,
                         "ファイル " + missing + " は開けません");
    const std::string noFolder = PathOf("nofolder/x.csv");
    EXPECT_THROW_MESSAGE(LoadLines(list, noFolder), EFOpenError,
                         "ファイル " + noFolder + " は開けません");
    fs::create_directory(PathOf("sub"));
    EXPECT_THROW_MESSAGE(LoadLines(list, PathOf("sub")), EFOpenError,
                         "ファイル " + PathOf("sub") + " は開けません");
    // A named pipe nobody writes to must not hang the program, nor a device
    // that never ends stream into memory.
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
    EXPECT_THROW_MESSAGE(LoadLines(list, PathOf("pipe")), EFOpenError,
                         "ファイル " + PathOf("pipe") + " は開けません");
    EXPECT_THROW_MESSAGE(LoadLines(list, "/dev/zero"), EFOpenError,
                         "ファイル /dev/zero は開けません");
    EXPECT_EQ(Lines(list), Strings{"kept"});
}

TEST_F(LineFilesTest, LoadHandlesJapaneseFileNames) {
    const std::string path = WriteBytes("東京データ.csv", "a,b\r\n");
    TStringList list;
    LoadLines(list, path);
    EXPECT_EQ(Lines(list), Strings{"a,b"});
}

TEST_F(LineFilesTest, FilesOfTwoGigabytesAreRefusedByNameButReaderReadsTheirStart) {
    const std::string path = WriteBytes("huge.csv", "a\r\nb\r\n");
    ASSERT_EQ(truncate(path.c_str(), 1LL << 31), 0);
    TStringList list;
    Fill(list, {"kept"});
    EXPECT_THROW_MESSAGE(LoadLines(list, path), EReadError,
                         "ファイル " + path + " は2GB以上あるため読み込めません");
    EXPECT_EQ(Lines(list), Strings{"kept"});
    LineReader reader;
    reader.Open(path);
    EXPECT_EQ(reader.NextLine(), "a");
    EXPECT_EQ(reader.NextLine(), "b");
    reader.Close();
}

TEST_F(LineFilesTest, SaveWritesCrLfAfterEveryLine) {
    TStringList list;
    Fill(list, {"a", "", Sjis("東京,ｵｵｻｶ"), "\x1a"});
    const std::string path = PathOf("out.csv.new");
    SaveLines(list, path);
    EXPECT_EQ(ReadBytes(path), "a\r\n\r\n" + Sjis("東京,ｵｵｻｶ") + "\r\n\x1a\r\n");
    EXPECT_EQ(Lines(list), (Strings{"a", "", Sjis("東京,ｵｵｻｶ"), "\x1a"}));
}

TEST_F(LineFilesTest, SaveEmptyListAndOneEmptyLine) {
    const std::string path = WriteBytes("out.csv", "previous contents\r\n");
    TStringList list;
    SaveLines(list, path);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    list.Add("");
    SaveLines(list, path);
    EXPECT_EQ(ReadBytes(path), "\r\n");
    EXPECT_EQ(Entries(), Strings{"out.csv"});
}

// Records of plain fields with stray bytes, and of quoted fields that hold
// commas, quotes and line breaks, come back as they were saved.
TEST_F(LineFilesTest, SaveThenLoadGivesTheSameRecords) {
    std::mt19937 rng(932);
    const std::string plain = "a \t\x1a\x7f\x81\x82\xa0\xb1\xe0\xfc";
    const std::vector<std::string> quoted = {"q", ",", "\"\"", "\r\n", "\n", " ", "\x82\xa0"};
    TStringList list;
    for (int i = 0; i < 500; ++i) {
        std::string record;
        for (int f = static_cast<int>(rng() % 4); f >= 0; --f) {
            if (!record.empty() || f % 2 == 1) record += ',';
            std::string field;
            if (rng() % 3 == 0) {
                field = "\"";
                for (int n = static_cast<int>(rng() % 6); n > 0; --n)
                    field += quoted[rng() % quoted.size()];
                field += "\"";
            } else {
                for (int n = static_cast<int>(rng() % 8); n > 0; --n)
                    field += plain[rng() % plain.size()];
                // A lead byte would take the comma after it for its second byte.
                if (!field.empty() && IsLeadByte(static_cast<unsigned char>(field.back())))
                    field += 'a';
            }
            record += field;
        }
        list.Add(record);
    }
    const std::string path = PathOf("round.csv");
    SaveLines(list, path);
    TStringList back;
    LoadLines(back, path);
    EXPECT_EQ(Lines(back), Lines(list));
}

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST_F(LineFilesTest, FilesAreReleasedOnEveryPath) {
    const std::string good = WriteBytes("good.csv", "a\r\nb\r\n");
    const std::string nul = WriteBytes("nul.csv", "a\0b"s);
    const std::string ro = WriteBytes("ro.csv", "old");
    ASSERT_EQ(chmod(ro.c_str(), 0444), 0);
    fs::create_directory(PathOf("sub"));
    const int before = OpenDescriptors();
    TStringList list;
    for (int i = 0; i < 20; ++i) {
        LoadLines(list, good);
        SaveLines(list, PathOf("out.csv"));
        EXPECT_THROW(LoadLines(list, nul), EReadError);
        EXPECT_THROW(LoadLines(list, PathOf("sub")), EFOpenError);
        EXPECT_THROW(SaveLines(list, ro), EFCreateError);
        EXPECT_THROW(SaveLines(list, PathOf("sub")), EFCreateError);
        LineReader reader;
        reader.Open(good);
        reader.NextLine();
        reader.Close();
        LineReader dropped;
        dropped.Open(good);
        EXPECT_THROW(LineReader().Open(PathOf("sub")), EInOutError);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

// Emptying a file in place keeps its permissions, and a new file gets the
// usual ones, so a result stays readable by whoever could read the input.
TEST_F(LineFilesTest, SaveKeepsOrGivesUsualPermissions) {
    TStringList list;
    Fill(list, {"x"});
    const mode_t mask = umask(022);
    umask(mask);
    const std::string fresh = PathOf("fresh.csv.new");
    SaveLines(list, fresh);
    struct stat st {};
    ASSERT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
    const std::string existing = WriteBytes("existing.csv.new", "old");
    ASSERT_EQ(chmod(existing.c_str(), 0640), 0);
    SaveLines(list, existing);
    ASSERT_EQ(stat(existing.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadBytes(existing), "x\r\n");
}

// What a failed save must leave behind: the old file as it was, nothing else.
class SaveFailureTest : public LineFilesTest {
  protected:
    void SetUp() override {
        LineFilesTest::SetUp();
        Fill(list_, {"new1", "new2", std::string(5000, 'n')});
    }
    TStringList list_;
};

TEST_F(SaveFailureTest, ReadOnlyFileIsNotReplaced) {
    const std::string path = WriteBytes("ro.csv", "old\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_THROW_MESSAGE(SaveLines(list_, path), EFCreateError,
                         "ファイル " + path + " を作成できません");
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(Entries(), Strings{"ro.csv"});
}

TEST_F(SaveFailureTest, MissingFolder) {
    const std::string path = PathOf("missing/out.csv");
    EXPECT_THROW_MESSAGE(SaveLines(list_, path), EFCreateError,
                         "ファイル " + path + " を作成できません");
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SaveFailureTest, PathNamingAFolder) {
    fs::create_directory(PathOf("sub"));
    WriteBytes("sub/inner.csv", "inner");
    const std::string path = PathOf("sub");
    EXPECT_THROW_MESSAGE(SaveLines(list_, path), EFCreateError,
                         "ファイル " + path + " を作成できません");
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(ReadBytes(PathOf("sub/inner.csv")), "inner");
    EXPECT_EQ(Entries(), Strings{"sub"});
}

// A file size limit makes the write itself fail part way.
TEST_F(SaveFailureTest, ShortWriteLeavesOldFileAndNoTemporary) {
    const std::string path = WriteBytes("out.csv", "old\r\n");
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    EXPECT_THROW_MESSAGE(SaveLines(list_, path), EWriteError,
                         "ファイル " + path + " への書き込みエラー");
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(Entries(), Strings{"out.csv"});
}

}  // namespace
}  // namespace quellor
