#include "platform/vantrix/render/DrawingRenderer.h"

#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PathGeometry.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DeviceLayer.h"

#include <QPainter>
#include <QPrinter>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <exception>
#include <functional>

namespace platform {

namespace {

constexpr qint64 kMaximumPixels = qint64(1) << 28;

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

// Qt hands every batch of translucent spans to the global thread pool unless the painting
// thread is one of the pool's own. For maps of many small translucent areas the hand-offs
// cost several times the blending, so images are painted on a reserved pool thread while
// the caller waits (nothing else touches the drawing meanwhile).
void paintOnPoolThread(const std::function<void()>& paint)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool || pool->contains(QThread::currentThread())) { // no pool once the process winds down
        paint();
        return;
    }
    std::exception_ptr failure;
    QSemaphore finished;
    pool->reserveThread();
    pool->startOnReservedThread([&] {
        try {
            paint();
        } catch (...) {
            failure = std::current_exception();
        }
        finished.release();
    });
    finished.acquire();
    if (failure)
        std::rethrow_exception(failure);
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
    const GraphicsContext::Scope scope(&painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (options.drawPaper && (!options.printing || drawing.paperColourIsPrinted()))
        painter.fillRect(rect & drawing.bounds(), drawing.paperColour());
    drawLayersOfGroup(drawing, rect, options);
}

void DrawingRenderer::drawLayersOfGroup(const VXLayerGroup& group, const QRectF& rect, const Options& options)
{
    for (int i = group.countOfLayers() - 1; i >= 0; --i)
        drawLayer(*group.objectInLayersAtIndex(i), rect, options);
}

void DrawingRenderer::drawLayer(const VXLayer& layer, const QRectF& rect, const Options& options)
{
    GraphicsContext* context = GraphicsContext::current();
    const bool shown = options.includeHidden || layer.visible();
    if (!context || !shown || layer.alpha() <= 0 || (options.printing && !layer.shouldDrawToPrinter())
        || !layer.hasContent())
        return;
    const auto* group = qobject_cast<const VXLayerGroup*>(&layer);
    const auto drawContent = [&] {
        if (group)
            drawLayersOfGroup(*group, rect, options);
        else
            layer.drawRectInViewShowingHighlighting(rect, options.view, options.highlighting && !options.printing);
    };
    if (layer.alpha() >= 1)
        drawContent();
    else
        drawInFadedLayer(*context->painter(), rect, layer.alpha(), drawContent);
}

QImage DrawingRenderer::imageOfDrawing(const VXDrawing& drawing, const QRectF& source, QSize pixels,
                                       const QColor& background)
{
    if (!isDrawablePixelSize(pixels) || !isDrawableRect(source))
        return {};
    QImage image = emptyImage(pixels, background);
    if (image.isNull())
        return image;
    paintOnPoolThread([&] {
        QPainter painter(&image);
        painter.scale(pixels.width() / source.width(), pixels.height() / source.height());
        painter.translate(-source.topLeft());
        drawDrawing(drawing, painter, source, outputOptions());
    });
    return image;
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
    paintOnPoolThread([&] {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(target.topLeft());
        painter.scale(target.width() / box.width(), target.height() / box.height());
        painter.translate(-box.topLeft());
        const GraphicsContext::Scope scope(&painter);
        object.drawContent();
    });
    return image;
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
