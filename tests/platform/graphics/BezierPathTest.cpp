// Building, shapes, stroking, reversal and interpolation of BezierPath.

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/BezierPath.h"

#include <QLineF>
#include <QVariant>
#include <cmath>
#include <gtest/gtest.h>

using namespace platform;

namespace {

BezierPath polyline(std::initializer_list<QPointF> points)
{
    BezierPath path;
    path.appendBezierPathWithPoints(QPolygonF(QList<QPointF>(points)));
    return path;
}

BezierPath line(QPointF a, QPointF b) { return polyline({a, b}); }

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
    EXPECT_EQ((QList<QPointF>{p[0], p[1], p[2]}), (QList<QPointF>{{10, 10}, {20, 10}, {30, 0}}));
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

TEST(BezierPath, ShapesEncloseTheirAreas)
{
    const QRectF r(10, 20, 100, 60);
    const double cornerCut = (1 - M_PI / 4) * 100; // square minus quarter circle, radius 10
    const auto rounded = [&](double radius, int corners) {
        return BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, radius, corners);
    };
    // Flattening cuts inside each curve: up to 2/3 x 0.01 x arc length per corner.
    EXPECT_NEAR(rounded(10, kRoundedCornerAll).area(), 6000 - 4 * cornerCut, 0.4);
    EXPECT_DOUBLE_EQ(rounded(10, 0).area(), 6000);
    // The radius is limited to half the shorter side: a capsule.
    EXPECT_NEAR(rounded(500, kRoundedCornerAll).area(), 40 * 60 + M_PI * 900, 0.5);
    // The two minimum-y corners are the top on a y-down screen.
    const BezierPath top = rounded(10, kRoundedCornerMinXMinY | kRoundedCornerMaxXMinY);
    const BezierPath single = rounded(10, kRoundedCornerMinXMaxY);
    EXPECT_NEAR(top.area(), 6000 - 2 * cornerCut, 0.2);
    const QPointF corners[] = {{10.5, 20.5}, {109.5, 20.5}, {10.5, 79.5}, {109.5, 79.5}};
    EXPECT_EQ((QList<bool>{top.containsPoint(corners[0]), top.containsPoint(corners[1]), top.containsPoint(corners[2]),
                           top.containsPoint(corners[3]), single.containsPoint(corners[0]), single.containsPoint(corners[2])}),
              (QList<bool>{false, false, true, true, true, false}));

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

    const double radius = 50, width = 10;
    const QSizeF tab(20, 8);
    const BezierPath iris = BezierPath::bezierPathWithIrisRingWithRadiusWidthTabSize(radius, width, tab);
    EXPECT_EQ(iris.windingRule(), WindingRule::EvenOdd);
    // In the ring, in the hole, in the tab, beside the tab.
    EXPECT_EQ((QList<bool>{iris.containsPoint({0, radius}), iris.containsPoint({0, 0}),
                           iris.containsPoint({radius + width / 2 + 15, 0}), iris.containsPoint({radius + width / 2 + 15, 6})}),
              (QList<bool>{true, false, true, false}));
    EXPECT_EQ(BezierPath::bezierPathWithIrisTabWithRadiusWidthTabSize(radius, width, tab).bounds(), QRectF(55, -4, 20, 8));
}

