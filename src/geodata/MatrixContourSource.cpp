#include "geodata/MatrixContourSource.h"

#include <algorithm>

namespace geodata {

MatrixContourSource::MatrixContourSource(std::shared_ptr<const ZQMatrixArray> grid, QList<double> levels,
                                         double cellSize, QPointF origin)
    : m_grid(std::move(grid)), m_levels(std::move(levels)), m_cellSize(cellSize), m_origin(origin)
{
}

qint64 MatrixContourSource::maxX() const
{
    return qint64(m_grid->rowWidth()) - 1;
}

void MatrixContourSource::limitToRows(qint64 first, qint64 last)
{
    m_firstRow = first;
    m_lastRow = last;
}

qint64 MatrixContourSource::maxY() const
{
    const qint64 last = qint64(m_grid->count() / m_grid->rowWidth()) - 1;
    return m_lastRow ? std::min(*m_lastRow, last) : last;
}

double MatrixContourSource::heightForXY(qint64 x, qint64 y) const
{
    return m_grid->objectAtIndex({x, y});
}

QPointF MatrixContourSource::coordinateForXY(qint64 x, qint64 y) const
{
    return m_origin + QPointF(x, y) * m_cellSize;
}

void MatrixContourSource::readRowFromX(qint64 x, qint64 y, std::span<double> heights,
                                       std::span<QPointF> points) const
{
    m_grid->copyRowFromColumn(quint64(y), quint64(x), heights);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = m_origin + QPointF(x + qint64(i), y) * m_cellSize;
}

} // namespace geodata
