#include "ui/QueuedObserver.h"

#include <QMetaObject>
#include <QObject>

namespace quellor::ui {

QueuedObserver::QueuedObserver(RunObserver& window, QObject* windowThreadObject)
    : window_(window), context_(windowThreadObject) {}

void QueuedObserver::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
}

void QueuedObserver::Wait(std::function<void()> call) {
    QMetaObject::invokeMethod(context_, std::move(call), Qt::BlockingQueuedConnection);
}

void QueuedObserver::SetFileCounter(const std::string& text) {
    Post([this, text] { window_.SetFileCounter(text); });
}

void QueuedObserver::SetRecordCounter(const std::string& text) {
    Post([this, text] { window_.SetRecordCounter(text); });
}

void QueuedObserver::SetLog(const std::string& text) {
    Post([this, text] { window_.SetLog(text); });
}

void QueuedObserver::AppendLog(const std::string& text) {
    Post([this, text] { window_.AppendLog(text); });
}

void QueuedObserver::SetFileProgress(int percent) {
    Post([this, percent] { window_.SetFileProgress(percent); });
}

void QueuedObserver::SetRecordProgress(int percent) {
    if (percent == recordPercent_) return;
    recordPercent_ = percent;
    Post([this, percent] { window_.SetRecordProgress(percent); });
}

void QueuedObserver::KeepAlive(int recordPercent) {
    SetRecordProgress(recordPercent);
}

void QueuedObserver::LockControls() {
    Post([this] { window_.LockControls(); });
}

void QueuedObserver::UnlockControls() {
    Post([this] { window_.UnlockControls(); });
}

void QueuedObserver::ShowWarning(const std::string& text) {
    Wait([this, &text] { window_.ShowWarning(text); });
}

void QueuedObserver::ShowInformation(const std::string& text) {
    Wait([this, &text] { window_.ShowInformation(text); });
}

void QueuedObserver::SelectPage(RunStage stage) {
    Post([this, stage] { window_.SelectPage(stage); });
}

}  // namespace quellor::ui
