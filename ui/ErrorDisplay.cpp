#include "ui/ErrorDisplay.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include "records/Exceptions.h"
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
    std::string text(message);
    if (text.empty()) return text;
    // Any character outside ASCII is at least 0x81 in code page 932, and so
    // is its first byte here: only a last ASCII byte can stand at or below ".".
    auto last = static_cast<unsigned char>(text.back());
    if (last >= 0x80 || last > '.') text += '.';
    return text;
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
