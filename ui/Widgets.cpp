#include "ui/Widgets.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

class FixedHeightDelegate : public QStyledItemDelegate {
  public:
    FixedHeightDelegate(QObject* parent, int height) : QStyledItemDelegate(parent), h_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return {QStyledItemDelegate::sizeHint(o, i).width(), h_};
    }

  private:
    int h_;
};

}  // namespace

ListBox::ListBox(QWidget* parent, int entryHeight) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this, entryHeight));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (userInput_ > 0) changedByUser_ = true;
    });
}

QStringList ListBox::Texts() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) out << item(i)->text();
    return out;
}

void ListBox::SetScrollExtent(int pixels) {
    extent_ = pixels;
    updateGeometries();
}

void ListBox::updateGeometries() {
    QListWidget::updateGeometries();
    // The extent alone decides how far the list scrolls sideways.
    int range = qMax(0, extent_ - viewport()->width());
    horizontalScrollBar()->setRange(0, range);
    horizontalScrollBar()->setPageStep(viewport()->width());
    setHorizontalScrollBarPolicy(range > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

template <class F>
void ListBox::AsUser(F&& f) {
    ++userInput_;
    if (userInput_ == 1) changedByUser_ = false;
    f();
    --userInput_;
    if (userInput_ == 0 && changedByUser_) {
        changedByUser_ = false;
        emit userSelectionChanged();
    }
}

void ListBox::mousePressEvent(QMouseEvent* e) {
    AsUser([&] { QListWidget::mousePressEvent(e); });
}
void ListBox::mouseMoveEvent(QMouseEvent* e) {
    AsUser([&] { QListWidget::mouseMoveEvent(e); });
}
void ListBox::mouseReleaseEvent(QMouseEvent* e) {
    AsUser([&] { QListWidget::mouseReleaseEvent(e); });
}
void ListBox::keyPressEvent(QKeyEvent* e) {
    AsUser([&] { QListWidget::keyPressEvent(e); });
}
void ListBox::mouseDoubleClickEvent(QMouseEvent* e) {
    AsUser([&] { QListWidget::mouseDoubleClickEvent(e); });
    emit userDoubleClicked();
}

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
    int rows = (buttons.size() + columns_ - 1) / columns_;
    int colWidth = (width() - 16) / columns_;
    int rowHeight = (height() - 4) / rows;
    for (int i = 0; i < buttons.size(); ++i) {
        auto* b = buttons[i];
        int h = b->sizeHint().height();
        int col = i / rows, row = i % rows;
        b->setGeometry(8 + col * colWidth, 2 + row * rowHeight + (rowHeight - h) / 2, colWidth, h);
    }
}

void SetDropDownEntryHeight(QComboBox* combo, int height) {
    combo->setItemDelegate(new FixedHeightDelegate(combo, height));
}

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
