#include "support/TestSupport.h"

#include "geodata/MatrixContourSource.h"
#include "geodata/ZQBezierContourer.h"

#include <QFile>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <tuple>

using geodata::MatrixContourSource;

namespace {

class RecordingReceiver : public QObject, public ZQContourPlotter::DataReceiver {
public:
    void contourWithIndexLineFromPointToPoint(quint64, QPointF from, QPointF to) override
    {
        segments.append({from, to});
    }
    QList<QLineF> segments;
};

class StoppingMonitor : public QObject, public ZQContourPlotter::ProgressMonitor {
public:
    bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64, qint64 phase, const QVariant& info) override
    {
        userInfo = info;
        return !(phase == 1 && value == stopAtRow);
    }
    qint64 stopAtRow = -1;
    QVariant userInfo;
};

std::shared_ptr<ZQMatrixArray> surface(qint64 columns, qint64 rows, const std::function<double(double, double)>& height)
{
    auto grid = ZQMatrixArray::makeWithRowWidth(quint64(columns));
    for (qint64 y = 0; y < rows; ++y) {
        for (qint64 x = 0; x < columns; ++x)
            grid->addObject(height(double(x), double(y)));
    }
    return grid;
}

// Runs the plotter, two or four triangles per cell, into a contourer that keeps plain polylines.
std::unique_ptr<ZQBezierContourer> contours(const std::shared_ptr<ZQMatrixArray>& grid, const QList<double>& levels,
                                            bool fourTriangles = false)
{
    MatrixContourSource source(grid, levels);
    auto contourer = std::make_unique<ZQBezierContourer>();
    contourer->setSmoothing(0);
    ZQContourPlotter plotter;
    plotter.initWithDataSourceDataReceiver(&source, contourer.get());
    contourer->reset();
    fourTriangles ? plotter.computeContoursWithUserInfo({}) : plotter.computeContours();
    return contourer;
}

QList<QPolygonF> strandsOf(const ZQBezierContourer& contourer, quint64 level)
{
    return contourer.vectorPathForIndex(level).value_or(QPainterPath()).toSubpathPolygons();
}

// The segment a level draws across one triangle, worked out from the heights alone.
std::optional<QLineF> expectedSegment(const double* d, const QPointF* p, std::array<int, 3> t)
{
    QList<QPointF> ends;
    for (int m : t) {
        if (d[m] == 0)
            ends.append(p[m]);
    }
    if (ends.size() == 3)
        return QLineF(p[t[2]], p[t[0]]);
    for (int i = 0; i < 3; ++i) {
        const int a = t[i], b = t[(i + 1) % 3];
        if (d[a] * d[b] < 0)
            ends.append((d[b] * p[a] - d[a] * p[b]) / (d[b] - d[a]));
    }
    return ends.size() == 2 ? std::optional(QLineF(ends[0], ends[1])) : std::nullopt;
}

} // namespace

TEST(ContourPlotter, CaseTableDrawsWhereTheLevelCrossesEachTriangle)
{
    const QPointF corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int combination = 0; combination < 81; ++combination) {
        double heights[4];
        for (int m = 0, rest = combination; m < 4; ++m, rest /= 3)
            heights[m] = rest % 3 - 1.0;
        auto grid = ZQMatrixArray::makeWithRowWidth(2);
        grid->setObjectsFromArray({heights[0], heights[1], heights[3], heights[2]}); // rows y = 0 and y = 1
        MatrixContourSource source(grid, {0.0});
        RecordingReceiver receiver;
        ZQContourPlotter plotter;
        plotter.initWithDataSourceDataReceiver(&source, &receiver);
        plotter.computeContours();

        QList<QLineF> expected;
        for (std::array<int, 3> triangle : {std::array{0, 1, 2}, std::array{2, 3, 0}}) {
            if (const auto segment = expectedSegment(heights, corners, triangle))
                expected.append(*segment);
        }
        SCOPED_TRACE(testing::Message() << "corner heights " << heights[0] << " " << heights[1] << " " << heights[2]
                                        << " " << heights[3]);
        ASSERT_EQ(receiver.segments.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QLineF actual = receiver.segments[i];
            EXPECT_TRUE(actual == expected[i] || actual == QLineF(expected[i].p2(), expected[i].p1())) << "segment " << i;
        }
    }
}

