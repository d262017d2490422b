#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/view/VXKnob.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/LogCapture.h"
#include "support/PreferencesScope.h"

using viewtest::ViewFixture;
using viewtest::expectRectNear;

namespace {

// Three filled squares apart from each other, already in the layer, with nothing to undo.
struct SelectionFixture : ViewFixture {
    VXDrawableObjectPtr a, b, c;

    SelectionFixture()
    {
        const VXStylePtr fill = drawingtest::fillStyle(Qt::blue);
        a = VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, fill);
        b = VXDrawableShape::drawableShapeWithRect({60, 10, 30, 30}, fill);
        c = VXDrawableShape::drawableShapeWithRect({10, 100, 30, 30}, fill);
        layer->addObjectsFromArray({a, b, c});
        forgetEdits();
    }
    QList<VXDrawableObjectPtr> selected() const { return layer->selection(); }
};

using Selection = QList<VXDrawableObjectPtr>;

// A square whose right half is a part of its own; dragging that part moves its left edge.
struct PartSquare : VXDrawableShape {
    static constexpr int kEdgePart = 7;
    QList<QPointF> dragged;

    int hitPart(QPointF point) const override
    {
        const int part = VXDrawableShape::hitPart(point);
        return part != kVXDrawingNoPart && point.x() > bounds().center().x() ? kEdgePart : part;
    }
    void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent*) override
    {
        if (part == kEdgePart)
            dragged.append(point);
    }
    QString mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent*) override
    {
        if (part != kEdgePart || dragged.isEmpty())
            return {};
        setLocation({point.x(), location().y()});
        return QStringLiteral("Move Edge");
    }
};

// A square whose top band is its first label: presses, drags and double clicks there are logged.
struct LabelSquare : VXDrawableShape {
    static constexpr int kLabelPart = kVXFirstLabelPart + 4;
    QStringList events;
    QPointF pressed;

    int hitPart(QPointF point) const override
    {
        const int part = VXDrawableShape::hitPart(point);
        return part != kVXDrawingNoPart && point.y() < bounds().top() + 10 ? kLabelPart : part;
    }
    void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override
    {
        pressed = point;
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        events << QStringLiteral("down %1%2").arg(part - kVXFirstLabelPart).arg(shift ? " shift" : "");
    }
    void mouseDraggedAtPointInPartEvent(QPointF point, int, QMouseEvent*) override
    {
        if (point == pressed)
            return;
        if (events.last() != QStringLiteral("dragged"))
            events << QStringLiteral("dragged");
        setLocation({location().x() + point.x() - pressed.x(), location().y()});
        pressed = point;
    }
    QString mouseUpAtPointInPartEvent(QPointF, int, QMouseEvent*) override
    {
        events << QStringLiteral("up");
        return events.contains(QStringLiteral("dragged")) ? QStringLiteral("Move Label") : QString();
    }
    void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent*) override
    {
        events << QStringLiteral("double %1 at %2,%3").arg(part - kVXFirstLabelPart).arg(point.x()).arg(point.y());
    }
};

} // namespace

