#include "records/StagedFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "records/Encoding.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

constexpr std::string_view kTempPrefix = ".qlr-";
constexpr std::string_view kTempSuffix = ".tmp";

template <typename Open>
int OpenRetrying(Open open) {
    int fd;
    do {
        fd = open();
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// ".qlr-<pid>-<n>.tmp": at most 27 bytes whatever the output is called.
std::string TempName() {
    static std::atomic<unsigned> counter{0};
    return std::string(kTempPrefix) + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + std::string(kTempSuffix);
}

// Tries fresh temporary names with make until it succeeds or fails for
// another cause than a name taken (another process of ours, or a leftover);
// the name that worked, or empty with errno as make left it.
template <typename Make>
std::string WithTempName(Make make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = TempName();
        if (make(candidate)) return candidate;
        if (errno != EEXIST) break;
    }
    return {};
}

// The pid of a name this program gives, or 0 for any other name.
pid_t PidOfTempName(std::string_view name) {
    if (!name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) return 0;
    name.remove_prefix(kTempPrefix.size());
    name.remove_suffix(kTempSuffix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size()) return 0;
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(name.substr(0, dash)) || !digits(name.substr(dash + 1))) return 0;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + dash, pid);
    return ec == std::errc() && end == name.data() + dash ? pid : 0;
}

// What cannot be replaced: a folder, a read-only file (no write bits, which
// holds for root too), a file this user may not write.
bool CanReplace(const std::string& path, struct stat* existing, bool* exists) {
    *exists = ::stat(path.c_str(), existing) == 0;
    if (!*exists) return true;
    if (S_ISDIR(existing->st_mode)) return false;
    if ((existing->st_mode & 0222) == 0) return false;
    return ::access(path.c_str(), W_OK) == 0;
}

constexpr std::size_t kSaveChunk = std::size_t{1} << 20;
constexpr std::size_t kPrefetchAhead = 8;
constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;

// Writes every line with its CR LF through one reused buffer of at most
// kSaveChunk bytes: a file-sized buffer would cost as much again in memory
// and page faults as the text itself, for the same bytes written.

class ChunkWriter {
  public:
    using Put = std::function<bool(const char*, std::size_t)>;
    ChunkWriter(Put put, std::size_t total)
        : put_(std::move(put)),
          capacity_(std::min(total, kSaveChunk)),
          buf_(std::make_unique_for_overwrite<char[]>(capacity_ ? capacity_ : 1)) {}

    bool Line(std::string_view line) {
        if (line.size() + 2 > capacity_ - used_ && !Flush()) return false;
        if (line.size() + 2 > capacity_) {
            // In chunks still: one call of a whole file's bytes was no faster
            // and waited out the kernel's write-back in one piece.
            for (std::size_t at = 0; at < line.size(); at += kSaveChunk) {
                const std::size_t n = std::min(kSaveChunk, line.size() - at);
                if (!put_(line.data() + at, n)) return false;
            }
            return put_("\r\n", 2);
        }
        if (!line.empty()) std::memcpy(buf_.get() + used_, line.data(), line.size());
        used_ += line.size();
        buf_[used_++] = '\r';
        buf_[used_++] = '\n';
        return true;
    }

    bool Flush() {
        const bool ok = put_(buf_.get(), used_);
        used_ = 0;
        return ok;
    }

  private:
    Put put_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buf_;
    std::size_t used_ = 0;
};

// Lines that still lie one after another in a block of the list with CR LF
// between them, as a loaded file leaves them, go out as one piece: a piece
// past a chunk is written straight from the list, with no copy at all.
bool WriteLines(ChunkWriter& writer, const TStringList& list) {
    const std::size_t count = static_cast<std::size_t>(list.Count());
    std::string_view block;
    std::size_t from = 0;  // the piece is block[from, to), its CR LF still to come
    std::size_t to = 0;
    bool inPiece = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kPrefetchAhead < count) PrefetchLine(list.At(i + kPrefetchAhead));
        const std::string_view line = list.At(i);
        const char* p = line.data();
        const bool inBlock = p != nullptr && p >= block.data() && p < block.data() + block.size();
        if (inPiece && inBlock) {
            const auto at = static_cast<std::size_t>(p - block.data());
            if (at == to + 2 && block[to] == '\r' && block[to + 1] == '\n') {
                to = at + line.size();
                continue;
            }
        }
        if (inPiece && !writer.Line(block.substr(from, to - from))) return false;
        if (!inBlock) block = list.BlockHolding(p);
        inPiece = !block.empty();
        if (!inPiece) {
            if (!writer.Line(line)) return false;
            continue;
        }
        from = static_cast<std::size_t>(p - block.data());
        to = from + line.size();
    }
    return !inPiece || writer.Line(block.substr(from, to - from));
}

