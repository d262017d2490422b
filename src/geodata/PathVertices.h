#pragma once

// The vertices of a path, sub-path by sub-path.

#include <QPainterPath>
#include <functional>
#include <vector>

namespace geodata {

// Calls `visit` once per sub-path with its vertices in order: the start point, then the
// end point of each segment. Curves count by their end points; control points are dropped.
void forEachVertexRun(const QPainterPath& path, const std::function<void(const std::vector<QPointF>&)>& visit);

} // namespace geodata
