#pragma once

// Douglas-Peucker thinning of a polyline: the fewest of its points that keep every dropped
// point within a tolerance of the line through the points kept around it. Used for imported
// geometry and for freehand pointer tracks.

#include <QList>
#include <QPointF>
#include <vector>

namespace platform {

// Sets marks[i] to 1 for the points to keep (the ends always). A run whose ends coincide (a
// closed ring) measures from that shared point, as a chord of length zero has no direction.
// Runs on an explicit stack, so its depth does not grow with the number of points.
void markDouglasPeuckerPoints(const std::vector<QPointF>& points, double tolerance, std::vector<char>& marks);

// The kept points; a tolerance of zero or less keeps every point that is not on a straight run.
QList<QPointF> simplifiedPolyline(const QList<QPointF>& points, double tolerance);

} // namespace platform
