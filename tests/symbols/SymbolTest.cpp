#include "symbols/placed/VXQSymbol.h"

#include "LabelTestSupport.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "support/SettingScope.h"
#include "support/StyleUse.h"
#include "support/UndoableDrawing.h"

#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>
#include <cmath>

namespace {

// A red 20 x 10 box about the origin: half diagonal sqrt(125).
VXQSymbolMasterPtr boxMaster(const QString& name = QStringLiteral("Box"))
{
    const auto box = VXDrawableShape::drawableShapeWithRect({-10, -5, 20, 10},
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    return VXQSymbolMaster::symbolMasterWithObjectName(*box, name);
}

// A box symbol at (100, 100) in a layer of a drawing with an undo manager, nothing to undo.
struct SymbolFixture : testsupport::UndoableDrawing<VXObjectDrawingLayer> {
    VXQSymbolMasterPtr master = boxMaster();
    VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(master);

    SymbolFixture()
        : UndoableDrawing({400, 300})
    {
        symbol->setLocation({100, 100});
        layer->addObject(symbol);
        forget();
    }
};

void expectNear(QPointF actual, QPointF expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-9)
{
    expectNear(actual.topLeft(), expected.topLeft(), tolerance);
    expectNear(actual.bottomRight(), expected.bottomRight(), tolerance);
}

auto sizeHandleScope(bool visible)
{
    return testsupport::SettingScope(&VXQSymbol::defaultSizeHandleVisible, &VXQSymbol::setDefaultSizeHandleVisible,
                                     visible);
}

auto scaleVisuallyScope(bool scales)
{
    return testsupport::SettingScope(&VXQSymbol::defaultSymbolsScaleVisually,
                                     &VXQSymbol::setDefaultSymbolsScaleVisually, scales);
}

// A tool that answers the one message a symbol sends it.
class StandInSymbolTool : public VXDrawingTool {
    Q_OBJECT

public:
    VXQSymbolMasterPtr master;
    Q_INVOKABLE void setSymbolMaster(const VXQSymbolMasterPtr& symbolMaster) { master = symbolMaster; }
    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF, VXDrawableObject*, VXLayer*, QMouseEvent*,
                                                       VXToolController*) override
    {
        return 0;
    }
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*, VXToolController*) override {}
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*, VXToolController*) override
    {
        return false;
    }
};

} // namespace

TEST(Symbol, PlacementTurnsAndScalesTheMasterRectangleAndTheSetterClampsTheScale)
{
    SymbolFixture f;
    EXPECT_EQ(f.symbol->master(), f.master);
    EXPECT_EQ(f.master->symbols(), QList<ZQObject*>{f.symbol.get()});
    expectRectNear(f.symbol->cachedMasterBounds(), {-10, -5, 20, 10});
    expectRectNear(f.symbol->bounds(), {84, 89, 32, 22});

    f.symbol->setAngle(M_PI / 2);
    f.symbol->setScaleFactor(2);
    expectNear(f.symbol->localTransform().map(QPointF(10, 0)), {100, 120});
    expectRectNear(f.symbol->boundsIgnoringLabels(), {90, 80, 20, 40});
    EXPECT_EQ(f.symbol->size(), QSizeF(40, 20));
    EXPECT_TRUE(f.symbol->objectIsValid());
    f.symbol->setObjectAngleIsAbsolute(true);
    expectRectNear(f.symbol->boundsIgnoringLabels(), {80, 90, 40, 20});

    // A master places its instances at its prescale times the document's, clamped.
    f.master->setPrescale(4);
    const auto placed = f.master->symbolWithLocationDocumentPrescale({7, 8}, 5);
    expectNear(placed->location(), {7, 8});
    EXPECT_EQ(placed->scaleFactor(), 10.0);
    EXPECT_EQ(f.master->symbolWithLocation({}).get()->scaleFactor(), 4.0);

    f.symbol->setScaleFactor(0.05);
    EXPECT_EQ(f.symbol->scaleFactor(), 0.1);
    f.symbol->setScaleFactor(25);
    EXPECT_EQ(f.symbol->scaleFactor(), 10.0);
    f.symbol->setScaleFactor(std::nan(""));
    f.symbol->setScaleFactor(INFINITY);
    EXPECT_EQ(f.symbol->scaleFactor(), 10.0);

    // A move of the selection reaches the location; a turn and a uniform scale the angle and factor.
    f.symbol->setObjectAngleIsAbsolute(false);
    f.symbol->setScaleFactor(1);
    f.symbol->applyTransform(QTransform::fromTranslate(5, -5));
    expectNear(f.symbol->location(), {105, 95});
    f.symbol->applyTransform(QTransform().scale(3, 3));
    expectNear(f.symbol->location(), {315, 285});
    EXPECT_NEAR(f.symbol->scaleFactor(), 3, 1e-12);
    EXPECT_NEAR(f.symbol->angle(), M_PI / 2, 1e-12);
}

