// The reposition overlay: its measures, its drags and buttons, and the document committing it.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "tracks/model/VXQTrack.h"
#include "windows/reposition/TransformAdjustmentGeometry.h"
#include "windows/reposition/VLTMTransformAdjustmentView.h"
#include "windows/reposition/VLTMTransformAdjustmentViewController.h"

#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace adjustment;

void expectSize(QSizeF actual, QSizeF expected)
{
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

// An overlay that ends with a transform set beforehand, as a user's drags would leave it.
class FixedAdjustment : public TransformAdjustmentView {
public:
    explicit FixedAdjustment(QTransform transform) : m_transform(transform) {}
    QTransform transform() const override { return m_transform; }
    void cancelAdjustmentAction(QObject*) override {}

private:
    QTransform m_transform;
};

platform::BezierPath line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

struct RecordingDelegate : TransformAdjustmentDelegate {
    void adjustmentViewDidEndWithResponse(TransformAdjustmentView& view, int response) override
    {
        responses << response;
        endTransform = view.transform();
    }
    void adjustmentViewDidChangeSelectionRect(TransformAdjustmentView&, const QRectF& rect) override { rects << rect; }
    QList<int> responses;
    QList<QRectF> rects;
    QTransform endTransform;
};

// A host with something to see through the overlay, shown from an image as a drawing view
// shows its tiles, so that repainting it in parts draws the same pixels.
class PatternedHost : public QWidget {
protected:
    void resizeEvent(QResizeEvent*) override
    {
        m_pattern = QImage(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
        m_pattern.setDevicePixelRatio(devicePixelRatioF());
        QPainter painter(&m_pattern);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(30, 90, 200));
        gradient.setColorAt(1, QColor(230, 160, 20));
        painter.fillRect(rect(), gradient);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1.5));
        for (int x = -height(); x < width(); x += 23)
            painter.drawLine(QPointF(x + 0.3, 0), QPointF(x + height() + 0.3, height()));
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(QPointF(), m_pattern); }

private:
    QImage m_pattern;
};

qsizetype differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    qsizetype differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

} // namespace

TEST(TransformAdjustmentGeometry, GridCellsShareTheLeftoverAndHandlesSitOneCellIn)
{
    expectSize(bestGridSize({1000, 700}), {128 + 104.0 / 7, 140});
    expectSize(bestGridSize({1024, 768}), {256, 256});
    expectSize(bestGridSize({300, 200}), {75, 64 + 8.0 / 3});
    expectSize(bestGridSize({20, 30}), {10, 10});
    EXPECT_TRUE(bestGridSize({7.9, 500}).isEmpty()) << "too small for any grid";
    EXPECT_TRUE(bestGridSize({qQNaN(), 500}).isEmpty());

    const QRectF handles = initialHandlesRect({1000, 700}, bestGridSize({1000, 700}));
    EXPECT_NEAR(handles.left(), 1000.0 / 7, 1e-9);
    EXPECT_NEAR(handles.right(), 6 * 1000.0 / 7, 1e-9) << "seven whole cells, not six and a hair";
    EXPECT_NEAR(handles.top(), 140, 1e-9);
    EXPECT_NEAR(handles.bottom(), 560, 1e-9);
    EXPECT_EQ(initialHandlesRect({5, 5}, {}), QRectF(0, 0, 5, 5));

    const QRectF rect(100, 100, 200, 100);
    const QSizeF handle(20, 20);
    EXPECT_EQ(handleAtPoint(rect, {105, 95}, handle), 0);
    EXPECT_EQ(handleAtPoint(rect, {300, 100}, handle), 1);
    EXPECT_EQ(handleAtPoint(rect, {95, 205}, handle), 2);
    EXPECT_EQ(handleAtPoint(rect, {309, 209}, handle), 3);
    EXPECT_EQ(handleAtPoint(rect, {200, 150}, handle), -1);
    EXPECT_EQ(handleAtPoint(QRectF(0, 0, 10, 10), {5, 5}, handle), 0) << "overlapping handles: the first wins";
}

