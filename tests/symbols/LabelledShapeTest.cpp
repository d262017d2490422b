#include "symbols/shapes/VXQLabelledShape.h"
#include "symbols/placed/VXQSymbol.h"

#include "app/LaunchSettingsScope.h"
#include "app/application/VLTMAppDelegate.h"
#include "platform/ui/DocumentController.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/ArchiveTesting.h"
#include "support/UndoableDrawing.h"

#include <QApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>
#include <cmath>
#include <optional>

namespace {

using Block = VXQTextBlockLabel;
constexpr int kBody = 4; // the first label's body, as a local part code
const QRectF kRect{100, 100, 100, 60}; // centre (150, 130)

// A 100 x 60 rectangle in a layer of a drawing with an undo manager, nothing to undo.
struct ShapeFixture : testsupport::UndoableDrawing<VXObjectDrawingLayer> {
    VXQLabelledShapePtr shape = labelledShape(kRect);

    ShapeFixture()
        : UndoableDrawing({400, 300})
    {
        layer->addObject(shape);
        forget();
    }
    static VXQLabelledShapePtr labelledShape(const QRectF& rect)
    {
        auto shape = std::make_shared<VXQLabelledShape>();
        shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(rect));
        shape->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black));
        return shape;
    }
    // "New Label" as one undo step.
    Block* newLabel()
    {
        step([this] { shape->newTextLabel(); });
        return static_cast<Block*>(shape->textLabels().last().get());
    }
    void drag(QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int partcode = kBody)
    {
        shape->moveTextLabelWithPartcodeToPoint(partcode, to, modifiers);
    }
};

void expectNear(QPointF actual, QPointF expected, double tolerance = 1e-4)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

QPointF direction(double degrees, double distance)
{
    return QPointF(150, 130) + distance * QPointF(std::cos(degrees * M_PI / 180), std::sin(degrees * M_PI / 180));
}

// Archives the plain shape's fields and then, as its label list, whatever it is given.
struct ShapeWithStrayLabels : VXQLabelledShape {
    QVariantList entries;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        VXDrawableShape::encodeWithCoder(coder);
        coder.encodeObject(QVariant(entries), QStringLiteral("VXQLabelledShape_labels"));
    }
};

// A label archived with its container and, under the text's key, only what it is given.
struct LabelWithoutText : Block {
    ZQObjectPtr container;
    ZQObjectPtr inPlaceOfText;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        coder.encodeObject(inPlaceOfText.get(), QStringLiteral("VXQTextLabel_adornment"));
        coder.encodeObject(container.get(), QStringLiteral("VXQTextLabel_container"));
    }
};

// A layer that archives whatever it is given as its objects.
struct LayerListing : VXObjectDrawingLayer {
    QVariantList entries;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        VXLayer::encodeWithCoder(coder);
        coder.encodeObject(QVariant(entries), QStringLiteral("VXObjectOwnerLayer_objects"));
    }
};

} // namespace