TEST(Symbol, HitPartsAreTheGraphicTheSizeHandleAndTheFirstLabelsBody)
{
    const auto handles = sizeHandleScope(true);
    SymbolFixture f;
    ASSERT_TRUE(f.symbol->showsSizeHandle());
    EXPECT_EQ(f.symbol->hitPart({95, 102}), kVXDrawingEntireObjectPart);
    EXPECT_EQ(f.symbol->hitPart({100, 108}), kVXDrawingNoPart); // within the outset, off the box
    EXPECT_EQ(f.symbol->hitPart({300, 300}), kVXDrawingNoPart);
    expectNear(f.symbol->sizeHandlePoint(), {109, 104});
    EXPECT_EQ(f.symbol->hitPart({109, 104}), VXQSymbol::kSizeHandlePart);

    const auto label = labeltest::FixedLabel::make();
    f.symbol->addTextLabel(label);
    EXPECT_EQ(f.symbol->hitPart(label->bounds().center()), kVXQTextLabelPartBase + 4);
    EXPECT_TRUE(f.symbol->bounds().contains(label->bounds()));

    f.symbol->setVisible(false);
    EXPECT_EQ(f.symbol->hitPart({95, 102}), kVXDrawingNoPart);
}

TEST(Symbol, DraggingTheSizeHandleScalesByDistanceOverHalfTheDiagonalInOneStep)
{
    const auto handles = sizeHandleScope(true);
    SymbolFixture f;
    const double halfDiagonal = std::sqrt(125.0);
    f.undo.closeAutomaticGroup();
    f.symbol->mouseDownAtPointInPartEvent({109, 104}, VXQSymbol::kSizeHandlePart, nullptr);
    f.symbol->mouseDraggedAtPointInPartEvent({100 + 1.5 * halfDiagonal, 100}, VXQSymbol::kSizeHandlePart, nullptr);
    f.symbol->mouseDraggedAtPointInPartEvent({100, 100 + 2 * halfDiagonal}, VXQSymbol::kSizeHandlePart, nullptr);
    EXPECT_NEAR(f.symbol->scaleFactor(), 2.0, 1e-12);
    EXPECT_EQ(f.symbol->mouseUpAtPointInPartEvent({}, VXQSymbol::kSizeHandlePart, nullptr), "Scale Symbol");
    f.symbol->mouseDraggedAtPointInPartEvent({100, 100 + 100 * halfDiagonal}, VXQSymbol::kSizeHandlePart, nullptr);
    EXPECT_EQ(f.symbol->scaleFactor(), 10.0);
    f.undo.closeAutomaticGroup();
    f.undo.undo();
    EXPECT_EQ(f.symbol->scaleFactor(), 1.0);

    // A symbol without a master rectangle cannot be scaled by its handle: no NaN is stored.
    VXQSymbol empty;
    EXPECT_FALSE(empty.scaleFactorForSizeHandleAtPoint({10, 10}));
    empty.mouseDraggedAtPointInPartEvent({10, 10}, VXQSymbol::kSizeHandlePart, nullptr);
    EXPECT_EQ(empty.scaleFactor(), 1.0);
}

