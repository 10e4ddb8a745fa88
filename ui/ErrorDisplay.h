// The way an error that leaves a handler reaches the user: every handler of
// the window runs inside Guarded, so no exception ever crosses a Qt frame.
#pragma once

#include <QString>
#include <exception>
#include <string_view>

namespace quellor::ui {

// The program file's name without folder and from its first "." on; the
// first character as it is, the rest in lower case.
QString ApplicationTitle();

// The message as the error box shows it, by the same rule as the command
// line: a "." is added unless the text is
// empty or ends in a character at or below "." in code page 932 byte order.
std::string ErrorBoxText(std::string_view message);

// Shows the error box for the exception in flight (drops the silent kind).
void ShowCurrentError() noexcept;

template <class F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowCurrentError();
    }
}

}  // namespace quellor::ui
