#include "platform/graphics/PolylineSimplification.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

namespace {

// The first point of [first, last) with the greatest measure, and that measure (-1 for
// an empty range).
template <class Measure>
std::pair<size_t, double> farthestPoint(size_t first, size_t last, Measure measure)
{
    std::pair<size_t, double> farthest{first, -1};
    for (size_t i = first; i < last; ++i) {
        const double m = measure(i);
        if (m > farthest.second)
            farthest = {i, m};
    }
    return farthest;
}

} // namespace

void markDouglasPeuckerPoints(const std::vector<QPointF>& points, double tolerance, std::vector<char>& marks)
{
    if (points.empty())
        return;
    tolerance = std::max(tolerance, 0.0);
    std::vector<std::pair<size_t, size_t>> pending{{0, points.size() - 1}};
    while (!pending.empty()) {
        const auto [first, last] = pending.back();
        pending.pop_back();
        const QPointF f = points[first];
        const QPointF chord = points[last] - f;
        const double chordLength = std::sqrt(QPointF::dotProduct(chord, chord));

        // With a chord, |a x + b y + c| is a point's distance times the chord's length;
        // without one, the measure is the squared distance from f.
        const double a = -chord.y(), b = chord.x(), c = chord.y() * f.x() - chord.x() * f.y();
        const auto farthest =
            chordLength > 0
                ? farthestPoint(first + 1, last,
                                [&](size_t i) { return std::abs(a * points[i].x() + b * points[i].y() + c); })
                : farthestPoint(first + 1, last, [&](size_t i) {
                      const QPointF v = points[i] - f;
                      return QPointF::dotProduct(v, v);
                  });
        const double limit = chordLength > 0 ? tolerance * chordLength : tolerance * tolerance;
        if (farthest.second > limit) {
            pending.emplace_back(farthest.first, last);
            pending.emplace_back(first, farthest.first);
        } else {
            marks[first] = marks[last] = 1;
        }
    }
}

QList<QPointF> simplifiedPolyline(const QList<QPointF>& points, double tolerance)
{
    if (points.size() < 3)
        return points;
    const std::vector<QPointF> run(points.begin(), points.end());
    std::vector<char> marks(run.size(), 0);
    markDouglasPeuckerPoints(run, tolerance, marks);
    QList<QPointF> kept;
    for (size_t i = 0; i < run.size(); ++i) {
        if (marks[i])
            kept.append(run[i]);
    }
    return kept;
}

} // namespace platform
