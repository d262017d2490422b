#pragma once

// Where a box-like drawable sits: a location, a size (negative to flip) and an angle in
// radians. Shapes and groups place their content this way and follow transforms alike.

#include <QPointF>
#include <QSizeF>
#include <QTransform>

namespace platform {

struct Placement {
    QPointF location;
    QSizeF size;
    double angle = 0;

    // The placement after `transform`: exact for moves, uniform scales, flips and turns;
    // a shear is approximated by the nearest rotation and scale.
    Placement transformedBy(const QTransform& transform) const;
};

} // namespace platform
