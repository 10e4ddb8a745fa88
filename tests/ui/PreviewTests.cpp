// The preview grid, and a whole session as a user would make it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include "UiFixture.h"
#include "records/Exceptions.h"
#include "ui/ListBox.h"
#include "ui/RadioGroup.h"
#include "ui/StringGrid.h"

namespace quellor::ui::test {
namespace {

class PreviewTest : public UiTest {
  protected:
    void Preview(const QString& path) {
        Named<ListBox>("ListBox1")->clear();
        Drop(win.get(), {path});
        DoubleClickEntry(Named<ListBox>("ListBox1"), 0);
    }
    QStringList Row(int r) {
        QStringList out;
        for (int c = 0; c < Named<StringGrid>("StringGrid1")->Columns(); ++c) out << Cell(r, c);
        return out;
    }
};

struct PreviewCase {
    const char* name;
    std::string content;
    int rows, columns;
    std::vector<std::vector<const char*>> cells;  // rows from 0
};

TEST_F(PreviewTest, ShowsTheValuesOfTheFirstRecords) {
    std::string many;
    for (int i = 1; i <= 60; ++i) many += std::to_string(i) + ",z\r\n";
    const PreviewCase cases[] = {
        {"three lines",
         "a,b\r\nc,d\r\ne,f\r\n",
         4,
         3,
         {{"", "第1ﾌｨｰﾙﾄﾞ", "第2ﾌｨｰﾙﾄﾞ"}, {"ﾚｺｰﾄﾞ1", "a", "b"}, {"ﾚｺｰﾄﾞ3", "e", "f"}}},
        {"quoted field is one cell",
         "\"x,y\",z\r\n",
         2,
         3,
         {{"", "第1ﾌｨｰﾙﾄﾞ", "第2ﾌｨｰﾙﾄﾞ"}, {"ﾚｺｰﾄﾞ1", "x,y", "z"}}},
        {"a value over two lines is one cell with a mark",
         "\"Osaka\r\nKita-ku\",1\r\nx,y\r\n",
         3,
         3,
         {{}, {"ﾚｺｰﾄﾞ1", "Osaka↵Kita-ku", "1"}, {"ﾚｺｰﾄﾞ2", "x", "y"}}},
        {"empty field shows a blank", "x,,y\r\n", 2, 4, {{}, {"ﾚｺｰﾄﾞ1", "x", " ", "y"}}},
        {"empty file", "", 2, 2, {{"", ""}, {"", ""}}},
        {"blank last line",
         "a,b\r\n   \r\n",
         3,
         2,
         {{"", "第1ﾌｨｰﾙﾄﾞ"}, {"ﾚｺｰﾄﾞ1", "a"}, {"ﾚｺｰﾄﾞ2", " "}}},
        {"code page 932 text", "\x95\x5C,\xB1\r\n", 2, 3, {{}, {"ﾚｺｰﾄﾞ1", "表", "ｱ"}}},
        {"UTF-8 text", "表,ｱ\r\n", 2, 3, {{}, {"ﾚｺｰﾄﾞ1", "表", "ｱ"}}},
        {"half-width katakana that are valid UTF-8",
         "\xC3\xB1,1\r\n",
         2,
         3,
         {{}, {"ﾚｺｰﾄﾞ1", "ﾃｱ", "1"}}},
        {"UTF-8 with its mark, last bytes that are lead bytes in code page 932",
         "\xEF\xBB\xBF\"市,い\",x\r\n",
         2,
         3,
         {{}, {"ﾚｺｰﾄﾞ1", "市,い", "x"}}},
    };
    for (const PreviewCase& c : cases) {
        SCOPED_TRACE(c.name);
        Preview(Write(U("p.csv"), c.content));
        EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), c.rows);
        EXPECT_EQ(Named<StringGrid>("StringGrid1")->Columns(), c.columns);
        for (std::size_t r = 0; r < c.cells.size(); ++r) {
            if (c.cells[r].empty()) continue;
            QStringList expected;
            for (const char* cell : c.cells[r]) expected << U(cell);
            int row = r == 2 && c.rows == 4 ? 3 : static_cast<int>(r);
            EXPECT_EQ(Row(row), expected) << r;
        }
    }
    const QString note = U("【先頭50行を表示しています（文字ｺｰﾄﾞ：%1）】");
    EXPECT_EQ(Named<QLabel>("Label4")->text(), note.arg(U("UTF-8")));
    Preview(Write(U("many.csv"), many));
    EXPECT_EQ(Named<QLabel>("Label4")->text(), note.arg(U("CP932")));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), 51);
    EXPECT_EQ(Cell(50, 1), U("50"));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->ColWidth(0), win->Scaled(50));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->ColWidth(1), win->Scaled(64));
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->rowHeight(0), win->Scaled(14));
}

TEST_F(PreviewTest, ShowsTheTopmostSelectedFileAndMissingFilesLeaveItCleared) {
    QString a = Write(U("a.csv"), "a1\r\n");
    QString b = Write(U("b.csv"), "b1\r\n");
    QString gone = Path(U("gone.csv"));
    ListBox* list = Named<ListBox>("ListBox1");
    Drop(win.get(), {a, gone, b});
    ClickEntry(list, 2);
    // Shift with the double-click selects all three; the topmost is shown.
    QPoint top = list->visualItemRect(list->item(0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, top);
    ASSERT_EQ(list->selectedItems().size(), 3);
    EXPECT_EQ(Cell(1, 1), U("a1"));
    // The error is shown, the grid left cleared, and the window goes on.
    DoubleClickEntry(list, 1);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, U("ファイルが見つかりません."));
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), 2);
    EXPECT_TRUE(Named<QLabel>("Label4")->text().startsWith(U("【ﾘｽﾄ内")));
}

