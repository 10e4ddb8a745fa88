// quellor-cli run as a script runs it: exit statuses, its two streams, and
// what it leaves on disk after a start check, an error and an interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }

    // Starts the command through env(1), which sets the variables given,
    // with its output in two files beside the folder.
    pid_t Start(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
        env.insert(env.begin(), "env");
        env.push_back(QUELLOR_CLI);
        env.insert(env.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : env) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        for (int fd : {0, 1, 2}) {
            const auto to = instead.find(fd);
            const std::string path = to != instead.end() ? to->second : fd ? Stream(fd) : "-";
            if (path.empty())
                posix_spawn_file_actions_addclose(&files, fd);
            else if (path != "-")
                posix_spawn_file_actions_addopen(&files, fd, path.c_str(),
                                                 O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        pid_t pid = -1;
        EXPECT_EQ(posix_spawnp(&pid, "env", &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }
    Outcome Wait(pid_t pid) {
        int wstatus = 0;
        EXPECT_EQ(::waitpid(pid, &wstatus, 0), pid);
        Outcome o{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, Read(Stream(1)), Read(Stream(2))};
        for (int fd : {1, 2}) fs::remove(Stream(fd));
        return o;
    }
    Outcome Run(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
        return Wait(Start(args, std::move(env)));
    }
    // The streams live beside the folder, so that the folder holds only what the run wrote.
    std::string Stream(int fd) const { return dir.string() + "." + std::to_string(fd); }

    // Where the command's descriptors go instead of the streams' files: "" closes one.
    std::map<int, std::string> instead;
    const fs::path dir = fs::temp_directory_path() / ("quellor-cli-" + std::to_string(::getpid()));
};

const char kSmall[] = "1,a,x\r\n2,b,y\r\n";

// Help, version, start checks and bad arguments: each its status and its
// stream, none touches a file.
TEST_F(CliTest, NoRunNoOutput) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
        std::string lang = "ja_JP.UTF-8";  // the help's language follows the locale
    } cases[] = {
        {{"--help"}, 0, "使い方: quellor-cli"},
        {{"--help"}, 0, "Usage: quellor-cli", "C"},
        {{"--version"}, 0, "quellor-cli 2."},
        {{"A"}, 1, "quellor-cli: 条件が指定されていません\n"},
        {{"--fields", "1"}, 1, "quellor-cli: 処理ﾌｧｲﾙがありません\n"},
        {{"--or", "1:equals:1", "A"}, 1, "quellor-cli: 抽出するﾚｺｰﾄﾞ条件が指定されていません\n"},
        {{"--sort", "3:up", "A"}, 64, "quellor-cli: --sort 3:up: "},
        {{"--where=1:like:x", "A"}, 64, "quellor-cli: --where 1:like:x: "},
        {{"--fields", "4,1", "A"}, 64, "quellor-cli: --fields 4,1: "},
        {{"--fields", "0", "A"}, 64, "quellor-cli: --fields 0: "},
        {{"--where", "1:equals:x", "--and", "2:ends:\xFF", "A"}, 64, "--and 2:ends:"},
        {{"--where", "1:equals:x", "--and", "2:ends:b", "--or", "2:ends:c", "A"},
         64,
         "--or: cannot be used together with --and",
         "C"},
        {{"--where", "1:equals:x", "--or", "2:ends:b", "--and", "2:ends:c", "A"},
         64,
         "--and: cannot be used together with --or",
         "C"},
        {{"--duplicates=no", "A"}, 64, "quellor-cli: --duplicates: 値は付けられません\n"},
        {{"--memory", "1023K", "A"}, 64, "quellor-cli: --memory 1023K: 1M より小さいﾒﾓﾘでは"},
        {{"--memory=64K", "A"}, 64, "quellor-cli: --memory 64K: is below 1M", "C"},
        // The first file, read for the field count, named as the run names it.
        {{"--sort", "1", "/nonexistent.csv"}, 2, ": ファイル /nonexistent.csv は開けません.\n"},
        {{"--sort", "1", "/dev/null"}, 2, ": ファイル /dev/null は開けません.\n"},
        {{"--sort", "1", "A/x"}, 2, "a.csv/x は開けません.\n"},
        {{"--sort", "1", "E"}, 2, "e.csv は空なのでﾌｨｰﾙﾄﾞ数がわかりません.\n"},
        {{"--duplicates", "--duplicates", "A"}, 64, "--duplicates: "},
        {{"--frobnicate", "A"}, 64, "quellor-cli: --frobnicate: "},
        {{"A", "--fields"}, 64, "quellor-cli: --fields: "},
        {{"--encoding", "euc-jp", "--sort", "1", "A"}, 64, "quellor-cli: --encoding euc-jp: "},
    };
    const std::string input = Write("a.csv", kSmall);
    const std::string empty = Write("e.csv", "");
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (auto& a : args) a = a == "E" ? empty : a.starts_with("A") ? input + a.substr(1) : a;
        const Outcome o = Run(args, {"LC_ALL=", "LC_MESSAGES=", "LANG=" + c.lang});
        EXPECT_EQ(o.status, c.status) << args[0];
        // Help and version are the output; a start check's warning and every
        // refusal go to standard error and leave the log, which a script may
        // collect, empty.
        const auto& [said, other] = c.status == 0 ? std::tie(o.out, o.err) : std::tie(o.err, o.out);
        EXPECT_NE(said.find(c.says), std::string::npos) << o.out << o.err;
        EXPECT_EQ(other, "") << args[0];
        EXPECT_EQ(Listing(), (std::set<std::string>{"a.csv", "e.csv"})) << args[0];
    }
    EXPECT_EQ(Read(input), kSmall);
}

