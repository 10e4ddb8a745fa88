#include "ui/InterruptWatch.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace quellor::ui {

namespace {

// What the handler may touch: the switch (lock-free) and a socket written
// with one byte, which wakes the window's thread.
AbortSwitch* theSwitch = nullptr;
int wakeFds[2] = {-1, -1};

extern "C" void OnInterrupt(int) {
    if (theSwitch) theSwitch->Request();
    const int saved = errno;
    const char byte = 1;
    // A full socket already holds a wake-up: nothing is lost.
    [[maybe_unused]] ssize_t n = ::write(wakeFds[1], &byte, 1);
    errno = saved;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

InterruptWatch::InterruptWatch(AbortSwitch& abort, std::function<void()> onInterrupt,
                               QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeFds) != 0) {
        return;  // the signals keep their default: the program ends at once
    }
    theSwitch = &abort;
    notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InterruptWatch::Drain);
    Handle(SIGINT, OnInterrupt);
    Handle(SIGTERM, OnInterrupt);
}

InterruptWatch::~InterruptWatch() {
    if (!notifier_) return;
    Handle(SIGINT, SIG_DFL);
    Handle(SIGTERM, SIG_DFL);
    theSwitch = nullptr;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

void InterruptWatch::Drain() {
    char bytes[64];
    while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (onInterrupt_) onInterrupt_();
}

}  // namespace quellor::ui
