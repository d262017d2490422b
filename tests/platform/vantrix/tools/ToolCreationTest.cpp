#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundEndRectShape.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/PreferencesScope.h"

using viewtest::ViewFixture;
using viewtest::expectRectNear;
using viewtest::onPathPoints;

namespace {

// A view whose tools stay chosen after they make something.
struct CreationFixture : ViewFixture {
    CreationFixture() { view.toolController()->setAutomaticallyRevertsToSelectionTool(false); }
    VXDrawableObject* made(int index) const { return layer->objectInObjectsAtIndex(index).get(); }
    QList<QPointF> pointsOf(int index) const
    {
        return onPathPoints(qobject_cast<VXDrawablePath*>(made(index))->path());
    }
    // The second press's event alone, as QTest sends it.
    void doubleClick(QPointF p) { QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at(p)); }
    // An arc: drag out the radius and start angle, then click at the end angle.
    void drawArc(QPointF centre, QPointF start, QPointF end)
    {
        drag(centre, start);
        move(end);
        click(end);
    }
};

} // namespace

TEST(ToolCreation, RectangleDragMakesOneObjectInOneUndoStep)
{
    ViewFixture f;
    const VXStylePtr red = drawingtest::fillStyle(Qt::red);
    auto tool = std::dynamic_pointer_cast<VXObjectCreationTool>(VXDrawingTool::drawingToolWithName("Rectangle"));
    ASSERT_TRUE(tool);
    tool->setStyle(red);
    f.useTool("Rectangle");

    f.press({30, 40});
    f.move({60, 60});
    EXPECT_TRUE(f.layer->pendingObject());
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    f.move({90, 70});
    f.release({90, 70});
    tool->setStyle(nullptr);

    ASSERT_EQ(f.layer->countOfObjects(), 1);
    const VXDrawableObjectPtr made = f.layer->objectInObjectsAtIndex(0);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_TRUE(made->style()->isEqualToStyle(red.get())); // the drawing's own copy of it
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "New Rectangle");
    // Having made something, the view goes back to selecting.
    EXPECT_TRUE(f.view.toolController()->drawingTool()->isSelectionTool());

    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    f.undo->redo();
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    expectRectNear(f.layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(30, 40, 60, 30));
}

TEST(ToolCreation, EachDocumentEditsAndUndoesItsOwnCopyOfAToolsStyle)
{
    auto a = std::make_unique<CreationFixture>();
    CreationFixture b;
    const VXStylePtr toolStyle = drawingtest::strokeStyle(Qt::black, 2);
    VXObjectCreationTool::setStyleForCreatedObjects(toolStyle);
    for (CreationFixture* f : {a.get(), &b, a.get()}) {
        f->useTool("Rectangle");
        f->drag({20, 20}, {60, 50});
        f->forgetEdits();
    }
    VXObjectCreationTool::setStyleForCreatedObjects(nullptr);
    ASSERT_EQ(a->layer->countOfObjects(), 2);
    ASSERT_EQ(b.layer->countOfObjects(), 1);
    const VXStylePtr styleA = a->made(0)->style();
    const VXStylePtr styleB = b.made(0)->style();
    EXPECT_EQ(a->made(1)->style(), styleA); // shared within a document
    EXPECT_NE(styleA, styleB);
    EXPECT_NE(styleA, toolStyle);
    EXPECT_TRUE(styleB->isEqualToStyle(toolStyle.get()));

    const auto widthOf = [](const VXStylePtr& style) { return style->renderersOfClass<VXStroke>().first()->width(); };
    const QRectF boundsB = b.made(0)->bounds();
    styleA->renderersOfClass<VXStroke>().first()->setWidth(8); // as an inspector on map A would
    a->endStep();
    styleB->setStrokeColour(Qt::red);
    b.endStep();
    EXPECT_EQ(a->undo->numberOfUndoActions(), 1);
    EXPECT_EQ(a->undo->undoActionName(), "Stroke Width");
    EXPECT_EQ(b.undo->numberOfUndoActions(), 1);
    EXPECT_GT(a->made(1)->bounds().width(), boundsB.width()); // A's objects took the width, B's did not
    EXPECT_EQ(b.made(0)->bounds(), boundsB);
    EXPECT_EQ(widthOf(toolStyle), 2);

    a->undo->undo();
    EXPECT_EQ(widthOf(styleA), 2);
    EXPECT_EQ(styleB->strokeColour(), QColor(Qt::red));
    a->undo->redo();
    EXPECT_EQ(widthOf(styleA), 8);

    // A style both documents use takes its undo from the document doing the edit.
    a->made(0)->setStyle(styleB);
    a->forgetEdits();
    {
        const VXRasterizer::EditingScope editing(b.undo.get());
        styleB->setStrokeColour(Qt::blue);
    }
    a->endStep();
    b.endStep();
    EXPECT_EQ(a->undo->numberOfUndoActions(), 0);
    EXPECT_EQ(b.undo->numberOfUndoActions(), 2);

    // Closing map A leaves B's undo and redo working.
    a.reset();
    b.undo->undo();
    EXPECT_EQ(styleB->strokeColour(), QColor(Qt::red));
    b.undo->undo();
    EXPECT_TRUE(styleB->isEqualToStyle(toolStyle.get()));
    b.undo->redo();
    EXPECT_EQ(styleB->strokeColour(), QColor(Qt::red));
}

