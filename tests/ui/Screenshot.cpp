// Draws the window, each page in turn, into PNG files: quellor_page<N>.png
// in the folder given as the first argument (the current folder otherwise).
// A second argument names a file to drop on the window first.
#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

#include "ui/Widgets.h"
#include "ui/main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    quellor::ui::ApplyHintTiming();
    quellor::ui::TfrmMain win;
    win.show();
    if (argc > 2) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2]))});
        win.HandleFileDrop(&mime);
        win.ListBox1->item(0)->setSelected(true);
        win.ListBox1DblClick();
        win.ListBox2->item(0)->setSelected(true);
        win.Button1Click();
    }
    for (int page = 0; page < win.PageControl1->count(); ++page) {
        win.PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        win.grab().save(QDir(folder).filePath(QStringLiteral("quellor_page%1.png").arg(page)));
    }
    return 0;
}