TEST(ToolSelection, ClicksAndMarqueesSelectExactly)
{
    SelectionFixture f;
    f.click({20, 20});
    EXPECT_EQ(f.selected(), Selection({f.a}));
    f.click({70, 20});
    EXPECT_EQ(f.selected(), Selection({f.b}));
    f.click({20, 110}, Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), Selection({f.b, f.c}));
    f.click({70, 20}, Qt::ShiftModifier); // toggles out
    EXPECT_EQ(f.selected(), Selection({f.c}));
    f.click({150, 150}); // empty paper
    EXPECT_TRUE(f.selected().isEmpty());

    // A marquee meets a (by its corner) and b, not c.
    f.drag({35, 5}, {70, 45});
    EXPECT_EQ(f.selected(), Selection({f.a, f.b}));
    // Just short of c's edge: nothing.
    f.drag({45, 95}, {50, 140});
    EXPECT_TRUE(f.selected().isEmpty());
    // With Shift the marquee adds to the selection.
    f.click({70, 20});
    f.drag({5, 95}, {15, 105}, Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), Selection({f.b, f.c}));
    // Selecting alone is not an edit.
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(ToolSelection, AClickOnAnotherLayersObjectActivatesThatLayerOnlyWhenThePreferenceSaysSo)
{
    SelectionFixture f;
    const auto top = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(top);
    const auto d = VXDrawableShape::drawableShapeWithRect({60, 100, 30, 30}, drawingtest::fillStyle(Qt::red));
    top->addObject(d);
    const auto hidden = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(hidden);
    hidden->addObject(VXDrawableShape::drawableShapeWithRect({150, 150, 30, 30}, drawingtest::fillStyle(Qt::red)));
    hidden->setVisible(false);
    f.drawing->setActiveLayer(top.get());
    f.forgetEdits();
    const testsupport::PreferencesScope activation(&VXDrawingPreferences::layerAutoActivation, false);

    f.click({20, 20});
    EXPECT_EQ(f.drawing->activeLayer(), top.get());
    EXPECT_TRUE(f.selected().isEmpty());

    activation.set(&VXDrawingPreferences::layerAutoActivation, true);
    f.click({20, 20});
    EXPECT_EQ(f.drawing->activeLayer(), f.layer.get());
    EXPECT_EQ(f.selected(), Selection({f.a}));
    // Back on the other layer's object, and nowhere: the active layer stays.
    f.click({70, 110});
    EXPECT_EQ(f.drawing->activeLayer(), top.get());
    EXPECT_EQ(top->selection(), Selection({d}));
    f.click({195, 5});
    EXPECT_EQ(f.drawing->activeLayer(), top.get());
    // Hidden and locked layers are not reached.
    f.click({160, 160});
    EXPECT_EQ(f.drawing->activeLayer(), top.get());
    f.layer->setLocked(true);
    f.click({20, 20});
    EXPECT_EQ(f.drawing->activeLayer(), top.get());
}

TEST(ToolSelection, DragsMoveTheSelectionOrTheObjectUnderThemInOneUndoStep)
{
    SelectionFixture f;
    f.click({20, 20});
    f.click({70, 20}, Qt::ShiftModifier);
    f.drag({75, 25}, {100, 65}); // by (25, 40), in two moves
    expectRectNear(f.a->logicalBounds(), QRectF(35, 50, 30, 30));
    expectRectNear(f.b->logicalBounds(), QRectF(85, 50, 30, 30));
    expectRectNear(f.c->logicalBounds(), QRectF(10, 100, 30, 30));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Move");
    f.undo->undo();
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));
    expectRectNear(f.b->logicalBounds(), QRectF(60, 10, 30, 30));
    f.undo->redo();
    expectRectNear(f.b->logicalBounds(), QRectF(85, 50, 30, 30));
    f.undo->undo();

    // An unselected object dragged moves alone; undo brings back the selection the drag started from.
    f.layer->replaceSelectionWithObject(f.a);
    f.drag({20, 110}, {30, 115});
    EXPECT_EQ(f.selected(), Selection({f.c}));
    expectRectNear(f.c->logicalBounds(), QRectF(20, 105, 30, 30));
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));
    f.undo->undo();
    expectRectNear(f.c->logicalBounds(), QRectF(10, 100, 30, 30));
    EXPECT_EQ(f.selected(), Selection({f.a}));

    // A locked object is selected by a drag, but neither moves nor leaves an undo step.
    f.a->setLocked(true);
    f.forgetEdits();
    f.drag({20, 20}, {50, 50});
    EXPECT_EQ(f.selected(), Selection({f.a}));
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(ToolSelection, UndoWaitsForAnOpenGestureAndEndingItLeavesOneStep)
{
    SelectionFixture f;
    testsupport::LogCapture log;
    // Undo pressed while a drag moves a square is refused; the release makes the move one step.
    f.press({20, 20});
    f.move({30, 30});
    EXPECT_FALSE(f.undo->canUndo());
    EXPECT_THROW(f.undo->undo(), platform::AssertionFailure);
    f.move({40, 50});
    f.release({40, 50});
    expectRectNear(f.a->logicalBounds(), QRectF(30, 40, 30, 30));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));

    // A path begun with one click on a new layer: undo waits, a tool change ends the path with
    // nothing made, and the new layer is then the step to undo.
    const int layers = f.drawing->countOfLayers();
    auto added = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(added);
    f.drawing->setActiveLayer(added.get());
    f.endStep();
    f.useTool("Path");
    f.click({100, 100});
    EXPECT_TRUE(added->pendingObject());
    EXPECT_FALSE(f.undo->canUndo() || f.undo->canRedo());
    f.useTool(kVXStandardSelectionToolName);
    EXPECT_FALSE(added->pendingObject());
    EXPECT_EQ(f.undo->groupingLevel(), 0);
    f.undo->undo();
    EXPECT_EQ(f.drawing->countOfLayers(), layers);

    // Forgetting every step mid-gesture (as saving does) leaves the gesture its group.
    f.useTool("Path");
    f.click({100, 100});
    f.undo->removeAllActions();
    f.click({150, 100});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({150, 150}));
    EXPECT_EQ(f.layer->countOfObjects(), 4);
    EXPECT_EQ(f.undo->undoActionName(), "New Path");
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_FALSE(log.contains("endUndoGrouping without beginUndoGrouping"));
}