TEST(ToolCreation, EveryShapeToolCopiesItsPrototypeIntoTheDraggedRectangleWhicheverWayItGoes)
{
    CreationFixture f;
    const QStringList names{"Rectangle", "Oval", "Round Rectangle", "Text", "Round End Rectangle"};
    for (qsizetype i = 0; i < names.size(); ++i) {
        f.useTool(names[i]);
        if (i % 2)
            f.drag({70, 50}, {10, 20}); // up and to the left
        else
            f.drag({10, 20}, {70, 50});
        EXPECT_EQ(f.undo->undoActionName(), "New " + names[i]);
    }
    ASSERT_EQ(f.layer->countOfObjects(), names.size());
    EXPECT_EQ(f.undo->numberOfUndoActions(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const auto tool = std::dynamic_pointer_cast<VXObjectCreationTool>(VXDrawingTool::drawingToolWithName(names[i]));
        EXPECT_NE(f.made(i), tool->prototype().get());
        EXPECT_STREQ(f.made(i)->metaObject()->className(), tool->prototype()->metaObject()->className());
        EXPECT_EQ(f.made(i)->location(), QPointF(40, 35));
        EXPECT_EQ(f.made(i)->size(), QSizeF(60, 30));
    }

    // Half circles of radius 15 end a straight run: corners are cut away, the run is not (a
    // stretched circle would miss the run's ends); a copy keeps the kind and the outline.
    const platform::BezierPath outline = f.made(4)->renderingPath();
    expectRectNear(outline.bounds(), QRectF(10, 20, 60, 30), 1e-3);
    EXPECT_FALSE(outline.containsPoint({12, 22}));
    EXPECT_TRUE(outline.containsPoint({26, 21}));
    EXPECT_TRUE(outline.containsPoint({54, 49}));
    EXPECT_FALSE(outline.containsPoint({68, 48}));
    const VXDrawableObjectPtr copy = f.made(4)->copyDrawable();
    EXPECT_TRUE(qobject_cast<VXRoundEndRectShape*>(copy.get()));
    EXPECT_EQ(copy->renderingPath(), outline);
}

TEST(ToolCreation, DragsWithoutExtentOrCutShortLeaveNothingBehind)
{
    CreationFixture f;
    for (const char* name : {"Rectangle", "Line", "Regular Polygon"}) {
        SCOPED_TRACE(name);
        f.useTool(name);
        f.click({50, 50});
        f.drag({50, 50}, {80, 50}); // a flat rectangle, but a fine line
        EXPECT_FALSE(f.layer->pendingObject());
    }
    // Only the horizontal line and the polygon of radius 30 have extent.
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_TRUE(qobject_cast<VXDrawablePath*>(f.made(0)));
    auto* polygon = qobject_cast<VXRegularPolygonPath*>(f.made(1));
    ASSERT_TRUE(polygon);
    EXPECT_EQ(polygon->location(), QPointF(50, 50));
    EXPECT_DOUBLE_EQ(polygon->radius(), 30.0);
    f.forgetEdits();

    // Another tool, or another drawing, mid-drag.
    f.useTool("Rectangle");
    f.press({10, 10});
    f.move({50, 50});
    ASSERT_TRUE(f.layer->pendingObject());
    f.useTool("Oval");
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->groupingLevel(), 0);
    f.release({50, 50}); // belongs to no gesture now
    f.press({10, 10});
    f.move({50, 50});
    f.view.setDrawing(VXDrawing::drawingWithSize({100, 100}));
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->groupingLevel(), 0);
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(ToolCreation, LineTextPathPathAndPolygonFollowThePointsExactly)
{
    CreationFixture f;
    f.useTool("Line");
    f.drag({10, 20}, {110, 70});
    expectRectNear(f.made(0)->logicalBounds(), QRectF(10, 20, 100, 50));
    f.useTool("Text Path");
    f.drag({20, 50}, {120, 90});
    f.click({30, 30}); // no line, no text
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    ASSERT_TRUE(qobject_cast<VXTextPath*>(f.made(1)));
    EXPECT_EQ(f.pointsOf(1), (QList<QPointF>{{20, 50}, {120, 90}}));
    EXPECT_EQ(qobject_cast<VXTextPath*>(f.made(1))->string(), "Text");

    // A click on the first point closes and ends a path; so does a double click, open.
    f.useTool("Path");
    f.click({20, 20});
    f.click({120, 20});
    EXPECT_TRUE(f.layer->pendingObject());
    f.click({120, 90});
    f.click({21, 21});
    EXPECT_FALSE(f.layer->pendingObject());
    f.click({20, 20});
    f.click({100, 60});
    f.doubleClick({150, 60});
    // A first press dragged draws the first segment; the next click adds a point.
    f.drag({10, 100}, {60, 120});
    f.click({60, 180});
    f.doubleClick({60, 180});
    ASSERT_EQ(f.layer->countOfObjects(), 5);
    expectRectNear(f.made(2)->logicalBounds(), QRectF(20, 20, 100, 70));
    expectRectNear(f.made(3)->logicalBounds(), QRectF(20, 20, 130, 40));
    expectRectNear(f.made(4)->logicalBounds(), QRectF(10, 100, 50, 80));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 5);
    EXPECT_EQ(f.undo->undoActionName(), "New Path");
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 4);

    // A polygon closes through its points; points in a row enclose nothing.
    f.useTool("Polygon");
    for (const QPointF p : {QPointF(20, 20), QPointF(120, 20), QPointF(120, 90)})
        f.click(p);
    f.doubleClick({20, 90});
    for (const QPointF p : {QPointF(20, 150), QPointF(60, 150), QPointF(100, 150), QPointF(20, 150)})
        f.click(p);
    ASSERT_EQ(f.layer->countOfObjects(), 5);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_TRUE(qobject_cast<VXDrawablePath*>(f.made(4))->path().isClosed());
    EXPECT_EQ(f.pointsOf(4).mid(0, 4), (QList<QPointF>{{20, 20}, {120, 20}, {120, 90}, {20, 90}}));
    EXPECT_EQ(f.undo->undoActionName(), "New Polygon");
}

