#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRoundEndRectShape.h"
#include "platform/vantrix/drawables/VXTextPath.h"

using viewtest::ViewFixture;
using viewtest::expectRectNear;

namespace {

QList<QPointF> onPathPoints(const platform::BezierPath& path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        QPointF p[3];
        points.append(path.elementAtIndexAssociatedPoints(i, p) == platform::PathElement::CurveTo ? p[2] : p[0]);
    }
    return points;
}

// Draws an arc: drag out the radius and start angle, then click at the end angle.
void drawArc(ViewFixture& f, QPointF centre, QPointF start, QPointF end)
{
    f.drag(centre, start);
    f.move(end);
    f.click(end);
}

} // namespace

TEST(ToolShapeCreation, RoundEndRectangleFillsTheDragWithRoundEnds)
{
    ViewFixture f;
    f.useTool("Round End Rectangle");
    f.drag({10, 20}, {110, 60});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    const VXDrawableObjectPtr made = f.layer->objectInObjectsAtIndex(0);
    expectRectNear(made->renderingPath().bounds(), QRectF(10, 20, 100, 40), 1e-3);
    EXPECT_TRUE(qobject_cast<VXRoundEndRectShape*>(made.get()));
    // Half circles of radius 20 end a straight run: corners are cut away, the run is not
    // (a stretched circle would miss the run's ends).
    const platform::BezierPath outline = made->renderingPath();
    EXPECT_FALSE(outline.containsPoint({12, 22}));
    EXPECT_TRUE(outline.containsPoint({30, 21}));
    EXPECT_TRUE(outline.containsPoint({90, 59}));
    EXPECT_FALSE(outline.containsPoint({108, 58}));

    // The copy the tool makes survives an archive round trip as the same kind of shape.
    const VXDrawableObjectPtr copy = made->copyDrawable();
    EXPECT_TRUE(qobject_cast<VXRoundEndRectShape*>(copy.get()));
    EXPECT_EQ(copy->renderingPath(), outline);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "New Round End Rectangle");
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
}

TEST(ToolShapeCreation, PolygonIsClosedThroughTheClickedPoints)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    f.useTool("Polygon");
    f.click({20, 20});
    f.click({120, 20});
    f.click({120, 90});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({20, 90}));
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    auto* polygon = qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(0).get());
    ASSERT_TRUE(polygon);
    EXPECT_TRUE(polygon->path().isClosed());
    const QList<QPointF> points = onPathPoints(polygon->path());
    ASSERT_GE(points.size(), 4);
    EXPECT_EQ(points.mid(0, 4), (QList<QPointF>{{20, 20}, {120, 20}, {120, 90}, {20, 90}}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "New Polygon");

    // A click on the first point also ends it; points in a row enclose nothing.
    f.click({20, 150});
    f.click({60, 150});
    f.click({100, 150});
    f.click({20, 150});
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
}

TEST(ToolShapeCreation, FreehandKeepsOnlyThePointsTheToleranceNeeds)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    ASSERT_DOUBLE_EQ(VXDrawablePath::defaultFreehandEpsilon(), 2.0);
    f.useTool("Freehand");
    // Along x with a wobble of one unit, then straight down: a corner and two ends survive.
    f.press({10, 10});
    for (int x = 20; x <= 100; x += 10)
        f.move({double(x), x % 20 ? 11.0 : 10.0});
    for (int y = 20; y <= 80; y += 10)
        f.move({100, double(y)});
    f.release({100, 80});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    auto* stroke = qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(0).get());
    ASSERT_TRUE(stroke);
    EXPECT_EQ(onPathPoints(stroke->path()), (QList<QPointF>{{10, 10}, {100, 10}, {100, 80}}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "New Freehand");

    // A tighter tolerance keeps the wobble.
    VXDrawablePath::setDefaultFreehandEpsilon(0.5);
    f.press({10, 100});
    f.move({20, 101});
    f.move({30, 100});
    f.release({30, 100});
    VXDrawablePath::setDefaultFreehandEpsilon(2.0);
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    auto* wobble = qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(1).get());
    EXPECT_EQ(onPathPoints(wobble->path()), (QList<QPointF>{{10, 100}, {20, 101}, {30, 100}}));

    f.click({50, 50}); // no track, no stroke
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
}

TEST(ToolShapeCreation, ArcAndWedgeTakeRadiusAndBothAngles)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    f.useTool("Arc");
    drawArc(f, {100, 100}, {150, 100}, {100, 130});
    f.useTool("Wedge");
    drawArc(f, {100, 100}, {100, 60}, {140, 100}); // from straight up round to the right
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.undo->undoActionName(), "New Wedge");

    auto* arc = qobject_cast<VXArcPath*>(f.layer->objectInObjectsAtIndex(0).get());
    ASSERT_TRUE(arc);
    EXPECT_EQ(arc->arcType(), VXArcPath::kVXArcPathOpenArc);
    EXPECT_EQ(arc->location(), QPointF(100, 100));
    EXPECT_DOUBLE_EQ(arc->radius(), 50.0);
    EXPECT_NEAR(arc->startAngle(), 0.0, 1e-9);
    EXPECT_NEAR(arc->endAngle(), 90.0, 1e-9);
    expectRectNear(arc->renderingPath().bounds(), QRectF(100, 100, 50, 50), 1e-6);

    auto* wedge = qobject_cast<VXArcPath*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(wedge);
    EXPECT_EQ(wedge->arcType(), VXArcPath::kVXArcPathWedge);
    EXPECT_DOUBLE_EQ(wedge->radius(), 40.0);
    EXPECT_NEAR(wedge->startAngle(), 270.0, 1e-9);
    EXPECT_NEAR(wedge->subtendedAngle(), 90.0, 1e-9);
    expectRectNear(wedge->renderingPath().bounds(), QRectF(100, 60, 40, 40), 1e-6);

    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 1);

    // No radius, or no turn, makes nothing.
    f.useTool("Arc");
    f.click({50, 50});
    drawArc(f, {50, 50}, {80, 50}, {90, 50});
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->groupingLevel(), 0);
}

TEST(ToolShapeCreation, TextPathRunsAlongTheDraggedLine)
{
    ViewFixture f;
    f.useTool("Text Path");
    f.drag({20, 50}, {120, 90});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    auto* textPath = qobject_cast<VXTextPath*>(f.layer->objectInObjectsAtIndex(0).get());
    ASSERT_TRUE(textPath);
    EXPECT_EQ(onPathPoints(textPath->path()), (QList<QPointF>{{20, 50}, {120, 90}}));
    EXPECT_EQ(textPath->string(), "Text");
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "New Text Path");

    f.useTool("Text Path");
    f.click({30, 30});
    EXPECT_EQ(f.layer->countOfObjects(), 1);
}

TEST(ToolShapeCreation, LockedOrHiddenLayersRefuseEveryNewTool)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    for (const bool locked : {true, false}) {
        f.layer->setLocked(locked);
        f.layer->setVisible(locked);
        f.endStep();
        f.undo->removeAllActions();
        for (const char* name : {"Round End Rectangle", "Freehand", "Text Path", "Polygon", "Arc"}) {
            SCOPED_TRACE(name);
            f.useTool(name);
            // Every gesture the tools know: a drag, a point, a click back on the start.
            drawArc(f, {20, 20}, {80, 60}, {20, 90});
            f.click({20, 20});
            EXPECT_FALSE(f.layer->pendingObject());
            EXPECT_EQ(f.undo->groupingLevel(), 0);
        }
    }
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}
