#include "platform/graphics/Gradient.h"

#include <QPainter>
#include <QtMath>
#include <cmath>

namespace platform {

Gradient::Gradient(const QColor& startingColour, const QColor& endingColour)
    : m_stops{{0.0, startingColour}, {1.0, endingColour}}
{
}

Gradient::Gradient(const QGradientStops& stops)
    : m_stops(stops)
{
}

QLinearGradient Gradient::linearGradientInRect(const QRectF& rect, double angle) const
{
    const double radians = qDegreesToRadians(angle);
    const QPointF direction(std::cos(radians), std::sin(radians));
    // Half the rectangle's extent along the direction: the projection of its half diagonal.
    const double reach = std::abs(direction.x()) * rect.width() / 2 + std::abs(direction.y()) * rect.height() / 2;
    const QPointF centre = rect.center();
    QLinearGradient gradient(centre - direction * reach, centre + direction * reach);
    gradient.setStops(m_stops);
    return gradient;
}

void Gradient::drawInRect(QPainter& painter, const QRectF& rect, double angle) const
{
    if (rect.isEmpty())
        return;
    painter.fillRect(rect, linearGradientInRect(rect, angle));
}

} // namespace platform
