#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/ui/Menu.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <cmath>

using viewtest::ViewFixture;
using viewtest::expectPointNear;
using viewtest::expectRectNear;

namespace {

// A view on a layer holding one red square at (10, 10, 30, 30), nothing to undo.
struct SquareFixture : ViewFixture {
    VXDrawableObjectPtr square =
        VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, drawingtest::fillStyle(Qt::red));

    SquareFixture()
    {
        layer->addObject(square);
        forgetEdits();
    }
    // The menu's titles once it validates, disabled ones in brackets.
    static QStringList items(platform::Menu* menu)
    {
        if (!menu)
            return {QStringLiteral("(no menu)")};
        platform::Menu::validateActions(menu->actions());
        QStringList result;
        for (const QAction* action : menu->actions())
            result.append(action->isEnabled() ? action->text() : '(' + action->text() + ')');
        return result;
    }
    QStringList itemsAt(QPointF p) { return items(view.contextMenuAtPoint(at(p)).get()); }
    // The responder chain starts at the focused view, as after a click in it.
    void focusView()
    {
        QApplication::setActiveWindow(&view);
        view.setFocus();
    }
};

// A square that takes an action the view lacks, and one the view has.
class NamingSquare : public VXDrawableShape {
    Q_OBJECT

public:
    int named = 0;
    int copied = 0;
    bool enables = true;

    Q_INVOKABLE void nameLabel(QObject*) { ++named; }
    Q_INVOKABLE void copy(QObject*) { ++copied; }
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem*) { return enables; }
};

// A square that counts the times it is asked where the commands it lacks go, and sends them
// to `part`; the forwarding one declares that it may.
class AskedSquare : public VXDrawableShape {
    Q_OBJECT

public:
    QObject* part = nullptr;
    mutable int asked = 0;

    QList<QObject*> forwardingTargetsForSelector(const QByteArray&) const override
    {
        ++asked;
        return part ? QList<QObject*>{part} : QList<QObject*>{};
    }
};

class ForwardingSquare : public AskedSquare {
    Q_OBJECT
    Q_CLASSINFO("forwardsCommandsToParts", "labels")
};

// --- Context menus -------------------------------------------------------------------------------

TEST(ViewContextMenu, ObjectItemsFirstThenTheLayersAndControlClickShowsThem)
{
    SquareFixture f;
    f.focusView();
    QGuiApplication::clipboard()->clear();
    // Over the square: the object's items, and the square is now selected.
    EXPECT_EQ(f.itemsAt({20, 20}), QStringList({"Cut", "Copy", "Delete"}));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>({f.square}));
    // Over empty paper: the layer's menu; nothing to paste yet.
    EXPECT_EQ(f.itemsAt({150, 150}), QStringList({"(Paste)", "Select All"}));
    // A locked object may be copied but not cut or deleted.
    f.square->setLocked(true);
    EXPECT_EQ(f.itemsAt({20, 20}), QStringList({"(Cut)", "Copy", "(Delete)"}));
    f.square->setLocked(false);
    // Opening menus is not an edit.
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);

    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::MetaModifier, f.at({20, 20}));
    auto* shown = qobject_cast<platform::Menu*>(QApplication::activePopupWidget());
    EXPECT_EQ(f.items(shown), QStringList({"Cut", "Copy", "Delete"}));
    if (shown)
        shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The press did not reach the tool: nothing moved or was marqueed.
    expectRectNear(f.square->logicalBounds(), {10, 10, 30, 30});

    // A plain layer offers no menu: a right click shows nothing.
    auto plain = std::make_shared<VXLayer>();
    f.drawing->addLayer(plain);
    ASSERT_TRUE(f.drawing->setActiveLayer(plain.get()));
    EXPECT_FALSE(f.view.contextMenuAtPoint(f.at({20, 20})));
    const QPoint at = f.at({150, 150});
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, f.view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(f.view.viewport(), &click);
    EXPECT_FALSE(QApplication::activePopupWidget());
}

// --- Drag and drop -------------------------------------------------------------------------------

