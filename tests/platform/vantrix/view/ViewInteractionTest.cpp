#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <cmath>

using viewtest::ViewFixture;
using viewtest::expectRectNear;

namespace {

void expectPointNear(QPointF actual, QPointF expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

// A view on a layer holding one red square at (10, 10, 30, 30), nothing to undo.
struct SquareFixture : ViewFixture {
    VXDrawableObjectPtr square =
        VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, drawingtest::fillStyle(Qt::red));

    SquareFixture()
    {
        layer->addObject(square);
        endStep();
        undo->removeAllActions();
    }
    QStringList titles(const platform::Menu* menu) const
    {
        QStringList result;
        for (const QAction* action : menu->actions())
            result.append(action->text());
        return result;
    }
    // Whether the menu's item of that title is enabled once the menu validates.
    bool enabled(platform::Menu* menu, const QString& title) const
    {
        platform::Menu::validateActions(menu->actions());
        for (const QAction* action : menu->actions())
            if (action->text() == title)
                return action->isEnabled();
        ADD_FAILURE() << "no item " << title.toStdString();
        return false;
    }
    // The responder chain starts at the focused view, as after a click in it.
    void focusView()
    {
        QApplication::setActiveWindow(&view);
        view.setFocus();
    }
};

// --- Context menus -------------------------------------------------------------------------------

TEST(ViewContextMenu, ObjectItemsFirstThenTheLayers)
{
    SquareFixture f;
    f.focusView();
    QGuiApplication::clipboard()->clear();

    // Over the square: the object's items, and the square is now selected.
    std::unique_ptr<platform::Menu> menu = f.view.contextMenuAtPoint(f.at({20, 20}));
    ASSERT_TRUE(menu);
    EXPECT_EQ(f.titles(menu.get()), QStringList({"Cut", "Copy", "Delete"}));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>({f.square}));
    EXPECT_TRUE(f.enabled(menu.get(), "Delete"));

    // Over empty paper: the layer's menu; nothing to paste yet.
    menu = f.view.contextMenuAtPoint(f.at({150, 150}));
    ASSERT_TRUE(menu);
    EXPECT_EQ(f.titles(menu.get()), QStringList({"Paste", "Select All"}));
    EXPECT_FALSE(f.enabled(menu.get(), "Paste"));
    EXPECT_TRUE(f.enabled(menu.get(), "Select All"));

    // A locked object may be copied but not cut or deleted.
    f.square->setLocked(true);
    menu = f.view.contextMenuAtPoint(f.at({20, 20}));
    ASSERT_TRUE(menu);
    EXPECT_TRUE(f.enabled(menu.get(), "Copy"));
    EXPECT_FALSE(f.enabled(menu.get(), "Cut"));
    EXPECT_FALSE(f.enabled(menu.get(), "Delete"));
    // Opening menus is not an edit.
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(ViewContextMenu, ControlClickShowsTheMenuAndNothingAnswersNothing)
{
    SquareFixture f;
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::MetaModifier, f.at({20, 20}));
    auto* shown = qobject_cast<platform::Menu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(shown);
    EXPECT_EQ(f.titles(shown), QStringList({"Cut", "Copy", "Delete"}));
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

    // Nor does a view without a drawing.
    VXDrawingView::setCreatesOwnDrawing(false);
    VXDrawingView empty;
    EXPECT_FALSE(empty.contextMenuAtPoint({10, 10}));
    VXDrawingView::setCreatesOwnDrawing(true);
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
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    expectRectNear(f.layer->objectInObjectsAtIndex(1)->logicalBounds(), {135, 105, 30, 30});
}

TEST(ViewDrop, RefusedDropsChangeNothing)
{
    SquareFixture f;
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    EXPECT_EQ(dragAndDrop(f, text, {150, 150}), std::make_pair(false, false));

    // Damaged object data: offered, so the drag is taken, but the drop makes nothing.
    QMimeData damaged;
    damaged.setData(kVXDrawableObjectPasteboardType, QByteArray("bplist00 not really", 19));
    EXPECT_EQ(dragAndDrop(f, damaged, {150, 150}), std::make_pair(true, false));
    f.endStep();
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);

    // Good data onto a locked or hidden layer.
    QMimeData objects;
    VXDrawableObject::writeObjectsToPasteboard({f.square}, &objects);
    f.layer->setLocked(true);
    EXPECT_EQ(dragAndDrop(f, objects, {150, 150}), std::make_pair(false, false));
    f.layer->setLocked(false);
    f.layer->setVisible(false);
    EXPECT_EQ(dragAndDrop(f, objects, {150, 150}), std::make_pair(false, false));
    f.layer->setVisible(true);
    EXPECT_EQ(f.layer->countOfObjects(), 1);
}

