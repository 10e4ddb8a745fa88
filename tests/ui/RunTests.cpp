// Runs started from the window: checks, outputs, errors, abort and locking.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "UiFixture.h"
#include "run/MemoryBudget.h"
#include "run/ProcessingRun.h"
#include "run/RunChoices.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListBox.h"
#include "ui/RadioGroup.h"

namespace quellor::ui::test {
namespace {

class RunTest : public UiTest {
  protected:
    std::string Numbered(int records, int fields) {
        std::string out;
        for (int r = 1; r <= records; ++r) {
            for (int f = 1; f <= fields; ++f) {
                out += std::to_string(r * 10 + f);
                out += f < fields ? "," : "\r\n";
            }
        }
        return out;
    }
    // Calls the check on every pass of the event loop while a run is going.
    void DuringRun(std::function<bool()> check) {
        auto* timer = new QTimer(win.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, check] {
            if (check()) timer->stop();
        });
        timer->start();
    }
    void SwitchRecordExtractionOn(int field, int mode, const QString& text) {
        Choose(Named<RadioGroup>("RadioGroup2"), 0);
        Named<QComboBox>("ComboBox1")->setCurrentIndex(field);
        Named<QComboBox>("ComboBox2")->setCurrentIndex(mode);
        Named<QLineEdit>("Edit1")->setText(text);
    }
};

TEST_F(RunTest, StartWritesTheNewFileAndTheFinalLog) {
    QString a = Write(U("a.csv"), "1,a,x\r\n2,b,y\r\n3,c,z\r\n");
    Drop(win.get(), {a});
    ChooseFields({3, 1});
    Click(Named<QPushButton>("BitBtn3"));
    EXPECT_EQ(Read(a + ".new"), "x,1\r\ny,2\r\nz,3\r\n");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(boxes[0].title, U("情報"));
    EXPECT_EQ(boxes[0].text, U("処理が終わりました"));
    EXPECT_TRUE(
        Named<QLabel>("Label7")->text().startsWith(U("正常終了しました\n処理ﾌｧｲﾙ数1\n処理時間")));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().endsWith(U("ﾐﾘ秒")));
    EXPECT_EQ(Named<QLabel>("Label5")->text(), QString());
    EXPECT_EQ(Named<QLabel>("Label6")->text(), QString());
    EXPECT_EQ(Named<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_EQ(Named<QProgressBar>("ProgressBar2")->value(), 0);
    EXPECT_FALSE(Named<QPushButton>("BitBtn6")->isVisible());
    EXPECT_TRUE(Named<QPushButton>("BitBtn3")->isEnabled());
}

TEST_F(RunTest, SettingsAreTakenFromEveryControl) {
    QString a = Write(U("a.csv"), "1,a,x\r\n");
    Drop(win.get(), {a});
    ChooseFields({2});
    SwitchRecordExtractionOn(3, 2, U("～ｱ"));
    Named<QComboBox>("ComboBox3")->setCurrentIndex(1);
    Named<QComboBox>("ComboBox4")->setCurrentIndex(4);
    Named<QLineEdit>("Edit2")->setText(U("q"));
    Choose(Named<RadioGroup>("RadioGroup1"), 1);
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    Named<QComboBox>("ComboBox5")->setCurrentIndex(2);
    Named<QComboBox>("ComboBox6")->setCurrentIndex(1);
    Named<QCheckBox>("CheckBox1")->setChecked(true);
    Named<QCheckBox>("CheckBox2")->setChecked(true);
    RunSettings s = win->BuildRunSettings();
    EXPECT_EQ(s.Files, std::vector<std::string>{a.toStdString()});
    EXPECT_TRUE(s.FieldExtractionOn && s.RecordExtractionOn && s.SortOn);
    EXPECT_EQ(s.ChosenFields, std::vector<int>{2});
    EXPECT_EQ(s.ExpectedFieldCount, 3);
    EXPECT_EQ(s.SortKeyField, 2);
    EXPECT_TRUE(s.SortDescending && s.DuplicatesToFile && s.JoinWithOr && s.NoFileWhenEmpty);
    EXPECT_EQ(s.Condition1.FieldNumber, 3);
    EXPECT_EQ(s.Condition1.Mode, MatchMode::StartsWith);
    EXPECT_EQ(s.Condition1.SearchText, std::string("\x81\x60\xB1"));
    EXPECT_EQ(s.Condition2.FieldNumber, 1);
    EXPECT_EQ(s.Condition2.Mode, MatchMode::None);
    EXPECT_EQ(s.Condition2.SearchText, "q");
}

TEST_F(RunTest, EachCheckBoxIsReadIntoItsOwnSetting) {
    auto* duplicates = Named<QCheckBox>("CheckBox1");
    auto* noFile = Named<QCheckBox>("CheckBox2");
    for (bool first : {true, false}) {
        duplicates->setChecked(first);
        noFile->setChecked(!first);
        RunSettings s = win->BuildRunSettings();
        EXPECT_EQ(s.DuplicatesToFile, first);
        EXPECT_EQ(s.NoFileWhenEmpty, !first);
    }
}

// The switch marks the preview's line 1, keeps it first in the run and outlives "全てｸﾘｱ".
TEST_F(RunTest, HeadingSwitchMarksThePreviewKeepsLineOneFirstAndOutlivesReset) {
    QString a = Write(U("a.csv"), "番号,名前\r\n2,b\r\n1,a\r\n");
    Drop(win.get(), {a});
    DoubleClickEntry(Named<ListBox>("ListBox1"), 0);
    Click(Named<QCheckBox>("HeadingLineCheck"));
    EXPECT_EQ(QStringList({Cell(1, 0), Cell(2, 0)}), QStringList({U("見出し"), U("ﾚｺｰﾄﾞ2")}));
    Choose(Named<RadioGroup>("RadioGroup3"), 1);
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    Named<QComboBox>("ComboBox5")->setCurrentIndex(1);
    Click(Named<QPushButton>("BitBtn3"));
    EXPECT_EQ(Read(a + ".new"), "番号,名前\r\n1,a\r\n2,b\r\n");
    Click(Named<QPushButton>("BitBtn2"));
    EXPECT_TRUE(Named<QCheckBox>("HeadingLineCheck")->isChecked());
}

TEST_F(RunTest, NumericKeyCheckSortsTheKeyByValue) {
    QString a = Write(U("a.csv"), "1,10\r\n2,x\r\n3,9\r\n4,-1\r\n");
    Drop(win.get(), {a});
    Choose(Named<RadioGroup>("RadioGroup3"), 1);
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    Named<QComboBox>("ComboBox5")->setCurrentIndex(2);
    Click(Named<QCheckBox>("NumericKeyCheck"));
    Click(Named<QPushButton>("BitBtn3"));
    EXPECT_EQ(Read(a + ".new"), "4,-1\r\n3,9\r\n1,10\r\n2,x\r\n");
}

struct StartCheck {
    const char* name;
    bool withFile, fieldOn, recordOn, sortOn;
    const char* message;
    int page;  // -1: the page shown before stays
};

TEST_F(RunTest, EachStartCheckWarnsAndShowsItsPage) {
    const StartCheck cases[] = {
        {"no file", false, false, false, false, "処理ﾌｧｲﾙがありません", -1},
        {"no chosen field", true, true, true, true, "抽出するﾌｨｰﾙﾄﾞが指定されていません", 0},
        {"no sort key", true, false, true, true, "ｿｰﾄｷｰが指定されていません", 2},
        {"no condition", true, false, true, false, "抽出するﾚｺｰﾄﾞ条件が指定されていません", 1},
        {"nothing on", true, false, false, false, "条件が指定されていません", 0},
    };
    QString a = Write(U("a.csv"), "1,2\r\n");
    for (const StartCheck& c : cases) {
        SCOPED_TRACE(c.name);
        Click(Named<QPushButton>("BitBtn2"));
        boxes.clear();
        if (c.withFile) Drop(win.get(), {a});
        Choose(Named<RadioGroup>("RadioGroup3"), c.fieldOn ? 0 : 1);
        Choose(Named<RadioGroup>("RadioGroup2"), c.recordOn ? 0 : 1);
        Choose(Named<RadioGroup>("RadioGroup4"), c.sortOn ? 0 : 1);
        int before = c.page == 1 ? 2 : 1;
        Named<QTabWidget>("PageControl1")->setCurrentIndex(before);
        Click(Named<QPushButton>("BitBtn3"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, BoxKind::Warning);
        EXPECT_EQ(boxes[0].title, U("警告"));
        EXPECT_EQ(boxes[0].text, U(c.message));
        EXPECT_EQ(Named<QTabWidget>("PageControl1")->currentIndex(), c.page < 0 ? before : c.page);
        EXPECT_FALSE(Exists(a + ".new"));
    }
}

TEST_F(RunTest, FieldCountErrorReachesTheErrorBoxAndTheWindowGoesOn) {
    QString a = Write(U("a.csv"), "a,b,c\r\nd,e\r\n");
    Drop(win.get(), {a});
    ChooseFields({1});
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes[0].title, ApplicationTitle());
    EXPECT_EQ(boxes[0].text, a + U("の\r\n2行目でｴﾗｰ\r\n3であるべきﾌｨｰﾙﾄﾞ数が2です."));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().endsWith(U("\n異常終了しました")));
    EXPECT_FALSE(Exists(a + ".new"));
    EXPECT_TRUE(Named<QPushButton>("BitBtn3")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("BitBtn6")->isVisible());

