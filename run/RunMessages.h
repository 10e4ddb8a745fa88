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

// A text of the options, in the two languages of the command line's help:
// the window shows the Japanese.
struct Said {
    const char* Japanese;
    const char* English;
};

// Options refused, on the command line or in a job file: each follows the
// argument it names.
inline constexpr Said kUnknownOption = {"知らないｵﾌﾟｼｮﾝです", "unknown option"};
inline constexpr Said kNeedsValue = {"値がありません", "needs a value"};
inline constexpr Said kGivenTwice = {"2回指定されています", "given twice"};
inline constexpr Said kNotFieldNumber = {"1以上のﾌｨｰﾙﾄﾞ番号ではありません",
                                         "is not a field number (1 or more)"};
inline constexpr Said kNotFieldList = {"ﾌｨｰﾙﾄﾞ番号をｺﾝﾏで区切った並び (例 3,1) ではありません",
                                       "is not a comma-separated list of field numbers (3,1)"};
inline constexpr Said kNotCount = {"0以上の数ではありません", "is not a number (0 or more)"};
inline constexpr Said kNotMemorySize = {"ﾒﾓﾘの大きさ (例 512M, 2G) ではありません",
                                        "is not a memory size (512M, 2G)"};
// The least --memory takes (kLeastMemoryBudget, run/MemoryBudget.h).
inline constexpr Said kBelowLeastMemory = {"1M より小さいﾒﾓﾘでは処理できません",
                                           "is below 1M, the least memory a run may use"};
// A flag given a value ("--duplicates=yes", or "--duplicates yes" in a job).
inline constexpr Said kTakesNoValue = {"値は付けられません", "takes no value"};
inline constexpr Said kNotCondition = {
    "F:方法:文字列 の形ではありません (方法は equals, contains, starts, ends)",
    "is not FIELD:MODE:TEXT (MODE is equals, contains, starts or ends)"};
inline constexpr Said kNotSortKey = {
    "ﾌｨｰﾙﾄﾞ番号、またはそれに :num や :asc か :desc を付けたものではありません",
    "is not FIELD, optionally followed by :num and :asc or :desc"};
// The second of --and and --or, naming the first.
inline constexpr Said kAfterAnd = {"--and と --or は一緒に使えません",
                                   "cannot be used together with --and"};
inline constexpr Said kAfterOr = {"--and と --or は一緒に使えません",
                                  "cannot be used together with --or"};
inline constexpr Said kNotEncoding = {"cp932, utf-8, auto などの文字ｺｰﾄﾞ名ではありません",
                                      "is not an encoding such as cp932, utf-8 or auto"};
inline constexpr Said kNotDelimiter = {"comma, tab, auto のどれでもありません",
                                       "is not comma, tab or auto"};

// Job files: the file and line, then the argument and why it is refused.
inline constexpr Said kJobLine = {"%sの%d行目 %s: %s", "%s:%d: %s: %s"};
inline constexpr Said kJobAt = {"%sの%d行目: %s", "%s:%d: %s"};
// Refusals of a whole file, naming it.
inline constexpr Said kJobFile = {"%s: %s", "%s: %s"};
inline constexpr Said kJobUnreadable = {"ｼﾞｮﾌﾞﾌｧｲﾙを読めません", "cannot read the job file"};
inline constexpr Said kJobTooLarge = {"64KBを超えるのでｼﾞｮﾌﾞﾌｧｲﾙではありません",
                                      "is larger than 64 KiB, so not a job file"};
inline constexpr Said kJobNoVersion = {"ｼﾞｮﾌﾞﾌｧｲﾙではありません (1行目が quellor-job 1 ではない)",
                                       "is not a job file (line 1 is not quellor-job 1)"};
inline constexpr Said kJobNewer = {"このﾊﾞｰｼﾞｮﾝより新しいｼﾞｮﾌﾞです", "is a job of a newer version"};
inline constexpr Said kJobNotUtf8 = {"UTF-8 として正しくない文字があります", "is not valid UTF-8"};
inline constexpr Said kJobNul = {"NUL文字があります", "holds a NUL byte"};
inline constexpr Said kNotInJob = {"ｼﾞｮﾌﾞﾌｧｲﾙには書けないｵﾌﾟｼｮﾝです", "cannot stand in a job file"};
// A value at the end of a job line: blanks there do not show in an editor,
// and a line break would end the line.
inline constexpr Said kJobEndsInBlanks = {"最後に見えない空白 (半角・全角・ﾀﾌﾞ) があります",
                                          "ends in blanks (half-width, full-width or tabs)"};
inline constexpr Said kJobValueLineBreak = {"改行を含む値はｼﾞｮﾌﾞに書けません",
                                            "holds a line break, which a job line cannot"};

}  // namespace quellor::runmsg
