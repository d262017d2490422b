#pragma once

// Small standard shapes as paths of unit size centred on the origin, which their users scale
// and move into place.

#include "platform/graphics/BezierPath.h"

class VXShapeFactory {
public:
    // An × from corner to corner of the square {−0.5, −0.5, 1, 1}: two open strokes.
    static platform::BezierPath diagonalCross();
};