TEST(ToolCreation, FreehandKeepsOnlyThePointsTheToleranceNeeds)
{
    CreationFixture f;
    ASSERT_DOUBLE_EQ(VXDrawablePath::defaultFreehandEpsilon(), 2.0);
    f.useTool("Freehand");
    // Along x with a wobble of one unit, then straight down: a corner and two ends survive.
    f.press({10, 10});
    for (int x = 20; x <= 100; x += 10)
        f.move({double(x), x % 20 ? 11.0 : 10.0});
    for (int y = 20; y <= 80; y += 10)
        f.move({100, double(y)});
    f.release({100, 80});
    {
        // A tighter tolerance keeps the wobble.
        const testsupport::PreferencesScope tolerance(&VXDrawingPreferences::freehandEpsilon, 0.5);
        f.press({10, 100});
        f.move({20, 101});
        f.move({30, 100});
        f.release({30, 100});
    }
    f.click({50, 50}); // no track, no stroke
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.pointsOf(0), (QList<QPointF>{{10, 10}, {100, 10}, {100, 80}}));
    EXPECT_EQ(f.pointsOf(1), (QList<QPointF>{{10, 100}, {20, 101}, {30, 100}}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.undo->undoActionName(), "New Freehand");
}

TEST(ToolCreation, ArcAndWedgeTakeRadiusAndBothAngles)
{
    CreationFixture f;
    f.useTool("Arc");
    f.drawArc({100, 100}, {150, 100}, {100, 130});
    f.useTool("Wedge");
    f.drawArc({100, 100}, {100, 60}, {140, 100}); // from straight up round to the right
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.undo->undoActionName(), "New Wedge");

    auto* arc = qobject_cast<VXArcPath*>(f.made(0));
    ASSERT_TRUE(arc);
    EXPECT_EQ(arc->arcType(), VXArcPath::kVXArcPathOpenArc);
    EXPECT_EQ(arc->location(), QPointF(100, 100));
    EXPECT_DOUBLE_EQ(arc->radius(), 50.0);
    EXPECT_NEAR(arc->startAngle(), 0.0, 1e-9);
    EXPECT_NEAR(arc->endAngle(), 90.0, 1e-9);
    expectRectNear(arc->renderingPath().bounds(), QRectF(100, 100, 50, 50), 1e-6);
    auto* wedge = qobject_cast<VXArcPath*>(f.made(1));
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
    f.drawArc({50, 50}, {80, 50}, {90, 50});
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->groupingLevel(), 0);
}

