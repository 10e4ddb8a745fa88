// Files of lines that only this process reads back: the sorted runs of an
// external sort and the sorted lines the later stages read again. They have
// no name where the file system allows, so nothing of them outlives the
// process, not even after a kill; otherwise their name is removed at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "records/FileHandle.h"
#include "records/LineStream.h"

namespace quellor {

class RunFile {
  public:
    // In folder; errors name output, the file the user waits for.
    RunFile(const std::string& folder, std::string output);
    RunFile(RunFile&&) noexcept = default;
    RunFile& operator=(RunFile&&) noexcept = default;

    // Appends the line and an LF (a line never holds one).
    void Add(std::string_view line) {
        if (line.size() + 1 > capacity_ - used_) Flush(line.size() + 1);
        index_.LineAt(written_ + used_);
        std::char_traits<char>::copy(buf_.get() + used_, line.data(), line.size());
        used_ += line.size();
        buf_[used_++] = '\n';
    }
    // Writes what is buffered; then the lines can be read back.
    void Finish();
    int Fd() const { return file_.Get(); }
    const LineIndex& Index() const { return index_; }

  private:
    static constexpr std::size_t kBuffer = std::size_t{1} << 20;
    void Flush(std::size_t room);

    FileHandle file_;
    std::string output_;
    std::unique_ptr<char[]> buf_;
    std::size_t capacity_ = kBuffer;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    LineIndex index_;
};

// Free bytes for an unprivileged user on the file system of folder, or the
// largest count when that cannot be learnt.
std::uint64_t FreeBytesIn(const std::string& folder);

}  // namespace quellor
