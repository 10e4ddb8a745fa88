// Times one run as the window makes it (on its own thread, its calls sent to
// the window's controls) against the same run with an observer that does
// nothing: ui_run_timing FILE [RECORDS | all]. The file
// is generated when missing; "all" runs the benchmark's three-operation job
// on a file of the benchmark generator.
#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "run/NullObserver.h"
#include "run/ProcessingRun.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/RunSession.h"

namespace {

void Generate(const QString& path, int records) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return;
    QByteArray line;
    for (int r = 0; r < records; ++r) {
        line = QByteArray::number(r % 977) + ",name" + QByteArray::number(r) +
               ",\x93\x8c\x8b\x9e,123-4567," + QByteArray::number(r * 7 % 1000) + ",x,y,z\r\n";
        f.write(line);
    }
}

// Wall-clock time: the sort uses both cores, so processor time would
// count its work twice.
template <class Run>
qint64 Time(Run run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// The benchmark's three-operation job on a generated ten-field file: sort on
// field 3 with duplicates aside, field 8 containing the two kanji of
// "urgent", fields 3 and 1.
void UseBenchmarkJob(quellor::RunSettings& s) {
    s.SortOn = s.DuplicatesToFile = true;
    s.SortKeyField = 3;
    s.ChosenFields = {3, 1};
    s.ExpectedFieldCount = 10;
    s.Condition1 = {8, "\x8e\x8a\x8b\x7d", quellor::MatchMode::Contains};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QString path = QString::fromLocal8Bit(argv[1]);
    if (!QFile::exists(path)) Generate(path, argc > 2 ? std::atoi(argv[2]) : 1000000);
    // ExecuteRun writes beside the input; this tool only times it.
    quellor::RunSettings s;
    s.Files = {QFile::encodeName(path).toStdString()};
    s.FieldExtractionOn = s.RecordExtractionOn = true;
    s.ChosenFields = {2, 1, 5};
    s.ExpectedFieldCount = 8;
    s.Condition1 = {2, "name", quellor::MatchMode::Contains};
    if (argc > 2 && std::string(argv[2]) == "all") UseBenchmarkJob(s);
    quellor::ui::MessageBoxes::SetHook([](auto, auto&, auto&) {});
    quellor::ui::MainWindow win;
    win.show();
    QApplication::processEvents();
    // The window's own observer class, making its controls as in the window
    // on a window of the same size and font.
    QWidget host;
    host.setObjectName(QStringLiteral("frmMain"));
    host.setFont(win.font());
    host.resize(win.size());
    auto* pages = new QTabWidget(&host);
    quellor::ui::RunSession session(&host, pages, quellor::ui::Scale{win.Scaled(1000) / 1000.0});
    host.show();
    QApplication::processEvents();
    quellor::NullObserver quiet;
    quellor::AbortSwitch abort;
    auto headlessRun = [&] { quellor::ExecuteRun(s, quiet, abort); };
    auto windowRun = [&] { session.Run(s); };
    const int rounds = argc > 3 ? std::max(2, std::atoi(argv[3])) : 4;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which goes first, so that neither gains from the other.
        qint64 headless = 0, window = 0;
        if (round % 2 == 0) {
            headless = Time(headlessRun);
            window = Time(windowRun);
        } else {
            window = Time(windowRun);
            headless = Time(headlessRun);
        }
        const double ratio = headless ? double(window) / double(headless) : 0.0;
        ratios.push_back(ratio);
        std::printf("headless %lld ms, window %lld ms, ratio %.2f\n", headless, window, ratio);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio %.3f\n", ratios[ratios.size() / 2]);
    return 0;
}
