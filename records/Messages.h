// Every text of the record engine that can reach the user, exactly as it is shown.
#pragma once

namespace quellor::msg {

inline constexpr const char* kFileCannotOpen = "ファイル %s は開けません";
inline constexpr const char* kFileCannotCreate = "ファイル %s を作成できません";
// A write that failed, naming the output: a run writes two files at once.
inline constexpr const char* kFileWriteError = "ファイル %s への書き込みエラー";
inline constexpr const char* kNulInLine = "ファイル %s の%d行目にNUL文字があります";
// A file that is UTF-8 but for a few bytes: neither reading is safe, and the
// user can choose one (the command line's --encoding).
inline constexpr const char* kStrayByteInUtf8 =
    "ファイル %s はUTF-8として読みましたが、%d行目にUTF-8でないバイトがあります";
// A quoted value that runs to the end of the file: its closing quote is
// missing, and every record after it would be read as part of it.
inline constexpr const char* kUnclosedQuote = "ファイル %s の%d行目で始まる引用符が閉じていません";
inline constexpr const char* kFileTooLarge = "ファイル %s は2GB以上あるため読み込めません";
inline constexpr const char* kFileReadFailed = "ファイル %s を読み込めません";
// A file read in stretches; the run names the file.
inline constexpr const char* kStreamReadError = "ストリームからの読み込みエラー";
// More lines than a count holds (2^31 - 1), whatever the file's size.
inline constexpr const char* kTooManyLines = "ファイル %s は行数が多すぎるため読み込めません";

inline constexpr const char* kInOutFileNotFound = "ファイルが見つかりません";
inline constexpr const char* kInOutPathNotFound = "不正なファイル名です";
inline constexpr const char* kInOutTooManyFiles = "オープンしたファイルが多すぎます";
inline constexpr const char* kInOutAccessDenied = "ファイルへのアクセスが拒否されました";
inline constexpr const char* kInOutOther = "I/O エラー (%d)";

inline constexpr const char* kListIndexOutOfBounds =
    "リストのインデックスが範囲を超えています (%d)";
inline constexpr const char* kFieldCountDiffers = "ﾌｨｰﾙﾄﾞ数が他と違います（%d行目）";
inline constexpr const char* kFieldMissing = "指定したﾌｨｰﾙﾄﾞがありません（第%dﾌｨｰﾙﾄﾞ）";

}  // namespace quellor::msg
