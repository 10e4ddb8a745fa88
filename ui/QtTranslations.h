// Qt's own texts in the user's language: the buttons and labels of the file
// dialogs, the edit boxes' menus. The window's own texts are Japanese always.
#pragma once

namespace quellor::ui {

// Installs the translation Qt ships for the system's locale (on Debian in
// qt6-translations-l10n), once the application exists. Where there is none,
// Qt's texts stay English.
void InstallQtTranslations();

}  // namespace quellor::ui
