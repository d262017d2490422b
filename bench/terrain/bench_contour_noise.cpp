// A terrain layer given a 1000 x 1000 grid of noise (heights 0-1000, interval 10: about a
// hundred levels crossing nearly every cell) while its map is shown in an offscreen view; then
// its cross section shown across the middle row, turned to the middle column (a profile of a
// thousand spikes) and the view zoomed in. Measures how long the main thread was ever kept from
// its events (a 5 ms timer's longest gap) in each step until the view had drawn it, and the
// process's peak memory.

#include "support/BenchSupport.h"
#include "support/MainThreadStall.h"

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/TerrainClasses.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QApplication>
#include <QElapsedTimer>

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
    layer->setShowsCrossSection(false);
    VXDrawingView view;
    view.resize(1000, 800);
    view.setDrawing(drawing);
    view.show();
    view.setScale(0.8);
    QCoreApplication::processEvents();
    const auto heights = noise();

    QElapsedTimer clock;
    clock.start();
    const double contours = bench::longestMainThreadStall([&] { layer->setHeightMap(heights); },
                                         [&] { return layer->contoursAreCurrent(); });
    const qint64 settled = clock.elapsed();
    const double horizontal = bench::longestMainThreadStall(
        [&] {
            layer->setCrossSectionRow(kSide / 2);
            layer->setShowsCrossSection(true);
        },
        [] { return true; });
    const double vertical = bench::longestMainThreadStall([&] { layer->setCrossSectionIsVertical(true); }, [] { return true; });
    const double zoomed = bench::longestMainThreadStall([&] { view.setScale(1.0); }, [] { return true; });

    std::printf("%llu levels, settled within %lld ms: %s\n", static_cast<unsigned long long>(layer->countOfContours()),
                settled, qPrintable(layer->contourProblem()));
    std::printf("longest stall: %.1f ms making the contours, %.1f ms showing the section across a row, %.1f ms turning "
                "it down a column, %.1f ms zooming in\n",
                contours, horizontal, vertical, zoomed);
    bench::printValue(QStringLiteral("contour_noise_1000_main_thread_blocked"),
                      std::max({contours, horizontal, vertical, zoomed}), "ms", 100);
    bench::printValue(QStringLiteral("contour_noise_1000_peak_memory"), bench::statusMegabytes("VmHWM:"), "MB", 1024);
    return layer->contoursAreCurrent() ? 0 : 1;
}