TEST(TransformAdjustmentGeometry, HandleDragsScaleAboutTheOppositeCornerAndNeverCollapse)
{
    const QRectF rect(100, 100, 200, 100);
    const QSizeF minimum(20, 20);
    // Handle 3 anchored at handle 0's corner.
    EXPECT_EQ(draggedHandlesRect(rect, 3, {500, 260}, std::nullopt, minimum), QRectF(100, 100, 400, 160));
    // Keeping the ratio the corner is (P.x, A.y ± (P.x − A.x)·R).
    EXPECT_EQ(draggedHandlesRect(rect, 3, {500, 999}, 0.5, minimum), QRectF(100, 100, 400, 200));
    EXPECT_EQ(draggedHandlesRect(rect, 1, {500, -999}, 0.5, minimum), QRectF(100, 0, 400, 200));
    EXPECT_EQ(draggedHandlesRect(rect, 0, {0, 999}, 0.5, minimum), QRectF(0, 50, 300, 150));
    EXPECT_EQ(draggedHandlesRect(rect, 2, {0, -999}, 0.5, minimum), QRectF(0, 100, 300, 150));

    // Onto the anchor, or past it: one handle wide and high, on the dragged handle's side.
    EXPECT_EQ(draggedHandlesRect(rect, 3, {100, 100}, std::nullopt, minimum), QRectF(100, 100, 20, 20));
    EXPECT_EQ(draggedHandlesRect(rect, 0, {400, 400}, std::nullopt, minimum), QRectF(280, 180, 20, 20));
    // With the ratio kept the shorter side reaches the minimum too.
    EXPECT_EQ(draggedHandlesRect(rect, 3, {100, 100}, 0.5, minimum), QRectF(100, 100, 40, 20));

    const QRectF to(100, 100, 400, 50);
    const QTransform scale = scaleAbout({100, 100}, rect, to);
    EXPECT_EQ(scale.map(QPointF(100, 100)), QPointF(100, 100));
    EXPECT_EQ(scale.map(QPointF(300, 200)), QPointF(500, 150));
    EXPECT_EQ(scale, QTransform::fromTranslate(-100, -100) * QTransform::fromScale(2, 0.5) * QTransform::fromTranslate(100, 100));
}

