// Geometry helpers, and area and centroid of regions with holes.

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/PathGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A rectangle ring, clockwise on a y-down screen unless reversed.
QPolygonF ring(const QRectF& r, bool reversed = false)
{
    QPolygonF p{r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    if (reversed)
        std::reverse(p.begin(), p.end());
    return p;
}

BezierPath pathOfRings(const QList<QPolygonF>& rings, WindingRule rule)
{
    BezierPath path;
    for (const QPolygonF& r : rings) {
        path.appendBezierPathWithPoints(r);
        path.closePath();
    }
    path.setWindingRule(rule);
    return path;
}

} // namespace

TEST(PathGeometry, AreaAndCentroidOfPolygonsWithHolesFollowTheWindingRule)
{
    // Signed area is positive for clockwise rings on a y-down screen, and keeps its precision far from the origin.
    EXPECT_EQ((QList<double>{signedPolygonArea(ring({0, 0, 4, 3})), signedPolygonArea(ring({0, 0, 4, 3}, true)),
                             signedPolygonArea(QPolygonF{{0, 0}, {1, 1}}), signedPolygonArea(ring({1e9, 1e9, 0.5, 0.25}))}),
              (QList<double>{12, -12, 0, 0.125}));

    const QPolygonF outer = ring({0, 0, 100, 100});
    const QPolygonF hole = ring({60, 60, 20, 20});
    const QPolygonF island = ring({65, 65, 10, 10});
    // Area 10000 - 400 = 9600; centroid (50*10000 - 70*400) / 9600 on both axes.
    const double expected = (50.0 * 10000 - 70.0 * 400) / 9600;
    for (WindingRule rule : {WindingRule::EvenOdd, WindingRule::NonZero}) {
        const RegionMeasure m = measureRegion({outer, ring({60, 60, 20, 20}, true)}, rule);
        EXPECT_DOUBLE_EQ(m.area, 9600);
        EXPECT_NEAR(m.centroid.x(), expected, 1e-9);
        EXPECT_NEAR(m.centroid.y(), expected, 1e-9);
    }
    // Even-odd: a hole wound like its outline still cuts out, an island in it fills again;
    // non-zero: a hole wound like its outline fills, so nothing is cut out.
    EXPECT_DOUBLE_EQ(measureRegion({outer, hole}, WindingRule::EvenOdd).area, 9600);
    EXPECT_DOUBLE_EQ(measureRegion({outer, hole, island}, WindingRule::EvenOdd).area, 9700);
    EXPECT_DOUBLE_EQ(measureRegion({outer, hole}, WindingRule::NonZero).area, 10000);
    // Two separate squares: the centroid lies between them, weighted by area.
    const RegionMeasure two = measureRegion({ring({0, 0, 10, 10}), ring({20, 0, 20, 10}, true)}, WindingRule::NonZero);
    EXPECT_DOUBLE_EQ(two.area, 300);
    EXPECT_NEAR(two.centroid.x(), (5.0 * 100 + 30.0 * 200) / 300, 1e-9);

    // Paths: the same by their winding rule; unclosed rings measure as if closed, as filling does.
    EXPECT_DOUBLE_EQ(pathOfRings({outer, hole}, WindingRule::EvenOdd).area(), 9600);
    EXPECT_DOUBLE_EQ(pathOfRings({outer, hole}, WindingRule::NonZero).area(), 10000);
    BezierPath open;
    open.appendBezierPathWithPoints(QPolygonF{{0, 0}, {10, 0}, {10, 10}});
    EXPECT_DOUBLE_EQ(open.area(), 50);
    const BezierPath disc = BezierPath::bezierPathWithOvalInRect({-50, 10, 100, 100});
    EXPECT_NEAR(disc.area(), M_PI * 2500, M_PI * 2500 * 1e-3);
    EXPECT_NEAR(disc.centroid().x(), 0, 1e-6);
    EXPECT_NEAR(disc.centroid().y(), 60, 1e-6);
    // A straight line encloses nothing: its centroid is the middle of its length.
    BezierPath line;
    line.appendBezierPathWithPoints(QPolygonF{{0, 0}, {10, 0}, {40, 0}});
    EXPECT_EQ(line.area(), 0);
    EXPECT_EQ(line.centroid(), QPointF(20, 0));
}

