// The view's kept rendering: once settled, scrolled and zoomed views and views edited while
// they rendered in the background show what a fresh rendering shows; a zoom shows the scale
// before at once; the ends of the zoom range and an empty drawing render without harm; tiles
// slower than the gaps between events still finish, faded or redrawn elsewhere meanwhile; a
// view going while a tile draws waits; selection highlights change over the kept rendering.

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/render/RenderGate.h"
#include "platform/vantrix/view/CachedViewRendering.h"
#include "support/ThreadTime.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>

using namespace drawingtest;
using namespace viewtest;

namespace {

constexpr QSizeF kPaper(1800, 1200);
constexpr QSize kViewSize(500, 340);

// Rectangles and ovals (in `shared`) of 6-36 x 5-25 spread over the sheet.
void addShapes(VXObjectDrawingLayer& layer, int count, const VXStylePtr& shared)
{
    QRandomGenerator random(41);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < count; ++i) {
        const QRectF box(random.bounded(kPaper.width() - 40), random.bounded(kPaper.height() - 30),
                         6 + random.bounded(30.0), 5 + random.bounded(20.0));
        objects.append(i % 2 ? VXDrawableShape::drawableShapeWithOvalInRect(box, shared)
                             : VXDrawableShape::drawableShapeWithRect(box, fillStyle(QColor(240, 200, 90))));
    }
    layer.addObjectsFromArray(objects);
}

// More objects than the view draws while it waits, so whole views render in the background.
struct BusyView : ViewFixture {
    VXStylePtr shared = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(90, 160, 220, 170), Qt::black, 1);
    std::shared_ptr<VXObjectDrawingLayer> upper = std::make_shared<VXObjectDrawingLayer>();
    VXDrawableObjectPtr marker;

    explicit BusyView(int count = platform::CachedViewRendering::kImmediateObjects + 800)
        : ViewFixture(kPaper, kViewSize)
    {
        addShapes(*layer, count, shared);
        drawing->addLayer(upper);
        marker = VXDrawableShape::drawableShapeWithRect(QRectF(400, 300, 200, 120), fillStyle(QColor(200, 30, 30)));
        upper->addObject(marker);
        view.setScale(0.25); // the whole sheet, far above what is drawn while waiting
        QCoreApplication::processEvents();
        forgetEdits();
    }

    QImage shown() { return view.viewport()->grab().toImage(); }

    // What the view shows once it has finished rendering.
    QImage settled()
    {
        view.finishRendering();
        EXPECT_TRUE(view.isRenderingSettled());
        return shown();
    }

    // A fresh rendering of the view as it is placed now.
    QImage fresh()
    {
        view.discardRenderings();
        return settled();
    }

    // Runs the event loop as the application does, the workers drawing while it waits,
    // until the view has drawn everything it shows (or the time given has passed).
    bool settlesOnItsOwn(int milliseconds = 5000)
    {
        QEventLoop loop;
        QTimer poll;
        poll.callOnTimeout([&] {
            if (view.isRenderingSettled())
                loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        return view.isRenderingSettled();
    }

    // Paints (sending the view's tiles to the background) and lends them a moment.
    void paintAndRenderAWhile()
    {
        view.viewport()->repaint();
        platform::RenderGate::instance().waitLending([] { QThread::msleep(2); });
    }
};

// A shape whose drawing takes a while in the background (the view's own drawing while it waits
// stays quick).
class SlowShape : public VXDrawableShape {
public:
    static constexpr int kMicroseconds = 1000;
    static VXDrawableObjectPtr inRect(const QRectF& rect, const VXStylePtr& style)
    {
        auto shape = std::make_shared<SlowShape>();
        shape->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(rect));
        shape->setStyle(style);
        return shape;
    }
    void drawContent() const override
    {
        if (platform::RenderGate::instance().isLent())
            QThread::usleep(kMicroseconds);
        VXDrawableShape::drawContent();
    }
};

// What a shape drawn in the background sees: the first time once armed, it holds its rendering
// until let go or asked to stop, and notes whether its drawing was destroyed by then. It paints
// nothing.
struct Latch {
    std::atomic<bool> armed{false};
    std::atomic<bool> drawing{false};
    std::atomic<bool> letGo{false};
    std::atomic<bool> left{false};
    std::atomic<bool> destroyed{false};
    std::atomic<bool> destroyedWhileDrawn{false};
};