TEST(TransformAdjustmentView, PansScalesUnlockedDragsResetAndEndingDriveTheTransformAndApply)
{
    QWidget host;
    host.resize(1000, 700);
    RecordingDelegate delegate;
    auto* overlay = new VLTMTransformAdjustmentView(&host, QRectF(0, 0, 1000, 700), {}, &delegate);
    host.show();
    const QPointer<VLTMTransformAdjustmentView> alive(overlay);
    QPushButton* apply = overlay->controller()->applyButton();
    const QRectF start = overlay->handlesRect();
    ASSERT_EQ(delegate.rects, QList<QRectF>{start}) << "placing reports the rectangle";
    EXPECT_EQ(overlay->geometry(), host.rect());
    EXPECT_FALSE(apply->isEnabled());

    // A click that does not move changes nothing.
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(500, 350));
    EXPECT_TRUE(overlay->transform().isIdentity());
    EXPECT_FALSE(apply->isEnabled());

    // A pan inside the rectangle.
    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(500, 350));
    QTest::mouseMove(overlay, QPoint(520, 360));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(530, 370));
    EXPECT_EQ(overlay->transform(), QTransform::fromTranslate(30, 20));
    EXPECT_EQ(overlay->handlesRect(), start.translated(30, 20));
    EXPECT_EQ(delegate.rects.last(), overlay->handlesRect());
    EXPECT_TRUE(apply->isEnabled());

    // Handle 3 with Shift: proportions kept, scaled about handle 0's corner.
    const QRectF before = overlay->handlesRect();
    const QPoint corner = before.bottomRight().toPoint();
    QTest::mousePress(overlay, Qt::LeftButton, Qt::ShiftModifier, corner);
    QTest::mouseMove(overlay, corner + QPoint(60, -200));
    QTest::mouseRelease(overlay, Qt::LeftButton, Qt::ShiftModifier, corner + QPoint(60, -200));
    const QRectF scaled = overlay->handlesRect();
    EXPECT_EQ(scaled.topLeft(), before.topLeft());
    EXPECT_NEAR(scaled.height() / scaled.width(), before.height() / before.width(), 1e-9);
    EXPECT_NEAR(scaled.width(), before.width() + 60, 0.5);
    const QTransform expected = QTransform::fromTranslate(30, 20) * scaleAbout(before.topLeft(), before, scaled);
    EXPECT_TRUE(qFuzzyCompare(overlay->transform(), expected));

    // With Alt (Option) only the rectangle moves.
    const QTransform kept = overlay->transform();
    QTest::mousePress(overlay, Qt::LeftButton, Qt::AltModifier, QPoint(500, 400));
    EXPECT_TRUE(overlay->isUnlocked());
    QTest::mouseMove(overlay, QPoint(450, 380));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(450, 380));
    EXPECT_EQ(overlay->transform(), kept);
    EXPECT_EQ(overlay->handlesRect(), scaled.translated(-50, -20));
    EXPECT_FALSE(overlay->isUnlocked()) << "Alt let go by the release";

    overlay->resetAdjustmentAction();
    EXPECT_TRUE(overlay->transform().isIdentity());
    EXPECT_EQ(overlay->handlesRect(), start);
    EXPECT_FALSE(apply->isEnabled());

    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(500, 350));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(510, 350));
    apply->click();
    EXPECT_EQ(delegate.responses, QList<int>{1});
    EXPECT_EQ(delegate.endTransform, QTransform::fromTranslate(10, 0));
    overlay->cancelAdjustmentAction();
    EXPECT_EQ(delegate.responses, QList<int>{1}) << "an ended adjustment reports once";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive) << "the overlay removed itself";
}

TEST(TransformAdjustmentView, HandlesDraggedOntoTheAnchorStayAHandleWideAndTheTransformInvertible)
{
    QWidget host;
    host.resize(400, 300);
    auto* overlay = new VLTMTransformAdjustmentView(&host, QRectF(0, 0, 400, 300), {}, nullptr);
    const QRectF start = overlay->handlesRect();
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        overlay->resetAdjustmentAction();
        QTest::mousePress(overlay, Qt::LeftButton, modifiers, start.bottomRight().toPoint());
        QTest::mouseMove(overlay, start.topLeft().toPoint());
        QTest::mouseRelease(overlay, Qt::LeftButton, modifiers, start.topLeft().toPoint() - QPoint(30, 30));
        EXPECT_GE(overlay->handlesRect().width(), overlay->handleSize().width());
        EXPECT_GE(overlay->handlesRect().height(), overlay->handleSize().height());
        EXPECT_EQ(overlay->handlesRect().topLeft(), start.topLeft());
        EXPECT_TRUE(overlay->transform().isInvertible());
    }
    // Painting a host under eight points neither draws a grid nor fails.
    QWidget tiny;
    tiny.resize(6, 6);
    auto* small = new VLTMTransformAdjustmentView(&tiny, QRectF(0, 0, 6, 6), {}, nullptr);
    EXPECT_TRUE(small->gridSize().isEmpty());
    EXPECT_FALSE(small->grab().isNull());
}