TEST(ToolSelection, MovesSnapToGuides)
{
    SelectionFixture f;
    auto guides = std::make_shared<VXGuideLayer>();
    f.drawing->addLayer(guides);
    guides->addGuide({100, true}); // vertical, at x = 100
    f.drawing->setActiveLayer(f.layer.get());
    f.forgetEdits();
    ASSERT_GT(guides->snapTolerance(), 2.0);
    // a's right edge would end at 98: it is pulled onto the guide, and down by exactly 20.
    f.drag({20, 20}, {78, 40});
    expectRectNear(f.a->logicalBounds(), QRectF(70, 30, 30, 30));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
}

TEST(ToolSelection, KnobDragsResizeInOneUndoStepKeepingTheOppositeSide)
{
    SelectionFixture f;
    f.click({20, 20});
    // Bottom right knob of a (40, 40) out to (60, 70): the top left corner stays.
    f.drag({40, 40}, {60, 70});
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 50, 60));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Resize");
    // Left edge knob (10, 40) in to (20, 40): only the width changes.
    f.drag({10, 40}, {20, 40});
    expectRectNear(f.a->logicalBounds(), QRectF(20, 10, 40, 60));
    f.undo->undo();
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 50, 60));
    f.undo->undo();
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));
    // A knob dragged onto the opposite edge leaves the object as it was.
    f.press({40, 40});
    f.move({10, 40});
    f.release({10, 40});
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 30, 30));

    // Locked proportions: 30 x 30 dragged to 60 x 40, the larger factor (2) wins, the top left stays.
    f.a->setAspectRatioLocked(true);
    f.drag({40, 40}, {70, 50});
    expectRectNear(f.a->logicalBounds(), QRectF(10, 10, 60, 60));
    // Dragging the top left corner keeps the bottom right one (70, 70).
    f.drag({10, 10}, {40, 30});
    expectRectNear(f.a->logicalBounds(), QRectF(30, 30, 40, 40));
    // Edge knobs stretch one way only, locked or not.
    f.drag({70, 50}, {80, 50});
    expectRectNear(f.a->logicalBounds(), QRectF(30, 30, 50, 40));
    // Shift constrains an unlocked object too.
    f.click({70, 20});
    f.drag({90, 40}, {120, 45}, Qt::ShiftModifier);
    expectRectNear(f.b->logicalBounds(), QRectF(60, 10, 60, 60));
}

