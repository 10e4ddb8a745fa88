// The outputs of a run against the user's own files: a listed file that is
// another's output, outputs that must change together, long names, killed
// runs, and the permission bits of what is written. The run's calls to
// fdatasync and renameat come through the stand-ins below (a symbol of this
// executable takes the place of the C library's for the static libraries
// linked into it), to see their order and refuse a rename.
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "FaultSupport.h"
#include "records/FileHandle.h"

namespace {

struct CallLog {
    bool on = false;
    std::set<ino_t> synced;
    std::map<std::string, bool> flushedBeforeNamed;  // by output name
    std::string refusedName;                         // its rename fails with EIO
    std::string folderWhenBothSynced;                // made just before the renames
} calls;

ino_t InodeOf(int dir, const char* name) {
    struct stat st {};
    return ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH) == 0 ? st.st_ino : 0;
}

}  // namespace

extern "C" int fdatasync(int fd) {
    if (calls.on) calls.synced.insert(InodeOf(fd, ""));
    // Both outputs flushed: the ".new" has been open since before the folder.
    if (calls.on && calls.synced.size() == 2 && !calls.folderWhenBothSynced.empty())
        ::mkdir(std::exchange(calls.folderWhenBothSynced, "").c_str(), 0755);
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

namespace fs = std::filesystem;

RunSettings SortWithDuplicates(const std::vector<std::string>& files, bool duplicates = true) {
    RunSettings s;
    s.Files = files;
    s.ExpectedFieldCount = 2;
    s.SortOn = true;
    s.SortKeyField = 1;
    s.DuplicatesToFile = duplicates;
    return s;
}

struct CollisionCase {
    const char* name;
    std::vector<const char*> listed;  // files in the folder, in list order
    const char* linkName;             // a listed symlink to linkTarget, or null
    const char* linkTarget;
    bool duplicates;
    const char* overwritten;  // "" when the run goes ahead
    const char* owner;
};

class OutputCollision : public FaultTest, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(OutputCollision, StopsBeforeAnythingIsWritten) {
    const CollisionCase& c = GetParam();
    std::vector<std::string> files;
    for (const char* name : c.listed) files.push_back(Write(name, "b,2\r\na,1\r\na,1\r\n"));
    if (c.linkName) {
        fs::create_symlink(c.linkTarget, PathOf(c.linkName));
        files.push_back(PathOf(c.linkName));
    }
    const Snapshot before = Take();
    FaultObserver observer;

    EXPECT_EQ(RunReportingError(SortWithDuplicates(files, c.duplicates), observer), "");

    if (*c.overwritten == '\0') {
        EXPECT_EQ(observer.Warnings(), "");
        EXPECT_EQ(observer.Informed(), 1);
        return;
    }
    EXPECT_EQ(observer.Warnings(), PathOf(c.overwritten) + "は" + PathOf(c.owner) +
                                       "の出力先と同じﾌｧｲﾙなので処理できません");
    EXPECT_EQ(observer.PagesSelected(), 0);
    EXPECT_EQ(observer.Informed(), 0);
    ExpectOnlyAdded(before, {});
}

INSTANTIATE_TEST_SUITE_P(
    Lists, OutputCollision,
    ::testing::Values(
        CollisionCase{
            "NewListedAfter", {"a.csv", "a.csv.new"}, nullptr, nullptr, true, "a.csv.new", "a.csv"},
        CollisionCase{"NewListedBefore",
                      {"a.csv.new", "a.csv"},
                      nullptr,
                      nullptr,
                      false,
                      "a.csv.new",
                      "a.csv"},
        CollisionCase{
            "DuplicatesListed", {"a.csv.w", "a.csv"}, nullptr, nullptr, true, "a.csv.w", "a.csv"},
        CollisionCase{
            "DuplicatesNotWritten", {"a.csv", "a.csv.w"}, nullptr, nullptr, false, "", ""},
        CollisionCase{"SymlinkToAnOutput",
                      {"a.csv", "a.csv.new"},
                      "b.csv",
                      "a.csv.new",
                      false,
                      "a.csv.new",
                      "a.csv"},
        CollisionCase{
            "SymlinkToAnOutputNotYetMade", {"a.csv"}, "b.csv", "a.csv.w", true, "b.csv", "a.csv"}),
    [](const auto& row) { return std::string(row.param.name); });

// The ".w" is small and written first, the ".new" too large for the limit:
// neither old output may change, and the error names the file that failed.
TEST_F(FaultTest, OutputsOfOneFileChangeTogetherOrNotAtAll) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "r" + std::to_string(100000 + i) + ",a-long-field\r\n";
    text += "r100000,a-long-field\r\n";
    const std::string input = Write("in.csv", text);
    Write("in.csv.new", "old new\r\n");
    Write("in.csv.w", "old w\r\n");
    const Snapshot before = Take();

    const std::string error = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
        return RunReportingError(SortWithDuplicates({input}));
    });

    EXPECT_EQ(error, "EWriteError: ファイル " + input + ".new への書き込みエラー");
    ExpectOnlyAdded(before, {});
}

