// Layers and the drawing: stacking order, undo of every list change, activation, naming,
// units and snapping.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/styles/VXStroke.h"

using namespace drawingtest;

namespace {

std::shared_ptr<VXObjectDrawingLayer> namedLayer(const QString& name)
{
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    layer->setLayerName(name);
    return layer;
}

QStringList namesOf(const QList<VXLayerPtr>& layers)
{
    QStringList names;
    for (const VXLayerPtr& layer : layers)
        names.append(layer->layerName());
    return names;
}

} // namespace

TEST(LayerGroup, IndexZeroIsTopAndEveryListChangeUndoes)
{
    Fixture f;
    auto a = namedLayer(QStringLiteral("A"));
    auto b = namedLayer(QStringLiteral("B"));
    NotificationRecorder added(kVXLayerGroupDidAddLayer, f.drawing.get());
    NotificationRecorder removed(kVXLayerGroupDidRemoveLayer, f.drawing.get());

    f.drawing->addLayer(a);
    f.endStep();
    f.drawing->addLayer(b);
    f.endStep();
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"B", "A", "Objects"}));
    ASSERT_EQ(added.received.size(), 2);
    EXPECT_EQ(added.received[1].userInfo.value(kVXLayerKey).value<VXLayerPtr>(), b);

    f.drawing->moveLayerToIndex(b.get(), 2);
    f.endStep();
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"A", "Objects", "B"}));
    f.drawing->removeLayer(a.get());
    f.endStep();
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"Objects", "B"}));
    EXPECT_EQ(a->layerGroup(), nullptr);
    ASSERT_EQ(removed.received.size(), 1);
    EXPECT_EQ(removed.received[0].userInfo.value(kVXLayerKey).value<VXLayerPtr>(), a);

    f.undo->undo(); // the removal
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"A", "Objects", "B"}));
    EXPECT_EQ(a->layerGroup(), f.drawing.get());
    f.undo->undo(); // the move
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"B", "A", "Objects"}));
    f.undo->undo();
    f.undo->undo();
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"Objects"}));
    f.undo->redo();
    f.undo->redo();
    f.undo->redo();
    EXPECT_EQ(namesOf(f.drawing->layers()), (QStringList{"A", "Objects", "B"}));
}

TEST(LayerGroup, NestedGroupsFlattenSearchAndRefuseCycles)
{
    Fixture f;
    auto group = std::make_shared<VXLayerGroup>();
    group->setLayerName(QStringLiteral("Group"));
    auto inner = namedLayer(QStringLiteral("Inner"));
    auto grid = std::make_shared<VXGridLayer>();
    group->addLayer(inner);
    group->addLayer(grid);
    f.drawing->addLayer(group);

    EXPECT_EQ(namesOf(f.drawing->flattenedLayers()), (QStringList{QString(), "Inner", "Objects"}));
    EXPECT_EQ(namesOf(f.drawing->flattenedLayers(true)), (QStringList{"Group", QString(), "Inner", "Objects"}));
    EXPECT_EQ(f.drawing->gridLayer(), grid);
    EXPECT_EQ(inner->drawing(), f.drawing.get());
    EXPECT_EQ(inner->level(), 1);
    EXPECT_THROW(inner->layerGroup()->insertObjectInLayersAtIndex(f.drawing, 0), platform::AssertionFailure);

    f.drawing->hideAllExcept(inner.get());
    EXPECT_TRUE(inner->visible());
    EXPECT_TRUE(group->visible()); // holds the kept layer
    EXPECT_FALSE(f.layer->visible());
    f.drawing->showAll();
    EXPECT_TRUE(f.layer->visible());
}

