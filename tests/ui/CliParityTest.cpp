// The same job through the window and through quellor-cli, over several
// files: the outputs must agree byte for byte.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "UiFixture.h"
#include "ui/ListBox.h"
#include "ui/RadioGroup.h"

namespace quellor::ui::test {
namespace {

class CliParityTest : public UiTest {
  protected:
    template <class T>
    T* Control(const QString& name) {
        return win->findChild<T*>(name);
    }
    // Shows the page and clicks the radio group's item, as the user must.
    void Choose(const QString& page, const QString& group, int item) {
        Control<QTabWidget>("PageControl1")->setCurrentWidget(Control<QWidget>(page));
        QApplication::processEvents();
        Click(Control<RadioGroup>(group)->Button(item));
    }
    void Pick(const QString& combo, int index) {
        Control<QComboBox>(combo)->setCurrentIndex(index);
    }
    // Key presses carrying the characters, as an input method delivers them.
    void Type(const QString& edit, const char* text) {
        for (const QChar c : U(text))
            QTest::sendKeyEvent(QTest::Click, Control<QLineEdit>(edit), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
    void ChooseField(int n) {
        auto* list = Control<ListBox>("ListBox2");
        const QString head = U("[第%1ﾌｨｰﾙﾄﾞ]").arg(n, 2, 10, QLatin1Char('0'));
        ClickEntry(list, list->row(list->findItems(head, Qt::MatchStartsWith).value(0)));
        Click(Control<QPushButton>("Button1"));
    }
};

// Field 3 holds "～" (0x81 0x60) in some records: the command line's "〜"
// must be encoded as the window encodes what the user types.
const char* const kFiles[][2] = {
    {"a.csv",
     "1,\x93\x8c\x8b\x9e,a\x81\x60z,Ab\r\n2,\x91\xe5\x8d\xe3,plain,ab\r\n"
     "3,\xba\xb0\xd2,x\x81\x60,B\r\n1,\x93\x8c\x8b\x9e,a\x81\x60z,Ab\r\n10,abc,q,Ax\r\n"},
    {"b.csv", "5,\x96\xbc\x8c\xc3\x89\xae,\x81\x60,Zz\r\n6,Abc,none,A\r\n6,Abc,none,A\r\n"},
    {"c.csv", "7,x,none,z\r\n8,y,none,q\r\n"},
};

TEST_F(CliParityTest, WindowAndCommandLineWriteTheSameFiles) {
    for (const char* sub : {"window", "cli", "job"}) QDir(dir.path()).mkdir(U(sub));
    QStringList windowFiles, cliFiles, jobFiles;
    for (const auto& f : kFiles) {
        windowFiles << Write(U("window/") + U(f[0]), f[1]);
        cliFiles << Write(U("cli/") + U(f[0]), f[1]);
        jobFiles << Write(U("job/") + U(f[0]), f[1]);
    }

    Drop(win.get(), windowFiles);
    Choose("TabSheet1", "RadioGroup3", 0);
    for (int n : {4, 1, 2}) ChooseField(n);
    Choose("TabSheet2", "RadioGroup2", 0);
    Choose("TabSheet2", "RadioGroup1", 1);
    Type("Edit1", "〜");
    Type("Edit2", "A");
    Click(Control<QCheckBox>("CheckBox2"));
    Choose("TabSheet3", "RadioGroup4", 0);
    const int chosen[] = {3, 1, 4, 2, 1, 1};  // ComboBox1 to ComboBox6
    for (int i = 0; i < 6; ++i) Pick(QStringLiteral("ComboBox%1").arg(i + 1), chosen[i]);
    Click(Control<QCheckBox>("CheckBox1"));
    // 10 sorts before 3 as text, after it as a number; line 1 is a heading.
    Click(Control<QCheckBox>("NumericKeyCheck"));
    Click(Control<QCheckBox>("HeadingLineCheck"));
    jobAnswer = [this](bool saving) { return saving ? Path(U("month.txt")) : QString(); };
    QTest::keyClick(win.get(), Qt::Key_S, Qt::ControlModifier);
    Click(Control<QPushButton>("BitBtn3"));
    ASSERT_TRUE(boxes.size() == 1 && boxes[0].kind == BoxKind::Information);

    QProcess cli;
    cli.start(QString::fromUtf8(QUELLOR_CLI),
              QStringList{"--fields", "4,1,2", "--where", U("3:contains:〜"), "--or", "4:starts:A",
                          "--no-empty-output", "--sort", "1:num:desc", "--duplicates", "--header"} +
                  cliFiles);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_TRUE(out.contains(U("処理が終わりました\n正常終了しました\n処理ﾌｧｲﾙ数3\n")))
        << out.toStdString();

    // The job the window saved, run from the command line.
    QProcess job;
    job.start(QString::fromUtf8(QUELLOR_CLI), QStringList{"@" + Path(U("month.txt"))} + jobFiles);
    ASSERT_TRUE(job.waitForFinished(30000));
    EXPECT_EQ(job.exitCode(), 0) << job.readAllStandardError().toStdString();

    for (const auto& f : kFiles) {
        for (const char* suffix : {".new", ".w"}) {
            const QString name = U(f[0]) + QLatin1String(suffix);
            EXPECT_EQ(Read(Path(U("window/") + name)), Read(Path(U("cli/") + name)))
                << name.toStdString();
            EXPECT_EQ(Read(Path(U("window/") + name)), Read(Path(U("job/") + name)))
                << name.toStdString();
        }
    }
    // Not a trivial job: records and repeats kept, and one file left with no record.
    EXPECT_EQ(Read(Path(U("cli/b.csv.w"))), "6,Abc,none,A\r\n");
    EXPECT_FALSE(Exists(Path(U("cli/c.csv.new"))));
}

}  // namespace
}  // namespace quellor::ui::test
