#pragma once

// Drawings for the drawing-framework tests: a drawing with an undo manager and one active
// object layer for shapes and paths, plain fill and stroke styles, images, rendering into
// images and recording notifications.

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace drawingtest {

struct Fixture {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing;
    std::shared_ptr<VXObjectDrawingLayer> layer;

    explicit Fixture(QSizeF size = {200, 200})
        : drawing(VXDrawing::drawingWithSize(size))
        , layer(std::make_shared<VXObjectDrawingLayer>())
    {
        drawing->setUndoManager(undo.get());
        layer->setLayerName(QStringLiteral("Objects"));
        drawing->addLayer(layer);
        undo->removeAllActions(); // setting up is not an edit
    }
    // Ends the undo step being built, as the end of an event would.
    void endStep() { undo->closeAutomaticGroup(); }
};

inline VXStylePtr fillStyle(const QColor& fill)
{
    return VXStyle::styleWithFillColourStrokeColour(fill, QColor());
}

inline VXStylePtr strokeStyle(const QColor& stroke, double width)
{
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), stroke, width);
}

// The drawing's part `source` at `scale` pixels per point, as output renders it.
inline QImage render(const VXDrawing& drawing, double scale = 1.0, QRectF source = {})
{
    if (source.isNull())
        source = drawing.bounds();
    const QSize pixels = (source.size() * scale).toSize();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-source.topLeft());
    platform::DrawingRenderer::drawDrawing(drawing, painter, source, {});
    return image;
}

// An image of one colour, and the PNG bytes of an image, as image shapes and tracing take them.
inline QImage filledImage(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

inline QByteArray pngData(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

inline QColor pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// How many pixels of two images differ; -1 when their sizes or formats differ.
inline int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return -1;
    if (a == b)
        return 0;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// Colours compare within a small tolerance, as antialiasing and premultiplying round.
inline bool near(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// Records the notifications of one name while it lives.
class NotificationRecorder : public QObject {
public:
    explicit NotificationRecorder(const QString& name, QObject* sender = nullptr)
    {
        platform::NotificationCenter::defaultCenter().addObserver(
            this, name, sender, [this](const platform::Notification& n) { received.append(n); });
    }
    ~NotificationRecorder() override { platform::NotificationCenter::defaultCenter().removeObserver(this); }

    QList<platform::Notification> received;
};

} // namespace drawingtest
