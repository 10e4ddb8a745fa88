#include "records/RunFiles.h"

#include <fcntl.h>
#include <sys/statvfs.h>

#include <limits>

#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

RunFile::RunFile(const std::string& folder, std::string output)
    : output_(std::move(output)), buf_(std::make_unique_for_overwrite<char[]>(kBuffer)) {
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

void RunFile::Flush(std::size_t room) {
    if (!WriteFully(file_.Get(), buf_.get(), used_))
        throw EWriteError(Format(msg::kFileWriteError, {PathForShow(output_)}));
    written_ += used_;
    used_ = 0;
    if (room > capacity_) {
        // A line longer than the buffer gets one of its own size.
        buf_ = std::make_unique_for_overwrite<char[]>(room);
        capacity_ = room;
    }
}

void RunFile::Finish() {
    Flush(0);
    index_.End = written_;
}

std::uint64_t FreeBytesIn(const std::string& folder) {
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) != 0) return std::numeric_limits<std::uint64_t>::max();
    return std::uint64_t{vfs.f_bavail} * vfs.f_frsize;
}

}  // namespace quellor
