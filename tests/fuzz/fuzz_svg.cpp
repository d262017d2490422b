// Reads arbitrary bytes as an SVG document. Whatever imports must draw (into a small image),
// hit-test and measure without trouble; whatever is refused says why.

#include "FuzzSupport.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/svg/VXSVGImporter.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdint>

namespace {

void setUp()
{
    fuzz::startQuietApplication("fuzz_svg");
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
}

void exercise(const VXSVGImporter::Result& svg)
{
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize({100, 100});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray(svg.objects);
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(0.32, 0.32);
    platform::DrawingRenderer::drawDrawing(*drawing, painter, drawing->bounds(), {});
    layer->hitTest({50, 50});
    // Areas of groups merge every member, far too slow for thousands of used copies.
    for (const VXDrawableObjectPtr& object : layer->objects()) {
        object->bounds();
        if (!qobject_cast<VXShapeGroup*>(object.get()))
            object->area();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QuorvaneError error;
    const std::optional<VXSVGImporter::Result> svg = VXSVGImporter::importData(data, QString(), &error);
    if (!svg) {
        fuzz::requireReadableError(error, "an SVG document");
        return 0;
    }
    if (!std::isfinite(svg->size.width()) || !std::isfinite(svg->size.height()))
        qFatal("an SVG imported with a size that is not finite");
    exercise(*svg);
    return 0;
}
