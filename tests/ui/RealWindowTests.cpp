// What a user meets in the real window: boxes sized as designed, the whole
// log in sight, list-high drop-down entries, and files that are no CSV.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "UiFixture.h"
#include "run/SampleLine.h"
#include "ui/LogLabel.h"
#include "ui/StringGrid.h"

namespace quellor::ui::test {
namespace {

template <class T = QWidget>
T* NamedIn(QWidget* root, const char* name) {
    T* w = root->findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Rows of the image that hold ink, gathered into bands with blank rows between.
std::vector<std::pair<int, int>> InkBands(const QImage& image) {
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) ink = qGray(image.pixel(x, y)) < 128;
        if (!ink) continue;
        if (!bands.empty() && bands.back().second == y - 1) {
            bands.back().second = y;
        } else {
            bands.emplace_back(y, y);
        }
    }
    return bands;
}

// The name of the control that the focus is in.
QString Stop(QWidget* w) {
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))) {
        w = w->parentWidget();
    }
    return w ? w->objectName() : QString();
}

// The stops Tab reaches from the focus, a radio group being one, up to and
// including the named one.
QStringList TabStops(const QString& last) {
    QStringList stops;
    for (int i = 0; i < 40 && (stops.isEmpty() || stops.back() != last); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString stop = Stop(QApplication::focusWidget());
        if (stops.isEmpty() || stops.back() != stop) stops << stop;
    }
    return stops;
}

// Each control stands in the chain where it stands on the window: the heading
// switch above the file list, the job buttons above the pages, "数値" on the
// sort key's line before the check box below it.
TEST_F(UiTest, TabAndShiftTabWalkTheWindowsTabOrder) {
    EXPECT_EQ(Stop(QApplication::focusWidget()), QStringLiteral("StringGrid1"));
    Drop(win.get(), {Write(U("a.csv"), "a,b\r\n")});  // the grid gets cells to tab through
    DoubleClickEntry(Named<QListWidget>("ListBox1"), 0);
    Named<QWidget>("StringGrid1")->setFocus();
    const QStringList order = {"BitBtn1",      "BitBtn2",     "BitBtn3",       "HeadingLineCheck",
                               "ListBox1",     "BitBtn4",     "SaveJobButton", "LoadJobButton",
                               "PageControl1", "RadioGroup3", "ListBox2",      "Button1",
                               "Button2",      "ListBox3",    "Button3",       "Button4",
                               "Button5",      "Button6",     "BitBtn5",       "StringGrid1"};
    EXPECT_EQ(TabStops("StringGrid1"), order);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(Stop(QApplication::focusWidget()), QStringLiteral("BitBtn5"));

    Choose(Named<RadioGroup>("RadioGroup4"), 0);  // the sort page, its controls usable
    ASSERT_EQ(Stop(QApplication::focusWidget()), QStringLiteral("RadioGroup4"));
    EXPECT_EQ(TabStops("BitBtn5"),
              (QStringList{"ComboBox5", "ComboBox6", "NumericKeyCheck", "CheckBox1", "BitBtn5"}));
}

TEST_F(UiTest, TheDropIsOverBeforeAnythingOpensABox) {
    bool inDrop = false, boxInDrop = false;
    onBox = [&](const Box&) { boxInDrop = inDrop; };
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Path(U("gone.csv")))});
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win.get(), &enter);
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    inDrop = true;
    QApplication::sendEvent(win.get(), &drop);
    inDrop = false;
    QApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(boxInDrop);
    EXPECT_EQ(boxes[0].text, U("ファイルが見つかりません."));
    EXPECT_EQ(Named<QListWidget>("ListBox1")->count(), 1);
}

TEST(MessageDialog, ShortTextsStandOnOneLineAndLongOnesWrapAtHalfTheScreen) {
    MessageBoxes::SetHook(nullptr);
    MessageBoxes::SetEnding(false);
    const QString path = U("/tmp/サンプル/顧客一覧_2026年11月分.csv");
    struct Case {
        QString text;
        int lines;  // 0: as many as half the screen width needs
    };
    const Case cases[] = {
        {U("ユーザーにより中断されました."), 1},
        {path + U("の\r\n1行目でｴﾗｰ\r\n5であるべきﾌｨｰﾙﾄﾞ数が4です."), 3},
        {QString(200, QChar(0x3042)) + U("。"), 0},
    };
    for (const Case& c : cases) {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            auto* label = NamedIn<QLabel>(box, "qt_msgbox_label");
            const int half = box->screen()->geometry().width() / 2;
            const QFontMetrics m(label->font());
            int widest = 0;
            for (const QString& l : label->text().split(QLatin1Char('\n'))) {
                widest = qMax(widest, m.horizontalAdvance(l));
            }
            const int lines = c.lines ? c.lines : (widest + half - 1) / half;
            EXPECT_GT(label->height(), (lines - 1) * m.lineSpacing()) << c.text.toStdString();
            EXPECT_LE(label->height(), lines * m.lineSpacing()) << c.text.left(20).toStdString();
            EXPECT_LE(label->width(), half);
            EXPECT_GE(label->width(), qMin(widest, half - m.horizontalAdvance(QChar(0x3042))));
            QTest::keyClick(box, Qt::Key_Return);
        });
        MessageBoxes::ShowError(c.text);
    }
}

