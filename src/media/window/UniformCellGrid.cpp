#include "media/window/UniformCellGrid.h"

#include <algorithm>

UniformCellGrid::UniformCellGrid(QSize cell, QSize item, int count, int width)
    : m_cell(cell.expandedTo(QSize(1, 1)))
    , m_item(item)
    , m_count(std::max(count, 0))
    , m_columns(std::max(1, width / m_cell.width()))
{
}

int UniformCellGrid::rows() const
{
    return (m_count + m_columns - 1) / m_columns;
}

QSize UniformCellGrid::contentSize() const
{
    if (m_count == 0)
        return {0, 0};
    return {std::min(m_count, m_columns) * m_cell.width(), rows() * m_cell.height()};
}

QRect UniformCellGrid::itemRect(int row) const
{
    const int column = row % m_columns;
    const int line = row / m_columns;
    return {QPoint(column * m_cell.width() + (m_cell.width() - m_item.width()) / 2, line * m_cell.height()), m_item};
}

int UniformCellGrid::itemAt(QPoint point) const
{
    if (point.x() < 0 || point.y() < 0)
        return -1;
    const int column = point.x() / m_cell.width();
    const int row = (point.y() / m_cell.height()) * m_columns + column;
    if (column >= m_columns || row >= m_count)
        return -1;
    return itemRect(row).contains(point) ? row : -1;
}

std::pair<int, int> UniformCellGrid::itemsMeeting(const QRect& rect) const
{
    const QRect content(QPoint(0, 0), contentSize());
    const QRect met = rect.intersected(content);
    if (met.isEmpty())
        return {0, 0};
    const int firstLine = met.top() / m_cell.height();
    const int lastLine = met.bottom() / m_cell.height();
    return {firstLine * m_columns, std::min(m_count, (lastLine + 1) * m_columns)};
}
