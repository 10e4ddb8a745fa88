// quellor-cli run as a script runs it: exit statuses, its two streams, and
// what it leaves on disk after a start check, an error and an interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "quellor-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        dir = templ;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return in ? all.str() : "<missing>";
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Starts the command with its output in two files of the folder.
    pid_t Start(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
        std::vector<std::string> all{QUELLOR_CLI};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        // The variables given replace those of the same name.
        for (char** e = environ; *e; ++e) {
            const std::string_view var(*e);
            const auto same = [&](const std::string& v) {
                return var.substr(0, var.find('=') + 1) == v.substr(0, v.find('=') + 1);
            };
            if (std::none_of(env.begin(), env.end(), same)) envp.push_back(*e);
        }
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, Stream("out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, Stream("err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }
    Outcome Wait(pid_t pid) {
        int wstatus = 0;
        EXPECT_EQ(::waitpid(pid, &wstatus, 0), pid);
        Outcome o{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, Read(Stream("out")),
                  Read(Stream("err"))};
        fs::remove(Stream("out"));
        fs::remove(Stream("err"));
        return o;
    }
    Outcome Run(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
        return Wait(Start(args, std::move(env)));
    }
    // The streams live beside the folder, so that the folder holds only what the run wrote.
    std::string Stream(const char* which) const { return dir.string() + "." + which; }

    fs::path dir;
};

const char kSmall[] = "1,a,x\r\n2,b,y\r\n";

TEST_F(CliTest, StartChecksAndBadArgumentsLeaveEverythingAsItWas) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errHas;
    } cases[] = {
        {{"A"}, 1, "quellor-cli: 条件が指定されていません\n"},
        {{"--fields", "1"}, 1, "quellor-cli: 処理ﾌｧｲﾙがありません\n"},
        {{"--or", "1:equals:1", "A"}, 1, "quellor-cli: 抽出するﾚｺｰﾄﾞ条件が指定されていません\n"},
        {{"--sort", "3:up", "A"}, 64, "quellor-cli: --sort 3:up: "},
        {{"--where=1:like:x", "A"}, 64, "quellor-cli: --where 1:like:x: "},
        {{"--fields", "4,1", "A"}, 64, "quellor-cli: --fields 4,1: "},
        {{"--fields", "0", "A"}, 64, "quellor-cli: --fields 0: "},
        {{"--where", "1:equals:x", "--and", "2:ends:\xF0\x9F\x98\x80", "A"}, 64, "--and 2:ends:"},
        {{"--where", "1:equals:x", "--and", "2:ends:b", "--or", "2:ends:c", "A"}, 64, "--or: "},
        {{"--duplicates", "--duplicates", "A"}, 64, "--duplicates: "},
        {{"--frobnicate", "A"}, 64, "quellor-cli: --frobnicate: "},
        {{"A", "--fields"}, 64, "quellor-cli: --fields: "},
    };
    const std::string input = Write("a.csv", kSmall);
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (auto& a : args) a = a == "A" ? input : a;
        const Outcome o = Run(args);
        EXPECT_EQ(o.status, c.status) << args[0];
        EXPECT_NE(o.err.find(c.errHas), std::string::npos) << o.err;
        EXPECT_EQ(Listing(), std::vector<std::string>{"a.csv"}) << args[0];
    }
    EXPECT_EQ(Read(input), kSmall);
}

TEST_F(CliTest, HelpFollowsTheLocaleAndVersionIsTheProjects) {
    EXPECT_EQ(
        Run({"--help"}, {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"}).out.rfind("使い方", 0),
        0u);
    EXPECT_EQ(Run({"--help"}, {"LC_ALL=C", "LANG=ja_JP.UTF-8"}).out.rfind("Usage", 0), 0u);
    const Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quellor-cli 2.", 0), 0u) << version.out;
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
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.csv", "a.csv.new", "b.csv", "c.csv"}));
}

TEST_F(CliTest, AnInterruptAbortsTheRunAndLeavesNothingPartial) {
    std::string big;
    for (int i = 0; i < 2'000'000; ++i) big += std::to_string(i) + ",ab,cd\r\n";
    const std::string input = Write("big.csv", big);
    const pid_t pid = Start({"--where", "2:equals:ab", "--fields", "3,1", input});
    // The first log line is printed as the file's processing begins; the
    // interrupt then reaches the run while it loads or extracts.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Read(Stream("out")).find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    const Outcome o = Wait(pid);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "quellor-cli: ユーザーにより中断されました.\n");
    EXPECT_NE(o.out.find("\nユーザーにより中断されました\n"), std::string::npos) << o.out;
    EXPECT_EQ(Listing(), std::vector<std::string>{"big.csv"});
    EXPECT_TRUE(Read(input) == big);
}

}  // namespace
