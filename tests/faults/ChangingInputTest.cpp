// An input that another program changes while the run reads it again: a
// file too large for memory is read once to be indexed and again to be
// sorted or extracted, and a file that is not the same the second time
// would give fewer records, or records of two files, under "正常終了しました".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

// Acts once, when the run reports the records it counted: after the first
// read, before the second.
class ChangingObserver : public FaultObserver {
  public:
    std::function<void()> change;
    void SetRecordCounter(const std::string& text) override {
        if (change && text.starts_with("0/")) std::exchange(change, nullptr)();
    }
};

struct ChangeCase {
    const char* name;
    void (*change)(const std::string& path);
};

const ChangeCase kChanges[] = {
    {"Shrunk", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) / 2); }},
    {"Grown", [](const std::string& p) { std::ofstream(p, std::ios::app) << "9,z,z\r\n"; }},
    // The same size, other bytes: only the modification time tells.
    {"RewrittenInPlace",
     [](const std::string& p) {
         std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(0);
         f << "9";
     }},
};

struct PathCase {
    const char* name;
    void (*set)(RunSettings&);
};

const PathCase kPaths[] = {
    {"SortedOnDisk",
     [](RunSettings& s) {
         s.SortOn = true;
         s.SortKeyField = 3;
         s.DuplicatesToFile = true;
     }},
    {"Streamed",
     [](RunSettings& s) {
         s.FieldExtractionOn = true;
         s.ChosenFields = {2};
     }},
};

class ChangingInput : public FaultTest,
                      public ::testing::WithParamInterface<std::tuple<ChangeCase, PathCase>> {};

TEST_P(ChangingInput, EndsTheRunWithTheReadErrorAndWritesNothing) {
    const auto& [change, path] = GetParam();
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += std::to_string(i % 7) + ",r" + std::to_string(i) + ",k\r\n";
    const std::string input = Write("in.csv", text);
    // An old time, so that a write now changes it whatever the clock's grain.
    const timespec old[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, input.c_str(), old, 0), 0);

    RunSettings s;
    s.Files = {input};
    s.ExpectedFieldCount = 3;
    s.MemoryBudget = 64;  // the file takes the streamed or on-disk path
    path.set(s);
    ChangingObserver observer;
    observer.change = [&] { change.change(input); };

    EXPECT_EQ(RunReportingError(s, observer),
              "EReadError: ファイル " + input + " を読み込めません");
    EXPECT_FALSE(fs::exists(input + ".new"));
    EXPECT_FALSE(fs::exists(input + ".w"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ChangingInput,
                         ::testing::Combine(::testing::ValuesIn(kChanges),
                                            ::testing::ValuesIn(kPaths)),
                         [](const auto& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    std::get<1>(row.param).name;
                         });

}  // namespace
}  // namespace quellor::faults