class LatchedShape : public VXDrawableShape {
public:
    explicit LatchedShape(std::shared_ptr<Latch> latch)
        : m_latch(std::move(latch))
    {
    }
    void drawContent() const override
    {
        // Only a background rendering, inside the lent gate, is held.
        const std::shared_ptr<Latch> latch = m_latch; // `this` may go meanwhile
        if (!latch->armed || !platform::RenderGate::instance().isLent() || latch->drawing.exchange(true))
            return;
        QDeadlineTimer patience(3000); // a rendering the main thread waits for cannot be let go
        while (!latch->letGo && !platform::RenderGate::stopRequested() && !patience.hasExpired())
            QThread::msleep(1);
        latch->destroyedWhileDrawn = latch->destroyed.load();
        latch->left = true;
    }

private:
    std::shared_ptr<Latch> m_latch;
};

} // namespace

TEST(CachedView, SelectionHighlightsComeAndGoOverTheKeptRenderingWithoutDrawingItAgain)
{
    BusyView f;
    const QImage plain = f.settled();
    f.layer->selectAll();
    // Highlights are drawn live: a selection of a whole map leaves every tile as it was.
    EXPECT_TRUE(f.view.isRenderingSettled());
    const QImage selected = f.shown();
    EXPECT_NE(selected, plain);
    EXPECT_EQ(selected, f.fresh());

    f.layer->removeObjectFromSelection(f.layer->objects().constLast().get());
    f.layer->deselectAll();
    EXPECT_TRUE(f.view.isRenderingSettled());
    EXPECT_EQ(f.shown(), plain);
}

TEST(CachedView, AViewGoingWhileATileDrawsEndsTheRenderingFirst)
{
    // The view, alone holding its drawing, goes while the gate is lent and a background tile
    // draws one of its objects: what that rendering reads must outlive it.
    const auto latch = std::make_shared<Latch>();
    auto* view = new VXDrawingView;
    {
        drawingtest::Fixture f(kPaper);
        // Drawn first in its tile, which meets more objects than are drawn while the view waits.
        auto latched = std::make_shared<LatchedShape>(latch);
        latched->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect(QRectF(900, 600, 20, 20)));
        latched->setStyle(fillStyle(QColor(10, 10, 10)));
        f.layer->addObject(latched);
        addShapes(*f.layer, 5 * platform::CachedViewRendering::kImmediateObjects,
                  VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(90, 160, 220, 170), Qt::black, 1));
        f.drawing->setUndoManager(nullptr);
        QObject::connect(f.drawing.get(), &QObject::destroyed, [latch] { latch->destroyed = true; });
        view->resize(kViewSize);
        view->setDrawing(f.drawing);
        view->setScale(0.25); // the whole sheet, drawn in the background
        view->show();
        QCoreApplication::processEvents();
    }
    view->discardRenderings();
    view->viewport()->repaint();
    ASSERT_FALSE(view->isRenderingSettled()) << "the view is to be drawn in the background";
    latch->armed = true;
    platform::RenderGate::instance().waitLending([&] {
        QDeadlineTimer patience(10000);
        while (!latch->drawing && !patience.hasExpired())
            QThread::msleep(1);
        delete view;
    });
    ASSERT_TRUE(latch->drawing) << "the latched shape was never drawn in the background";
    EXPECT_TRUE(latch->destroyed);
    latch->letGo = true;
    QDeadlineTimer patience(10000);
    while (!latch->left && !patience.hasExpired())
        QThread::msleep(1);
    EXPECT_TRUE(latch->left);
    EXPECT_FALSE(latch->destroyedWhileDrawn) << "the rendering read a drawing freed under it";
}