TEST(ContourPlotter, AConeGivesOneClosedCircleOfTheRightRadiusPerLevel)
{
    const QPointF centre(30, 30);
    auto cone = surface(61, 61, [&](double x, double y) { return 30 - std::hypot(x - centre.x(), y - centre.y()); });
    auto contourer = contours(cone, {-20, 5, 10, 15, 20, 25});
    EXPECT_EQ(contourer->countOfContours(), 5u) << "levels with strands";
    const QList<QPainterPath> paths = contourer->allContourPaths();
    ASSERT_EQ(paths.size(), 6);
    EXPECT_TRUE(paths.first().isEmpty()) << "a level without segments keeps its place";
    EXPECT_FALSE(contourer->contourPathForIndex(0));
    for (quint64 level = 1; level < 6; ++level) {
        const double radius = 30 - 5.0 * level;
        const QList<QPolygonF> strands = strandsOf(*contourer, level);
        ASSERT_EQ(strands.size(), 1) << "level " << level;
        EXPECT_TRUE(strands[0].isClosed());
        // Linear interpolation between grid points stays within a small fraction of a cell.
        for (QPointF point : strands[0])
            EXPECT_NEAR(std::hypot(point.x() - centre.x(), point.y() - centre.y()), radius, 0.05);
        double area = 0;
        for (qsizetype i = 0; i + 1 < strands[0].size(); ++i)
            area += strands[0][i].x() * strands[0][i + 1].y() - strands[0][i + 1].x() * strands[0][i].y();
        EXPECT_NEAR(std::abs(area) / 2, std::numbers::pi * radius * radius, 0.02 * std::numbers::pi * radius * radius);
    }

    // Simplified, then smoothed into curves that keep the circle's size.
    const int raw = contourer->contourPathForIndex(2)->elementCount();
    contourer->setSimplifies(true);
    EXPECT_LT(contourer->contourPathForIndex(2)->elementCount(), raw);
    contourer->setSmoothing(1);
    const QPainterPath smooth = *contourer->contourPathForIndex(2);
    EXPECT_TRUE(smooth.elementAt(1).isCurveTo());
    EXPECT_NEAR(smooth.boundingRect().width(), 40, 0.5);
    contourer->reset();
    EXPECT_EQ(contourer->countOfContours(), 0u);
    EXPECT_FALSE(contourer->vectorPathForIndex(1));
}

TEST(ContourPlotter, APlaneGivesStraightLinesFromBorderToBorderWithTwoOrFourTrianglesPerCell)
{
    auto plane = surface(20, 15, [](double x, double y) { return x + 2 * y; });
    for (bool fourTriangles : {false, true}) {
        auto contourer = contours(plane, {7.5, 20.25}, fourTriangles);
        for (quint64 level = 0; level < 2; ++level) {
            const double height = level == 0 ? 7.5 : 20.25;
            const QList<QPolygonF> strands = strandsOf(*contourer, level);
            ASSERT_EQ(strands.size(), 1) << fourTriangles;
            EXPECT_FALSE(strands[0].isClosed());
            for (QPointF point : strands[0])
                EXPECT_NEAR(point.x() + 2 * point.y(), height, 1e-12);
            for (QPointF end : {strands[0].first(), strands[0].last()})
                EXPECT_TRUE(end.x() == 0 || end.x() == 19 || end.y() == 0 || end.y() == 14);
        }
    }

    // A line through grid points takes in each of them without a gap.
    auto throughPoints = surface(5, 3, [](double x, double y) { return x - 2 * y; });
    const QList<QPolygonF> line = strandsOf(*contours(throughPoints, {0}), 0);
    ASSERT_EQ(line.size(), 1);
    QPolygonF ordered = line[0];
    if (ordered.first() != QPointF(0, 0))
        std::reverse(ordered.begin(), ordered.end());
    EXPECT_EQ(ordered, QPolygonF({{0, 0}, {1, 0.5}, {2, 1}, {3, 1.5}, {4, 2}}));
}

