#include "widgets/paint/CenterScanRect.h"

#include <QPainter>
#include <cmath>

QTransform userToDevicePixelsOf(const QPainter& painter)
{
    return painter.combinedTransform();
}

double devicePixelsPerUnitOf(const QPainter& painter)
{
    return std::sqrt(std::abs(userToDevicePixelsOf(painter).determinant()));
}

QRectF centerScanRect(const QPainter& painter, const QRectF& rect)
{
    const QTransform toDevice = userToDevicePixelsOf(painter);
    if (toDevice.type() > QTransform::TxScale || !toDevice.isInvertible())
        return rect;
    const QRectF pixels = toDevice.mapRect(rect);
    const QRectF snapped(QPointF(std::round(pixels.left()), std::round(pixels.top())),
                         QPointF(std::round(pixels.right()), std::round(pixels.bottom())));
    return toDevice.inverted().mapRect(snapped);
}
