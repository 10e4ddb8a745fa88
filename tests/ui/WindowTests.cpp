// The window after start-up and reset, its layout, hints, pages and keys.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTest>

#include "UiFixture.h"
#include "ui/ListBox.h"
#include "ui/RadioGroup.h"
#include "ui/StringGrid.h"

namespace quellor::ui::test {
namespace {

class WindowTest : public UiTest {
  protected:
    void ExpectResetState();
    static QString TextOf(QWidget* w) {
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
        return {};
    }
};

struct Layout {
    const char* name;
    const char* parent;
    int x, y, w, h;
    const char* text;  // nullptr: not a captioned control
    bool autoSize;
};

const Layout kLayout[] = {
    {"Bevel1", "frmMain", 8, 472, 473, 89, nullptr, false},
    {"Label1", "frmMain", 8, 456, 74, 12, "【処理ﾒｯｾｰｼﾞ】", true},
    {"Label2", "frmMain", 8, 192, 146, 12, "【処理条件を指定して下さい】", true},
    {"Label3", "frmMain", 8, 8, 158, 12, "【処理ﾌｧｲﾙをﾄﾞﾛｯﾌﾟして下さい】", true},
    {"Label4", "frmMain", 208, 8, 4, 12, "【ﾘｽﾄ内のﾌｧｲﾙ名をﾀﾞﾌﾞﾙｸﾘｯｸするとの先頭50行を表示します】",
     true},
    {"Label5", "frmMain", 16, 480, 27, 12, "0/0ﾌｧｲﾙ", true},
    {"Label6", "frmMain", 16, 520, 27, 12, "0/0ﾚｺｰﾄﾞ", true},
    {"Label7", "frmMain", 304, 480, 169, 73, "ＺＺＺ…", false},
    {"Label8", "frmMain", 8, 24, 58, 12, "合計0ﾌｧｲﾙ", true},
    {"StringGrid1", "frmMain", 208, 24, 353, 153, nullptr, false},
    {"BitBtn1", "frmMain", 8, 160, 89, 17, "削除", false},
    {"BitBtn2", "frmMain", 488, 472, 75, 25, "全てｸﾘｱ", false},
    {"BitBtn3", "frmMain", 488, 504, 75, 25, "ｽﾀｰﾄ", false},
    {"ListBox1", "frmMain", 8, 40, 193, 113, nullptr, false},
    {"BitBtn4", "frmMain", 488, 536, 75, 25, "ｷｬﾝｾﾙ", false},
    {"PageControl1", "frmMain", 8, 208, 553, 233, nullptr, false},
    {"RadioGroup3", "TabSheet1", 8, 8, 185, 33, nullptr, false},
    {"GroupBox2", "TabSheet1", 8, 48, 529, 153,
     "抽出するﾌｨｰﾙﾄﾞを選択し並び替えてください（１番目のﾌｧｲﾙの1行目をｻﾝﾌﾟﾙとしています）", false},
    {"Label10", "GroupBox2", 8, 16, 94, 12, "元のﾌｨｰﾙﾄﾞと順番", true},
    {"Label11", "GroupBox2", 272, 16, 116, 12, "抽出するﾌｨｰﾙﾄﾞと順番", true},
    {"ListBox2", "GroupBox2", 8, 32, 217, 113, nullptr, false},
    {"Button1", "GroupBox2", 232, 64, 33, 17, "→", false},
    {"Button2", "GroupBox2", 232, 96, 33, 17, "←", false},
    {"ListBox3", "GroupBox2", 272, 32, 217, 113, nullptr, false},
    {"Button3", "GroupBox2", 496, 40, 25, 25, "▲", false},
    {"Button4", "GroupBox2", 496, 64, 25, 25, "△", false},
    {"Button5", "GroupBox2", 496, 88, 25, 25, "▽", false},
    {"Button6", "GroupBox2", 496, 112, 25, 25, "▼", false},
    {"RadioGroup2", "TabSheet2", 8, 8, 185, 33, nullptr, false},
    {"GroupBox1", "TabSheet2", 8, 48, 529, 153, "抽出するﾚｺｰﾄﾞの文字列検索条件を指定して下さい",
     false},
    {"Label9", "GroupBox1", 121, 30, 12, 12, "が", false},
    {"Label12", "GroupBox1", 121, 100, 12, 12, "が", false},
    {"ComboBox1", "GroupBox1", 8, 24, 107, 20, nullptr, false},
    {"Edit1", "GroupBox1", 138, 24, 239, 20, nullptr, false},
    {"ComboBox2", "GroupBox1", 384, 24, 137, 20, nullptr, false},
    {"RadioGroup1", "GroupBox1", 10, 48, 189, 33, nullptr, false},
    {"ComboBox3", "GroupBox1", 8, 93, 107, 20, nullptr, false},
    {"Edit2", "GroupBox1", 138, 93, 239, 20, nullptr, false},
    {"ComboBox4", "GroupBox1", 384, 93, 137, 20, nullptr, false},
    {"CheckBox2", "GroupBox1", 8, 128, 233, 17, "抽出ﾚｺｰﾄﾞがなければﾌｧｲﾙを作成しない", false},
    {"RadioGroup4", "TabSheet3", 8, 8, 185, 33, nullptr, false},
    {"GroupBox3", "TabSheet3", 8, 48, 529, 89, "ｿｰﾄｷｰを指定して下さい", false},
    {"Label14", "GroupBox3", 122, 28, 37, 12, "をｷｰに", false},
    {"Label15", "GroupBox3", 250, 28, 54, 12, "でｿｰﾄする", false},
    {"ComboBox5", "GroupBox3", 8, 24, 107, 20, nullptr, false},
    {"CheckBox1", "GroupBox3", 8, 56, 265, 17, "重複しているﾚｺｰﾄﾞを除去し別ﾌｧｲﾙに書き出す", false},
    {"ComboBox6", "GroupBox3", 170, 24, 73, 20, nullptr, false},
    {"NumericKeyCheck", "GroupBox3", 316, 26, 49, 17, "数値", false},
    {"BitBtn5", "frmMain", 112, 160, 89, 17, "全て削除", false},
    {"ProgressBar1", "frmMain", 16, 496, 273, 16, nullptr, false},
    {"ProgressBar2", "frmMain", 16, 536, 273, 16, nullptr, false},
    {"BitBtn6", "frmMain", 488, 504, 75, 25, "中止", false},
};

TEST_F(WindowTest, EveryControlStandsWhereTheLayoutPutsIt) {
    for (const Layout& c : kLayout) {
        QWidget* w = Named(c.name);
        if (!w) continue;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(w->parentWidget()->objectName(), QLatin1String(c.parent));
        EXPECT_EQ(w->pos(), QPoint(win->Scaled(c.x), win->Scaled(c.y)));
        if (c.autoSize) {
            EXPECT_EQ(w->height(), win->Scaled(c.h));
            EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(TextOf(w)));
        } else {
            EXPECT_EQ(w->size(), QSize(win->Scaled(c.w), win->Scaled(c.h)));
        }
        if (c.text) {
            EXPECT_EQ(TextOf(w), U(c.text));
        }
        EXPECT_EQ(w->font().pixelSize(), win->Scaled(12));
        EXPECT_TRUE(w->font().families().contains(U("ＭＳ Ｐゴシック")));
    }
}

TEST_F(WindowTest, WindowHasItsCaptionSizeAndFixedBorder) {
    EXPECT_EQ(win->windowTitle(), U("Quellor－CSVﾌｧｲﾙ編集ツール　Ver.2.00"));
    EXPECT_EQ(win->size(), QSize(win->Scaled(568), win->Scaled(569)));
    EXPECT_EQ(win->minimumSize(), win->maximumSize());
    EXPECT_FALSE(win->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(win->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(win->pos(), QPoint(310, 99));
    EXPECT_FALSE(win->windowIcon().isNull());
    EXPECT_EQ(win->palette().color(QPalette::Window), win->palette().color(QPalette::Button));
    QIcon eraser = Named<QPushButton>("BitBtn2")->icon();
    QImage normal = eraser.pixmap(16, 16, QIcon::Normal).toImage();
    QImage greyed = eraser.pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_NE(normal, greyed);
}

TEST_F(WindowTest, PagesAndItemsAreThoseOfTheForm) {
    QStringList tabs;
    for (int i = 0; i < Named<QTabWidget>("PageControl1")->count(); ++i)
        tabs << Named<QTabWidget>("PageControl1")->tabText(i);
    EXPECT_EQ(tabs, (QStringList{U("ﾌｨｰﾙﾄﾞ抽出"), U("ﾚｺｰﾄﾞ抽出"), U("ｿｰﾄ")}));
    auto items = [](QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    };
    QStringList modes{U("と完全に一致する"), U("を含む"), U("で始まる"), U("で終わる")};
    EXPECT_EQ(items(Named<QComboBox>("ComboBox2")), modes);
    EXPECT_EQ(items(Named<QComboBox>("ComboBox4")), modes + QStringList{QString()});
    EXPECT_EQ(items(Named<QComboBox>("ComboBox6")), (QStringList{U("昇順"), U("降順")}));
    EXPECT_EQ(Named<RadioGroup>("RadioGroup1")->Button(1)->text(), U("または"));
    EXPECT_EQ(Named<RadioGroup>("RadioGroup3")->Button(0)->text(), U("する"));
    EXPECT_EQ(Named<RadioGroup>("RadioGroup3")->Button(1)->text(), U("しない"));
    for (QComboBox* c : win->findChildren<QComboBox*>()) EXPECT_FALSE(c->isEditable());
    EXPECT_EQ(Named<ListBox>("ListBox1")->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(Named<ListBox>("ListBox2")->isSortingEnabled());
    EXPECT_FALSE(Named<ListBox>("ListBox3")->isSortingEnabled());
}

TEST_F(WindowTest, EveryHintIsAssignedWithItsTiming) {
    const std::pair<const char*, const char*> some[] = {
        {"StringGrid1", "ﾌｧｲﾙの先頭ﾚｺｰﾄﾞ50件を表示しています"},
        {"ListBox1",
         "処理するﾌｧｲﾙをここにﾄﾞﾛｯﾌﾟして下さい。ﾌｧｲﾙ名をﾀﾞﾌﾞﾙｸﾘｯｸすると右のｸﾞﾘｯﾄﾞに内容が表示されま"
         "す"},
        {"TabSheet3", "ﾚｺｰﾄﾞをｿｰﾄします"},
        {"Edit2", "検索文字列を指定します（第２条件）"},
        {"BitBtn6", "処理を中断します"},
        {"Label7", "処理状況を表示します"},
    };
    for (auto [name, hint] : some) {
        QWidget* w = Named(name);
        EXPECT_EQ(w->toolTip(), U(hint)) << name;
    }
    int withHints = 0;
    for (QWidget* w : win->findChildren<QWidget*>()) {
        if (w->toolTip().isEmpty()) continue;
        ++withHints;
        EXPECT_EQ(w->toolTipDuration(), 5000) << w->objectName().toStdString();
    }
    EXPECT_EQ(withHints, 33);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 250);
}

// The state after start-up; checked again after a reset below.
void WindowTest::ExpectResetState() {
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 0);
    EXPECT_EQ(Named<QLabel>("Label8")->text(), U("合計0ﾌｧｲﾙ"));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), 2);
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Columns(), 2);
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(Named<ListBox>("ListBox2")->count() + Named<ListBox>("ListBox3")->count(), 0);
    for (QComboBox* c : {Named<QComboBox>("ComboBox1"), Named<QComboBox>("ComboBox3"),
                         Named<QComboBox>("ComboBox5")}) {
        EXPECT_EQ(c->count(), 0);
        EXPECT_EQ(c->currentIndex(), -1);
    }
    for (QComboBox* c : {Named<QComboBox>("ComboBox2"), Named<QComboBox>("ComboBox4"),
                         Named<QComboBox>("ComboBox6")})
        EXPECT_EQ(c->currentIndex(), 0);
    EXPECT_EQ(Named<RadioGroup>("RadioGroup3")->ItemIndex(), 0);
    EXPECT_EQ(Named<RadioGroup>("RadioGroup2")->ItemIndex(), 1);
    EXPECT_EQ(Named<RadioGroup>("RadioGroup1")->ItemIndex(), 0);
    EXPECT_EQ(Named<RadioGroup>("RadioGroup4")->ItemIndex(), 1);
    EXPECT_TRUE(Named<QLineEdit>("Edit1")->text().isEmpty());
    EXPECT_TRUE(Named<QLineEdit>("Edit2")->text().isEmpty());
    EXPECT_EQ(Named<QLabel>("Label5")->text(), U("0/0ﾌｧｲﾙ"));
    EXPECT_EQ(Named<QLabel>("Label6")->text(), U("0/0ﾚｺｰﾄﾞ"));
    EXPECT_EQ(Named<QLabel>("Label7")->text(), U("ＺＺＺ…"));
    EXPECT_EQ(Named<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_EQ(Named<QProgressBar>("ProgressBar2")->value(), 0);
    EXPECT_FALSE(Named<QPushButton>("BitBtn1")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("BitBtn5")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("BitBtn6")->isVisible());
    EXPECT_TRUE(Named<QPushButton>("BitBtn3")->isEnabled());
    EXPECT_EQ(Named<QTabWidget>("PageControl1")->currentIndex(), 0);
    for (QWidget* c : std::initializer_list<QWidget*>{
             Named<ListBox>("ListBox2"), Named<ListBox>("ListBox3"), Named<QPushButton>("Button1"),
             Named<QPushButton>("Button6")})
        EXPECT_TRUE(c->isEnabled());
    for (QWidget* c : std::initializer_list<QWidget*>{
             Named<QComboBox>("ComboBox1"), Named<QComboBox>("ComboBox4"),
             Named<QLineEdit>("Edit1"), Named<QLineEdit>("Edit2"), Named<RadioGroup>("RadioGroup1"),
             Named<QCheckBox>("CheckBox2"), Named<QComboBox>("ComboBox5"),
             Named<QComboBox>("ComboBox6"), Named<QCheckBox>("CheckBox1"),
             Named<QCheckBox>("NumericKeyCheck")})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_TRUE(Named<RadioGroup>("RadioGroup2")->isEnabled());
    EXPECT_TRUE(Named<RadioGroup>("RadioGroup4")->isEnabled());
}