TEST_F(CliTest, AnErrorEndsTheRunWhereTheWindowWould) {
    const std::string a = Write("a.csv", kSmall);
    const std::string b = Write("b.csv", "3,c,z\r\n4,d\r\n");
    const std::string c = Write("c.csv", kSmall);
    const Outcome o = Run({"--fields", "3,1", a, b, c});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "quellor-cli: " + b + "の\n2行目でｴﾗｰ\n3であるべきﾌｨｰﾙﾄﾞ数が2です.\n");
    EXPECT_TRUE(o.out.ends_with("ﾌｨｰﾙﾄﾞ抽出中．．．\n異常終了しました\n")) << o.out;
    EXPECT_EQ(Read(a + ".new"), "x,1\r\ny,2\r\n");
    EXPECT_EQ(Listing(), (std::set<std::string>{"a.csv", "a.csv.new", "b.csv", "c.csv"}));
}

// A UTF-8 file with one stray byte is named with the line of that byte until
// the user chooses the encoding; the first file's field count follows the choice.
TEST_F(CliTest, AStrayByteIsNamedUntilTheUserChoosesTheEncoding) {
    const std::string input = Write("u.csv", "あ,1,2\r\nい,3,4\r\n\xFF,5,6\r\n");
    const Outcome guessed = Run({"--where", "1:equals:い", input});
    EXPECT_EQ(guessed.status, 2);
    EXPECT_EQ(guessed.err, "quellor-cli: ファイル " + input +
                               " はUTF-8として読みましたが、3行目にUTF-8でないバイトがあります.\n");
    const Outcome chosen =
        Run({"--encoding=utf-8", "--where", "1:equals:い", "--fields", "3", input});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(Read(input + ".new"), "4\r\n");
    EXPECT_TRUE(chosen.out.starts_with(input + "を処理中．．．（UTF-8）\n")) << chosen.out;
}

TEST_F(CliTest, AnInterruptAbortsTheRunAndLeavesNothingPartial) {
    std::string big;
    for (int i = 0; i < 2'000'000; ++i) big += std::to_string(i) + ",ab,cd\r\n";
    const std::string input = Write("big.csv", big);
    for (int signal : {SIGINT, SIGTERM}) {
        const pid_t pid = Start({"--where", "2:equals:ab", "--fields", "3,1", input});
        // The first log line is printed once the file is read (it ends with the
        // encoding); the interrupt then reaches the run while it extracts.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Read(Stream(1)).find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(::kill(pid, signal), 0);
        const Outcome o = Wait(pid);
        EXPECT_EQ(o.status, 3);
        EXPECT_EQ(o.err, "quellor-cli: ユーザーにより中断されました.\n");
        EXPECT_NE(o.out.find("\nユーザーにより中断されました\n"), std::string::npos) << o.out;
        EXPECT_EQ(Listing(), std::set<std::string>{"big.csv"});
        EXPECT_TRUE(Read(input) == big);
    }
}

