#include "geodata/ZQDouglasPeuckerSimplifier.h"

#include "geodata/PathVertices.h"

#include "platform/foundation/UserDefaults.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

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

// Marks the points of one run to keep. The run is split at its farthest point from the
// chord while that point lies beyond the tolerance; an explicit stack keeps the depth
// independent of the run's length. A run whose ends coincide (a closed ring) measures
// from that shared point, as a chord of length zero has no direction.
void douglasPeucker(const std::vector<QPointF>& points, double tolerance, std::vector<char>& marks)
{
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

constexpr std::array<double, 5> kDetailLevelTolerances = {0.02, 0.05, 0.2, 0.8, 0.001};

} // namespace

ZQDouglasPeuckerSimplifier::ZQDouglasPeuckerSimplifier()
{
    setSimplification(simplificationForDetailLevel(0));
}

void ZQDouglasPeuckerSimplifier::init()
{
    const qint64 level = platform::UserDefaults::standardUserDefaults()->integerForKey(
        QStringLiteral("kImportOptionSettingSimplifyDetailLevel"));
    setSimplification(simplificationForDetailLevel(level));
}

double ZQDouglasPeuckerSimplifier::simplificationForDetailLevel(qint64 level)
{
    return kDetailLevelTolerances[size_t(qBound<qint64>(0, level, kDetailLevelTolerances.size() - 1))];
}

QPainterPath ZQDouglasPeuckerSimplifier::pathBySimplifyingPath(const QPainterPath& path) const
{
    const double tolerance = simplification();
    if (!(tolerance > 0) || path.isEmpty())
        return path;

    QPainterPath result;
    std::vector<char> marks;
    geodata::forEachVertexRun(path, [&](const std::vector<QPointF>& run) {
        result.moveTo(run.front());
        if (run.size() <= m_minPathCount || run.size() < 2)
            return;
        marks.assign(run.size(), 0);
        douglasPeucker(run, tolerance, marks);
        result.reserve(result.elementCount() + int(std::count(marks.begin(), marks.end(), 1)));
        for (size_t j = 1; j < run.size(); ++j) {
            if (marks[j])
                result.lineTo(run[j]);
        }
    });
    return result;
}

QString ZQDouglasPeuckerSimplifier::description() const
{
    return QStringLiteral("simplifier <%1> algorithm = Douglas-Peucker, simplification = %2")
        .arg(quintptr(this), 0, 16)
        .arg(simplification(), 0, 'f', 4);
}
