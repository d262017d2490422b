// Dragging one object across a 1600 x 1000 drawing view over a drawing of 25,000 objects
// (styled rectangles, ovals and polylines on a sheet nine times the view's area, shown at
// actual size). The Select tool picks the object with a click, then a press and 200 mouse
// moves drag it across the view. After each move the pending repaint is run at once and
// timed, and the share of the viewport it covered is recorded: a drag should repaint the
// object's old and new places, not the view. After each gesture the screen is compared with
// a full repaint, so trails the invalidation missed show up.
//
// Three gestures (right, back left, right again); the summary lines give the median of their
// figures. Run with QT_QPA_PLATFORM=offscreen.

#include "ViewportPixels.h"
#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace {

constexpr QSize kViewSize(1600, 1000);
constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kMoves = 200;
constexpr int kGestures = 3;
constexpr QRectF kDragged(1700, 1450, 80, 50); // near the left of the part shown
constexpr double kDragDistance = 1200;         // points (= pixels at actual size)

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double mean(const std::vector<double>& values)
{
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

// A map-like mix: a few shared styles, as a real drawing has, over many objects.
QList<VXStylePtr> areaStyles()
{
    const QList<std::pair<QColor, QColor>> colours{{QColor(200, 230, 190), QColor(90, 130, 80)},
                                                   {QColor(180, 210, 240), QColor(60, 100, 160)},
                                                   {QColor(235, 220, 200), QColor(150, 120, 90)},
                                                   {QColor(220, 200, 230), QColor(120, 90, 140)}};
    QList<VXStylePtr> styles;
    for (const auto& [fill, stroke] : colours)
        styles.append(VXStyle::styleWithFillColourStrokeColourStrokeWidth(fill, stroke, 1.0));
    return styles;
}

QList<VXStylePtr> lineStyles()
{
    QList<VXStylePtr> styles;
    for (const auto& [width, colour] : {std::pair{1.5, QColor(70, 70, 70)}, std::pair{3.0, QColor(200, 120, 40)}}) {
        auto style = std::make_shared<VXStyle>();
        auto stroke = VXStroke::strokeWithWidthColour(width, colour);
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        style->addRenderer(stroke);
        styles.append(style);
    }
    return styles;
}


// Records the viewport's paint events: how many, and how much of it they covered.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* viewport)
        : m_viewport(viewport)
    {
        viewport->installEventFilter(this);
    }

    void reset()
    {
        paints = 0;
        share = 0;
    }

    int paints = 0;
    double share = 0; // summed over the paints since reset

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint) {
            const QRegion region = static_cast<QPaintEvent*>(event)->region() & m_viewport->rect();
            double area = 0;
            for (const QRect& rect : region) // the rectangles of a region do not overlap
                area += double(rect.width()) * rect.height();
            share += area / (double(m_viewport->width()) * m_viewport->height());
            ++paints;
        }
        return false;
    }

private:
    QWidget* m_viewport;
};

struct GestureFigures {
    std::vector<double> repaintMs;  // per move: the pending repaint run to completion
    std::vector<double> handlingMs; // per move: the tool handling the mouse event
    std::vector<double> shares;
    int movesWithoutPaint = 0;
};

class DragBench {
public:
    DragBench()
        : m_drawing(VXDrawing::drawingWithSize(kPaper))
        , m_layer(std::make_shared<VXObjectDrawingLayer>())
    {
        m_drawing->setUndoManager(&m_undo);
        m_drawing->addLayer(m_layer);
        m_drawing->setActiveLayer(m_layer.get());
        QRandomGenerator random(2027);
        const QList<VXStylePtr> areas = areaStyles();
        const QList<VXStylePtr> lines = lineStyles();
        QList<VXDrawableObjectPtr> objects;
        for (int i = 0; i < kObjects - 1; ++i)
            objects.append(benchscene::randomObject(
                random, kPaper, [&] { return areas[random.bounded(int(areas.size()))]; },
                [&] { return lines[random.bounded(int(lines.size()))]; }));
        // The one dragged: on top, so the click is sure to hit it.
        objects.append(VXDrawableShape::drawableShapeWithRect(
            kDragged, VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(230, 60, 60), Qt::black, 2.0)));
        m_layer->addObjectsFromArray(objects);
        m_undo.removeAllActions(); // building the drawing is not an edit