// Sends a drag entering the viewport at the drawing point, then the drop; answers whether
// the view accepted each.
std::pair<bool, bool> dragAndDrop(ViewFixture& f, const QMimeData& data, QPointF at)
{
    const QPointF pixel = f.at(at);
    QDragEnterEvent enter(pixel.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &enter);
    QDropEvent drop(pixel, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

TEST(ViewDrop, ObjectsLandCentredOnTheDropPointAsOneUndoStep)
{
    SquareFixture f;
    QMimeData data;
    VXDrawableObject::writeObjectsToPasteboard({f.square}, &data);
    EXPECT_EQ(dragAndDrop(f, data, {150, 120}), std::make_pair(true, true));
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    const VXDrawableObjectPtr dropped = f.layer->objectInObjectsAtIndex(1);
    expectRectNear(dropped->logicalBounds(), {135, 105, 30, 30});
    EXPECT_NE(dropped->uniqueKey(), f.square->uniqueKey());
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>({dropped}));
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Drop");

    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_EQ(f.layer->countOfSelection(), 0);
    f.undo->redo();
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    expectRectNear(f.layer->objectInObjectsAtIndex(1)->logicalBounds(), {135, 105, 30, 30});
}

TEST(ViewDrop, RefusedDropsChangeNothing)
{
    SquareFixture f;
    QMimeData text, damaged, objects;
    text.setText(QStringLiteral("just words"));
    damaged.setData(kVXDrawableObjectPasteboardType, QByteArray("bplist00 not really"));
    VXDrawableObject::writeObjectsToPasteboard({f.square}, &objects);
    EXPECT_EQ(dragAndDrop(f, text, {150, 150}), std::make_pair(false, false));
    // Damaged object data is offered, so the drag is taken, but the drop makes nothing.
    EXPECT_EQ(dragAndDrop(f, damaged, {150, 150}), std::make_pair(true, false));
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
    // Good data onto a locked or hidden layer.
    f.layer->setLocked(true);
    EXPECT_EQ(dragAndDrop(f, objects, {150, 150}), std::make_pair(false, false));
    f.layer->setLocked(false);
    f.layer->setVisible(false);
    EXPECT_EQ(dragAndDrop(f, objects, {150, 150}), std::make_pair(false, false));
    EXPECT_EQ(f.layer->countOfObjects(), 1);
}

// --- Keys ---------------------------------------------------------------------------------------

TEST(ViewKeys, DeleteAndBackspaceRemoveTheSelectionInOneStepButNotWhileTextIsEdited)
{
    SquareFixture f;
    auto other = VXDrawableShape::drawableShapeWithRect({60, 60, 20, 20}, drawingtest::fillStyle(Qt::blue));
    f.layer->addObject(other);
    f.forgetEdits();
    f.layer->selectAll();
    QTest::keyClick(&f.view, Qt::Key_Backspace);
    f.endStep();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Delete");
    f.undo->undo();

    // With nothing selected, or while text is edited, the keys delete nothing.
    f.layer->deselectAll();
    QTest::keyClick(&f.view, Qt::Key_Delete);
    f.layer->replaceSelectionWithObject(other);
    f.view.editTextInRectDelegate(QStringLiteral("text"), {10, 10, 50, 20}, nullptr);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    f.view.cancelTextEditing();
    QTest::keyClick(&f.view, Qt::Key_Delete);
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>({f.square}));
}

TEST(ViewKeys, ToolKeyEquivalentsAndEscape)
{
    ViewFixture f;
    const auto toolAfter = [&](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(&f.view, key, mods);
        return f.view.toolController()->drawingTool()->registeredName();
    };
    EXPECT_EQ(toolAfter(Qt::Key_R), "Rectangle");
    EXPECT_EQ(toolAfter(Qt::Key_O, Qt::ShiftModifier), "Oval"); // case does not matter
    EXPECT_EQ(toolAfter(Qt::Key_L, Qt::ControlModifier), "Oval"); // menus own modified keys
    EXPECT_EQ(toolAfter(Qt::Key_Q), "Oval"); // no tool has it
    EXPECT_EQ(toolAfter(Qt::Key_Escape), kVXStandardSelectionToolName);
    EXPECT_EQ(toolAfter(Qt::Key_O), "Oval");
    EXPECT_EQ(toolAfter(Qt::Key_V), kVXStandardSelectionToolName);
    // Keys the text editor passes on do not change the tool.
    f.view.editTextInRectDelegate(QStringLiteral("text"), {10, 10, 50, 20}, nullptr);
    EXPECT_EQ(toolAfter(Qt::Key_R), kVXStandardSelectionToolName);
    f.view.cancelTextEditing();
}

// --- Turned objects -----------------------------------------------------------------------------

// A 40 x 20 oval centred on (100, 100), turned so its own x axis runs along (0.8, 0.6) and its
// y axis along (-0.6, 0.8); selected, nothing to undo. Its knob box reaches past its bounds.
struct TurnedFixture : ViewFixture {
    VXDrawableShapePtr shape =
        VXDrawableShape::drawableShapeWithOvalInRect({80, 90, 40, 20}, drawingtest::fillStyle(Qt::red));
    const double angle = std::atan2(0.6, 0.8);

