#pragma once

// The glossy fill: a rectangle lit from above, derived from one colour. The upper half fades
// from a whitened version of the colour into the colour, the lower half from the colour into
// a caustic tint of it, moved towards yellow (magenta for purples and pinks). The fill is a
// linear gradient sampled from the shading function, cached per colour.

#include <QColor>
#include <QGradientStops>
#include <QRectF>
#include <array>

class QPainter;

// The shading of one colour, as RGBA components 0..1 along t in [0, 1] (t = 0 at the top).
// Computed in single precision, as the colour's look is defined that way.
class ShinyGradientFunction {
public:
    using Components = std::array<float, 4>;

    explicit ShinyGradientFunction(const QColor& colour);

    Components valueAt(float t) const;
    const Components& colour() const { return m_colour; }
    const Components& caustic() const { return m_caustic; }
    // The function sampled densely in each half, with the step between the halves kept sharp.
    QGradientStops stops() const;

private:
    Components m_colour;
    Components m_caustic;
    float m_initialWhite;
    float m_finalWhite;
};

// Fills `rect` with the glossy look of `colour`. `flipped` tells whether the painter's y axis
// grows downwards (as in views and images), so the gloss is always at the visual top. The
// painter's state is the same afterwards. A missing painter or colour is a programming error.
void CGContextDrawShinyGradient(QPainter* context, const QRectF& rect, const QColor& colour, bool flipped);