// A rename over this entry fails with EPERM even for root.
bool AppendOnlyOrImmutable(int folder, const char* name) {
    struct stat st {};
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return false;
    const FileHandle file(OpenRetrying(
        [&] { return ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC); }));
    int flags = 0;
    if (!file.Valid() || ::ioctl(file.Get(), FS_IOC_GETFLAGS, &flags) != 0) return false;
    return (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
}

// An unnamed file cannot be made here: the file system or kernel lacks it.
bool TmpFileUnsupported(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

StagedFile::StagedFile(std::string path, mode_t newMode) : path_(std::move(path)) {
    const std::size_t slash = path_.rfind('/');
    name_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    struct stat existing {};
    if (!CanReplace(path_, &existing, &exists_) || name_.empty()) {
        throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
    }
    existingMode_ = existing.st_mode & 0777;
    Create(newMode & 0777);
}

void StagedFile::Create(mode_t mode) {
    const std::string folder = FolderOf(path_);
    folder_ = FileHandle(
        OpenRetrying([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
    if (folder_.Valid()) {
        file_ = FileHandle(OpenRetrying(
            [&] { return ::openat(folder_.Get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode); }));
        unnamed_ = file_.Valid();
        if (!file_.Valid() && TmpFileUnsupported(errno)) {
            tempName_ = WithTempName([&](const std::string& name) {
                file_ = FileHandle(OpenRetrying([&] {
                    return ::openat(folder_.Get(), name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
                }));
                return file_.Valid();
            });
        }
    }
    // Checked now, before anything is written: the unnamed file needs no
    // name, so only the last rename would find out.
    const long nameMax = folder_.Valid() ? ::fpathconf(folder_.Get(), _PC_NAME_MAX) : -1;
    if (!file_.Valid() || (nameMax > 0 && name_.size() > static_cast<std::size_t>(nameMax)))
        throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
    // The kernel has applied the umask; an old output narrows it further,
    // so replacing a private file never makes its successor readable.
    struct stat made {};
    if (exists_ && ::fstat(file_.Get(), &made) == 0)
        ::fchmod(file_.Get(), made.st_mode & existingMode_ & 0777);
}

StagedFile::~StagedFile() {
    file_ = FileHandle();
    if (!tempName_.empty() && folder_.Valid()) ::unlinkat(folder_.Get(), tempName_.c_str(), 0);
}

void StagedFile::Write(const TStringList& list, std::string_view prefix, const CancelCheck& work) {
    const std::size_t count = static_cast<std::size_t>(list.Count());
    // Only sizes the buffer, which never exceeds a chunk.
    std::size_t total = prefix.size();
    for (std::size_t i = 0; i < count && total < kSaveChunk; ++i) total += list.At(i).size() + 2;
    // A chunk at a time, so an abort is seen while a large list is written.
    ChunkWriter writer(
        [this, &work](const char* bytes, std::size_t size) {
            work.ThrowIfRequested();
            return Put(bytes, size);
        },
        total);
    bool ok = (prefix.empty() || Put(prefix.data(), prefix.size())) && WriteLines(writer, list);
    // Flushed before it takes the output's name: after a crash of the
    // system the output is either the old file or the whole new one.
    ok = ok && writer.Flush() && ::fdatasync(file_.Get()) == 0;
    if (!ok) throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
}

bool StagedFile::Put(const char* bytes, std::size_t size) {
    if (!WriteFully(file_.Get(), bytes, size)) return false;
    written_ += size;
    // The disk starts on what is written while the rest is made, so the
    // flush at the end waits for the last few megabytes, not the whole file.
    // Only a request: where it is refused, the flush does it all.
    if (written_ - writebackFrom_ >= kWritebackStep) {
        ::sync_file_range(file_.Get(), static_cast<off_t>(writebackFrom_),
                          static_cast<off_t>(written_ - writebackFrom_), SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = written_;
    }
    return true;
}

void StagedFile::Append(std::string_view bytes) {
    if (!Put(bytes.data(), bytes.size()))
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
}

void StagedFile::Finish() {
    if (::fdatasync(file_.Get()) != 0)
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
}

void StagedFile::Prepare() {
    if (!unnamed_ || !tempName_.empty()) return;
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
    tempName_ = WithTempName([&](const std::string& name) {
        int r = ::linkat(AT_FDCWD, self.c_str(), folder_.Get(), name.c_str(), AT_SYMLINK_FOLLOW);
        if (r != 0 && errno != EEXIST) {
            // No /proc, or a process that changed its user may not read its
            // own there: the direct form, which needs more privilege.
            r = ::linkat(file_.Get(), "", folder_.Get(), name.c_str(), AT_EMPTY_PATH);
        }
        return r == 0;
    });
    if (tempName_.empty()) CopyToNamedFile();
}

// The last way to give the bytes a name: a named temporary filled from the
// unnamed file.
void StagedFile::CopyToNamedFile() {
    struct stat st {};
    if (::fstat(file_.Get(), &st) != 0)
        throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
    FileHandle named;
    // Removed by the destructor from here on.
    tempName_ = WithTempName([&](const std::string& name) {
        named = FileHandle(OpenRetrying([&] {
            return ::openat(folder_.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            st.st_mode & 0777);
        }));
        return named.Valid();
    });
    if (!named.Valid()) throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
    ::fchmod(named.Get(), st.st_mode & 0777);
    loff_t from = 0;
    while (from < st.st_size) {
        const ssize_t n = ::copy_file_range(file_.Get(), &from, named.Get(), nullptr,
                                            static_cast<std::size_t>(st.st_size - from), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
    }
    if (::fdatasync(named.Get()) != 0 || !named.Close()) {
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
    }
    unnamed_ = false;
}

void StagedFile::CheckReplaceable() const {
    struct stat st {};
    const bool there = ::fstatat(folder_.Get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (there && (S_ISDIR(st.st_mode) || AppendOnlyOrImmutable(folder_.Get(), name_.c_str())))
        throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
}

void StagedFile::Place() {
    const char* from = tempName_.c_str();
    const char* to = name_.c_str();
    // Exchanged, the old output keeps the temporary name and can be put back.
    if (::renameat2(folder_.Get(), from, folder_.Get(), to, RENAME_EXCHANGE) == 0) {
        placed_ = keepsOld_ = exists_ = true;
        return;
    }
    const bool noOld = errno == ENOENT;
    std::string backup;
    if (!noOld) {
        // A file system that cannot exchange names: a second link keeps the old output.
        backup = TempName();
        if (::linkat(folder_.Get(), to, folder_.Get(), backup.c_str(), 0) != 0) backup.clear();
    }
    if (::renameat(folder_.Get(), from, folder_.Get(), to) != 0) {
        if (!backup.empty()) ::unlinkat(folder_.Get(), backup.c_str(), 0);
        throw EFCreateError(Format(msg::kFileCannotCreate, {PathForShow(path_)}));
    }
    placed_ = true;
    exists_ = !noOld;
    keepsOld_ = !backup.empty();
    tempName_ = std::move(backup);
}

void StagedFile::Restore() noexcept {
    if (!placed_) return;
    if (keepsOld_) {
        if (::renameat(folder_.Get(), tempName_.c_str(), folder_.Get(), name_.c_str()) == 0)
            tempName_.clear();
    } else if (!exists_) {
        ::unlinkat(folder_.Get(), name_.c_str(), 0);
    }
    placed_ = keepsOld_ = false;
}

void StagedFile::SyncFolder() {
    if (::fsync(folder_.Get()) != 0 && errno != EINVAL) {
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(path_)}));
    }
}

void StagedFile::Publish() {
    CommitTogether({this});
}

void CommitTogether(std::initializer_list<StagedFile*> files) {
    for (StagedFile* f : files) {
        if (f) f->Prepare();
    }
    for (StagedFile* f : files) {
        if (f) f->CheckReplaceable();
    }
    std::vector<StagedFile*> placed;
    try {
        for (StagedFile* f : files) {
            if (!f) continue;
            f->Place();
            placed.push_back(f);
        }
    } catch (...) {
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) (*it)->Restore();
        throw;
    }
    // The old outputs go with the destructors; the folder entries are flushed.
    for (StagedFile* f : placed) f->SyncFolder();
}

mode_t NewOutputMode(const std::string& input) {
    struct stat st {};
    if (::stat(input.c_str(), &st) != 0) return 0600;
    return (st.st_mode & 0777) | S_IWUSR;
}

void RemoveStaleTemporaries(const std::string& folder) {
    const int fd =
        OpenRetrying([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) return;
    struct CloseDir {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return;
    }
    const pid_t self = ::getpid();
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(dir.get())) {
        const pid_t pid = PidOfTempName(entry->d_name);
        if (pid <= 0 || pid == self) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // alive, or not ours to judge
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != user) continue;
        ::unlinkat(fd, entry->d_name, 0);
    }
}

}  // namespace quellor
