// The form was laid out at 96 dpi; every pixel of it is scaled to the screen.
#pragma once

#include <QtGlobal>

namespace quellor::ui {

// Layout pixels at 96 dpi to pixels on this screen.
struct Scale {
    double factor = 1.0;
    int operator()(int designPixels) const { return qRound(designPixels * factor); }
};

}  // namespace quellor::ui
