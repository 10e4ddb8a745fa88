// Shared helpers of the record engine tests: CP932 literals, list filling,
// a record's fields, exception checks and a scratch folder on disk.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "records/CsvDialect.h"
#include "records/StringList.h"

namespace quellor::test {

// Converts a UTF-8 literal to CP932 bytes (well-formed text only).
std::string Sjis(std::string_view utf8);

// Readable form of CP932 bytes for failure messages: printable ASCII as is,
// everything else as \xNN.
std::string Hex(std::string_view bytes);

void Fill(TStringList& list, const std::vector<std::string>& lines);
std::vector<std::string> Lines(const TStringList& list);

std::string IndexMessage(int index);

// The fields SplitFields cuts from a record: their values, and the bytes
// each stood as.
struct Split {
    std::vector<std::string> values, raw;
};
Split SplitOf(std::string_view record, const CsvDialect& dialect);

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends (permissions restored first).
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    std::string WriteBytes(const std::string& name, std::string_view bytes) const;
    std::string ReadBytes(const std::string& path) const;
    // Names of every entry in the folder, sorted.
    std::vector<std::string> Entries() const;

    std::filesystem::path dir_;
};

}  // namespace quellor::test

// Runs stmt and expects an exception of exactly the type (or a subclass)
// carrying the message.
#define EXPECT_THROW_MESSAGE(stmt, Type, expected)                            \
    do {                                                                      \
        try {                                                                 \
            stmt;                                                             \
            ADD_FAILURE() << "expected " #Type " from: " #stmt;               \
        } catch (const Type& e_) {                                            \
            EXPECT_EQ(std::string(e_.what()), (expected)) << #stmt;           \
        } catch (const std::exception& e_) {                                  \
            ADD_FAILURE() << "wrong exception from " #stmt ": " << e_.what(); \
        }                                                                     \
    } while (0)
