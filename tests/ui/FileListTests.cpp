// The file list: drops on the window and its controls, removal, counting.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <cstdio>

#include "UiFixture.h"
#include "ui/ListBox.h"
#include "ui/StringGrid.h"

namespace quellor::ui::test {
namespace {

class FileListTest : public UiTest {};

TEST_F(FileListTest, FolderIsSkippedAndFilesAreAddedInDragOrder) {
    QString b = Write(U("b.csv"), "1,2\r\n");
    QString a = Write(U("a.csv"), "x,y,z\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir(U("folder")));
    Drop(win.get(), {Path(U("folder")), b, a});
    EXPECT_EQ(Named<ListBox>("ListBox1")->Texts(), (QStringList{b, a}));
    EXPECT_EQ(Named<QLabel>("Label8")->text(), U("合計2ﾌｧｲﾙ"));
    EXPECT_TRUE(Named<QPushButton>("BitBtn5")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("BitBtn1")->isEnabled());  // a drop selects nothing
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 2);         // sample from the first listed file
    EXPECT_GT(Named<ListBox>("ListBox1")->ScrollExtent(), 0);
}

TEST_F(FileListTest, RepeatedDropAddsNothingButAnotherLetterCaseDoes) {
    QString a = Write(U("a.csv"), "x\r\n");
    Drop(win.get(), {a});
    Drop(Named<QLineEdit>("Edit1"), {a});  // over an edit box: the same handler
    Drop(Named<ListBox>("ListBox2")->viewport(), {a, a});
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 1);
    QString upper = Path(U("A.CSV"));
    Drop(Named<QLineEdit>("Edit2"), {upper});
    EXPECT_EQ(Named<ListBox>("ListBox1")->Texts(), (QStringList{a, upper}));
    EXPECT_EQ(Named<QLineEdit>("Edit1")->text(), QString());
    EXPECT_EQ(Named<QLineEdit>("Edit2")->text(), QString());
}

TEST_F(FileListTest, LongPathsAreListedWhole) {
    QString name = QString(120, QLatin1Char('n')) + U("名前") + QString(120, QLatin1Char('m'));
    QString deep = Path(name);
    QString path = deep + U("/file.csv");
    ASSERT_TRUE(QDir().mkpath(deep));
    Write(name + U("/file.csv"), "a,b\r\n");
    ASSERT_GT(QFile::encodeName(path).size(), 254);
    Drop(win.get(), {path});
    ASSERT_EQ(Named<ListBox>("ListBox1")->count(), 1);
    EXPECT_EQ(win->BuildRunSettings().Files,
              (std::vector<std::string>{QFile::encodeName(path).toStdString()}));
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 2);
}

// A name in code page 932 is not UTF-8: the run must get the file's own
// bytes, not a name rebuilt from the text shown.
TEST_F(FileListTest, NameThatIsNotUtf8IsKeptByteForByte) {
    const QByteArray name = QFile::encodeName(dir.path()) + "/\x82\xa0\x8c\xa7.csv";
    // The folder's own clean-up goes through QString and cannot remove such a name.
    struct Remove {
        QByteArray path;
        ~Remove() { std::remove(path.constData()); }
    } removeAfterwards{name};
    std::FILE* raw = std::fopen(name.constData(), "wb");
    ASSERT_NE(raw, nullptr);
    std::fputs("p,q\r\n", raw);
    std::fclose(raw);
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file://" + name.toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win.get(), &enter);
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win.get(), &drop);
    QApplication::processEvents();  // the files are added once the drop is over
    ASSERT_EQ(Named<ListBox>("ListBox1")->count(), 1);
    EXPECT_EQ(win->BuildRunSettings().Files, (std::vector<std::string>{name.toStdString()}));
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(),
              2);  // the sample line was read from that very file
    // Shown as code page 932, what an archive made on Windows leaves behind.
    EXPECT_TRUE(Named<ListBox>("ListBox1")->item(0)->text().endsWith(U("/あ県.csv")));
}

// The mark is no part of the first field; the fields show as a code page 932 sample would.
TEST_F(FileListTest, Utf8SampleGivesTheSameFieldEntries) {
    Drop(win.get(), {Write(U("u.csv"), "\xEF\xBB\xBF表,市\r\n")});
    EXPECT_EQ(Named<ListBox>("ListBox2")->item(0)->text(), U("[第01ﾌｨｰﾙﾄﾞ]　表"));
    EXPECT_EQ(Named<ListBox>("ListBox2")->item(1)->text(), U("[第02ﾌｨｰﾙﾄﾞ]　市"));
}

TEST_F(FileListTest, EveryDropForgetsTheChosenFields) {
    QString a = Write(U("a.csv"), "x,y,z\r\n");
    Drop(win.get(), {a});
    ChooseFields({2});
    Named<QComboBox>("ComboBox1")->setCurrentIndex(3);
    Named<QComboBox>("ComboBox5")->setCurrentIndex(1);
    Drop(win.get(), {a});
    EXPECT_EQ(Named<ListBox>("ListBox3")->count(), 0);
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 3);
    EXPECT_EQ(Named<QComboBox>("ComboBox1")->currentIndex(), 0);
    EXPECT_EQ(Named<QComboBox>("ComboBox5")->currentIndex(), 0);
}

