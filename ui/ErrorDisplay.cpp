#include "ui/ErrorDisplay.h"

#include <QWidget>

#include "records/Exceptions.h"
#include "run/ErrorText.h"
#include "ui/MessageBoxes.h"

namespace quellor::ui {

std::string ErrorBoxText(std::string_view message) {
    return ErrorShownText(message);
}

void ShowCurrentError() noexcept {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ShowErrorText(e.what());
    } catch (...) {
        ShowErrorText("Unknown error");
    }
}

void ShowErrorText(std::string_view message) noexcept {
    try {
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        MessageBoxes::ShowError(QString::fromUtf8(ErrorBoxText(message)));
    } catch (...) {
        // Showing the box itself failed: nothing more can be done for the user.
    }
}

}  // namespace quellor::ui