TEST(Knob, BoundsKnobGeometryAndHitAreaFollowTheZoom)
{
    const QRectF box(10, 20, 100, 50);
    EXPECT_EQ(VXKnob::pointOfBoundsKnob(box, kVXTopRightKnob), QPointF(110, 20));
    EXPECT_EQ(VXKnob::pointOfBoundsKnob(box, kVXBottomKnob), QPointF(60, 70));
    EXPECT_EQ(VXKnob::boundsByDraggingKnobToPoint(box, kVXTopLeftKnob, {0, 0}), QRectF(0, 0, 110, 70));
    EXPECT_EQ(VXKnob::boundsByDraggingKnobToPoint(box, kVXRightKnob, {150, 999}), QRectF(10, 20, 140, 50));
    // Opposite knobs mirror each other through the centre; a knob dragged onto itself changes nothing.
    for (int k = kVXTopLeftKnob; k <= kVXLeftKnob; ++k) {
        const auto knob = VXBoundsKnob(k);
        const VXBoundsKnob opposite = VXKnob::oppositeBoundsKnob(knob);
        EXPECT_EQ(VXKnob::oppositeBoundsKnob(opposite), knob);
        EXPECT_EQ(VXKnob::pointOfBoundsKnob(box, knob) + VXKnob::pointOfBoundsKnob(box, opposite), 2 * box.center());
        EXPECT_EQ(VXKnob::boundsByDraggingKnobToPoint(box, knob, VXKnob::pointOfBoundsKnob(box, knob)), box);
    }

    const testsupport::PreferencesScope<VXDrawingPreferences> knobSize;
    knobSize.set(&VXDrawingPreferences::controlKnobSize, QSizeF(-1, 4));
    EXPECT_EQ(VXKnob::controlKnobSize(), knobSize.saved().controlKnobSize);
    knobSize.set(&VXDrawingPreferences::controlKnobSize, QSizeF(8, 8));
    // Outside any view a pixel is a point: 8 x 8 about the knob point.
    const VXKnob& knobs = VXKnob::knobs();
    EXPECT_TRUE(knobs.hitTestPointInKnobAtPointOfTypeUserInfo({103.9, 96.1}, {100, 100}, kVXBoundingRectKnobType, {}));
    EXPECT_FALSE(knobs.hitTestPointInKnobAtPointOfTypeUserInfo({104.1, 100}, {100, 100}, kVXBoundingRectKnobType, {}));
    // Label hit areas are larger than knobs.
    EXPECT_TRUE(knobs.hitTestPointInKnobAtPointOfTypeUserInfo({105, 100}, {100, 100}, kVXHotspotKnobType, {}));
}

TEST(ToolSelection, DragsOnAnObjectsOwnPartAreTheObjectsGesture)
{
    ViewFixture f;
    auto square = std::make_shared<PartSquare>();
    square->setStyle(drawingtest::fillStyle(Qt::blue));
    square->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({30, 30, 40, 40}));
    f.layer->addObject(square);
    f.forgetEdits();

    // Unselected, the part is just the object: a drag moves it.
    f.drag({60, 50}, {70, 50});
    EXPECT_TRUE(square->dragged.isEmpty());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move"));
    f.undo->undo();

    // Selected, the object takes the gesture and names its one undo step.
    f.click({45, 50});
    f.undo->removeAllActions();
    f.drag({60, 50}, {90, 50});
    EXPECT_FALSE(square->dragged.isEmpty());
    EXPECT_DOUBLE_EQ(square->location().x(), 90);
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move Edge"));
    f.undo->undo();
    EXPECT_DOUBLE_EQ(square->location().x(), 50);
}

