#pragma once

// Answers the contour plotter from a height grid whose points lie `cellSize` apart from
// `origin` (column x, row y at origin + (x, y) x cellSize), with the levels given. Only
// full rows are offered: all, or those a plotting of a few rows was limited to.

#include "geodata/ZQContourPlotter.h"
#include "geodata/ZQMatrixArray.h"

#include <QObject>
#include <optional>

namespace geodata {

class MatrixContourSource : public QObject, public ZQContourPlotter::DataSource {
public:
    MatrixContourSource(std::shared_ptr<const ZQMatrixArray> grid, QList<double> levels, double cellSize = 1.0,
                        QPointF origin = {});

    qint64 minX() const override { return 0; }
    // Offers rows `first` to `last` only (the cells between them).
    void limitToRows(qint64 first, qint64 last);

    qint64 minY() const override { return m_firstRow; }
    qint64 maxX() const override;
    qint64 maxY() const override;
    quint64 countOfContours() const override { return quint64(m_levels.size()); }
    double contourForIndex(quint64 index) const override { return m_levels[qsizetype(index)]; }
    double heightForXY(qint64 x, qint64 y) const override;
    QPointF coordinateForXY(qint64 x, qint64 y) const override;
    void readRowFromX(qint64 x, qint64 y, std::span<double> heights, std::span<QPointF> points) const override;

private:
    std::shared_ptr<const ZQMatrixArray> m_grid;
    QList<double> m_levels;
    double m_cellSize;
    QPointF m_origin;
    qint64 m_firstRow = 0;
    std::optional<qint64> m_lastRow;
};

} // namespace geodata