TEST(TransformAdjustmentView, TheMapDocumentMovesEveryObjectAndTheShapefileTransformAsOneStep)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    document->makeWindowControllers();
    document->showWindows();
    VXDrawingView* view = document->mainView();
    ASSERT_TRUE(view);
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(document->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(50, 60, 40, 30), VXStyle::defaultStyle());
    layer->addObject(shape);
    const QTransform imported = QTransform::fromScale(2, 2);
    document->setShapefileTransform(imported);
    ZQUndoManager& undo = *document->undoManager();
    undo.closeAutomaticGroup();
    undo.removeAllActions();
    const QRectF before = shape->bounds();

    document->repositionContentAction();
    ASSERT_TRUE(document->isInRepositionMode());
    auto* overlay = qobject_cast<VLTMTransformAdjustmentView*>(document->adjustmentView());
    ASSERT_TRUE(overlay);
    ASSERT_TRUE(view->horizontalRulerAccessory());
    EXPECT_TRUE(view->horizontalRulerAccessory()->isAncestorOf(overlay->controller()));
    EXPECT_EQ(overlay->parentWidget(), view->viewport());
    EXPECT_FALSE(overlay->previewImage().isNull());

    // Ten view pixels are ten over the scale in drawing points.
    const QPoint middle = view->viewport()->rect().center();
    QTest::mousePress(overlay, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, middle + QPoint(10, 0));
    const QTransform moved = overlay->transform();
    EXPECT_NEAR(moved.dx(), 10 / view->scale(), 1e-6);
    overlay->controller()->applyButton()->click();
    undo.closeAutomaticGroup();

    EXPECT_FALSE(document->isInRepositionMode());
    EXPECT_FALSE(view->horizontalRulerAccessory());
    EXPECT_EQ(shape->bounds(), moved.mapRect(before));
    EXPECT_EQ(document->shapefileTransform(), imported * moved);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Reposition Content"));
    undo.undo();
    EXPECT_EQ(shape->bounds(), before);
    EXPECT_EQ(document->shapefileTransform(), imported);

    // Leaving the mode cancels: nothing moves.
    document->repositionContentAction();
    overlay = qobject_cast<VLTMTransformAdjustmentView*>(document->adjustmentView());
    ASSERT_TRUE(overlay);
    QTest::mousePress(overlay, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, middle + QPoint(40, 40));
    document->endRepositionMode();
    EXPECT_FALSE(document->isInRepositionMode());
    EXPECT_FALSE(document->adjustmentView());
    EXPECT_EQ(shape->bounds(), before);
    document->close();
}

TEST(TransformAdjustmentView, RepositioningMovesAJoinedTrackEndOnceWithItsRoad)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    auto* layer = qobject_cast<VXQMappingLayer*>(document->drawing()->activeLayer());
    ASSERT_TRUE(layer);
    const auto main = VXQTrack::trackWithPathType(line({20, 100}, {180, 100}), kVXQRoadTrackType);
    const auto side = VXQTrack::trackWithPathType(line({60, 180}, {100, 100}), kVXQRoadTrackType);
    layer->addObject(main);
    layer->addObject(side);
    ASSERT_EQ(side->endLink(), main.get());
    ZQUndoManager& undo = *document->undoManager();
    undo.closeAutomaticGroup();

    // Moved and scaled about a corner, as a handle drag leaves it.
    QTransform transform = QTransform::fromTranslate(37, -12);
    transform.scale(1.5, 1.25);
    FixedAdjustment overlay(transform);
    document->adjustmentViewDidEndWithResponse(overlay, 1);
    undo.closeAutomaticGroup();

    const auto expectAt = [](QPointF actual, QPointF expected) {
        EXPECT_NEAR(actual.x(), expected.x(), 1e-6);
        EXPECT_NEAR(actual.y(), expected.y(), 1e-6);
    };
    expectAt(side->endPoint(VXQTrackEnd::End), transform.map(QPointF(100, 100)));
    expectAt(side->endPoint(VXQTrackEnd::Start), transform.map(QPointF(60, 180)));
    expectAt(main->endPoint(VXQTrackEnd::Start), transform.map(QPointF(20, 100)));
    EXPECT_EQ(side->endLink(), main.get());
    undo.undo();
    expectAt(side->endPoint(VXQTrackEnd::End), {100, 100});
    undo.redo();
    expectAt(side->endPoint(VXQTrackEnd::End), transform.map(QPointF(100, 100)));
}

