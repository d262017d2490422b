#include "widgets/paint/DropShadow.h"

#include "platform/vantrix/render/ImageEffects.h"

#include <QPainter>
#include <QtMath>

void drawDropShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, double blur, const QColor& colour)
{
    const QRectF bounds = shape.boundingRect();
    if (bounds.isEmpty())
        return;
    const double margin = std::ceil(blur * 2);
    const QRectF area = bounds.adjusted(-margin, -margin, margin, margin);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage shadow((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (shadow.isNull())
        return;
    shadow.fill(Qt::transparent);
    {
        QPainter silhouette(&shadow);
        silhouette.setRenderHint(QPainter::Antialiasing);
        silhouette.scale(ratio, ratio);
        silhouette.translate(-area.topLeft());
        silhouette.fillPath(shape, colour);
    }
    platform::gaussianBlur(shadow, blur * ratio);
    shadow.setDevicePixelRatio(ratio);
    painter.drawImage(area.topLeft() + offset, shadow);
}
