// Lengths, points at lengths, nearest lengths and sub-paths of BezierPath.

#include "platform/graphics/BezierPath.h"

#include <QLineF>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using platform::BezierPath;
using platform::PathElement;
using platform::Slope;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

BezierPath polyline(std::initializer_list<QPointF> points)
{
    BezierPath path;
    for (const QPointF& p : points)
        path.isEmpty() ? path.moveToPoint(p) : path.lineToPoint(p);
    return path;
}

BezierPath circle(QPointF centre, double radius)
{
    BezierPath path;
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise(centre, radius, 0, 360, false);
    return path;
}

double distance(QPointF a, QPointF b)
{
    return QLineF(a, b).length();
}

// Counts curve elements; sub-paths must keep curves rather than polylines.
int curveCount(const BezierPath& path)
{
    int curves = 0;
    QPointF points[3];
    for (int i = 0; i < path.elementCount(); ++i)
        curves += path.elementAtIndexAssociatedPoints(i, points) == PathElement::CurveTo;
    return curves;
}

} // namespace

TEST(PathMeasure, PolylineLengthsAndPointsAreExactAndSubpathsDoNotCountTheJump)
{
    const BezierPath path = polyline({{0, 0}, {30, 0}, {30, 40}});
    EXPECT_DOUBLE_EQ(path.length(), 70);
    // Lengths beyond the ends clamp to the end points and keep the end directions; at the
    // corner the direction is that of the segment the length begins (y-down: +y is pi/2).
    const std::tuple<double, QPointF, double> cases[] = {
        {15, {15, 0}, 0}, {50, {30, 20}, M_PI / 2}, {30, {30, 0}, M_PI / 2}, {-5, {0, 0}, 0}, {1e9, {30, 40}, M_PI / 2}};
    for (const auto& [length, point, expectedSlope] : cases) {
        double slope = 1;
        EXPECT_EQ(path.pointOnPathAtLengthSlope(length, &slope), point) << length;
        EXPECT_DOUBLE_EQ(slope, expectedSlope) << length;
    }

    BezierPath jump = polyline({{0, 0}, {10, 0}});
    jump.moveToPoint({100, 100});
    jump.lineToPoint({100, 120});
    EXPECT_DOUBLE_EQ(jump.length(), 30);
    EXPECT_EQ(jump.pointOnPathAtLengthSlope(15), QPointF(100, 105));
    // Exactly at the joint the point starts the next subpath.
    EXPECT_EQ(jump.pointOnPathAtLengthSlope(10), QPointF(100, 100));
}

TEST(PathMeasure, CircleOfCubicArcsMatchesAnalyticLengthAndPoints)
{
    for (double r : {0.5, 10.0, 250.0, 40000.0}) {
        const BezierPath path = circle({100, 50}, r);
        // Cubic arcs deviate from the circle by under 3e-4 r, flattening by under 0.01.
        EXPECT_NEAR(path.length(), 2 * M_PI * r, 2 * M_PI * r * 3e-4 + 0.01) << r;
        for (double fraction : {0.125, 0.25, 0.6}) {
            const double angle = 2 * M_PI * fraction;
            double slope = 0;
            const QPointF p = path.pointOnPathAtLengthSlope(path.length() * fraction, &slope);
            EXPECT_NEAR(distance(p, QPointF(100, 50)), r, r * 3e-4 + 0.01) << r;
            EXPECT_NEAR(std::remainder(Slope(QPointF(100, 50), p) - angle, 2 * M_PI), 0, 1e-3) << r;
            EXPECT_NEAR(std::remainder(slope - (angle + M_PI / 2), 2 * M_PI), 0, 1e-3) << r;
        }
    }
}

