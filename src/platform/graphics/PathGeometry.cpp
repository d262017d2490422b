#include "platform/graphics/PathGeometry.h"

#include <QLineF>
#include <cmath>
#include <vector>

namespace platform {

double Slope(QPointF p1, QPointF p2)
{
    return std::atan2(p2.y() - p1.y(), p2.x() - p1.x());
}

double PointFromLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0)
        return QLineF(p, a).length();
    return std::abs(d.x() * (a.y() - p.y()) - d.y() * (a.x() - p.x())) / length;
}

QTransform RotationTransform(double angle, QPointF centre)
{
    return QTransform::fromTranslate(-centre.x(), -centre.y())
         * QTransform().rotateRadians(angle)
         * QTransform::fromTranslate(centre.x(), centre.y());
}

QRectF ScaledRectForSize(QSizeF size, QRectF rect)
{
    if (!(size.width() > 0 && size.height() > 0))
        return QRectF(rect.center(), QSizeF(0, 0));
    const double scale = std::min(rect.width() / size.width(), rect.height() / size.height());
    QRectF fitted(QPointF(0, 0), size * scale);
    fitted.moveCenter(rect.center());
    return fitted;
}

QRectF CentreRectInRect(QRectF rect, QRectF container)
{
    rect.moveCenter(container.center());
    return rect;
}

QRectF UnionOfRectsInSet(const QList<QRectF>& rects)
{
    QRectF result;
    for (const QRectF& r : rects)
        result = result.united(r);
    return result;
}

QSizeF scaledSizeToFitSize(QSizeF size, QSizeF box)
{
    const double w = size.width(), h = size.height();
    if (w == h) {
        const double side = std::min(box.width(), box.height());
        return {side, side};
    }
    const double heightRatio = float(h / w);
    if (heightRatio * box.width() > box.height())
        return {box.height() * double(float(w / h)), box.height()};
    return {box.width(), box.width() * heightRatio};
}

namespace {

struct Ring {
    double signedArea = 0;
    QPointF centroid;
    QRectF bounds;
    const QPolygonF* polygon = nullptr;
};

// Computed relative to the first vertex, so map coordinates far from the origin keep
// their precision.
Ring measureRing(const QPolygonF& polygon)
{
    Ring ring;
    ring.polygon = &polygon;
    ring.bounds = polygon.boundingRect();
    if (polygon.size() < 3)
        return ring;
    const QPointF origin = polygon.first();
    double twiceArea = 0, cx = 0, cy = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i] - origin;
        const QPointF b = polygon[(i + 1) % polygon.size()] - origin;
        const double cross = a.x() * b.y() - b.x() * a.y();
        twiceArea += cross;
        cx += (a.x() + b.x()) * cross;
        cy += (a.y() + b.y()) * cross;
    }
    ring.signedArea = twiceArea / 2;
    if (twiceArea != 0)
        ring.centroid = origin + QPointF(cx, cy) / (3 * twiceArea);
    return ring;
}

bool ringContainsRing(const Ring& outer, const Ring& inner)
{
    const QPointF probe = inner.polygon->first();
    return outer.bounds.contains(probe) && outer.polygon->containsPoint(probe, Qt::OddEvenFill);
}

} // namespace

double signedPolygonArea(const QPolygonF& ring)
{
    return measureRing(ring).signedArea;
}

RegionMeasure measureRegion(const QList<QPolygonF>& polygons, WindingRule rule)
{
    std::vector<Ring> rings;
    for (const QPolygonF& polygon : polygons) {
        const Ring ring = measureRing(polygon);
        if (ring.signedArea != 0 && std::isfinite(ring.signedArea))
            rings.push_back(ring);
    }
    auto filled = [rule](int winding) { return rule == WindingRule::NonZero ? winding != 0 : (winding & 1) != 0; };

    // Each ring adds or removes its area by how the winding number changes across it.
    double area = 0;
    QPointF moment;
    for (const Ring& ring : rings) {
        int windingOutside = 0;
        for (const Ring& other : rings) {
            if (&other != &ring && ringContainsRing(other, ring))
                windingOutside += other.signedArea > 0 ? 1 : -1;
        }
        const int windingInside = windingOutside + (ring.signedArea > 0 ? 1 : -1);
        const int weight = int(filled(windingInside)) - int(filled(windingOutside));
        area += weight * std::abs(ring.signedArea);
        moment += weight * std::abs(ring.signedArea) * ring.centroid;
    }
    if (area <= 0)
        return {};
    return {area, moment / area};
}

} // namespace platform
