#include "geodata/PathSimplification.h"

#include "geodata/ZQDouglasPeuckerSimplifier.h"

#include "platform/graphics/BezierPath.h"

#include <cmath>
#include <numbers>

namespace geodata {

QPainterPath simplifyUsingDouglasPeuckerWithAmount(const QPainterPath& path, double amount)
{
    ZQDouglasPeuckerSimplifier simplifier;
    simplifier.setSimplification(amount);
    return simplifier.simplifyPath(path);
}

std::optional<QPainterPath> bezierPathByInterpolatingEndPoints(const QPainterPath& path)
{
    const platform::BezierPath bezier(path);
    if (bezier.elementCount() < 2)
        return path;
    if (bezier.isClosed())
        return std::nullopt;
    double a0 = 0, a1 = 0;
    const double length = bezier.length();
    const QPointF p0 = bezier.pointOnPathAtLengthSlope(0, &a0);
    const QPointF p1 = bezier.pointOnPathAtLengthSlope(length, &a1);
    a1 += std::numbers::pi;
    const double d = float(std::hypot(p1.x() - p0.x(), p1.y() - p0.y())) / 2;

    QPainterPath curve(p0);
    curve.cubicTo(p0 + d * QPointF(std::cos(a0), std::sin(a0)), p1 + d * QPointF(std::cos(a1), std::sin(a1)), p1);
    return curve;
}

} // namespace geodata
