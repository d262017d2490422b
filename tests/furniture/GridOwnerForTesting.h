#pragma once

// A grid owner whose answers tests set directly, recording the areas it is asked to redraw,
// and a painter into an image for drawing checks.

#include "furniture/edges/VXQGridInfoProtocol.h"
#include "platform/foundation/ZQObject.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/NumberFormatter.h"

#include <QImage>
#include <QPainter>
#include <functional>

class GridOwnerForTesting : public ZQObject, public VXQGridInfoProtocol {
    Q_OBJECT

public:
    QRectF rect{0, 0, 100, 50};
    double span = 10;
    quint64 divisions = 10;
    double allowance = 0;
    VXDrawing* owningDrawing = nullptr;
    // When set, every label reads "<index>/<maxIndex>".
    bool proposesLabels = false;
    mutable QList<QRectF> redrawn;

    VXDrawing* drawing() const override { return owningDrawing; }
    QRectF borderRect() const override { return rect; }
    double spanLength() const override { return span; }
    quint64 divisionsPerSpan() const override { return divisions; }
    double borderAllowance() const override { return allowance; }
    void setNeedsDisplayInRect(const QRectF& area) const override { redrawn.append(area); }
    std::optional<QString> proposedLabelAtIndexMaxIndexFormatter(const QString&, quint64 index, quint64 maxIndex,
                                                                const platform::NumberFormatter*) const override
    {
        if (!proposesLabels)
            return std::nullopt;
        return QStringLiteral("%1/%2").arg(index).arg(maxIndex);
    }
};

// Draws into a transparent image of `size` whose painter maps drawing points through `transform`.
inline QImage paintedImage(QSize size, const QTransform& transform, const std::function<void()>& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setTransform(transform);
    {
        const platform::GraphicsContext::Scope scope(&painter);
        draw();
    }
    return image;
}

inline int opaquePixelCount(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}