// An object layer that takes file drops, as an application's layers do.
class FileTakingLayer : public VXObjectDrawingLayer {
public:
    bool performFileDropOperation(const platform::DraggingInfo& info) override
    {
        files = info.pasteboard->urls();
        location = info.location;
        return true;
    }
    QList<QUrl> files;
    QPointF location;
};

TEST(ViewDrop, FilesGoToTheLayersFileDropHook)
{
    ViewFixture f;
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/map.shp"))});
    // The plain object layer takes no files but SVG graphics.
    EXPECT_EQ(dragAndDrop(f, files, {50, 60}), std::make_pair(true, false));

    auto taking = std::make_shared<FileTakingLayer>();
    f.drawing->addLayer(taking);
    ASSERT_TRUE(f.drawing->setActiveLayer(taking.get()));
    EXPECT_EQ(dragAndDrop(f, files, {50, 60}), std::make_pair(true, true));
    EXPECT_EQ(taking->files, files.urls());
    expectPointNear(taking->location, {50, 60});
}

// --- Keys ---------------------------------------------------------------------------------------

TEST(ViewKeys, DeleteAndBackspaceRemoveTheSelectionInOneStep)
{
    SquareFixture f;
    auto other = VXDrawableShape::drawableShapeWithRect({60, 60, 20, 20}, drawingtest::fillStyle(Qt::blue));
    f.layer->addObject(other);
    f.endStep();
    f.undo->removeAllActions();
    f.layer->selectAll();
    QTest::keyClick(&f.view, Qt::Key_Delete);
    f.endStep();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Delete");
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_EQ(f.layer->countOfSelection(), 2);

    f.layer->replaceSelectionWithObject(other);
    QTest::keyClick(&f.view, Qt::Key_Backspace);
    f.endStep();
    EXPECT_EQ(f.layer->objects(), QList<VXDrawableObjectPtr>({f.square}));

    // With nothing selected, or while text is edited, the keys delete nothing.
    f.layer->deselectAll();
    QTest::keyClick(&f.view, Qt::Key_Delete);
    f.layer->selectAll();
    f.view.editTextInRectDelegate(QStringLiteral("text"), {10, 10, 50, 20}, nullptr);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    EXPECT_EQ(f.layer->countOfObjects(), 1);
    f.view.cancelTextEditing();
}

TEST(ViewKeys, ToolKeyEquivalentsAndEscape)
{
    ViewFixture f;
    auto toolName = [&] { return f.view.toolController()->drawingTool()->registeredName(); };
    QTest::keyClick(&f.view, Qt::Key_R);
    EXPECT_EQ(toolName(), "Rectangle");
    QTest::keyClick(&f.view, Qt::Key_O, Qt::ShiftModifier); // case does not matter
    EXPECT_EQ(toolName(), "Oval");
    QTest::keyClick(&f.view, Qt::Key_L, Qt::ControlModifier); // menus own modified keys
    EXPECT_EQ(toolName(), "Oval");
    QTest::keyClick(&f.view, Qt::Key_Q); // no tool has it
    EXPECT_EQ(toolName(), "Oval");
    QTest::keyClick(&f.view, Qt::Key_Escape);
    EXPECT_EQ(toolName(), kVXStandardSelectionToolName);

    // Keys the text editor passes on do not change the tool.
    f.view.editTextInRectDelegate(QStringLiteral("text"), {10, 10, 50, 20}, nullptr);
    QTest::keyClick(&f.view, Qt::Key_R);
    EXPECT_EQ(toolName(), kVXStandardSelectionToolName);
    f.view.cancelTextEditing();
}

// --- Turned objects -----------------------------------------------------------------------------

// A 40 x 20 rectangle centred on (100, 100), turned so its own x axis runs along (0.8, 0.6)
// and its y axis along (-0.6, 0.8); selected, nothing to undo.
struct TurnedFixture : ViewFixture {
    VXDrawableShapePtr shape =
        VXDrawableShape::drawableShapeWithRect({80, 90, 40, 20}, drawingtest::fillStyle(Qt::red));
    const double angle = std::atan2(0.6, 0.8);

    TurnedFixture()
    {
        shape->setAngle(angle);
        layer->addObject(shape);
        layer->replaceSelectionWithObject(shape);
        endStep();
        undo->removeAllActions();
    }
    QPointF knob(VXBoundsKnob which) const { return platform::KnobBox::ofObject(*shape).pointOfKnob(which); }
};

