// quellor-cli run as a script runs it: exit statuses, its two streams, and
// what it leaves on disk after a start check, an error and an interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
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
        for (int fd : {1, 2})
            posix_spawn_file_actions_addopen(&files, fd, Stream(fd).c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

    const fs::path dir = fs::temp_directory_path() / ("quellor-cli-" + std::to_string(::getpid()));
};

const char kSmall[] = "1,a,x\r\n2,b,y\r\n";

// Help, version, start checks and bad arguments: each its status, none touches a file.
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
        {{"--where", "1:equals:x", "--and", "2:ends:b", "--or", "2:ends:c", "A"}, 64, "--or: "},
        {{"--duplicates", "--duplicates", "A"}, 64, "--duplicates: "},
        {{"--frobnicate", "A"}, 64, "quellor-cli: --frobnicate: "},
        {{"A", "--fields"}, 64, "quellor-cli: --fields: "},
        {{"--encoding", "sjis", "--sort", "1", "A"}, 64, "quellor-cli: --encoding sjis: "},
    };
    const std::string input = Write("a.csv", kSmall);
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (auto& a : args) a = a == "A" ? input : a;
        const Outcome o = Run(args, {"LC_ALL=", "LC_MESSAGES=", "LANG=" + c.lang});
        EXPECT_EQ(o.status, c.status) << args[0];
        EXPECT_NE((o.out + o.err).find(c.says), std::string::npos) << o.out << o.err;
        EXPECT_EQ(Listing(), std::set<std::string>{"a.csv"}) << args[0];
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
    const pid_t pid = Start({"--where", "2:equals:ab", "--fields", "3,1", input});
    // The first log line is printed once the file is read (it ends with the
    // encoding); the interrupt then reaches the run while it extracts.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Read(Stream(1)).find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    const Outcome o = Wait(pid);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "quellor-cli: ユーザーにより中断されました.\n");
    EXPECT_NE(o.out.find("\nユーザーにより中断されました\n"), std::string::npos) << o.out;
    EXPECT_EQ(Listing(), std::set<std::string>{"big.csv"});
    EXPECT_TRUE(Read(input) == big);
}

}  // namespace
