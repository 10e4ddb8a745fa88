// The preview's grid: a read-only table whose heading row and heading column
// stay in place while the cells scroll under them.
#pragma once

#include <QTableWidget>

namespace quellor::ui {

// Rows and columns are counted as the user sees them: row 0 is the heading
// row and column 0 the heading column, both drawn by the view's headers so
// that they never scroll away; Qt's own rowCount() and columnCount() count
// the cells below and beside them.
class StringGrid : public QTableWidget {
    Q_OBJECT
  public:
    // Starts at 2 x 2: the headings and one empty cell.
    explicit StringGrid(QWidget* parent);

    // Row height, and the width a new column takes.
    void SetMetrics(int rowHeight, int columnWidth);

    int Rows() const { return rowCount() + 1; }
    int Columns() const { return columnCount() + 1; }
    // Every cell, heading or not, is empty afterwards.
    void SetSize(int rows, int columns);
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    int ColWidth(int column) const;
    void SetColWidth(int column, int width);

  protected:
    // The heading column's right border lies at the heading row's left
    // edge, where the row's own header cannot take hold of it.
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QTableWidgetItem* Find(int row, int column) const;

    bool sizingHeadings_ = false;
    qreal sizingFrom_ = 0;
};

}  // namespace quellor::ui
