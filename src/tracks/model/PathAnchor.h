#pragma once

// A place on a path, found again on a later form of the path: junctions on a track that is
// moved, turned, resized or reshaped.

#include "platform/graphics/BezierPath.h"

#include <optional>

class PathAnchor {
public:
    // The place `length` along `path` (clamped to it).
    PathAnchor(const platform::BezierPath& path, double length);

    // The place carried along with the path: on the same segment, as far along it (so a
    // transformed path takes its places with it). When the segments no longer correspond
    // (points added or removed), the point of `changed` nearest to where the place was.
    QPointF pointAlong(const platform::BezierPath& changed) const;
    // The place left where it was while `changed` still passes within `reach` of it (the
    // nearest point there), as when a path is extended; otherwise pointAlong.
    QPointF pointNear(const platform::BezierPath& changed, double reach) const;

private:
    // The point of `changed` nearest to where the place was, when within `reach`.
    std::optional<QPointF> nearestPointOn(const platform::BezierPath& changed, double reach) const;

    platform::BezierPath m_path;
    QPointF m_point;
    int m_element = -1; // the segment: the index of the element that ends it; -1 for none
    double m_fraction = 0;
};
