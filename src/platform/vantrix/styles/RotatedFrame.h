#pragma once

// A frame turned by `angle` (radians, clockwise on screen) about an anchor: hatch lines and
// pattern grids are laid out in one and placed in the drawing through it.

#include <QPointF>
#include <QRectF>
#include <cmath>
#include <limits>
#include <utility>

namespace platform {

struct RotatedFrame {
    RotatedFrame(QPointF anchor, double angle)
        : anchor(anchor)
        , along(std::cos(angle), std::sin(angle))
        , across(-along.y(), along.x())
    {
    }

    QPointF pointAt(double alongDistance, double acrossDistance) const
    {
        return anchor + along * alongDistance + across * acrossDistance;
    }
    // The least and greatest distance of the rectangle's corners along each axis.
    std::pair<double, double> extentAlong(const QRectF& rect) const { return extent(rect, along); }
    std::pair<double, double> extentAcross(const QRectF& rect) const { return extent(rect, across); }

    QPointF anchor;
    QPointF along;  // unit vectors
    QPointF across; // along turned a quarter clockwise on screen

private:
    std::pair<double, double> extent(const QRectF& rect, QPointF direction) const
    {
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        for (const QPointF corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
            const double distance = QPointF::dotProduct(corner - anchor, direction);
            low = std::min(low, distance);
            high = std::max(high, distance);
        }
        return {low, high};
    }
};

} // namespace platform
