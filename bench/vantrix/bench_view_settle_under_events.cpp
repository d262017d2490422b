// How long a drawing view takes to draw everything it shows while the main thread is woken
// every 8 ms (as a pointer moving over it wakes it), against the same with the event loop
// left quiet: rectangles of 6-36 x 5-25 points on a 1800 x 1200 sheet, a 500 x 340 view at
// scale 0.5, whose tiles the view draws in the background. The cases: 100,000 rectangles;
// 1,000,000; 1,000,000 zoomed out to scale 0.25, the whole sheet in view (each tile meets a
// quarter of a million objects or more); 100,000 in a layer faded to half; 100,000 with an area
// out of view redrawn on every 20th move (as selection knobs redraw elsewhere).
//
// Each figure is the median of several fresh renderings of the view; each case's summary
// line holds the ratio busy / quiet to twice. The CPU time of the threads drawing the tiles,
// busy against quiet, shows how much of their work interruptions make them do again.

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
#include <ctime>

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
    double scale = kScale;
};

struct Settling {
    double milliseconds = 0;
    double backgroundCpuMilliseconds = 0; // of every thread but this one
};

double millisecondsOf(const timespec& time)
{
    return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
}

// The CPU time of the process's threads other than the calling one.
double backgroundCpuMilliseconds()
{
    timespec process{}, thread{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &process);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &thread);
    return millisecondsOf(process) - millisecondsOf(thread);
}

// From a fresh paint of the view until it has drawn all it shows, the event loop running as the
// application's does; while it runs, a pointer move reaches the view every `wakeMs` when given.
// kPatienceMs when it never settles.
Settling settle(VXDrawingView& view, int wakeMs, bool redrawsElsewhere)
{
    view.discardRenderings();
    const double cpuBefore = backgroundCpuMilliseconds();
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
    const double elapsed = view.isRenderingSettled() ? double(clock.nsecsElapsed()) / 1e6 : double(kPatienceMs);
    return {elapsed, backgroundCpuMilliseconds() - cpuBefore};
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
    view.setScale(c.scale);
    view.scrollDrawingPointToViewportPoint(QPointF(kPaper.width() / 2, kPaper.height() / 2),
                                           QRectF(view.viewport()->rect()).center());
    QCoreApplication::processEvents();
    view.finishRendering(); // readies the objects once, as a view shown for a while has

    std::vector<double> quiet, busy, quietCpu, busyCpu;
    for (int run = 0; run < c.runs; ++run) {
        const Settling still = settle(view, 0, false);
        const Settling moving = settle(view, kWakeMs, c.redrawsElsewhere);
        quiet.push_back(still.milliseconds);
        busy.push_back(moving.milliseconds);
        quietCpu.push_back(still.backgroundCpuMilliseconds);
        busyCpu.push_back(moving.backgroundCpuMilliseconds);
    }
    const double quietMs = bench::median(quiet);
    const double busyMs = bench::median(busy);
    const double cpuRatio = bench::median(busyCpu) / bench::median(quietCpu);
    std::printf("%s, %d objects: quiet: median %.1f ms; woken every %d ms: median %.1f ms, max %.1f ms; tile threads'"
                " CPU %.0f ms quiet, %.0f ms woken\n",
                c.name, c.objects, quietMs, kWakeMs, busyMs, bench::percentile(busy, 1.0), bench::median(quietCpu),
                bench::median(busyCpu));
    const QString name = QString::fromLatin1(c.name);
    bench::printRecord(name + QStringLiteral("_quiet"), quietMs, "ms");
    bench::printRecord(name + QStringLiteral("_under_events"), busyMs, "ms");
    bench::printValue(name + QStringLiteral("_under_events_vs_quiet"), busyMs / quietMs, "ratio", 2);
    bench::printRecord(name + QStringLiteral("_tile_cpu_under_events_vs_quiet"), cpuRatio, "ratio");
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
                          Case{"view_settle_1m_zoomed_out", 1000000, 3, 1, false, 0.25},
                          Case{"view_settle_faded", 100000, 5, 0.5},
                          Case{"view_settle_redrawn_elsewhere", 100000, 5, 1, true}})
        if (only.isEmpty() || only.contains(QString::fromLatin1(c.name)))
            run(c);
    return 0;
}