TEST_F(UiTest, EverySixthLogLineStandsWholeInTheLogBox) {
    auto* log = Named<QLabel>("Label7");
    const QString block = QString(3, QChar(0x25A0));  // ■■■
    QStringList lines(6, block);
    log->setText(lines.join(QLatin1Char('\n')));  // as the run's log shows it
    const QImage shot = log->grab().toImage();
    const auto bands = InkBands(shot);
    ASSERT_EQ(bands.size(), 6u);
    const int height = bands[0].second - bands[0].first;
    for (const auto& band : bands) EXPECT_EQ(band.second - band.first, height);
    EXPECT_LT(bands.back().second, shot.height() - 1);
    EXPECT_EQ(log->geometry(),
              QRect(win->Scaled(304), win->Scaled(480), win->Scaled(169), win->Scaled(73)));
}

// A run's last log line, after a failure or the closing lines: the lines fit
// the box whole in the log's line height, the last one drawn above the box's
// edge; a deep folder gives way to "…" before the file's name does, and no
// line breaks inside a word.
TEST_F(UiTest, TheLogAfterARunDrawsItsLastLineWhole) {
    const struct {
        const char* folder;
        const char* content;
        const char* lastLine;
    } cases[] = {{"", "a,b,c\r\nd,e\r\n", "異常終了しました"},
                 {"", "a,b\r\n", "ﾐﾘ秒"},
                 {"東京本社/営業部/第二課/共有/ドキュメント/売上データ/2024年度/",
                  "a,b,c\r\nd,e\r\n", "異常終了しました"}};
    auto* log = Named<LogLabel>("Label7");
    const int lineHeight = win->Scaled(12);
    for (const auto& c : cases) {
        Click(Named<QPushButton>("BitBtn2"));
        QDir(dir.path()).mkpath(U(c.folder));
        Drop(win.get(), {Write(U(c.folder) + U("顧客_東日本.csv"), c.content)});
        ChooseFields({1});
        Click(Named<QPushButton>("BitBtn3"));
        const QStringList lines = log->ShownLines();
        const QRect box = log->contentsRect();
        EXPECT_LE(lines.size() * lineHeight, box.height()) << lines.size() << " lines";
        EXPECT_TRUE(lines.last().endsWith(U(c.lastLine))) << lines.join("|").toStdString();
        EXPECT_FALSE(lines.join("|").contains(U("処|理"))) << lines.join("|").toStdString();
        if (c.lastLine == std::string_view("異常終了しました")) {
            const QString shown = lines.join("");
            EXPECT_TRUE(shown.contains(U("/顧客_東日本.csvを処理中")));
            EXPECT_EQ(shown.contains(QChar(0x2026)), *c.folder != 0);
            // Whole folders give way, never part of a folder's name.
            const QStringList folders = Path(U(c.folder)).split(QLatin1Char('/'));
            for (const QString& piece : shown.left(shown.indexOf(U("/顧客_東"))).split('/')) {
                EXPECT_TRUE(piece.isEmpty() || piece == QChar(0x2026) || folders.contains(piece))
                    << piece.toStdString();
            }
        }
        const auto bands = InkBands(log->grab().toImage());
        ASSERT_FALSE(bands.empty());
        // The lowest ink is the last line, within its own line's height.
        EXPECT_GE(bands.back().first, box.top() + (lines.size() - 1) * lineHeight);
        EXPECT_LT(bands.back().second, box.top() + lines.size() * lineHeight);
    }
}

// A file name wider than the whole log cannot be shortened: the newest lines
// stand, the closing line among them, drawn above the box's edge.
TEST_F(UiTest, AFileNameWiderThanTheLogLeavesTheClosingLineInSight) {
    const QString name = QString(80, QChar(0x9577)) + U(".csv");  // 長, 240 bytes
    Drop(win.get(), {Write(name, "a,b,c\r\nd,e\r\n")});
    ChooseFields({1});
    Click(Named<QPushButton>("BitBtn3"));
    auto* log = Named<LogLabel>("Label7");
    const QStringList lines = log->ShownLines();
    ASSERT_FALSE(lines.join("").contains(name));
    EXPECT_EQ(lines.last(), U("異常終了しました"));
    const int lineHeight = win->Scaled(12);
    EXPECT_LE(lines.size() * lineHeight, log->contentsRect().height());
    const auto bands = InkBands(log->grab().toImage());
    ASSERT_FALSE(bands.empty());
    EXPECT_GE(bands.back().first, log->contentsRect().top() + (lines.size() - 1) * lineHeight);
}

