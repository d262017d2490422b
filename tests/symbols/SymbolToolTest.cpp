#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "tracks/model/VXQAdornment.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QtMath>

using viewtest::expectPointNear;
using viewtest::ViewFixture;

namespace {

platform::BezierPath line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

VXQSymbolMasterPtr starMaster() { return VXQSymbolMaster::defaultSymbolMaster(); }

struct SymbolToolFixture : ViewFixture {
    const testsupport::ToolRegistryScope restoreTools;
    std::shared_ptr<VXQSymbolTool> tool = std::make_shared<VXQSymbolTool>(starMaster());

    SymbolToolFixture()
    {
        VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(tool, kVXQSymbolToolName);
        view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
        useTool(kVXQSymbolToolName);
    }

    // A road from (20, 100) to (180, 100) and on to (180, 180), outside any undo step.
    ZQMultiStylePathPtr addRoad()
    {
        platform::BezierPath path = line({20, 100}, {180, 100});
        path.lineToPoint({180, 180});
        ZQMultiStylePathPtr road =
            ZQMultiStylePath::multiStylePathWithPathStyle(path, drawingtest::strokeStyle(Qt::black, 6));
        layer->addObject(road);
        forgetEdits();
        return road;
    }

    VXDrawableObject* pending() const { return layer->pendingObject(); }
};

} // namespace

TEST(SymbolTool, ClickAndDragPlaceOneSelectedSymbolEachAsOneUndoStep)
{
    SymbolToolFixture f;
    f.click({40, 40});
    f.drag({60, 60}, {120, 50});
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    const auto* clicked = qobject_cast<VXQSymbol*>(f.layer->objectInObjectsAtIndex(0).get());
    const auto* dragged = qobject_cast<VXQSymbol*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(clicked && dragged);
    EXPECT_EQ(clicked->master(), starMaster());
    expectPointNear(clicked->location(), {40, 40});
    expectPointNear(dragged->location(), {120, 50});
    EXPECT_EQ(dragged->angle(), 0);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{f.layer->objectInObjectsAtIndex(1)});
    EXPECT_EQ(f.pending(), nullptr);
    EXPECT_EQ(f.tool->actionName(), QStringLiteral("Place Symbol"));

    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Place Symbol"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_FALSE(f.undo->canUndo()); // the moves of the gesture left nothing else behind
    f.undo->redo();
    f.undo->redo();
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    expectPointNear(f.layer->objectInObjectsAtIndex(1)->location(), {120, 50});
}

TEST(SymbolTool, OnARoadTheSymbolFollowsItsDirectionAndBecomesAnAdornment)
{
    SymbolToolFixture f;
    const ZQMultiStylePathPtr road = f.addRoad();

    // Pressed beside the horizontal stretch, dragged onto the vertical one: the symbol sits on
    // the road, turned with it, and the road is selected meanwhile.
    f.press({60, 102});
    ASSERT_NE(f.pending(), nullptr);
    expectPointNear(f.pending()->location(), {60, 100});
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{road});
    f.move({181, 140});
    expectPointNear(f.pending()->location(), {180, 140});
    EXPECT_NEAR(f.pending()->angle(), M_PI / 2, 1e-9);
    f.release({181, 140});

    EXPECT_EQ(f.layer->countOfObjects(), 1); // the road alone: the symbol went onto it
    ASSERT_EQ(road->adornments().size(), 1);
    const VXQAdornmentPtr adornment = road->adornments().first();
    EXPECT_TRUE(adornment->hasSymbol());
    EXPECT_NEAR(adornment->position(), 160 + 40, 1e-6);
    EXPECT_EQ(adornment->displayName(), QStringLiteral("Symbol \u201CDefault Symbol\u201D"));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Place Symbol On Track"));
    f.undo->undo();
    EXPECT_TRUE(road->adornments().isEmpty());
    f.undo->redo();
    EXPECT_EQ(road->adornments().size(), 1);

    // Dragged off the road, the symbol stands upright and is placed free.
    f.press({100, 100});
    f.move({100, 140});
    f.move({60, 40});
    EXPECT_EQ(f.pending()->angle(), 0);
    EXPECT_TRUE(f.layer->selection().isEmpty());
    f.release({60, 40});
    EXPECT_EQ(road->adornments().size(), 1);
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    expectPointNear(f.layer->objectInObjectsAtIndex(1)->location(), {60, 40});

    // Option keeps the symbol off the road.
    f.click({100, 100}, Qt::AltModifier);
    EXPECT_EQ(road->adornments().size(), 1);
    EXPECT_EQ(f.layer->countOfObjects(), 3);
}

