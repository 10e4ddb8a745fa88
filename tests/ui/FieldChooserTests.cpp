// Field lists, field combo boxes, moves and ordering.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "UiFixture.h"
#include "ui/ListBox.h"

namespace quellor::ui::test {
namespace {

class FieldTest : public UiTest {
  protected:
    QStringList Numbers(ListBox* list) {
        QStringList out;
        for (const QString& t : list->Texts()) out << t.mid(2, t.indexOf(U("ﾌｨｰﾙﾄﾞ")) - 2);
        return out;
    }
    void Sample(const std::string& line) { Drop(win.get(), {Write(U("s.csv"), line + "\r\n")}); }
};

TEST_F(FieldTest, SampleLineFillsListsAndCombos) {
    // Values, as every stage reads them: a quoted one without its quotes, a
    // line break in one as a mark.
    Sample("X,\x95\x5C,\" Z\r\nz\"");
    EXPECT_EQ(Named<ListBox>("ListBox2")->Texts(),
              (QStringList{U("[第01ﾌｨｰﾙﾄﾞ]　X"), U("[第02ﾌｨｰﾙﾄﾞ]　表"), U("[第03ﾌｨｰﾙﾄﾞ]　 Z↵z")}));
    for (QComboBox* c : {Named<QComboBox>("ComboBox1"), Named<QComboBox>("ComboBox3"),
                         Named<QComboBox>("ComboBox5")}) {
        ASSERT_EQ(c->count(), 4);
        EXPECT_EQ(c->itemText(0), QString());
        EXPECT_EQ(c->itemText(3), U("第3ﾌｨｰﾙﾄﾞ"));
        EXPECT_EQ(c->currentIndex(), 0);
    }
    EXPECT_GT(Named<ListBox>("ListBox2")->ScrollExtent(), 0);
}

TEST_F(FieldTest, MovingFieldsKeepsUserOrderAndFieldOrder) {
    Sample("a,b,c");
    ChooseFields({3, 1});
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"03", "01"}));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox2")), (QStringList{"02"}));
    ClickEntry(Named<ListBox>("ListBox3"), 1);
    Click(Named<QPushButton>("Button2"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox2")), (QStringList{"01", "02"}));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"03"}));
    DoubleClickEntry(Named<ListBox>("ListBox3"), 0);
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox2")), (QStringList{"01", "02", "03"}));
    DoubleClickEntry(Named<ListBox>("ListBox2"), 1);
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"02"}));
}

TEST_F(FieldTest, SeveralSelectedMoveInListOrder) {
    Sample("a,b,c");
    ClickEntry(Named<ListBox>("ListBox2"), 2);
    ClickEntry(Named<ListBox>("ListBox2"), 0, Qt::ControlModifier);
    Click(Named<QPushButton>("Button1"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"01", "03"}));
}

TEST_F(FieldTest, HundredAndMoreFieldsSortByTextAndRunWhole) {
    std::string line;
    for (int i = 1; i <= 112; ++i) line += (i > 1 ? "," : "") + ("v" + std::to_string(i));
    QString path = Write(U("wide.csv"), line + "\r\n" + line + "\r\n");
    Drop(win.get(), {path});
    QStringList numbers = Numbers(Named<ListBox>("ListBox2"));
    ASSERT_EQ(numbers.size(), 112);
    qsizetype at09 = numbers.indexOf("09");
    EXPECT_EQ(numbers.mid(at09, 12), (QStringList{"09", "100", "101", "102", "103", "104", "105",
                                                  "106", "107", "108", "109", "10"}));
    ChooseFields({105, 7});
    Click(Named<QPushButton>("BitBtn3"));
    EXPECT_EQ(Read(path + ".new"), "v105,v7\r\nv105,v7\r\n");
}

TEST_F(FieldTest, OrderingButtonsMoveTheFocusedEntry) {
    Sample("a,b,c,d");
    ChooseFields({1, 2, 3, 4});
    ClickEntry(Named<ListBox>("ListBox3"), 0);
    Click(Named<QPushButton>("Button3"));  // already at the top
    Click(Named<QPushButton>("Button4"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"01", "02", "03", "04"}));
    ClickEntry(Named<ListBox>("ListBox3"), 2);
    Click(Named<QPushButton>("Button3"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"03", "01", "02", "04"}));
    EXPECT_TRUE(Named<ListBox>("ListBox3")->item(0)->isSelected());
    EXPECT_FALSE(Named<ListBox>("ListBox3")->item(3)->isSelected());
    Click(Named<QPushButton>("Button6"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"01", "02", "04", "03"}));
    Click(Named<QPushButton>("Button5"));  // already at the bottom
    Click(Named<QPushButton>("Button4"));
    Click(Named<QPushButton>("Button4"));  // the focus went with the entry
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"01", "03", "02", "04"}));
    EXPECT_TRUE(Named<ListBox>("ListBox3")->item(1)->isSelected());
    Click(Named<QPushButton>("Button5"));
    EXPECT_EQ(Numbers(Named<ListBox>("ListBox3")), (QStringList{"01", "02", "03", "04"}));
}

TEST_F(FieldTest, TwoSelectedDisableOrderingUntilTheUserSelectsAgain) {
    Sample("a,b,c");
    ChooseFields({1, 2, 3});
    ClickEntry(Named<ListBox>("ListBox3"), 0);
    ClickEntry(Named<ListBox>("ListBox3"), 1, Qt::ControlModifier);
    for (QPushButton* b : {Named<QPushButton>("Button3"), Named<QPushButton>("Button4"),
                           Named<QPushButton>("Button5"), Named<QPushButton>("Button6")})
        EXPECT_FALSE(b->isEnabled());
    Click(Named<QPushButton>("Button2"));
    EXPECT_FALSE(Named<QPushButton>("Button3")->isEnabled());
    Named<ListBox>("ListBox3")->item(0)->setSelected(true);  // the program's change: no click
    EXPECT_FALSE(Named<QPushButton>("Button3")->isEnabled());
    ClickEntry(Named<ListBox>("ListBox3"), 0, Qt::ControlModifier);
    for (QPushButton* b : {Named<QPushButton>("Button3"), Named<QPushButton>("Button4"),
                           Named<QPushButton>("Button5"), Named<QPushButton>("Button6")})
        EXPECT_TRUE(b->isEnabled());
}

TEST_F(FieldTest, EmptyFirstLineLeavesOnlyTheEmptyChoice) {
    Drop(win.get(), {Write(U("e.csv"), "")});
    EXPECT_EQ(Named<ListBox>("ListBox2")->count(), 0);
    EXPECT_EQ(Named<QComboBox>("ComboBox5")->count(), 1);
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, U("抽出するﾌｨｰﾙﾄﾞが指定されていません"));
}

}  // namespace
}  // namespace quellor::ui::test