TEST(LabelledShape, NewLabelSitsOnTheCentreAndDragsPickTheCompassPlacementAtTheShapesRadius)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    EXPECT_EQ(label->placement(), Block::kOnCentroid);
    expectNear(label->labelRect().center(), {150, 130});
    EXPECT_EQ(f.undo.undoActionName(), "New Label");
    EXPECT_EQ(f.shape->selectedTextLabels(), f.shape->textLabels());

    // Within 10 of the visual centre it stays there.
    f.drag({157, 136});
    EXPECT_EQ(label->placement(), Block::kOnCentroid);
    // Straight up: north at h/2 + 4; right: east at w/2 + 4; up-right: north-east at half the diagonal + 1.
    f.drag({150, 20});
    EXPECT_EQ(label->placement(), Block::kNorth);
    EXPECT_DOUBLE_EQ(f.shape->labelOffsetRadiusForLabel(*label), 34.0);
    expectNear(label->labelOrigin(), {150, 96});
    f.drag({300, 130});
    EXPECT_EQ(label->placement(), Block::kEast);
    EXPECT_DOUBLE_EQ(f.shape->labelOffsetRadiusForLabel(*label), 54.0);
    expectNear(label->labelOrigin(), {204, 130});
    f.drag({250, 30});
    EXPECT_EQ(label->placement(), Block::kNorthEast);
    const double diagonal = std::hypot(100.0, 60.0) / 2 + 1;
    EXPECT_DOUBLE_EQ(f.shape->labelOffsetRadiusForLabel(*label), diagonal);
    expectNear(label->labelOrigin(), QPointF(150, 130) + diagonal * QPointF(std::cos(-M_PI / 6), std::sin(-M_PI / 6)));

    // Each compass direction, at the middle and near both edges of its sector.
    const int byDirection[] = {Block::kEast, Block::kSouthEast, Block::kSouth, Block::kSouthWest,
                               Block::kWest, Block::kNorthWest, Block::kNorth, Block::kNorthEast};
    for (int k = 0; k < 8; ++k)
        for (const double offset : {-22.0, 0.0, 22.0}) {
            f.drag(direction(45 * k + offset, 120));
            EXPECT_EQ(label->placement(), byDirection[k]) << 45 * k + offset << " degrees";
        }
    // Inside 0.3 of the radius but away from the visual centre: on the centre point (west: radius 54).
    f.drag({300, 130});
    f.drag({163, 130});
    EXPECT_EQ(label->placement(), Block::kOnReferencePoint);
}

TEST(LabelledShape, DraggingRoundTheShapeInTheViewIsOneUndoStepPerGesture)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    VXDrawingView view;
    view.resize(400, 300);
    view.setDrawing(f.drawing);
    view.show();
    view.toolController()->setDrawingTool(nullptr);
    f.layer->deselectAll();
    f.forget();
    const auto at = [&](QPointF p) { return view.convertPointFromDrawing(p).toPoint(); };
    const auto drag = [&](QPointF from, QList<QPointF> through, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(view.viewport(), Qt::LeftButton, modifiers, at(from));
        for (QPointF p : through)
            QTest::mouseMove(view.viewport(), at(p));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, modifiers, at(through.last()));
    };
    // The label of an unselected shape: round the compass in one gesture, ending south.
    drag(label->labelRect().center(), {{150, 40}, {260, 130}, {150, 220}});
    EXPECT_TRUE(f.layer->isSelectedObject(f.shape.get()));
    EXPECT_EQ(label->placement(), Block::kSouth);
    ASSERT_EQ(f.undo.numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo.undoActionName(), "Label Placement");
    // With Shift it goes free; undo gives back the placement, redo the offset.
    drag(label->labelRect().center(), {{40, 40}}, Qt::ShiftModifier);
    EXPECT_EQ(label->placement(), Block::kFree);
    expectNear(label->freePosition(), view.convertPointToDrawing(at({40, 40})) - QPointF(150, 130));
    EXPECT_EQ(f.undo.undoActionName(), "Move Label");
    // A click on it, without moving, leaves it where it is.
    const int steps = f.undo.numberOfUndoActions();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at(label->labelRect().center()));
    EXPECT_EQ(label->placement(), Block::kFree);
    EXPECT_EQ(f.undo.numberOfUndoActions(), steps);
    f.undo.undo();
    EXPECT_EQ(label->placement(), Block::kSouth);
    f.undo.undo();
    EXPECT_EQ(label->placement(), Block::kOnCentroid);
    f.undo.redo();
    EXPECT_EQ(label->placement(), Block::kSouth);
    // Its knob turns it.
    const int knobPart = f.shape->hitPart(label->rotationKnobPoint()) - kVXQTextLabelPartBase;
    EXPECT_EQ(knobPart, kBody + Block::kRotationKnobPart);
    drag(label->rotationKnobPoint(), {label->labelOrigin() + QPointF(0, 40)});
    EXPECT_NE(label->angle(), 0.0);
    EXPECT_EQ(f.undo.undoActionName(), "Rotate Label");
    f.undo.undo();
    EXPECT_EQ(label->angle(), 0.0);
}

