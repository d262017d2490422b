#include "platform/graphics/SidewaysOffset.h"

#include <QLineF>
#include <QPolygonF>
#include <cmath>

namespace platform {
namespace {

// Offset corners sharper than this get two points (a bevel) instead of a long miter.
constexpr double kOffsetMiterLimit = 4.0;

QPointF rightNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return QPointF(-d.y(), d.x()) / length;
}

QPolygonF withoutRepeatedPoints(const QPolygonF& polygon)
{
    QPolygonF points;
    for (const QPointF& p : polygon)
        if (points.isEmpty() || QLineF(points.last(), p).length() > 1e-9)
            points.append(p);
    return points;
}

// The polyline at `distance` to the right of `polygon`, with mitered corners.
QPolygonF offsetPolyline(const QPolygonF& polygon, double distance)
{
    QPolygonF points = withoutRepeatedPoints(polygon);
    const bool closed = points.size() > 2 && QLineF(points.first(), points.last()).length() < 1e-6;
    if (closed)
        points.removeLast();
    const qsizetype n = points.size();
    if (n < 2)
        return {};
    QPolygonF result;
    for (qsizetype i = 0; i < n; ++i) {
        const bool hasIn = closed || i > 0;
        const bool hasOut = closed || i < n - 1;
        const QPointF p = points[i];
        const QPointF nIn = hasIn ? rightNormal(points[(i + n - 1) % n], p) : QPointF();
        const QPointF nOut = hasOut ? rightNormal(p, points[(i + 1) % n]) : QPointF();
        if (!hasIn || !hasOut) {
            result.append(p + (hasIn ? nIn : nOut) * distance);
            continue;
        }
        const QPointF sum = nIn + nOut;
        const double cosHalf = std::sqrt(std::max(0.0, (1 + QPointF::dotProduct(nIn, nOut)) / 2));
        if (cosHalf < 1 / kOffsetMiterLimit) {
            result.append(p + nIn * distance);
            result.append(p + nOut * distance);
        } else {
            result.append(p + sum / std::hypot(sum.x(), sum.y()) * (distance / cosHalf));
        }
    }
    if (closed)
        result.append(result.first());
    return result;
}

} // namespace

BezierPath sidewaysOffsetPath(const BezierPath& path, double distance)
{
    BezierPath result;
    for (const QPolygonF& polygon : path.painterPath().toSubpathPolygons()) {
        const QPolygonF offset = offsetPolyline(polygon, distance);
        if (offset.size() < 2)
            continue;
        result.moveToPoint(offset.first());
        for (qsizetype i = 1; i < offset.size(); ++i)
            result.lineToPoint(offset[i]);
    }
    return result;
}

} // namespace platform
