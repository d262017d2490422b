#pragma once

// Renders part of a drawing into an image of that part's size, one point to one pixel: what the
// drawing benchmarks time.

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QImage>
#include <QPainter>

namespace bench {

inline QImage renderDrawing(const VXDrawing& drawing, const QRectF& source, const QColor& background = Qt::transparent)
{
    QImage image(source.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(-source.topLeft());
    platform::DrawingRenderer::drawDrawing(drawing, painter, source, {});
    return image;
}

} // namespace bench
