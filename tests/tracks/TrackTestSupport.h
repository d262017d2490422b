#pragma once

// Lines, road styles and offscreen painting shared by the track tests.

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace tracktest {

inline platform::BezierPath polyline(const QList<QPointF>& points, bool closed = false)
{
    platform::BezierPath path;
    path.moveToPoint(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineToPoint(points[i]);
    if (closed)
        path.closePath();
    return path;
}

// Strokes bottom first, as (colour, width): a road is a wide dark casing under a narrower centre.
inline VXStylePtr strokes(const QList<std::pair<QColor, double>>& strokes)
{
    auto style = std::make_shared<VXStyle>();
    for (const auto& [colour, width] : strokes)
        style->addRenderer(VXStroke::strokeWithWidthColour(width, colour));
    return style;
}

// What `draw` paints through the current graphics context onto a transparent image.
inline QImage paint(const std::function<void()>& draw, bool antialiased = false)
{
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (antialiased)
        painter.setRenderHint(QPainter::Antialiasing);
    const platform::GraphicsContext::Scope scope(&painter);
    draw();
    return image;
}

} // namespace tracktest
