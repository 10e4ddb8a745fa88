#include "ui/HintTiming.h"

#include <QApplication>

#include "ui/UiTexts.h"

namespace quellor::ui {

int HintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay) return kHintWakeUpMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ApplyHintTiming() {
    if (dynamic_cast<HintStyle*>(QApplication::style())) return;
    QApplication::setStyle(new HintStyle(QApplication::style()->name()));
}

}  // namespace quellor::ui