TEST(LabelledShape, ShiftDragsAreFreeAndUndoStepsBackThroughTheOffsetsStayingFree)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    for (const QPointF p : {QPointF(300, 40), QPointF(320, 60)}) {
        f.drag(p, Qt::ShiftModifier);
        f.undo.closeAutomaticGroup();
    }
    EXPECT_EQ(label->placement(), Block::kFree);
    expectNear(label->labelOrigin(), {320, 60});
    f.undo.undo();
    expectNear(label->freePosition(), {150, -90});
    EXPECT_EQ(label->placement(), Block::kFree);
    f.undo.undo();
    EXPECT_EQ(label->placement(), Block::kFree);
    expectNear(label->freePosition(), {0, 0});
}

TEST(LabelledShape, PartCodesOfLabelsAndHiddenLabels)
{
    ShapeFixture f;
    Block* first = f.newLabel();
    Block* second = f.newLabel();
    f.drag({150, 20});
    f.shape->moveTextLabelWithPartcodeToPoint(8, {150, 240}, {});
    EXPECT_EQ(first->placement(), Block::kNorth);
    EXPECT_EQ(second->placement(), Block::kSouth);
    EXPECT_EQ(f.shape->hitPart(first->labelRect().center()), 256005);
    EXPECT_EQ(f.shape->hitPart(first->rotationKnobPoint()), 256008);
    EXPECT_EQ(f.shape->hitPart(second->labelRect().center()), 256009);
    EXPECT_EQ(f.shape->hitPart({150, 130}), kVXDrawingEntireObjectPart);

    // Hidden: no label parts, none drawn, but the bounds keep them; knobs go by the shape alone.
    const QRectF bounds = f.shape->bounds();
    EXPECT_TRUE(bounds.contains(first->bounds()));
    EXPECT_EQ(f.shape->logicalBounds(), kRect);
    f.shape->setLabelsHidden(true);
    EXPECT_EQ(f.shape->hitPart(first->labelRect().center()), kVXDrawingNoPart);
    EXPECT_EQ(f.shape->bounds(), bounds);
    f.undo.closeAutomaticGroup();
    f.undo.undo();
    EXPECT_FALSE(f.shape->labelsHidden());
}

TEST(LabelledShape, NewLabelsSizeToTheShapeOrCopyTheStylesTextAndShowItsName)
{
    for (const auto& [height, size] : {std::pair{100.0, 33.0}, std::pair{10.0, 6.0}, std::pair{200.0, 36.0}}) {
        auto shape = ShapeFixture::labelledShape({0, 0, 50, height});
        shape->newTextLabel();
        EXPECT_EQ(shape->textLabels().first()->fontSize(), size) << height;
    }
    // A style with a text adornment gives new labels a copy of its last one, laid out in a box.
    ShapeFixture f;
    auto text = VXTextAdornment::textAdornmentWithText(QStringLiteral("%%name"));
    text->setFontSize(17);
    text->setEnabled(false);
    auto style = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, Qt::black);
    style->addRenderer(text);
    f.shape->setStyle(style);
    Block* label = f.newLabel();
    EXPECT_EQ(label->fontSize(), 17);
    EXPECT_TRUE(label->textAdornment()->enabled());
    EXPECT_NE(label->textAdornment().get(), text.get());

    // The name lives in the attributes too, and labels showing it follow a rename.
    f.shape->setName(QStringLiteral("Mill Pond"));
    EXPECT_EQ(f.shape->metadataObjectForKey("name").toString(), "Mill Pond");
    EXPECT_EQ(label->string(), "Mill Pond");
    const double width = label->labelRect().width();
    f.shape->setName(QStringLiteral("Mill Pond and Weir"));
    EXPECT_EQ(label->string(), "Mill Pond and Weir");
    EXPECT_GT(label->labelRect().width(), width);
}

