// The run's calls to fdatasync and renameat come through the stand-ins below
// (a symbol of this executable takes the place of the C library's for the
// static libraries linked into it), to see their order and refuse a rename.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <map>
#include <set>

#include "FaultSupport.h"
#include "records/FileHandle.h"

namespace {

struct CallLog {
    bool on = false;
    std::set<ino_t> synced;
    std::map<std::string, bool> flushedBeforeNamed;  // by output name
    std::string refusedName;                         // its rename fails with EIO
} calls;

ino_t InodeOf(int dir, const char* name) {
    struct stat st {};
    return ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH) == 0 ? st.st_ino : 0;
}

}  // namespace

extern "C" int fdatasync(int fd) {
    if (calls.on) calls.synced.insert(InodeOf(fd, ""));
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    const std::string name(to);
    if (calls.on && name == calls.refusedName) return errno = EIO, -1;
    if (calls.on && !name.starts_with(".qlr-"))
        calls.flushedBeforeNamed.try_emplace(name, calls.synced.contains(InodeOf(fromDir, from)));
    return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) {
    return renameat2(fromDir, from, toDir, to, 0);
}

namespace quellor::faults {
namespace {

RunSettings SortWithDuplicates(const std::string& input) {
    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 2;
    s.SortOn = s.DuplicatesToFile = true;
    s.SortKeyField = 1;
    return s;
}

TEST_F(FaultTest, OutputsAreFlushedBeforeTheyTakeTheirName) {
    const std::string input = Write("in.csv", "b,2\r\na,1\r\na,1\r\n");
    Write("in.csv.new", "old\r\n");
    calls.on = true;
    const std::string error = RunReportingError(SortWithDuplicates(input));
    const auto seen = std::exchange(calls, CallLog{}).flushedBeforeNamed;
    ASSERT_EQ(error, "");
    EXPECT_EQ(seen, (std::map<std::string, bool>{{"in.csv.new", true}, {"in.csv.w", true}}));
}

// The ".w" goes first; a ".new" whose name does not fit (252 + 4 bytes), an
// append-only old ".new", and a rename refused at the last moment each leave
// both old outputs as they were.
TEST_F(FaultTest, BothOldOutputsStandWhenTheNewCannotTakeItsName) {
    for (const std::string& name :
         {std::string(248, 'x') + ".csv", std::string("append.csv"), std::string("refused.csv")}) {
        const std::string input = Write(name, "b,2\r\na,1\r\na,1\r\n");
        Write(name + ".w", "old w\r\n");
        const FileHandle old(
            name.size() < 252 ? ::open(Write(name + ".new", "old\r\n").c_str(), O_RDONLY) : -1);
        int flags = FS_APPEND_FL;
        if (name == "append.csv" && ::ioctl(old.Get(), FS_IOC_SETFLAGS, &flags) != 0) continue;
        const Snapshot before = Take();
        calls.on = true;
        calls.refusedName = name == "refused.csv" ? name + ".new" : "";
        EXPECT_EQ(RunReportingError(SortWithDuplicates(input)),
                  "EFCreateError: ファイル " + input + ".new を作成できません");
        calls = CallLog{};
        flags = 0;
        if (old.Valid()) ::ioctl(old.Get(), FS_IOC_SETFLAGS, &flags);
        ExpectOnlyAdded(before, {});
    }
}

}  // namespace
}  // namespace quellor::faults
