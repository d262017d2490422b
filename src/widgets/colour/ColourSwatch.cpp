#include "widgets/colour/ColourSwatch.h"

#include "widgets/paint/KitImage.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

bool isPickableColour(const QColor& colour)
{
    if (!colour.isValid())
        return false;
    float components[4];
    colour.getRgbF(&components[0], &components[1], &components[2], &components[3]);
    for (const float component : components)
        if (!std::isfinite(component) || component < 0.0f || component > 1.0f)
            return false;
    return true;
}

QBrush chequeredPatternBrush(qreal ratio)
{
    static QHash<qreal, QBrush> brushes;
    const auto kept = brushes.constFind(ratio);
    if (kept != brushes.constEnd())
        return *kept;
    const KitImage tile = imageNamed(QStringLiteral("chequered"));
    const QImage image = tile.isNull() ? QImage() : tile.imageOfSize(tile.size(), ratio);
    const QBrush brush = image.isNull() ? QBrush(Qt::lightGray, Qt::Dense4Pattern) : QBrush(image);
    brushes.insert(ratio, brush);
    return brush;
}

void fillWithColourOverChequer(QPainter& painter, const QPainterPath& shape, const QColor& colour)
{
    if (colour.alphaF() < 1.0f) {
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        painter.fillPath(shape, chequeredPatternBrush(ratio));
    }
    painter.fillPath(shape, colour);
}
