#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "support/PaintRecorder.h"
#include "support/SettingScope.h"

#include <QApplication>
#include <QWheelEvent>

using viewtest::ViewFixture;
using viewtest::expectPointNear;
using viewtest::expectRectNear;

namespace {

void wheel(VXDrawingView& view, QPointF at, int angle, Qt::KeyboardModifiers mods = Qt::ControlModifier)
{
    QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

} // namespace

TEST(View, SmallPaperIsCentredAndCoordinatesRoundTrip)
{
    ViewFixture f({200, 100}, {400, 300});
    // Centred: (400 - 200) / 2 across, (300 - 100) / 2 down; y grows downwards.
    expectPointNear(f.view.convertPointFromDrawing({0, 0}), {100, 100});
    expectPointNear(f.view.convertPointFromDrawing({200, 100}), {300, 200});
    f.view.setScale(1.5);
    const QPointF p(37.25, 81.5);
    expectPointNear(f.view.convertPointToDrawing(f.view.convertPointFromDrawing(p)), p);
    expectRectNear(f.view.convertRectToDrawing(f.view.convertRectFromDrawing({10, 20, 30, 40})), {10, 20, 30, 40});
    // Scales are clamped.
    f.view.setScale(1e9);
    EXPECT_DOUBLE_EQ(f.view.scale(), VXDrawingView::kMaximumScale);
    f.view.setScale(-2);
    EXPECT_DOUBLE_EQ(f.view.scale(), VXDrawingView::kMaximumScale);
}

TEST(View, WheelAndZoomToolKeepThePointUnderTheMouseAndPanScrolls)
{
    ViewFixture f({1000, 1000}, {400, 400});
    f.view.scrollToPosition({300, 200});
    const QPointF mouse(120, 250);
    const QPointF under = f.view.convertPointToDrawing(mouse);
    expectPointNear(under, {420, 450});
    wheel(f.view, mouse, 120);
    EXPECT_DOUBLE_EQ(f.view.scale(), 1.1);
    expectPointNear(f.view.convertPointToDrawing(mouse), under, 1e-6);
    wheel(f.view, mouse, -240);
    EXPECT_NEAR(f.view.scale(), 1.1 / (1.1 * 1.1), 1e-12);
    expectPointNear(f.view.convertPointToDrawing(mouse), under, 1e-6);
    // Without Ctrl the wheel scrolls, and does not zoom.
    const double scale = f.view.scale();
    wheel(f.view, mouse, -120, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(f.view.scale(), scale);

    f.view.setScale(1);
    f.useTool("Zoom");
    const QPointF underTool = f.view.convertPointToDrawing(mouse);
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, mouse.toPoint());
    EXPECT_DOUBLE_EQ(f.view.scale(), 2.0);
    expectPointNear(f.view.convertPointToDrawing(mouse), underTool, 1e-6);
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::AltModifier, mouse.toPoint());
    EXPECT_DOUBLE_EQ(f.view.scale(), 1.0);
    expectPointNear(f.view.convertPointToDrawing(mouse), underTool, 1e-6);
    // Zoom tools never revert: they make nothing.
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), "Zoom");

    f.useTool("Pan");
    const QPointF before = f.view.scrollPosition();
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, {200, 200});
    QTest::mouseMove(f.view.viewport(), {180, 190});
    QTest::mouseMove(f.view.viewport(), {150, 170});
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, {150, 170});
    expectPointNear(f.view.scrollPosition(), before + QPointF(50, 30));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(View, ZoomToRectFitAndActualSize)
{
    ViewFixture f({1000, 500}, {400, 400});
    // Scroll bars take some of the view while the paper does not fit.
    const QSizeF port = f.view.viewport()->size();
    f.view.zoomViewToRect({100, 100, 200, 100});
    EXPECT_DOUBLE_EQ(f.view.scale(), port.width() / 200); // across is the tighter fit
    expectPointNear(f.view.convertPointToDrawing(QRectF(QPointF(), port).center()), {200, 150});

    f.view.zoomViewToFitInWindow();
    QApplication::sendPostedEvents(); // the scroll bars go
    EXPECT_DOUBLE_EQ(f.view.scale(), 0.4);
    expectRectNear(f.view.convertRectFromDrawing(f.drawing->bounds()), {0, 100, 400, 200});
    f.view.zoomViewToActualSize();
    EXPECT_DOUBLE_EQ(f.view.scale(), 1.0);
    // An empty rectangle leaves the view alone.
    f.view.zoomViewToRect({50, 50, 0, 10});
    EXPECT_DOUBLE_EQ(f.view.scale(), 1.0);
}