// Before the run: the first line of the first file (8 MB, read 128 bytes at a time) is being read.
TEST_F(CliTest, AnInterruptWhileTheFirstFileIsSampledAborts) {
    const std::string input = Write("wide.csv", std::string(8 << 20, 'x') + "\r\n");
    const pid_t pid = Start({"--sort", "1", input});
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (bool open = false; !open && fs::exists(fds);) {
        std::error_code ec;
        for (const auto& fd : fs::directory_iterator(fds, ec))
            open |= fs::read_symlink(fd, ec) == input;
    }
    ::kill(pid, SIGINT);
    const Outcome o = Wait(pid);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "quellor-cli: ユーザーにより中断されました.\n");
    EXPECT_EQ(Listing(), std::set<std::string>{"wide.csv"});
}

// Colons in a search text and a file named "-" reach the run as typed.
TEST_F(CliTest, ArgumentsReachTheRunAsTyped) {
    Write("-", "12:30,a\r\n12,b\r\n");
    EXPECT_EQ(Run({"--where", "1:equals:12:30", "-"}, {"-C", dir.string()}).status, 0);
    EXPECT_EQ(Read(dir / "-.new"), "12:30,a\r\n");
}

// A job file that cannot be read as one names the file and the line, and
// runs nothing.
TEST_F(CliTest, ABadJobIsRefusedByFileAndLine) {
    const struct {
        std::string job, says;
    } cases[] = {
        {"quellor-job 1\n--frobnicate\n", "bad.txt:2: --frobnicate: unknown option"},
        {"quellor-job 1\n# month\n\n--sort 3:up\r\n", "bad.txt:4: --sort 3:up: is not FIELD"},
        {"quellor-job 1\n--sort 1\n--sort 2\n", "bad.txt:3: --sort: given twice"},
        {"quellor-job 1\n--memory 1M\n", "bad.txt:2: --memory: cannot stand in a job file"},
        {"quellor-job 1\na.csv\n", "bad.txt:2: a.csv: cannot stand in a job file"},
        {"quellor-job 1\n--sort\n", "bad.txt:2: --sort: needs a value"},
        // Blanks at the end of a line are in its value, yet no editor shows
        // them; a flag given a value is named as the flag.
        {"quellor-job 1\n--where 2:contains:東京 \r\n", "bad.txt:2: --where: ends in blanks"},
        {"quellor-job 1\n--where=2:contains:東京\t\r\n", "bad.txt:2: --where: ends in blanks"},
        {"quellor-job 1\n--where 2:contains:東京\u3000\r\n", "bad.txt:2: --where: ends in blanks"},
        {"quellor-job 1\n--duplicates \r\n", "bad.txt:2: --duplicates: ends in blanks"},
        {"quellor-job 1\n--duplicates yes\r\n", "bad.txt:2: --duplicates: takes no value"},
        {"quellor-job 1\n--header=\r\n", "bad.txt:2: --header: takes no value"},
        {"quellor-job 2\n--sort 1\n", "bad.txt:1: is a job of a newer version"},
        {"--sort 1\n", "bad.txt:1: is not a job file"},
        {"quellor-job 1\n--where 1:equals:\xff\n", "bad.txt:2: is not valid UTF-8"},
        {std::string("\x7f"
                     "ELF\x02\x01\0\0",
                     8),
         "bad.txt:1: holds a NUL byte"},
        {"quellor-job 1\n" + std::string(70'000, '#'), "bad.txt: is larger than 64 KiB"},
    };
    const std::string input = Write("a.csv", kSmall);
    for (const auto& c : cases) {
        const std::string job = Write("bad.txt", c.job);
        const Outcome o = Run({"--sort", "1", "@" + job, input}, {"LANG=C"});
        EXPECT_EQ(o.status, 64) << c.says;
        EXPECT_NE(o.err.find(job + c.says.substr(7)), std::string::npos) << o.err;
        EXPECT_EQ(Listing(), (std::set<std::string>{"a.csv", "bad.txt"})) << c.says;
    }
    const Outcome ja = Run({"--job", (dir / "bad.txt").string(), input}, {"LANG=ja_JP.UTF-8"});
    EXPECT_NE(ja.err.find("bad.txt: 64KB"), std::string::npos) << ja.err;
}

// A job's options stand where it is named: later options override it.
TEST_F(CliTest, OptionsAfterAJobOverrideIt) {
    const std::string job = Write("month.txt", "quellor-job 1\n--sort 1\n--fields 2,1\n");
    const std::string input = Write("a.csv", "1,b\r\n2,a\r\n");
    for (const auto& [args, result] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"@" + job}, "b,1\r\na,2\r\n"},
             {{"--job", job, "--sort", "2"}, "a,2\r\nb,1\r\n"},
             {{"--sort", "2", "@" + job}, "b,1\r\na,2\r\n"}}) {
        std::vector<std::string> all = args;
        all.push_back(input);
        EXPECT_EQ(Run(all).status, 0);
        EXPECT_EQ(Read(dir / "a.csv.new"), result);
    }
}

