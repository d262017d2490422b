// Brush steps on a 500 x 700 terrain grid (the Luxembourg elevation grid resampled
// bilinearly, 141-547 m) with cell size 2, interval 10 m (about 40 levels), simplified and
// smoothed contours and the default brush: 200 raise steps along a stroke through an offscreen
// drawing view at 1:1. Each step is the kernel, the contours and the repaint of what it changed.

#include "support/BenchSupport.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/TerrainClasses.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QApplication>
#include <QFile>
#include <cmath>
#include <numeric>

namespace {

constexpr qint64 kColumns = 500;
constexpr qint64 kRows = 700;
constexpr double kCellSize = 2;
constexpr int kSteps = 200;

double millisecondsOf(const std::function<void()>& work) { return 1000 * bench::secondsOf(work); }

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    registerTerrainClasses();
    QFile source(QStringLiteral(QUORVANE_SAMPLE_DATA "/terrain/luxembourg-elevation.txt"));
    if (!source.open(QIODevice::ReadOnly)) {
        std::printf("cannot read %s\n", qPrintable(source.fileName()));
        return 1;
    }
    const auto elevation = ZQMatrixArray::matrixArrayWithTabDelimitedData(source.readAll());

    ZQUndoManager undo;
    // An interior that gives the grid's size at this cell size.
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({(kColumns - 2) * kCellSize, (kRows - 2) * kCellSize});
    drawing->setMarginsLeftTopRightBottom(0, 0, 0, 0);
    drawing->setUndoManager(&undo);
    auto layer = std::make_shared<ZQContourLayer>();
    layer->setCellSize(kCellSize);
    drawing->addLayer(layer);
    layer->setHeightMap(elevation->resampledMatrixWithRowsColumnsInterpolationDelegate(kRows, kColumns));
    layer->setSimplifiesContours(true);
    layer->setSmoothsContours(true);
    layer->setShowsCrossSection(false);
    drawing->setActiveLayer(layer.get());

    VXDrawingView view;
    view.resize(1000, 800);
    view.setDrawing(drawing);
    view.show();
    view.setScale(1.0);
    QCoreApplication::processEvents();

    const double full = millisecondsOf([&] { layer->recalculateContours(); });
    std::printf("grid %lld x %lld, %llu levels, full recomputation %.1f ms\n", kColumns, kRows,
                static_cast<unsigned long long>(layer->countOfContours()), full);

    const QPointF start = view.convertPointToDrawing({200, 200});
    layer->mouseDownInView({start, 1, 0}, &view);
    std::vector<double> steps;
    for (int i = 0; i < kSteps; ++i) {
        const QPointF at = view.convertPointToDrawing({200 + 3.0 * i, 200 + 120 * std::sin(i / 20.0)});
        steps.push_back(millisecondsOf([&] {
            layer->mouseDraggedInView({at, 1, 0}, &view);
            QCoreApplication::processEvents();
        }));
    }
    layer->mouseUpInView({start, 1, 0}, &view);
    std::printf("step mean %.2f ms, median %.2f ms, max %.2f ms\n",
                std::accumulate(steps.begin(), steps.end(), 0.0) / double(steps.size()), bench::median(steps),
                bench::percentile(steps, 1.0));
    bench::printValue(QStringLiteral("terrain_brush_step"), bench::percentile(steps, 0.95), "ms", 16);
    return 0;
}