// 82 kana of three bytes and ".csv": 250 bytes, so the ".new" name has 254,
// one short of what a folder entry may hold.
TEST_F(FaultTest, LongestNamesStillGetTheirOutputs) {
    std::string name;
    for (int i = 0; i < 82; ++i) name += "あ";
    const std::string input = Write(name + ".csv", "b,2\r\na,1\r\na,1\r\n");

    EXPECT_EQ(RunReportingError(SortWithDuplicates({input})), "");
    EXPECT_EQ(Read(input + ".new"), "a,1\r\nb,2\r\n");
    EXPECT_EQ(Read(input + ".w"), "a,1\r\n");
}

// Runs body in a forked child, which must die by a signal; its pid.
pid_t KilledChild(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    return child;
}

// A run killed while its ".w" waits for the ".new" leaves nothing behind; a
// temporary of a dead process of this program is removed by the next run,
// and files this program did not make are left alone.
TEST_F(FaultTest, KilledRunsLeaveNothingThatOutlivesThem) {
    const std::string input = Write("in.csv", "b,2\r\na,1\r\na,1\r\n");
    const Snapshot before = Take();
    const pid_t child = KilledChild([&] {
        RunSettings s = SortWithDuplicates({input});
        s.RecordExtractionOn = true;
        s.Condition1 = {1, "a", MatchMode::Equals};
        FaultObserver observer;
        observer.onEvents = [] { ::raise(SIGKILL); };
        RunReportingError(s, observer);
    });
    ExpectOnlyAdded(before, {});

    const std::string dead = ".qlr-" + std::to_string(child) + "-0.tmp";
    const std::string alive = ".qlr-" + std::to_string(::getpid()) + "-7.tmp";
    Write(dead, "left by a killed run");
    Write(alive, "still being written");
    Write(".qlr-notapid-0.tmp", "someone else's");
    fs::create_directory(PathOf(".qlr-" + std::to_string(child) + "-1.tmp"));
    if (RunningAsRoot()) {
        GiveToUnprivilegedUser(Write(".qlr-" + std::to_string(child) + "-2.tmp", "another's"));
    }
    const std::string other = Write("other.csv", "c,3\r\n");
    Snapshot expected = Take();
    expected.erase(dead);

    EXPECT_EQ(RunReportingError(SortWithDuplicates({other})), "");
    ExpectOnlyAdded(expected, {"other.csv.new"});
    EXPECT_FALSE(fs::exists(PathOf(dead)));
}

// Killed while a sort's runs lie on disk beside the output: they have no
// name, so the kill leaves nothing.
TEST_F(FaultTest, KilledDuringASortOnDiskLeavesNothing) {
    std::string text;
    for (int i = 0; i < 30000; ++i) text += std::to_string(i % 977) + ",x\r\n";
    const std::string input = Write("in.csv", text);
    const Snapshot before = Take();
    KilledChild([&] {
        class KilledInMerge : public FaultObserver {
          public:
            void KeepAlive(int percent) override {
                // The runs take the first half of the bar: past it, inside the merge.
                if (percent > 50) ::raise(SIGKILL);
            }
        } observer;
        RunSettings s = SortWithDuplicates({input});
        s.MemoryBudget = 64 << 10;
        RunReportingError(s, observer);
    });
    ExpectOnlyAdded(before, {});
}

struct ModeCase {
    const char* name;
    mode_t input;
    mode_t umask;
    mode_t existing;  // 0: no output there yet
    mode_t expected;
};