    TurnedFixture()
    {
        shape->setAngle(angle);
        layer->addObject(shape);
        layer->replaceSelectionWithObject(shape);
        forgetEdits();
    }
    QPointF knob(VXBoundsKnob which) const { return platform::KnobBox::ofObject(*shape).pointOfKnob(which); }
    // The centre as origin and the unturned size.
    QRectF centreAndSize() const { return {shape->location(), shape->size()}; }
};

TEST(ViewTurnedObjects, KnobsShowOnTheTurnedBoxEvenInARepaintThatMissesTheBounds)
{
    TurnedFixture f;
    expectPointNear(f.knob(kVXRightKnob), {116, 112});
    expectPointNear(f.knob(kVXBottomKnob), {94, 108});
    expectPointNear(f.knob(kVXTopLeftKnob), {90, 80});
    const QColor green(0, 200, 0);
    f.layer->setSelectionColour(green);
    // Each pixel from a repaint of only the few pixels around it; the top left knob's misses the bounds.
    const auto around = [&](QPointF p) {
        return QRect(f.view.convertPointFromDrawing(p).toPoint() - QPoint(2, 2), QSize(5, 5));
    };
    const auto shownAt = [&](QPointF p) { return f.view.viewport()->grab(around(p)).toImage().pixelColor(2, 2); };
    ASSERT_FALSE(f.shape->bounds().intersects(f.view.convertRectToDrawing(QRectF(around(f.knob(kVXTopLeftKnob))))));
    const QPointF rotation = VXKnob::knobs().rotationKnobPoint(platform::KnobBox::ofObject(*f.shape));
    for (const QPointF knob : {f.knob(kVXRightKnob), f.knob(kVXTopLeftKnob), rotation})
        EXPECT_TRUE(drawingtest::near(shownAt(knob), green, 10));
    // Nothing at the corner of the upright bounding box.
    EXPECT_TRUE(drawingtest::near(shownAt(f.shape->logicalBounds().topRight() + QPointF(-1, 1)), Qt::white));
    // Another tool does not rotate, so shows no rotation knob.
    f.useTool(QStringLiteral("Rectangle"));
    EXPECT_TRUE(drawingtest::near(shownAt(rotation), Qt::white));
}

TEST(ViewTurnedObjects, ResizingWorksAlongTheOwnAxesKeepingTheOppositeKnob)
{
    TurnedFixture f;
    // The right knob dragged 10 along the object's x axis: 50 wide, the left knob stays.
    f.drag({116, 112}, {124, 118});
    expectRectNear(f.centreAndSize(), {104, 103, 50, 20});
    EXPECT_NEAR(f.shape->angle(), f.angle, 1e-12);
    expectPointNear(f.knob(kVXLeftKnob), {84, 88});
    EXPECT_EQ(f.undo->undoActionName(), "Resize");
    // Dragging the right knob across the object's x axis changes nothing.
    f.drag({124, 118}, {118, 126});
    EXPECT_NEAR(f.shape->size().width(), 50, 1e-9);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    // The bottom knob 10 along the y axis: 30 high, the top edge stays.
    const QPointF top = f.knob(kVXTopKnob);
    expectPointNear(f.knob(kVXBottomKnob), {98, 111});
    f.drag({98, 111}, {92, 119});
    expectRectNear(f.centreAndSize(), {101, 107, 50, 30});
    expectPointNear(f.knob(kVXTopKnob), top);

    f.undo->undo();
    f.undo->undo();
    expectRectNear(f.centreAndSize(), {100, 100, 40, 20});
}

TEST(ViewTurnedObjects, RotationKnobTurnsAboutTheCentre)
{
    SquareFixture f;
    f.layer->replaceSelectionWithObject(f.square);
    f.forgetEdits();
    // The knob sits 20 pixels above the top edge's middle.
    const QPointF knob = VXKnob::knobs().rotationKnobPoint(platform::KnobBox::ofObject(*f.square));
    expectPointNear(knob, {25, -10});
    // A press and release without moving turns nothing.
    f.click(knob);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);

    // From straight above the centre (25, 25) to straight right of it: a quarter turn clockwise.
    f.drag(knob, {60, 25});
    EXPECT_NEAR(f.square->angle(), M_PI / 2, 1e-12);
    expectPointNear(f.square->location(), {25, 25});
    EXPECT_EQ(f.undo->undoActionName(), "Rotate");
    f.undo->undo();
    EXPECT_NEAR(f.square->angle(), 0, 1e-12);

    // With Shift the angle goes in 15 degree steps: 50.2 degrees becomes 45.
    f.drag(knob, {55, 0}, Qt::ShiftModifier);
    EXPECT_NEAR(f.square->angle(), M_PI / 4, 1e-12);
    expectPointNear(f.square->location(), {25, 25});
}

} // namespace

