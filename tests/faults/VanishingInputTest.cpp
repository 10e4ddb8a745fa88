// Inputs that stop being readable after they were listed: another program
// acts while the run lets the window's events through on an earlier file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "FaultSupport.h"

namespace quellor::faults {
namespace {

namespace fs = std::filesystem;

struct VanishCase {
    const char* name;
    std::function<void(const std::string& path)> act;
    bool nameRemains;  // something still stands under the input's name
};

const VanishCase kVanishCases[] = {
    {"Deleted", [](const std::string& p) { fs::remove(p); }, false},
    {"ReplacedByFolder",
     [](const std::string& p) {
         fs::remove(p);
         fs::create_directory(p);
     },
     true},
    {"DanglingSymlink",
     [](const std::string& p) {
         fs::remove(p);
         fs::create_symlink(p + ".gone", p);
     },
     true},
    {"Unreadable", [](const std::string& p) { ::chmod(p.c_str(), 0); }, true},
};

class VanishingInput : public FaultTest, public ::testing::WithParamInterface<VanishCase> {};

TEST_P(VanishingInput, StopsTheRunWithTheFileNamedAndKeepsEarlierOutputs) {
    ShareFolder();
    const std::string first = Write("first.csv", "b,2\r\na,1\r\n");
    const std::string second = Write("second.csv", "c,3\r\n");
    const std::string third = Write("third.csv", "d,4\r\n");
    for (const auto& p : {first, second, third}) ::chmod(p.c_str(), 0644);
    GiveToUnprivilegedUser(second);  // so that its owner can lock it

    RunSettings s;
    s.Files = {first, second, third};
    s.ExpectedFieldCount = 2;
    s.FieldExtractionOn = true;
    s.ChosenFields = {2, 1};

    const std::string error = InChild([&] {
        // As an ordinary user: root reads a file whatever its permissions.
        DropToUnprivilegedUser();
        FaultObserver observer;
        bool acted = false;
        observer.onEvents = [&] {
            if (!acted) GetParam().act(second);
            acted = true;
        };
        return RunReportingError(s, observer);
    });

    EXPECT_EQ(error, "EFOpenError: ファイル " + second + " は開けません");
    EXPECT_EQ(Read(first + ".new"), "2,b\r\n1,a\r\n");
    EXPECT_FALSE(fs::exists(second + ".new"));
    EXPECT_FALSE(fs::exists(third + ".new"));
    EXPECT_EQ(Read(first), "b,2\r\na,1\r\n");
    EXPECT_EQ(Read(third), "d,4\r\n");
    if (std::string(GetParam().name) == "Unreadable") {
        ::chmod(second.c_str(), 0644);
        EXPECT_EQ(Read(second), "c,3\r\n");
    }
    // Nothing but the first file's output was added.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{"first.csv", "first.csv.new", "third.csv"};
    if (GetParam().nameRemains) expected.insert(expected.begin() + 2, "second.csv");
    EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, VanishingInput, ::testing::ValuesIn(kVanishCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace quellor::faults
