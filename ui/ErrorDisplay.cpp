#include "ui/ErrorDisplay.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include "records/Exceptions.h"
#include "run/ErrorText.h"
#include "ui/MessageBoxes.h"

namespace quellor::ui {

QString ApplicationTitle() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    int dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

std::string ErrorBoxText(std::string_view message) {
    return ErrorShownText(message);
}

void ShowCurrentError() noexcept {
    try {
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        std::string message;
        try {
            throw;
        } catch (const EAbort&) {
            return;
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
            message = "Unknown error";
        }
        MessageBoxes::ShowError(QString::fromUtf8(ErrorBoxText(message)));
    } catch (...) {
        // Showing the box itself failed: nothing more can be done for the user.
    }
}

}  // namespace quellor::ui
