// Saved jobs loaded into the window: what the first file has is chosen, the
// rest named; a dropped job loads instead of being listed; a bad one changes
// nothing.
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "UiFixture.h"
#include "run/JobFile.h"
#include "ui/ListBox.h"

namespace quellor::ui::test {
namespace {

TEST_F(UiTest, AJobBeyondTheFirstFilesFieldsSaysSoAndChoosesTheRest) {
    Drop(win.get(), {Write(U("a.csv"), "1,b,c\r\n")});
    const QString job = Write(U("month.txt"),
                              "quellor-job 1\n--fields 2,5,1\n--where 3:ends: c:d\n--sort 7:desc\n"
                              "--duplicates\n");
    jobAnswer = [&](bool saving) { return saving ? QString() : job; };
    QTest::keyClick(win.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);
    EXPECT_TRUE(boxes[0].text.contains(U("番号 5, 7 は"))) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(U("ﾌｨｰﾙﾄﾞ数 3 を"))) << boxes[0].text.toStdString();
    const RunChoices c = win->BuildRunChoices();
    EXPECT_EQ(c.Fields.ChosenFields, (std::vector<int>{2, 1}));
    EXPECT_TRUE(c.Records.On && c.Sort.On && c.Sort.DuplicatesToFile && c.Sort.Descending);
    EXPECT_EQ(c.Records.Condition1.FieldNumber, 3);
    EXPECT_EQ(c.Records.Condition1.Text, " c:d");
    EXPECT_EQ(c.Records.Condition1.Mode, MatchMode::EndsWith);
    EXPECT_EQ(c.Sort.KeyField, 0);  // Start's check asks for a key
}

TEST_F(UiTest, ADroppedJobLoadsAndABadOneChangesNothing) {
    const QString job = Write(U("month.txt"), "quellor-job 1\n--sort 2\n");
    const QString newer = Write(U("newer.txt"), "quellor-job 2\n--fields 1\n");
    Drop(win.get(), {job});  // before any file: chosen once the first is listed
    Drop(win.get(), {Write(U("a.csv"), "1,b\r\n")});
    Drop(win.get(), {newer});
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(boxes[0].text.startsWith(newer + U("の1行目: "))) << boxes[0].text.toStdString();
    const RunChoices c = win->BuildRunChoices();
    EXPECT_TRUE(c.Sort.On && !c.Fields.On);
    EXPECT_EQ(c.Sort.KeyField, 2);
}

// The window has no delimiter control: a job's is kept, and the fields it
// offers, the preview and the run all read the files that way.
TEST_F(UiTest, AJobsDelimiterDecidesHowTheListedFilesAreRead) {
    Drop(win.get(), {Write(U("a.csv"), "x\ty,z,w\r\n")});
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 3);  // a tab and commas: comma-separated
    win->LoadJobFrom(Write(U("tabs.txt"), "quellor-job 1\n--delimiter tab\n--fields 2\n"));
    EXPECT_EQ(Named<ListBox>("ListBox2")->count() + Named<ListBox>("ListBox3")->count(), 2);
    const RunChoices c = win->BuildRunChoices();
    EXPECT_EQ(c.Files.Text.Delimiter, DelimiterChoice::Tab);
    EXPECT_EQ(c.Fields.ChosenFields, (std::vector<int>{2}));
    DoubleClickEntry(Named<ListBox>("ListBox1"), 0);
    EXPECT_EQ(Cell(1, 2), U("y,z,w"));
    Click(Named<QPushButton>("BitBtn2"));  // "全てｸﾘｱ" forgets it
    EXPECT_EQ(win->BuildRunChoices().Files.Text.Delimiter, DelimiterChoice::Auto);
}

// Only a regular file is looked into: a pipe has no writer, and opening it
// to read must not hold the window.
TEST_F(UiTest, ADroppedPipeIsListedNotOpened) {
    const QString pipe = Path(U("feed.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    Drop(win.get(), {pipe});
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 1);
}

// Every control set away from its default, and a job's reading: saved, and
// loaded into a new window over the same file, they all come back.
TEST_F(UiTest, AJobSavedFromTheWindowLoadsAsTheSameChoices) {
    const QString a = Write(U("a.csv"), "1\tb\tc\td\r\n");
    Drop(win.get(), {a});
    win->LoadJobFrom(Write(U("reading.txt"), "quellor-job 1\n--encoding utf-8\n--delimiter tab\n"));
    Choose(Named<RadioGroup>("RadioGroup3"), 0);  // the job switched every page off
    ChooseFields({3, 1});
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    Choose(Named<RadioGroup>("RadioGroup1"), 1);
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    const struct {
        const char* name;
        int index;
    } combos[] = {{"ComboBox1", 3}, {"ComboBox2", 2}, {"ComboBox3", 4},
                  {"ComboBox4", 3}, {"ComboBox5", 2}, {"ComboBox6", 1}};
    for (const auto& combo : combos) Named<QComboBox>(combo.name)->setCurrentIndex(combo.index);
    Named<QLineEdit>("Edit1")->setText(U("東 京"));
    Named<QLineEdit>("Edit2")->setText(U("x:y"));
    for (const char* box : {"CheckBox1", "CheckBox2", "NumericKeyCheck", "HeadingLineCheck"})
        Named<QCheckBox>(box)->setChecked(true);
    const QString job = Path(U("saved.txt"));
    win->SaveJobTo(job);

    MainWindow other;
    other.OpenFiles({QFile::encodeName(a)});
    QApplication::processEvents();
    other.LoadJobFrom(job);
    const RunChoices saved = win->BuildRunChoices(), loaded = other.BuildRunChoices();
    EXPECT_EQ(saved.Fields.ChosenFields, (std::vector<int>{3, 1}));
    EXPECT_TRUE(loaded == saved) << JobText(saved) << JobText(loaded);
    EXPECT_TRUE(boxes.empty());
}

// Qt's own texts follow the system's locale, read once at start-up: run with
// LANG=ja_JP.UTF-8, the job dialogs' standard buttons read Japanese.
class JapaneseLocale : public UiTest {};

TEST_F(JapaneseLocale, TheJobDialogsButtonsReadJapanese) {
    ASSERT_EQ(QLocale::system().language(), QLocale::Japanese) << "run with LANG=ja_JP.UTF-8";
    win->SetJobDialog(nullptr);  // the real dialogs
    const struct {
        const char* button;
        QDialogButtonBox::StandardButton accept;
        const char* acceptText;
    } dialogs[] = {{"SaveJobButton", QDialogButtonBox::Save, "保存(&S)"},
                   {"LoadJobButton", QDialogButtonBox::Open, "開く(&O)"}};
    for (const auto& d : dialogs) {
        QStringList texts;
        QTimer::singleShot(0, win.get(), [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            for (auto which : {d.accept, QDialogButtonBox::Cancel}) {
                if (QPushButton* button = buttons->button(which)) texts << button->text();
            }
            dialog->reject();
        });
        Click(Named<QPushButton>(d.button));
        EXPECT_EQ(texts, (QStringList{U(d.acceptText), U("キャンセル")}));
    }
}

}  // namespace
}  // namespace quellor::ui::test
