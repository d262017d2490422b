#include "widgets/paint/CenterScanRect.h"

#include "platform/vantrix/render/DeviceLayer.h"

#include <cmath>

QRectF centerScanRect(const QPainter& painter, const QRectF& rect)
{
    const QTransform toDevice = platform::DeviceLayer::userToDevicePixels(painter);
    if (toDevice.type() > QTransform::TxScale || !toDevice.isInvertible())
        return rect;
    const QRectF pixels = toDevice.mapRect(rect);
    const QRectF snapped(QPointF(std::round(pixels.left()), std::round(pixels.top())),
                         QPointF(std::round(pixels.right()), std::round(pixels.bottom())));
    return toDevice.inverted().mapRect(snapped);
}
