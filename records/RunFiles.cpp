#include "records/RunFiles.h"

#include <fcntl.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

// A record's length goes before it seven bits a byte, low bits first: one
// byte for most records, and no limit on the longest.
constexpr std::size_t kMostLengthBytes = 10;

std::size_t PutLength(std::uint64_t length, char* out) {
    std::size_t n = 0;
    while (length >= 0x80) {
        out[n++] = static_cast<char>((length & 0x7F) | 0x80);
        length >>= 7;
    }
    out[n++] = static_cast<char>(length);
    return n;
}

}  // namespace

RunFile::RunFile(const std::string& folder, std::string output) : output_(std::move(output)) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a name that lives only until the next line.
        std::string name = folder + "/.qlr-run-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) ::unlink(name.c_str());
    }
    if (fd < 0) throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(output_)}));
    file_ = FileHandle(fd);
}

void RunFile::Add(std::string_view record) {
    char length[kMostLengthBytes];
    const std::size_t lengthBytes = PutLength(record.size(), length);
    const std::size_t need = lengthBytes + record.size();
    if (!buf_) buf_ = std::make_unique_for_overwrite<char[]>(kBuffer);
    if (need > kBuffer - used_) Flush();
    ++records_;
    if (need > kBuffer) {
        // A record longer than the buffer goes out as it is, not copied.
        if (!WriteFully(file_.Get(), length, lengthBytes) ||
            !WriteFully(file_.Get(), record.data(), record.size()))
            throw EWriteError(Format(msg::kFileWriteError, {PathForShow(output_)}));
        written_ += need;
        return;
    }
    std::memcpy(buf_.get() + used_, length, lengthBytes);
    if (!record.empty())
        std::memcpy(buf_.get() + used_ + lengthBytes, record.data(), record.size());
    used_ += need;
}

void RunFile::Flush() {
    if (used_ == 0) return;
    if (!WriteFully(file_.Get(), buf_.get(), used_))
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(output_)}));
    written_ += used_;
    used_ = 0;
}

void RunFile::Finish() {
    Flush();
    buf_.reset();
}

RunReader::RunReader(const RunFile& run, std::size_t blockSize)
    : fd_(run.Fd()), end_(run.Bytes()), buf_(std::max<std::size_t>(blockSize, 64)) {}

void RunReader::Fill(std::size_t want) {
    if (len_ - pos_ >= want) return;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, len_ - pos_);
        len_ -= pos_;
        pos_ = 0;
    }
    buf_.Reserve(want);
    while (len_ < want) {
        const std::size_t room =
            static_cast<std::size_t>(std::min<std::uint64_t>(buf_.size() - len_, end_ - next_));
        const long long got = room == 0 ? 0 : ReadFullyAt(fd_, buf_.data() + len_, room, next_);
        // The run was written whole by this process: anything short is the disk failing.
        if (got <= 0) throw EReadError(msg::kStreamReadError);
        len_ += static_cast<std::size_t>(got);
        next_ += static_cast<std::uint64_t>(got);
    }
}

bool RunReader::Next(std::string_view& record) {
    if (pos_ == len_ && next_ == end_) return false;
    Fill(static_cast<std::size_t>(
        std::min<std::uint64_t>(kMostLengthBytes, len_ - pos_ + (end_ - next_))));
    std::size_t length = 0;
    for (int shift = 0;; shift += 7) {
        const auto b = static_cast<unsigned char>(buf_.data()[pos_++]);
        length |= std::size_t{b & 0x7Fu} << shift;
        if (b < 0x80) break;
    }
    Fill(length);
    record = std::string_view(buf_.data() + pos_, length);
    pos_ += length;
    return true;
}

std::uint64_t FreeBytesIn(const std::string& folder) {
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) != 0) return std::numeric_limits<std::uint64_t>::max();
    return std::uint64_t{vfs.f_bavail} * vfs.f_frsize;
}

}  // namespace quellor