TEST(LabelledShape, CommandsUndoAndRedoAndALockedShapeRefusesThem)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    label->VXQTextLabel::copy(nullptr); // the Copy Label command
    auto other = ShapeFixture::labelledShape({250, 200, 60, 40});
    f.layer->addObject(other);
    f.forget();
    other->pasteLabel();
    f.undo.closeAutomaticGroup();
    ASSERT_EQ(other->textLabels().size(), 1);
    EXPECT_EQ(f.undo.undoActionName(), "Paste Label");
    EXPECT_NE(other->textLabels().first().get(), label);
    EXPECT_EQ(other->selectedTextLabels(), other->textLabels());
    f.undo.undo();
    EXPECT_TRUE(other->textLabels().isEmpty());
    f.undo.redo();
    EXPECT_EQ(other->textLabels().size(), 1);

    f.shape->deleteLabels();
    f.undo.closeAutomaticGroup();
    EXPECT_TRUE(f.shape->textLabels().isEmpty());
    EXPECT_EQ(f.undo.undoActionName(), "Delete Labels");
    f.undo.undo();
    EXPECT_EQ(f.shape->textLabels().size(), 1);
    EXPECT_TRUE(f.shape->selectedTextLabels().isEmpty());

    platform::MenuItem hide(QStringLiteral("Hide Labels"), "toggleLabelsVisible");
    EXPECT_TRUE(f.shape->validateMenuItem(&hide));
    f.shape->toggleLabelsVisible(&hide);
    f.undo.closeAutomaticGroup();
    EXPECT_TRUE(f.shape->labelsHidden());
    EXPECT_EQ(f.undo.undoActionName(), "Hide Labels");
    f.shape->validateMenuItem(&hide);
    EXPECT_EQ(hide.title(), "Show Labels");
    f.undo.undo();
    EXPECT_FALSE(f.shape->labelsHidden());

    // Locked: nothing added, pasted, deleted or hidden; no label items in the menu.
    f.shape->setLocked(true);
    f.forget();
    f.shape->newTextLabel();
    f.shape->pasteLabel();
    f.shape->selectAllLabels();
    f.shape->deleteLabels();
    f.shape->toggleLabelsVisible(&hide);
    EXPECT_EQ(f.shape->textLabels().size(), 1);
    EXPECT_FALSE(f.shape->labelsHidden());
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0);
    for (const char* action : {"newTextLabel", "pasteLabel", "deleteLabels", "toggleLabelsVisible", "alignLeft"}) {
        platform::MenuItem item(QString(), action);
        EXPECT_FALSE(f.shape->validateMenuItem(&item)) << action;
    }
    platform::Menu menu;
    f.shape->populateContextualMenuAtPoint(&menu, f.shape->textLabels().first()->bounds().center());
    for (const QAction* item : menu.actions())
        EXPECT_FALSE(item->text().contains(QStringLiteral("Label"))) << qPrintable(item->text());
}

TEST(LabelledShape, ActionsReachTheSelectedLabelsThroughTheViewAndTheMenuShowsLabelItemsFirst)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    label->VXQTextLabel::copy(nullptr); // the Copy Label command
    f.layer->replaceSelectionWithObject(f.shape);
    VXDrawingView view;
    view.setDrawing(f.drawing);
    EXPECT_TRUE(platform::ResponderChain::respondsToAction(&view, "alignRight"));
    platform::ResponderChain::performAction(&view, "alignRight", nullptr);
    EXPECT_EQ(label->alignment(), 1);
    f.shape->deselectAllTextLabels();
    EXPECT_FALSE(platform::ResponderChain::respondsToAction(&view, "alignRight"));

    platform::Menu menu;
    f.shape->populateContextualMenuAtPoint(&menu, label->labelRect().center());
    QStringList titles;
    for (const QAction* item : menu.actions())
        titles << item->text();
    ASSERT_GE(titles.size(), 6);
    EXPECT_EQ(titles.mid(0, 2), QStringList({"New Label", "Paste Label"}));
    EXPECT_TRUE(titles.contains("Edit Label"));
    EXPECT_LT(titles.indexOf("Hide Labels"), titles.indexOf("Edit Label"));
}

