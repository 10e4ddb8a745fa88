#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "ui/UiTexts.h"
#include "ui/WindowFrame.h"

namespace quellor::ui {

namespace {

MessageBoxes::Hook& TheHook() {
    static MessageBoxes::Hook hook;
    return hook;
}
bool ending = false;

QMessageBox::Icon IconOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::Warning:
            return QMessageBox::Warning;
        case BoxKind::Information:
            return QMessageBox::Information;
        case BoxKind::Error:
            break;
    }
    return QMessageBox::Critical;
}

// The program's window, which every box belongs to: the window manager
// then treats the box as its dialog (no minimise of its own, above it, on
// its desktop). The active window is no guide: right after a drop from
// another program it may be a hidden helper window of Qt's.
QWidget* MainWindowOfProgram() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() == Qt::Window) return w;
    }
    return QApplication::activeWindow();
}

QScreen* ScreenOf(QWidget* window) {
    return window ? window->screen() : QGuiApplication::primaryScreen();
}

// The platform's box, with its text set the old way: a text that fits in
// half the screen width stands on one line, a longer one wraps at that width
// where Japanese line breaking allows. Left to itself the box wraps at a
// width of its own choosing, far narrower.
class Box : public QMessageBox {
  public:
    Box(BoxKind kind, const QString& title, const QString& text, QWidget* owner)
        : QMessageBox(IconOf(kind), title, text, QMessageBox::NoButton, owner,
                      Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
          screen_(ScreenOf(owner)) {
        setTextFormat(Qt::PlainText);
        QPushButton* ok = addButton(QString::fromUtf8(kOk), QMessageBox::AcceptRole);
        setDefaultButton(ok);
        setEscapeButton(ok);
        if (auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            label->ensurePolished();
            const QFontMetrics metrics(label->font());
            int widest = 0;
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                widest = qMax(widest, metrics.horizontalAdvance(line));
            }
            const int half = screen_ ? screen_->geometry().width() / 2 : widest;
            // A line may still break before its last pixel: one more keeps it whole.
            label->setMinimumWidth(qMin(widest + 1, half));
            label->setMaximumWidth(half);
        }
    }

  protected:
    // Placed once: a box restored after its window was minimised comes back
    // where it was, not where a second placing (now inside the frame) puts it.
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);  // sizes the box to its contents
        if (placed_) return;
        placed_ = true;
        FixFrame(this, FrameButtons::CloseOnly);
        // The client area is placed, not the frame: Qt would otherwise place
        // the frame again, margins known by then, each time the box is mapped.
        if (screen_) setGeometry(QRect(screen_->geometry().center() - rect().center(), size()));
    }

  private:
    QScreen* screen_;
    bool placed_ = false;
};

void RunDialog(BoxKind kind, const QString& title, const QString& text) {
    Box box(kind, title, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
            MainWindowOfProgram());
    // Esc and Enter both press OK, the only button.
    box.exec();
}

}  // namespace

QString ApplicationTitle() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

void MessageBoxes::SetHook(Hook hook) {
    TheHook() = std::move(hook);
}
void MessageBoxes::SetEnding(bool value) {
    ending = value;
}
bool MessageBoxes::Ending() {
    return ending;
}

void MessageBoxes::ShowWarning(const QString& text) {
    Show(BoxKind::Warning, QString::fromUtf8(kWarningTitle), text);
}

void MessageBoxes::ShowInformation(const QString& text) {
    Show(BoxKind::Information, QString::fromUtf8(kInformationTitle), text);
}

void MessageBoxes::ShowError(const QString& text) {
    Show(BoxKind::Error, ApplicationTitle(), text);
}

void MessageBoxes::Show(BoxKind kind, const QString& title, const QString& text) {
    if (ending) return;  // the program is closing: the box closes at once
    if (TheHook()) {
        TheHook()(kind, title, text);
        return;
    }
    RunDialog(kind, title, text);
}

}  // namespace quellor::ui