TEST(Layer, PropertiesAreObservableUndoableAndClamped)
{
    Fixture f;
    QList<QVariant> seen;
    f.layer->observeKeyPath(QStringLiteral("alpha"), platform::KeyValueObservingOptionNew, nullptr,
                            [&](const platform::KeyValueChange& change) { seen.append(change.newValue); });
    f.layer->setAlpha(0.25);
    f.layer->setLayerName(QStringLiteral("Roads"));
    f.layer->setVisible(false);
    f.endStep();
    f.layer->setAlpha(7);
    EXPECT_DOUBLE_EQ(f.layer->alpha(), 1.0);
    f.layer->setAlpha(std::nan(""));
    EXPECT_DOUBLE_EQ(f.layer->alpha(), 1.0);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_DOUBLE_EQ(seen[0].toDouble(), 0.25);

    f.undo->undo();
    EXPECT_DOUBLE_EQ(f.layer->alpha(), 0.25);
    f.undo->undo();
    EXPECT_DOUBLE_EQ(f.layer->alpha(), 1.0);
    EXPECT_EQ(f.layer->layerName(), QStringLiteral("Objects"));
    EXPECT_TRUE(f.layer->visible());
}

TEST(Drawing, ActiveLayerFollowsRulesAndNotifies)
{
    Fixture f;
    EXPECT_EQ(f.drawing->activeLayer(), f.layer.get()); // the first object layer became active
    NotificationRecorder changes(kVXDrawingActiveLayerDidChange, f.drawing.get());
    auto second = namedLayer(QStringLiteral("Second"));
    auto guides = std::make_shared<VXGuideLayer>();
    f.drawing->addLayer(second);
    f.drawing->addLayer(guides);
    EXPECT_TRUE(changes.received.isEmpty());

    EXPECT_TRUE(second->attemptToMakeActive());
    EXPECT_TRUE(second->isActive());
    EXPECT_FALSE(f.layer->isActive());
    EXPECT_FALSE(guides->attemptToMakeActive()); // guides may not become active
    auto group = std::make_shared<VXLayerGroup>();
    f.drawing->addLayer(group);
    EXPECT_FALSE(group->attemptToMakeActive()); // nor groups: objects go into their members
    EXPECT_FALSE(f.drawing->setActiveLayer(namedLayer(QStringLiteral("Elsewhere")).get()));
    EXPECT_EQ(changes.received.size(), 1);
    EXPECT_EQ(f.drawing->activeLayerOfClass<VXObjectDrawingLayer>(), second.get());
    EXPECT_EQ(f.drawing->activeLayerOfClass<VXGuideLayer>(), nullptr);

    f.drawing->removeLayer(second.get());
    EXPECT_EQ(f.drawing->activeLayer(), f.layer.get());
    EXPECT_EQ(changes.received.size(), 2);
}

TEST(Drawing, UniqueNamesAndDuplicates)
{
    Fixture f;
    EXPECT_EQ(f.drawing->uniqueLayerNameForName(QStringLiteral("Roads")), QStringLiteral("Roads"));
    EXPECT_EQ(f.drawing->uniqueLayerNameForName(QStringLiteral("Objects")), QStringLiteral("Objects 2"));
    f.drawing->addLayer(namedLayer(QStringLiteral("Objects 2")));
    EXPECT_EQ(f.drawing->uniqueLayerNameForName(QStringLiteral("Objects")), QStringLiteral("Objects 3"));
    // A numbered first member counts: after "Layer 1" comes "Layer 2", not a bare "Layer".
    f.drawing->addLayer(namedLayer(QStringLiteral("Layer 1")));
    EXPECT_EQ(f.drawing->uniqueLayerNameForName(QStringLiteral("Layer")), QStringLiteral("Layer 2"));

    const auto style = fillStyle(Qt::red);
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 20, 20), style));
    auto copy = std::dynamic_pointer_cast<VXObjectDrawingLayer>(f.layer->duplicateLayer());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->layerName(), QStringLiteral("Objects copy"));
    ASSERT_EQ(copy->countOfObjects(), 1);
    EXPECT_NE(copy->objectInObjectsAtIndex(0), f.layer->objectInObjectsAtIndex(0));
    EXPECT_EQ(copy->objectInObjectsAtIndex(0)->style(), style); // copies share styles
    EXPECT_EQ(copy->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(10, 10, 20, 20));
}

