// Panning and zooming a 1600 x 1000 drawing view over a map of 200,000 polylines and polygons
// (as an imported shapefile brings them), shown so that about a sixth of the sheet is in view.
//
// Pan: 100 scroll steps of 40 px at 60 a second (a zig-zag, so fresh strips come in from two
// sides); each step is timed from the scroll to the end of its frame's paint. Zoom: 12 wheel
// zoom steps out (to the whole sheet) and back in about the view's centre, each timed to the
// full-detail frame, when the view has nothing left to render. After each pass the screen is compared with a fresh
// rendering of the view, so stale areas show up.
//
// Run with QT_QPA_PLATFORM=offscreen; the core count is in the note of the summary lines.
// `bench_view_pan_zoom --write FILE.drawing` writes the map as a drawing the application opens
// (quorvane FILE.drawing), to try it by hand.

#include "LargeMapGenerator.h"
#include "ViewportPixels.h"
#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <numeric>
#include <cstdio>

namespace {

constexpr QSize kViewSize(1600, 1000);
constexpr QSizeF kPaper(24000, 15000);
constexpr int kObjects = 200000;
constexpr int kPanSteps = 100;
constexpr double kPanStep = 40;
constexpr int kZoomSteps = 12;
constexpr double kScale = 0.16; // the view shows 10,000 x 6,250 points of the sheet

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double mainThreadMilliseconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

// Runs the pending paint and whatever rendering the view has left, so the next figure starts clean.
void settle(VXDrawingView& view)
{
    QCoreApplication::processEvents();
    view.finishRendering();
    QCoreApplication::processEvents();
}

// Pixels where the screen differs from a fresh rendering of the view.
int stalePixels(VXDrawingView& view)
{
    settle(view);
    const QImage shown = bench::viewportOnScreen(view);
    view.discardRenderings();
    settle(view);
    return bench::differingPixels(view, shown, bench::viewportOnScreen(view));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    const auto buildStart = Clock::now();
    const bench::LargeMap map = bench::makeLargeMap(kObjects, kPaper);
    std::printf("map of %d objects built in %.0f ms\n", kObjects, millisecondsSince(buildStart));
    if (const QStringList arguments = app.arguments(); arguments.size() == 3 && arguments[1] == "--write") {
        QFile file(arguments[2]);
        return file.open(QIODevice::WriteOnly) && file.write(VXDrawingDocument::archivedDrawing(*map.drawing)) > 0 ? 0 : 1;
    }

    VXDrawingView view;
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(kViewSize);
    view.setDrawing(map.drawing);
    view.show();
    view.setScale(kScale);
    view.scrollToPosition(QPointF(kPaper.width() * kScale / 4, kPaper.height() * kScale / 4));
    const auto firstStart = Clock::now();
    settle(view);
    std::printf("first full frame: %.1f ms\n", millisecondsSince(firstStart));

    // Scroll events come at 60 a second from the event loop, which waits between them as it
    // would for the user; each is timed from the scroll to the end of its frame's paint.
    std::vector<double> panMs;
    QEventLoop loop;
    QTimer ticks;
    ticks.setInterval(16);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const int step = int(panMs.size());
        const QPointF delta = (step / 10) % 2 == 0 ? QPointF(kPanStep, 0) : QPointF(0, kPanStep);
        const auto start = Clock::now();
        view.scrollBy(delta);
        view.viewport()->repaint();
        panMs.push_back(millisecondsSince(start));
        if (int(panMs.size()) == kPanSteps)
            loop.quit();
    });
    ticks.start();
    loop.exec();
    ticks.stop();
    const int panStale = stalePixels(view);

    // Processor time over wall time: how many threads the zoom kept busy; and how much of it
    // the main thread spent, which no number of cores shortens.
    std::vector<double> zoomMs;
    double zoomCpuMs = 0, zoomMainThreadMs = 0;
    const QPointF centre = QRectF(view.viewport()->rect()).center();
    for (int step = 0; step < kZoomSteps; ++step) {
        // Out until the whole sheet shows, then back in.
        const double factor = step < kZoomSteps / 2 ? 0.8 : 1.25;
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        const double mainThreadStart = mainThreadMilliseconds();
        view.zoomViewByFactorWithCentre(factor, centre);
        settle(view);
        zoomMs.push_back(millisecondsSince(start));
        zoomCpuMs += 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        zoomMainThreadMs += mainThreadMilliseconds() - mainThreadStart;
    }
    const int zoomStale = stalePixels(view);

    const int cores = QThread::idealThreadCount();
    std::printf("pan: mean %.1f ms, p50 %.1f ms, p95 %.1f ms, max %.1f ms; %d stale pixels after\n",
                std::accumulate(panMs.begin(), panMs.end(), 0.0) / panMs.size(), bench::percentile(panMs, 0.5),
                bench::percentile(panMs, 0.95), bench::percentile(panMs, 1.0), panStale);
    std::printf("zoom to full detail: p50 %.1f ms, p95 %.1f ms, max %.1f ms, %.1f threads busy; %d stale pixels after\n",
                bench::percentile(zoomMs, 0.5), bench::percentile(zoomMs, 0.95), bench::percentile(zoomMs, 1.0),
                zoomCpuMs / std::accumulate(zoomMs.begin(), zoomMs.end(), 0.0), zoomStale);
    std::printf("zoom processor time: %.0f ms a step, %.0f ms of it on the main thread\n", zoomCpuMs / kZoomSteps,
                zoomMainThreadMs / kZoomSteps);
    std::printf("note: %d cores\n", cores);
    bench::printValue("view_pan_200k_p95", bench::percentile(panMs, 0.95), "ms", 16);
    bench::printValue("view_zoom_settle_200k", bench::median(zoomMs), "ms", 250);
    return panStale == 0 && zoomStale == 0 ? 0 : 1;
}
