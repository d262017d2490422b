// Building, shapes, stroking, reversal and interpolation of BezierPath.

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/BezierPath.h"

#include <QLineF>
#include <QVariant>
#include <cmath>
#include <gtest/gtest.h>

using namespace platform;

namespace {

BezierPath line(QPointF a, QPointF b)
{
    BezierPath path;
    path.moveToPoint(a);
    path.lineToPoint(b);
    return path;
}

QList<QPointF> onCurvePoints(const BezierPath& path)
{
    QList<QPointF> points;
    QPointF p[3];
    for (int i = 0; i < path.elementCount(); ++i)
        points << (path.elementAtIndexAssociatedPoints(i, p) == PathElement::CurveTo ? p[2] : p[0]);
    return points;
}

} // namespace

TEST(BezierPath, ElementsCountCurvesOnceAndRejectBadIndices)
{
    BezierPath path;
    path.moveToPoint({0, 0});
    path.curveToPointControlPoint1ControlPoint2({30, 0}, {10, 10}, {20, 10});
    path.lineToPoint({30, 30});
    ASSERT_EQ(path.elementCount(), 3);
    QPointF p[3];
    EXPECT_EQ(path.elementAtIndexAssociatedPoints(1, p), PathElement::CurveTo);
    EXPECT_EQ(p[0], QPointF(10, 10));
    EXPECT_EQ(p[1], QPointF(20, 10));
    EXPECT_EQ(p[2], QPointF(30, 0));
    EXPECT_THROW(path.elementAtIndexAssociatedPoints(3, p), AssertionFailure);
    EXPECT_THROW(path.elementAtIndexAssociatedPoints(-1, p), AssertionFailure);
    EXPECT_FALSE(path.isClosed());
    path.closePath();
    EXPECT_TRUE(path.isClosed());
    EXPECT_EQ(path.controlPointBounds(), QRectF(0, 0, 30, 30));
    EXPECT_LT(path.bounds().bottom(), 31);

    // Appending keeps the other path's subpaths as they are, open or closed.
    BezierPath combined = line({0, 0}, {5, 0});
    combined.appendBezierPath(line({0, 9}, {5, 9}));
    EXPECT_EQ(combined.elementCount(), 4);
    EXPECT_DOUBLE_EQ(combined.length(), 10);
    EXPECT_FALSE(combined.isClosed());
    // Paths travel in variants and compare by geometry and stroke state.
    BezierPath thick = combined;
    EXPECT_EQ(QVariant::fromValue(thick).value<BezierPath>(), combined);
    thick.setLineWidth(3);
    EXPECT_NE(thick, combined);
}

TEST(BezierPath, RoundedRectangleRoundsOnlyTheChosenCorners)
{
    const QRectF r(10, 20, 100, 60);
    const double cornerCut = (1 - M_PI / 4) * 100; // square minus quarter circle, radius 10
    // Flattening cuts inside each curve: up to 2/3 x 0.01 x arc length per corner.
    EXPECT_NEAR(BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, 10, kRoundedCornerAll).area(),
                6000 - 4 * cornerCut, 0.4);
    EXPECT_DOUBLE_EQ(BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, 10, 0).area(), 6000);
    // Options 5 round the two minimum-y corners (the top on a y-down screen).
    const BezierPath top =
        BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, 10, kRoundedCornerMinXMinY | kRoundedCornerMaxXMinY);
    EXPECT_NEAR(top.area(), 6000 - 2 * cornerCut, 0.2);
    EXPECT_FALSE(top.containsPoint({10.5, 20.5}));
    EXPECT_FALSE(top.containsPoint({109.5, 20.5}));
    EXPECT_TRUE(top.containsPoint({10.5, 79.5}));
    EXPECT_TRUE(top.containsPoint({109.5, 79.5}));
    const BezierPath single = BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, 10, kRoundedCornerMinXMaxY);
    EXPECT_FALSE(single.containsPoint({10.5, 79.5}));
    EXPECT_TRUE(single.containsPoint({10.5, 20.5}));
    // The radius is limited to half the shorter side: a capsule.
    EXPECT_NEAR(BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, 500, kRoundedCornerAll).area(),
                40 * 60 + M_PI * 900, 0.5);
}