TEST(LabelledShape, ArchivesAndCopiesKeepLabelsAndDropForeignEntries)
{
    ShapeFixture f;
    Block* label = f.newLabel();
    f.drag({300, 130});
    label->setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
    f.shape->newTextLabel();
    f.shape->setLabelsHidden(true);

    const auto decoded = testsupport::roundTrip<VXQLabelledShape>(*f.shape);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->textLabels().size(), 2);
    EXPECT_TRUE(decoded->labelsHidden());
    const auto* read = qobject_cast<Block*>(decoded->textLabels().first().get());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->placement(), Block::kEast);
    EXPECT_TRUE(read->leaderLine());
    EXPECT_EQ(read->container(), decoded.get());
    EXPECT_TRUE(decoded->selectedTextLabels().isEmpty());

    const auto copy = std::dynamic_pointer_cast<VXQLabelledShape>(f.shape->copyDrawable());
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->textLabels().size(), 2);
    EXPECT_NE(copy->textLabels().first().get(), label);
    EXPECT_EQ(copy->textLabels().first()->containerObject(), copy.get());

    // Objects of other classes in the list are left out.
    ShapeWithStrayLabels stray;
    stray.adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(kRect));
    const auto kept = Block::label();
    stray.entries = {QVariant::fromValue(ZQObjectPtr(kept)),
                     QVariant::fromValue(ZQObjectPtr(VXStroke::strokeWithWidthColour(2, Qt::red))),
                     QVariant::fromValue(ZQObjectPtr(VXTextShape::textShapeWithStringInRect("x", kRect))),
                     QVariant(42)};
    const auto cleaned = testsupport::roundTrip<VXQLabelledShape>(stray);
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(cleaned->textLabels().size(), 1);
    EXPECT_FALSE(cleaned->labelsHidden());
}

TEST(LabelledShape, ALabelReadWithoutItsTextBeforeItsShapeLeavesTheShapeMeasurable)
{
    // A damaged layer lists the label ahead of its shape, so the shape is read from inside the
    // label and takes it before the label has read its text: missing, or of another class.
    for (const bool textOfAnotherClass : {false, true}) {
        SCOPED_TRACE(textOfAnotherClass ? "another class" : "missing");
        auto shape = std::make_shared<ShapeWithStrayLabels>();
        shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(kRect));
        auto label = std::make_shared<LabelWithoutText>();
        label->container = shape;
        if (textOfAnotherClass)
            label->inPlaceOfText = shape;
        shape->entries = {QVariant::fromValue(ZQObjectPtr(label))};
        LayerListing damaged;
        damaged.entries = {QVariant::fromValue(ZQObjectPtr(label)), QVariant::fromValue(ZQObjectPtr(shape))};

        const auto layer = testsupport::roundTrip<VXObjectDrawingLayer>(damaged);
        ASSERT_TRUE(layer);
        ASSERT_EQ(layer->objects().size(), 1);
        const auto read = std::dynamic_pointer_cast<VXQLabelledShape>(layer->objects().first());
        ASSERT_TRUE(read);
        // The label it took is read with an empty text: it measures and draws.
        const QRectF bounds = read->bounds();
        EXPECT_TRUE(std::isfinite(bounds.width()) && std::isfinite(bounds.height()));
        EXPECT_TRUE(bounds.contains(kRect));
        for (const VXQTextLabelPtr& held : read->textLabels())
            EXPECT_TRUE(held->text().string().isEmpty());
        EXPECT_FALSE(platform::DrawingRenderer::imageOfObjectWithSize(*read, {120, 80}).isNull());

        // Archived again, the label without text is left out.
        const auto again = testsupport::roundTrip<VXObjectDrawingLayer>(*layer);
        ASSERT_TRUE(again);
        ASSERT_EQ(again->objects().size(), 1);
        const auto readAgain = std::dynamic_pointer_cast<VXQLabelledShape>(again->objects().first());
        ASSERT_TRUE(readAgain);
        EXPECT_TRUE(readAgain->textLabels().isEmpty());
    }
}