TEST(Symbol, SettersMasterReplacementAndLockedSymbolsUndoAndRedo)
{
    SymbolFixture f;
    const auto other = boxMaster(QStringLiteral("Other"));
    other->setAttributesTemplate({{QStringLiteral("kind"), QStringLiteral("well")}});
    f.step([&] { f.symbol->setLocation({50, 60}); });
    f.step([&] { f.symbol->setAngle(1.0); });
    f.step([&] { f.symbol->setMaster(other); });
    EXPECT_EQ(f.symbol->metadataValueForKey("kind"), "well");
    EXPECT_EQ(f.symbol->name(), "Other");
    EXPECT_TRUE(f.master->symbols().isEmpty());
    EXPECT_EQ(other->symbols(), QList<ZQObject*>{f.symbol.get()});

    f.undo.undo();
    EXPECT_EQ(f.symbol->master(), f.master);
    EXPECT_EQ(f.master->symbols(), QList<ZQObject*>{f.symbol.get()});
    f.undo.undo();
    EXPECT_EQ(f.symbol->angle(), 0.0);
    f.undo.undo();
    expectNear(f.symbol->location(), {100, 100});
    f.undo.redo();
    f.undo.redo();
    f.undo.redo();
    EXPECT_EQ(f.symbol->master(), other);
    EXPECT_EQ(f.symbol->angle(), 1.0);

    f.symbol->setLocked(true);
    f.symbol->setMaster(f.master);
    f.symbol->setScaleFactor(3);
    f.symbol->setLocation({0, 0});
    EXPECT_EQ(f.symbol->master(), other);
    EXPECT_EQ(f.symbol->scaleFactor(), 1.0);
    expectNear(f.symbol->location(), {50, 60});
}

TEST(Symbol, DetachPickUpAndPastingAMasterAreUndoableSteps)
{
    const testsupport::ToolRegistryScope tools;
    SymbolFixture f;
    f.symbol->setAngle(M_PI / 2);
    f.symbol->setScaleFactor(2);
    f.symbol->setMetadataItemValueForKey(QStringLiteral("Ash"), QStringLiteral("tree"));
    f.layer->replaceSelectionWithObject(f.symbol);
    f.forget();

    f.step([&] { f.symbol->detachSymbol(); });
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    const VXDrawableObjectPtr detached = f.layer->objectInObjectsAtIndex(0);
    EXPECT_FALSE(qobject_cast<VXQSymbol*>(detached.get()));
    expectRectNear(detached->logicalBounds(), {90, 80, 20, 40}, 1e-6);
    EXPECT_EQ(detached->metadataValueForKey("tree"), "Ash");
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{detached});
    EXPECT_EQ(f.undo.undoActionName(), "Detach Symbol");
    f.undo.undo();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>{f.symbol});
    EXPECT_TRUE(f.layer->isSelectedObject(f.symbol.get()));

    const auto tool = std::make_shared<StandInSymbolTool>();
    VXToolRegistry::sharedToolRegistry().registerDrawingToolWithName(tool, QStringLiteral("Place Symbol"));
    f.step([&] { f.symbol->pickUpSymbol(); });
    EXPECT_EQ(tool->master, f.master);
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    f.undo.undo();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>{f.symbol});
    EXPECT_EQ(f.symbol->metadataValueForKey("tree"), "Ash"); // its own attributes, not the template

    const auto other = boxMaster(QStringLiteral("Pasted"));
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    other->copyToPasteboard(pasteboard);
    f.step([&] { f.symbol->pasteSymbolMaster(); });
    EXPECT_EQ(f.symbol->masterName(), "Pasted");
    EXPECT_EQ(f.undo.undoActionName(), "Paste Symbol Master");
    f.undo.undo();
    EXPECT_EQ(f.symbol->master(), f.master);

    f.step([&] { f.symbol->setLocked(true); });
    f.symbol->detachSymbol();
    f.symbol->pasteSymbolMaster();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>{f.symbol});
    EXPECT_EQ(f.symbol->master(), f.master);
}