TEST(BezierPath, StrokedOutlineFollowsWidthCapsJoinsDashAndValidatedStrokeState)
{
    const BezierPath segment = line({0, 0}, {100, 0});
    EXPECT_NEAR(segment.strokedPathWithStrokeWidth(10).area(), 1000, 0.5);
    EXPECT_EQ(segment.strokedPathWithStrokeWidth(10).windingRule(), WindingRule::NonZero);
    BezierPath rounded = segment;
    rounded.setLineCapStyle(LineCapStyle::Round);
    EXPECT_NEAR(rounded.strokedPathWithStrokeWidth(10).area(), 1000 + M_PI * 25, 1.0);
    EXPECT_NEAR(rounded.bufferedPathWithBufferDistance(5).area(), 1000 + M_PI * 25, 1.0);
    EXPECT_EQ(rounded.bufferedPathWithBufferDistanceLineCapStyleLineJoinStyle(5, LineCapStyle::Square, LineJoinStyle::Bevel)
                  .bounds(),
              QRectF(-5, -5, 110, 10));
    EXPECT_EQ(rounded.lineCapStyle(), LineCapStyle::Round); // the caller's path keeps its caps

    BezierPath dashed = segment;
    dashed.setLineDash({{10, 10}, 0});
    EXPECT_NEAR(dashed.strokedPathWithStrokeWidth(4).area(), 200, 1.0); // five dashes of 10 x 4
    EXPECT_FALSE(dashed.strokedPathWithStrokeWidth(4).containsPoint({15, 0}));
    // Dashes without length or with NaN are refused: the stroker would never advance.
    dashed.setLineDash({{0, 0}, 0});
    EXPECT_TRUE(dashed.lineDash().isEmpty());
    dashed.setLineDash({{4, std::nan("")}, 0});
    EXPECT_TRUE(dashed.lineDash().isEmpty());

    // Miter limit as a ratio of miter length to width: 10 keeps a 14 degree corner sharp
    // (ratio 8.2) and bevels a 9 degree one (ratio 12.7).
    auto spike = [](double degrees) {
        const double a = qDegreesToRadians(degrees);
        return polyline({{-100 * std::cos(a / 2), -100 * std::sin(a / 2)}, {0, 0}, {-100 * std::cos(a / 2), 100 * std::sin(a / 2)}})
            .strokedPathWithStrokeWidth(2)
            .bounds()
            .right();
    };
    EXPECT_NEAR(spike(14), 1 / std::sin(qDegreesToRadians(7.0)), 0.2);
    EXPECT_LT(spike(9), 1.5);
    EXPECT_TRUE(segment.strokedPathWithStrokeWidth(0).isEmpty());
    EXPECT_TRUE(segment.strokedPathWithStrokeWidth(std::nan("")).isEmpty());
    EXPECT_TRUE(BezierPath().strokedPathWithStrokeWidth(5).isEmpty());

    BezierPath path;
    path.setLineWidth(-2);
    path.setLineWidth(std::nan(""));
    path.setMiterLimit(0.2);
    EXPECT_EQ(std::pair(path.lineWidth(), path.miterLimit()), std::pair(1.0, 10.0));
    path.setLineDash({{6, 2, 1}, 3});
    path.setLineWidth(2);
    const QPen pen = path.penWithColour(Qt::red);
    EXPECT_EQ(pen.dashPattern(), (QList<qreal>{3, 1, 0.5, 3, 1, 0.5})); // in widths, doubled to even length
    EXPECT_EQ(pen.dashOffset(), 1.5);
    // A dash that would repeat billions of times along a huge path (a hostile file's) draws solid.
    path.moveToPoint({0, 0});
    path.lineToPoint({1e12, 0});
    EXPECT_EQ(path.penWithColour(Qt::red).style(), Qt::SolidLine);
}

TEST(BezierPath, ReversalInterpolationFlatteningAndArcs)
{
    BezierPath curve;
    curve.moveToPoint({0, 0});
    curve.curveToPointControlPoint1ControlPoint2({100, 0}, {20, 50}, {80, 50});
    BezierPath path = curve;
    path.lineToPoint({100, 100});
    path.moveToPoint({200, 0});
    path.lineToPoint({250, 0});
    const BezierPath reversed = path.bezierPathByReversingPath();
    EXPECT_NEAR(reversed.length(), path.length(), 1e-6);
    EXPECT_EQ(onCurvePoints(reversed), (QList<QPointF>{{100, 100}, {100, 0}, {0, 0}, {250, 0}, {200, 0}}));
    // The reversed curve passes through the same middle point.
    const BezierPath back = curve.bezierPathByReversingPath();
    EXPECT_NEAR(QLineF(back.pointOnPathAtLengthSlope(back.length() / 2), curve.pointOnPathAtLengthSlope(curve.length() / 2)).length(),
                0, 1e-6);
    EXPECT_TRUE(BezierPath().bezierPathByReversingPath().isEmpty());

    const BezierPath zigzag = polyline({{0, 0}, {10, 10}, {20, 0}, {30, 10}});
    EXPECT_NEAR(zigzag.bezierPathByInterpolatingPath(0).length(), zigzag.length(), 1e-6);
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

    for (bool clockwise : {false, true}) {
        BezierPath arc;
        arc.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise({0, 0}, 10, 0, 90, clockwise);
        EXPECT_NEAR(arc.length(), M_PI * (clockwise ? 15 : 5), clockwise ? 2e-2 : 1e-2);
        EXPECT_NEAR(arc.currentPoint().y(), 10, 1e-9);
    }
}