class OutputMode : public FaultTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(OutputMode, NoMoreReadableThanTheInput) {
    const ModeCase& c = GetParam();
    const std::string input = Write("in.csv", "b,2\r\na,1\r\na,1\r\n");
    ::chmod(input.c_str(), c.input);
    for (const char* suffix : {".new", ".w"}) {
        if (c.existing)
            ::chmod(Write(std::string("in.csv") + suffix, "old\r\n").c_str(), c.existing);
    }
    const mode_t old = ::umask(c.umask);
    const std::string error = RunReportingError(SortWithDuplicates({input}));
    ::umask(old);

    ASSERT_EQ(error, "");
    for (const char* suffix : {".new", ".w"}) {
        struct stat st {};
        ASSERT_EQ(::stat((input + suffix).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.expected) << suffix;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OutputMode,
    ::testing::Values(ModeCase{"PrivateInput", 0600, 022, 0, 0600},
                      ModeCase{"GroupReadable", 0640, 022, 0, 0640},
                      ModeCase{"UmaskLimitsFurther", 0644, 077, 0, 0600},
                      ModeCase{"ReadOnlyInputGivesReplaceableOutput", 0444, 022, 0, 0644},
                      ModeCase{"StaleWiderOutput", 0600, 022, 0644, 0600},
                      ModeCase{"StaleWiderOutputUnderUmask077", 0600, 077, 0644, 0600},
                      ModeCase{"NarrowerOldOutputNarrowsTheNew", 0644, 022, 0600, 0600},
                      ModeCase{"SpecialBitsNeverSet", 06777, 0, 06777, 0777}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FaultTest, OutputsAreFlushedBeforeTheyTakeTheirName) {
    const std::string input = Write("in.csv", "b,2\r\na,1\r\na,1\r\n");
    Write("in.csv.new", "old\r\n");
    calls.on = true;
    const std::string error = RunReportingError(SortWithDuplicates({input}));
    const auto seen = std::exchange(calls, CallLog{}).flushedBeforeNamed;
    ASSERT_EQ(error, "");
    EXPECT_EQ(seen, (std::map<std::string, bool>{{"in.csv.new", true}, {"in.csv.w", true}}));
}

// A ".new" that cannot take its name leaves the folder as it was: old
// outputs stand, and no new ".w" outlives it although the ".w" goes first. In
// its way: a name that does not fit (252 + 4 bytes), a folder (there from the
// start, or made once the outputs are flushed), an append-only old ".new"
// (seen before any rename), or a rename refused at the last moment.
TEST_F(FaultTest, ARefusedNewLeavesTheOutputsAsTheyWere) {
    const struct {
        std::string Name;
        const char* InTheWay;  // "refused old": refused, with an old ".new" there
        bool OldW;
    } rows[] = {{std::string(248, 'x') + ".csv", "too long", true},
                {"append-w.csv", "append-only", true},
                {"refused-w.csv", "refused old", true},
                {"folder.csv", "folder", false},
                {"late-w.csv", "late folder", true},
                {"append.csv", "append-only", false},
                {"refused.csv", "refused", false},
                {"refusedold.csv", "refused old", false}};
    for (const auto& row : rows) {
        const std::string& name = row.Name;
        const std::string way = row.InTheWay;
        SCOPED_TRACE(way + (row.OldW ? ", old outputs" : ""));
        const std::string input = Write(name, "b,2\r\na,1\r\na,1\r\n");
        if (row.OldW) Write(name + ".w", "old w\r\n");
        if (way == "folder") fs::create_directory(PathOf(name + ".new"));
        const FileHandle old(way == "append-only" || way == "refused old"
                                 ? ::open(Write(name + ".new", "old\r\n").c_str(), O_RDONLY)
                                 : -1);
        int flags = FS_APPEND_FL;
        if (way == "append-only" && ::ioctl(old.Get(), FS_IOC_SETFLAGS, &flags) != 0) continue;
        const Snapshot before = Take();
        calls.on = true;
        calls.refusedName = way.starts_with("refused") ? name + ".new" : "";
        calls.folderWhenBothSynced = way == "late folder" ? PathOf(name + ".new") : "";
        EXPECT_EQ(RunReportingError(SortWithDuplicates({input})),
                  "EFCreateError: ファイル " + input + ".new を作成できません");
        calls = CallLog{};
        flags = 0;
        if (old.Valid()) ::ioctl(old.Get(), FS_IOC_SETFLAGS, &flags);
        ExpectOnlyAdded(
            before, way == "late folder" ? std::vector{name + ".new"} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace quellor::faults
