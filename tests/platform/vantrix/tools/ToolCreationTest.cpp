#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

using viewtest::ViewFixture;
using viewtest::expectRectNear;

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
    expectRectNear(made->logicalBounds(), QRectF(30, 40, 60, 30));
    EXPECT_EQ(made->style(), red);
    EXPECT_NE(made.get(), tool->prototype().get());
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

TEST(ToolCreation, EachDragCopiesThePrototypeAndDragsBackwardsNormalise)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    f.useTool("Oval");
    f.drag({80, 90}, {20, 30}); // up and to the left
    f.drag({100, 100}, {150, 120});
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    expectRectNear(f.layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(20, 30, 60, 60));
    expectRectNear(f.layer->objectInObjectsAtIndex(1)->logicalBounds(), QRectF(100, 100, 50, 20));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), "Oval");
}

TEST(ToolCreation, DragsWithoutExtentCreateNothing)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    for (const QString& name : {QStringLiteral("Rectangle"), QStringLiteral("Line"), QStringLiteral("Regular Polygon")}) {
        SCOPED_TRACE(name.toStdString());
        f.useTool(name);
        f.click({50, 50});
        f.drag({50, 50}, {80, 50}); // a flat rectangle, but a fine line
        EXPECT_FALSE(f.layer->pendingObject());
    }
    // Only the horizontal line and the polygon of radius 30 have extent.
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_TRUE(qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(0).get()));
    auto* polygon = qobject_cast<VXRegularPolygonPath*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(polygon);
    EXPECT_EQ(polygon->location(), QPointF(50, 50));
    EXPECT_DOUBLE_EQ(polygon->radius(), 30.0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
}

TEST(ToolCreation, LockedOrHiddenLayersRefuse)
{
    ViewFixture f;
    f.useTool("Rectangle");
    f.layer->setLocked(true);
    f.endStep();
    f.undo->removeAllActions();
    f.drag({10, 10}, {50, 50});
    f.layer->setLocked(false);
    f.layer->setVisible(false);
    f.endStep();
    f.undo->removeAllActions();
    f.drag({10, 10}, {50, 50});
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_FALSE(f.layer->pendingObject());
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), "Rectangle");
}

TEST(ToolCreation, LineAndClickedPathFollowThePointsExactly)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    f.useTool("Line");
    f.drag({10, 20}, {110, 70});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    expectRectNear(f.layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(10, 20, 100, 50));

    f.useTool("Path");
    f.click({20, 20});
    f.click({120, 20});
    EXPECT_TRUE(f.layer->pendingObject());
    f.click({120, 90});
    f.click({21, 21}); // on the first point: closes and ends the path
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_FALSE(f.layer->pendingObject());
    auto* path = qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(path);
    expectRectNear(path->logicalBounds(), QRectF(20, 20, 100, 70));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    EXPECT_EQ(f.undo->undoActionName(), "New Path");
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 1);
}

TEST(ToolCreation, DoubleClickEndsAnOpenPath)
{
    ViewFixture f;
    f.useTool("Path");
    f.click({20, 20});
    f.click({100, 60});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({150, 60}));
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    expectRectNear(f.layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(20, 20, 130, 40));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_FALSE(f.layer->pendingObject());

    // A first press dragged draws the first segment; the next click adds a point.
    f.useTool("Path");
    f.drag({10, 100}, {60, 120});
    f.click({60, 180});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({60, 180}));
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    expectRectNear(f.layer->objectInObjectsAtIndex(1)->logicalBounds(), QRectF(10, 100, 50, 80));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
}

TEST(ToolCreation, EveryShapeToolFillsTheDraggedRectangle)
{
    ViewFixture f;
    f.view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    const QStringList names{"Rectangle", "Oval", "Round Rectangle", "Text"};
    for (const QString& name : names) {
        f.useTool(name);
        f.drag({10, 20}, {70, 50});
    }
    ASSERT_EQ(f.layer->countOfObjects(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const VXDrawableObjectPtr made = f.layer->objectInObjectsAtIndex(i);
        const auto prototype = std::dynamic_pointer_cast<VXObjectCreationTool>(VXDrawingTool::drawingToolWithName(names[i]));
        EXPECT_STREQ(made->metaObject()->className(), prototype->prototype()->metaObject()->className());
        EXPECT_EQ(made->location(), QPointF(40, 35));
        EXPECT_EQ(made->size(), QSizeF(60, 30));
    }
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

TEST(ToolCreation, KeyEquivalentsChooseTools)
{
    ViewFixture f;
    QTest::keyClick(&f.view, Qt::Key_O);
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), "Oval");
    QTest::keyClick(&f.view, Qt::Key_R, Qt::ControlModifier); // not a plain key
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), "Oval");
    QTest::keyClick(&f.view, Qt::Key_V);
    EXPECT_TRUE(f.view.toolController()->drawingTool()->isSelectionTool());
}

TEST(ToolCreation, ChangingDrawingOrToolMidDragLeavesNothingBehind)
{
    ViewFixture f;
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
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}
