#include "platform/vantrix/render/DrawingRenderer.h"

#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/DrawingExclusion.h"
#include "platform/vantrix/render/PoolPainting.h"
#include "platform/vantrix/render/RenderSteps.h"

#include <QPainter>
#include <QPrinter>
#include <QThread>
#include <optional>

namespace platform {

namespace {

constexpr qint64 kMaximumPixels = qint64(1) << 28;
// Small enough to share out among the cores, large enough that objects crossing tile edges are
// seldom drawn twice.
constexpr int kImageTileSide = 512;
// Tiles of an image whose progress is followed: a preview of 512 pixels still makes rounds.
constexpr int kFollowedTileSide = 128;

using PageDrawing = std::function<void(QPainter& painter)>;

QByteArray makePDF(QSizeF page, const PageDrawing& draw)
{
    QuorvaneError error;
    const QByteArray bytes = ImageWriter::pdfRepresentation(page, draw, &error);
    if (bytes.isEmpty())
        LogEvent(kFileEvent, QStringLiteral("no PDF made: %1").arg(error.localizedDescription()));
    return bytes;
}

bool isDrawablePixelSize(QSize pixels)
{
    return pixels.width() > 0 && pixels.height() > 0 && qint64(pixels.width()) * pixels.height() <= kMaximumPixels;
}

bool isDrawableRect(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && rect.width() > 0 && rect.height() > 0
           && std::isfinite(rect.width()) && std::isfinite(rect.height());
}

QImage emptyImage(QSize pixels, const QColor& background)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull())
        image.fill(background.isValid() ? background : QColor(Qt::transparent));
    return image;
}

DrawingRenderer::Options outputOptions()
{
    DrawingRenderer::Options options;
    options.printing = true;
    return options;
}

} // namespace

void DrawingRenderer::drawDrawing(const VXDrawing& drawing, QPainter& painter, const QRectF& rect,
                                  const Options& options)
{
    const GraphicsContext::Scope scope(&painter, true, options.view != nullptr);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (options.drawPaper && (!options.printing || drawing.paperColourIsPrinted()))
        drawing.drawPaperInRect(painter, rect);
    drawLayersOfGroup(drawing, rect, options);
}

void DrawingRenderer::drawLayersOfGroup(const VXLayerGroup& group, const QRectF& rect, const Options& options)
{
    for (int i = group.countOfLayers() - 1; i >= 0 && !RenderSteps::shouldStop(); --i)
        drawLayer(*group.objectInLayersAtIndex(i), rect, options);
}

void DrawingRenderer::drawLayer(const VXLayer& layer, const QRectF& rect, const Options& options)
{
    const auto* group = qobject_cast<const VXLayerGroup*>(&layer);
    // Every leaf counts, drawn or not, so where a rendering stopped stays put when a layer
    // elsewhere gains its first object or loses its last.
    if (!group && !RenderSteps::beginLayer())
        return;
    GraphicsContext* context = GraphicsContext::current();
    const bool shown = options.includeHidden || layer.visible();
    if (!context || !shown || layer.alpha() <= 0 || (options.printing && !layer.shouldDrawToPrinter())
        || !layer.hasContent())
        return;
    const auto drawContent = [&] {
        if (group) {
            drawLayersOfGroup(*group, rect, options);
            return;
        }
        std::optional<DrawingExclusion> oneAtATime;
        if (!layer.drawsConcurrently())
            oneAtATime.emplace(&layer, DrawingExclusion::Level::Layer);
        layer.drawRectInViewShowingHighlighting(rect, options.view, options.highlighting && !options.printing);
    };
    if (layer.alpha() >= 1)
        drawContent();
    else
        drawInFadedLayer(*context->painter(), rect, layer.alpha(), drawContent, &layer);
}

int DrawingRenderer::prepareToDrawConcurrently(const VXDrawing& drawing, const QRectF& rect)
{
    return drawing.prepareToDrawRect(rect);
}

void DrawingRenderer::drawLiveParts(const VXLayerGroup& group, const QRectF& rect, VXDrawingView* view)
{
    for (int i = group.countOfLayers() - 1; i >= 0; --i) {
        const VXLayer& layer = *group.objectInLayersAtIndex(i);
        if (!layer.visible() || layer.alpha() <= 0)
            continue;
        // Highlights are thin lines and knobs: a plain opacity fades them with their layer
        // without an offscreen image on every paint.
        QPainter* painter = GraphicsContext::current() ? GraphicsContext::current()->painter() : nullptr;
        const double opacity = painter ? painter->opacity() : 1.0;
        if (painter)
            painter->setOpacity(opacity * std::min(layer.alpha(), 1.0));
        if (const auto* members = qobject_cast<const VXLayerGroup*>(&layer))
            drawLiveParts(*members, rect, view);
        else
            layer.drawLiveRectInView(rect, view);
        if (painter)
            painter->setOpacity(opacity);
    }
}

