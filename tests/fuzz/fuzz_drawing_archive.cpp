// Reads arbitrary bytes as an archived drawing. A drawing that reads must archive and read
// back, draw (into a small image), hit-test and measure its objects without trouble.
#include "FuzzSupport.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "symbols/SymbolClasses.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace {

void setUp()
{
    fuzz::startQuietApplication("fuzz_drawing_archive");
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    registerSymbolClasses();
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
