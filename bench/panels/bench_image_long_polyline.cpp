// One polyline of 50,000 or 200,000 points wandering over the whole sheet and crossing itself
// everywhere, drawn into a 1000 x 1000 image of the sheet (previews), exported at that size as a
// PNG of the drawing, of its layer and of its one object, and drawn by a drawing view of that size
// showing the whole sheet; in the hairline an imported line gets and as a line two pixels wide.
// Neither the image nor the exports should take longer than the view.

#include "support/BenchSupport.h"

#include "panels/export/ExportRaster.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QRandomGenerator>
#include <algorithm>

namespace {

constexpr QSizeF kSheet(2000, 2000);
constexpr QSize kPixels(1000, 1000);

VXDrawingPtr drawingOfOneLine(int points, double width)
{
    QRandomGenerator random(17);
    QPolygonF line;
    QPointF at(kSheet.width() / 2, kSheet.height() / 2);
    for (int i = 0; i < points; ++i) {
        at += QPointF(random.bounded(10.0) - 5, random.bounded(10.0) - 5);
        at = QPointF(std::clamp(at.x(), 0.0, kSheet.width()), std::clamp(at.y(), 0.0, kSheet.height()));
        line << at;
    }
    platform::BezierPath path;
    path.appendBezierPathWithPoints(line);
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kSheet);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(
        path, VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, width)));
    return drawing;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    // 0.1: the stroke an imported line gets; 4: two pixels wide in the image.
    for (const double width : {0.1, 4.0}) {
        for (const int points : {50'000, 200'000}) {
            const VXDrawingPtr drawing = drawingOfOneLine(points, width);
            const QString name = QStringLiteral("polyline_%1k_points_width_%2").arg(points / 1000).arg(width);
            const double image = bench::medianSeconds(3, [&] {
                platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), kPixels, Qt::white);
            });
            // 36 dpi: the 2000-point sheet on 1000 pixels.
            exportraster::Parameters parameters;
            parameters.dpi = 36;
            parameters.background = Qt::white;
            const auto& layer = static_cast<const VXObjectDrawingLayer&>(*drawing->objectInLayersAtIndex(0));
            const VXDrawableObject& object = *layer.objects().first();
            const auto exportSeconds = [&](const exportraster::RegionRenderer& renderer) {
                return bench::medianSeconds(3, [&] { exportraster::imageData(drawing->bounds(), parameters, renderer, nullptr); });
            };
            const double drawingExport = exportSeconds(exportraster::drawingRenderer(*drawing, drawing->bounds()));
            const double layerExport = exportSeconds(exportraster::layerRenderer(layer, drawing->bounds()));
            const double objectExport = exportSeconds(exportraster::objectRenderer(object, drawing->bounds()));
            VXDrawingView view;
            view.setFrameShape(QFrame::NoFrame);
            view.resize(kPixels);
            view.setDrawing(drawing);
            view.show();
            view.setScale(double(kPixels.width()) / kSheet.width());
            const double shown = bench::medianSeconds(3, [&] {
                view.discardRenderings();
                view.finishRendering();
            });
            bench::printComparison(QStringLiteral("image_of_") + name, image, shown, 1.0);
            bench::printComparison(QStringLiteral("export_drawing_of_") + name, drawingExport, shown, 1.0);
            bench::printComparison(QStringLiteral("export_layer_of_") + name, layerExport, shown, 1.0);
            bench::printComparison(QStringLiteral("export_object_of_") + name, objectExport, shown, 1.0);
        }
    }
    return 0;
}