TEST(View, RendersTheDrawingWhereItMapsIt)
{
    ViewFixture f({200, 200}, {400, 400});
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({20, 20, 40, 40}, drawingtest::fillStyle(Qt::red)));
    f.view.setScale(1.5);
    const auto shownAt = [&](const QImage& image, QPointF p, QPoint offset = {}) {
        return image.pixelColor(f.view.convertPointFromDrawing(p).toPoint() + offset);
    };
    const QImage shown = f.view.viewport()->grab().toImage();
    EXPECT_TRUE(drawingtest::near(shownAt(shown, {40, 40}), Qt::red));
    EXPECT_TRUE(drawingtest::near(shownAt(shown, {100, 100}), Qt::white));
    EXPECT_FALSE(drawingtest::near(shownAt(shown, {100, 205}), Qt::white)); // beyond the paper

    // A selected object shows its resize knobs, a fixed size on screen, in the layer's colour.
    f.layer->selectAll();
    f.layer->setSelectionColour(QColor(0, 200, 0));
    const QImage selected = f.view.viewport()->grab().toImage();
    EXPECT_TRUE(drawingtest::near(shownAt(selected, {40, 20}, {1, -1}), QColor(0, 200, 0), 10));
    EXPECT_FALSE(drawingtest::near(shownAt(selected, {40, 20}, {5, -5}), QColor(0, 200, 0), 10));
}

TEST(View, DrawingChangesRepaintOnlyTheirArea)
{
    ViewFixture f({200, 200}, {400, 400});
    f.view.setScale(2.0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.view));
    QApplication::sendPostedEvents();

    testsupport::PaintRecorder recorder;
    recorder.watch(f.view.viewport());
    f.drawing->setNeedsDisplayInRect({10, 20, 30, 40});
    QApplication::sendPostedEvents();
    f.view.viewport()->removeEventFilter(&recorder);

    EXPECT_TRUE(recorder.painted.contains(f.view.convertRectFromDrawing({10, 20, 30, 40}).toAlignedRect()));
    EXPECT_FALSE(recorder.painted.contains(f.view.convertPointFromDrawing({100, 150}).toPoint()));

    // A layer shown or hidden repaints past the paper's edge too, where labels and symbols
    // may hang over it.
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({150, 80, 120, 40}, drawingtest::fillStyle(Qt::red)));
    f.view.setScale(1.0);
    QApplication::sendPostedEvents();
    recorder.painted = {};
    recorder.watch(f.view.viewport());
    f.layer->setVisible(false);
    QApplication::sendPostedEvents();
    recorder.stopWatching(f.view.viewport());
    EXPECT_TRUE(recorder.painted.contains(f.view.convertPointFromDrawing({250, 100}).toPoint()));
}

TEST(ToolController, OnlyRealToolChangesAreAnnounced)
{
    ViewFixture f;
    VXToolController& controller = *f.view.toolController();
    drawingtest::NotificationRecorder toolChanges(kVXDidChangeToolNotification, &controller);
    EXPECT_TRUE(controller.drawingTool()->isSelectionTool());
    f.useTool("Oval");
    f.useTool("Oval"); // no change
    f.useTool("No Such Tool");
    EXPECT_EQ(controller.drawingTool()->registeredName(), "Oval");
    controller.setDrawingTool(nullptr);
    EXPECT_EQ(controller.drawingTool()->registeredName(), kVXStandardSelectionToolName);
    EXPECT_EQ(toolChanges.received.size(), 2);

    // The only visible view answers the tool a tool's set() goes to.
    VXDrawingTool::drawingToolWithName("Line")->set();
    EXPECT_EQ(controller.drawingTool()->registeredName(), "Line");
}

