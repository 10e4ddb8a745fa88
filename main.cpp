// Start-up: the application and its one window.
#include <QApplication>
#include <csignal>

#include "run/StandardStreams.h"
#include "ui/HintTiming.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    if (!quellor::OpenClosedStandardStreams()) return 2;
    // A write past the file-size limit must fail with an error the user sees,
    // not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quellor"));
    quellor::ui::ApplyHintTiming();
    quellor::ui::MainWindow frmMain;
    frmMain.show();
    return app.exec();
}
