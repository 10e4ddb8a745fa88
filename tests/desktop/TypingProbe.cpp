// The program's window for a test that types into it through a real input
// method, with Edit1 shown and enabled. Reports on standard output, one line
// each, what the test cannot see from outside: "ready" once the window is
// shown, "preedit TEXT" whenever the composition shown in Edit1 changes,
// "text TEXT" whenever Edit1's text changes, "box TEXT" for every message
// box (answered at once) and "closed" when the window has closed. Reads
// commands on standard input: "where NAME" answers "at X Y W H" (the control
// of that name on the screen), "focus" answers "focus NAME" (the control
// that has the keyboard focus), "shot PATH" saves the window as the screen
// shows it, frame and any window over it included, and answers "saved PATH".
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QTabWidget>
#include <cstdio>

#include "ui/HintTiming.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"

namespace {

void Report(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Sees the input method's events before the box does.
class PreeditWatch : public QObject {
  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::InputMethod) {
            QString preedit = static_cast<QInputMethodEvent*>(e)->preeditString();
            if (preedit != shown_) Report(QStringLiteral("preedit ") + preedit);
            shown_ = preedit;
        }
        return false;
    }

  private:
    QString shown_;
};

void Obey(const QString& line, QWidget* win) {
    QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.size() == 2 && words[0] == QLatin1String("where")) {
        auto* control = win->findChild<QWidget*>(words[1]);
        QPoint at = control ? control->mapToGlobal(QPoint(0, 0)) : QPoint();
        Report(QStringLiteral("at %1 %2 %3 %4")
                   .arg(at.x())
                   .arg(at.y())
                   .arg(control ? control->width() : 0)
                   .arg(control ? control->height() : 0));
    } else if (words.value(0) == QLatin1String("focus")) {
        QWidget* focus = QApplication::focusWidget();
        Report(QStringLiteral("focus ") + (focus ? focus->objectName() : QString()));
    } else if (words.size() == 2 && words[0] == QLatin1String("shot")) {
        QRect frame = win->frameGeometry();
        QPixmap shot =
            win->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        Report((shot.save(words[1]) ? QStringLiteral("saved ") : QStringLiteral("unsaved ")) +
               words[1]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setCursorFlashTime(0);
    quellor::ui::ApplyHintTiming();
    quellor::ui::MessageBoxes::SetHook(
        [](quellor::ui::BoxKind, const QString&, const QString& text) {
            Report(QStringLiteral("box ") + text);
        });

    QPointer<QWidget> win = new quellor::ui::MainWindow;
    win->setAttribute(Qt::WA_DeleteOnClose);
    // The search boxes are on the record extraction page, and take text
    // only while record extraction is on.
    auto* pages = win->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    auto* group = win->findChild<QWidget*>(QStringLiteral("RadioGroup2"));
    auto* recordsOn = group ? group->findChildren<QAbstractButton*>().value(0) : nullptr;
    auto* edit = win->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    if (!pages || !recordsOn || !edit) {
        Report(QStringLiteral("no PageControl1, RadioGroup2 or Edit1"));
        return 2;
    }
    win->show();
    pages->setCurrentIndex(1);
    recordsOn->click();
    PreeditWatch watch;
    edit->installEventFilter(&watch);
    QObject::connect(edit, &QLineEdit::textChanged,
                     [](const QString& text) { Report(QStringLiteral("text ") + text); });
    edit->setFocus();
    Report(QStringLiteral("ready"));

    QFile input;
    input.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered);
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, [&] {
        QByteArray line = input.readLine();
        if (line.isEmpty()) {
            commands.setEnabled(false);  // the test has gone
        } else if (win) {
            Obey(QString::fromUtf8(line).trimmed(), win);
        }
    });
    int status = app.exec();
    Report(QStringLiteral("closed"));
    return status;
}
