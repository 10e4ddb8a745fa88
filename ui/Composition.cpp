#include "ui/Composition.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "ui/Cp932Text.h"

namespace quellor::ui {

CompositionGuard::CompositionGuard(QLineEdit* box) : QObject(box), box_(box) {}

void CompositionGuard::Install(QLineEdit* box) {
    box->installEventFilter(new CompositionGuard(box));
}

bool CompositionGuard::eventFilter(QObject*, QEvent* e) {
    switch (e->type()) {
        case QEvent::InputMethod:
            Composed(static_cast<QInputMethodEvent*>(e));
            return false;
        case QEvent::FocusOut:
            // The box commits or drops the composition as it loses the focus.
            composing_ = false;
            return false;
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(e);
            bool windowKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                             key->key() == Qt::Key_Escape;
            if (!composing_ || !windowKey) return false;
            // A key that reaches the box while a composition shows was meant for
            // the composition; it must not start a run or close the window.
            e->accept();
            return true;
        }
        default:
            return false;
    }
}

void CompositionGuard::Composed(QInputMethodEvent* e) {
    // Committed text is kept exactly as typed: it is encoded for each file
    // only when a run starts, and a UTF-8 file may hold what code page 932
    // maps away.
    bool committed = !e->commitString().isEmpty();
    bool wasComposing = composing_;
    composing_ = !e->preeditString().isEmpty();
    if (committed || composing_) {
        dropped_ = false;
    } else if (wasComposing) {
        dropped_ = true;
        QTimer::singleShot(0, this, &CompositionGuard::ForgetDropped);
    }
}

// The input method took its composition away without committing it (Esc).
// The IBus bridge keeps the dropped text and commits it into the box when
// the focus next moves; a reset makes it forget. The reset comes after the
// events already queued, and only if nothing was committed or composed in
// between: a composition that ends with a commit first empties, then commits.
void CompositionGuard::ForgetDropped() {
    if (!dropped_ || composing_ || !box_->hasFocus()) return;
    dropped_ = false;
    QGuiApplication::inputMethod()->reset();
}

}  // namespace quellor::ui
