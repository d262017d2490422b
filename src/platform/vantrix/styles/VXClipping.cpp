#include "platform/vantrix/styles/VXClipping.h"

#include "platform/vantrix/render/DeviceLayer.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace platform {

bool isClippingValue(int clipping)
{
    return clipping >= kVXNoClipping && clipping <= kVXClipInsidePath;
}

void clipPainterToPath(QPainter& painter, const QPainterPath& area, int clipping)
{
    if (clipping != kVXClipOutsidePath && clipping != kVXClipInsidePath)
        return;
    QPainterPath clip = area;
    if (clipping == kVXClipOutsidePath) {
        // "Outside" is everything the device can show, plus the path's own surroundings.
        QRectF visible = area.boundingRect().adjusted(-1, -1, 1, 1);
        bool invertible = false;
        const QTransform fromDevice = DeviceLayer::userToDevicePixels(painter).inverted(&invertible);
        if (const QPaintDevice* device = painter.device(); invertible && device) {
            const double ratio = device->devicePixelRatioF();
            visible |= fromDevice.mapRect(QRectF(0, 0, device->width() * ratio, device->height() * ratio));
        }
        QPainterPath surround;
        surround.addRect(visible);
        clip = surround.subtracted(area);
    }
    painter.setClipPath(clip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

} // namespace platform
