// Edit boxes typed into through an input method (Mozc behind IBus or
// Fcitx 5). The text being composed belongs to the input method until it is
// committed: Enter and Esc pressed while a composition shows act on it, not on the
// window, and a composition the user dropped stays dropped.
#pragma once

#include <QObject>

class QInputMethodEvent;
class QLineEdit;

namespace quellor::ui {

class CompositionGuard : public QObject {
  public:
    // Watches the box for as long as it lives.
    static void Install(QLineEdit* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    explicit CompositionGuard(QLineEdit* box);
    void Composed(QInputMethodEvent* e);
    void ForgetDropped();

    QLineEdit* box_;
    bool composing_ = false;
    bool dropped_ = false;
};

}  // namespace quellor::ui
