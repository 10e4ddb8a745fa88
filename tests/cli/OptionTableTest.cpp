// What is made from the option table and what is written beside it, as the
// user meets them: the README's option lists, the completion bash runs with
// the file the package installs, and the manual page as man would show it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "run/CommandOptionTable.h"

namespace quellor {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The command's standard output and error together.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// The README's section under this heading, up to the next one.
std::string Section(const std::string& heading) {
    const std::string readme = ReadAll(QUELLOR_SOURCE_DIR "/README.md");
    const std::size_t start = readme.find("\n### " + heading + "\n");
    EXPECT_NE(start, std::string::npos) << heading;
    return readme.substr(start, readme.find("\n### ", start + 1) - start);
}

// The options named `--like-this` in the text.
std::set<std::string> Named(const std::string& text) {
    std::set<std::string> names;
    const std::regex name("`(--[a-z-]+)[ =`]");
    for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}

std::set<std::string> TableOptions(bool jobOnly) {
    std::set<std::string> names;
    for (const CommandOption& option : AllCommandOptions()) {
        if (option.InJob || !jobOnly) names.insert(std::string(option.Name));
    }
    return names;
}

TEST(OptionTable, TheReadmeNamesEveryOptionAndThoseAJobMayHold) {
    const struct {
        std::string options, jobs, jobFrom, jobTo, lineBreak;
    } halves[] = {
        {"コマンドラインから（quellor-cli）", "毎月の処理", "書けるオプションは", "で、", ""},
        {"From the command line (quellor-cli)", "Monthly jobs", "A job may hold", ";", " "}};
    for (const auto& half : halves) {
        EXPECT_EQ(Named(Section(half.options)), TableOptions(false)) << half.options;
        // Japanese lines break between any two characters, English ones at a blank.
        const std::string jobs =
            std::regex_replace(Section(half.jobs), std::regex("\n"), half.lineBreak);
        const std::size_t from = jobs.find(half.jobFrom);
        ASSERT_NE(from, std::string::npos) << half.jobs;
        EXPECT_EQ(Named(jobs.substr(from, jobs.find(half.jobTo, from) - from)), TableOptions(true))
            << half.jobs;
    }
}

// What bash offers after the words typed, the last being the one completed,
// in a folder holding a job and a CSV file.
std::vector<std::string> Completions(const std::string& typed) {
    const fs::path dir =
        fs::temp_directory_path() / ("quellor-complete-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "month.txt") << "quellor-job 1\n";
    std::ofstream(dir / "a.csv") << "1\r\n";
    const std::string out = Output("cd '" + dir.string() + "' && bash --norc --noprofile -c '. " +
                                   QUELLOR_CLI_COMPLETION + "; COMP_WORDS=(quellor-cli " + typed +
                                   "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _quellor_cli; "
                                   "printf \"%s\\n\" \"${COMPREPLY[@]}\"'");
    fs::remove_all(dir);
    std::vector<std::string> words;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        if (end > start) words.push_back(out.substr(start, end - start));
    }
    return words;
}

TEST(OptionTable, BashCompletesOptionsAndTheirValues) {
    std::vector<std::string> every;
    for (const CommandOption& option : AllCommandOptions()) every.emplace_back(option.Name);
    using Words = std::vector<std::string>;
    const struct {
        std::string typed;
        Words offered;
    } cases[] = {
        {"--", every},
        {"--enc", {"--encoding"}},
        {"--no", {"--no-empty-output"}},
        {"--encoding \"\"", {"auto", "cp932", "utf-8"}},
        {"--encoding = u", {"utf-8"}},
        {"--sort \"\"", {}},
        {"--where 1:equals:x --job m", {"month.txt"}},
        {"@m", {"@month.txt"}},
        {"--duplicates a", {"a.csv"}},
        {"-- --f", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Completions(c.typed), c.offered) << c.typed;
}

TEST(OptionTable, TheManualPageRendersWithoutWarnings) {
    EXPECT_EQ(Output("groff -k -man -Tutf8 -ww -z " QUELLOR_CLI_PAGE), "");
}

}  // namespace
}  // namespace quellor
