#include "ui/LockedLook.h"

namespace quellor::ui {

namespace {

// Every role of every group set, so that nothing is inherited.
QPalette Explicit(const QPalette& from, bool enabledColoursWhenDisabled) {
    QPalette out;
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = static_cast<QPalette::ColorGroup>(g);
        const auto source =
            enabledColoursWhenDisabled && group == QPalette::Disabled ? QPalette::Active : group;
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            out.setBrush(group, role, from.brush(source, role));
        }
    }
    return out;
}

}  // namespace

void LockedLook::Hold(QWidget* container) {
    Release();
    const QPalette original = container->palette();
    container->setPalette(Explicit(original, true));
    touched_ << container;
    const QPalette grey = Explicit(original, false);
    for (QWidget* w : container->findChildren<QWidget*>()) {
        if (!w->testAttribute(Qt::WA_ForceDisabled)) continue;
        w->setPalette(grey);
        touched_ << w;
    }
}

void LockedLook::Release() {
    for (const QPointer<QWidget>& w : touched_) {
        if (w) w->setPalette(QPalette());
    }
    touched_.clear();
}

}  // namespace quellor::ui