        m_view.setFrameShape(QFrame::NoFrame);
        m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.resize(kViewSize);
        m_view.setDrawing(m_drawing);
        m_view.toolController()->setDrawingTool(nullptr); // the Select tool
        m_view.show();
        m_view.scrollToPosition(QPointF(1600, 1000)); // the middle ninth of the sheet
    }

    int selectedCount() const { return m_layer->countOfSelection(); }
    QRectF draggedBounds() const { return m_layer->objects().constLast()->logicalBounds(); }

    // Pixels where what is on screen after the partial repaints differs from a full repaint
    // of the view now: trails left outside the areas the drag invalidated.
    int stalePixels()
    {
        const QImage shown = bench::viewportOnScreen(m_view);
        const QImage fresh = m_view.viewport()->grab().toImage().convertToFormat(shown.format());
        return bench::differingPixels(m_view, shown, fresh);
    }

    // The first paint of the whole view, to its last tile, which the drag's repaints compare with.
    double firstPaintMs()
    {
        const auto start = Clock::now();
        m_view.viewport()->repaint();
        m_view.finishRendering();
        QCoreApplication::processEvents();
        return millisecondsSince(start);
    }

    // Clicks the object, then drags it by `dx` pixels in kMoves moves, running each repaint.
    GestureFigures dragBy(double dx)
    {
        QWidget* port = m_view.viewport();
        PaintRecorder recorder(port);
        const QPointF grip = m_view.convertPointFromDrawing(draggedBounds().center());
        QTest::mouseClick(port, Qt::LeftButton, {}, grip.toPoint());
        QCoreApplication::processEvents();
        QTest::mousePress(port, Qt::LeftButton, {}, grip.toPoint());
        QCoreApplication::processEvents();

        GestureFigures figures;
        for (int i = 1; i <= kMoves; ++i) {
            // A slight wave, so the drag is not along one row of pixels only.
            const QPointF offset(dx * i / kMoves, 30 * std::sin(i * M_PI / 50));
            recorder.reset();
            const auto moveStart = Clock::now();
            QTest::mouseMove(port, (grip + offset).toPoint());
            figures.handlingMs.push_back(millisecondsSince(moveStart));
            const auto paintStart = Clock::now();
            QCoreApplication::processEvents();
            figures.repaintMs.push_back(millisecondsSince(paintStart));
            figures.shares.push_back(recorder.share);
            if (recorder.paints == 0)
                ++figures.movesWithoutPaint;
        }
        QTest::mouseRelease(port, Qt::LeftButton, {}, (grip + QPointF(dx, 0)).toPoint());
        QCoreApplication::processEvents();
        m_undo.closeAutomaticGroup();
        return figures;
    }

private:
    ZQUndoManager m_undo;
    VXDrawingPtr m_drawing;
    std::shared_ptr<VXObjectDrawingLayer> m_layer;
    VXDrawingView m_view;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    const auto buildStart = Clock::now();
    DragBench bench;
    std::printf("drawing of %d objects built in %.0f ms\n", kObjects, millisecondsSince(buildStart));
    QCoreApplication::processEvents();
    std::printf("full view paint: %.2f ms\n", bench.firstPaintMs());

    std::vector<double> p95s, means, shares;
    for (int gesture = 0; gesture < kGestures; ++gesture) {
        const double dx = gesture % 2 == 0 ? kDragDistance : -kDragDistance;
        const QPointF before = bench.draggedBounds().topLeft();
        const GestureFigures figures = bench.dragBy(dx);
        const QPointF moved = bench.draggedBounds().topLeft() - before;
        if (bench.selectedCount() != 1 || figures.movesWithoutPaint > 0 || std::abs(moved.x() - dx) > 1
            || std::abs(moved.y()) > 1) {
            std::fprintf(stderr, "gesture %d: %d selected, %d moves repainted nothing, moved by (%g, %g)\n", gesture,
                         bench.selectedCount(), figures.movesWithoutPaint, moved.x(), moved.y());
            return 1;
        }
        if (const int stale = bench.stalePixels())
            std::printf("gesture %d: %d pixels left as trails (the screen differs from a full repaint)\n", gesture,
                        stale);
        p95s.push_back(bench::percentile(figures.repaintMs, 0.95));
        means.push_back(mean(figures.repaintMs));
        shares.push_back(mean(figures.shares));
        std::printf("gesture %d (dx %+.0f): repaint mean %.2f ms, p95 %.2f ms, max %.2f ms; "
                    "move handling mean %.2f ms, p95 %.2f ms; repainted share mean %.4f, max %.4f\n",
                    gesture, dx, means.back(), p95s.back(), bench::percentile(figures.repaintMs, 1.0),
                    mean(figures.handlingMs), bench::percentile(figures.handlingMs, 0.95), shares.back(),
                    *std::max_element(figures.shares.begin(), figures.shares.end()));
    }
    std::printf("median of %d gestures: repaint mean %.2f ms, p95 %.2f ms, repainted share %.4f\n", kGestures,
                bench::median(means), bench::median(p95s), bench::median(shares));
    bench::printValue("view_drag_25k_p95", bench::median(p95s), "ms", 16);
    bench::printValue("view_drag_25k_repainted_share", bench::median(shares), "fraction", 0.25);
    return 0;
}