TEST(Symbol, DrawsWithItsMastersStylesOrWithItsLocalStyleAlone)
{
    SymbolFixture f;
    const QList<VXStylePtr> masters = f.master->object()->allStyles();
    ASSERT_FALSE(masters.isEmpty());
    const VXStylePtr other = VXStyle::styleWithFillColourStrokeColour(Qt::green, {});
    EXPECT_TRUE(f.symbol->usesStyle(*masters.first()));
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*f.symbol, masters + QList<VXStylePtr>{other}));
    f.symbol->setUsesLocalStyle(true);
    f.symbol->setStyle(other);
    EXPECT_TRUE(f.symbol->usesStyle(*other));
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*f.symbol, masters + QList<VXStylePtr>{other}));
}

TEST(Symbol, ArchivesKeepThePlacementShareTheMasterAndReadBadValuesSafely)
{
    const auto visually = scaleVisuallyScope(false);
    SymbolFixture f;
    auto second = VXQSymbol::symbolWithMaster(f.master);
    f.layer->addObject(second);
    f.symbol->setAngle(0.5);
    f.symbol->setScaleFactor(2.5);
    f.symbol->setObjectAngleIsAbsolute(true);
    f.symbol->setUsesLocalStyle(true);
    f.symbol->addTextLabel(labeltest::FixedLabel::make());
    f.symbol->setLabelsHidden(true);

    const auto layer = testsupport::roundTrip<VXObjectDrawingLayer>(*f.layer);
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), 2);
    const auto* read = qobject_cast<VXQSymbol*>(layer->objectInObjectsAtIndex(0).get());
    const auto* readSecond = qobject_cast<VXQSymbol*>(layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(read && readSecond);
    EXPECT_EQ(read->master(), readSecond->master());
    EXPECT_EQ(read->master()->uniqueKey(), f.master->uniqueKey());
    expectNear(read->location(), {100, 100});
    EXPECT_EQ(read->angle(), 0.5);
    EXPECT_EQ(read->scaleFactor(), 2.5);
    EXPECT_TRUE(read->objectAngleIsAbsolute());
    EXPECT_TRUE(read->usesLocalStyle());
    EXPECT_EQ(read->textLabels().size(), 1);
    EXPECT_TRUE(read->labelsHidden());
    EXPECT_TRUE(read->ignoresDataTransformers());

    // Reading takes the class's scaling and ignores transformers, whatever was written.
    f.symbol->setIgnoresDataTransformers(false);
    visually.set(true);
    EXPECT_TRUE(testsupport::roundTrip<VXQSymbol>(*f.symbol)->scalesVisually());
    EXPECT_TRUE(testsupport::roundTrip<VXQSymbol>(*f.symbol)->ignoresDataTransformers());
    visually.set(false);

    // Scale factors at or below zero (or not finite) read as 1; large ones stay; no master
    // reads as the default master.
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("VXQSymbol_scaleFactor"), 0.0},
                   {QStringLiteral("VXQSymbol_angle"), std::nan("")},
                   {QStringLiteral("VXQSymbol_hasModernTypeSequence"), true}};
    testsupport::LogCapture log;
    const auto zero = std::dynamic_pointer_cast<VXQSymbol>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSymbol"))));
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->scaleFactor(), 1.0);
    EXPECT_EQ(zero->angle(), 0.0);
    EXPECT_EQ(zero->master(), VXQSymbolMaster::defaultSymbolMaster());
    EXPECT_TRUE(log.contains("substituting default master for corrupted symbol"));
    const auto scaleReadFrom = [&](double stored) {
        stub.values[QStringLiteral("VXQSymbol_scaleFactor")] = stored;
        const auto symbol = std::dynamic_pointer_cast<VXQSymbol>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSymbol"))));
        return symbol ? symbol->scaleFactor() : -1.0;
    };
    EXPECT_EQ(scaleReadFrom(-3), 1.0);
    EXPECT_EQ(scaleReadFrom(1e300), 1.0);
    EXPECT_EQ(scaleReadFrom(20), 20.0);

    // A master of another class leaves nothing to draw: the symbol is dropped.
    stub.objects[QStringLiteral("VXQSymbol_master")] = VXDrawableShape::drawableShapeWithRect({0, 0, 4, 4}, nullptr);
    EXPECT_FALSE(platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSymbol"))));
}