// A job started with closed streams, or whose log goes nowhere: the outputs
// hold records only, and a log that was lost makes the run an error.
TEST_F(CliTest, ClosedOrFullStandardStreams) {
    const std::string input = Write("a.csv", "1,a\r\n2,b\r\n1,a\r\n");
    const std::map<int, std::string> closed{{0, ""}, {1, ""}}, full{{1, "/dev/full"}};
    for (const auto& [streams, status, says] :
         {std::tuple{closed, 0, ""}, {full, 2, "cannot write the log"}}) {
        instead = streams;
        const Outcome o = Run({"--sort", "1", "--duplicates", input}, {"LANG=C"});
        EXPECT_EQ(o.status, status);
        EXPECT_NE(o.err.find(says), std::string::npos) << o.err;
        EXPECT_EQ(Read(input + ".new") + Read(input + ".w"), "1,a\r\n2,b\r\n1,a\r\n");
    }
}

// Under a file-size limit the output's write fails and is reported; nothing partial stays.
TEST_F(CliTest, AFileSizeLimitIsAWriteError) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += std::to_string(i) + ",x\r\n";
    const std::string input = Write("a.csv", text);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{4096, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE,
                &small);  // inherited by the command only: nothing is written here meanwhile
    const pid_t pid = Start({"--sort", "1", input});
    ::setrlimit(RLIMIT_FSIZE, &old);
    const Outcome o = Wait(pid);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "quellor-cli: ファイル " + input + ".new への書き込みエラー.\n");
    EXPECT_EQ(Listing(), std::set<std::string>{"a.csv"});
}

// Started with standard error closed, the command writes its messages to
// nowhere and says by its status alone how the run ended.
TEST_F(CliTest, StandardErrorClosed) {
    instead = {{2, ""}};
    const std::string input = Write("a.csv", "1,a\r\n2,b\r\n1,a\r\n");
    EXPECT_EQ(Run({input}).status, 1);  // a start check
    EXPECT_EQ(Run({"--fields", "3", input}).status, 64);
    const Outcome done = Run({"--sort", "1", "--duplicates", input});
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(Read(input + ".new") + Read(input + ".w"), "1,a\r\n2,b\r\n1,a\r\n");
    EXPECT_EQ(Listing(), (std::set<std::string>{"a.csv", "a.csv.new", "a.csv.w"}));
}

// The command's peak memory in KiB. It is started from a fork of this
// process with the heap's free pages given back, not through posix_spawn: a
// program started in a process's place keeps that process's peak, and this
// one's is whatever earlier tests left.
long PeakKiB(const std::vector<std::string>& args) {
    std::vector<std::string> all{QUELLOR_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::malloc_trim(0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int wstatus = 0;
    rusage usage{};
    EXPECT_EQ(::wait4(pid, &wstatus, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0) << args[1];
    return usage.ru_maxrss;
}

// --memory reaches the run: under the least budget a file is read record by
// record, and the command takes far less memory than with the file loaded.
TEST_F(CliTest, TheMemoryOptionBoundsTheRun) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's quarantine keeps freed memory: peaks say nothing";
#endif
    const std::string input = (dir / "big.csv").string();
    std::size_t size = 0;
    {
        std::ofstream out(input, std::ios::binary);
        for (int i = 0; size < (16u << 20); ++i) {
            const std::string line = std::to_string(i) + ",abcdefghijklmnop\r\n";
            out << line;
            size += line.size();
        }
    }
    const long loaded = PeakKiB({"--memory", "1G", "--fields", "1", input});
    const long streamed = PeakKiB({"--memory", "1M", "--fields", "1", input});
    EXPECT_GT(loaded - streamed, static_cast<long>(size / 2 / 1024))
        << loaded << " KiB with the file loaded, " << streamed << " KiB streamed";
}

}  // namespace
