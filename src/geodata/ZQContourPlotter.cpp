#include "geodata/ZQContourPlotter.h"

#include "platform/foundation/ZQLog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

namespace {

// The published case table of the triangle method: kCaseTable[s1][s2][s3], with s = 0 when
// the vertex lies below the level, 1 on it and 2 above it.
constexpr int kCaseTable[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
    {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
    {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}},
};

using Triangle = std::array<int, 3>;
// Corners 0-3 run round the cell from (x, y); vertex 4 is the centre.
constexpr Triangle kTwoTriangles[] = {{0, 1, 2}, {2, 3, 0}};
constexpr Triangle kFourTriangles[] = {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}};

struct Vertices {
    double d[5]; // height minus level
    int s[5];
    QPointF p[5];

    // Where the level crosses side a-b.
    QPointF crossing(int a, int b) const { return (d[b] * p[a] - d[a] * p[b]) / (d[b] - d[a]); }
};

// The segment a level draws across a triangle, if any.
bool triangleSegment(const Vertices& v, const Triangle& t, QPointF& from, QPointF& to)
{
    const auto [m1, m2, m3] = t;
    switch (kCaseTable[v.s[m1]][v.s[m2]][v.s[m3]]) {
    case 1: from = v.p[m1], to = v.p[m2]; break;
    case 2: from = v.p[m2], to = v.p[m3]; break;
    case 3: from = v.p[m3], to = v.p[m1]; break;
    case 4: from = v.p[m1], to = v.crossing(m2, m3); break;
    case 5: from = v.p[m2], to = v.crossing(m3, m1); break;
    case 6: from = v.p[m3], to = v.crossing(m1, m2); break;
    case 7: from = v.crossing(m1, m2), to = v.crossing(m2, m3); break;
    case 8: from = v.crossing(m2, m3), to = v.crossing(m3, m1); break;
    case 9: from = v.crossing(m3, m1), to = v.crossing(m1, m2); break;
    default: return false;
    }
    // Heights near the limits of double can overflow in the crossing.
    return std::isfinite(from.x()) && std::isfinite(from.y()) && std::isfinite(to.x()) && std::isfinite(to.y());
}

} // namespace

void ZQContourPlotter::DataSource::readRowFromX(qint64 x, qint64 y, std::span<double> heights,
                                                std::span<QPointF> points) const
{
    for (size_t i = 0; i < heights.size(); ++i) {
        heights[i] = heightForXY(x + qint64(i), y);
        points[i] = coordinateForXY(x + qint64(i), y);
    }
}

void ZQContourPlotter::initWithDataSourceDataReceiver(QObject* dataSource, QObject* dataReceiver)
{
    m_dataSource = dataSource;
    m_dataReceiver = dataReceiver;
}

void ZQContourPlotter::computeContoursWithUserInfo2(const QVariant& userInfo)
{
    compute(false, userInfo);
}

void ZQContourPlotter::computeContoursWithUserInfo(const QVariant& userInfo)
{
    compute(true, userInfo);
}

