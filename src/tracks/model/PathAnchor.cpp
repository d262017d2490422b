#include "tracks/model/PathAnchor.h"

#include <algorithm>
#include <limits>

namespace {

using platform::BezierPath;
using platform::PathElement;

// The segment that element `index` ends, as a path of its own; empty for a move.
BezierPath segmentEndingAt(const BezierPath& path, int index)
{
    QPointF points[3];
    QPointF previous[3];
    BezierPath segment;
    if (index < 1 || index >= path.elementCount())
        return segment;
    const PathElement type = path.elementAtIndexAssociatedPoints(index, points);
    if (type == PathElement::MoveTo)
        return segment;
    const PathElement before = path.elementAtIndexAssociatedPoints(index - 1, previous);
    segment.moveToPoint(before == PathElement::CurveTo ? previous[2] : previous[0]);
    if (type == PathElement::CurveTo)
        segment.curveToPointControlPoint1ControlPoint2(points[2], points[0], points[1]);
    else
        segment.lineToPoint(points[0]);
    return segment;
}

bool haveSameSegments(const BezierPath& a, const BezierPath& b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    QPointF points[3];
    for (int i = 0; i < a.elementCount(); ++i) {
        if (a.elementAtIndexAssociatedPoints(i, points) != b.elementAtIndexAssociatedPoints(i, points))
            return false;
    }
    return true;
}

} // namespace

PathAnchor::PathAnchor(const BezierPath& path, double length)
    : m_path(path)
    , m_point(path.pointOnPathAtLengthSlope(length))
{
    double start = 0;
    for (int i = 1; i < path.elementCount(); ++i) {
        const double segmentLength = segmentEndingAt(path, i).length();
        if (segmentLength <= 0)
            continue;
        m_element = i;
        m_fraction = std::clamp((length - start) / segmentLength, 0.0, 1.0);
        if (length <= start + segmentLength)
            return;
        start += segmentLength;
    }
}

QPointF PathAnchor::pointAlong(const BezierPath& changed) const
{
    if (m_element >= 0 && haveSameSegments(m_path, changed)) {
        const BezierPath segment = segmentEndingAt(changed, m_element);
        return segment.pointOnPathAtLengthSlope(m_fraction * segment.length());
    }
    return nearestPointOn(changed, std::numeric_limits<double>::infinity()).value_or(m_point);
}

QPointF PathAnchor::pointNear(const BezierPath& changed, double reach) const
{
    const std::optional<QPointF> near = nearestPointOn(changed, reach);
    return near ? *near : pointAlong(changed);
}

std::optional<QPointF> PathAnchor::nearestPointOn(const BezierPath& changed, double reach) const
{
    const double near = changed.isEmpty() ? -1 : changed.lengthForPointTolerance(m_point, reach);
    return near >= 0 ? std::optional(changed.pointOnPathAtLengthSlope(near)) : std::nullopt;
}