TEST(Symbol, ACopySharesTheOriginalsMasterObjectAndKeepsItsExactValues)
{
    const auto visually = scaleVisuallyScope(true);
    SymbolFixture f;
    f.symbol->setScaleFactor(1.2345678901234);
    f.symbol->setIgnoresDataTransformers(false);
    visually.set(false);

    const auto copy = std::dynamic_pointer_cast<VXQSymbol>(f.symbol->copyDrawable());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->master(), f.master);
    EXPECT_EQ(f.master->symbols(), (QList<ZQObject*>{f.symbol.get(), copy.get()}));
    EXPECT_EQ(copy->scaleFactor(), 1.2345678901234);
    EXPECT_TRUE(copy->scalesVisually());
    EXPECT_FALSE(copy->ignoresDataTransformers());
    expectNear(copy->location(), {100, 100});
    EXPECT_NE(copy->uniqueKey(), f.symbol->uniqueKey());

    // Inside a copied group too.
    auto group = VXShapeGroup::groupWithObjects({VXQSymbol::symbolWithMaster(f.master)});
    const auto groupCopy = std::dynamic_pointer_cast<VXShapeGroup>(group->copyDrawable());
    ASSERT_TRUE(groupCopy);
    EXPECT_EQ(qobject_cast<VXQSymbol*>(groupCopy->groupObjects().first().get())->master(), f.master);
}

TEST(Symbol, ValidationAnswersCode55AndConvertsColoursIntoStyles)
{
    SymbolFixture f;
    QuorvaneError error;
    QVariant text = QStringLiteral("big");
    EXPECT_FALSE(f.symbol->validateValueForKeyError(text, QStringLiteral("scaleFactor"), &error));
    EXPECT_EQ(error.code(), kQuorvaneValidationError);
    EXPECT_EQ(error.domain(), "Quorvane Error");
    EXPECT_EQ(text, "big");
    QVariant number = 2.5;
    EXPECT_TRUE(f.symbol->validateValueForKeyError(number, QStringLiteral("angle"), nullptr));
    EXPECT_FALSE(f.symbol->validateValueForKeyError(text, QStringLiteral("angle"), nullptr));

    QVariant colour = QColor(Qt::green);
    ASSERT_TRUE(f.symbol->validateValueForKeyError(colour, QStringLiteral("style"), nullptr));
    const auto style = colour.value<VXStylePtr>();
    ASSERT_TRUE(style);
    EXPECT_EQ(style->fillColour(), QColor(Qt::green));
    EXPECT_NE(style, f.master->style());

    // A group master takes no local style.
    const auto a = VXDrawableShape::drawableShapeWithRect({0, 0, 4, 4}, nullptr);
    const auto b = VXDrawableShape::drawableShapeWithRect({8, 0, 4, 4}, nullptr);
    const auto group = VXShapeGroup::groupWithObjects({a, b});
    f.symbol->setMaster(VXQSymbolMaster::symbolMasterWithObjectName(*group, QStringLiteral("Pair")));
    colour = QColor(Qt::green);
    EXPECT_FALSE(f.symbol->validateValueForKeyError(colour, QStringLiteral("style"), &error));
    EXPECT_EQ(error.code(), kQuorvaneValidationError);
    f.symbol->setUsesLocalStyle(true);
    EXPECT_FALSE(f.symbol->usesLocalStyle());
}

