// Every text the processing run shows, exactly as the user sees it (UTF-8).
#pragma once

#include "records/Encoding.h"

namespace quellor::runmsg {

// Start checks, in the order they are made.
inline constexpr const char* kNoFiles = "処理ﾌｧｲﾙがありません";
inline constexpr const char* kNoChosenFields = "抽出するﾌｨｰﾙﾄﾞが指定されていません";
inline constexpr const char* kNoSortKey = "ｿｰﾄｷｰが指定されていません";
inline constexpr const char* kNoRecordCondition = "抽出するﾚｺｰﾄﾞ条件が指定されていません";
inline constexpr const char* kNoOperation = "条件が指定されていません";
// The listed file that an output would overwrite, then the file it is the output of.
inline constexpr const char* kOutputIsListedFile = "%sは%sの出力先と同じﾌｧｲﾙなので処理できません";

// Counters.
inline constexpr const char* kFileCounter = "%d/%dﾌｧｲﾙ処理";
inline constexpr const char* kRecordCounter = "%d/%dﾚｺｰﾄﾞ処理";
inline constexpr const char* kSortCounter = "ｿｰﾄ件数%d件";

// Log lines.
// The file's name, then once it is read the encoding it was read in.
inline constexpr const char* kLogFileStart = "%sを処理中．．．";
inline constexpr const char* kLogEncoding = "（%s）\r\n";
inline constexpr const char* kLogSorting = "ｿｰﾄ中．．．";
inline constexpr const char* kLogRecordExtraction = "ﾚｺｰﾄﾞ抽出中．．．";
inline constexpr const char* kLogFieldExtraction = "ﾌｨｰﾙﾄﾞ抽出中．．．";
inline constexpr const char* kLogCount = "%d件\r\n";
inline constexpr const char* kLogDone = "完了";
inline constexpr const char* kLogFailed = "\r\n異常終了しました";
inline constexpr const char* kLogAborted = "\r\nユーザーにより中断されました";
inline constexpr const char* kLogFinished = "正常終了しました\r\n処理ﾌｧｲﾙ数%d\r\n処理時間%dﾐﾘ秒";

// Errors and the end of a run.
inline constexpr const char* kFieldCountError =
    "%sの\r\n%d行目でｴﾗｰ\r\n%dであるべきﾌｨｰﾙﾄﾞ数が%dです";
// A line that the field choosers and the preview show only in part.
inline constexpr const char* kLineTooLong = "%sの\r\n%d行目が長すぎます\r\n先頭%dMBまでを扱います";
inline constexpr const char* kTooManyFields =
    "%sの\r\n%d行目のﾌｨｰﾙﾄﾞ数が多すぎます\r\n先頭%dﾌｨｰﾙﾄﾞまでを扱います";
// A cut line whose first part alone still had too many fields: both limits.
inline constexpr const char* kLineTooLongAndTooManyFields =
    "%sの\r\n%d行目が長すぎます\r\n先頭%dMB・%dﾌｨｰﾙﾄﾞまでを扱います";
// The first file gives the field count of a run; an empty one has none.
inline constexpr const char* kFirstFileEmpty = "ファイル %s は空なのでﾌｨｰﾙﾄﾞ数がわかりません";
inline constexpr const char* kAborted = "ユーザーにより中断されました";
inline constexpr const char* kOutOfMemory = "メモリが足りないため%sを処理できません";
inline constexpr const char* kFinished = "処理が終わりました";

// The encodings as the log and the window name them: the words --encoding takes.
inline constexpr const char* kEncodingCp932 = "CP932";
inline constexpr const char* kEncodingUtf8 = "UTF-8";
inline constexpr const char* EncodingName(Encoding encoding) {
    return encoding == Encoding::Utf8 ? kEncodingUtf8 : kEncodingCp932;
}

// Suffixes of the output files, appended to the input's full name.
inline constexpr const char* kProcessedSuffix = ".new";
inline constexpr const char* kDuplicatesSuffix = ".w";

}  // namespace quellor::runmsg
