#include "furniture/grid/VXQGridReference.h"

#include "furniture/grid/VXQSquareAnnotatedGrid.h"

VXQGridReference::VXQGridReference(QPointF point, const VXQSquareAnnotatedGrid& grid, quint64 precision)
    : m_northings(grid.verticalAnnotation()->refStringForPositionWithPrecision(point.y(), precision))
    , m_eastings(grid.horizontalAnnotation()->refStringForPositionWithPrecision(point.x(), precision))
    , m_representedPoint(point)
    , m_precision(precision)
{
}
