// Times one run through the window's observer against the same run with an
// observer that does nothing: ui_run_timing FILE [RECORDS]. The file is
// generated when missing.
#include <QApplication>
#include <QFile>
#include <cstdio>
#include <ctime>

#include "run/ProcessingRun.h"
#include "ui/MessageBoxes.h"
#include "ui/main.h"

namespace {

class QuietObserver : public quellor::RunObserver {
  public:
    void SetFileCounter(const std::string&) override {}
    void SetRecordCounter(const std::string&) override {}
    void SetLog(const std::string&) override {}
    void AppendLog(const std::string&) override {}
    void SetFileProgress(int) override {}
    void SetRecordProgress(int p) override { bar_ = p < 0 ? 0 : p > 100 ? 100 : p; }
    int GetRecordProgress() override { return bar_; }
    void ProcessPendingEvents() override {}
    void LockControls() override {}
    void UnlockControls() override {}
    void ShowWarning(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    void SelectPage(int) override {}

  private:
    int bar_ = 0;
};

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

// Processor time, so that other work on the machine does not count.
qint64 TimeRun(const quellor::RunSettings& s, quellor::RunObserver& observer) {
    std::clock_t start = std::clock();
    quellor::ExecuteRun(s, observer);
    return static_cast<qint64>((std::clock() - start) * 1000 / CLOCKS_PER_SEC);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QString path = QString::fromLocal8Bit(argv[1]);
    if (!QFile::exists(path)) Generate(path, argc > 2 ? std::atoi(argv[2]) : 1000000);
    quellor::RunSettings s;
    s.Files = {QFile::encodeName(path).toStdString()};
    s.FieldExtractionOn = s.RecordExtractionOn = true;
    s.ChosenFields = {2, 1, 5};
    s.ExpectedFieldCount = 8;
    s.Condition1 = {2, "name", 1};
    quellor::ui::MessageBoxes::SetHook([](auto, auto&, auto&) {});
    quellor::ui::TfrmMain win;
    win.show();
    QApplication::processEvents();
    QuietObserver quiet;
    for (int round = 0; round < 4; ++round) {
        // Alternate which goes first, so that neither gains from the other.
        qint64 headless = 0, window = 0;
        if (round % 2 == 0) {
            headless = TimeRun(s, quiet);
            window = TimeRun(s, win);
        } else {
            window = TimeRun(s, win);
            headless = TimeRun(s, quiet);
        }
        std::printf("headless %lld ms, window %lld ms, ratio %.2f\n",
                    static_cast<long long>(headless), static_cast<long long>(window),
                    headless ? double(window) / double(headless) : 0.0);
    }
    return 0;
}