TEST(BezierPath, CappedBoxesCapsulesTargetsAndIrises)
{
    const BezierPath capped = BezierPath::bezierPathWithCappedBoxInRect({0, 0, 100, 20});
    EXPECT_NEAR(capped.area(), 80 * 20 + M_PI * 100, 0.4);
    EXPECT_TRUE(capped.isClosed());
    EXPECT_NEAR(capped.bounds().left(), 0, 1e-3);
    EXPECT_NEAR(capped.bounds().right(), 100, 1e-3);

    EXPECT_NEAR(BezierPath::bezierPathWithRoundEndedRectInRect({0, 0, 20, 100}).area(), 80 * 20 + M_PI * 100, 0.4);
    EXPECT_NEAR(BezierPath::bezierPathWithRoundEndedRectInRect({0, 0, 40, 40}).area(), M_PI * 400, 0.5);

    const BezierPath target = BezierPath::bezierPathWithTargetInRect({0, 0, 40, 20});
    EXPECT_EQ(target.bounds(), QRectF(0, 0, 40, 20));
    EXPECT_NEAR(target.area(), M_PI * 10 * 5, 0.2); // the two centre lines enclose nothing

    const double r = 50, w = 10;
    const QSizeF tab(20, 8);
    const BezierPath iris = BezierPath::bezierPathWithIrisRingWithRadiusWidthTabSize(r, w, tab);
    EXPECT_EQ(iris.windingRule(), WindingRule::EvenOdd);
    EXPECT_TRUE(iris.containsPoint({0, r}));             // in the ring
    EXPECT_FALSE(iris.containsPoint({0, 0}));            // in the hole
    EXPECT_TRUE(iris.containsPoint({r + w / 2 + 15, 0})); // in the tab
    EXPECT_FALSE(iris.containsPoint({r + w / 2 + 15, 6}));
    const BezierPath tabPath = BezierPath::bezierPathWithIrisTabWithRadiusWidthTabSize(r, w, tab);
    EXPECT_EQ(tabPath.bounds(), QRectF(55, -4, 20, 8));
}

TEST(BezierPath, StrokedOutlineFollowsWidthCapsJoinsAndDash)
{
    const BezierPath segment = line({0, 0}, {100, 0});
    EXPECT_NEAR(segment.strokedPathWithStrokeWidth(10).area(), 1000, 0.5);
    EXPECT_EQ(segment.strokedPathWithStrokeWidth(10).windingRule(), WindingRule::NonZero);

    BezierPath rounded = segment;
    rounded.setLineCapStyle(LineCapStyle::Round);
    EXPECT_NEAR(rounded.strokedPathWithStrokeWidth(10).area(), 1000 + M_PI * 25, 1.0);
    EXPECT_NEAR(rounded.bufferedPathWithBufferDistance(5).area(), 1000 + M_PI * 25, 1.0);
    EXPECT_EQ(rounded.bufferedPathWithBufferDistanceLineCapStyleLineJoinStyle(5, LineCapStyle::Square,
                                                                              LineJoinStyle::Bevel)
                  .bounds(),
              QRectF(-5, -5, 110, 10));
    EXPECT_EQ(rounded.lineCapStyle(), LineCapStyle::Round); // the caller's path keeps its caps

    BezierPath dashed = segment;
    dashed.setLineDash({{10, 10}, 0});
    EXPECT_NEAR(dashed.strokedPathWithStrokeWidth(4).area(), 200, 1.0); // five dashes of 10 x 4
    EXPECT_FALSE(dashed.strokedPathWithStrokeWidth(4).containsPoint({15, 0}));
    dashed.setLineDash({{0, 0}, 0}); // a dash without length is refused
    EXPECT_TRUE(dashed.lineDash().isEmpty());

    // Miter limit as a ratio of miter length to width: 10 keeps a 14 degree corner sharp
    // (ratio 8.2) and bevels a 9 degree one (ratio 12.7).
    auto spike = [](double degrees) {
        const double a = qDegreesToRadians(degrees);
        BezierPath v;
        v.moveToPoint({-100 * std::cos(a / 2), -100 * std::sin(a / 2)});
        v.lineToPoint({0, 0});
        v.lineToPoint({-100 * std::cos(a / 2), 100 * std::sin(a / 2)});
        return v.strokedPathWithStrokeWidth(2).bounds().right();
    };
    EXPECT_NEAR(spike(14), 1 / std::sin(qDegreesToRadians(7.0)), 0.2);
    EXPECT_LT(spike(9), 1.5);

    EXPECT_TRUE(segment.strokedPathWithStrokeWidth(0).isEmpty());
    EXPECT_TRUE(segment.strokedPathWithStrokeWidth(std::nan("")).isEmpty());
    EXPECT_TRUE(BezierPath().strokedPathWithStrokeWidth(5).isEmpty());
}

