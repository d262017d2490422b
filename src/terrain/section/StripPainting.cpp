#include "terrain/section/StripPainting.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace sectionstrips {

namespace {

constexpr double kFlattening = 8; // Qt's half a pixel, divided

// One pass of polygon clipping: what lies on the `inside` of a line, `cross` giving where an edge
// meets it.
template <typename Inside, typename Cross>
QPolygonF clipped(const QPolygonF& polygon, Inside inside, Cross cross)
{
    QPolygonF kept;
    if (polygon.isEmpty())
        return kept;
    QPointF previous = polygon.last();
    bool previousInside = inside(previous);
    for (const QPointF& current : polygon) {
        const bool currentInside = inside(current);
        if (currentInside != previousInside)
            kept.append(cross(previous, current));
        if (currentInside)
            kept.append(current);
        previous = current;
        previousInside = currentInside;
    }
    return kept;
}

auto crossingAtX(double x)
{
    return [x](QPointF a, QPointF b) { return QPointF(x, a.y() + (x - a.x()) / (b.x() - a.x()) * (b.y() - a.y())); };
}

auto crossingAtY(double y)
{
    return [y](QPointF a, QPointF b) { return QPointF(a.x() + (y - a.y()) / (b.y() - a.y()) * (b.x() - a.x()), y); };
}

} // namespace

QList<QRect> stripsOf(const QRect& pixels, Qt::Orientation cuts, int width)
{
    QList<QRect> strips;
    if (pixels.isEmpty())
        return strips;
    const bool sideBySide = cuts == Qt::Vertical;
    const int first = sideBySide ? pixels.left() : pixels.top();
    const int end = sideBySide ? pixels.right() + 1 : pixels.bottom() + 1;
    // Multiples of the width, so that the tiles of a view cut the shape alike.
    const int start = int(std::floor(double(first) / width)) * width;
    for (int from = start; from < end; from += width) {
        const int lo = std::max(from, first), hi = std::min(from + width, end);
        strips.append(sideBySide ? QRect(lo, pixels.top(), hi - lo, pixels.height())
                                 : QRect(pixels.left(), lo, pixels.width(), hi - lo));
    }
    return strips;
}

void paintInStrips(QPainter& painter, const QRectF& extent, double reach, Qt::Orientation cuts, int width,
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
    for (const QRect& strip : stripsOf(pixels, cuts, width)) {
        painter.save();
        painter.resetTransform();
        painter.setClipRect(fromDevice.mapRect(QRectF(strip)), Qt::IntersectClip);
        painter.setWorldTransform(world);
        paint(strip);
        painter.restore();
    }
}

QList<QPolygonF> devicePolygons(const QPainterPath& path, const QTransform& toDevice)
{
    QList<QPolygonF> polygons = path.toSubpathPolygons(toDevice * QTransform::fromScale(kFlattening, kFlattening));
    for (QPolygonF& polygon : polygons)
        for (QPointF& point : polygon)
            point /= kFlattening;
    return polygons;
}

QPolygonF polygonWithin(const QPolygonF& polygon, const QRectF& rect)
{
    QPolygonF part = clipped(polygon, [&](QPointF p) { return p.x() >= rect.left(); }, crossingAtX(rect.left()));
    part = clipped(part, [&](QPointF p) { return p.x() <= rect.right(); }, crossingAtX(rect.right()));
    part = clipped(part, [&](QPointF p) { return p.y() >= rect.top(); }, crossingAtY(rect.top()));
    return clipped(part, [&](QPointF p) { return p.y() <= rect.bottom(); }, crossingAtY(rect.bottom()));
}

void fillWithin(QPainter& painter, const QList<QPolygonF>& polygons, const QRect& strip, const QColor& colour)
{
    QPainterPath part;
    part.setFillRule(Qt::WindingFill);
    for (const QPolygonF& polygon : polygons)
        if (const QPolygonF within = polygonWithin(polygon, QRectF(strip)); within.size() >= 3)
            part.addPolygon(within);
    if (part.isEmpty())
        return;
    // Device pixels, whatever scale the device keeps of its own (its pixel ratio).
    const QTransform world = painter.worldTransform();
    painter.setWorldTransform((world.inverted() * painter.deviceTransform()).inverted());
    painter.fillPath(part, colour);
    painter.setWorldTransform(world);
}

} // namespace sectionstrips