TEST(Drawing, UnitsConvertAndAnnounce)
{
    Fixture f;
    NotificationRecorder changes(kVXDrawingUnitsDidChangeNotification, f.drawing.get());
    f.drawing->setMarginsLeftTopRightBottom(36, 72, 36, 72);
    f.drawing->setUnits(ZQUnitLength::inches());
    EXPECT_EQ(changes.received.size(), 1);
    EXPECT_EQ(f.drawing->abbreviatedDrawingUnits(), QStringLiteral("in"));
    EXPECT_DOUBLE_EQ(f.drawing->convertLength(144), 2.0);
    EXPECT_EQ(f.drawing->convertPoint(QPointF(108, 216)), QPointF(1, 2)); // from the interior's corner
    EXPECT_EQ(f.drawing->convertPointToBase(QPointF(1, 2)), QPointF(108, 216));
    EXPECT_EQ(f.drawing->formattedConvertedLength(180), QStringLiteral("2.50 in"));

    // A map scale: 1 km drawn as 113.4 points.
    f.drawing->setUnitsUnitToPointsConversionFactor(ZQUnitLength::kilometers(), 113.4);
    EXPECT_DOUBLE_EQ(f.drawing->convertLength(226.8), 2.0);
    f.drawing->setUnitsUnitToPointsConversionFactor(ZQUnitLength::kilometers(), 0); // refused
    f.drawing->setUnitsUnitToPointsConversionFactor(ZQUnitLength::kilometers(), -3);
    EXPECT_DOUBLE_EQ(f.drawing->unitToPointsConversionFactor(), 113.4);
    f.undo->undo();
    EXPECT_EQ(f.drawing->abbreviatedDrawingUnits(), QStringLiteral("cm"));

    EXPECT_EQ(VXDrawing::abbreviationForDrawingUnits(QStringLiteral("Centimeters")), QStringLiteral("cm"));
    EXPECT_EQ(VXDrawing::abbreviationForDrawingUnits(QStringLiteral("kilometres")), QStringLiteral("km"));
    EXPECT_EQ(VXDrawing::unitsForLegacyUnitName(QStringLiteral("Inches")), ZQUnitLength::inches());
    EXPECT_EQ(VXDrawing::unitsForLegacyUnitName(QStringLiteral("Pixels")), ZQUnitLength::points());
    EXPECT_EQ(VXDrawing::unitsForLegacyUnitName(QStringLiteral("cubits")), nullptr);
}

TEST(Drawing, SnapsToSquareAndIsometricGridsAndToGuides)
{
    Fixture f({400, 400});
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(grid);
    grid->setSpanDivisionsMajorsRulerSteps(50, 5, 2, 2); // divisions every 10 points
    auto guides = std::make_shared<VXGuideLayer>();
    f.drawing->addLayer(guides);
    guides->addGuide({100, true});
    guides->addGuide({250, false});

    EXPECT_EQ(f.drawing->snapToGridWithControlFlag({23, 47}, false), QPointF(23, 47)); // snapping off
    EXPECT_EQ(f.drawing->snapToGridWithControlFlag({23, 47}, true), QPointF(20, 50));  // control inverts
    f.drawing->setSnapsToGrid(true);
    EXPECT_EQ(f.drawing->snapToGridWithControlFlag({23, 47}, false), QPointF(20, 50));
    EXPECT_EQ(f.drawing->snapToGuides({96, 253}), QPointF(100, 250));
    EXPECT_EQ(f.drawing->snapToGuides({80, 240}), QPointF(80, 240)); // beyond the tolerance
    EXPECT_EQ(f.drawing->snapPointsToGuide({{10, 10}, {103, 248}}), QPointF(-3, 2));
    EXPECT_DOUBLE_EQ(grid->quartzDistanceForGridDistance(2), 100);
    EXPECT_EQ(grid->gridLocationForPoint(grid->pointForGridLocation({1.5, 3})), QPointF(1.5, 3));

    // Every corner of an isometric grid is one division from its six neighbours.
    auto isometric = std::make_shared<VXIsometricGridLayer>();
    f.drawing->addLayer(isometric);
    isometric->setSpanDivisionsMajorsRulerSteps(20, 1, 5, 2);
    const double w = 20 * std::sqrt(3.0) / 2;
    const QPointF snapped = isometric->nearestGridIntersectionToPoint({w + 1, 12});
    EXPECT_NEAR(snapped.x(), w, 1e-9);
    EXPECT_NEAR(snapped.y(), 10, 1e-9);
    EXPECT_NEAR(QLineF(isometric->nearestGridIntersectionToPoint({0, 0}), snapped).length(), 20, 1e-9);
}

