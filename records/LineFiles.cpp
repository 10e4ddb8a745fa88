#include "records/LineFiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "records/ByteScan.h"
#include "records/Exceptions.h"
#include "records/FileHandle.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

// Lines and sizes are signed 32-bit counts in the record model.
constexpr std::size_t kMaxFileSize = std::size_t{1} << 31;

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Only regular files are read. Opening does not wait: a named pipe without
// a writer would otherwise hang the window, and a device could stream forever.
int OpenRegularFile(const std::string& path, struct stat* st) {
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return -1;
    int err = 0;
    if (::fstat(fd, st) != 0) {
        err = errno;
    } else if (!S_ISREG(st->st_mode)) {
        err = EACCES;
    }
    if (err == 0) return fd;
    ::close(fd);
    errno = err;
    return -1;
}

// Reads the whole file by its size; a file that shrank meanwhile gives what it had.
std::size_t ReadWhole(int fd, const struct stat& st, const std::string& path,
                      std::unique_ptr<char[]>& buf) {
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size >= kMaxFileSize) throw EReadError(Format(msg::kFileTooLarge, {path}));
    buf = std::make_unique_for_overwrite<char[]>(size ? size : 1);
    const long long got = ReadFully(fd, buf.get(), size);
    if (got < 0) throw EReadError(Format(msg::kFileReadFailed, {path}));
    return static_cast<std::size_t>(got);
}

std::string TempPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return dir + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

// A temporary file that is removed unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(const std::string& target) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = TempPathFor(target);
            file_ = FileHandle(OpenRetrying(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
            if (file_.Valid()) {
                path_ = std::move(candidate);
                return;
            }
            if (errno != EEXIST) return;
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        file_ = FileHandle();
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    int fd() const { return file_.Get(); }
    bool Close() { return file_.Close(); }
    bool RenameTo(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

  private:
    std::string path_;  // empty once there is nothing to remove
    FileHandle file_;
};

// What cannot be replaced: a folder, a read-only file (no write bits, which
// holds for root too), a file this user may not write.
bool CanReplace(const std::string& path, struct stat* existing, bool* exists) {
    *exists = ::stat(path.c_str(), existing) == 0;
    if (!*exists) return true;
    if (S_ISDIR(existing->st_mode)) return false;
    if ((existing->st_mode & 0222) == 0) return false;
    return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace

void LoadLines(TStringList& list, const std::string& path) {
    struct stat st {};
    FileHandle file(OpenRegularFile(path, &st));
    if (!file.Valid()) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {path}));
    }
    std::unique_ptr<char[]> buf;
    const std::size_t size = ReadWhole(file.Get(), st, path, buf);
    file.Close();

    // CR LF, CR and LF each end a line; a break at the very end adds no
    // empty line. One pass finds the breaks and any NUL byte together.
    const char* text = buf.get();
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::vector<TStringList::Span> lines;
    lines.reserve(size / 64 + 16);
    for (std::size_t pos = 0; pos < size;) {
        const std::size_t end = NextLineByte(p, pos, size);
        if (end < size && p[end] == 0) {
            const std::int64_t lineNumber = static_cast<std::int64_t>(lines.size()) + 1;
            throw EReadError(Format(msg::kNulInLine, {path, lineNumber}));
        }
        lines.push_back({text + pos, end - pos});
        pos = end + 1;
        if (end < size && p[end] == '\r' && pos < size && p[pos] == '\n') ++pos;
    }
    list.Adopt(std::move(buf), size, std::move(lines));
}

// Writes every line with its CR LF through one reused buffer of at most
// kSaveChunk bytes: a file-sized buffer would cost as much again in memory
// and page faults as the text itself, for the same bytes written.
class ChunkWriter {
  public:
    ChunkWriter(int fd, std::size_t total)
        : fd_(fd),
          capacity_(std::min(total, kSaveChunk)),
          buf_(std::make_unique_for_overwrite<char[]>(capacity_ ? capacity_ : 1)) {}

