#include "ui/StringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace quellor::ui {

namespace {

// How near the border a press must be to take hold of it.
constexpr qreal kBorderGrip = 3;

// A heading bar that ends with its last heading: beyond it the grid shows
// its own background, not an empty heading stretched to the edge.
class HeadingBar : public QHeaderView {
  public:
    HeadingBar(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {}

  protected:
    void paintEvent(QPaintEvent* e) override {
        QHeaderView::paintEvent(e);
        const int end = length() - offset();
        QRect rest = viewport()->rect();
        if (orientation() == Qt::Horizontal) {
            rest.setLeft(end);
        } else {
            rest.setTop(end);
        }
        if (rest.isValid()) QPainter(viewport()).fillRect(rest, palette().base());
    }
};

}  // namespace

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
    setHorizontalHeader(new HeadingBar(Qt::Horizontal, this));
    setVerticalHeader(new HeadingBar(Qt::Vertical, this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    // The grid is one stop of the window's tab order, not a field to tab through.
    setTabKeyNavigation(false);
    for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
        h->setMinimumSectionSize(1);
        h->setHighlightSections(false);
        h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    // A heading click would select a column; only rows are ever selected.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Headings drawn flat in the button colour, ruled like the cells, as the
    // fixed cells of the classic grids were; the style's raised sections
    // leave no rule between the corner and the first heading.
    setStyleSheet(QStringLiteral(
        "QHeaderView::section, QTableCornerButton::section { background: palette(button);"
        " border: 0; border-right: 1px solid palette(mid); border-bottom: 1px solid palette(mid);"
        " padding-left: 2px; }"));
    horizontalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->setMouseTracking(true);
    SetSize(2, 2);
}

void StringGrid::SetMetrics(int rowHeight, int columnWidth) {
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(rowHeight);
    horizontalHeader()->setDefaultSectionSize(columnWidth);
}

void StringGrid::SetSize(int rows, int columns) {
    clearContents();
    setRowCount(rows - 1);
    setColumnCount(columns - 1);
    // A heading without an item would show its number.
    for (int r = 1; r < rows; ++r) SetCell(r, 0, {});
    for (int c = 1; c < columns; ++c) SetCell(0, c, {});
}

QTableWidgetItem* StringGrid::Find(int row, int column) const {
    return row == 0      ? horizontalHeaderItem(column - 1)
           : column == 0 ? verticalHeaderItem(row - 1)
                         : item(row - 1, column - 1);
}

QString StringGrid::Cell(int row, int column) const {
    const QTableWidgetItem* found = Find(row, column);
    return found ? found->text() : QString();
}

void StringGrid::SetCell(int row, int column, const QString& text) {
    if (QTableWidgetItem* found = Find(row, column)) {
        found->setText(text);
        return;
    }
    if (row == 0 && column == 0) return;  // the corner above the heading column stays empty
    auto* made = new QTableWidgetItem(text);
    if (row == 0) {
        setHorizontalHeaderItem(column - 1, made);
    } else if (column == 0) {
        setVerticalHeaderItem(row - 1, made);
    } else {
        made->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row - 1, column - 1, made);
    }
}

int StringGrid::ColWidth(int column) const {
    return column == 0 ? verticalHeader()->width() : columnWidth(column - 1);
}

void StringGrid::SetColWidth(int column, int width) {
    if (column == 0) {
        verticalHeader()->setFixedWidth(width);
    } else {
        setColumnWidth(column - 1, width);
    }
}

bool StringGrid::eventFilter(QObject* watched, QEvent* e) {
    QWidget* headingRow = horizontalHeader()->viewport();
    if (watched != headingRow) return QTableWidget::eventFilter(watched, e);
    const auto type = e->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* m = static_cast<QMouseEvent*>(e);
    const bool onBorder = m->position().x() <= kBorderGrip;
    if (type == QEvent::MouseButtonPress && m->button() == Qt::LeftButton && onBorder) {
        sizingHeadings_ = true;
        sizingFrom_ = m->globalPosition().x() - ColWidth(0);
        return true;
    }
    if (type == QEvent::MouseMove && sizingHeadings_) {
        SetColWidth(0, qMax(1, qRound(m->globalPosition().x() - sizingFrom_)));
        return true;
    }
    if (type == QEvent::MouseButtonRelease && sizingHeadings_) {
        sizingHeadings_ = false;
        return true;
    }
    if (type == QEvent::MouseMove && onBorder && m->buttons() == Qt::NoButton) {
        // The header drops a cursor of its own once the mouse leaves the border.
        horizontalHeader()->setCursor(Qt::SplitHCursor);
        return true;
    }
    return false;
}

}  // namespace quellor::ui
