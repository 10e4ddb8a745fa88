#include "UiFixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "ui/ListBox.h"
#include "ui/RadioGroup.h"
#include "ui/StringGrid.h"

namespace quellor::ui::test {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

void UiTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    MessageBoxes::SetEnding(false);
    MessageBoxes::SetHook([this](BoxKind kind, const QString& title, const QString& text) {
        Box box{kind, title, text};
        if (onBox) onBox(box);
        boxes.push_back(box);
    });
    win = std::make_unique<MainWindow>();
    win->SetJobDialog([this](QWidget*, bool saving) { return jobAnswer(saving); });
    win->show();
    QApplication::setActiveWindow(win.get());
    QApplication::processEvents();
}

void UiTest::TearDown() {
    win.reset();
    MessageBoxes::SetHook(nullptr);
    MessageBoxes::SetEnding(false);
}

QString UiTest::Path(const QString& name) const {
    return dir.filePath(name);
}

QString UiTest::Write(const QString& name, const std::string& bytes) {
    QString path = Path(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string UiTest::Read(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

bool UiTest::Exists(const QString& path) const {
    return QFile::exists(path);
}

void UiTest::Drop(QWidget* target, const QStringList& paths) {
    EXPECT_EQ(Offer(target, paths), QList<bool>({true, true, true}));
    QApplication::processEvents();  // the files are added once the drop is over
}

QList<bool> UiTest::Offer(QWidget* target, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(QPoint(6, 6), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(6, 6), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), move.isAccepted(), drop.isAccepted()};
}

QString UiTest::Cell(int row, int column) const {
    return Named<StringGrid>("StringGrid1")->Cell(row, column);
}

void UiTest::ClickEntry(QListWidget* list, int row, Qt::KeyboardModifiers mods) {
    QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, r.center());
}

void UiTest::DoubleClickEntry(QListWidget* list, int row) {
    QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

void UiTest::Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void UiTest::Choose(RadioGroup* group, int item) {
    for (QWidget* w = group; w; w = w->parentWidget()) {
        if (w->parentWidget() &&
            w->parentWidget()->parentWidget() == Named<QTabWidget>("PageControl1")) {
            Named<QTabWidget>("PageControl1")->setCurrentWidget(w);
        }
    }
    QApplication::processEvents();
    Click(group->Button(item));
    ASSERT_EQ(group->ItemIndex(), item);
}

void UiTest::ChooseFields(const std::vector<int>& numbers) {
    for (int n : numbers) {
        QString head = QString::fromUtf8("[第%1ﾌｨｰﾙﾄﾞ]").arg(n, 2, 10, QLatin1Char('0'));
        int row = -1;
        for (int i = 0; i < Named<ListBox>("ListBox2")->count(); ++i) {
            if (Named<ListBox>("ListBox2")->item(i)->text().startsWith(head)) row = i;
        }
        ASSERT_GE(row, 0) << n;
        ClickEntry(Named<ListBox>("ListBox2"), row);
        Click(Named<QPushButton>("Button1"));
    }
}

}  // namespace quellor::ui::test
