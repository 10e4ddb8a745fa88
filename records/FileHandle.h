// A POSIX file descriptor closed on every path.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace quellor {

class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and reports whether the kernel accepted it.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_ = -1;
};

// What a file was like when it was read: a later look that finds it
// otherwise knows it changed in between.
struct FileStamp {
    std::uint64_t Size = 0;
    std::int64_t ModifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

inline FileStamp StampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_size),
            std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
}

// read() and write() that retry on EINTR and on short counts until the end
// of the file or a real error; they return the bytes moved, or -1.
inline long long ReadFully(int fd, char* buf, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t r = ::read(fd, buf + got, size - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

// The same from a position, leaving the file offset alone, so that two
// threads can read one file's two halves at once.
inline long long ReadFullyAt(int fd, char* buf, std::size_t size, std::size_t at) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t r = ::pread(fd, buf + got, size - got, static_cast<off_t>(at + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

inline bool WriteFully(int fd, const char* buf, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t w = ::write(fd, buf + done, size - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace quellor
