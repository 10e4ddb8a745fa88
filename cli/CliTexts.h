// Every text of the command line's own, in the two languages of its help.
// The run's messages are the window's (run/RunMessages.h), shown unchanged.
#pragma once

#include "run/RunMessages.h"

namespace quellor::cli {

inline constexpr const char* kProgram = "quellor-cli";

using runmsg::Said;

// The help around its list of options (run/CommandOptionTable.h).
inline constexpr Said kHelpUsage = {
    "使い方: quellor-cli [ｵﾌﾟｼｮﾝ] ﾌｧｲﾙ...\n"
    "ｳｨﾝﾄﾞｳと同じ処理をｺﾏﾝﾄﾞﾗｲﾝから行います。ﾌｧｲﾙは指定した順に処理され、\n"
    "結果は各ﾌｧｲﾙの隣に「名前.new」、重複ﾚｺｰﾄﾞは「名前.w」として書かれます。\n"
    "元のﾌｧｲﾙは変更されません。\n"
    "\n",
    "Usage: quellor-cli [OPTION]... FILE...\n"
    "Runs the window's job from the command line. Files are processed in the\n"
    "order given; each result is written beside its file as NAME.new, and\n"
    "repeated records as NAME.w. Input files are never changed.\n"
    "\n"};
inline constexpr Said kHelpEnd = {
    "\n"
    "終了ｽﾃｰﾀｽ: 0 正常終了, 1 開始時のﾁｪｯｸで中止, 2 ｴﾗｰで終了,\n"
    "3 中断 (Ctrl-C), 64 引数の誤り\n",
    "\n"
    "Exit status: 0 done, 1 a start check failed, 2 an error ended the run,\n"
    "3 aborted (Ctrl-C), 64 bad arguments.\n"};

inline constexpr Said kTryHelp = {"詳しくは quellor-cli --help をご覧ください。\n",
                                  "Try 'quellor-cli --help' for more information.\n"};

// Usage errors of the checks made once the files are known; those of the
// options themselves are shared with job files (run/RunMessages.h).
inline constexpr Said kNotUtf8 = {"UTF-8 として正しくない文字があります", "is not valid UTF-8"};
inline constexpr Said kBeyondFields = {"ﾌｨｰﾙﾄﾞ数を超えています", "exceeds the field count"};

// The log or a message could not be written (a full disk behind >, a
// reader of the pipe gone): the run's outcome is unknown to its caller.
inline constexpr Said kLogWriteError = {"ﾛｸﾞを標準出力に書き込めません",
                                        "cannot write the log to standard output"};

}  // namespace quellor::cli