// One pass over the grid: each grid point is read once into a two-row window, and cells
// whose height range misses every level are skipped before any per-level work.
void ZQContourPlotter::compute(bool fourTriangles, const QVariant& userInfo)
{
    const qint64 x0 = minX(), y0 = minY(), x1 = maxX(), y1 = maxY();
    const qint64 span = y1 - y0;
    if (!notifyProgressValueMaxPhaseUserInfo(0, span, 0, userInfo))
        return;

    std::vector<double> levels(countOfContours());
    for (size_t k = 0; k < levels.size(); ++k)
        levels[k] = contourForIndex(k);
    const bool ascending = std::is_sorted(levels.begin(), levels.end());
    const std::span<const Triangle> triangles = fourTriangles ? std::span<const Triangle>(kFourTriangles)
                                                              : std::span<const Triangle>(kTwoTriangles);

    // Resolved once: the forwarders would look them up for every grid point and segment.
    DataSource* const dataSource = source();
    DataReceiver* const receiver = dynamic_cast<DataReceiver*>(m_dataReceiver.data());

    const qint64 width = x1 - x0 + 1;
    std::vector<double> heightsBelow, heightsAbove;
    std::vector<QPointF> pointsBelow, pointsAbove;
    auto readRow = [&](qint64 y, std::vector<double>& heights, std::vector<QPointF>& points) {
        heights.resize(size_t(width));
        points.resize(size_t(width));
        if (dataSource) {
            dataSource->readRowFromX(x0, y, heights, points);
            return;
        }
        for (qint64 i = 0; i < width; ++i) {
            heights[size_t(i)] = heightForXY(x0 + i, y);
            points[size_t(i)] = coordinateForXY(x0 + i, y);
        }
    };
    if (width > 1 && y1 > y0 && !levels.empty())
        readRow(y0, heightsBelow, pointsBelow);

    for (qint64 y = y0; y < y1; ++y) {
        if (!notifyProgressValueMaxPhaseUserInfo(y - y0, span, 1, userInfo))
            return;
        if (width < 2 || levels.empty())
            continue;
        readRow(y + 1, heightsAbove, pointsAbove);
        for (qint64 i = 0; i + 1 < width; ++i) {
            const double h[5] = {heightsBelow[size_t(i)], heightsBelow[size_t(i + 1)], heightsAbove[size_t(i + 1)],
                                 heightsAbove[size_t(i)], 0};
            const double lowest = std::min({h[0], h[1], h[2], h[3]});
            const double highest = std::max({h[0], h[1], h[2], h[3]});
            if (!(lowest <= levels.back() && levels.front() <= highest))
                continue;

            Vertices v;
            v.p[0] = pointsBelow[size_t(i)];
            v.p[1] = pointsBelow[size_t(i + 1)];
            v.p[2] = pointsAbove[size_t(i + 1)];
            v.p[3] = pointsAbove[size_t(i)];
            v.p[4] = (v.p[0] + v.p[2]) / 2;
            const double centre = (h[0] + h[1] + h[2] + h[3]) / 4;

            const size_t firstLevel =
                ascending ? size_t(std::lower_bound(levels.begin(), levels.end(), lowest) - levels.begin()) : 0;
            for (size_t k = firstLevel; k < levels.size(); ++k) {
                const double level = levels[k];
                if (level > highest) {
                    if (ascending)
                        break;
                    continue;
                }
                if (level < lowest)
                    continue;
                for (int m = 0; m < 5; ++m) {
                    v.d[m] = (m == 4 ? centre : h[m]) - level;
                    v.s[m] = v.d[m] > 0 ? 2 : v.d[m] == 0 ? 1 : 0;
                }
                QPointF from, to;
                for (const Triangle& triangle : triangles) {
                    if (!triangleSegment(v, triangle, from, to))
                        continue;
                    if (receiver)
                        receiver->contourWithIndexLineFromPointToPoint(k, from, to);
                    else
                        contourWithIndexLineFromPointToPoint(k, from, to);
                }
            }
        }
        std::swap(heightsBelow, heightsAbove);
        std::swap(pointsBelow, pointsAbove);
    }
    notifyProgressValueMaxPhaseUserInfo(span, span, 2, userInfo);
}

ZQContourPlotter::DataSource* ZQContourPlotter::source() const
{
    return dynamic_cast<DataSource*>(m_dataSource.data());
}

qint64 ZQContourPlotter::minX() const { return source() ? source()->minX() : 0; }
qint64 ZQContourPlotter::minY() const { return source() ? source()->minY() : 0; }
qint64 ZQContourPlotter::maxX() const { return source() ? source()->maxX() : 1; }
qint64 ZQContourPlotter::maxY() const { return source() ? source()->maxY() : 1; }
quint64 ZQContourPlotter::countOfContours() const { return source() ? source()->countOfContours() : 1; }

double ZQContourPlotter::contourForIndex(quint64 index) const
{
    return source() ? source()->contourForIndex(index) : double(index);
}

double ZQContourPlotter::heightForXY(qint64 x, qint64 y) const
{
    return source() ? source()->heightForXY(x, y) : 1.0;
}

QPointF ZQContourPlotter::coordinateForXY(qint64 x, qint64 y) const
{
    return source() ? source()->coordinateForXY(x, y) : QPointF(x, y);
}

bool ZQContourPlotter::notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase,
                                                           const QVariant& userInfo)
{
    auto* monitor = dynamic_cast<ProgressMonitor*>(m_progressMonitor.data());
    return !monitor || monitor->notifyProgressValueMaxPhaseUserInfo(value, max, phase, userInfo);
}

void ZQContourPlotter::contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to)
{
    if (auto* receiver = dynamic_cast<DataReceiver*>(m_dataReceiver.data()))
        receiver->contourWithIndexLineFromPointToPoint(index, from, to);
    else
        ZQLog(QStringLiteral("contour #%1: a:{%2, %3} b:{%4, %5}")
                  .arg(index)
                  .arg(from.x())
                  .arg(from.y())
                  .arg(to.x())
                  .arg(to.y()));
}