    Write(U("a.csv"), "a,b,c\r\nd,e,f\r\n");
    boxes.clear();
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(Read(a + ".new"), "a\r\nd\r\n");
}

struct LockState {
    std::map<QString, bool> ownEnabled;
    bool abortShown = false;
};

LockState Snapshot(QWidget& w) {
    LockState s;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (c->objectName().isEmpty()) continue;
        s.ownEnabled[c->objectName()] = !c->testAttribute(Qt::WA_ForceDisabled);
    }
    auto* abort = w.findChild<QPushButton*>(QStringLiteral("BitBtn6"));
    s.abortShown = abort->isVisible() && abort->isEnabled();
    return s;
}

TEST_F(RunTest, AbortDuringTheSecondFileLocksExactlyTheSetAndStopsTheRun) {
    QStringList files;
    // The second file is long enough for the click to come while the run is
    // in it, however busy the machine.
    for (const char* name : {"1.csv", "2.csv", "3.csv"}) {
        files << Write(U(name), Numbered(name[0] == '2' ? 1000000 : 300, 3));
    }
    Drop(win.get(), files);
    ChooseFields({2});
    SwitchRecordExtractionOn(1, 1, U("1"));
    LockState before = Snapshot(*win);
    LockState during;
    // The page's controls outside the lock set look as they did before Start.
    const QList<QWidget*> unlocked = {Named<QWidget>("RadioGroup2"), Named<QWidget>("RadioGroup1"),
                                      Named<QWidget>("CheckBox2")};
    auto looks = [&] {
        QList<QImage> out;
        for (QWidget* w : unlocked) out << w->grab().toImage();
        return out;
    };
    Named<ListBox>("ListBox1")->setFocus();
    const QList<QImage> pagesBefore = looks();
    QList<QImage> pagesDuring;
    DuringRun([&] {
        if (Named<QLabel>("Label5")->text() != U("1/3ﾌｧｲﾙ処理")) return false;
        during = Snapshot(*win);
        pagesDuring = looks();
        Click(Named<QPushButton>("BitBtn6"));
        Click(Named<QPushButton>("BitBtn6"));  // a second click changes nothing
        return true;
    });
    Click(Named<QPushButton>("BitBtn3"));

    const QStringList locked = {
        "BitBtn1", "BitBtn2",      "BitBtn3",          "BitBtn4",       "BitBtn5",      "Button1",
        "Button2", "Button3",      "Button4",          "Button5",       "Button6",      "Edit1",
        "Edit2",   "PageControl1", "HeadingLineCheck", "SaveJobButton", "LoadJobButton"};
    ASSERT_FALSE(during.ownEnabled.empty());
    EXPECT_TRUE(during.abortShown);
    EXPECT_TRUE(pagesDuring == pagesBefore);  // locked, yet drawn as before
    for (const auto& [name, enabled] : during.ownEnabled) {
        if (name == "BitBtn6") continue;
        bool expected = locked.contains(name) ? false : before.ownEnabled[name];
        EXPECT_EQ(enabled, expected) << name.toStdString();
    }

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes[0].text, U("ユーザーにより中断されました."));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().endsWith(U("\nユーザーにより中断されました")));
    EXPECT_TRUE(Exists(files[0] + ".new"));
    EXPECT_FALSE(Exists(files[1] + ".new"));
    EXPECT_FALSE(Exists(files[2] + ".new"));

    // Unlocking enables the whole set, whatever each page's switch says.
    LockState after = Snapshot(*win);
    for (const QString& name : locked) EXPECT_TRUE(after.ownEnabled[name]) << name.toStdString();
    EXPECT_FALSE(Named<QPushButton>("BitBtn6")->isVisible());

    boxes.clear();
    Click(Named<QPushButton>("BitBtn3"));  // the flag is cleared by the next run
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);
    EXPECT_TRUE(Exists(files[2] + ".new"));
}

