#include "ui/EntryHeight.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyledItemDelegate>

namespace quellor::ui {

namespace {

class FixedHeightDelegate : public QStyledItemDelegate {
  public:
    FixedHeightDelegate(QObject* parent, int height) : QStyledItemDelegate(parent), h_(height) {}
    // The font's line is ascent and descent: the form keeps its font size,
    // which every other control shares, and the lists show fewer entries.
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return {QStyledItemDelegate::sizeHint(o, i).width(), qMax(h_, o.fontMetrics.height())};
    }

  private:
    int h_;
};

}  // namespace

void SetEntryHeight(QAbstractItemView* view, int height) {
    view->setItemDelegate(new FixedHeightDelegate(view, height));
}

void SetDropDownEntryHeight(QComboBox* combo, int height) {
    combo->setItemDelegate(new FixedHeightDelegate(combo, height));
}

}  // namespace quellor::ui