QImage DrawingRenderer::imageOfRect(const QRectF& source, QSize pixels, const QColor& background,
                                    const TilePainting& paint, const Proceed& proceed)
{
    if (!isDrawablePixelSize(pixels) || !isDrawableRect(source))
        return {};
    QImage image = emptyImage(pixels, background);
    if (image.isNull())
        return image;
    // Every tile paints the whole image's pixels through a clip, with the serial path's transform,
    // so tiles meet without seams and the image is the same pixel for pixel.
    uchar* const bits = image.bits();
    const QTransform toImage = QTransform::fromScale(pixels.width() / source.width(), pixels.height() / source.height())
                                   .translate(-source.x(), -source.y());
    const QTransform toSource = toImage.inverted();
    const QList<QRect> tiles = tilesCovering(pixels, proceed ? kFollowedTileSide : kImageTileSide);
    const auto paintTile = [&](qsizetype index) {
        const QRect& tile = tiles[index];
        QImage pixelsOfImage(bits, image.width(), image.height(), image.bytesPerLine(), image.format());
        QPainter painter(&pixelsOfImage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (tile != image.rect())
            painter.setClipRect(tile);
        painter.setTransform(toImage);
        // A pixel more, for antialiased edges that reach into the tile.
        paint(painter, toSource.mapRect(QRectF(tile).adjusted(-1, -1, 1, 1)) & source);
    };
    const qsizetype round = proceed ? std::max(1, QThread::idealThreadCount()) : tiles.size();
    for (qsizetype first = 0; first < tiles.size(); first += round) {
        const qsizetype count = std::min(round, tiles.size() - first);
        if (!paintInParallel(count, [&](qsizetype index) { paintTile(first + index); }))
            return {};
        if (proceed && !proceed(double(first + count) / double(tiles.size())))
            return {};
    }
    return image;
}

QImage DrawingRenderer::imageOfDrawing(const VXDrawing& drawing, const QRectF& source, QSize pixels,
                                       const QColor& background, const Proceed& proceed)
{
    if (!isDrawablePixelSize(pixels) || !isDrawableRect(source))
        return {};
    prepareToDrawConcurrently(drawing, source);
    return imageOfRect(source, pixels, background, [&drawing](QPainter& painter, const QRectF& area) {
        drawDrawing(drawing, painter, area, outputOptions());
    }, proceed);
}

QByteArray DrawingRenderer::pdfOfDrawingRect(const VXDrawing& drawing, const QRectF& mediaBox)
{
    if (!isDrawableRect(mediaBox))
        return {};
    return makePDF(mediaBox.size(), [&drawing, mediaBox](QPainter& painter) {
        painter.save();
        painter.translate(-mediaBox.topLeft());
        drawDrawing(drawing, painter, mediaBox, outputOptions());
        painter.restore();
    });
}

QByteArray DrawingRenderer::pdfOfLayer(const VXLayer& layer)
{
    const VXDrawing* drawing = layer.drawing();
    const QRectF page = drawing ? drawing->bounds() : QRectF(0, 0, 595, 842);
    return makePDF(page.size(), [&layer, page](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        Options options = outputOptions();
        options.includeHidden = true;
        drawLayer(layer, page, options);
    });
}

QByteArray DrawingRenderer::pdfOfObject(const VXDrawableObject& object)
{
    const QRectF box = object.bounds();
    if (!isDrawableRect(box))
        return {};
    return makePDF(box.size(), [&object, box](QPainter& painter) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-box.topLeft());
        object.drawContent();
        object.drawTextLabelsInView(nullptr);
        painter.restore();
    });
}

QImage DrawingRenderer::imageOfObjectWithSize(const VXDrawableObject& object, QSizeF size)
{
    const QSize pixels(qCeil(size.width()), qCeil(size.height()));
    const QRectF box = object.bounds();
    if (!isDrawablePixelSize(pixels) || !isDrawableRect(box))
        return {};
    QImage image = emptyImage(pixels, QColor());
    const QRectF target = ScaledRectForSize(box.size(), QRectF(QPointF(), size));
    const bool painted = paintOnPoolThread([&] {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(target.topLeft());
        painter.scale(target.width() / box.width(), target.height() / box.height());
        painter.translate(-box.topLeft());
        const GraphicsContext::Scope scope(&painter);
        object.drawContent();
    });
    return painted ? image : QImage();
}

void DrawingRenderer::printDrawing(const VXDrawing& drawing, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        LogEvent(kFileEvent, QStringLiteral("the printer could not start"));
        return;
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF size = drawing.drawingSize();
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.scale(scale, scale);
    drawDrawing(drawing, painter, drawing.bounds(), outputOptions());
    painter.end();
}

} // namespace platform
