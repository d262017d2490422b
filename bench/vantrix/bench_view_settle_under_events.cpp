// How long a drawing view takes to draw everything it shows while the main thread is woken
// every 8 ms (as a pointer moving over it wakes it), against the same with the event loop
// left quiet: rectangles of 6-36 x 5-25 points on a 1800 x 1200 sheet, a 500 x 340 view at
// scale 0.5, whose tiles the view draws in the background. The cases: 100,000 rectangles;
// 1,000,000; 100,000 in a layer faded to half; 100,000 with an area out of view redrawn on
// every 20th move (as selection knobs redraw elsewhere).
//
// Each figure is the median of several fresh renderings of the view; each case's summary
// line holds the ratio busy / quiet to twice.

#include "support/BenchSupport.h"
#include "support/RandomObjects.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>

namespace {

constexpr QSizeF kPaper(1800, 1200);
constexpr QSize kViewSize(500, 340);
constexpr double kScale = 0.5;
constexpr int kWakeMs = 8;
constexpr int kPatienceMs = 20000;
// How often the loop looks whether the view has settled: a wake of its own, kept rare.
constexpr int kPollMs = 20;

struct Case {
    const char* name;
    int objects;
    int runs;
    double alpha = 1;
    bool redrawsElsewhere = false;
};

// Milliseconds from a fresh paint of the view until it has drawn all it shows, the event loop
// running as the application's does; while it runs, a pointer move reaches the view every
// `wakeMs` when given. kPatienceMs when it never settles.
double millisecondsToSettle(VXDrawingView& view, int wakeMs, bool redrawsElsewhere)
{
    view.discardRenderings();
    QElapsedTimer clock;
    clock.start();
    view.viewport()->repaint();
    QEventLoop loop;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (view.isRenderingSettled())
            loop.quit();
    });
    poll.start(kPollMs);
    QTimer pointer;
    int moves = 0;
    pointer.callOnTimeout([&] {
        const QPoint at(40 + moves % 420, 40 + (moves * 7) % 260);
        QMouseEvent move(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &move);
        if (redrawsElsewhere && moves % 20 == 0)
            view.drawing()->setNeedsDisplayInRect(QRectF(-3000, -3000, 10, 10));
        ++moves;
    });
    if (wakeMs > 0)
        pointer.start(wakeMs);
    QTimer::singleShot(kPatienceMs, &loop, &QEventLoop::quit);
    if (!view.isRenderingSettled())
        loop.exec();
    return view.isRenderingSettled() ? double(clock.nsecsElapsed()) / 1e6 : double(kPatienceMs);
}

void run(const Case& c)
{
    benchscene::OneLayerDrawing scene(kPaper);
    QRandomGenerator random(85);
    const VXStylePtr style =
        VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(90, 160, 220, 170), QColor(20, 20, 60), 1);
    QList<VXDrawableObjectPtr> rectangles;
    rectangles.reserve(c.objects);
    for (int i = 0; i < c.objects; ++i) {
        const QRectF box(random.bounded(kPaper.width() - 40), random.bounded(kPaper.height() - 30),
                         6 + random.bounded(30.0), 5 + random.bounded(20.0));
        rectangles.append(VXDrawableShape::drawableShapeWithRect(box, style));
    }
    scene.layer->addObjectsFromArray(rectangles);
    rectangles.clear();
    scene.layer->setAlpha(c.alpha);
    scene.drawing->setUndoManager(nullptr);

    VXDrawingView view;
    view.setFrameShape(QFrame::NoFrame);
    view.resize(kViewSize);
    view.setDrawing(scene.drawing);
    view.show();
    view.setScale(kScale);
    view.scrollDrawingPointToViewportPoint(QPointF(kPaper.width() / 2, kPaper.height() / 2),
                                           QRectF(view.viewport()->rect()).center());
    QCoreApplication::processEvents();
    view.finishRendering(); // readies the objects once, as a view shown for a while has

    std::vector<double> quiet, busy;
    for (int run = 0; run < c.runs; ++run) {
        quiet.push_back(millisecondsToSettle(view, 0, false));
        busy.push_back(millisecondsToSettle(view, kWakeMs, c.redrawsElsewhere));
    }
    const double quietMs = bench::median(quiet);
    const double busyMs = bench::median(busy);
    std::printf("%s, %d objects: quiet: median %.1f ms; woken every %d ms: median %.1f ms, max %.1f ms\n", c.name,
                c.objects, quietMs, kWakeMs, busyMs, bench::percentile(busy, 1.0));
    const QString name = QString::fromLatin1(c.name);
    bench::printRecord(name + QStringLiteral("_quiet"), quietMs, "ms");
    bench::printRecord(name + QStringLiteral("_under_events"), busyMs, "ms");
    bench::printValue(name + QStringLiteral("_under_events_vs_quiet"), busyMs / quietMs, "ratio", 2);
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    // A case named on the command line runs alone.
    const QStringList only = QCoreApplication::arguments().mid(1);
    for (const Case& c : {Case{"view_settle", 100000, 5}, Case{"view_settle_1m", 1000000, 3},
                          Case{"view_settle_faded", 100000, 5, 0.5},
                          Case{"view_settle_redrawn_elsewhere", 100000, 5, 1, true}})
        if (only.isEmpty() || only.contains(QString::fromLatin1(c.name)))
            run(c);
    return 0;
}