TEST(ToolSelection, LabelPartsGoToTheirObjectSelectedOrNotAndDoubleClicksAfterTheGesture)
{
    SelectionFixture f;
    auto square = std::make_shared<LabelSquare>();
    square->setStyle(drawingtest::fillStyle(Qt::blue));
    square->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 40, 40}));
    f.layer->addObject(square);
    f.forgetEdits();

    // Unselected: the press selects the object and still reaches it; no undo step.
    f.click({20, 20});
    f.click({110, 105});
    EXPECT_EQ(f.selected(), Selection({square}));
    EXPECT_EQ(square->events, QStringList({"down 4", "up"}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);

    // With Shift it joins the selection, and stays in it when clicked again (Shift is the label's).
    square->events.clear();
    f.click({20, 20});
    f.click({110, 105}, Qt::ShiftModifier);
    f.click({110, 105}, Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), Selection({f.a, square}));
    EXPECT_EQ(square->events, QStringList({"down 4 shift", "up", "down 4 shift", "up"}));

    // A drag on the label is the object's one undo step, named by it.
    square->events.clear();
    f.drag({110, 105}, {130, 105});
    EXPECT_EQ(square->events, QStringList({"down 4", "dragged", "up"}));
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move Label"));
    f.undo->undo();
    EXPECT_DOUBLE_EQ(square->location().x(), 120);

    // A double click (as a window system delivers it) is told once, when its gesture ends,
    // with where it was; one on the body of an object without text to edit is told as the whole object's.
    const auto doubleClick = [&](QPointF p) {
        QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(p));
        QTest::mousePress(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(p));
        QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(p));
        QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at(p));
    };
    square->events.clear();
    doubleClick({112, 104});
    EXPECT_EQ(square->events, QStringList({"down 4", "up", "down 4", "down 4", "up", "double 4 at 112,104"}));
    square->events.clear();
    doubleClick({120, 130});
    ASSERT_FALSE(square->events.isEmpty());
    EXPECT_EQ(square->events.constLast(),
              QStringLiteral("double %1 at 120,130").arg(kVXDrawingEntireObjectPart - kVXFirstLabelPart));
}

TEST(ToolSelection, ADragOfThousandsOfObjectsIsOneStepOfOneAction)
{
    ViewFixture f({400, 400}, {400, 400});
    const VXStylePtr fill = drawingtest::fillStyle(Qt::blue);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 1999; ++i) {
        const QPointF corner(10 + i % 50 * 5, 10 + i / 50 * 5);
        if (i % 2 == 0) {
            objects.append(VXDrawableShape::drawableShapeWithRect({corner, QSizeF(3, 3)}, fill));
        } else {
            platform::BezierPath line;
            line.moveToPoint(corner);
            line.lineToPoint(corner + QPointF(3, 2));
            objects.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(line, drawingtest::strokeStyle(Qt::red, 1)));
        }
    }
    const auto grip = VXDrawableShape::drawableShapeWithRect({300, 300, 20, 20}, fill);
    objects.append(grip);
    f.layer->addObjectsFromArray(objects);
    f.layer->exchangeSelectionWithObjectsFromArray(objects);
    f.forgetEdits();
    QList<QRectF> start;
    for (const VXDrawableObjectPtr& object : objects)
        start.append(object->logicalBounds());
    // Exact, not within a tolerance: undo must give back the very values.
    const auto movedBy = [&](QPointF offset) {
        int wrong = 0;
        for (qsizetype i = 0; i < objects.size(); ++i) {
            const QRectF now = objects[i]->logicalBounds();
            const QRectF expected = start[i].translated(offset);
            wrong += now.x() != expected.x() || now.y() != expected.y() || now.width() != expected.width()
                     || now.height() != expected.height();
        }
        return wrong;
    };

    f.press({310, 310});
    for (int i = 1; i <= 200; ++i)
        f.move({310.0 + i % 50 - 25, 310.0 + i % 30 - 15});
    f.release({285, 315});
    EXPECT_EQ(movedBy({-25, 5}), 0);
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move"));
    // Lines and shapes on whole points move back exactly by the drag's offset: nothing per object.
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 1);

    f.undo->undo();
    EXPECT_EQ(movedBy({0, 0}), 0);
    EXPECT_EQ(f.undo->peekRedo()->actionCount(), 1);
    f.undo->redo();
    EXPECT_EQ(movedBy({-25, 5}), 0);
    f.undo->undo();
    EXPECT_EQ(movedBy({0, 0}), 0);
    EXPECT_EQ(f.layer->countOfSelection(), objects.size());
}