TEST_F(RunTest, ClosingTheWindowDuringARunLetsTheRunFinish) {
    QStringList files;
    for (const char* name : {"1.csv", "2.csv"}) files << Write(U(name), Numbered(100000, 2));
    Drop(win.get(), files);
    ChooseFields({1});
    DuringRun([&] {
        if (!win->Running()) return false;
        win->close();
        return true;
    });
    Click(Named<QPushButton>("BitBtn3"));
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(boxes.empty());  // the information box closed at once
    EXPECT_TRUE(Exists(files[0] + ".new"));
    EXPECT_TRUE(Exists(files[1] + ".new"));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().startsWith(U("正常終了しました\n処理ﾌｧｲﾙ数2")));
}

// A run keeps what it started with, and the window shows the same: files and
// jobs dropped on the window or on a control, and files named as the command
// line names them, are refused until the run ends, whether the file is held
// in memory or sorted on disk. The preview still works.
TEST_F(RunTest, NoFileOrJobIsTakenWhileARunGoesOn) {
    const struct {
        const char* name;
        const char* memory;  // the window's budget: a small one sorts on disk
        std::string firstLine;
    } ways[] = {{"extraction in memory", nullptr, "12\r\n"},
                {"sort on disk", "64K", "1000001,1000002\r\n"}};
    const QString b = Write(U("b.csv"), "p,q\r\n");
    const QString job = Write(U("job.txt"), "quellor-job 1\n--fields 1\n--sort 1:desc\n");
    const QString a = Write(U("a.csv"), Numbered(300000, 2));
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        Click(Named<QPushButton>("BitBtn2"));
        boxes.clear();
        Drop(win.get(), {a});
        if (way.memory) {
            qputenv(kMemoryVariable, way.memory);
            Choose(Named<RadioGroup>("RadioGroup3"), 1);
            Choose(Named<RadioGroup>("RadioGroup4"), 0);
            Named<QComboBox>("ComboBox5")->setCurrentIndex(2);
        } else {
            ChooseFields({2});
        }
        const RunChoices before = win->BuildRunChoices();
        bool offered = false;
        DuringRun([&] {
            if (!Named<QPushButton>("BitBtn6")->isVisible()) return false;
            for (QWidget* target : {static_cast<QWidget*>(win.get()), Named<QWidget>("Edit1")}) {
                EXPECT_EQ(Offer(target, {b, job}), QList<bool>({false, false, false}));
            }
            win->OpenFiles({QFile::encodeName(b), QFile::encodeName(job)});
            QApplication::processEvents();
            EXPECT_FALSE(Named<QPushButton>("BitBtn5")->isEnabled());
            DoubleClickEntry(Named<ListBox>("ListBox1"), 0);
            offered = true;
            return true;
        });
        Click(Named<QPushButton>("BitBtn3"));
        qunsetenv(kMemoryVariable);
        ASSERT_TRUE(offered);
        EXPECT_EQ(Cell(1, 1), U("11"));
        const RunChoices after = win->BuildRunChoices();
        EXPECT_EQ(after.Files.Paths, before.Files.Paths);
        EXPECT_EQ(after.Fields.ChosenFields, before.Fields.ChosenFields);
        EXPECT_EQ(after.Sort.KeyField, before.Sort.KeyField);
        EXPECT_EQ(after.Sort.Descending, before.Sort.Descending);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, BoxKind::Information);
        EXPECT_EQ(Read(a + ".new").substr(0, way.firstLine.size()), way.firstLine);
        EXPECT_FALSE(Exists(b + ".new"));
        Drop(win.get(), {b});  // taken again once the run is over
        EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 2);
    }
}

}  // namespace
}  // namespace quellor::ui::test
