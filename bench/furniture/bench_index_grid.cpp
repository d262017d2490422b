// An A0 landscape drawing (3370 x 2384 points) with an index grid of 1 cm spans and 10
// divisions, labels and bands on all four edges (alternating, extended markers, barred),
// drawn in full into an image of one pixel per point, against a plain grid of the same
// spacing drawn the same way. Median of 20 runs each.

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"

#include "furniture/FurnitureClasses.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

namespace {

constexpr QSizeF kA0Landscape(3370.39, 2383.94);
constexpr double kCentimetre = 28.346456692913;
constexpr int kRuns = 20;

VXDrawingPtr drawingWithGrid(const std::shared_ptr<VXGridLayer>& grid)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kA0Landscape);
    drawing->setMarginsLeftTopRightBottom(72, 72, 72, 72);
    drawing->addLayer(grid);
    grid->setSpanDivisionsMajorsRulerSteps(kCentimetre, 10, 5, 2);
    grid->setShouldDrawToPrinter(true);
    return drawing;
}

std::shared_ptr<VXQSquareAnnotatedGrid> indexGrid()
{
    auto grid = std::make_shared<VXQSquareAnnotatedGrid>();
    const VXQGridBorderPtr& border = grid->borders().first();
    border->setIsAlternating(true);
    border->setExtendedMarkers(true);
    border->setOrdnanceSurveyStyleEnabled(true);
    grid->setAnnotationEdges(kVXQGridAllEdges);
    grid->setDivisionsHidden(false); // the same lines as the plain grid, plus bands and labels
    return grid;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerFurnitureClasses();

    const VXDrawingPtr indexed = drawingWithGrid(indexGrid());
    const VXDrawingPtr plain = drawingWithGrid(std::make_shared<VXGridLayer>());
    // The labels are measured once, before timing.
    QImage image = bench::renderDrawing(*indexed, indexed->bounds(), Qt::white);

    const auto [ours, peer] =
        bench::medianSecondsSideBySide(kRuns, [&] { image = bench::renderDrawing(*indexed, indexed->bounds(), Qt::white); },
                                       [&] { image = bench::renderDrawing(*plain, plain->bounds(), Qt::white); });
    bench::keep(image);
    bench::printComparison(QStringLiteral("index_grid_draw"), ours, peer, 1.5);
    return 0;
}
