#include "terrain/section/StripPainting.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace sectionstrips {

QList<QRect> stripsOf(const QRect& pixels, Qt::Orientation cuts)
{
    QList<QRect> strips;
    if (pixels.isEmpty())
        return strips;
    const bool sideBySide = cuts == Qt::Vertical;
    const int first = sideBySide ? pixels.left() : pixels.top();
    const int end = sideBySide ? pixels.right() + 1 : pixels.bottom() + 1;
    // Multiples of the width, so that the tiles of a view cut the shape alike.
    const int start = int(std::floor(double(first) / kStripPixels)) * kStripPixels;
    for (int from = start; from < end; from += kStripPixels) {
        const int lo = std::max(from, first), hi = std::min(from + kStripPixels, end);
        strips.append(sideBySide ? QRect(lo, pixels.top(), hi - lo, pixels.height())
                                 : QRect(pixels.left(), lo, pixels.width(), hi - lo));
    }
    return strips;
}

void paintInStrips(QPainter& painter, const QRectF& extent, double reach, Qt::Orientation cuts,
                   const std::function<void(const QRect& strip)>& paint)
{
    const QTransform toDevice = painter.deviceTransform();
    const QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || toDevice.type() > QTransform::TxScale) {
        paint({});
        return;
    }
    QRect pixels = static_cast<const QImage*>(device)->rect();
    if (painter.hasClipping())
        pixels &= toDevice.mapRect(painter.clipBoundingRect()).toAlignedRect();
    pixels &= toDevice.mapRect(extent).adjusted(-reach, -reach, reach, reach).toAlignedRect();
    const QTransform world = painter.worldTransform();
    // The device's own scale (its pixel ratio), which stays when the world transform is reset.
    const QTransform fromDevice = (world.inverted() * toDevice).inverted();
    for (const QRect& strip : stripsOf(pixels, cuts)) {
        painter.save();
        painter.resetTransform();
        painter.setClipRect(fromDevice.mapRect(QRectF(strip)), Qt::IntersectClip);
        painter.setWorldTransform(world);
        paint(strip);
        painter.restore();
    }
}

} // namespace sectionstrips
