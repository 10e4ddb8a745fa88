#include "ui/ListBox.h"

#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include "ui/EntryHeight.h"

namespace quellor::ui {

ListBox::ListBox(QWidget* parent, int entryHeight)
    : QListWidget(parent), entryHeight_(entryHeight) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setUniformItemSizes(true);
    SetEntryHeight(this, entryHeight);
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

void ListBox::paintEvent(QPaintEvent* e) {
    QListWidget::paintEvent(e);
    if (count() > 0 || !hasFocus()) return;
    // An empty list has no entry to carry the focus mark; the user would not
    // see where Tab went. The mark stands where the first entry would.
    QPainter painter(viewport());
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = QRect(0, 0, viewport()->width(), qMax(entryHeight_, fontMetrics().height()));
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
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

void FitScrollWidth(ListBox* list, Scale scale) {
    if (list->count() == 0) return;
    QFontMetrics metrics(list->font());
    int width = 0;
    for (int i = 0; i < list->count(); ++i) {
        width = qMax(width, metrics.horizontalAdvance(list->item(i)->text()));
    }
    list->SetScrollExtent(width + scale(5));
}

}  // namespace quellor::ui
