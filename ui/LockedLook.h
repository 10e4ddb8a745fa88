// The page control is disabled during a run, yet its pages keep their look.
#pragma once

#include <QList>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace quellor::ui {

// Qt draws every control inside a disabled one as disabled; the old window
// drew each as its own state says. While held, the controls that are
// enabled in their own right take their enabled colours in the disabled
// state too; controls disabled in their own right keep their grey.
class LockedLook {
  public:
    void Hold(QWidget* container);
    void Release();

  private:
    QList<QPointer<QWidget>> touched_;
};

}  // namespace quellor::ui
