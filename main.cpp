// Start-up: the application and its one window, with the files named on the
// command line listed as if dropped on it.
#include <QApplication>
#include <QByteArray>
#include <csignal>
#include <vector>

#include "run/StandardStreams.h"
#include "ui/HintTiming.h"
#include "ui/MainWindow.h"
#include "ui/QtTranslations.h"

namespace {

// The arguments left once Qt has taken its own, as bytes: a name that is not
// UTF-8 stays the file it names.
std::vector<QByteArray> FileArguments(int argc, char** argv) {
    std::vector<QByteArray> paths;
    for (int i = 1; i < argc; ++i) paths.emplace_back(argv[i]);
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    if (!quellor::OpenClosedStandardStreams()) return 2;
    // A write past the file-size limit must fail with an error the user sees,
    // not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quellor"));
    quellor::ui::ApplyHintTiming();
    quellor::ui::InstallQtTranslations();
    quellor::ui::MainWindow frmMain;
    frmMain.EndOnInterrupts();
    frmMain.show();
    // A second start opens a second window: each run stays with the window
    // it was started in.
    frmMain.OpenFiles(FileArguments(argc, argv));
    return app.exec();
}