// The height of the ink of an entry's text, as the view draws it and as the
// font draws it unclipped: equal when the whole line shows.
int InkHeight(const QImage& image) {
    const auto bands = InkBands(image);
    return bands.empty() ? 0 : bands.back().second - bands.front().first + 1;
}
int UnclippedInkHeight(const QString& text, const QFont& font) {
    QImage image(600, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QPointF(4, 50), text);
    return InkHeight(image);
}

TEST_F(UiTest, EntriesDrawTheWholeLineOfTheirFontUnderscoresIncluded) {
    Drop(win.get(), {Write(U("顧客_東日本.csv"), "a_b,gyp_q,日本_語,Qj\r\n")});
    auto* combo = Named<QComboBox>("ComboBox5");
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    QTest::mouseClick(combo, Qt::LeftButton);
    const struct {
        QAbstractItemView* view;
        int row;
    } cases[] = {{Named<QListWidget>("ListBox1"), 0},
                 {Named<QListWidget>("ListBox2"), 0},
                 {Named<QListWidget>("ListBox2"), 1},
                 {combo->view(), 2}};
    for (const auto& c : cases) {
        const QModelIndex entry = c.view->model()->index(c.row, 0);
        const QImage shot = c.view->viewport()->grab(c.view->visualRect(entry)).toImage();
        EXPECT_EQ(InkHeight(shot), UnclippedInkHeight(entry.data().toString(), c.view->font()))
            << entry.data().toString().toStdString();
    }
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    // The closed box shows the widest entry it can hold whole.
    combo->addItem(U("第4096ﾌｨｰﾙﾄﾞ"));
    combo->setCurrentIndex(combo->count() - 1);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect text = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
    EXPECT_GE(text.width() - 2, combo->fontMetrics().horizontalAdvance(combo->currentText()));
}

TEST_F(UiTest, AFocusedEmptyListShowsWhereTheFocusIs) {
    auto* chosen = Named<QListWidget>("ListBox3");
    const QImage before = chosen->grab().toImage();
    Named<QWidget>("Button2")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), chosen);
    EXPECT_NE(chosen->grab().toImage(), before);
}

TEST_F(UiTest, DropDownEntriesAreAsHighAsListEntries) {
    auto* combo = Named<QComboBox>("ComboBox6");
    Choose(Named<RadioGroup>("RadioGroup4"), 0);
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->visualRect(list->model()->index(1, 0)).height(),
              qMax(win->Scaled(12), list->fontMetrics().height()));
    QTest::keyClick(list, Qt::Key_Escape);
}

std::string FieldsLine(std::size_t count) {
    std::string line = "f1";
    for (std::size_t k = 2; k <= count; ++k) line += ",f" + std::to_string(k);
    return line + "\r\n";
}

TEST_F(UiTest, FilesThatAreNoCsvShowWhatFitsAndSaySo) {
    const std::size_t limit = kShownFieldLimit;
    const QString wide = Write(U("wide.csv"), FieldsLine(limit + 1) + "a\r\n");
    Drop(win.get(), {wide});
    EXPECT_EQ(Named<QListWidget>("ListBox2")->count(), int(limit));
    EXPECT_EQ(Named<QComboBox>("ComboBox5")->count(), int(limit) + 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Information);  // a notice: nothing stopped
    EXPECT_EQ(boxes[0].text,
              wide + U("の\r\n1行目のﾌｨｰﾙﾄﾞ数が多すぎます\r\n先頭4096ﾌｨｰﾙﾄﾞまでを扱います"));

    // A line past both limits shows what fits of it, and the lines after it.
    std::string fields;
    while (fields.size() <= kShownLineBytes) fields += "x,";
    const QString longLine = Write(U("long.csv"), "a,b\r\n" + fields + "\r\nc,d\r\n");
    Drop(win.get(), {longLine});
    auto* files = Named<QListWidget>("ListBox1");
    files->clearSelection();
    DoubleClickEntry(files, 1);
    EXPECT_EQ(Named<StringGrid>("StringGrid1")->Rows(), 4);
    EXPECT_EQ(Cell(3, 2), U("d"));
    EXPECT_TRUE(
        boxes.back().text.endsWith(U("2行目が長すぎます\r\n先頭4MB・4096ﾌｨｰﾙﾄﾞまでを扱います")))
        << boxes.back().text.toStdString();
}

}  // namespace
}  // namespace quellor::ui::test