// --- Actions passed to the selection -------------------------------------------------------------

TEST(ViewForwarding, ActionsTheViewLacksReachTheSelectedObjectsThatTakeThemAlongTheChain)
{
    SquareFixture f;
    auto a = std::make_shared<NamingSquare>(), b = std::make_shared<NamingSquare>();
    for (const auto& square : {a, b}) {
        square->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100, 100, 20, 20}));
        f.layer->addObject(square);
    }
    using platform::ResponderChain;
    platform::MenuItem item(QStringLiteral("Name"), "nameLabel");
    // Nothing selected takes it: the view does not answer for it.
    f.layer->replaceSelectionWithObject(f.square);
    EXPECT_FALSE(ResponderChain::respondsToAction(&f.view, "nameLabel"));
    EXPECT_FALSE(f.view.validateMenuItem(&item));

    f.layer->exchangeSelectionWithObjectsFromArray({f.square, a});
    // Only takers are passed on: every action asked of the chain passes the view, and a large
    // selection that takes none of them was asked object by object.
    EXPECT_EQ(f.view.forwardingTargetsForAction("nameLabel"), QList<QObject*>{a.get()});
    EXPECT_TRUE(f.view.forwardingTargetsForAction("undo").isEmpty());
    f.focusView();
    EXPECT_EQ(ResponderChain::firstResponderTo("nameLabel"), &f.view);
    EXPECT_TRUE(ResponderChain::performAction(&f.view, "nameLabel", &item));
    EXPECT_EQ(a->named, 1);
    EXPECT_EQ(b->named, 0); // not selected
    // The view's own actions stay the view's.
    ResponderChain::performAction(&f.view, "copy", &item);
    EXPECT_EQ(a->copied, 0);

    // Enabled when a selected object that takes the action enables it.
    EXPECT_TRUE(item.isEnabledBy(&f.view));
    a->enables = false;
    EXPECT_FALSE(item.isEnabledBy(&f.view));
    f.layer->addObjectToSelection(b);
    EXPECT_TRUE(item.isEnabledBy(&f.view));
    ResponderChain::performAction(&f.view, "nameLabel", &item);
    EXPECT_EQ(a->named + b->named, 3); // each selected taker once
}

TEST(ViewForwarding, CommandsNoSelectedClassTakesAskNoSelectedObject)
{
    SquareFixture f;
    QList<VXDrawableObjectPtr> squares;
    std::vector<AskedSquare*> asked;
    for (int i = 0; i < 50; ++i) {
        auto square = std::make_shared<AskedSquare>();
        square->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({100.0 + i, 100, 20, 20}));
        asked.push_back(square.get());
        squares.append(square);
    }
    f.layer->addObjectsFromArray(squares);
    f.layer->selectAll();
    // A menu's validation asks the chain about each of its items: with a large selection that
    // took seconds for each menu opened.
    for (const QByteArray action : {"nameLabel", "undo", "groupSymbols", "reverseDirection", "zoomIn"})
        EXPECT_TRUE(f.view.forwardingTargetsForAction(action).isEmpty()) << action.constData();
    EXPECT_TRUE(std::all_of(asked.cbegin(), asked.cend(), [](const AskedSquare* square) { return square->asked == 0; }));

    // An object declaring that it forwards is asked, and its part takes the command.
    const auto label = std::make_shared<NamingSquare>();
    auto forwarding = std::make_shared<ForwardingSquare>();
    forwarding->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({200, 200, 20, 20}));
    forwarding->part = label.get();
    f.layer->addObject(forwarding);
    f.layer->addObjectToSelection(forwarding);
    EXPECT_EQ(f.view.forwardingTargetsForAction("nameLabel"), QList<QObject*>{forwarding.get()});
    EXPECT_TRUE(platform::ResponderChain::performAction(&f.view, "nameLabel", nullptr));
    EXPECT_EQ(label->named, 1);
    // Once the forwarding object leaves the selection, the others are not asked again.
    f.layer->removeObjectFromSelection(forwarding.get());
    EXPECT_TRUE(f.view.forwardingTargetsForAction("nameLabel").isEmpty());
    EXPECT_TRUE(std::all_of(asked.cbegin(), asked.cend(), [](const AskedSquare* square) { return square->asked == 0; }));
}

#include "ViewInteractionTest.moc"