TEST(Drawing, StylesAreListedOnceAndReplacedInOneStep)
{
    Fixture f;
    const VXStylePtr red = fillStyle(Qt::red);
    const VXStylePtr blue = fillStyle(Qt::blue);
    auto a = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), red);
    auto b = VXDrawableShape::drawableShapeWithRect(QRectF(20, 0, 10, 10), blue);
    auto c = VXDrawableShape::drawableShapeWithRect(QRectF(40, 0, 10, 10), red);
    f.layer->addObjectsFromArray({a, b, c});
    f.endStep();
    EXPECT_EQ(f.drawing->allStyles(), (QList<VXStylePtr>{red, blue}));

    const VXStylePtr green = fillStyle(Qt::green);
    f.drawing->replaceStylesWithStyles({red}, {green});
    f.endStep();
    EXPECT_EQ(a->style(), green);
    EXPECT_EQ(c->style(), green);
    EXPECT_EQ(b->style(), blue);
    f.undo->undo();
    EXPECT_EQ(a->style(), red);
    EXPECT_EQ(c->style(), red);
}

TEST(Drawing, ObjectsHearTheirStylesChangeWhereverTheyAre)
{
    Fixture f;
    const VXStylePtr road = strokeStyle(Qt::black, 2);
    auto kept = VXDrawablePath::drawablePathWithBezierPathWithStyle(platform::BezierPath::bezierPathWithRect({10, 10, 40, 0}), road);
    auto deleted = VXDrawablePath::drawablePathWithBezierPathWithStyle(platform::BezierPath::bezierPathWithRect({10, 60, 40, 0}), road);
    f.layer->addObjectsFromArray({kept, deleted});
    const double narrow = deleted->bounds().height();
    f.layer->removeObject(deleted.get());
    road->renderersOfClass<VXStroke>().first()->setWidth(10); // while the removed road waits to be pasted back
    EXPECT_GT(kept->bounds().height(), narrow + 7);
    f.layer->addObject(deleted);
    EXPECT_EQ(deleted->bounds().height(), kept->bounds().height()); // not the bounds cached before the edit
    EXPECT_EQ(f.layer->objectsInRect({0, 64, 60, 2}), (QList<VXDrawableObject*>{deleted.get()}));
}

TEST(Drawing, SizeAndMarginsRefuseNonsenseAndResizingKeepsObjectsFindable)
{
    Fixture f({300, 200});
    for (const QSizeF bad : {QSizeF(-5, 100), QSizeF(std::nan(""), 100), QSizeF(0, 0)})
        f.drawing->setDrawingSize(bad);
    EXPECT_EQ(f.drawing->drawingSize(), QSizeF(300, 200));
    f.drawing->setMarginsLeftTopRightBottom(200, 0, 200, 0); // leaves no interior
    EXPECT_EQ(f.drawing->interior(), QRectF(0, 0, 300, 200));
    f.drawing->setMarginsLeftTopRightBottom(10, 20, 30, 40);
    EXPECT_EQ(f.drawing->interior(), QRectF(10, 20, 260, 140));

    auto far = VXDrawableShape::drawableShapeWithRect(QRectF(5000, 5000, 10, 10), nullptr);
    f.layer->addObject(far); // outside the paper: still indexed
    EXPECT_EQ(f.layer->hitTest({5005, 5005}), far);
    f.endStep();
    f.drawing->setDrawingSize({8000, 8000});
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(f.drawing->drawingSize(), QSizeF(300, 200));
    EXPECT_EQ(f.layer->hitTest({5005, 5005}), far);
}