TEST(SymbolTool, OptionOrAnAutoDetachingMasterPlacesPlainCopiesOfTheGraphic)
{
    SymbolToolFixture f;
    auto master = std::static_pointer_cast<VXQSymbolMaster>(starMaster()->copy());
    master->setAttributesTemplate({{QStringLiteral("kind"), QStringLiteral("star")}});
    f.tool->setSymbolMaster(master);

    f.click({50, 50}, Qt::AltModifier);
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    const VXDrawableObjectPtr copy = f.layer->objectInObjectsAtIndex(0);
    EXPECT_EQ(qobject_cast<VXQSymbol*>(copy.get()), nullptr);
    EXPECT_EQ(copy->metaObject(), master->object()->metaObject());
    expectPointNear(copy->location(), {50, 50});
    EXPECT_EQ(copy->valueForKey(QStringLiteral("kind")).toString(), QStringLiteral("star"));

    master->setAutoDetachesInstances(true);
    const ZQMultiStylePathPtr road = f.addRoad();
    f.click({100, 100});
    ASSERT_EQ(road->adornments().size(), 1);
    EXPECT_FALSE(road->adornments().first()->hasSymbol());
    f.undo->undo();
    EXPECT_TRUE(road->adornments().isEmpty());
}

TEST(SymbolTool, NewSymbolsStartAtTheDocumentPrescale)
{
    SymbolToolFixture f;
    QObject document;
    document.setProperty("prescale", 2.5);
    f.drawing->setOwner(&document);
    f.click({40, 40});
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_DOUBLE_EQ(qobject_cast<VXQSymbol*>(f.layer->objectInObjectsAtIndex(0).get())->scaleFactor(),
                     2.5 * starMaster()->prescale());
    f.drawing->setOwner(nullptr);
}

TEST(SymbolTool, PersistentDataRestoresTheMasterByKeyAndRefusesDamagedData)
{
    SymbolToolFixture f;
    const VXQSymbolManager::SharedRegistryScope registry;
    const VXQSymbolMasterPtr ring = VXQSymbolMaster::symbolMasterWithObjectName(
        *VXDrawableShape::drawableShapeWithOvalInRect({-5, -5, 10, 10}, drawingtest::strokeStyle(Qt::black, 1)),
        QStringLiteral("Ring"));
    VXQSymbolManager::registerSymbol(ring);
    f.tool->setSymbolMaster(ring);
    const QByteArray saved = f.tool->persistentData();
    EXPECT_EQ(saved, ring->uniqueKey().toUtf8());

    VXQSymbolTool restored(starMaster());
    EXPECT_TRUE(restored.shouldLoadPersistentData(saved));
    EXPECT_EQ(restored.symbolMaster(), ring);

    for (const QByteArray& damaged : {QByteArray(), QByteArray("\xff\xfe\x80", 3), QByteArray("ab\0cd", 5)}) {
        EXPECT_FALSE(restored.shouldLoadPersistentData(damaged));
        EXPECT_EQ(restored.symbolMaster(), ring); // kept
    }

    // A key no registry knows leaves the tool without a master: a click beeps and places nothing.
    EXPECT_FALSE(f.tool->shouldLoadPersistentData("no-such-master-key"));
    EXPECT_EQ(f.tool->symbolMaster(), nullptr);
    EXPECT_TRUE(f.tool->persistentData().isEmpty());
    testsupport::LogCapture log;
    f.drag({40, 40}, {60, 60});
    EXPECT_TRUE(log.contains(QStringLiteral("no symbol master chosen")));
    EXPECT_FALSE(log.contains(QStringLiteral("Assertion failure"))) << "a user's slip, not a broken program";
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.pending(), nullptr);
    EXPECT_FALSE(f.undo->canUndo());

    f.tool->setSymbolMaster(starMaster());
    f.click({40, 40});
    EXPECT_EQ(f.layer->countOfObjects(), 1);
}