TEST(PathGeometry, OverlappingTouchingAndSelfCrossingRingsMeasureTheRegionTheyFill)
{
    struct Case {
        const char* what;
        QList<QPolygonF> rings;
        WindingRule rule;
        double area;
        QPointF centroid;
    };
    const QPolygonF left = ring({0, 0, 20, 20});
    const QPolygonF bowTie{{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    const Case cases[] = {
        {"overlapping by half, combined", {left, ring({10, 0, 20, 20})}, WindingRule::NonZero, 600, {15, 10}},
        {"overlap cut out by even-odd", {left, ring({10, 0, 20, 20})}, WindingRule::EvenOdd, 400, {15, 10}},
        {"overlap wound against", {left, ring({10, 0, 20, 20}, true)}, WindingRule::NonZero, 400, {15, 10}},
        {"corner over corner", {left, ring({10, 10, 20, 20})}, WindingRule::NonZero, 700, {15, 15}},
        {"sharing a side", {left, ring({20, 0, 20, 20})}, WindingRule::NonZero, 800, {20, 10}},
        {"sharing a corner", {left, ring({20, 20, 20, 20})}, WindingRule::EvenOdd, 800, {20, 20}},
        {"bow tie", {bowTie}, WindingRule::NonZero, 50, {5, 5}},
        {"bow tie, far out", {bowTie.translated(1e7, -1e7)}, WindingRule::EvenOdd, 50, {1e7 + 5, -1e7 + 5}},
        {"square inside a crossing one", {left, ring({5, 5, 10, 10}), ring({-5, 5, 30, 10})}, WindingRule::EvenOdd,
         400 + 300 - 2 * 200 + 100, {10, 10}},
    };
    for (const Case& c : cases) {
        const RegionMeasure m = measureRegion(c.rings, c.rule);
        EXPECT_NEAR(m.area, c.area, 1e-6) << c.what;
        EXPECT_NEAR(m.centroid.x(), c.centroid.x(), 1e-6) << c.what;
        EXPECT_NEAR(m.centroid.y(), c.centroid.y(), 1e-6) << c.what;
        EXPECT_NEAR(pathOfRings(c.rings, c.rule).area(), c.area, 1e-6) << c.what;
    }
}

TEST(PathGeometry, SlopeDistanceRotationAndRectangleFitting)
{
    EXPECT_DOUBLE_EQ(Slope({0, 0}, {1, 1}), M_PI / 4);
    EXPECT_DOUBLE_EQ(Slope({0, 0}, {-1, 0}), M_PI);
    EXPECT_DOUBLE_EQ(PointFromLine({5, 7}, {0, 0}, {10, 0}), 7);
    EXPECT_DOUBLE_EQ(PointFromLine({50, -3}, {0, 0}, {10, 0}), 3); // the infinite line, not the segment
    EXPECT_DOUBLE_EQ(PointFromLine({3, 4}, {0, 0}, {0, 0}), 5);
    const QPointF turned = RotationTransform(M_PI / 2, {10, 10}).map(QPointF(20, 10));
    EXPECT_NEAR(turned.x(), 10, 1e-12);
    EXPECT_NEAR(turned.y(), 20, 1e-12);

    EXPECT_EQ(ScaledRectForSize({200, 100}, {0, 0, 100, 100}), QRectF(0, 25, 100, 50));
    EXPECT_EQ(ScaledRectForSize({10, 40}, {0, 0, 100, 100}), QRectF(37.5, 0, 25, 100));
    EXPECT_EQ(ScaledRectForSize({0, 40}, {0, 0, 100, 100}), QRectF(50, 50, 0, 0));
    EXPECT_EQ(CentreRectInRect({0, 0, 10, 20}, {100, 100, 50, 50}), QRectF(120, 115, 10, 20));
    EXPECT_EQ(UnionOfRectsInSet({{0, 0, 10, 10}, {}, {20, -5, 1, 1}}), QRectF(0, -5, 21, 15));
    EXPECT_EQ(UnionOfRectsInSet({}), QRectF());
    EXPECT_EQ(scaledSizeToFitSize({50, 50}, {64, 32}), QSizeF(32, 32));
    EXPECT_EQ(scaledSizeToFitSize({200, 100}, {64, 64}), QSizeF(64, 32));
    const QSizeF tall = scaledSizeToFitSize({100, 300}, {64, 64});
    EXPECT_DOUBLE_EQ(tall.height(), 64);
    EXPECT_DOUBLE_EQ(tall.width(), 64 * double(float(100.0 / 300.0)));
}
