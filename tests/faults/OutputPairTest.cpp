// The two outputs of one file change together, and each is on disk before it
// takes its name. The run's calls to fdatasync and renameat come through the
// stand-ins below: a symbol of this executable takes the place of the C
// library's for the static libraries linked into it.
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "FaultSupport.h"

namespace {

// What the stand-ins saw; inert until a test switches them on.
struct CallLog {
    bool on = false;
    std::set<ino_t> synced;
    std::map<std::string, bool> namedSynced;  // output name -> its bytes were flushed first
    std::string refuseRenameTo;               // a name whose rename fails with EIO
};
CallLog calls;

ino_t InodeOf(int fd, const char* name) {
    struct stat st {};
    const int r = name ? ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) : ::fstat(fd, &st);
    return r == 0 ? st.st_ino : 0;
}

}  // namespace

extern "C" int fdatasync(int fd) {
    if (calls.on) calls.synced.insert(InodeOf(fd, nullptr));
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned int flags) {
    if (calls.on) {
        const std::string target(to);
        if (!calls.refuseRenameTo.empty() && target == calls.refuseRenameTo) {
            errno = EIO;
            return -1;
        }
        if (!target.starts_with(".qlr-") && !calls.namedSynced.contains(target))
            calls.namedSynced[target] = calls.synced.contains(InodeOf(fromDir, from));
    }
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
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = true;
    return s;
}

struct Switched {
    Switched() {
        calls = CallLog{};
        calls.on = true;
    }
    ~Switched() { calls = CallLog{}; }
};

TEST_F(FaultTest, OutputsAreFlushedBeforeTheyTakeTheirName) {
    const std::string input = Write("in.csv", "b,2\r\na,1\r\na,1\r\n");
    Write("in.csv.new", "old\r\n");
    const Switched on;

    ASSERT_EQ(RunReportingError(SortWithDuplicates(input)), "");
    EXPECT_EQ(calls.namedSynced,
              (std::map<std::string, bool>{{"in.csv.new", true}, {"in.csv.w", true}}));
}

struct PairCase {
    const char* name;
    std::string inputName;
    const char* failing;  // the output that cannot be put in place
    const char* error;    // the class of the error
    // Makes the failure; its result runs the run, and "" skips the case.
    std::function<std::string(const std::string& input, const std::function<std::string()>& run)>
        arrange;
};

class OutputPair : public FaultTest, public ::testing::WithParamInterface<PairCase> {};

// Old ".new" and ".w" beside the input, the ".w" put in place first: when the
// ".new" fails, neither old output may change.
TEST_P(OutputPair, BothOldOutputsStandWhenOneFails) {
    const PairCase& c = GetParam();
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "r" + std::to_string(100000 + i) + ",a-long-field\r\n";
    text += "r100000,a-long-field\r\n";
    const std::string input = Write(c.inputName, text);
    // No old ".new" can stand where its name does not fit.
    if (c.inputName.size() + 4 <= NAME_MAX) Write(c.inputName + ".new", "old new\r\n");
    Write(c.inputName + ".w", "old w\r\n");
    const Snapshot before = Take();

    const std::string error =
        c.arrange(input, [&] { return RunReportingError(SortWithDuplicates(input)); });
    if (error == "skip") GTEST_SKIP() << "needs root on a file system with file attributes";

    const std::string failing = input + c.failing;
    EXPECT_EQ(error, std::string(c.error) + ": ファイル " + failing +
                         (std::string(c.error) == "EWriteError" ? " への書き込みエラー"
                                                                : " を作成できません"));
    ExpectOnlyAdded(before, {});
}

const auto kRunsAsIs = [](const std::string&, const std::function<std::string()>& run) {
    return run();
};

INSTANTIATE_TEST_SUITE_P(
    Failures, OutputPair,
    ::testing::Values(PairCase{"FileSizeLimit", "in.csv", ".new", "EWriteError",
                               [](const std::string&, const std::function<std::string()>& run) {
                                   return InChild([&] {
                                       ::signal(SIGXFSZ, SIG_IGN);
                                       const rlimit limit{64 * 1024, 64 * 1024};
                                       if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                                           return std::string("no limit");
                                       return run();
                                   });
                               }},
                      // 252 bytes: the ".w" name fits a folder entry, the ".new" name does not.
                      PairCase{"NewNameTooLong", std::string(248, 'x') + ".csv", ".new",
                               "EFCreateError", kRunsAsIs},
                      PairCase{
                          "AppendOnlyOldNew", "in.csv", ".new", "EFCreateError",
                          [](const std::string& input, const std::function<std::string()>& run) {
                              const int fd = ::open((input + ".new").c_str(), O_RDONLY | O_CLOEXEC);
                              int flags = FS_APPEND_FL;
                              if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
                                  ::close(fd);
                                  return std::string("skip");
                              }
                              std::string error = run();
                              flags = 0;
                              ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
                              ::close(fd);
                              return error;
                          }},
                      PairCase{"SecondRenameFails", "in.csv", ".new", "EFCreateError",
                               [](const std::string&, const std::function<std::string()>& run) {
                                   const Switched on;
                                   calls.refuseRenameTo = "in.csv.new";
                                   return run();
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellor::faults