TEST_F(WindowTest, StartsInTheResetState) {
    ExpectResetState();
    EXPECT_FALSE(Named<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_FALSE(Named<QCheckBox>("CheckBox2")->isChecked());
}

TEST_F(WindowTest, BothClearButtonsResetEverythingButTheCheckBoxes) {
    for (QPushButton* clear : {Named<QPushButton>("BitBtn2"), Named<QPushButton>("BitBtn5")}) {
        QString a = Write(U("a.csv"), "x,y\r\n");
        Drop(win.get(), {a});
        Choose(Named<RadioGroup>("RadioGroup2"), 0);
        Choose(Named<RadioGroup>("RadioGroup4"), 0);
        Named<QComboBox>("ComboBox2")->setCurrentIndex(2);
        Named<QComboBox>("ComboBox6")->setCurrentIndex(1);
        Named<QLineEdit>("Edit1")->setText(U("abc"));
        for (const char* box : {"CheckBox1", "CheckBox2", "NumericKeyCheck"})
            Named<QCheckBox>(box)->setChecked(true);
        Named<QTabWidget>("PageControl1")->setCurrentIndex(2);
        Named<QLabel>("Label7")->setText(U("something"));
        Named<QProgressBar>("ProgressBar2")->setValue(40);
        Click(clear);
        ExpectResetState();
        for (const char* box : {"CheckBox1", "CheckBox2", "NumericKeyCheck"})
            EXPECT_TRUE(Named<QCheckBox>(box)->isChecked()) << box;
    }
}

TEST_F(WindowTest, EachRadioGroupSwitchesOnlyItsOwnPage) {
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    EXPECT_TRUE(Named<QLineEdit>("Edit1")->isEnabled());
    EXPECT_TRUE(Named<QCheckBox>("CheckBox2")->isEnabled());
    EXPECT_FALSE(Named<QComboBox>("ComboBox5")->isEnabled());
    Named<QLineEdit>("Edit1")->setText(U("keep"));
    Choose(Named<RadioGroup>("RadioGroup2"), 1);
    EXPECT_FALSE(Named<QLineEdit>("Edit1")->isEnabled());
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    EXPECT_EQ(Named<QLineEdit>("Edit1")->text(), U("keep"));

    Choose(Named<RadioGroup>("RadioGroup3"), 1);
    EXPECT_FALSE(Named<ListBox>("ListBox2")->isEnabled());
    EXPECT_FALSE(Named<QPushButton>("Button4")->isEnabled());
    EXPECT_TRUE(Named<RadioGroup>("RadioGroup3")->isEnabled());
    EXPECT_TRUE(Named<QLineEdit>("Edit1")->isEnabled());

    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    EXPECT_TRUE(Named<QComboBox>("ComboBox6")->isEnabled());
    EXPECT_TRUE(Named<QCheckBox>("CheckBox1")->isEnabled());
    EXPECT_FALSE(Named<ListBox>("ListBox3")->isEnabled());
}

TEST_F(WindowTest, EnterPressesStartUnlessAnotherButtonHasTheFocus) {
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    Named<QLineEdit>("Edit1")->setFocus();
    QTest::keyClick(Named<QLineEdit>("Edit1"), Qt::Key_Return);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, U("処理ﾌｧｲﾙがありません"));

    QTest::keyClick(Named<QLineEdit>("Edit1"), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(Named<QLineEdit>("Edit1"), Qt::Key_Enter, Qt::ControlModifier);
    EXPECT_EQ(boxes.size(), 1u);

    QString a = Write(U("a.csv"), "x\r\n");
    Drop(win.get(), {a});
    Named<QPushButton>("BitBtn5")->setFocus();
    QTest::keyClick(Named<QPushButton>("BitBtn5"), Qt::Key_Return);
    EXPECT_EQ(Named<ListBox>("ListBox1")->count(), 0);  // "全て削除" pressed, not Start
    EXPECT_EQ(boxes.size(), 1u);

    Named<QPushButton>("BitBtn3")->setEnabled(false);
    Named<QLineEdit>("Edit1")->setFocus();
    QTest::keyClick(Named<QLineEdit>("Edit1"), Qt::Key_Return);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(WindowTest, EscClosesTheWindowUnlessCancelIsDisabled) {
    Named<QPushButton>("BitBtn4")->setEnabled(false);
    QTest::keyClick(Named<ListBox>("ListBox1"), Qt::Key_Escape);
    EXPECT_TRUE(win->isVisible());
    Named<QPushButton>("BitBtn4")->setEnabled(true);
    QTest::keyClick(Named<ListBox>("ListBox1"), Qt::Key_Escape, Qt::AltModifier);
    EXPECT_TRUE(win->isVisible());
    QTest::keyClick(Named<ListBox>("ListBox1"), Qt::Key_Escape);
    EXPECT_FALSE(win->isVisible());
}

TEST_F(WindowTest, CancelButtonClosesTheWindow) {
    Click(Named<QPushButton>("BitBtn4"));
    EXPECT_FALSE(win->isVisible());
}

}  // namespace
}  // namespace quellor::ui::test