TEST(LabelledShape, SwatchShowsTheLabelsAndTheSubstituteMakesEveryShapeLabelled)
{
    ShapeFixture f;
    f.shape->setName(QStringLiteral("Marsh"));
    f.newLabel();
    const QImage swatch = f.shape->swatchImageWithSize({120, 80});
    const QImage plain = platform::DrawingRenderer::imageOfObjectWithSize(*f.shape, {120, 80});
    ASSERT_FALSE(swatch.isNull());
    EXPECT_NE(swatch, plain);

    // The application's launch makes every new shape a labelled one.
    EXPECT_FALSE(std::dynamic_pointer_cast<VXQLabelledShape>(VXDrawableShape::drawableShapeWithRect(kRect, nullptr)));
    const testsupport::LaunchSettingsScope launchSettings;
    VLTMAppDelegate delegate;
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    const VXDrawableShapePtr made = VXDrawableShape::drawableShapeWithOvalInRect(kRect, nullptr);
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QString());
    if (auto* controller = platform::DocumentController::existingSharedDocumentController())
        controller->closeAllDocuments();
    EXPECT_TRUE(std::dynamic_pointer_cast<VXQLabelledShape>(made));
}

TEST(LabelledShape, AShapeConvertedFromALabelledObjectKeepsItsBlockLabelsAndReportsTheSelectedOnes)
{
    ShapeFixture f;
    const auto symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::defaultSymbolMaster());
    symbol->setLocation({300, 200});
    f.layer->addObject(symbol);
    symbol->newTextLabel();
    symbol->textLabels().first()->setText(QStringLiteral("Beacon"));
    f.layer->exchangeSelectionWithObjectsFromArray({symbol});
    f.forget();

    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QStringLiteral("VXQLabelledShape"));
    const auto noSubstitute = qScopeGuard([] { platform::ClassRegistry::setSubstituteClass("VXDrawableShape", {}); });
    f.step([&] { platform::ObjectLayerEditing(f.drawing.get()).convertSelection(platform::ObjectLayerEditing::Conversion::ToShape); });
    const auto converted = std::dynamic_pointer_cast<VXQLabelledShape>(f.layer->objectInObjectsAtIndex(1));
    ASSERT_TRUE(converted);
    ASSERT_EQ(converted->textLabels().size(), 1);
    EXPECT_EQ(converted->textLabels().first()->text().string(), QStringLiteral("Beacon"));
    EXPECT_EQ(converted->textLabels().first()->container(), converted.get());
    EXPECT_NE(converted->textLabels().first(), symbol->textLabels().first());
    f.undo.undo();
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(1), symbol);
    EXPECT_EQ(symbol->textLabels().first()->container(), symbol.get());

    // Its sub-selection is its selected labels, when it has any.
    EXPECT_TRUE(f.shape->subSelection().isEmpty());
    Block* label = f.newLabel();
    EXPECT_EQ(f.shape->subSelection(), QList<ZQObjectPtr>{f.shape->textLabels().first()});
    f.shape->deselectTextLabel(label);
    EXPECT_TRUE(f.shape->subSelection().isEmpty());
}

TEST(LabelledShape, ItsCentroidMarkerLiesOverTheKnobsOfATinyLineSelectedBeforeIt)
{
    // Both smaller than a pixel, so their knobs may be held back and drawn together later.
    ShapeFixture f;
    const VXQLabelledShapePtr tiny = ShapeFixture::labelledShape(QRectF(50, 40, 0.5, 0.5));
    f.layer->addObject(tiny);
    tiny->newTextLabel();
    platform::BezierPath line;
    line.appendBezierPathWithPoints(QPolygonF{{50.1, 40.1}, {50.3, 40.3}});
    const QList<VXDrawableObjectPtr> objects{VXDrawablePath::drawablePathWithBezierPathWithStyle(line, nullptr), tiny};
    const auto selected = [&](bool held) {
        QImage image(80, 60, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(0.6, 0.6);
        const platform::GraphicsContext::Scope context(&painter);
        std::optional<platform::KnobStampBatch> stamps;
        if (held)
            stamps.emplace(painter);
        for (const VXDrawableObjectPtr& object : objects)
            object->drawSelectedState();
        stamps.reset();
        return image;
    };
    EXPECT_EQ(selected(true), selected(false));
}
