#pragma once

// Editing the on-path points of a Bezier path by hand: inserting a point where the user
// clicked on it without changing its shape, and deleting a point the user clicked.

#include "platform/graphics/BezierPath.h"

#include <optional>

namespace platform {

// The path with a point inserted on it at the place nearest `point` (lines split in two,
// curves split where they are), or nothing when no part of it lies within `tolerance`.
std::optional<BezierPath> bezierPathByInsertingPointNear(const BezierPath& path, QPointF point, double tolerance);

// The path without the on-path point within `tolerance` of `point` (the segments either side
// join), or nothing when there is none or its subpath would be left with fewer than two points.
std::optional<BezierPath> bezierPathByDeletingPointNear(const BezierPath& path, QPointF point, double tolerance);

} // namespace platform
