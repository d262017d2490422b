#include "platform/vantrix/styles/ZigZagShape.h"

#include <QtMath>

namespace platform {

namespace {

bool isClosedPolygon(const QPolygonF& polygon)
{
    return polygon.size() > 2 && QLineF(polygon.first(), polygon.last()).length() < 1e-6;
}

QPointF offsetPoint(const BezierPath& subpath, double length, double offset)
{
    double slope = 0;
    const QPointF point = subpath.pointOnPathAtLengthSlope(length, &slope);
    return point + QPointF(-std::sin(slope), std::cos(slope)) * offset;
}

} // namespace

BezierPath ZigZagShape::pathAlong(const BezierPath& path) const
{
    if (amplitude <= 0 || !std::isfinite(amplitude))
        return path;
    BezierPath result;
    const QList<QPolygonF> polygons = path.painterPath().toSubpathPolygons();
    const double totalLength = path.length();
    const double halfWave = std::max(validWavelength(wavelength), totalLength / kMaximumPeakCount * 2) / 2;
    const double hold = validSpread(spread) * halfWave;
    for (const QPolygonF& polygon : polygons) {
        BezierPath subpath;
        subpath.appendBezierPathWithPoints(polygon);
        const double length = subpath.length();
        if (!(length > 0))
            continue;
        double step = halfWave;
        if (closed) {
            const double peaks = std::max(2.0, 2 * std::round(length / halfWave / 2));
            step = length / peaks;
        }
        const double stepHold = hold * step / halfWave;
        result.moveToPoint(subpath.pointOnPathAtLengthSlope(0));
        double side = 1;
        for (double centre = step / 2; centre < length; centre += step, side = -side) {
            if (stepHold > 0) {
                result.lineToPoint(offsetPoint(subpath, centre - stepHold / 2, side * amplitude));
                result.lineToPoint(offsetPoint(subpath, centre + stepHold / 2, side * amplitude));
            } else {
                result.lineToPoint(offsetPoint(subpath, centre, side * amplitude));
            }
        }
        result.lineToPoint(subpath.pointOnPathAtLengthSlope(length));
        if (closed && isClosedPolygon(polygon))
            result.closePath();
    }
    result.setWindingRule(path.windingRule());
    return result;
}

} // namespace platform
