#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/tools/PathPointEditing.h"
#include "platform/graphics/PolylineSimplification.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"

using platform::BezierPath;
using viewtest::ViewFixture;
using viewtest::onPathPoints;

namespace {

BezierPath polyline(const QList<QPointF>& points, bool closed)
{
    BezierPath path;
    path.moveToPoint(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineToPoint(points[i]);
    if (closed)
        path.closePath();
    return path;
}

// Points along both paths at the same fractions of their length agree.
void expectSameShape(const BezierPath& a, const BezierPath& b)
{
    ASSERT_NEAR(a.length(), b.length(), 1e-2);
    for (int i = 0; i <= 20; ++i) {
        const double at = a.length() * i / 20;
        const QPointF pa = a.pointOnPathAtLengthSlope(at), pb = b.pointOnPathAtLengthSlope(at);
        EXPECT_NEAR(pa.x(), pb.x(), 1e-2) << i;
        EXPECT_NEAR(pa.y(), pb.y(), 1e-2) << i;
    }
}

} // namespace

TEST(PathPointEditing, InsertingSplitsLinesAndCurvesWithoutChangingTheShape)
{
    const BezierPath line = polyline({{0, 0}, {100, 0}, {100, 50}}, false);
    const auto onLine = platform::bezierPathByInsertingPointNear(line, {40, 2}, 3);
    ASSERT_TRUE(onLine);
    EXPECT_EQ(onPathPoints(*onLine), (QList<QPointF>{{0, 0}, {40, 0}, {100, 0}, {100, 50}}));
    expectSameShape(line, *onLine);

    BezierPath curve;
    curve.moveToPoint({0, 0});
    curve.curveToPointControlPoint1ControlPoint2({100, 0}, {0, 80}, {100, 80});
    const QPointF middle(50, 60); // the curve's point at t = 0.5
    const auto onCurve = platform::bezierPathByInsertingPointNear(curve, middle, 1);
    ASSERT_TRUE(onCurve);
    ASSERT_EQ(onCurve->elementCount(), 3);
    EXPECT_NEAR(onPathPoints(*onCurve)[1].x(), 50, 1e-6);
    EXPECT_NEAR(onPathPoints(*onCurve)[1].y(), 60, 1e-6);
    expectSameShape(curve, *onCurve);

    // Too far from the path, or on a point already there.
    EXPECT_FALSE(platform::bezierPathByInsertingPointNear(line, {40, 10}, 3));
    EXPECT_FALSE(platform::bezierPathByInsertingPointNear(line, {100, 0}, 3));
    EXPECT_FALSE(platform::bezierPathByInsertingPointNear(BezierPath(), {0, 0}, 3));
}

TEST(PathPointEditing, DeletingJoinsTheNeighboursAndKeepsClosedPathsClosed)
{
    const BezierPath square = polyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
    const auto corner = platform::bezierPathByDeletingPointNear(square, {99, 99}, 3);
    ASSERT_TRUE(corner);
    EXPECT_TRUE(corner->isClosed());
    EXPECT_EQ(onPathPoints(*corner).mid(0, 3), (QList<QPointF>{{0, 0}, {100, 0}, {0, 100}}));
    EXPECT_NEAR(corner->area(), 5000, 1e-6);

    // Deleting where a closed path starts moves its start to the next point.
    const auto start = platform::bezierPathByDeletingPointNear(square, {1, 1}, 3);
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->isClosed());
    EXPECT_EQ(onPathPoints(*start).first(), QPointF(100, 0));
    EXPECT_NEAR(start->area(), 5000, 1e-6);

    const BezierPath line = polyline({{0, 0}, {50, 0}}, false);
    EXPECT_FALSE(platform::bezierPathByDeletingPointNear(line, {50, 0}, 3)); // a line keeps both ends
    EXPECT_FALSE(platform::bezierPathByDeletingPointNear(square, {50, 50}, 3));
    const BezierPath open = polyline({{0, 0}, {50, 0}, {50, 50}}, false);
    EXPECT_EQ(onPathPoints(*platform::bezierPathByDeletingPointNear(open, {0, 0}, 3)),
              (QList<QPointF>{{50, 0}, {50, 50}}));
}

TEST(PathPointEditing, SimplifyingKeepsEndsAndPointsBeyondTheTolerance)
{
    const QList<QPointF> track{{0, 0}, {10, 1}, {20, -1}, {30, 0}, {30, 30}, {30, 30}};
    EXPECT_EQ(platform::simplifiedPolyline(track, 2), (QList<QPointF>{{0, 0}, {30, 0}, {30, 30}}));
    EXPECT_EQ(platform::simplifiedPolyline(track, 0.5).size(), 5); // the repeated end collapses
    EXPECT_EQ(platform::simplifiedPolyline({{1, 1}, {1, 1}}, 2).size(), 2);
    // A track that comes back on itself keeps its far end.
    EXPECT_EQ(platform::simplifiedPolyline({{0, 0}, {50, 0}, {0, 0}}, 2), (QList<QPointF>{{0, 0}, {50, 0}, {0, 0}}));
}

TEST(PathPointTools, ClicksEditTheSelectedPathOneUndoStepEachButNotParametricPathsOrLockedLayers)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    const BezierPath original = polyline({{20, 20}, {120, 20}, {120, 100}}, false);
    const BezierPath otherPath = polyline({{20, 150}, {120, 150}}, false);
    auto path = VXDrawablePath::drawablePathWithBezierPath(original);
    auto other = VXDrawablePath::drawablePathWithBezierPath(otherPath);
    f.layer->addObjectsFromArray({path, other});
    f.layer->replaceSelectionWithObject(path);
    f.forgetEdits();

    f.useTool("Insert Path Point");
    f.click({70, 21});
    f.click({70, 150}); // not selected
    const QList<QPointF> inserted{{20, 20}, {70, 20}, {120, 20}, {120, 100}};
    EXPECT_EQ(onPathPoints(path->path()), inserted);
    EXPECT_EQ(other->path(), otherPath);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Insert Path Point");
    f.useTool("Delete Path Point");
    f.click({120, 21});
    EXPECT_EQ(onPathPoints(path->path()), (QList<QPointF>{{20, 20}, {70, 20}, {120, 100}}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.undo->undoActionName(), "Delete Path Point");
    f.undo->undo();
    EXPECT_EQ(onPathPoints(path->path()), inserted);
    f.undo->undo();
    EXPECT_EQ(path->path(), original);
    f.undo->redo();
    EXPECT_EQ(onPathPoints(path->path()), inserted);

    // A regular polygon keeps its points; so does any path on a locked layer.
    auto polygon = std::make_shared<VXRegularPolygonPath>();
    polygon->setLocation({100, 100});
    polygon->setRadius(50);
    f.layer->addObject(polygon);
    f.layer->exchangeSelectionWithObjectsFromArray({polygon, path});
    const BezierPath polygonPath = polygon->path();
    f.layer->setLocked(true);
    f.forgetEdits();
    f.click({20, 20}); // deleting, then inserting
    f.useTool("Insert Path Point");
    f.click({95, 20});
    EXPECT_EQ(onPathPoints(path->path()), inserted);
    f.layer->setLocked(false);
    f.forgetEdits();
    f.click(onPathPoints(polygonPath)[0].toPoint());
    f.useTool("Delete Path Point");
    f.click(onPathPoints(polygonPath)[1].toPoint());
    EXPECT_EQ(polygon->path(), polygonPath);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}