TEST_F(PreviewTest, UnreadableLineKeepsTheRowsAlreadyShown) {
    // A NUL byte stops the reader part-way (if the reader refuses it).
    QString p = Write(U("nul.csv"), std::string("a,b\r\nc,d\r\ne\0f\r\n", 15));
    Preview(p);
    EXPECT_GE(Named<StringGrid>("StringGrid1")->Rows(), 3);
    EXPECT_EQ(Row(1), (QStringList{U("ﾚｺｰﾄﾞ1"), U("a"), U("b")})
                          .mid(0, Named<StringGrid>("StringGrid1")->Columns()));
}

TEST_F(PreviewTest, UserDragsColumnBordersInTheHeadingRow) {
    Preview(Write(U("p.csv"), "a,b\r\n"));
    StringGrid* grid = Named<StringGrid>("StringGrid1");
    QWidget* headings = grid->horizontalHeader()->viewport();
    const int y = headings->height() / 2;
    auto drag = [&](int from, int by) {
        QTest::mousePress(headings, Qt::LeftButton, Qt::NoModifier, QPoint(from, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(from + by, y),
                         headings->mapToGlobal(QPointF(from + by, y)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(headings, &move);
        QTest::mouseRelease(headings, Qt::LeftButton, Qt::NoModifier, QPoint(from + by, y));
    };
    drag(grid->horizontalHeader()->sectionViewportPosition(0) + grid->ColWidth(1) - 1, 30);
    EXPECT_EQ(grid->ColWidth(1), win->Scaled(64) + 30);
    drag(1, 20);  // the heading column's border
    EXPECT_EQ(grid->ColWidth(0), win->Scaled(50) + 20);
    // The grid's hint shows over its headings as over its cells.
    QHelpEvent help(QEvent::ToolTip, QPoint(40, y), headings->mapToGlobal(QPoint(40, y)));
    QApplication::sendEvent(headings, &help);
    EXPECT_EQ(QToolTip::text(), U("ﾌｧｲﾙの先頭ﾚｺｰﾄﾞ50件を表示しています"));
    // A click on a data cell selects its whole row.
    QTest::mouseClick(
        grid->viewport(), Qt::LeftButton, Qt::NoModifier,
        QPoint(grid->columnViewportPosition(0) + 5, grid->rowViewportPosition(0) + 3));
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
}

TEST_F(PreviewTest, ShorterLinesKeepTheCellsAboveAndHeadingsStayInPlace) {
    auto fields = [](int n, char c) {
        std::string line;
        for (int k = 1; k <= n; ++k)
            line += (k > 1 ? "," : "") + std::string(1, c) + std::to_string(k);
        return line + "\r\n";
    };
    std::string text = fields(10, 'a') + fields(10, 'b') + fields(3, 'c');
    for (int i = 0; i < 20; ++i) text += fields(10, 'd');
    Preview(Write(U("p.csv"), text));
    StringGrid* grid = Named<StringGrid>("StringGrid1");
    ASSERT_EQ(grid->Columns(), 11);
    EXPECT_EQ(Row(2).mid(9), (QStringList{U("b9"), U("b10")}));
    EXPECT_EQ(Row(3).mid(3), (QStringList{U("c3"), {}, {}, {}, {}, {}, {}, {}}));

    // Scrolled to the far corner, the headings beside and above the first
    // cell in view name that cell's column and row.
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    QApplication::processEvents();
    const int column = grid->columnAt(1), row = grid->rowAt(1);
    ASSERT_TRUE(column > 0 && row > 0);
    QHeaderView* top = grid->horizontalHeader();
    QHeaderView* left = grid->verticalHeader();
    EXPECT_EQ(top->logicalIndexAt(1), column);
    EXPECT_EQ(left->logicalIndexAt(1), row);
    EXPECT_LE(top->geometry().bottom(), grid->viewport()->geometry().top());
    EXPECT_LE(left->geometry().right(), grid->viewport()->geometry().left());
    EXPECT_EQ(Cell(0, column + 1), U("第%1ﾌｨｰﾙﾄﾞ").arg(column + 1));
    EXPECT_EQ(Cell(row + 1, 0), U("ﾚｺｰﾄﾞ%1").arg(row + 1));
}

TEST_F(PreviewTest, WholeSessionSortsExtractsAndChoosesFields) {
    QString a = Write(U("a.csv"), "3,c,keep\r\n1,a,keep\r\n2,b,drop\r\n1,a,keep\r\n");
    QString b = Write(U("b.csv"), "9,z,keep\r\n8,y,keep\r\n");
    Drop(win.get(), {a, b});
    ChooseFields({3, 1});
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    Named<QComboBox>("ComboBox5")->setCurrentIndex(1);
    Named<QCheckBox>("CheckBox1")->setChecked(true);
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    Named<QComboBox>("ComboBox1")->setCurrentIndex(3);
    Named<QLineEdit>("Edit1")->setText(U("keep"));
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(Read(a + ".new"), "keep,1\r\nkeep,3\r\n");
    EXPECT_EQ(Read(a + ".w"), "1,a,keep\r\n");
    EXPECT_EQ(Read(b + ".new"), "keep,8\r\nkeep,9\r\n");
    EXPECT_FALSE(Exists(b + ".w"));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().startsWith(U("正常終了しました\n処理ﾌｧｲﾙ数2")));
}

}  // namespace
}  // namespace quellor::ui::test
