// The three modal boxes through which the program talks to the user. Every
// box goes through Show, so a test can answer them through the hook.
#pragma once

#include <QString>
#include <functional>

namespace quellor::ui {

// The program file's name without folder and from its first "." on; the
// first character as it is, the rest in lower case: the error box's title.
QString ApplicationTitle();

enum class BoxKind { Warning, Information, Error };

class MessageBoxes {
  public:
    using Hook = std::function<void(BoxKind kind, const QString& title, const QString& text)>;

    // Replaces the dialog by the hook (nullptr restores the dialog).
    static void SetHook(Hook hook);
    // Once the application has been asked to end, boxes close at once.
    static void SetEnding(bool ending);
    static bool Ending();

    static void ShowWarning(const QString& text);
    static void ShowInformation(const QString& text);
    // The error box: the application title and the critical icon.
    static void ShowError(const QString& text);

    static void Show(BoxKind kind, const QString& title, const QString& text);
};

}  // namespace quellor::ui
