// Reads arbitrary bytes as an archived drawing. A drawing that reads must archive and read
// back, draw (into a small image), hit-test and measure its objects without trouble.
//
// With QUORVANE_FUZZ_SEED_DIR set, start-up first writes an archive of a small drawing with
// one object of each kind there as a seed.
#include "FuzzSupport.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace {

QByteArray seedDrawing()
{
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({300, 200});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    auto guides = std::make_shared<VXGuideLayer>();
    drawing->addLayer(guides);
    guides->addGuide({40, true});
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::yellow, Qt::black, 2);
    auto shape = VXDrawableShape::drawableShapeWithOvalInRect({10, 10, 80, 40}, style);
    shape->setMetadataItemValueForKey(3, QStringLiteral("lanes"));
    platform::BezierPath line;
    line.moveToPoint({0, 150});
    line.lineToPoint({300, 180});
    auto star = std::make_shared<VXRegularPolygonPath>();
    star->setIsStar(true);
    auto group = VXShapeGroup::groupWithObjects({std::make_shared<VXArcPath>(),
                                                 VXTextShape::textShapeWithStringInRect(QStringLiteral("A"), {0, 0, 20, 20})});
    layer->addObjectsFromArray({shape, VXDrawablePath::drawablePathWithBezierPathWithStyle(line, style), star, group});
    layer->selectAll();
    return platform::KeyedArchiver::archivedDataWithRootObject(drawing.get());
}

void setUp()
{
    fuzz::startQuietApplication("fuzz_drawing_archive");
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    const QString seedFolder = qEnvironmentVariable("QUORVANE_FUZZ_SEED_DIR");
    if (!seedFolder.isEmpty()) {
        QDir().mkpath(seedFolder);
        QFile file(QDir(seedFolder).filePath(QStringLiteral("seed-drawing.archive")));
        if (file.open(QIODevice::WriteOnly))
            file.write(seedDrawing());
    }
}

void exercise(const VXDrawing& drawing)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QRectF bounds = drawing.bounds();
    painter.scale(64 / bounds.width(), 64 / bounds.height());
    platform::DrawingRenderer::Options options;
    options.highlighting = true;
    platform::DrawingRenderer::drawDrawing(drawing, painter, bounds, options);
    for (const VXLayerPtr& layer : drawing.flattenedLayers()) {
        const auto* objects = qobject_cast<const VXObjectOwnerLayer*>(layer.get());
        if (!objects)
            continue;
        objects->hitTest(bounds.center());
        for (const VXDrawableObjectPtr& object : objects->objects()) {
            object->area();
            object->centroid();
            object->valueForKey(QStringLiteral("anything"));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const auto drawing = std::dynamic_pointer_cast<VXDrawing>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    if (!drawing)
        return 0;
    const QByteArray again = platform::KeyedArchiver::archivedDataWithRootObject(drawing.get());
    QuorvaneError error;
    if (!platform::KeyedUnarchiver::unarchiveObjectWithData(again, &error))
        qFatal("a re-archived drawing did not read back: %s", qPrintable(error.localizedDescription()));
    exercise(*drawing);
    return 0;
}