TEST(ToolRegistry, NamesAreUniqueAndALaterToolTakesItsKeyFromEveryOtherTool)
{
    const testsupport::ToolRegistryScope restoreTools;
    VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    EXPECT_FALSE(VXDrawingTool::drawingToolWithName("Nothing"));
    const VXDrawingToolPtr zoom = registry.drawingToolWithName("Zoom");
    const VXDrawingToolPtr rectangle = registry.drawingToolWithName("Rectangle");
    ASSERT_EQ(zoom->keyboardEquivalent(), "z");

    auto zoomOut = std::make_shared<VXZoomTool>();
    zoomOut->setKeyboardEquivalent("z");
    registry.registerDrawingToolWithName(zoomOut, "Zoom Out");
    EXPECT_EQ(zoom->keyboardEquivalent(), "");
    // Registering the same tool again keeps one entry and its key; keys match whatever their case.
    registry.registerDrawingToolWithName(zoomOut, "Zoom Out");
    EXPECT_EQ(registry.names().count("Zoom Out"), 1);
    EXPECT_EQ(registry.drawingToolWithName("Zoom Out"), zoomOut);
    EXPECT_EQ(zoomOut->keyboardEquivalent(), "z");
    zoomOut->setKeyboardEquivalent("R");
    registry.registerDrawingToolWithName(zoomOut, "Zoom Out");
    EXPECT_EQ(rectangle->keyboardEquivalent(), "");
    // A tool without a key takes none.
    registry.registerDrawingToolWithName(std::make_shared<VXZoomTool>(), "Plain Zoom");
    EXPECT_EQ(zoomOut->keyboardEquivalent(), "R");

    registry.registerDrawingToolWithName(nullptr, "Zoom Out");
    registry.registerDrawingToolWithName(nullptr, "Plain Zoom");
    EXPECT_FALSE(registry.drawingToolWithName("Zoom Out"));
    EXPECT_FALSE(registry.names().contains("Zoom Out"));
}

TEST(ToolRegistry, AScopePutsBackToolsTheirOrderAndTheirKeysOnAnyExit)
{
    VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    const QStringList names = registry.names();
    const VXDrawingToolPtr zoom = registry.drawingToolWithName("Zoom");
    const QString key = zoom->keyboardEquivalent();
    ASSERT_FALSE(key.isEmpty());
    try {
        const testsupport::ToolRegistryScope restoreTools;
        auto thief = std::make_shared<VXZoomTool>();
        thief->setKeyboardEquivalent(key);
        registry.registerDrawingToolWithName(thief, "Thief");
        registry.registerDrawingToolWithName(std::make_shared<VXZoomTool>(), "Zoom");
        registry.registerDrawingToolWithName(nullptr, "Pan");
        throw std::runtime_error("a failed check ends the test here");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(registry.names(), names);
    EXPECT_EQ(registry.drawingToolWithName("Zoom"), zoom);
    EXPECT_EQ(zoom->keyboardEquivalent(), key);
    EXPECT_EQ(zoom->registeredName(), "Zoom");
}

TEST(View, MakesItsOwnDrawingOnlyWhenTheClassAllows)
{
    const testsupport::SettingScope createsOwn(&VXDrawingView::createsOwnDrawing, &VXDrawingView::setCreatesOwnDrawing,
                                               false);
    VXDrawingView bare;
    bare.show();
    EXPECT_EQ(bare.drawing(), nullptr);
    bare.zoomViewToFitInWindow(); // nothing to fit: no change, no crash
    EXPECT_DOUBLE_EQ(bare.scale(), 1.0);
    EXPECT_FALSE(bare.contextMenuAtPoint({10, 10}));

    createsOwn.set(true);
    VXDrawingView own;
    own.show();
    ASSERT_NE(own.drawing(), nullptr);
    EXPECT_NE(own.drawing()->activeLayer(), nullptr);
}