    bool Line(std::string_view line) {
        if (line.size() + 2 > capacity_ - used_ && !Flush()) return false;
        if (line.size() + 2 > capacity_) {
            return WriteFully(fd_, line.data(), line.size()) && WriteFully(fd_, "\r\n", 2);
        }
        if (!line.empty()) std::memcpy(buf_.get() + used_, line.data(), line.size());
        used_ += line.size();
        buf_[used_++] = '\r';
        buf_[used_++] = '\n';
        return true;
    }

    bool Flush() {
        const bool ok = WriteFully(fd_, buf_.get(), used_);
        used_ = 0;
        return ok;
    }

  private:
    static constexpr std::size_t kSaveChunk = std::size_t{1} << 20;
    int fd_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buf_;
    std::size_t used_ = 0;
};

void SaveLines(const TStringList& list, const std::string& path) {
    const auto cannotCreate = [&] { return EFCreateError(Format(msg::kFileCannotCreate, {path})); };
    struct stat existing {};
    bool exists = false;
    if (!CanReplace(path, &existing, &exists)) throw cannotCreate();

    TempFile temp(path);
    if (temp.fd() < 0) throw cannotCreate();
    if (exists) ::fchmod(temp.fd(), existing.st_mode & 07777);
    std::size_t total = 0;
    const std::size_t count = static_cast<std::size_t>(list.Count());
    for (std::size_t i = 0; i < count; ++i) total += list.At(i).size() + 2;
    ChunkWriter writer(temp.fd(), total);
    for (std::size_t i = 0; i < count; ++i) {
        if (!writer.Line(list.At(i))) throw EWriteError(msg::kStreamWriteError);
    }
    if (!writer.Flush() || !temp.Close()) throw EWriteError(msg::kStreamWriteError);
    if (!temp.RenameTo(path)) throw cannotCreate();
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

void LineReader::Open(const std::string& path) {
    if (fd_ >= 0) Close();
    struct stat st {};
    const int fd = OpenRegularFile(path, &st);
    // A folder or any other file that is not a plain file reads as access denied.
    if (fd < 0) throw EInOutError::FromErrno(errno);
    fd_ = fd;
    pos_ = len_ = 0;
    atCtrlZ_ = false;
}

bool LineReader::Fill() {
    if (pos_ < len_) return true;
    ssize_t r;
    do {
        r = ::read(fd_, block_, kBlockSize);
    } while (r < 0 && errno == EINTR);
    if (r < 0) throw EInOutError::FromErrno(errno);
    pos_ = 0;
    len_ = static_cast<std::size_t>(r);
    return r > 0;
}

bool LineReader::AtEnd() {
    if (atCtrlZ_ || !Fill()) return true;
    return block_[pos_] == 0x1A;
}

std::string LineReader::NextLine() {
    bool cut = false;
    return NextLine(std::string::npos, cut);
}

std::string LineReader::NextLine(std::size_t maxBytes, bool& cut) {
    cut = false;
    std::string line;
    if (atCtrlZ_ || !Fill()) return line;
    if (block_[pos_] == 0x1A) {
        // A Ctrl-Z that begins a line ends the file: nothing after it is read.
        atCtrlZ_ = true;
        return line;
    }
    while (Fill()) {
        const unsigned char b = block_[pos_];
        if (b == '\n') {
            ++pos_;
            break;
        }
        if (b == '\r') {
            ++pos_;
            if (Fill() && block_[pos_] == '\n') {
                ++pos_;
                break;
            }
            continue;  // a CR alone is dropped
        }
        if (line.size() == maxBytes) {
            cut = true;
            break;
        }
        std::size_t end = pos_ + 1;
        while (end < len_ && block_[end] != '\n' && block_[end] != '\r') ++end;
        const std::size_t take = std::min(end - pos_, maxBytes - line.size());
        line.append(reinterpret_cast<const char*>(block_ + pos_), take);
        pos_ += take;
    }
    return line;
}

void LineReader::Close() {
    if (fd_ < 0) return;
    const int r = ::close(fd_);
    fd_ = -1;
    if (r != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
}

}  // namespace quellor
