// Every text of the command line's own, in the two languages of its help.
// The run's messages are the window's (run/RunMessages.h), shown unchanged.
#pragma once

#include "run/RunMessages.h"

namespace quellor::cli {

inline constexpr const char* kProgram = "quellor-cli";

using runmsg::Said;

inline constexpr Said kHelp = {
    "使い方: quellor-cli [ｵﾌﾟｼｮﾝ] ﾌｧｲﾙ...\n"
    "ｳｨﾝﾄﾞｳと同じ処理をｺﾏﾝﾄﾞﾗｲﾝから行います。ﾌｧｲﾙは指定した順に処理され、\n"
    "結果は各ﾌｧｲﾙの隣に「名前.new」、重複ﾚｺｰﾄﾞは「名前.w」として書かれます。\n"
    "元のﾌｧｲﾙは変更されません。\n"
    "\n"
    "  --fields 3,1            ﾌｨｰﾙﾄﾞ抽出: この順に並べて残すﾌｨｰﾙﾄﾞ\n"
    "  --where F:方法:文字列   ﾚｺｰﾄﾞ抽出: 第Fﾌｨｰﾙﾄﾞの条件 (方法は equals,\n"
    "                          contains, starts, ends)\n"
    "  --and F:方法:文字列     2つ目の条件 (両方を満たすﾚｺｰﾄﾞを残す)\n"
    "  --or F:方法:文字列      2つ目の条件 (どちらかを満たすﾚｺｰﾄﾞを残す)\n"
    "  --sort 3 | 3:desc       ｿｰﾄ: ｷｰのﾌｨｰﾙﾄﾞと順序 (asc 昇順, desc 降順)\n"
    "  --sort 5:num[:desc]     ｷｰを数値として並べる (金額, 数量など)\n"
    "  --duplicates            重複ﾚｺｰﾄﾞを「名前.w」に移す\n"
    "  --no-empty-output       ﾚｺｰﾄﾞが残らなければ「名前.new」を書かない\n"
    "  --expected-fields N     各ﾚｺｰﾄﾞのﾌｨｰﾙﾄﾞ数 (既定: 1番目のﾌｧｲﾙの1行目)\n"
    "  --encoding 方式         ﾌｧｲﾙの文字ｺｰﾄﾞ: cp932, utf-8, auto (既定: auto\n"
    "                          ﾌｧｲﾙごとに内容から判定)\n"
    "  --memory SIZE           使うﾒﾓﾘの上限 (例 512M, 2G; 既定: 実ﾒﾓﾘの4分の1,\n"
    "                          最大4G)。超えるﾌｧｲﾙはﾃﾞｨｽｸ上でｿｰﾄする\n"
    "  --job ﾌｧｲﾙ, @ﾌｧｲﾙ       保存したｼﾞｮﾌﾞの指定をここに置く (後のｵﾌﾟｼｮﾝが優先)\n"
    "  --help                  この説明を表示する\n"
    "  --version               ﾊﾞｰｼﾞｮﾝを表示する\n"
    "\n"
    "終了ｽﾃｰﾀｽ: 0 正常終了, 1 開始時のﾁｪｯｸで中止, 2 ｴﾗｰで終了,\n"
    "3 中断 (Ctrl-C), 64 引数の誤り\n",
    "Usage: quellor-cli [OPTION]... FILE...\n"
    "Runs the window's job from the command line. Files are processed in the\n"
    "order given; each result is written beside its file as NAME.new, and\n"
    "repeated records as NAME.w. Input files are never changed.\n"
    "\n"
    "  --fields 3,1            field extraction: the fields to keep, in order\n"
    "  --where F:MODE:TEXT     record extraction: the condition on field F\n"
    "                          (MODE is equals, contains, starts or ends)\n"
    "  --and F:MODE:TEXT       a second condition; records must match both\n"
    "  --or F:MODE:TEXT        a second condition; records must match either\n"
    "  --sort 3 | 3:desc       sort: the key field and its order (asc, desc)\n"
    "  --sort 5:num[:desc]     sort the key as a number (amounts, counts)\n"
    "  --duplicates            move repeated records to NAME.w\n"
    "  --no-empty-output       write no NAME.new when no record is left\n"
    "  --expected-fields N     fields every record must have (default: those\n"
    "                          of the first line of the first file)\n"
    "  --encoding ENC          read every file as cp932 or utf-8, or auto\n"
    "                          (default: decided for each file by its bytes)\n"
    "  --memory SIZE           memory the run may use (512M, 2G; default: a\n"
    "                          quarter of the RAM, at most 4G); larger files\n"
    "                          are streamed and sorted on disk\n"
    "  --job FILE, @FILE       the options of a saved job, here; later options\n"
    "                          override them\n"
    "  --help                  show this help\n"
    "  --version               show the version\n"
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
