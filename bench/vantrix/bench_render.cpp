// The 25,000-object map scene (support/MapScene25k.h) exported as a 4000 x 3000 image
// (tiled over the machine's cores), against rsvg-convert rendering the same scene written as
// SVG to a PNG of the same size. Also a 500 x 500 region redraw (the spatial index at work)
// against the full render, saving and loading the drawing as an archive, and one sea of 20,000
// points over most of the sheet, plain and shadowed, exported against painting it once on one
// thread.

#include "support/BenchSupport.h"
#include "support/MapScene25k.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXShadow.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdio>

using namespace benchscene;

namespace {

constexpr QSize kRegion(500, 500);

QImage renderRect(const VXDrawing& drawing, const QRectF& source)
{
    QImage image(source.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-source.topLeft());
    platform::DrawingRenderer::drawDrawing(drawing, painter, source, {});
    return image;
}

// A sea from a shapefile: one filled ring of 20,000 points with a wavy coast over most of the sheet,
// with a blurred shadow when `shadowed`.
VXDrawingPtr seaDrawing(bool shadowed)
{
    constexpr int kPoints = 20000;
    const QPointF centre(kCanvas.width() / 2.0, kCanvas.height() / 2.0);
    QPolygonF coast;
    for (int i = 0; i < kPoints; ++i) {
        const double t = 2 * M_PI * i / kPoints;
        const double r = 1400 + 60 * std::sin(97 * t) + 25 * std::sin(613 * t);
        coast << centre + QPointF(1.35 * r * std::cos(t), r * std::sin(t));
    }
    platform::BezierPath path;
    path.appendBezierPathWithPoints(coast);
    path.closePath();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(kCanvas));
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    const auto fill = VXFill::fillWithColour(QColor(150, 190, 225));
    if (shadowed)
        fill->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(8, 6), 5, QColor(0, 0, 0, 150)));
    const auto style = std::make_shared<VXStyle>();
    style->addRenderer(fill);
    layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style));
    return drawing;
}

// The whole drawing painted once, on this thread.
QImage serialImage(const VXDrawing& drawing)
{
    QImage image(kCanvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::DrawingRenderer::Options options;
    options.printing = true;
    platform::DrawingRenderer::drawDrawing(drawing, painter, drawing.bounds(), options);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    const Scene scene = makeScene();
    const VXDrawingPtr drawing = makeDrawing(scene);

    // The image export, tiled over the machine's cores.
    QImage full;
    const double ours = bench::medianSeconds(3, [&] {
        full = platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), kCanvas, Qt::white);
    });

    QTemporaryDir folder;
    const QString svgPath = folder.filePath(QStringLiteral("scene.svg"));
    const QString pngPath = folder.filePath(QStringLiteral("scene.png"));
    QFile svgFile(svgPath);
    if (!svgFile.open(QIODevice::WriteOnly) || svgFile.write(svgOf(scene)) < 0)
        return 1;
    svgFile.close();
    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    double peer = 0;
    if (rsvg.isEmpty()) {
        std::fprintf(stderr, "rsvg-convert not found (Debian librsvg2-bin); peer skipped\n");
    } else {
        peer = bench::medianSeconds(3, [&] {
            QProcess::execute(rsvg, {QStringLiteral("-w"), QString::number(kCanvas.width()), QStringLiteral("-h"),
                                     QString::number(kCanvas.height()), QStringLiteral("-o"), pngPath, svgPath});
        });
        std::printf("note: image export on %d cores\n", QThread::idealThreadCount());
        bench::printComparison("render_scene_25k", ours, peer, 0.35);
    }

    // Regions spread over the drawing, so each query meets a typical density of objects.
    QRandomGenerator random(7);
    const double region = bench::medianSeconds(15, [&] {
        const QRectF source(random.bounded(kCanvas.width() - kRegion.width()),
                            random.bounded(kCanvas.height() - kRegion.height()), kRegion.width(), kRegion.height());
        renderRect(*drawing, source);
    });
    bench::printComparison("render_region_500", region, ours, 0.3);

    QByteArray archive;
    const double save = bench::medianSeconds(3, [&] { archive = platform::KeyedArchiver::archivedDataWithRootObject(drawing.get()); });
    ZQObjectPtr loaded;
    const double load = bench::medianSeconds(3, [&] { loaded = platform::KeyedUnarchiver::unarchiveObjectWithData(archive); });
    bench::printValue("archive_save_25k", save, "s", 1.0);
    bench::printValue("archive_load_25k", load, "s", 1.0);
    bench::printValue("archive_size_25k", archive.size() / 1e6, "MB", 64);

    // Tiles meeting a large area, or its shadow, must not each pay for all of it.
    for (const bool shadowed : {false, true}) {
        const VXDrawingPtr sea = seaDrawing(shadowed);
        const auto [tiled, serial] = bench::medianSecondsSideBySide(
            5, [&] { platform::DrawingRenderer::imageOfDrawing(*sea, sea->bounds(), kCanvas, Qt::white); },
            [&] { serialImage(*sea); });
        bench::printComparison(shadowed ? "render_shadowed_sea_20k_points" : "render_sea_20k_points", tiled, serial, 2.0);
    }
    return loaded ? 0 : 1;
}
