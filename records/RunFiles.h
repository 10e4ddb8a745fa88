// Files of records that only this process reads back: the sorted runs of an
// external sort. They have no name where the file system allows, so nothing
// of them outlives the process, not even after a kill; otherwise their name
// is removed at once. Each record is stored with its length before it, so a
// record may hold any bytes, line breaks included, and is never scanned again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/FileHandle.h"
#include "records/ReadBuffer.h"

namespace quellor {

class RunFile {
  public:
    // In folder; errors name output, the file the user waits for.
    RunFile(const std::string& folder, std::string output);
    RunFile(RunFile&&) noexcept = default;
    RunFile& operator=(RunFile&&) noexcept = default;

    void Add(std::string_view record);
    // Writes what is buffered and lets the buffer go: a sort may keep
    // thousands of runs waiting for their merge, which must not hold a
    // buffer each. Then the records can be read back.
    void Finish();
    int Fd() const { return file_.Get(); }
    const std::string& Output() const { return output_; }
    std::uint64_t Records() const { return records_; }
    std::uint64_t Bytes() const { return written_; }

  private:
    static constexpr std::size_t kBuffer = std::size_t{1} << 20;
    void Flush();

    FileHandle file_;
    std::string output_;
    std::unique_ptr<char[]> buf_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t records_ = 0;
};

// Reads the records of a finished run in order through a buffer of about
// blockSize bytes; a record longer than that gets a buffer of its size.
class RunReader {
  public:
    RunReader(const RunFile& run, std::size_t blockSize);
    // The next record, valid until the next call; false at the end.
    bool Next(std::string_view& record);

  private:
    // Makes sure want bytes from pos_ on are buffered.
    void Fill(std::size_t want);

    int fd_;
    std::uint64_t next_ = 0, end_ = 0;
    ReadBuffer buf_;
    std::size_t pos_ = 0, len_ = 0;
};

// Free bytes for an unprivileged user on the file system of folder, or the
// largest count when that cannot be learnt.
std::uint64_t FreeBytesIn(const std::string& folder);

}  // namespace quellor