TEST(SymbolTool, PlacedStarsStillShareOneMasterAfterTheLayerIsReadBack)
{
    SymbolToolFixture f;
    const VXQSymbolManager::SharedRegistryScope registry;
    const ZQMultiStylePathPtr road = f.addRoad();
    f.click({40, 40});
    f.drag({60, 40}, {90, 60});
    f.click({100, 100});
    ASSERT_EQ(road->adornments().size(), 1);

    const auto layer = testsupport::roundTrip<VXObjectDrawingLayer>(*f.layer);
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), 3);
    const auto* readRoad = qobject_cast<ZQMultiStylePath*>(layer->objectInObjectsAtIndex(0).get());
    ASSERT_TRUE(readRoad && readRoad->adornments().size() == 1);
    QList<VXQSymbol*> symbols = {qobject_cast<VXQSymbol*>(layer->objectInObjectsAtIndex(1).get()),
                                 qobject_cast<VXQSymbol*>(layer->objectInObjectsAtIndex(2).get()),
                                 qobject_cast<VXQSymbol*>(readRoad->adornments().first()->object().get())};
    ASSERT_FALSE(symbols.contains(nullptr));
    for (const VXQSymbol* symbol : symbols)
        EXPECT_EQ(symbol->master(), symbols.first()->master());
    EXPECT_EQ(symbols.first()->master()->uniqueKey(), starMaster()->uniqueKey());
    expectPointNear(symbols[1]->location(), {90, 60});
}

TEST(SymbolTool, ThePrototypeIsTheMasterAndTheStyleFallsBackToItsGraphics)
{
    const VXQSymbolMasterPtr ring = VXQSymbolMaster::symbolMasterWithObjectName(
        *VXDrawableShape::drawableShapeWithOvalInRect({-5, -5, 10, 10}, drawingtest::strokeStyle(Qt::red, 2)),
        QStringLiteral("Ring"));
    VXQSymbolTool tool(starMaster());
    {
        testsupport::LogCapture log;
        EXPECT_EQ(tool.prototype(), nullptr);
        EXPECT_TRUE(log.contains(QStringLiteral("use symbolMaster property instead")));
    }
    {
        testsupport::LogCapture log;
        EXPECT_FALSE(tool.setPrototype(VXDrawableShape::drawableShapeWithOvalInRect({0, 0, 4, 4}, nullptr)));
        EXPECT_TRUE(log.contains(QStringLiteral("VXQSymbolTool requires prototype to be a VXQSymbolMaster")));
        EXPECT_FALSE(tool.setPrototype(nullptr));
        EXPECT_EQ(tool.symbolMaster(), starMaster());
    }
    EXPECT_TRUE(tool.setPrototype(ring));
    EXPECT_EQ(tool.symbolMaster(), ring);

    const auto made = tool.objectFromPrototype();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->master(), ring);
    EXPECT_EQ(made->location(), QPointF(0, 0));

    ASSERT_EQ(VXObjectCreationTool::styleForCreatedObjects(), nullptr);
    EXPECT_EQ(tool.style(), ring->style());
    const VXStylePtr picked = drawingtest::strokeStyle(Qt::blue, 1);
    VXObjectCreationTool::setStyleForCreatedObjects(picked);
    EXPECT_EQ(tool.style(), picked);
    VXObjectCreationTool::setStyleForCreatedObjects(nullptr);

    tool.setSymbolMaster(nullptr);
    EXPECT_EQ(tool.objectFromPrototype(), nullptr);
    EXPECT_EQ(tool.style(), nullptr);
}