TEST(ContourPlotter, LuxembourgStrandsAreClosedOrEndOnTheBorder)
{
    QFile file(testsupport::sampleDataPath("terrain/luxembourg-elevation.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto elevation = ZQMatrixArray::matrixArrayWithTabDelimitedData(file.readAll());
    ASSERT_TRUE(elevation);
    const double right = double(elevation->columns() - 1), bottom = double(elevation->rows() - 1);
    QList<double> levels;
    for (double level = 200.5; level < 560; level += 50)
        levels.append(level);

    auto contourer = contours(elevation, levels);
    int closed = 0, open = 0;
    for (quint64 level = 0; level < quint64(levels.size()); ++level) {
        for (const QPolygonF& strand : strandsOf(*contourer, level)) {
            if (strand.isClosed()) {
                ++closed;
                continue;
            }
            ++open;
            for (QPointF end : {strand.first(), strand.last()})
                EXPECT_TRUE(end.x() == 0 || end.x() == right || end.y() == 0 || end.y() == bottom)
                    << "level " << levels[qsizetype(level)] << " ends inside at " << end.x() << ", " << end.y();
        }
    }
    EXPECT_GT(closed, 10);
    EXPECT_GT(open, 10);
}

TEST(ContourPlotter, FlatGridsMissingSourcesAndStoppedRunsDrawNothingMore)
{
    EXPECT_TRUE(contours(surface(10, 10, [](double, double) { return 3.5; }), {10, 20})->allContourPaths().isEmpty());

    RecordingReceiver receiver;
    ZQContourPlotter lone;
    lone.setDataReceiver(&receiver);
    lone.computeContours();
    EXPECT_TRUE(receiver.segments.isEmpty()) << "one cell of height 1 with the level 0";

    auto plane = surface(10, 10, [](double x, double) { return x; });
    MatrixContourSource source(plane, {4.5});
    StoppingMonitor monitor;
    monitor.stopAtRow = 3;
    ZQContourPlotter plotter;
    plotter.initWithDataSourceDataReceiver(&source, &receiver);
    plotter.setDataProgressMonitor(&monitor);
    plotter.computeContoursWithUserInfo2(QStringLiteral("terrain"));
    EXPECT_EQ(monitor.userInfo, QStringLiteral("terrain"));
    EXPECT_EQ(receiver.segments.size(), 3 * 2) << "rows 0 to 2, two triangles each";
}

TEST(ContourBuilder, JoinsEndsWithinTheToleranceMergesStrandsAndClosesRings)
{
    const struct {
        const char* what;
        QList<QLineF> segments;
        QPolygonF strand;
    } cases[] = {
        {"joined within 1e-4 at the stored point; a two-point strand is not drawn",
         {{0, 0, 1, 0}, {1.00005, 0, 2, 0}, {2, 0, 3, 0}, {3.0002, 0, 4, 0}},
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"tail to tail", {{0, 0, 1, 0}, {3, 0, 2, 0}, {1, 0, 2, 0}}, {{3, 0}, {2, 0}, {1, 0}, {0, 0}}},
        {"head to head", {{1, 0, 0, 0}, {2, 0, 3, 0}, {1, 0, 2, 0}}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"prepended", {{1, 0, 2, 0}, {0, 0, 1, 0}, {-1, 0, 0, 0}}, {{-1, 0}, {0, 0}, {1, 0}, {2, 0}}},
        // A segment touching a closed ring starts a new strand; one shorter than the tolerance is dropped.
        {"a closed ring takes nothing more",
         {{0, 0, 1, 0}, {1, 1, 0, 1}, {1, 0, 1, 1}, {0, 1, 0, 0}, {0, 0, -1, -1}, {5, 5, 5.00001, 5}},
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}},
        // A level running exactly along a grid edge is reported by the triangles on both sides.
        {"an edge reported twice is drawn once",
         {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 1, 0}, {1, 1, 0, 1}, {0, 1, 0, 0}, {0, 1, 0, 0}},
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}},
    };
    for (const auto& c : cases) {
        ZQContourBuilder builder;
        for (const QLineF& segment : c.segments)
            builder.addSegmentFromPointToPoint(segment.p1(), segment.p2());
        EXPECT_EQ(builder.contourPath().toSubpathPolygons(), QList<QPolygonF>{c.strand}) << c.what;
    }
}

