// Height files imported (as File > Import Height Map does) into a terrain layer whose map is shown in an offscreen view, its cross
// section on (as it is by default): a grid of 4,000,000 x 1 heights (8 MB of text) under a
// cell size that puts 100,000 of its columns on the drawing, and a 2,000 x 2,000 grid of slopes.
// Measures how long the main thread was ever kept from its events, from the import until the
// contours are current and the view has drawn, and the process's peak memory.

#include "support/BenchSupport.h"
#include "support/MainThreadStall.h"

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/TerrainClasses.h"
#include "terrain/layer/ZQContourLayer.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

// A height file of `rows` lines of `columns` heights, each given by `height`.
QString writeHeights(const QTemporaryDir& folder, const QString& name, int columns, int rows,
                     const std::function<int(int, int)>& height)
{
    QByteArray text;
    text.reserve(qsizetype(columns) * rows * 4);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            text += QByteArray::number(height(x, y));
            text += '\t';
        }
        text += '\n';
    }
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        std::abort();
    return path;
}

// The longest stall while the file is imported into a fresh layer of cells `cellSize` wide
// and shown until its contours are current.
double importStall(VXDrawingView& view, const QString& path, double cellSize)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({1000, 800});
    drawing->setMarginsLeftTopRightBottom(0, 0, 0, 0);
    auto layer = std::make_shared<ZQContourLayer>();
    layer->setCellSize(cellSize);
    drawing->addLayer(layer);
    drawing->setActiveLayer(layer.get());
    view.setDrawing(drawing);
    QCoreApplication::processEvents();
    const ZQMatrixArray* before = layer->heightMap().get();
    const auto imported = [&] { return layer->heightMap().get() != before; };
    const double stall = bench::longestMainThreadStall([&] { layer->importHeightMapInBackground(path); },
                                                       [&] { return imported() && layer->contoursAreCurrent(); });
    std::printf("%s: imported %s, %llu section elements, longest stall %.1f ms\n", qPrintable(path),
                imported() ? "yes" : "no", static_cast<unsigned long long>(layer->crossSection()->path().elementCount()),
                stall);
    return stall;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication application(argc, argv);
    registerTerrainClasses();
    QTemporaryDir folder;
    quint32 state = 7;
    const QString row = writeHeights(folder, QStringLiteral("row.txt"), 4'000'000, 1, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % 10);
    });
    const QString slopes = writeHeights(folder, QStringLiteral("slopes.txt"), 2000, 2000,
                                        [](int x, int y) { return (x + y) / 4; });
    VXDrawingView view;
    view.resize(1000, 800);
    view.show();
    const double longRow = importStall(view, row, 0.01);
    const double slopeGrid = importStall(view, slopes, 0.5);
    bench::printValue(QStringLiteral("section_long_grid_main_thread_blocked"), std::max(longRow, slopeGrid), "ms", 100);
    bench::printValue(QStringLiteral("section_long_grid_peak_memory"), bench::statusMegabytes("VmHWM:"), "MB", 2048);
    return 0;
}
