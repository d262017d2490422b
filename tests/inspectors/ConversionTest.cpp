#include "InspectorTesting.h"

#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"

#include <gtest/gtest.h>

using namespace inspectortest;
using Conversion = platform::ObjectLayerEditing::Conversion;

TEST(ConvertCommands, ShapesBecomePathsInPlaceAsOneStep)
{
    TabFixture fixture;
    VXDrawableObjectPtr below = fixture.addShape({0, 0, 10, 10});
    VXDrawableObjectPtr shape = fixture.addShape({20, 20, 60, 30});
    VXDrawableObjectPtr above = fixture.addShape({100, 0, 10, 10});
    shape->setName(QStringLiteral("Field"));
    fixture.select({shape});
    fixture.forgetEdits();
    platform::ObjectLayerEditing editing(fixture.drawing.get());
    EXPECT_FALSE(editing.canConvertSelection(Conversion::ToShape));
    ASSERT_TRUE(editing.canConvertSelection(Conversion::ToPath));
    editing.convertSelection(Conversion::ToPath);
    ASSERT_EQ(fixture.layer->countOfObjects(), 3);
    const VXDrawableObjectPtr path = fixture.layer->objectInObjectsAtIndex(1);
    EXPECT_EQ(path->metaObject(), &VXDrawablePath::staticMetaObject);
    EXPECT_EQ(path->name(), QStringLiteral("Field"));
    EXPECT_EQ(path->style(), shape->style());
    EXPECT_NEAR(path->bounds().width(), shape->bounds().width(), 1e-6);
    EXPECT_EQ(fixture.layer->selection().value(0), path);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Convert To Path"));
    // A plain path is a path already.
    EXPECT_FALSE(editing.canConvertSelection(Conversion::ToPath));
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_EQ(fixture.layer->objectInObjectsAtIndex(1), shape);
    EXPECT_EQ(fixture.layer->selection().value(0), shape);
    EXPECT_EQ(fixture.layer->objectInObjectsAtIndex(0), below);
    EXPECT_EQ(fixture.layer->objectInObjectsAtIndex(2), above);
}

TEST(ConvertCommands, OutlinesOfSeveralPiecesBecomeGroupsOfShapes)
{
    TabFixture fixture;
    platform::BezierPath twoPieces = platform::BezierPath::bezierPathWithRect({0, 0, 20, 20});
    twoPieces.appendBezierPath(platform::BezierPath::bezierPathWithOvalInRect({50, 0, 20, 20}));
    VXDrawablePathPtr path = fixture.add(VXDrawablePath::drawablePathWithBezierPath(twoPieces));
    VXDrawablePathPtr single = fixture.add(straightPath());
    fixture.select({path, single});
    platform::ObjectLayerEditing editing(fixture.drawing.get());
    editing.convertSelection(Conversion::ToShapeGroup);
    const auto group = std::dynamic_pointer_cast<VXShapeGroup>(fixture.layer->objectInObjectsAtIndex(0));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->groupObjects().size(), 2);
    // The one-piece path stays, and both are selected.
    EXPECT_EQ(fixture.layer->objectInObjectsAtIndex(1), single);
    EXPECT_EQ(fixture.layer->countOfSelection(), 2);
}

TEST(ConvertCommands, TextKeepsItsStringBetweenShapesAndPaths)
{
    TabFixture fixture;
    auto text = fixture.add(VXTextShape::textShapeWithStringInRect(QStringLiteral("Mill Lane"), {10, 10, 120, 30}));
    fixture.select({text});
    platform::ObjectLayerEditing editing(fixture.drawing.get());
    EXPECT_FALSE(editing.canConvertSelection(Conversion::ToTextShape));
    editing.convertSelection(Conversion::ToTextPath);
    const auto path = std::dynamic_pointer_cast<VXTextPath>(fixture.layer->objectInObjectsAtIndex(0));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->string(), QStringLiteral("Mill Lane"));
    editing.convertSelection(Conversion::ToTextShape);
    const auto shape = std::dynamic_pointer_cast<VXTextShape>(fixture.layer->objectInObjectsAtIndex(0));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->string(), QStringLiteral("Mill Lane"));
}