TEST(BezierPath, ReversalKeepsLengthAndSwapsEnds)
{
    BezierPath path;
    path.moveToPoint({0, 0});
    path.curveToPointControlPoint1ControlPoint2({100, 0}, {20, 50}, {80, 50});
    path.lineToPoint({100, 100});
    path.moveToPoint({200, 0});
    path.lineToPoint({250, 0});
    const BezierPath reversed = path.bezierPathByReversingPath();
    EXPECT_NEAR(reversed.length(), path.length(), 1e-6);
    EXPECT_EQ(onCurvePoints(reversed), (QList<QPointF>{{100, 100}, {100, 0}, {0, 0}, {250, 0}, {200, 0}}));
    // The reversed curve passes through the same middle point.
    BezierPath curveOnly;
    curveOnly.moveToPoint({0, 0});
    curveOnly.curveToPointControlPoint1ControlPoint2({100, 0}, {20, 50}, {80, 50});
    const BezierPath back = curveOnly.bezierPathByReversingPath();
    EXPECT_NEAR(QLineF(back.pointOnPathAtLengthSlope(back.length() / 2),
                       curveOnly.pointOnPathAtLengthSlope(curveOnly.length() / 2))
                    .length(),
                0, 1e-6);
    EXPECT_TRUE(BezierPath().bezierPathByReversingPath().isEmpty());
}

TEST(BezierPath, InterpolationPassesThroughThePointsAndFlatteningApproximates)
{
    BezierPath zigzag;
    zigzag.appendBezierPathWithPoints(QPolygonF{{0, 0}, {10, 10}, {20, 0}, {30, 10}});
    const BezierPath straight = zigzag.bezierPathByInterpolatingPath(0);
    EXPECT_NEAR(straight.length(), zigzag.length(), 1e-6);
    const BezierPath smooth = zigzag.bezierPathByInterpolatingPath(1);
    EXPECT_EQ(onCurvePoints(smooth), onCurvePoints(zigzag));
    EXPECT_GT(smooth.length(), zigzag.length());
    // Smooth at the inner points: the slope before and after a point agrees.
    double before = 0, after = 0;
    const double at10 = smooth.lengthForPointTolerance({10, 10}, 1e-6);
    smooth.pointOnPathAtLengthSlope(at10 - 1e-4, &before);
    smooth.pointOnPathAtLengthSlope(at10 + 1e-4, &after);
    EXPECT_NEAR(before, after, 1e-3);

    const BezierPath circle = BezierPath::bezierPathWithOvalInRect({0, 0, 100, 100});
    const BezierPath flat = circle.bezierPathByFlatteningPath();
    EXPECT_GT(flat.elementCount(), 40);
    for (const QPointF& p : onCurvePoints(flat))
        EXPECT_NEAR(QLineF(p, {50, 50}).length(), 50, 0.02);
    EXPECT_NEAR(flat.length(), circle.length(), 1e-9);
}

TEST(BezierPath, ArcsAndStrokeStateValidation)
{
    BezierPath arc;
    arc.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({0, 0}, 10, 0, 90, false);
    EXPECT_NEAR(arc.length(), M_PI * 5, 1e-2);
    EXPECT_NEAR(arc.currentPoint().y(), 10, 1e-9);
    BezierPath clockwise;
    clockwise.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({0, 0}, 10, 0, 90, true);
    EXPECT_NEAR(clockwise.length(), M_PI * 15, 2e-2);

    BezierPath path;
    path.setLineWidth(-2);
    path.setLineWidth(std::nan(""));
    EXPECT_EQ(path.lineWidth(), 1);
    path.setMiterLimit(0.2);
    EXPECT_EQ(path.miterLimit(), 10);
    path.setLineDash({{4, std::nan("")}, 0});
    EXPECT_TRUE(path.lineDash().isEmpty());
    path.setLineDash({{6, 2, 1}, 3});
    path.setLineWidth(2);
    const QPen pen = path.penWithColour(Qt::red);
    EXPECT_EQ(pen.dashPattern(), (QList<qreal>{3, 1, 0.5, 3, 1, 0.5})); // in widths, doubled to even length
    EXPECT_EQ(pen.dashOffset(), 1.5);
}