namespace {

// A strand as written, in a form that forgets its direction and, for a ring, where it starts.
QList<QPointF> canonicalStrand(QPolygonF points)
{
    const bool ring = points.size() > 1 && points.first() == points.last();
    if (ring)
        points.removeLast();
    const auto lessThan = [](QPointF a, QPointF b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); };
    QList<QPointF> best;
    for (bool reversed : {false, true}) {
        QList<QPointF> turned(points.begin(), points.end());
        if (reversed)
            std::reverse(turned.begin(), turned.end());
        const qsizetype starts = ring ? turned.size() : 1;
        for (qsizetype start = 0; start < starts; ++start) {
            QList<QPointF> candidate = turned.mid(start) + turned.first(start);
            if (best.isEmpty() || std::lexicographical_compare(candidate.begin(), candidate.end(), best.begin(),
                                                               best.end(), lessThan))
                best = candidate;
        }
    }
    if (ring)
        best.append(best.first());
    return best;
}

} // namespace

// Long strands cut into segments that arrive shuffled and turned either way force every kind
// of merge, including strands turned round many times over.
TEST(ContourBuilder, ShuffledSegmentsOfRandomStrandsJoinBackIntoExactlyThoseStrands)
{
    std::mt19937 random(24);
    for (int round = 0; round < 20; ++round) {
        QList<QPolygonF> strands;
        QList<QLineF> segments;
        const int count = 1 + int(random() % 12);
        for (int s = 0; s < count; ++s) {
            const int points = 4 + int(random() % 60);
            const bool ring = random() % 2;
            QPolygonF strand;
            for (int i = 0; i < points; ++i)
                strand.append(QPointF(s * 1000 + i, double(random() % 1000) / 8));
            if (ring)
                strand.append(strand.first());
            for (qsizetype i = 0; i + 1 < strand.size(); ++i)
                segments.append(random() % 2 ? QLineF(strand[i], strand[i + 1]) : QLineF(strand[i + 1], strand[i]));
            strands.append(strand);
        }
        std::shuffle(segments.begin(), segments.end(), random);

        ZQContourBuilder builder;
        for (const QLineF& segment : segments)
            builder.addSegmentFromPointToPoint(segment.p1(), segment.p2());
        QList<QList<QPointF>> expected, joined;
        for (const QPolygonF& strand : strands)
            expected.append(canonicalStrand(strand));
        for (const QPolygonF& strand : builder.contourPath().toSubpathPolygons())
            joined.append(canonicalStrand(strand));
        const auto byFirstPoint = [](const QList<QPointF>& a, const QList<QPointF>& b) {
            return std::pair(a.first().x(), a.first().y()) < std::pair(b.first().x(), b.first().y());
        };
        std::sort(expected.begin(), expected.end(), byFirstPoint);
        std::sort(joined.begin(), joined.end(), byFirstPoint);
        ASSERT_EQ(joined, expected) << "round " << round;
    }
}

// The plotter reads whole rows; a grid source must answer them as it answers point by point,
// in single or double precision, up to the end of the last row.
TEST(ContourPlotter, AGridSourceReadsRowsAsItReadsPoints)
{
    for (const double fraction : {0.5, 0.1}) {
        auto grid = ZQMatrixArray::makeWithRowWidth(5);
        QList<double> values;
        for (int i = 0; i < 15; ++i)
            values.append(i * 3 + fraction);
        grid->setObjectsFromArray(values);
        const MatrixContourSource source(grid, {1.0}, 2.5, {10, -4});
        for (const auto& [x, y, count] : {std::tuple{0, 0, 5}, {2, 1, 3}, {4, 2, 1}, {1, 2, 4}}) {
            std::vector<double> heights(static_cast<size_t>(count));
            std::vector<QPointF> points(static_cast<size_t>(count));
            source.readRowFromX(x, y, heights, points);
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(heights[size_t(i)], source.heightForXY(x + i, y)) << x << ", " << y;
                EXPECT_EQ(points[size_t(i)], source.coordinateForXY(x + i, y)) << x << ", " << y;
            }
        }
        EXPECT_EQ(source.coordinateForXY(4, 2), QPointF(20, 1));
    }
}
