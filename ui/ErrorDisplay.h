// The way an error that leaves a handler reaches the user: every handler of
// the window runs inside Guarded, so no exception ever crosses a Qt frame.
#pragma once

#include <QObject>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

namespace quellor::ui {

// The message as the error box shows it, by the same rule as the command
// line: a "." is added unless the text is
// empty or ends in a character at or below "." in code page 932 byte order.
std::string ErrorBoxText(std::string_view message);

// Shows the error box for the exception in flight (drops the silent kind).
void ShowCurrentError() noexcept;
// Shows the error box for a command that ended without an exception (an aborted run).
void ShowErrorText(std::string_view message) noexcept;

template <class F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowCurrentError();
    }
}

// Runs owner's handler, guarded, whenever sender emits signal. The
// connection ends with the owner, or with the sender where the owner is no
// QObject.
template <class Sender, class Signal, class Owner>
void ConnectGuarded(Sender* sender, Signal signal, Owner* owner, void (Owner::*handler)()) {
    QObject* context = sender;
    if constexpr (std::is_base_of_v<QObject, Owner>) context = owner;
    QObject::connect(sender, signal, context,
                     [owner, handler] { Guarded([&] { (owner->*handler)(); }); });
}

}  // namespace quellor::ui
