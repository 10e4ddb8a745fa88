#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <type_traits>
#include <vector>

#include "records/Exceptions.h"
#include "records/Format.h"

namespace quellor {
namespace {

static_assert(std::is_base_of_v<std::exception, Exception>);
static_assert(std::is_base_of_v<Exception, EStringListError>);
static_assert(std::is_base_of_v<Exception, EStreamError>);
static_assert(std::is_base_of_v<EStreamError, EFOpenError>);
static_assert(std::is_base_of_v<EStreamError, EFCreateError>);
static_assert(std::is_base_of_v<EStreamError, EReadError>);
static_assert(std::is_base_of_v<EStreamError, EFilerError>);
static_assert(std::is_base_of_v<EFilerError, EWriteError>);
static_assert(std::is_base_of_v<Exception, EInOutError>);
static_assert(!std::is_base_of_v<EStreamError, EInOutError>);
static_assert(!std::is_base_of_v<EFilerError, EFOpenError>);

struct CodeRow {
    int code;
    std::string message;
};

TEST(InOutErrorTest, MessageByCode) {
    const std::vector<CodeRow> table = {
        {2, "ファイルが見つかりません"},
        {3, "不正なファイル名です"},
        {4, "オープンしたファイルが多すぎます"},
        {5, "ファイルへのアクセスが拒否されました"},
        {32, "I/O エラー (32)"},
        {28, "I/O エラー (28)"},
        {1, "I/O エラー (1)"},
    };
    for (const auto& row : table) {
        EInOutError error(row.code);
        EXPECT_EQ(error.ErrorCode(), row.code);
        EXPECT_EQ(std::string(error.what()), row.message);
        EXPECT_EQ(error.Message(), row.message);
    }
}

TEST(InOutErrorTest, CodeFromErrno) {
    const std::vector<std::pair<int, int>> table = {
        {ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {EMFILE, 4},    {ENFILE, 4},
        {EACCES, 5}, {EPERM, 5},   {EISDIR, 5},       {EBUSY, EBUSY}, {ENOSPC, ENOSPC},
    };
    for (const auto& [err, code] : table) EXPECT_EQ(InOutCodeFromErrno(err), code) << err;
}

// Regression: EIO is 5, the code of a refused access, and a failing disk
// was reported as "ファイルへのアクセスが拒否されました".
TEST(InOutErrorTest, FromErrnoNamesUnmappedErrorsByNumber) {
    const std::vector<CodeRow> table = {
        {EIO, "I/O エラー (5)"},
        {ENOENT, "ファイルが見つかりません"},
        {EACCES, "ファイルへのアクセスが拒否されました"},
        {ENOTDIR, "不正なファイル名です"},
        {ENOSPC, "I/O エラー (28)"},
    };
    for (const auto& row : table) {
        EInOutError error = EInOutError::FromErrno(row.code);
        EXPECT_EQ(std::string(error.what()), row.message) << row.code;
    }
    EXPECT_EQ(EInOutError::FromErrno(EIO).ErrorCode(), 5);
    EXPECT_EQ(EInOutError::FromErrno(EACCES).ErrorCode(), 5);
}

TEST(FormatTest, FillsTextsAndNumbers) {
    EXPECT_EQ(Format("ファイル %s は開けません", {"/tmp/a b.csv"}),
              "ファイル /tmp/a b.csv は開けません");
    EXPECT_EQ(Format("(%d)", {std::int64_t{-1}}), "(-1)");
    EXPECT_EQ(Format("%s:%d:%s", {"\x82\xa0", std::int64_t{2147483647}, ""}),
              "\x82\xa0:2147483647:");
    EXPECT_EQ(Format("no placeholders", {}), "no placeholders");
}

}  // namespace
}  // namespace quellor
