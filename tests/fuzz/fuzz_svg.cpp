// Reads arbitrary bytes as an SVG document. Whatever imports must draw (into a small image),
// hit-test and measure without trouble.
//
// With QUORVANE_FUZZ_SEED_DIR set, start-up first writes a few small SVG documents there
// covering every element kind, as seeds.

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

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdint>

namespace {

const char* const kSeeds[] = {
    R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="10cm" height="50mm" viewBox="0 0 200 100">
<style>.a{fill:#f00;stroke:blue} #b{stroke-width:3} rect{opacity:.5}</style>
<defs><linearGradient id="g" x1="0" y1="0" x2="1" y2="1" gradientTransform="rotate(30)"><stop offset="0" stop-color="red"/><stop offset="100%" stop-color="rgba(0,0,255,.5)"/></linearGradient>
<radialGradient id="r" xlink:href="#g" cx="50%" fx="30%" gradientUnits="userSpaceOnUse"/>
<symbol id="s" viewBox="0 0 10 10"><circle cx="5" cy="5" r="4"/></symbol></defs>
<g transform="translate(10,10) rotate(30 5 5) skewX(10) scale(2)" class="a" style="stroke-dasharray:4 2;stroke-linecap:round">
<path id="b" d="M0,0L10.5.5h5v-5c1,1 2,2 3,3s1,1 2,2q1,1 2,2t3,3a5,5 30 1 0 10,0zm1e1-1E-1 20 20"/>
<rect x="1" y="2" width="30" height="20" rx="3" fill="url(#g)"/><ellipse cx="5" cy="5" rx="4" ry="2" fill="url(#r)"/>
<line x1="0" y1="0" x2="10" y2="10" stroke="currentColor"/><polyline points="0,0 10,10 20,0"/><polygon points="0 0 5 5 10 0"/>
</g><use xlink:href="#s" x="50" y="50" width="20" height="20"/><use href="#b" x="5"/>
<text x="10" y="90" font-family="Sans" font-size="12pt" font-weight="bold">Hi<tspan x="40" y="95" fill="green">there</tspan></text>
<svg x="150" y="0" width="50" height="50" viewBox="0 0 10 10" preserveAspectRatio="xMinYMax slice"><rect width="10" height="10"/></svg>
<image x="0" y="0" width="4" height="4" xlink:href="data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg=="/>
<filter id="f"/><rect width="5" height="5" filter="url(#f)"/><foreignObject/></svg>)svg",
    R"svg(<!DOCTYPE svg [<!ENTITY a "aaaa"><!ENTITY b "&a;&a;&a;">]><svg><text y="10">&b;</text></svg>)svg",
    R"svg(<svg><g id="x"><use href="#y"/></g><g id="y"><use href="#x"/></g><use href="#x"/></svg>)svg",
    R"svg(<svg><defs><clipPath id="c" clipPathUnits="objectBoundingBox" transform="rotate(5)" clip-path="url(#d)">
<circle cx=".5" cy=".5" r=".5" clip-rule="evenodd"/><use href="#p"/><text>t</text></clipPath>
<clipPath id="d"><path id="p" d="M0 0h50v50z"/></clipPath></defs>
<g clip-path="url(#c)"><rect width="40" height="40" stroke="red" stroke-miterlimit="2" stroke-dasharray="2"/>
<text y="20" fill="none" stroke="blue">x</text></g><line x2="50" y2="50" stroke="#000" clip-path="url(#d)"/></svg>)svg",
};

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    int index = 0;
    for (const char* seed : kSeeds) {
        QFile file(QDir(folder).filePath(QStringLiteral("seed-%1.svg").arg(index++)));
        if (file.open(QIODevice::WriteOnly))
            file.write(seed);
    }
}

void setUp()
{
    fuzz::startQuietApplication("fuzz_svg");
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    const QString seedFolder = qEnvironmentVariable("QUORVANE_FUZZ_SEED_DIR");
    if (!seedFolder.isEmpty())
        writeSeeds(seedFolder);
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
        if (error.code() != kQuorvaneDocumentError)
            qFatal("a refused SVG gave no error 101");
        return 0;
    }
    if (!std::isfinite(svg->size.width()) || !std::isfinite(svg->size.height()))
        qFatal("an SVG imported with a size that is not finite");
    exercise(*svg);
    return 0;
}
