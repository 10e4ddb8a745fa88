// Any bytes as a file on disk, read by LoadLines (records, which may span
// the lines of quoted values) and by the LineReader (lines), and the loaded
// list saved and loaded again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/Messages.h"

namespace quellor::fuzz {
namespace {

bool Holds(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// The 1-based line of the first NUL, cut by LoadLines' rules (CR LF, CR, LF).
std::int64_t LineOfFirstNul(std::string_view bytes) {
    std::int64_t line = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') return line;
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return 0;
}

std::vector<std::string> LoadChecked(std::string_view bytes, const std::string& path,
                                     TextForm& form, bool& refused) {
    TStringList list;
    list.Add("before");
    try {
        form = LoadLines(list, path);
    } catch (const EReadError& e) {
        EncodingGuess guess;
        guess.Feed(bytes);
        const std::string_view unclosed = msg::kUnclosedQuote;
        if (e.Message().ends_with(unclosed.substr(unclosed.rfind("%d") + 2))) {
            // A quote still open at the end.
            FUZZ_CHECK(Holds(bytes, '"') && !Holds(bytes, '\0'), e.what());
        } else if (!Holds(bytes, '\0')) {
            // UTF-8 but for a few stray bytes: no encoding was guessed.
            FUZZ_CHECK(!bytes.starts_with(kUtf8Bom) && guess.MostlyUtf8(), e.what());
        } else {
            FUZZ_CHECK(e.Message() == Format(msg::kNulInLine, {path, LineOfFirstNul(bytes)}),
                       e.Message());
        }
        FUZZ_CHECK(Lines(list) == std::vector<std::string>{"before"});
        refused = true;
        return {};
    }
    FUZZ_CHECK(!Holds(bytes, '\0'));
    // Checked line by line while cutting, the encoding is the whole file's.
    FUZZ_CHECK(form.TextEncoding == DetectEncoding(bytes), Hex(bytes));
    FUZZ_CHECK(form.ByteOrderMark == bytes.starts_with(kUtf8Bom));
    // The records, each followed by its line break, are the text: a record
    // holds a break only inside quotes.
    std::size_t at = form.ByteOrderMark ? kUtf8Bom.size() : 0;
    for (const auto& record : Lines(list)) {
        FUZZ_CHECK(!Holds(record, '\0'), Hex(record));
        if (!Holds(record, '"'))
            FUZZ_CHECK(!Holds(record, '\r') && !Holds(record, '\n'), Hex(record));
        FUZZ_CHECK(bytes.substr(at, record.size()) == record, Hex(bytes));
        at += record.size();
        const std::size_t n = bytes.size();
        if (at < n && bytes[at] == '\r') {
            ++at;
            if (at < n && bytes[at] == '\n') ++at;
        } else if (at < n && bytes[at] == '\n') {
            ++at;
        }
    }
    FUZZ_CHECK(at == bytes.size(), Hex(bytes));
    return Lines(list);
}

void CheckSaveLoad(const std::vector<std::string>& lines, const std::string& path,
                   const TextForm& form) {
    TStringList list;
    Fill(list, lines);
    SaveLines(list, path, form.Prefix());
    std::string expected(form.Prefix());
    for (const auto& line : lines) expected += line + "\r\n";
    FUZZ_CHECK(ReadFileBytes(path) == expected);
    TStringList again;
    LoadLines(again, path);
    FUZZ_CHECK(Lines(again) == lines);
}

std::vector<std::string> ReadWithReader(const std::string& path) {
    std::vector<std::string> lines;
    LineReader reader;
    reader.Open(path);
    while (!reader.AtEnd()) {
        lines.push_back(reader.NextLine());
        const std::string& line = lines.back();
        FUZZ_CHECK(!Holds(line, '\r') && !Holds(line, '\n'), Hex(line));
    }
    reader.Close();
    return lines;
}

}  // namespace
}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellor::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = ScratchDir() + "/input.csv";
    const std::string output = ScratchDir() + "/input.csv.new";
    WriteFileBytes(input, bytes);

    quellor::TextForm form;
    bool refused = false;
    const std::vector<std::string> loaded = LoadChecked(bytes, input, form, refused);
    CheckSaveLoad(loaded, output, form);
    std::vector<std::string> read = ReadWithReader(input);
    // The reader hands the mark over with the first line; LoadLines keeps it apart.
    // A file of the mark alone has no line for LoadLines, one empty line for the reader.
    if (!read.empty() && read.front().starts_with(quellor::kUtf8Bom)) read.front().erase(0, 3);
    if (bytes == quellor::kUtf8Bom) read.clear();
    FUZZ_CHECK(read.size() <= size + 1);
    // Without NUL, lone CR and Ctrl-Z the two readers cut alike; the reader
    // does not judge the encoding, so a file refused for it has no lines to compare.
    bool alike = !refused;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c == '\0' || c == '\x1A' || c == '"' ||
            (c == '\r' && (i + 1 == size || bytes[i + 1] != '\n')))
            alike = false;
    }
    if (alike) FUZZ_CHECK(read == loaded, Hex(bytes));
    FUZZ_CHECK(ReadFileBytes(input) == bytes);
    return 0;
}
