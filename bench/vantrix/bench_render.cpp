// A map-like scene of 20,000 roads (50-vertex polylines, 2 wide with round joins, drawn
// with a casing under the road) over 5,000 filled polygons, exported as a 4000 x 3000 image
// (tiled over the machine's cores), against rsvg-convert rendering the same scene written as
// SVG to a PNG of the same size. Also a 500 x 500 region redraw (the spatial index at work)
// against the full render, and saving and loading the drawing as an archive.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/styles/VXStroke.h"

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
#include <cstdio>

namespace {

constexpr QSize kCanvas(4000, 3000);
constexpr int kRoads = 20000;
constexpr int kRoadVertices = 50;
constexpr int kPolygons = 5000;
constexpr QSize kRegion(500, 500);

const QColor kCasing(90, 90, 90);
const QColor kRoad(250, 220, 120);
const QList<QColor> kAreaColours{QColor(200, 230, 190), QColor(180, 210, 240), QColor(235, 220, 200),
                                 QColor(220, 200, 230)};

struct Scene {
    QList<QPolygonF> areas;
    QList<int> areaColours;
    QList<QPolygonF> roads;
};

Scene makeScene()
{
    QRandomGenerator random(4242);
    Scene scene;
    for (int i = 0; i < kPolygons; ++i) {
        const QPointF centre(random.bounded(double(kCanvas.width())), random.bounded(double(kCanvas.height())));
        const int corners = 6 + random.bounded(7);
        const double radius = 10 + random.bounded(40.0);
        QPolygonF ring;
        for (int c = 0; c < corners; ++c) {
            const double angle = 2 * M_PI * c / corners;
            const double r = radius * (0.6 + random.bounded(0.4));
            ring << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
        }
        scene.areas.append(ring);
        scene.areaColours.append(random.bounded(int(kAreaColours.size())));
    }
    for (int i = 0; i < kRoads; ++i) {
        QPointF p(random.bounded(double(kCanvas.width())), random.bounded(double(kCanvas.height())));
        double heading = random.bounded(2 * M_PI);
        QPolygonF road;
        for (int v = 0; v < kRoadVertices; ++v) {
            road << p;
            heading += random.bounded(0.8) - 0.4;
            p += QPointF(std::cos(heading), std::sin(heading)) * (4 + random.bounded(6.0));
        }
        scene.roads.append(road);
    }
    return scene;
}

VXStylePtr roadStyle()
{
    auto style = std::make_shared<VXStyle>();
    for (const auto& [width, colour] : {std::pair{3.5, kCasing}, std::pair{2.0, kRoad}}) {
        auto stroke = VXStroke::strokeWithWidthColour(width, colour);
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        style->addRenderer(stroke);
    }
    return style;
}

VXDrawingPtr makeDrawing(const Scene& scene)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(kCanvas));
    auto areas = std::make_shared<VXObjectDrawingLayer>();
    auto roads = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(areas);
    drawing->addLayer(roads); // on top
    QList<VXStylePtr> fills;
    for (const QColor& colour : kAreaColours)
        fills.append(VXStyle::styleWithFillColourStrokeColour(colour, QColor()));
    for (qsizetype i = 0; i < scene.areas.size(); ++i) {
        platform::BezierPath path;
        path.appendBezierPathWithPoints(scene.areas[i]);
        path.closePath();
        areas->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, fills[scene.areaColours[i]]));
    }
    const VXStylePtr road = roadStyle();
    for (const QPolygonF& line : scene.roads) {
        platform::BezierPath path;
        path.appendBezierPathWithPoints(line);
        roads->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, road));
    }
    return drawing;
}

QByteArray svgOf(const Scene& scene)
{
    QByteArray svg;
    svg.reserve(16 << 20);
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">\n"
                          "<rect width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n")
               .arg(kCanvas.width())
               .arg(kCanvas.height())
               .toUtf8();
    auto points = [](const QPolygonF& polygon) {
        QByteArray text;
        for (const QPointF& p : polygon)
            text += QByteArray::number(p.x(), 'f', 2) + ',' + QByteArray::number(p.y(), 'f', 2) + ' ';
        return text;
    };
    for (qsizetype i = 0; i < scene.areas.size(); ++i)
        svg += "<polygon fill=\"" + platform::hexString(kAreaColours[scene.areaColours[i]]).toUtf8() + "\" points=\""
               + points(scene.areas[i]) + "\"/>\n";
    // Casing then road for each road in turn, as the style draws them.
    const QByteArray casing = "<polyline fill=\"none\" stroke=\"" + platform::hexString(kCasing).toUtf8()
                              + "\" stroke-width=\"3.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
    const QByteArray road = "<polyline fill=\"none\" stroke=\"" + platform::hexString(kRoad).toUtf8()
                            + "\" stroke-width=\"2\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
    for (const QPolygonF& line : scene.roads) {
        const QByteArray coordinates = points(line);
        svg += casing + coordinates + "\"/>\n" + road + coordinates + "\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

QImage renderRect(const VXDrawing& drawing, const QRectF& source)
{
    QImage image(source.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-source.topLeft());
    platform::DrawingRenderer::drawDrawing(drawing, painter, source, {});
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
    return loaded ? 0 : 1;
}
