// How soon a hint shows: the old window's delay, for the whole application.
#pragma once

#include <QProxyStyle>

namespace quellor::ui {

// The hint delay before a tooltip shows.
class HintStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Installs the hint timing for the whole application (once).
void ApplyHintTiming();

}  // namespace quellor::ui
