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

StringGrid::StringGrid(QWidget* parent, int rows, int columns)
    : QTableWidget(rows, columns, parent) {
    viewport()->setMouseTracking(true);
}

int StringGrid::BorderAt(const QPoint& pos) const {
    if (rowAt(pos.y()) != 0) return -1;
    for (int c = 0; c < columnCount(); ++c) {
        int right = columnViewportPosition(c) + columnWidth(c);
        if (qAbs(pos.x() - right) <= 2) return c;
    }
    return -1;
}

void StringGrid::mousePressEvent(QMouseEvent* e) {
    int border = BorderAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && border >= 0) {
        sizing_ = border;
        sizingFrom_ = columnViewportPosition(border);
        return;
    }
    QTableWidget::mousePressEvent(e);
}

void StringGrid::mouseMoveEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    if (sizing_ >= 0) {
        setColumnWidth(sizing_, qMax(1, pos.x() - sizingFrom_));
        return;
    }
    viewport()->setCursor(BorderAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    QTableWidget::mouseMoveEvent(e);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (sizing_ >= 0) {
        sizing_ = -1;
        return;
    }
    QTableWidget::mouseReleaseEvent(e);
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