namespace {

// Shapes that make each tile in view take longer than the gaps between events.
void addSlowShapes(BusyView& f, int count = 600)
{
    QRandomGenerator random(7);
    QList<VXDrawableObjectPtr> slow;
    for (int i = 0; i < count; ++i)
        slow.append(SlowShape::inRect(QRectF(random.bounded(1700.0), random.bounded(1150.0), 30, 20),
                                      fillStyle(QColor(60, 120, 60, 140))));
    f.layer->addObjectsFromArray(slow);
}

// The slow view, the pointer moving over it every 3 ms (`eachMove` called with each move's
// number) until it settles or 20 s have passed; answers whether it settled to what a fresh
// rendering shows.
bool settlesToAFreshRenderingWhileThePointerMoves(BusyView& f, const std::function<void(int move)>& eachMove)
{
    addSlowShapes(f);
    f.view.discardRenderings();
    f.view.viewport()->repaint();
    EXPECT_FALSE(f.view.isRenderingSettled()) << "the view is to be drawn in the background";
    QTimer pointer;
    int moves = 0;
    pointer.callOnTimeout([&] {
        const QPoint at(50 + moves % 400, 60 + moves % 200);
        QMouseEvent move(QEvent::MouseMove, at, f.view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(f.view.viewport(), &move);
        eachMove(moves++);
    });
    pointer.start(3);
    const bool settled = f.settlesOnItsOwn(20000);
    pointer.stop();
    EXPECT_GT(moves, 20);
    return settled && differingPixels(f.shown(), f.fresh()) == 0;
}

} // namespace

TEST(CachedView, TilesSlowerThanTheGapsBetweenEventsStillFinish)
{
    // The pointer moves over the view every few milliseconds while each tile in view takes
    // over a hundred: the view settles all the same, to what a fresh rendering shows. Every
    // tile meets more objects than the view draws while it waits.
    BusyView f(5 * platform::CachedViewRendering::kImmediateObjects);
    EXPECT_TRUE(settlesToAFreshRenderingWhileThePointerMoves(f, [](int) {}));
}

TEST(CachedView, TilesFinishedDuringSlowPaintsShowTogether)
{
    // Paints slowed by what is drawn over the tiles (a large selection's knobs) show the tiles
    // the background finishes meanwhile seldom enough to take about a quarter of the main
    // thread at most: each showing draws all of that again.
    constexpr int kPaintMs = 100;
    BusyView f;
    f.view.resize(1000, 700);
    addSlowShapes(f, 8000);
    f.view.setScale(0.5); // the whole sheet, in a score of tiles
    QElapsedTimer clock;
    clock.start();
    QList<std::pair<qint64, qint64>> paints; // when each began and ended
    const auto owner = std::make_unique<QObject>();
    f.view.setOverlay(owner.get(), [&](QPainter&, const QRectF&) {
        const qint64 start = clock.elapsed();
        QThread::msleep(kPaintMs);
        paints.append({start, clock.elapsed()});
    });
    f.view.discardRenderings();
    f.view.viewport()->repaint();
    ASSERT_TRUE(f.settlesOnItsOwn(60000));
    ASSERT_GE(paints.size(), 3) << "tiles are to be shown while others are still drawn";
    // The paint showing the last tiles may come at once; timers may fire a little early. Each
    // gap is set by the paint before it, however long a busy machine made that.
    for (qsizetype i = 1; i + 1 < paints.size(); ++i) {
        const qint64 paint = paints[i - 1].second - paints[i - 1].first;
        EXPECT_GE(paints[i].first - paints[i - 1].second, qint64(2.7 * double(paint))) << "paint " << i;
    }
}

TEST(CachedView, TilesOfAFadedLayerFinishWhileThePointerMoves)
{
    // The faded layer is drawn apart and composed: a stop inside it goes on with what it drew.
    BusyView f(5 * platform::CachedViewRendering::kImmediateObjects);
    f.layer->setAlpha(0.5);
    EXPECT_TRUE(settlesToAFreshRenderingWhileThePointerMoves(f, [](int) {}));
}

TEST(CachedView, RedrawsOutOfViewKeepWhatInterruptedTilesDrew)
{
    // Knob redraws and edits elsewhere change nothing the tiles in view draw.
    BusyView f(5 * platform::CachedViewRendering::kImmediateObjects);
    EXPECT_TRUE(settlesToAFreshRenderingWhileThePointerMoves(f, [&](int move) {
        if (move % 20 == 0)
            f.drawing->setNeedsDisplayInRect(QRectF(-3000, -3000, 10, 10));
    }));
}

TEST(CachedView, TilesTakenUpAfterALayerBelowGainsItsFirstObjectElsewhereDrawEachLayerOnce)
{
    // An empty layer under the shapes gains its first object out of view while the tiles in
    // view are interrupted: where they stopped in the layers above must not move.
    BusyView f(5 * platform::CachedViewRendering::kImmediateObjects);
    addSlowShapes(f);
    const auto below = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->insertObjectInLayersAtIndex(below, f.drawing->countOfLayers());
    f.view.setScale(0.5);
    const QRectF elsewhere(1700, 1100, 20, 20);
    ASSERT_FALSE(f.view.visibleDrawingRect().intersects(elsewhere));
    f.view.discardRenderings();
    f.view.viewport()->repaint();
    platform::RenderGate::instance().waitLending([] { QThread::msleep(60); });
    ASSERT_FALSE(f.view.isRenderingSettled()) << "the tiles are to be interrupted half drawn";
    below->addObject(VXDrawableShape::drawableShapeWithRect(elsewhere, fillStyle(QColor(0, 0, 200))));
    const QImage settled = f.settled();
    EXPECT_EQ(differingPixels(settled, f.fresh()), 0);
}

TEST(CachedView, ScrolledAndZoomedViewsSettleToAFreshRendering)
{
    BusyView f;
    f.view.setScale(0.6);
    f.view.finishRendering();
    // Scrolled by odd amounts both ways: kept tiles move, the strips coming in are drawn.
    for (const QPointF by : {QPointF(37, 23), QPointF(-101, 57), QPointF(260, -3)}) {
        f.view.scrollBy(by);
        QCoreApplication::processEvents();
        const QImage scrolled = f.settled();
        EXPECT_EQ(differingPixels(scrolled, f.fresh()), 0) << "after scrolling by " << by.x() << "," << by.y();
    }
    // A zoom shows the scale before, scaled, at once: the red marker is in view before any
    // tile of the new scale (the whole sheet, drawn in the background) is drawn.
    f.view.setScale(0.35);
    f.view.finishRendering();
    f.view.zoomViewByFactorWithCentre(0.8, QRectF(f.view.viewport()->rect()).center());
    const QImage preview = f.shown();
    EXPECT_FALSE(f.view.isRenderingSettled());
    EXPECT_EQ(preview.pixelColor(f.view.convertPointFromDrawing(f.marker->bounds().center()).toPoint()),
              QColor(200, 30, 30));
    const QImage zoomed = f.settled();
    EXPECT_EQ(differingPixels(zoomed, f.fresh()), 0);
}

TEST(CachedView, ZoomingBackInAfterAnEditShowsTheEdit)
{
    // Zooming in within an area the view readied before draws from what it readied; an edit
    // there since must still show.
    BusyView f;
    f.view.setScale(0.5);
    f.view.finishRendering();
    const QPointF centre = QRectF(f.view.viewport()->rect()).center();
    f.view.zoomViewByFactorWithCentre(0.5, centre);
    f.view.finishRendering();
    f.marker->setLocation(f.marker->location() + QPointF(-60, 45));
    f.shared->setFillColour(QColor(120, 40, 160, 170));
    f.view.zoomViewByFactorWithCentre(1.6, centre);
    const QImage zoomedIn = f.settled();
    EXPECT_EQ(differingPixels(zoomedIn, f.fresh()), 0);
    EXPECT_EQ(zoomedIn.pixelColor(f.view.convertPointFromDrawing(f.marker->bounds().center()).toPoint()),
              QColor(200, 30, 30));
}

TEST(CachedView, ManySmallEditsInATileAreRepairedWhole)
{
    // Dozens of objects moved a little within a few tiles of a view at full size: the tiles
    // are repaired now, their edits kept as one area once there are too many to keep apart.
    BusyView f;
    f.view.setScale(1);
    f.view.finishRendering();
    const QRectF shown = f.view.visibleDrawingRect();
    int moved = 0;
    for (const VXDrawableObjectPtr& object : f.layer->objects()) {
        if (!shown.contains(object->bounds()))
            continue;
        object->setLocation(object->location() + QPointF(moved % 3 - 1, 1));
        ++moved;
    }
    ASSERT_GT(moved, 4 * platform::CachedViewRendering::kMostDirtyRects);
    const QImage repaired = f.settled();
    EXPECT_EQ(differingPixels(repaired, f.fresh()), 0);
}

TEST(CachedView, ASmallEditedAreaCrowdedWithObjectsIsRepairedInTheBackground)
{
    // More objects than the view draws while it waits, packed into one small corner of a tile:
    // a repair of them all once held the window for seconds on a dense map.
    ViewFixture f(kPaper, kViewSize);
    const VXStylePtr style = fillStyle(QColor(90, 160, 220));
    QList<VXDrawableObjectPtr> crowd;
    for (int i = 0; i < platform::CachedViewRendering::kImmediateObjects + 500; ++i)
        crowd.append(VXDrawableShape::drawableShapeWithRect(QRectF(100 + i % 97, 100 + i % 89, 6, 5), style));
    f.layer->addObjectsFromArray(crowd);
    f.view.setScale(0.25);
    f.view.finishRendering();
    f.forgetEdits();
    for (const VXDrawableObjectPtr& object : crowd)
        object->setLocation(object->location() + QPointF(1, 0));
    QCoreApplication::processEvents(); // the edits reach the view, which paints
    EXPECT_FALSE(f.view.isRenderingSettled());

    // A few objects moved clear of the crowd are still repaired at once.
    for (int i = 0; i < 10; ++i)
        crowd[i]->setLocation(crowd[i]->location() + QPointF(0, 300));
    f.view.finishRendering();
    crowd[1]->setLocation(crowd[1]->location() + QPointF(1, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.view.isRenderingSettled());
}

TEST(CachedView, EditsDuringABackgroundRenderingLeaveNothingStale)
{
    BusyView f;
    f.view.finishRendering();
    const QImage before = f.shown();

    // Each edit lands while tiles are being drawn; the settled view is a fresh rendering.
    const std::vector<std::pair<const char*, std::function<void()>>> edits{
        {"move", [&] { f.marker->setLocation(f.marker->location() + QPointF(310, 170)); }},
        {"restyle", [&] { f.shared->setFillColour(QColor(20, 140, 60)); }},
        {"hide", [&] { f.upper->setVisible(false); }},
        {"remove", [&] { f.drawing->removeLayer(f.upper.get()); }},
    };
    for (const auto& [name, edit] : edits) {
        f.view.discardRenderings();
        f.paintAndRenderAWhile();
        edit();
        const QImage afterEdit = f.settled();
        EXPECT_EQ(differingPixels(afterEdit, f.fresh()), 0) << name;
    }
    EXPECT_GT(differingPixels(before, f.shown()), 0);
}

TEST(CachedView, TilesLeftToTheBackgroundAreDrawnWhateverLandsMeanwhile)
{
    // The whole view goes to the background; then, before its tiles are drawn, a small area is
    // painted (as a finished tile, a knob or a blinking caret asks), an import lands in one
    // corner, or the view zooms. The event loop alone must then bring every tile in view,
    // none shown scaled from the scale before.
    BusyView f;
    const auto addObjectsInCorner = [&] {
        QList<VXDrawableObjectPtr> landed;
        for (int i = 0; i < 40; ++i)
            landed.append(VXDrawableShape::drawableShapeWithRect(QRectF(20 + i * 3, 1100 + i % 5, 2, 2),
                                                                 fillStyle(QColor(30, 30, 200))));
        f.layer->addObjectsFromArray(landed);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> landings{
        {"a small area painted", [&] { f.view.viewport()->repaint(QRect(3, 3, 8, 8)); }},
        {"an import landing", addObjectsInCorner},
        {"a zoom, then a small area painted", [&] {
             f.view.zoomViewByFactorWithCentre(1.25, QPointF(120, 300));
             f.view.viewport()->repaint();
             f.view.viewport()->repaint(QRect(3, 3, 8, 8));
         }},
    };
    for (const auto& [name, landing] : landings) {
        f.view.discardRenderings();
        f.view.viewport()->repaint();
        ASSERT_FALSE(f.view.isRenderingSettled()) << "the view is to be drawn in the background";
        landing();
        EXPECT_TRUE(f.settlesOnItsOwn()) << name;
        const QImage settled = f.shown();
        EXPECT_EQ(differingPixels(settled, f.fresh()), 0) << name;
    }
}

TEST(CachedView, TilesInViewAreDrawnWhenEditsLandOutOfView)
{
    // A corner of a sheet dense enough that even that corner renders in the background; before
    // its tiles are drawn one object lands out of view: far away, or below the viewport in a
    // tile the viewport shows the top of.
    BusyView f(14000);
    f.view.setScale(0.5);
    f.view.scrollDrawingPointToViewportPoint(QPointF(), QPointF());
    QCoreApplication::processEvents(); // the scroll bars shown
    const QSize port = f.view.viewport()->size();
    const QPoint origin = f.view.convertPointFromDrawing(QPointF()).toPoint();
    const int belowPort = port.height() + 30;
    ASSERT_EQ((port.height() - 1 - origin.y()) / platform::CachedViewRendering::kTileSide,
              (belowPort - origin.y()) / platform::CachedViewRendering::kTileSide);
    const std::vector<std::pair<const char*, QPointF>> landings{
        {"far out of view", QPointF(1700, 1150)},
        {"below the viewport, in a tile in view", f.view.convertPointToDrawing(QPointF(200, belowPort))},
    };
    for (const auto& [name, place] : landings) {
        f.view.discardRenderings();
        // Painted now, with nothing left waiting to paint.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        ASSERT_FALSE(f.view.isRenderingSettled()) << "the view is to be drawn in the background";
        f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(place, QSizeF(6, 6)),
                                                                  fillStyle(QColor(30, 30, 200))));
        // Without the edit it settles in a fraction of a second; a loaded machine may take long.
        EXPECT_TRUE(f.settlesOnItsOwn(20000)) << name;
        const QImage settled = f.shown();
        EXPECT_EQ(differingPixels(settled, f.fresh()), 0) << name;
    }
}

TEST(CachedView, AnEditMeetingMillionsOfTilesCostsWhatTheTilesKeptCost)
{
    // An edit spanning millions of tiles at the view's scale (the longest text a label holds,
    // pasted) visited each of them, kept or not: two seconds for that paste.
    BusyView f;
    f.view.setScale(4);
    f.view.scrollDrawingPointToViewportPoint(f.marker->bounds().topLeft(), QPointF(100, 100));
    const QImage before = f.settled();
    const double side = 2000.0 * platform::CachedViewRendering::kTileSide / f.view.scale();
    const QRectF millionsOfTiles(-side / 2, -side / 2, side, side);
    const QRectF inView = f.view.visibleDrawingRect();
    // Visiting each of these four million took 0.8 s; visiting the tiles kept, as an edit of
    // what is in view does, a microsecond or two.
    const auto hundredTimes = [&](const QRectF& rect) {
        for (int i = 0; i < 100; ++i)
            f.view.setNeedsDisplayInRect(rect);
    };
    const testsupport::PairedTimes times = testsupport::leastThreadSecondsInTurns(
        [&] { hundredTimes(millionsOfTiles); }, [&] { hundredTimes(inView); }, 5);
    EXPECT_LT(times.ratio(), 20.0) << times;
    EXPECT_FALSE(f.view.isRenderingSettled()) << "the tiles in view are to be drawn again";
    EXPECT_EQ(differingPixels(f.settled(), before), 0);
}

TEST(CachedView, ZoomLimitsAndEmptyDrawingsRenderWithoutHarm)
{
    BusyView f;
    for (const double scale : {VXDrawingView::kMinimumScale, VXDrawingView::kMaximumScale}) {
        f.view.setScale(scale);
        f.view.scrollDrawingPointToViewportPoint(f.marker->bounds().topLeft(), QPointF(100, 100));
        const QImage settled = f.settled();
        EXPECT_EQ(differingPixels(settled, f.fresh()), 0) << "scale " << scale;
    }
    // At the largest scale the marker's corner sits at the viewport point asked for.
    EXPECT_EQ(f.shown().pixelColor(110, 110), QColor(200, 30, 30));

    f.drawing->setDrawingSize(QSizeF(0, 0));
    f.view.zoomViewToFitInWindow();
    f.view.finishRendering();
    EXPECT_TRUE(f.view.isRenderingSettled());
}