TEST(Symbol, DrawsTheMasterThroughItsPlacementAndFollowsMasterEdits)
{
    for (const bool visually : {false, true}) {
        const auto scaling = scaleVisuallyScope(visually);
        SymbolFixture f;
        f.symbol->setScaleFactor(2);
        f.symbol->setAngle(M_PI / 2); // a 20 x 40 box about (100, 100)
        const QImage image = platform::DrawingRenderer::imageOfDrawing(*f.drawing, {0, 0, 400, 300}, {400, 300}, Qt::white);
        EXPECT_EQ(image.pixelColor(100, 117), QColor(Qt::red)) << visually;
        EXPECT_EQ(image.pixelColor(117, 100), QColor(Qt::white)) << visually;
        EXPECT_EQ(f.master->object()->container(), f.master.get());

        // The copies drawn before share the master's style, so an edit of it shows at once.
        f.master->style()->setFillColour(Qt::green);
        const auto draw = [&] { return platform::DrawingRenderer::imageOfDrawing(*f.drawing, {0, 0, 400, 300}, {400, 300}, Qt::white); };
        EXPECT_EQ(draw().pixelColor(100, 117), QColor(Qt::green)) << visually;

        // A bigger graphic reaches the symbol's bounds and its drawing at once.
        const auto wide = VXDrawableShape::drawableShapeWithRect({-30, -5, 60, 10},
                                                                 VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
        f.master->setObject(wide.get());
        expectRectNear(f.symbol->boundsIgnoringLabels(), {90, 40, 20, 120});
        const QImage wider = draw();
        EXPECT_EQ(wider.pixelColor(100, 150), QColor(Qt::blue)) << visually;
        EXPECT_EQ(wider.pixelColor(100, 117), QColor(Qt::blue)) << visually;
    }
}

TEST(Symbol, UngroupingKeepsTheSymbolsPlaceTurnAndScaleOnThePage)
{
    const auto master = boxMaster();
    auto left = VXQSymbol::symbolWithMaster(master);
    auto right = VXQSymbol::symbolWithMaster(master);
    left->setLocation({100, 100});
    right->setLocation({140, 100});
    const auto group = VXShapeGroup::groupWithObjects({left, right});
    ASSERT_TRUE(group);
    const QPointF centre = group->location();
    group->setSize(group->size() * 2);
    group->setAngle(M_PI / 2);

    const QList<VXDrawableObjectPtr> freed = group->ungroupObjects();
    ASSERT_EQ(freed.size(), 2);
    const auto* first = qobject_cast<VXQSymbol*>(freed.first().get());
    ASSERT_TRUE(first);
    expectNear(first->location(), centre + QPointF(0, 2 * (100 - centre.x())), 1e-9);
    EXPECT_NEAR(first->scaleFactor(), 2.0, 1e-12);
    EXPECT_NEAR(first->angle(), M_PI / 2, 1e-12);
    EXPECT_EQ(first->master(), master);

    // A transform that flattens would leave no scale: the symbol is left alone.
    left->applyTransform(QTransform().scale(1, 0));
    EXPECT_EQ(left->scaleFactor(), 1.0);
}

TEST(Symbol, TheContextMenuOffersTheMasterCommandsAndALockedSymbolRefusesThem)
{
    SymbolFixture f;
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    platform::Menu menu;
    ASSERT_TRUE(f.symbol->populateContextualMenuAtPoint(&menu, {100, 100}));
    QStringList titles;
    for (QAction* action : menu.actions())
        if (!action->isSeparator())
            titles.append(action->text());
    EXPECT_EQ(titles, (QStringList{"New Label", "Hide Labels", "Detach From Symbol Master", "Show Master In Library",
                                   "Pick Up", "Copy Style", "Copy Symbol Master"}));

    f.symbol->copySymbolMaster();
    EXPECT_EQ(VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard)->uniqueKey(), f.master->uniqueKey());
    platform::Menu withMaster;
    f.symbol->populateContextualMenuAtPoint(&withMaster, {100, 100});
    EXPECT_EQ(withMaster.actions().last()->text(), "Paste Symbol Master");

    const auto validates = [&](const QByteArray& action) {
        platform::MenuItem item(QString(), action);
        return f.symbol->validateMenuItem(&item);
    };
    EXPECT_TRUE(validates("detachSymbol"));
    EXPECT_TRUE(validates("pasteSymbolMaster"));
    EXPECT_FALSE(validates("selectAllLabels"));
    f.symbol->setLocked(true);
    EXPECT_FALSE(validates("detachSymbol"));
    EXPECT_FALSE(validates("pickUpSymbol"));
    EXPECT_FALSE(validates("pasteSymbolMaster"));
    EXPECT_TRUE(validates("copySymbolMaster"));
    EXPECT_TRUE(validates("revealMasterSymbol"));
}

#include "SymbolTest.moc"

