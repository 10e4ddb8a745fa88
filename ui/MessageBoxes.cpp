#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/ErrorDisplay.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

MessageBoxes::Hook& TheHook() {
    static MessageBoxes::Hook hook;
    return hook;
}
bool ending = false;

QStyle::StandardPixmap IconOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::Warning:
            return QStyle::SP_MessageBoxWarning;
        case BoxKind::Information:
            return QStyle::SP_MessageBoxInformation;
        case BoxKind::Error:
            break;
    }
    return QStyle::SP_MessageBoxCritical;
}

QScreen* ActiveScreen() {
    if (QWidget* w = QApplication::activeWindow()) return w->screen();
    return QGuiApplication::primaryScreen();
}

// One box: icon and text side by side, one OK button below, centred.
void RunDialog(BoxKind kind, const QString& title, const QString& text) {
    QDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    box.setModal(true);
    QScreen* screen = ActiveScreen();

    auto* icon = new QLabel(&box);
    int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(box.style()->standardIcon(IconOf(kind), nullptr, &box).pixmap(side, side));
    auto* label = new QLabel(&box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (screen) label->setMaximumWidth(screen->geometry().width() / 2);
    auto* ok = new QPushButton(QString::fromUtf8(kOk), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(label, 1);
    auto* all = new QVBoxLayout(&box);
    all->setSizeConstraint(QLayout::SetFixedSize);
    all->addLayout(top);
    all->addWidget(ok, 0, Qt::AlignHCenter);
    box.adjustSize();
    if (screen) box.move(screen->geometry().center() - box.rect().center());
    // Esc rejects a QDialog of itself; Enter presses the default button.
    box.exec();
}

}  // namespace

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
