// Files to record lines and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/RecordLines.h"
#include "records/StringList.h"

namespace quellor {

// How the user wants a file's text read: its encoding and its delimiter,
// each as the file's bytes say or fixed.
struct TextChoice {
    TextChoice(EncodingChoice encoding = EncodingChoice::Auto,
               DelimiterChoice delimiter = DelimiterChoice::Auto)
        : Encoding(encoding), Delimiter(delimiter) {}
    EncodingChoice Encoding;
    DelimiterChoice Delimiter;
    bool operator==(const TextChoice&) const = default;
};

// What a file's bytes said about its text as a whole.
struct TextForm {
    Encoding TextEncoding = Encoding::Cp932;
    char Delimiter = ',';
    bool ByteOrderMark = false;  // the file began with it; no record holds it
    // Where records with quoted line breaks push the later ones down.
    RecordLines Lines;
    // The bytes an output of the same form begins with.
    std::string_view Prefix() const { return ByteOrderMark ? kUtf8Bom : std::string_view(); }
    CsvDialect Dialect() const { return {TextEncoding, Delimiter}; }
};

// The delimiter chosen, or the one the first record says (DelimiterOf).
char ChosenDelimiter(DelimiterChoice choice, std::string_view text, Encoding encoding);

// Replaces the list with the records of the file, each without the line
// break that ends it (a record holds the breaks inside its quoted values as
// they are), and returns the file's form: its encoding and delimiter, the
// ones chosen, else the ones its bytes say. A file that is UTF-8 but for a
// few stray bytes raises EReadError when nothing was chosen, as does a
// quote still open at the end. The list is unchanged on error. The form
// comes back rather than staying with the list: it belongs to the file, as
// the mark does, and the records are bytes to every list operation; a list
// filled any other way would carry a form nobody set.
// Files from this size on are read and cut on two threads, where there are
// two cores: below it, starting a thread costs about what it saves.
inline constexpr std::size_t kParallelLoadFrom = std::size_t{1} << 22;
// work is looked at while the file is read and cut (ECancelled), and told
// the work done.
TextForm LoadLines(TStringList& list, const std::string& path, TextChoice choice = {},
                   std::size_t parallelFrom = kParallelLoadFrom, const CancelCheck& work = {});
// Writes prefix, then every line followed by CR LF. The file at path is
// replaced only once every byte is safely written; on failure it stays
// exactly as it was.
void SaveLines(const TStringList& list, const std::string& path, std::string_view prefix = {});

// Reads a file line by line from its start, 128 bytes at a time.
class LineReader {
  public:
    static constexpr std::size_t kBlockSize = 128;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    void Open(const std::string& path);
    bool AtEnd();
    std::string NextLine();
    // At most maxBytes of the next line. A longer line sets cut and is left
    // unread past that point, so that no line can cost more than maxBytes.
    std::string NextLine(std::size_t maxBytes, bool& cut);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

  private:
    // Makes sure a byte is buffered; false at the end of the file.
    bool Fill();

    int fd_ = -1;
    unsigned char block_[kBlockSize];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool atCtrlZ_ = false;
};

}  // namespace quellor
