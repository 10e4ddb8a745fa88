// The texts the window sets and the hints, exactly as the user sees them.
// The controls' own captions and items stand in the rows of the room that
// makes them (ControlRows.h).
#pragma once

namespace quellor::ui {

inline constexpr int PreviewLineLimit = 50;

inline constexpr const char* kCaption = "Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00";
inline constexpr const char* kPreviewNote =
    "【ﾘｽﾄ内のﾌｧｲﾙ名をﾀﾞﾌﾞﾙｸﾘｯｸするとの先頭%1行を表示します】";
// The note while a file's lines are shown: how many, and in which encoding.
inline constexpr const char* kPreviewNoteShown = "【先頭%1行を表示しています（文字ｺｰﾄﾞ：%2）】";
inline constexpr const char* kTotalFiles = "合計%1ﾌｧｲﾙ";
inline constexpr const char* kFileCounterReset = "0/0ﾌｧｲﾙ";
inline constexpr const char* kRecordCounterReset = "0/0ﾚｺｰﾄﾞ";
inline constexpr const char* kLogReset = "ＺＺＺ…";
inline constexpr const char* kFieldChoice = "第%1ﾌｨｰﾙﾄﾞ";
inline constexpr const char* kRowLabel = "ﾚｺｰﾄﾞ%1";
// Stands in a preview cell for each line break inside a quoted value, so a
// value of several lines keeps to one row.
inline constexpr const char* kLineBreakMark = "↵";
// Line 1 in the preview while it is taken as the heading.
inline constexpr const char* kHeadingRowLabel = "見出し";
inline constexpr const char* kWarningTitle = "警告";
inline constexpr const char* kInformationTitle = "情報";
inline constexpr const char* kOk = "OK";
// Saved jobs: the dialogs, and a loaded job's field numbers the first file lacks.
inline constexpr const char* kSaveJobTitle = "ジョブの保存";
inline constexpr const char* kLoadJobTitle = "ジョブを開く";
inline constexpr const char* kJobFilter = "ｼﾞｮﾌﾞ (*.txt);;すべてのﾌｧｲﾙ (*)";
inline constexpr const char* kJobFieldsBeyond =
    "ｼﾞｮﾌﾞのﾌｨｰﾙﾄﾞ番号 %1 は1番目のﾌｧｲﾙのﾌｨｰﾙﾄﾞ数 %2 を超えているので選択できません";

// Hints, by control name.
struct Hint {
    const char* control;
    const char* text;
};
inline constexpr Hint kHints[] = {
    {"ListBox1",
     "処理するﾌｧｲﾙをここにﾄﾞﾛｯﾌﾟして下さい。ﾌｧｲﾙ名をﾀﾞﾌﾞﾙｸﾘｯｸすると右のｸﾞﾘｯﾄﾞに内容が表示されます"},
    {"StringGrid1", nullptr},  // built from PreviewLineLimit
    {"BitBtn1", "選択したﾌｧｲﾙを削除します"},
    {"BitBtn5", "ﾘｽﾄ内のﾌｧｲﾙを全て削除します"},
    {"HeadingLineCheck", "各ﾌｧｲﾙの1行目を見出しとしてｿｰﾄ・抽出せず先頭に残します"},
    {"TabSheet1", "指定したﾌｨｰﾙﾄﾞを抽出します"},
    {"TabSheet2", "検索条件に合致するﾚｺｰﾄﾞを抽出します"},
    {"TabSheet3", "ﾚｺｰﾄﾞをｿｰﾄします"},
    {"ListBox2", "ﾀﾞﾌﾞﾙｸﾘｯｸ或いは→ﾎﾞﾀﾝで抽出するﾌｨｰﾙﾄﾞに追加します"},
    {"ListBox3", "ﾀﾞﾌﾞﾙｸﾘｯｸ或いは←ﾎﾞﾀﾝで抽出する元のﾌｨｰﾙﾄﾞに戻します"},
    {"Button3", "選択したﾌｨｰﾙﾄﾞの抽出順位を最上にします"},
    {"Button4", "選択したﾌｨｰﾙﾄﾞの抽出順位をひとつ上げます"},
    {"Button5", "選択したﾌｨｰﾙﾄﾞの抽出順位をひとつ下げます"},
    {"Button6", "選択したﾌｨｰﾙﾄﾞの抽出順位を最下にします"},
    {"ComboBox1", "検索対象ﾌｨｰﾙﾄﾞを指定します（第１条件）"},
    {"ComboBox2", "検索の条件を指定します（第１条件）"},
    {"ComboBox3", "検索対象ﾌｨｰﾙﾄﾞを指定します（第２条件）"},
    {"ComboBox4", "検索の条件を指定します（第２条件）"},
    {"Edit1", "検索文字列を指定します（第１条件）"},
    {"Edit2", "検索文字列を指定します（第２条件）"},
    {"CheckBox2", "検索条件に合致するﾚｺｰﾄﾞがなければﾌｧｲﾙを作成しません"},
    {"ComboBox5", "どのﾌｨｰﾙﾄﾞをｷｰにｿｰﾄするかを指定します"},
    {"ComboBox6", "昇順・降順を指定します"},
    {"CheckBox1", "重複するﾚｺｰﾄﾞがあれば別ﾌｧｲﾙに書き出します"},
    {"Label7", "処理状況を表示します"},
    {"ProgressBar1", "ﾌｧｲﾙの処理状況を表示します"},
    {"ProgressBar2", "ﾚｺｰﾄﾞの処理状況を表示します"},
    {"BitBtn2", "指定した内容を全てｸﾘｱします"},
    {"BitBtn3", "処理を開始します"},
    {"BitBtn4", "ｳｨﾝﾄﾞｳを閉じます"},
    {"BitBtn6", "処理を中断します"},
    {"SaveJobButton", "指定した処理条件をｼﾞｮﾌﾞﾌｧｲﾙに保存します (Ctrl+S)"},
    {"LoadJobButton", "ｼﾞｮﾌﾞﾌｧｲﾙの処理条件を読み込みます (Ctrl+O)"},
};
inline constexpr const char* kGridHintHead = "ﾌｧｲﾙの先頭ﾚｺｰﾄﾞ";
inline constexpr const char* kGridHintTail = "件を表示しています";

inline constexpr int kHintWakeUpMs = 250;
inline constexpr int kHintShowMs = 5000;

}  // namespace quellor::ui
