// SIGINT and SIGTERM for the window: a run in progress stops as "中止" stops
// it (the handler sets the switch itself, whatever the window is doing), and
// the window is then asked to close.
#pragma once

#include <QObject>
#include <functional>

#include "run/AbortSwitch.h"

class QSocketNotifier;

namespace quellor::ui {

class InterruptWatch : public QObject {
  public:
    // One per process: the handlers are the process's. onInterrupt runs on
    // this object's thread.
    InterruptWatch(AbortSwitch& abort, std::function<void()> onInterrupt,
                   QObject* parent = nullptr);
    ~InterruptWatch() override;
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    void Drain();

    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quellor::ui
