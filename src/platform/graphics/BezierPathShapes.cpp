// The shape constructors of BezierPath.

#include "platform/graphics/BezierPath.h"

#include <array>
#include <cmath>

namespace platform {

namespace {

// Control-point distance of a cubic quarter circle, as a fraction of the radius.
constexpr double kQuarterCircleHandle = 0.5522847498307936;

QPointF towards(QPointF from, QPointF to, double distance)
{
    const QPointF d = to - from;
    return from + d * (distance / std::hypot(d.x(), d.y()));
}

} // namespace

BezierPath BezierPath::bezierPathWithRect(const QRectF& rect)
{
    BezierPath path;
    path.appendBezierPathWithRect(rect);
    return path;
}

BezierPath BezierPath::bezierPathWithOvalInRect(const QRectF& rect)
{
    BezierPath path;
    path.appendBezierPathWithOvalInRect(rect);
    return path;
}

BezierPath BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(const QRectF& rect, double radius,
                                                                           int cornerOptions)
{
    const QRectF r = rect.normalized();
    const double limit = std::min(r.width(), r.height()) / 2;
    const double cornerRadius = radius > 0 ? std::min(radius, limit) : 0.0;
    // Corners in drawing order, each with the option bit that rounds it.
    const std::array<std::pair<QPointF, int>, 4> corners{{{r.topLeft(), kRoundedCornerMinXMinY},
                                                          {r.topRight(), kRoundedCornerMaxXMinY},
                                                          {r.bottomRight(), kRoundedCornerMaxXMaxY},
                                                          {r.bottomLeft(), kRoundedCornerMinXMaxY}}};
    QPainterPath path;
    for (size_t i = 0; i <= corners.size(); ++i) {
        const auto [corner, bit] = corners[i % 4];
        const double cornerR = (cornerOptions & bit) && cornerRadius > 0 ? cornerRadius : 0.0;
        if (cornerR == 0) {
            i == 0 ? path.moveTo(corner) : path.lineTo(corner);
            continue;
        }
        const QPointF entry = towards(corner, corners[(i + 3) % 4].first, cornerR);
        const QPointF exit = towards(corner, corners[(i + 1) % 4].first, cornerR);
        if (i == 0) {
            path.moveTo(exit);
            continue;
        }
        path.lineTo(entry);
        path.cubicTo(entry + kQuarterCircleHandle * (corner - entry), exit + kQuarterCircleHandle * (corner - exit),
                     exit);
    }
    path.closeSubpath();
    return BezierPath(path);
}

BezierPath BezierPath::bezierPathWithCappedBoxInRect(const QRectF& rect)
{
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const double r = float(h / 2);
    BezierPath path;
    path.moveToPoint({x + r, y + h});
    path.lineToPoint({x + w - r, y + h});
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({x + w - r, y + h / 2}, r, 90, -90, true);
    path.lineToPoint({x + r, y});
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({x + r, y + h / 2}, r, -90, 90, true);
    path.closePath();
    return path;
}

BezierPath BezierPath::bezierPathWithIrisRingWithRadiusWidthTabSize(double radius, double width, QSizeF tabSize)
{
    const double outer = radius + width / 2, inner = radius - width / 2;
    const double opening = qRadiansToDegrees(std::atan(tabSize.height() / 2 / outer));
    BezierPath path;
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({0, 0}, outer, opening, -opening, false);
    path.lineToPoint({outer + tabSize.width(), -tabSize.height() / 2});
    path.lineToPoint({outer + tabSize.width(), tabSize.height() / 2});
    path.closePath();
    if (inner > 0)
        path.appendBezierPathWithOvalInRect(QRectF(-inner, -inner, 2 * inner, 2 * inner));
    path.setWindingRule(WindingRule::EvenOdd);
    return path;
}

BezierPath BezierPath::bezierPathWithIrisTabWithRadiusWidthTabSize(double radius, double width, QSizeF tabSize)
{
    return bezierPathWithRect(
        QRectF(radius + width / 2, -tabSize.height() / 2, tabSize.width(), tabSize.height()));
}

BezierPath BezierPath::bezierPathWithTargetInRect(const QRectF& rect)
{
    const double dx = rect.width() / 4, dy = rect.height() / 4;
    const QPointF centre = rect.center();
    BezierPath path = bezierPathWithOvalInRect(rect.adjusted(dx, dy, -dx, -dy));
    path.moveToPoint({rect.left(), centre.y()});
    path.lineToPoint({rect.right(), centre.y()});
    path.moveToPoint({centre.x(), rect.top()});
    path.lineToPoint({centre.x(), rect.bottom()});
    return path;
}

BezierPath BezierPath::bezierPathWithRoundEndedRectInRect(const QRectF& rect)
{
    if (rect.width() == rect.height())
        return bezierPathWithOvalInRect(rect);
    const double radius = std::min(std::abs(rect.width()), std::abs(rect.height())) / 2;
    return bezierPathWithRoundedRectCornerRadiusCornerOptions(rect, radius, kRoundedCornerAll);
}

} // namespace platform