TEST(ViewTurnedObjects, KnobsShowOnTheTurnedBox)
{
    TurnedFixture f;
    expectPointNear(f.knob(kVXRightKnob), {116, 112});
    expectPointNear(f.knob(kVXBottomKnob), {94, 108});
    expectPointNear(f.knob(kVXTopLeftKnob), {90, 80});
    const QColor green(0, 200, 0);
    f.layer->setSelectionColour(green);
    const QImage shown = f.view.viewport()->grab().toImage();
    const auto shownAt = [&](QPointF drawingPoint) {
        return shown.pixelColor(f.view.convertPointFromDrawing(drawingPoint).toPoint());
    };
    EXPECT_TRUE(drawingtest::near(shownAt(f.knob(kVXRightKnob)), green, 10));
    EXPECT_TRUE(drawingtest::near(shownAt(f.knob(kVXTopLeftKnob)), green, 10));
    const QPointF rotation = VXKnob::knobs().rotationKnobPoint(platform::KnobBox::ofObject(*f.shape));
    EXPECT_TRUE(drawingtest::near(shownAt(rotation), green, 10));
    // Nothing at the corner of the upright bounding box.
    EXPECT_TRUE(drawingtest::near(shownAt(f.shape->logicalBounds().topLeft() + QPointF(1, 1)), Qt::white));

    // Another tool does not rotate, so shows no rotation knob.
    f.useTool(QStringLiteral("Rectangle"));
    const QImage creating = f.view.viewport()->grab().toImage();
    EXPECT_TRUE(drawingtest::near(creating.pixelColor(f.view.convertPointFromDrawing(rotation).toPoint()), Qt::white));
}

TEST(ViewTurnedObjects, ResizingWorksAlongTheOwnAxesKeepingTheOppositeKnob)
{
    TurnedFixture f;
    // The right knob dragged 10 along the object's x axis: 50 wide, the left knob stays.
    f.drag({116, 112}, {124, 118});
    EXPECT_NEAR(f.shape->size().width(), 50, 1e-9);
    EXPECT_NEAR(f.shape->size().height(), 20, 1e-9);
    EXPECT_NEAR(f.shape->angle(), f.angle, 1e-12);
    expectPointNear(f.shape->location(), {104, 103});
    expectPointNear(f.knob(kVXLeftKnob), {84, 88});
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Resize");

    // Dragging the right knob across the object's x axis changes nothing.
    f.drag({124, 118}, {118, 126});
    EXPECT_NEAR(f.shape->size().width(), 50, 1e-9);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);

    // The bottom knob 10 along the y axis: 30 high, the top edge stays.
    const QPointF top = f.knob(kVXTopKnob);
    expectPointNear(f.knob(kVXBottomKnob), {98, 111});
    f.drag({98, 111}, {92, 119});
    EXPECT_NEAR(f.shape->size().height(), 30, 1e-9);
    EXPECT_NEAR(f.shape->size().width(), 50, 1e-9);
    expectPointNear(f.knob(kVXTopKnob), top);

    f.undo->undo();
    f.undo->undo();
    EXPECT_NEAR(f.shape->size().width(), 40, 1e-9);
    EXPECT_NEAR(f.shape->size().height(), 20, 1e-9);
    expectPointNear(f.shape->location(), {100, 100});
}

TEST(ViewTurnedObjects, RotationKnobTurnsAboutTheCentre)
{
    SquareFixture f;
    f.layer->replaceSelectionWithObject(f.square);
    f.endStep();
    f.undo->removeAllActions();
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

// --- Text editor -------------------------------------------------------------------------------

TEST(ViewTextEditor, FontFollowsTheTextAndTheZoom)
{
    ViewFixture f;
    f.view.setScale(2);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(15);
    font.setItalic(true);
    f.view.editTextInRectDelegate(QStringLiteral("Harbour"), {10, 10, 80, 30}, nullptr, font);
    const QPlainTextEdit* editor = f.view.textEditor();
    ASSERT_TRUE(editor);
    // Pixels on screen: 15 points of paper at 2 pixels per point.
    const auto pixels = [&] { return editor->font().pointSizeF() * editor->logicalDpiY() / 72.0; };
    EXPECT_NEAR(pixels(), 30, 1e-6);
    EXPECT_EQ(editor->font().family(), font.family());
    EXPECT_TRUE(editor->font().italic());
    f.view.setScale(0.5);
    EXPECT_NEAR(pixels(), 7.5, 1e-6);
    f.view.endTextEditing();
}

} // namespace
