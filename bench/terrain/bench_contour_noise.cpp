// A terrain layer given a 1000 x 1000 grid of noise (heights 0-1000, interval 10: about a
// hundred levels crossing nearly every cell) while its map is shown in an offscreen view.
// Measures how long the main thread was ever kept from its events (a 5 ms timer's longest
// gap) until the layer's contours were settled and drawn, and the process's peak memory.

#include "support/BenchSupport.h"

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/TerrainClasses.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace {

constexpr int kSide = 1000;

std::shared_ptr<ZQMatrixArray> noise()
{
    auto grid = ZQMatrixArray::makeWithRowWidth(kSide);
    quint32 state = 7;
    for (int i = 0; i < kSide * kSide; ++i) {
        state = state * 1664525u + 1013904223u;
        grid->addObject(double((state >> 8) % 1001));
    }
    return grid;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    registerTerrainClasses();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({kSide - 2, kSide - 2});
    drawing->setMarginsLeftTopRightBottom(0, 0, 0, 0);
    auto layer = std::make_shared<ZQContourLayer>();
    layer->setCellSize(1);
    drawing->addLayer(layer);
    drawing->setActiveLayer(layer.get());
    // The profile of a noisy row is a thousand spikes, slow to fill on its own: timed apart.
    layer->setShowsCrossSection(false);
    VXDrawingView view;
    view.resize(1000, 800);
    view.setDrawing(drawing);
    view.show();
    view.setScale(0.8);
    QCoreApplication::processEvents();
    const auto heights = noise();

    QElapsedTimer clock, sinceTick;
    double longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QTimer::singleShot(0, [&] { layer->setHeightMap(heights); });
    clock.start();
    sinceTick.start();
    ticker.start();
    // Settled: the layer's contours are those of the noise, and the view has drawn them since.
    while (!layer->contoursAreCurrent() && clock.elapsed() < 120'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 settled = clock.elapsed();
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ticker.stop();

    std::printf("%llu levels, settled after %lld ms: %s\n", static_cast<unsigned long long>(layer->countOfContours()),
                settled, qPrintable(layer->contourProblem()));
    bench::printValue(QStringLiteral("contour_noise_1000_main_thread_blocked"), longestGap, "ms", 100);
    bench::printValue(QStringLiteral("contour_noise_1000_peak_memory"), bench::statusMegabytes("VmHWM:"), "MB", 1024);
    return layer->contoursAreCurrent() ? 0 : 1;
}
