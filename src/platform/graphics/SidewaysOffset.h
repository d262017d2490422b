#pragma once

// A path moved sideways: strokes drawn beside their line and the baselines of text along a
// path follow it at a distance.

#include "platform/graphics/BezierPath.h"

namespace platform {

// The path flattened and moved `distance` to the right of its direction of travel (left for
// a negative distance); corners are mitered unless they are sharp, which get a bevel. The
// result has the default stroke state.
BezierPath sidewaysOffsetPath(const BezierPath& path, double distance);

} // namespace platform