TEST(PathMeasure, CubicCurveLengthMatchesNumericIntegration)
{
    const QPointF p0(0, 0), c1(40, 120), c2(160, -80), p1(200, 40);
    BezierPath path;
    path.moveToPoint(p0);
    path.curveToPointControlPoint1ControlPoint2(p1, c1, c2);
    // Simpson's rule on the speed |B'(t)| with many steps.
    auto speed = [&](double t) {
        const double s = 1 - t;
        const QPointF d = 3 * s * s * (c1 - p0) + 6 * s * t * (c2 - c1) + 3 * t * t * (p1 - c2);
        return std::hypot(d.x(), d.y());
    };
    const int n = 20000;
    double integral = speed(0) + speed(1);
    for (int i = 1; i < n; ++i)
        integral += (i % 2 ? 4 : 2) * speed(double(i) / n);
    integral /= 3 * n;
    EXPECT_NEAR(path.length(), integral, 0.01);
    // The end of the curve is reached exactly at the full length.
    EXPECT_EQ(path.pointOnPathAtLengthSlope(path.length()), p1);
}

TEST(PathMeasure, NearestLengthToAPointHonoursTheTolerance)
{
    const BezierPath path = polyline({{0, 0}, {100, 0}, {100, 100}});
    EXPECT_DOUBLE_EQ(path.lengthForPoint({40, 3}), 40);
    EXPECT_DOUBLE_EQ(path.lengthForPoint({103, 50}), 150);
    EXPECT_DOUBLE_EQ(path.lengthForPoint({40, 10}), -1);
    EXPECT_DOUBLE_EQ(path.lengthForPointTolerance({40, 10}, 10.5), 40);
    // A point off the end projects onto the end.
    EXPECT_DOUBLE_EQ(path.lengthForPointTolerance({-3, 0}, 4), 0);
    // On a circle the nearest length follows the angle.
    const BezierPath round = circle({0, 0}, 50);
    EXPECT_NEAR(round.lengthForPointTolerance({0, 60}, 20), round.length() / 4, 0.05);
}

TEST(PathMeasure, RangesAddUpKeepCurvesAndStartEachSubpathAfresh)
{
    const BezierPath line = polyline({{0, 0}, {100, 0}});
    const BezierPath middle = line.bezierPathWithRange(20, 30);
    EXPECT_DOUBLE_EQ(middle.length(), 30);
    EXPECT_EQ(middle.pointOnPathAtLengthSlope(0), QPointF(20, 0));
    EXPECT_EQ(middle.pointOnPathAtLengthSlope(30), QPointF(50, 0));
    // A negative length runs backwards from the location.
    EXPECT_DOUBLE_EQ(line.bezierPathWithRange(50, -30).length(), 30);
    EXPECT_EQ(line.bezierPathWithRange(50, -30).pointOnPathAtLengthSlope(0), QPointF(20, 0));

    BezierPath path = circle({0, 0}, 80);
    path.lineToPoint({300, 0});
    const double total = path.length();
    const double cuts[] = {0, 37.5, 120, total * 0.5, total - 150, total};
    double sum = 0;
    for (size_t i = 1; i < std::size(cuts); ++i) {
        const BezierPath piece = path.bezierPathWithRange(cuts[i - 1], cuts[i] - cuts[i - 1]);
        EXPECT_NEAR(piece.length(), cuts[i] - cuts[i - 1], 0.02) << i;
        // Each piece starts and ends where the whole path is at those lengths.
        EXPECT_NEAR(distance(piece.pointOnPathAtLengthSlope(0), path.pointOnPathAtLengthSlope(cuts[i - 1])), 0, 0.01);
        EXPECT_NEAR(distance(piece.pointOnPathAtLengthSlope(piece.length()), path.pointOnPathAtLengthSlope(cuts[i])), 0, 0.01);
        sum += piece.length();
    }
    EXPECT_NEAR(sum, total, 0.05);
    const BezierPath arc = path.bezierPathWithRange(10, 200);
    EXPECT_GT(curveCount(arc), 0);
    EXPECT_EQ(arc.lineWidth(), path.lineWidth());
    // Points of a cut curve stay on the circle: the curve was split, not flattened.
    EXPECT_NEAR(distance(arc.pointOnPathAtLengthSlope(77.7), {0, 0}), 80, 80 * 3e-4);

    BezierPath twoLines = polyline({{0, 0}, {10, 0}});
    twoLines.moveToPoint({0, 50});
    twoLines.lineToPoint({10, 50});
    const BezierPath both = twoLines.bezierPathWithRange(5, 10);
    EXPECT_DOUBLE_EQ(both.length(), 10);
    QPointF points[3];
    ASSERT_EQ(both.elementCount(), 4);
    EXPECT_EQ(both.elementAtIndexAssociatedPoints(2, points), PathElement::MoveTo);
    EXPECT_EQ(points[0], QPointF(0, 50));
}

