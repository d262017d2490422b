#pragma once

// Path operations built on the simplifier, for any path.

#include <QPainterPath>
#include <optional>

namespace geodata {

// The path simplified by Douglas-Peucker with the given tolerance.
QPainterPath simplifyUsingDouglasPeuckerWithAmount(const QPainterPath& path, double amount);

// One cubic curve from the path's start to its end that leaves and arrives along the
// path's own directions, with control arms half the chord long. A path of fewer than two
// elements comes back as it is; a closed path has no such curve (nullopt).
std::optional<QPainterPath> bezierPathByInterpolatingEndPoints(const QPainterPath& path);

} // namespace geodata
