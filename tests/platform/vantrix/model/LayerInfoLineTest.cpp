// The info line and icon each kind of layer answers, and how observers hear that the line
// changed.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"

using namespace drawingtest;

namespace {

VXDrawableObjectPtr square(double x)
{
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(platform::BezierPath::bezierPathWithRect({x, 0, 10, 10}),
                                                              VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
}

} // namespace

TEST(LayerInfoLine, EachKindSummarisesItself)
{
    Fixture f({297 * 72 / 25.4, 210 * 72 / 25.4});
    f.drawing->setUnits(ZQUnitLength::millimeters());
    auto group = std::make_shared<VXLayerGroup>();
    auto guides = std::make_shared<VXGuideLayer>();
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(group);
    f.drawing->addLayer(guides);
    f.drawing->addLayer(grid);

    EXPECT_EQ(f.drawing->auxiliaryInfoString(), QStringLiteral("297.0 x 210.0 mm, 4 Layers"));
    EXPECT_EQ(group->auxiliaryInfoString(), QStringLiteral("0 Layers"));
    group->addLayer(std::make_shared<VXLayer>());
    EXPECT_EQ(group->auxiliaryInfoString(), QStringLiteral("1 Layer"));
    // A plain layer has no line at all.
    EXPECT_TRUE(group->layers().first()->auxiliaryInfoString().isNull());

    for (int i = 0; i < 12; ++i)
        f.layer->addObject(square(i * 12));
    f.layer->exchangeSelectionWithObjectsFromArray({f.layer->objectInObjectsAtIndex(0), f.layer->objectInObjectsAtIndex(5)});
    EXPECT_EQ(f.layer->auxiliaryInfoString(), QStringLiteral("12 Objects, 2 Selected"));
    f.layer->removeObjectsAtIndexes({1, 2, 3, 4, 6, 7, 8, 9, 10, 11});
    f.layer->deselectAll();
    f.layer->removeObjectsAtIndexes({0});
    EXPECT_EQ(f.layer->auxiliaryInfoString(), QStringLiteral("1 Object, 0 Selected"));

    guides->addGuide({20, false});
    EXPECT_EQ(guides->auxiliaryInfoString(), QStringLiteral("1 Guide"));
    guides->addGuide({30, true});
    EXPECT_EQ(guides->auxiliaryInfoString(), QStringLiteral("2 Guides"));

    grid->setDivisions(10);
    EXPECT_EQ(grid->auxiliaryInfoString(), f.drawing->drawingUnits() + QStringLiteral(", 10 divs, cartesian"));
    auto isometric = std::make_shared<VXIsometricGridLayer>();
    f.drawing->addLayer(isometric);
    EXPECT_TRUE(isometric->auxiliaryInfoString().endsWith(QStringLiteral(", isometric")));
}

TEST(LayerInfoLine, ObserversHearWhenTheLineChanges)
{
    Fixture f;
    // The drawing's and the grid's lines follow their keys.
    int drawingChanges = 0;
    f.drawing->observeKeyPath(QStringLiteral("auxiliaryInfoString"), platform::KeyValueObservingOptionNew, nullptr,
                              [&](const platform::KeyValueChange&) { ++drawingChanges; });
    f.drawing->setDrawingSize({300, 300});
    EXPECT_EQ(drawingChanges, 1);
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(grid);
    QStringList lines;
    grid->observeKeyPath(QStringLiteral("auxiliaryInfoString"), platform::KeyValueObservingOptionNew, nullptr,
                         [&](const platform::KeyValueChange& change) { lines.append(change.newValue.toString()); });
    grid->setDivisions(4);
    grid->setSpanDistance(grid->spanDistance() * 2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.first().contains(QStringLiteral(", 4 divs, ")));

    // The others name the notifications they post when it changes.
    EXPECT_EQ(f.layer->notificationNamesAffectingAuxiliaryInfo(),
              (QStringList{kVXLayerSelectionDidChange, kVXLayerDidAddObject, kVXLayerDidRemoveObject}));
    EXPECT_EQ(f.drawing->notificationNamesAffectingAuxiliaryInfo(), QStringList{kVXLayerGroupNumberOfLayersDidChange});
    EXPECT_EQ(VXGuideLayer().notificationNamesAffectingAuxiliaryInfo(),
              (QStringList{kVXGuideLayerDidAddGuide, kVXGuideLayerDidRemoveGuide}));
    EXPECT_TRUE(VXLayer().notificationNamesAffectingAuxiliaryInfo().isEmpty());
}

TEST(LayerInfoLine, EveryKindHasItsIconArtwork)
{
    EXPECT_EQ(VXLayer().iconName(), QStringLiteral("VL_Generic_Layer_Icon"));
    EXPECT_EQ(VXLayerGroup().iconName(), QStringLiteral("VL_Layer_Group-Template"));
    EXPECT_EQ(VXDrawing().iconName(), QStringLiteral("VL_Layer_Group-Template"));
    EXPECT_EQ(VXObjectDrawingLayer().iconName(), QStringLiteral("VL_Layer_Drawing-Template"));
    EXPECT_EQ(VXGuideLayer().iconName(), QStringLiteral("VL_Layer_Guides-Template"));
    EXPECT_EQ(VXGridLayer().iconName(), QStringLiteral("VL_Layer_GraphPaper-Template"));
    // One image per name for the process.
    EXPECT_EQ(VXObjectDrawingLayer().icon().cacheKey(), VXObjectDrawingLayer().icon().cacheKey());
}
