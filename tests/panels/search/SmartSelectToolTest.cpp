#include "panels/search/VXQSmartSelectTool.h"

#include "app/document/VXQMappingLayer.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXShapeFactory.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

#include <gtest/gtest.h>

namespace {

class SmartSelect : public ::testing::Test {
protected:
    void SetUp() override
    {
        drawing->addLayer(layer);
        for (double x : {0.0, 40.0, 100.0})
            shapes.append(VXDrawableShape::drawableShapeWithRect({x, 0, 10, 10}, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)));
        shapes[1]->setMetadataItemValueForKey(QStringLiteral("mill"), QStringLiteral("kind"));
        layer->addObjectsFromArray(shapes);
    }

    void press(QPointF point) { tool.mouseDownAtPointTargetObjectLayerEventDelegate(point, nullptr, layer.get(), nullptr, nullptr); }
    void dragTo(QPointF point) { tool.mouseDraggedToPointPartCodeLayerEventDelegate(point, 0, layer.get(), nullptr, nullptr); }
    bool release(QPointF point) { return tool.mouseUpAtPointPartCodeLayerEventDelegate(point, 0, layer.get(), nullptr, nullptr); }

    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 300});
    std::shared_ptr<VXQMappingLayer> layer = std::make_shared<VXQMappingLayer>();
    QList<VXDrawableObjectPtr> shapes;
    VXQSmartSelectTool tool;
};

TEST_F(SmartSelect, TheSelectionFollowsTheCircleAndStaysAfterTheRelease)
{
    layer->exchangeSelectionWithObjectsFromArray({shapes[2]});
    press({5, 5});
    EXPECT_TRUE(layer->selection().isEmpty());
    dragTo({45, 5}); // reaches the middle square's left edge at 35
    EXPECT_EQ(layer->selection(), (QList<VXDrawableObjectPtr>{shapes[0], shapes[1]}));
    EXPECT_FLOAT_EQ(tool.radius(), 40.f);
    EXPECT_EQ(tool.circleRect(), QRectF(-35, -35, 80, 80));
    dragTo({5, 25}); // shrinking drops the middle square
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{shapes[0]});
    dragTo({5, 5}); // the anchor itself still lies in the first square
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{shapes[0]});
    EXPECT_FALSE(release({5, 5}));
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{shapes[0]});
    EXPECT_EQ(tool.radius(), 0.f);
    EXPECT_TRUE(tool.circleRect().isNull());

    // A click without a drag leaves nothing selected.
    press({70, 70});
    release({70, 70});
    EXPECT_TRUE(layer->selection().isEmpty());

    // With a query only the matches inside the circle are taken.
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier("mill", kMPIsEqualTo, "KIND"));
    tool.setSearchQuery(query);
    press({5, 5});
    dragTo({200, 5});
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{shapes[1]});
    release({200, 5});
}

TEST_F(SmartSelect, TheInfoReadsTheRadiusInDrawingUnits)
{
    drawing->setUnits(ZQUnitLength::centimeters());
    press({100, 100});
    dragTo({106, 108}); // 10 points
    EXPECT_EQ(tool.infoString(*drawing), QStringLiteral("Radius: 0.35cm\r"));
    auto query = std::make_shared<MPSearchQuery>();
    query->addCriterion(MPSearchCriterion::criterionWithStringMatchKindIdentifier("mill", kMPIsEqualTo, "KIND"));
    tool.setSearchQuery(query);
    EXPECT_EQ(tool.infoString(*drawing), QStringLiteral("Radius: 0.35cm\r") + query->userReadableDescription());
    release({106, 108});
}

TEST_F(SmartSelect, OnlyMapLayersAreTargetsAndTheToolDrawsCircleAndCross)
{
    EXPECT_TRUE(tool.isValidTargetLayer(layer.get()));
    EXPECT_FALSE(tool.isValidTargetLayer(std::make_shared<VXGuideLayer>().get()));
    EXPECT_FALSE(tool.isValidTargetLayer(std::make_shared<VLTMSlicesLayer>().get()));
    EXPECT_FALSE(tool.isValidTargetLayer(std::make_shared<VXObjectDrawingLayer>().get()));
    EXPECT_FALSE(tool.isValidTargetLayer(nullptr));
    EXPECT_TRUE(tool.isSelectionTool());

    EXPECT_EQ(VXShapeFactory::diagonalCross().painterPath().boundingRect(), QRectF(-0.5, -0.5, 1, 1));
    press({50, 50});
    dragTo({51, 50});
    // A one-point circle: the 8-point cross at the anchor is what reaches furthest.
    EXPECT_EQ(tool.bounds(), QRectF(46, 46, 8, 8));
    dragTo({70, 50});
    EXPECT_EQ(tool.bounds(), QRectF(30, 30, 40, 40));
    EXPECT_EQ(tool.location(), QPointF(50, 50));
    release({70, 50});

    const testsupport::ToolRegistryScope restoreTools;
    VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    VXQSmartSelectTool::registerWithRegistry(registry);
    EXPECT_TRUE(qobject_cast<VXQSmartSelectTool*>(registry.drawingToolWithName("Smart Select").get()));
}

} // namespace
