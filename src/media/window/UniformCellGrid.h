#pragma once

// Where the cells of a grid of equal cells go, worked out arithmetically: rows of `columns`
// cells filling left to right from the top-left corner, each item as wide and tall as
// `item`, centred across its cell and at the cell's top. Nothing is stored per item, so a
// grid of any length costs the same to lay out and to ask.

#include <QRect>
#include <QSize>
#include <utility>

class UniformCellGrid {
public:
    UniformCellGrid() = default;
    // As many columns as whole cells fit in `width`, at least one.
    UniformCellGrid(QSize cell, QSize item, int count, int width);

    int count() const { return m_count; }
    int columns() const { return m_columns; }
    int rows() const;
    QSize cell() const { return m_cell; }
    // The whole grid: every row, the widest being the column count's.
    QSize contentSize() const;

    // The item's rectangle in grid coordinates; the row must be in range.
    QRect itemRect(int row) const;
    // The item whose rectangle holds `point`, or -1.
    int itemAt(QPoint point) const;
    // The first and one past the last item whose cells meet `rect`; empty when none do.
    std::pair<int, int> itemsMeeting(const QRect& rect) const;

private:
    QSize m_cell{1, 1};
    QSize m_item{1, 1};
    int m_count = 0;
    int m_columns = 1;
};