namespace {

// How many pixels of the tiled image of `source` (drawn on several threads at once, 4 pixels a
// point) differ from one painter drawing it all on this thread, over `runs` runs.
int pixelsTilesGetWrong(const VXDrawing& drawing, const QRectF& source, int runs = 3)
{
    const QSize pixels = (source.size() * 4).toSize();
    QImage serial(pixels, QImage::Format_ARGB32_Premultiplied);
    serial.fill(Qt::white);
    {
        // Clipped as the tiles are: the raster engine rounds antialiased edges under a clip a
        // little differently.
        QPainter painter(&serial);
        painter.setClipRect(serial.rect());
        painter.scale(4, 4);
        painter.translate(-source.topLeft());
        platform::DrawingRenderer::Options options;
        options.printing = true;
        platform::DrawingRenderer::drawDrawing(drawing, painter, source, options);
    }
    int differing = 0;
    for (int run = 0; run < runs; ++run) {
        const QImage tiled = platform::DrawingRenderer::imageOfDrawing(drawing, source, pixels, Qt::white);
        for (int y = 0; y < tiled.height(); ++y)
            for (int x = 0; x < tiled.width(); ++x)
                differing += tiled.pixel(x, y) != serial.pixel(x, y);
    }
    return differing;
}

QPointF scatteredPlace(int i)
{
    return {10.0 + (i * 37) % 380, 10.0 + (i * 53) % 280};
}

} // namespace

TEST(Symbol, ManySymbolsOfOneMasterAllDrawWhenTilesDrawAtOnce)
{
    // The tiles of an image draw on several threads; each symbol draws a copy of the master's
    // graphic lent to it alone, so none is left out and each is drawn where it stands.
    SymbolFixture f;
    QList<VXDrawableObjectPtr> more;
    for (int i = 0; i < 300; ++i) {
        auto symbol = VXQSymbol::symbolWithMaster(f.master);
        symbol->setLocation(scatteredPlace(i));
        more.append(symbol);
    }
    f.layer->addObjectsFromArray(more);
    EXPECT_EQ(pixelsTilesGetWrong(*f.drawing, {0, 0, 400, 300}), 0);
}

TEST(Symbol, NestedMastersAndLocalStylesDrawTheSameInTilesAsInOnePass)
{
    for (const bool visually : {false, true}) {
        const auto scaling = scaleVisuallyScope(visually);
        SymbolFixture f;
        // A master whose graphic holds a turned box symbol beside a blue oval, and one holding
        // a symbol of that one beside a green square: instances two levels deep.
        auto box = VXQSymbol::symbolWithMaster(f.master);
        box->setLocation({8, 0});
        box->setAngle(M_PI / 4);
        const auto oval = VXDrawableShape::drawableShapeWithOvalInRect({-12, -6, 10, 12},
                                                                       VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
        const VXQSymbolMasterPtr pair =
            VXQSymbolMaster::symbolMasterWithObjectName(*VXShapeGroup::groupWithObjects({oval, box}), QStringLiteral("Pair"));
        auto pairSymbol = VXQSymbol::symbolWithMaster(pair);
        pairSymbol->setScaleFactor(0.5);
        const auto square = VXDrawableShape::drawableShapeWithRect({-4, 6, 8, 8},
                                                                   VXStyle::styleWithFillColourStrokeColour(Qt::green, {}));
        const VXQSymbolMasterPtr deep = VXQSymbolMaster::symbolMasterWithObjectName(
            *VXShapeGroup::groupWithObjects({square, pairSymbol}), QStringLiteral("Deep"));

        const VXQSymbolMasterPtr masters[] = {f.master, pair, deep};
        QList<VXDrawableObjectPtr> more;
        for (int i = 0; i < 240; ++i) {
            auto symbol = VXQSymbol::symbolWithMaster(masters[i % 3]);
            symbol->setLocation(scatteredPlace(i));
            symbol->setAngle(i * 0.1);
            symbol->setScaleFactor(0.5 + (i % 4) * 0.25);
            if (i % 6 == 0) {
                symbol->setUsesLocalStyle(true);
                symbol->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::magenta, {}));
            }
            more.append(symbol);
        }
        f.layer->addObjectsFromArray(more);
        EXPECT_EQ(pixelsTilesGetWrong(*f.drawing, {0, 0, 400, 300}), 0) << visually;
    }
}
