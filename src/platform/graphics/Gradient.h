#pragma once

// A colour gradient that is not tied to a place: its stops are laid along a line when it is
// drawn, across a rectangle at an angle. The angle is in degrees in the painter's own
// coordinates, from the +x axis towards +y: in y-down views 90 runs from the top edge down,
// and drawing code written for y-up space passes the negated angle.

#include <QColor>
#include <QGradientStops>
#include <QLinearGradient>
#include <QRectF>

class QPainter;

namespace platform {

class Gradient {
public:
    Gradient(const QColor& startingColour, const QColor& endingColour);
    // Stops at locations 0..1, in order.
    explicit Gradient(const QGradientStops& stops);

    const QGradientStops& stops() const { return m_stops; }
    QColor startingColour() const { return m_stops.first().second; }
    QColor endingColour() const { return m_stops.last().second; }

    // The gradient laid across `rect` so that its first stop touches the corner the angle
    // points away from and its last stop the opposite one; padded beyond both.
    QLinearGradient linearGradientInRect(const QRectF& rect, double angle) const;
    // Fills `rect` with it; the painter's state is unchanged afterwards.
    void drawInRect(QPainter& painter, const QRectF& rect, double angle) const;

private:
    QGradientStops m_stops;
};

} // namespace platform
