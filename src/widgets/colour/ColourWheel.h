#pragma once

// The colour wheel of the picker: hue runs round the centre (red at the right, 1 − angle/2π
// with the angle measured in the view's y-down coordinates) and saturation grows from the
// centre (0) to the rim (1). The wheel lies in its bounds inset by 4 points.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

class ColourWheel {
public:
    static constexpr double kInset = 4.0;

    explicit ColourWheel(const QRectF& bounds);

    QPointF centre() const { return m_centre; }
    double radius() const { return m_radius; }
    bool contains(const QPointF& point) const;

    // Hue 0..1 of a point (of the centre: 0); saturation is distance / radius, capped at 1.
    double hueAt(const QPointF& point) const;
    double saturationAt(const QPointF& point) const;
    QColor colourAt(const QPointF& point, double brightness) const;
    // Where a colour's hue and saturation lie (brightness plays no part).
    QPointF pointForColour(const QColor& colour) const;

    // The wheel at full brightness, filling `size` points at `ratio` pixels per point. Made
    // once per size and ratio; later calls for the same answer the kept image.
    static QImage image(const QSize& size, qreal ratio);
    // How many images have been computed so far.
    static int imagesComputed();

private:
    QPointF m_centre;
    double m_radius;
};
