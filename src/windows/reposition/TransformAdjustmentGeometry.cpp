#include "windows/reposition/TransformAdjustmentGeometry.h"

#include <algorithm>
#include <cmath>

namespace adjustment {

namespace {

constexpr double kLargeCell = 256.0;
constexpr double kLargeBounds = 768.0;
constexpr double kSmallestCell = 8.0;
// Cells share the leftover exactly, so whole counts can come out a hair under the integer.
constexpr double kCountTolerance = 1e-9;

double cellsAlong(double length, double cell)
{
    return std::floor(length / cell + kCountTolerance);
}

double sharedCell(double length, double base)
{
    return base + std::fmod(length, base) / cellsAlong(length, base);
}

} // namespace

QSizeF bestGridSize(QSizeF bounds)
{
    const double shorter = std::min(bounds.width(), bounds.height());
    if (!(shorter >= kSmallestCell))
        return {};
    double base = kLargeCell;
    if (shorter < kLargeBounds) {
        do
            base /= 2;
        while (base > kSmallestCell && 3 * base > shorter);
    }
    return {sharedCell(bounds.width(), base), sharedCell(bounds.height(), base)};
}

QRectF initialHandlesRect(QSizeF bounds, QSizeF grid)
{
    if (grid.isEmpty())
        return {QPointF(), bounds};
    const QPointF topLeft(grid.width(), grid.height());
    const QPointF bottomRight((cellsAlong(bounds.width(), grid.width()) - 1) * grid.width(),
                              (cellsAlong(bounds.height(), grid.height()) - 1) * grid.height());
    return QRectF(topLeft, bottomRight).normalized();
}

QPointF cornerOfHandle(const QRectF& rect, int handle)
{
    return {handle == 1 || handle == 3 ? rect.right() : rect.left(), handle >= 2 ? rect.bottom() : rect.top()};
}

QRectF rectOfHandle(const QRectF& rect, int handle, QSizeF handleSize)
{
    const QPointF corner = cornerOfHandle(rect, handle);
    return {corner - QPointF(handleSize.width(), handleSize.height()) / 2, handleSize};
}

int handleAtPoint(const QRectF& rect, QPointF point, QSizeF handleSize)
{
    for (int handle = 0; handle < 4; ++handle)
        if (rectOfHandle(rect, handle, handleSize).contains(point))
            return handle;
    return -1;
}

QRectF draggedHandlesRect(const QRectF& rect, int handle, QPointF point, std::optional<double> keptRatio,
                          QSizeF minimum)
{
    const QPointF anchor = cornerOfHandle(rect, 3 - handle);
    const double sideX = handle == 1 || handle == 3 ? 1.0 : -1.0;
    const double sideY = handle >= 2 ? 1.0 : -1.0;
    double alongX = std::max(sideX * (point.x() - anchor.x()), minimum.width());
    double alongY = std::max(sideY * (point.y() - anchor.y()), minimum.height());
    if (keptRatio && *keptRatio > 0) {
        alongX = std::max(alongX, minimum.height() / *keptRatio);
        alongY = alongX * *keptRatio;
    }
    const QPointF corner(anchor.x() + sideX * alongX, anchor.y() + sideY * alongY);
    return QRectF(anchor, corner).normalized();
}

QTransform scaleAbout(QPointF anchor, const QRectF& from, const QRectF& to)
{
    return QTransform::fromTranslate(-anchor.x(), -anchor.y())
        * QTransform::fromScale(to.width() / from.width(), to.height() / from.height())
        * QTransform::fromTranslate(anchor.x(), anchor.y());
}

} // namespace adjustment