// Each drag repaints only what it changed through the window's backing store; the screen then
// shows what the overlay and its host draw afresh: pans, handle drags growing and shrinking the
// picture, Alt drags of the rectangle alone, Alt pressed and let go, and a reset.
TEST(TransformAdjustmentView, FramesRepaintedInPartsShowWhatTheOverlayDrawsAfresh)
{
    PatternedHost host;
    host.resize(380, 300);
    // The button bar elsewhere, as in a map window: its buttons change state on their own time.
    struct BarElsewhere : TransformAdjustmentDelegate {
        QWidget* hostingViewForAdjustmentControls(TransformAdjustmentView&) override { return &bar; }
        QWidget bar;
    } delegate;
    const QRectF bounds(0, 0, 1000, 700);
    const QTransform toHost(0.33, 0, 0, 0.33, 17.5, 12.25);
    auto* overlay = new VLTMTransformAdjustmentView(&host, bounds, [toHost] { return toHost; }, &delegate);
    QImage preview((toHost.mapRect(bounds).size() * host.devicePixelRatioF()).toSize(), QImage::Format_ARGB32_Premultiplied);
    preview.setDevicePixelRatio(host.devicePixelRatioF());
    preview.fill(QColor(250, 245, 230));
    {
        QPainter painter(&preview);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::darkGreen, 3));
        painter.drawEllipse(QRectF(20, 15, 250, 180));
        painter.drawLine(QPointF(0, 0), QPointF(330, 231));
    }
    overlay->setPreviewImage(preview);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const auto afresh = [&] { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const auto screen = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        return host.screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    };
    // Where the window lies on the offscreen screen, found from the first frame.
    const QImage first = afresh();
    const QImage firstScreen = screen();
    std::optional<QPoint> place;
    for (int y = 0; y <= 4 && !place; ++y)
        for (int x = 0; x <= 4 && !place; ++x)
            if (differingPixels(firstScreen.copy(QRect(QPoint(x, y), first.size())), first) == 0)
                place = QPoint(x, y);
    ASSERT_TRUE(place) << "the first frame is not on the screen";
    const auto expectScreenAfresh = [&](const char* what) {
        EXPECT_EQ(differingPixels(screen().copy(QRect(*place, first.size())), afresh()), 0) << what;
    };
    const auto drag = [&](QPoint from, const std::vector<QPoint>& moves, Qt::KeyboardModifiers modifiers,
                          const char* what) {
        QTest::mousePress(overlay, Qt::LeftButton, modifiers, from);
        expectScreenAfresh(what);
        for (const QPoint to : moves) {
            QTest::mouseMove(overlay, to);
            expectScreenAfresh(what);
        }
        QTest::mouseRelease(overlay, Qt::LeftButton, modifiers, moves.back());
        expectScreenAfresh(what);
    };
    const auto corner = [&](int handle) {
        return toHost.map(cornerOfHandle(overlay->handlesRect(), handle)).toPoint();
    };

    drag({190, 150}, {{197, 153}, {230, 171}, {120, 90}, {121, 90}, {60, 250}, {190, 150}}, {}, "panned");
    drag(corner(3), {{250, 240}, {330, 280}, {370, 295}, {200, 180}, {90, 60}}, {}, "bottom right handle dragged");
    drag(corner(0), {{30, 20}, {5, 3}, {70, 90}}, Qt::ShiftModifier, "top left handle dragged, proportions kept");
    drag({150, 120}, {{170, 140}, {40, 30}, {300, 250}}, Qt::AltModifier, "rectangle moved alone");
    QTest::keyPress(overlay, Qt::Key_Alt, Qt::AltModifier);
    expectScreenAfresh("Alt pressed");
    QTest::keyRelease(overlay, Qt::Key_Alt, {});
    expectScreenAfresh("Alt let go");
    EXPECT_FALSE(overlay->transform().isIdentity());
    overlay->resetAdjustmentAction();
    expectScreenAfresh("reset");
}