TEST(PathMeasure, DegenerateAndHostileInputAnswersDefinedValues)
{
    const BezierPath empty;
    double slope = 9;
    EXPECT_EQ(empty.pointOnPathAtLengthSlope(10, &slope), QPointF());
    EXPECT_EQ(slope, 0);
    EXPECT_EQ((QList<double>{empty.length(), empty.lengthForPoint({0, 0}), empty.area()}), (QList<double>{0, -1, 0}));
    EXPECT_TRUE(empty.bezierPathWithRange(0, 10).isEmpty());
    EXPECT_EQ(empty.centroid(), QPointF());

    BezierPath point;
    point.moveToPoint({7, 8});
    EXPECT_EQ(point.length(), 0);
    EXPECT_EQ(point.pointOnPathAtLengthSlope(3), QPointF(7, 8));
    EXPECT_EQ(point.centroid(), QPointF(7, 8));
    EXPECT_TRUE(point.bezierPathWithRange(0, 1).isEmpty());
    const BezierPath stationary = polyline({{5, 5}, {5, 5}, {5, 5}});
    EXPECT_EQ(stationary.length(), 0);
    EXPECT_EQ(stationary.pointOnPathAtLengthSlope(1, &slope), QPointF(5, 5));
    EXPECT_DOUBLE_EQ(stationary.lengthForPoint({6, 5}), 0);

    // NaN and infinite points are not taken; NaN lengths and tolerances answer nothing.
    BezierPath withNaN = polyline({{0, 0}, {10, 0}});
    withNaN.lineToPoint({kNaN, 3});
    withNaN.curveToPointControlPoint1ControlPoint2({1, 1}, {kNaN, 0}, {0, 0});
    withNaN.moveToPoint({std::numeric_limits<double>::infinity(), 0});
    EXPECT_EQ(withNaN.elementCount(), 2);
    EXPECT_EQ(withNaN.length(), 10);
    EXPECT_EQ(withNaN.pointOnPathAtLengthSlope(kNaN), QPointF(0, 0));
    EXPECT_EQ(withNaN.lengthForPoint({kNaN, 0}), -1);
    EXPECT_EQ(withNaN.lengthForPointTolerance({5, 0}, kNaN), -1);
    EXPECT_TRUE(withNaN.bezierPathWithRange(kNaN, 5).isEmpty());
    EXPECT_TRUE(withNaN.bezierPathWithRange(2, kNaN).isEmpty());

    // Huge coordinates must not explode the flattening.
    BezierPath huge;
    huge.moveToPoint({0, 0});
    huge.curveToPointControlPoint1ControlPoint2({1e300, 0}, {1e300, 1e300}, {-1e300, 1e300});
    EXPECT_FALSE(std::isnan(huge.pointOnPathAtLengthSlope(1e10).x()));
}

TEST(PathMeasure, MutationDropsTheCachedFlatteningButCopiesShareIt)
{
    BezierPath path = polyline({{0, 0}, {10, 0}});
    const BezierPath copy = path;
    EXPECT_EQ(path.length(), 10);
    path.lineToPoint({10, 10});
    EXPECT_EQ(std::pair(path.length(), copy.length()), std::pair(20.0, 10.0));
    path.transformUsingAffineTransform(QTransform::fromScale(2, 2));
    EXPECT_EQ(path.length(), 40);
    path.removeAllPoints();
    EXPECT_EQ(path.length(), 0);
}
