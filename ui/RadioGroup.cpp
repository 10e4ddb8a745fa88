#include "ui/RadioGroup.h"

#include <QRadioButton>

namespace quellor::ui {

RadioGroup::RadioGroup(QWidget* parent, const QStringList& items, int columns)
    : QGroupBox(parent), group_(new QButtonGroup(this)), columns_(columns) {
    for (int i = 0; i < items.size(); ++i) group_->addButton(new QRadioButton(items[i], this), i);
    connect(group_, &QButtonGroup::idClicked, this, [this] { emit clicked(); });
}

void RadioGroup::SetItemIndex(int index) {
    if (auto* b = group_->button(index)) b->setChecked(true);
}

void RadioGroup::resizeEvent(QResizeEvent* e) {
    QGroupBox::resizeEvent(e);
    const auto buttons = group_->buttons();
    if (buttons.isEmpty()) return;
    int rows = static_cast<int>((buttons.size() + columns_ - 1) / columns_);
    int colWidth = (width() - 16) / columns_;
    int rowHeight = (height() - 4) / rows;
    for (int i = 0; i < buttons.size(); ++i) {
        auto* b = buttons[i];
        int h = b->sizeHint().height();
        int col = i / rows, row = i % rows;
        b->setGeometry(8 + col * colWidth, 2 + row * rowHeight + (rowHeight - h) / 2, colWidth, h);
    }
}

}  // namespace quellor::ui
