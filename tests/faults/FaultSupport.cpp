#include "FaultSupport.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "records/Exceptions.h"
#include "run/ProcessingRun.h"

namespace quellor::faults {

namespace fs = std::filesystem;

namespace {

std::string ClassOf(const Exception& e) {
    if (dynamic_cast<const EWriteError*>(&e)) return "EWriteError";
    if (dynamic_cast<const EFCreateError*>(&e)) return "EFCreateError";
    if (dynamic_cast<const EFOpenError*>(&e)) return "EFOpenError";
    if (dynamic_cast<const EReadError*>(&e)) return "EReadError";
    if (dynamic_cast<const EStringListError*>(&e)) return "EStringListError";
    if (dynamic_cast<const EOutOfMemory*>(&e)) return "EOutOfMemory";
    return "Exception";
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string RunReportingError(const RunSettings& settings, FaultObserver& observer) {
    try {
        const AbortSwitch abort;
        const RunOutcome outcome = ExecuteRun(settings, observer, abort);
        if (outcome.What == RunOutcome::Kind::Aborted) return "aborted: " + outcome.Message;
    } catch (const Exception& e) {
        return ClassOf(e) + ": " + e.Message();
    }
    return "";
}

std::string RunReportingError(const RunSettings& settings) {
    FaultObserver observer;
    return RunReportingError(settings, observer);
}

std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("escaped: ") + e.what();
        }
        WriteAll(fds[1], result);
        ::_exit(0);  // no exit handlers, no leak report of the parent's state
    }
    ::close(fds[1]);
    std::string result;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        result.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return result;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

namespace {

struct Ids {
    uid_t uid;
    gid_t gid;
};

Ids Nobody() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? Ids{nobody->pw_uid, nobody->pw_gid} : Ids{65534, 65534};
}

}  // namespace

void DropToUnprivilegedUser() {
    if (!RunningAsRoot()) return;
    const Ids ids = Nobody();
    if (::setgroups(0, nullptr) != 0 || ::setgid(ids.gid) != 0 || ::setuid(ids.uid) != 0) {
        std::abort();
    }
}

void GiveToUnprivilegedUser(const std::string& path) {
    if (!RunningAsRoot()) return;
    const Ids ids = Nobody();
    EXPECT_EQ(::chown(path.c_str(), ids.uid, ids.gid), 0) << path;
}

void FaultTest::SetUp() {
    std::string templ = (fs::temp_directory_path() / "quellor-faults-XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    dir_ = templ;
}

void FaultTest::TearDown() {
    // Folders a test locked must open again before they can be removed.
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
        if (entry.is_directory() && !entry.is_symlink()) ::chmod(entry.path().c_str(), 0700);
    }
    ::chmod(dir_.c_str(), 0700);
    fs::remove_all(dir_, ec);
}

std::string FaultTest::Write(const std::string& name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
}

std::string FaultTest::Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Snapshot FaultTest::Take() const {
    Snapshot snap;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
        const std::string rel = fs::relative(entry.path(), dir_).string();
        if (entry.is_symlink()) {
            snap[rel] = "<link " + fs::read_symlink(entry.path()).string() + ">";
        } else if (entry.is_directory()) {
            snap[rel] = "<folder>";
        } else {
            snap[rel] = Read(entry.path().string());
        }
    }
    return snap;
}

void FaultTest::ShareFolder() const {
    ::chmod(dir_.c_str(), 0777);
}

void FaultTest::ExpectOnlyAdded(const Snapshot& before,
                                const std::vector<std::string>& added) const {
    const Snapshot after = Take();
    for (const auto& [name, bytes] : before) {
        const auto it = after.find(name);
        ASSERT_NE(it, after.end()) << name << " is gone";
        EXPECT_TRUE(it->second == bytes) << name << " changed";
    }
    for (const auto& [name, bytes] : after) {
        const bool expected = std::find(added.begin(), added.end(), name) != added.end();
        EXPECT_TRUE(before.count(name) || expected) << "unexpected file " << name;
    }
}

std::string Text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace quellor::faults
