// 50,000 placed symbols of 20 masters (stars, ovals and groups holding a text) at random
// places, angles and scales, rendered into a 4000 x 3000 image through a mapping layer,
// against the same graphics as 50,000 plain copies placed by the same transforms in a plain
// object layer. The symbols scale visually (strokes and text with them), as the application's
// defaults have it.
//
// Then 20,000 symbols of four of those masters exported as an image drawn in tiles on every
// core, against one thread drawing the same image; the two must match pixel for pixel.

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/PoolPainting.h"
#include "symbols/SymbolClasses.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/placed/VXQSymbol.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QThread>
#include <QtMath>
#include <cstdio>

namespace {

constexpr QSize kCanvas(4000, 3000);
constexpr int kSymbols = 50000;
constexpr int kMasters = 20;
constexpr int kExportedSymbols = 20000;
constexpr int kExportedMasters = 4;

VXStylePtr styleFor(int i)
{
    const QColor fills[] = {QColor(0xE0, 0x40, 0x30), QColor(0xF0, 0xC0, 0x20), QColor(0x30, 0x90, 0x50),
                            QColor(0x30, 0x60, 0xC0)};
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(fills[i % 4], QColor(0x33, 0x33, 0x33), 1.0);
}

VXDrawableObjectPtr star(int i)
{
    auto star = std::make_shared<VXRegularPolygonPath>();
    star->setNumberOfSides(5 + i % 4);
    star->setIsStar(true);
    star->setInnerRadius(0.4);
    star->setRadius(8 + i % 5);
    star->setStyle(styleFor(i));
    return star;
}

VXDrawableObjectPtr oval(int i) { return VXDrawableShape::drawableShapeWithOvalInRect({-6, -4, 12.0 + i % 5, 8}, styleFor(i)); }

VXDrawableObjectPtr badge(int i)
{
    auto text = VXTextShape::textShapeWithStringInRect(QStringLiteral("P%1").arg(i), {-8, -6, 16, 12});
    return VXShapeGroup::groupWithObjects({oval(i), text});
}

QList<VXQSymbolMasterPtr> makeMasters()
{
    QList<VXQSymbolMasterPtr> masters;
    for (int i = 0; i < kMasters; ++i) {
        const VXDrawableObjectPtr graphic = i % 3 == 0 ? star(i) : i % 3 == 1 ? oval(i) : badge(i);
        masters.append(VXQSymbolMaster::symbolMasterWithObjectName(*graphic, QStringLiteral("Master %1").arg(i)));
    }
    return masters;
}

QList<VXQSymbolPtr> placeSymbols(const QList<VXQSymbolMasterPtr>& masters, int count)
{
    QRandomGenerator random(20261207);
    QList<VXQSymbolPtr> symbols;
    for (int i = 0; i < count; ++i) {
        const QPointF at(50 + random.bounded(kCanvas.width() - 100.0), 50 + random.bounded(kCanvas.height() - 100.0));
        VXQSymbolPtr symbol = masters[i % masters.size()]->symbolWithLocation(at);
        symbol->setAngle(random.bounded(2 * M_PI));
        symbol->setScaleFactor(0.5 + random.bounded(1.5));
        symbols.append(symbol);
    }
    return symbols;
}

VXDrawingPtr drawingWith(const std::shared_ptr<VXObjectDrawingLayer>& layer, const QList<VXDrawableObjectPtr>& objects)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    drawing->addLayer(layer);
    layer->addObjectsFromArray(objects);
    return drawing;
}

// Each symbol as a copy of its master's graphic moved, turned and scaled by the symbol's placement.
QList<VXDrawableObjectPtr> plainCopies(const QList<VXQSymbolPtr>& symbols)
{
    QList<VXDrawableObjectPtr> copies;
    for (const VXQSymbolPtr& symbol : symbols) {
        VXDrawableObjectPtr copy = symbol->mutableCopyOfMasterObject();
        copy->applyTransform(symbol->localTransform());
        copies.append(copy);
    }
    return copies;
}

// What the tiles of an export must add up to: the whole image drawn by one painter on one pool
// thread, as exports paint. Clipped to the image, because the raster engine rounds antialiased
// edges under a clip (each tile's) a little differently from edges drawn without one.
QImage serialExport(const VXDrawing& drawing, const QRectF& source, QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    platform::paintOnPoolThread([&] {
        QPainter painter(&image);
        painter.setClipRect(image.rect());
        painter.scale(pixels.width() / source.width(), pixels.height() / source.height());
        painter.translate(-source.topLeft());
        platform::DrawingRenderer::Options options;
        options.printing = true;
        platform::DrawingRenderer::drawDrawing(drawing, painter, source, options);
    });
    return image;
}

int differingPixels(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

void benchTiledExport(const QList<VXQSymbolMasterPtr>& masters)
{
    const QList<VXQSymbolPtr> symbols = placeSymbols(masters.mid(0, kExportedMasters), kExportedSymbols);
    const VXDrawingPtr drawing =
        drawingWith(std::make_shared<VXQMappingLayer>(), QList<VXDrawableObjectPtr>(symbols.begin(), symbols.end()));
    const QRectF source = drawing->bounds();
    QImage tiled, serial;
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        5, [&] { tiled = platform::DrawingRenderer::imageOfDrawing(*drawing, source, kCanvas, Qt::white); },
        [&] { serial = serialExport(*drawing, source, kCanvas); });
    std::fprintf(stderr, "tiled export: %d symbols of %d masters on %d threads\n", kExportedSymbols, kExportedMasters,
                 QThread::idealThreadCount());
    bench::printComparison(QStringLiteral("symbols_export_tiled_vs_serial"), ours, peer, 0.33);
    bench::printValue(QStringLiteral("symbols_export_differing_pixels"), differingPixels(tiled, serial), "pixels", 0);
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerSymbolClasses();
    platform::UserDefaults::standardUserDefaults()->registerDefaults({{kSymbolsDefaultScaleVisually, true}});

    const QList<VXQSymbolMasterPtr> masters = makeMasters();
    const QList<VXQSymbolPtr> symbols = placeSymbols(masters, kSymbols);
    const VXDrawingPtr mapped =
        drawingWith(std::make_shared<VXQMappingLayer>(), QList<VXDrawableObjectPtr>(symbols.begin(), symbols.end()));
    const VXDrawingPtr plain = drawingWith(std::make_shared<VXObjectDrawingLayer>(), plainCopies(symbols));
    std::fprintf(stderr, "symbols: %d of %d masters\n", kSymbols, kMasters);

    QImage image;
    const auto [ours, peer] =
        bench::medianSecondsSideBySide(3, [&] { image = bench::renderDrawing(*mapped, mapped->bounds()); },
                                       [&] { image = bench::renderDrawing(*plain, plain->bounds()); });
    bench::keep(image);
    bench::printComparison(QStringLiteral("symbols_50000x20"), ours, peer, 1.5);

    benchTiledExport(masters);
    return 0;
}
