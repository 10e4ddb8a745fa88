#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "run/FieldEntry.h"

namespace quellor {
namespace {

struct EntryCase {
    const char* Entry;
    std::optional<int> Number;
};

class FieldEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(FieldEntry, ReadsTheWholeRunOfDigits) {
    EXPECT_EQ(FieldNumberOfEntry(GetParam().Entry), GetParam().Number) << GetParam().Entry;
}

INSTANTIATE_TEST_SUITE_P(
    Run, FieldEntry,
    ::testing::Values(EntryCase{"[第01ﾌｨｰﾙﾄﾞ]　abc", 1}, EntryCase{"[第10ﾌｨｰﾙﾄﾞ]　", 10},
                      EntryCase{"[第99ﾌｨｰﾙﾄﾞ]　東京", 99}, EntryCase{"[第100ﾌｨｰﾙﾄﾞ]　x", 100},
                      EntryCase{"[第1234ﾌｨｰﾙﾄﾞ]　[第5ﾌｨｰﾙﾄﾞ]", 1234}, EntryCase{"[第7ﾌｨｰﾙﾄﾞ]　", 7},
                      EntryCase{"[第ﾌｨｰﾙﾄﾞ]　x", std::nullopt},
                      EntryCase{"[第1aﾌｨｰﾙﾄﾞ]　x", std::nullopt},
                      EntryCase{"[第０１ﾌｨｰﾙﾄﾞ]　x", std::nullopt},
                      EntryCase{"第01ﾌｨｰﾙﾄﾞ", std::nullopt}, EntryCase{"[第01]　x", std::nullopt},
                      EntryCase{"[第99999999999ﾌｨｰﾙﾄﾞ]　x", std::nullopt},
                      EntryCase{"", std::nullopt}));

}  // namespace
}  // namespace quellor