TEST(ToolCreation, ArcsShowTheirShapeAndTheirCircleAtEveryStage)
{
    CreationFixture f;
    // Whether the view shows dark ink within two pixels of the drawing point.
    const auto inkNear = [&](QPointF point) {
        const QImage shown = f.view.viewport()->grab().toImage();
        const QPoint centre = f.at(point);
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy)
                if (QColor(shown.pixel(centre + QPoint(dx, dy))).lightness() < 160)
                    return true;
        return false;
    };
    int made = 0;
    for (const char* name : {"Arc", "Wedge"}) {
        f.useTool(name);
        f.press({100, 100});
        f.move({125, 100});
        f.move({150, 100});
        // Dragged out: the prototype's quarter turn from the pointer, on a dashed circle through it.
        auto* pending = qobject_cast<VXArcPath*>(f.layer->pendingObject());
        ASSERT_TRUE(pending) << name;
        EXPECT_NEAR(pending->startAngle(), 0, 1e-9) << name;
        EXPECT_NEAR(pending->subtendedAngle(), 90, 1e-9) << name;
        expectRectNear(pending->renderingPath().bounds(), QRectF(100, 100, 50, 50), 1e-6);
        EXPECT_TRUE(inkNear({100, 50})) << name; // the circle's top, which the arc does not reach
        // Released, the same until the pointer moves; a click there makes what is shown.
        f.release({150, 100});
        EXPECT_NEAR(pending->subtendedAngle(), 90, 1e-9) << name;
        f.move({100, 150});
        EXPECT_TRUE(inkNear({50, 100})) << name;
        f.move({150, 100});
        f.click({150, 100});
        EXPECT_FALSE(f.layer->pendingObject()) << name;
        ASSERT_EQ(f.layer->countOfObjects(), ++made) << name;
        EXPECT_NEAR(qobject_cast<VXArcPath*>(f.made(made - 1))->subtendedAngle(), 90, 1e-9) << name;
        EXPECT_FALSE(inkNear({100, 50})) << name; // the guide has gone
    }
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
}

TEST(ToolCreation, PointsSnapToTheGridWhenAsked)
{
    ViewFixture f;
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(grid);
    f.drawing->setActiveLayer(f.layer.get());
    f.drawing->setSnapsToGrid(true);
    f.useTool("Rectangle");
    f.drag({11, 13}, {93, 71});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    const QPointF from = grid->nearestGridIntersectionToPoint({11, 13});
    const QPointF to = grid->nearestGridIntersectionToPoint({93, 71});
    ASSERT_NE(from, QPointF(11, 13));
    expectRectNear(f.layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(from, to));
}

TEST(ToolCreation, LockedOrHiddenLayersRefuseEveryToolAndTheToolStays)
{
    ViewFixture f;
    for (const bool locked : {true, false}) {
        f.layer->setLocked(locked);
        f.layer->setVisible(locked);
        f.forgetEdits();
        for (const char* name :
             {"Rectangle", "Round End Rectangle", "Freehand", "Text Path", "Path", "Polygon", "Arc"}) {
            SCOPED_TRACE(name);
            f.useTool(name);
            // Every gesture the tools know: a drag, a point, a click back on the start.
            f.drag({20, 20}, {80, 60});
            f.move({20, 90});
            f.click({20, 90});
            f.click({20, 20});
            EXPECT_FALSE(f.layer->pendingObject());
            EXPECT_EQ(f.undo->groupingLevel(), 0);
            EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), name);
        }
    }
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}
