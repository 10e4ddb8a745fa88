// Files to record lines and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/Encoding.h"
#include "records/StringList.h"

namespace quellor {

// What a file's bytes said about its text as a whole.
struct TextForm {
    Encoding TextEncoding = Encoding::Cp932;
    bool ByteOrderMark = false;  // the file began with it; no line holds it
    // The bytes an output of the same form begins with.
    std::string_view Prefix() const { return ByteOrderMark ? kUtf8Bom : std::string_view(); }
};

// Replaces the list with the lines of the file and returns the file's
// encoding: the one chosen, else the one its bytes say. A file that is
// UTF-8 but for a few stray bytes raises EReadError when nothing was chosen.
// The list is unchanged on error. The encoding comes back in the form rather
// than staying with the list: it belongs to the file, as the mark does, and
// the lines are bytes to every list operation; a list filled any other way
// would carry an encoding nobody set.
// Files from this size on are read and cut on two threads, where there are
// two cores: below it, starting a thread costs about what it saves.
inline constexpr std::size_t kParallelLoadFrom = std::size_t{1} << 22;
TextForm LoadLines(TStringList& list, const std::string& path,
                   EncodingChoice choice = EncodingChoice::Auto,
                   std::size_t parallelFrom = kParallelLoadFrom);
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
