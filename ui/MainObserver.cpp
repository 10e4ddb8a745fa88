// The window as the run's observer, and the locking of controls for a run.
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "ui/MessageBoxes.h"
#include "ui/main.h"

namespace quellor::ui {

namespace {

// Events wait at most this long while a run works through its records.
constexpr qint64 kEventIntervalMs = 8;
constexpr int kCallsPerClockRead = 64;

QString Shown(const std::string& text) {
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void TfrmMain::SetFileCounter(const std::string& text) {
    SetLabelText(Label5, Shown(text));
    Label5->repaint();
}

void TfrmMain::SetRecordCounter(const std::string& text) {
    SetLabelText(Label6, Shown(text));
    Label6->repaint();
}

void TfrmMain::SetLog(const std::string& text) {
    log_ = Shown(text);
    Label7->setText(log_);
    Label7->repaint();
}

void TfrmMain::AppendLog(const std::string& text) {
    log_ += Shown(text);
    Label7->setText(log_);
    Label7->repaint();
}

void TfrmMain::SetFileProgress(int percent) {
    if (ProgressBar1->value() != percent) ProgressBar1->setValue(percent);
}

void TfrmMain::SetRecordProgress(int percent) {
    // Called for every record: the bar is touched only when it moves.
    if (ProgressBar2->value() != percent) ProgressBar2->setValue(percent);
}

int TfrmMain::GetRecordProgress() {
    return ProgressBar2->value();
}

void TfrmMain::ProcessPendingEvents() {
    // Asking the event loop after each of a million records would cost more
    // than the records themselves, and so would reading the clock each time;
    // a few milliseconds of delay is not seen.
    if (eventsProcessedSinceLock_ && ++callsSinceEvents_ < kCallsPerClockRead) return;
    callsSinceEvents_ = 0;
    if (eventsProcessedSinceLock_ && eventClock_.isValid() &&
        eventClock_.elapsed() < kEventIntervalMs) {
        return;
    }
    eventsProcessedSinceLock_ = true;
    QCoreApplication::processEvents();
    eventClock_.start();
}

void TfrmMain::LockControls() {
    for (QWidget* w : findChildren<QPushButton*>()) w->setEnabled(false);
    for (QWidget* w : findChildren<QLineEdit*>()) w->setEnabled(false);
    for (QWidget* w : findChildren<QTabWidget*>()) w->setEnabled(false);
    lockedLook_.Hold(PageControl1);
    BitBtn6->show();
    BitBtn6->raise();
    BitBtn6->setEnabled(true);
    eventsProcessedSinceLock_ = false;
}

void TfrmMain::UnlockControls() {
    for (QWidget* w : findChildren<QPushButton*>()) w->setEnabled(true);
    for (QWidget* w : findChildren<QLineEdit*>()) w->setEnabled(true);
    for (QWidget* w : findChildren<QTabWidget*>()) w->setEnabled(true);
    lockedLook_.Release();
    BitBtn6->hide();
}

void TfrmMain::ShowWarning(const std::string& text) {
    MessageBoxes::ShowWarning(QString::fromUtf8(text));
}

void TfrmMain::ShowInformation(const std::string& text) {
    MessageBoxes::ShowInformation(QString::fromUtf8(text));
}

void TfrmMain::SelectPage(int page) {
    PageControl1->setCurrentIndex(page);
}

}  // namespace quellor::ui
