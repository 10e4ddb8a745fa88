// A slow disk and a slow collator, put under the real program with
// LD_PRELOAD, so that a test can hold the window to answering while one
// stage of a run takes seconds. Set by the environment:
//   QUELLOR_SLOW_UNDER       the folder whose regular files are slowed; the
//                            program's own files (fonts, settings) and its
//                            sockets and pipes keep their speed
//   QUELLOR_SLOW_READ_BPS    bytes per second for read, pread, pread64
//   QUELLOR_SLOW_WRITE_BPS   bytes per second for write, pwrite, pwrite64
//   QUELLOR_SLOW_COLLATE_US  microseconds added to every ucol_strcoll
//   QUELLOR_SLOW_REPORT      a file that gets, when the program ends, what
//                            was slowed: calls, bytes, time, and when the
//                            first slowed call began and the last one ended
//                            (CLOCK_MONOTONIC nanoseconds)
// Reads and writes each go through one simulated disk, shared by all
// threads: two threads reading halves of a file at once take as long as one
// thread reading it whole, as on a real disk.
#undef _FORTIFY_SOURCE

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/ucol.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

namespace {

using Nanos = std::int64_t;

Nanos Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return Nanos{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

void SleepUntil(Nanos when) {
    const timespec t{when / 1'000'000'000, when % 1'000'000'000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

double Number(const char* name) {
    const char* text = std::getenv(name);
    return text ? std::strtod(text, nullptr) : 0.0;
}

template <typename F>
F Next(const char* name) {
    // A function pointer from dlsym is the documented way; no cast avoids it.
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// What was slowed of one kind, for the report; any thread may add to it.
class Tally {
  public:
    explicit Tally(const char* name) : name_(name) {}

    void Add(long long moved, Nanos begin, Nanos end) {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++calls_;
        bytes_ += moved;
        slept_ += end - begin;
        longest_ = std::max(longest_, end - begin);
        if (first_ == 0) first_ = begin;
        last_ = end;
    }

    void Write(std::FILE* out) {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(
            out,
            "%s calls=%lld bytes=%lld slept_ms=%lld longest_ms=%lld first_ns=%lld last_ns=%lld\n",
            name_, calls_, bytes_, static_cast<long long>(slept_ / 1'000'000),
            static_cast<long long>(longest_ / 1'000'000), static_cast<long long>(first_),
            static_cast<long long>(last_));
    }

  private:
    std::mutex mutex_;
    const char* name_;
    long long calls_ = 0, bytes_ = 0;
    Nanos slept_ = 0, longest_ = 0, first_ = 0, last_ = 0;
};

// A device that moves bytesPerSecond, one request after the other.
class Disk {
  public:
    Disk(const char* name, double bytesPerSecond) : tally(name), rate_(bytesPerSecond) {}
    bool On() const { return rate_ > 0; }

    void Move(long long bytes) {
        const Nanos begin = Now();
        Nanos end = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            const auto takes = static_cast<Nanos>(static_cast<double>(bytes) / rate_ * 1e9);
            end = std::max(begin, busyUntil_) + takes;
            busyUntil_ = end;
        }
        SleepUntil(end);
        tally.Add(bytes, begin, Now());
    }

    Tally tally;

  private:
    std::mutex mutex_;
    double rate_;
    Nanos busyUntil_ = 0;
};

// Each comparison takes its delay on its own thread: a slow processor, not a queue.
class Collator {
  public:
    explicit Collator(double microseconds)
        : tally("collate"), delay_(static_cast<Nanos>(microseconds * 1000)) {}
    bool On() const { return delay_ > 0; }

    void Wait() {
        const Nanos begin = Now();
        SleepUntil(begin + delay_);
        tally.Add(0, begin, Now());
    }

    Tally tally;

  private:
    Nanos delay_;
};

struct Settings {
    std::string under;  // with a trailing slash; empty slows no file
    Disk reads{"read", Number("QUELLOR_SLOW_READ_BPS")};
    Disk writes{"write", Number("QUELLOR_SLOW_WRITE_BPS")};
    Collator collator{Number("QUELLOR_SLOW_COLLATE_US")};

    Settings() {
        const char* folder = std::getenv("QUELLOR_SLOW_UNDER");
        char* real = folder ? realpath(folder, nullptr) : nullptr;
        if (real) under = std::string(real) + "/";
        std::free(real);
    }
};

Settings& Slow() {
    static Settings settings;
    return settings;
}

// The folder is asked of /proc for each call: the descriptors of the staged
// outputs have no name of their own, and /proc gives their folder anyway.
bool Slowed(int fd) {
    const std::string& under = Slow().under;
    struct stat st {};
    if (under.empty() || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    char path[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), path, sizeof path);
    return n > 0 && std::string(path, static_cast<std::size_t>(n)).starts_with(under);
}

ssize_t AfterRead(int fd, ssize_t moved) {
    if (moved > 0 && Slow().reads.On() && Slowed(fd)) Slow().reads.Move(moved);
    return moved;
}

ssize_t AfterWrite(int fd, ssize_t moved) {
    if (moved > 0 && Slow().writes.On() && Slowed(fd)) Slow().writes.Move(moved);
    return moved;
}

[[gnu::destructor]] void Report() {
    const char* path = std::getenv("QUELLOR_SLOW_REPORT");
    if (!path) return;
    // stdio calls the C library's own write, never these wrappers, so the
    // report is not slowed wherever it goes.
    std::FILE* out = std::fopen(path, "w");
    if (!out) return;
    Slow().reads.tally.Write(out);
    Slow().writes.tally.Write(out);
    Slow().collator.tally.Write(out);
    std::fclose(out);
}

#define QUELLOR_NAME_OF(symbol) #symbol
#define QUELLOR_RENAMED(symbol) QUELLOR_NAME_OF(symbol)

}  // namespace

extern "C" {

ssize_t read(int fd, void* buf, size_t count) {
    static const auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    return AfterRead(fd, real(fd, buf, count));
}

ssize_t pread(int fd, void* buf, size_t count, off_t at) {
    static const auto real = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    return AfterRead(fd, real(fd, buf, count, at));
}

ssize_t pread64(int fd, void* buf, size_t count, off64_t at) {
    static const auto real = Next<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    return AfterRead(fd, real(fd, buf, count, at));
}

ssize_t write(int fd, const void* buf, size_t count) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return AfterWrite(fd, real(fd, buf, count));
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t at) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return AfterWrite(fd, real(fd, buf, count, at));
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t at) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return AfterWrite(fd, real(fd, buf, count, at));
}

// ICU's header gives the name its version suffix, as the library exports it.
UCollationResult ucol_strcoll(const UCollator* coll, const UChar* source, int32_t sourceLength,
                              const UChar* target, int32_t targetLength) {
    using Strcoll =
        UCollationResult (*)(const UCollator*, const UChar*, int32_t, const UChar*, int32_t);
    static const auto real = Next<Strcoll>(QUELLOR_RENAMED(ucol_strcoll));
    if (Slow().collator.On()) Slow().collator.Wait();
    return real(coll, source, sourceLength, target, targetLength);
}

}  // extern "C"