TEST_F(FileListTest, SelectingEnablesDeleteAndDeletingAllEmptiesTheList) {
    QString a = Write(U("a.csv"), "x,y\r\n");
    QString b = Write(U("b.csv"), "1,2,3\r\n");
    QString c = Write(U("c.csv"), "1\r\n");
    Drop(win.get(), {a, b, c});
    ClickEntry(Named<ListBox>("ListBox1"), 1);
    EXPECT_TRUE(Named<QPushButton>("BitBtn1")->isEnabled());
    ClickEntry(Named<ListBox>("ListBox1"), 1,
               Qt::ControlModifier);  // deselecting leaves it enabled
    EXPECT_TRUE(Named<QPushButton>("BitBtn1")->isEnabled());

    ClickEntry(Named<ListBox>("ListBox1"), 0);
    Click(Named<QPushButton>("BitBtn1"));
    EXPECT_EQ(Named<ListBox>("ListBox1")->Texts(), (QStringList{b, c}));
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 3);  // rebuilt from the new first file
    EXPECT_FALSE(Named<QPushButton>("BitBtn1")->isEnabled());
    EXPECT_TRUE(Named<QPushButton>("BitBtn5")->isEnabled());

    Named<ListBox>("ListBox1")->selectAll();
    Named<QPushButton>("BitBtn1")->setEnabled(true);
    Click(Named<QPushButton>("BitBtn1"));
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 0);
    EXPECT_EQ(Named<QLabel>("Label8")->text(), U("合計0ﾌｧｲﾙ"));
    EXPECT_FALSE(Named<QPushButton>("BitBtn1")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("BitBtn5")->isEnabled());
    EXPECT_EQ(Named<ListBox>("ListBox2")->count() + Named<ListBox>("ListBox3")->count(), 0);
    EXPECT_EQ(Named<QComboBox>("ComboBox1")->count(), 4);  // the removed file's fields stay
    EXPECT_TRUE(QFile::exists(a));                         // the list holds names only
}

TEST_F(FileListTest, DeletingClearsThePreviewEvenOfAFileThatStays) {
    QString a = Write(U("a.csv"), "x,y,z\r\n");
    QString b = Write(U("b.csv"), "1\r\n");
    Drop(win.get(), {a, b});
    DoubleClickEntry(Named<ListBox>("ListBox1"), 0);
    ASSERT_EQ(Named<StringGrid>("StringGrid1")->Columns(), 4);
    ClickEntry(Named<ListBox>("ListBox1"), 1);
    Click(Named<QPushButton>("BitBtn1"));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), 2);
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Columns(), 2);
    EXPECT_EQ(Cell(1, 1), QString());
}

TEST_F(FileListTest, MissingFirstFileShowsTheErrorAfterTheListChanged) {
    QString gone = Path(U("gone.csv"));
    Drop(win.get(), {gone});
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes[0].text, U("ファイルが見つかりません."));
    EXPECT_TRUE(Named<QPushButton>("BitBtn5")->isEnabled());
}

// Files named on the command line (and so by "open with") are listed as a
// drop of the same files is: absolute, without "." or "..", each once, and a
// missing one with the drop's notice. ".." after a link leaves the folder the
// link leads to, as the system reads the name.
TEST_F(FileListTest, NamedFilesAreListedAsADropOfThemIs) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(U("data/sub")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(U("elsewhere/deep")));
    // The current folder is known by its real path, as the system gives it.
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    const QString a = root + U("/data/a.csv"), b = root + U("/data/b.csv");
    const QString c = root + U("/elsewhere/c.csv");
    Write(U("data/a.csv"), "1,2\r\n");
    Write(U("data/b.csv"), "x,y,z\r\n");
    Write(U("elsewhere/c.csv"), "q\r\n");
    ASSERT_TRUE(QFile::link(Path(U("elsewhere/deep")), Path(U("data/far"))));
    const QString home = QDir::currentPath();
    struct Back {
        QString folder;
        ~Back() { QDir::setCurrent(folder); }
    } back{home};
    ASSERT_TRUE(QDir::setCurrent(Path(U("data"))));

    win->OpenFiles({"./b.csv", "../data/a.csv", "a.csv", "sub/.././b.csv", "far/../c.csv",
                    QFile::encodeName(root) + "//data/./a.csv"});
    QApplication::processEvents();
    EXPECT_EQ(Named<ListBox>("ListBox1")->Texts(), (QStringList{b, a, c}));
    EXPECT_TRUE(boxes.empty());

    Click(Named<QPushButton>("BitBtn2"));
    win->OpenFiles({"a.csv/../gone.csv"});
    QApplication::processEvents();
    EXPECT_EQ(Named<ListBox>("ListBox1")->Texts(), QStringList{root + U("/data/gone.csv")});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, U("ファイルが見つかりません."));
}

}  // namespace
}  // namespace quellor::ui::test
