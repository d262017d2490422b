#pragma once

// Colour operations drawing code shares: hex text, greys, brightness and readable contrast.

#include <QColor>
#include <QString>

namespace platform {

// "#RRGGBB" in upper case; the alpha is not part of the text.
QString hexString(const QColor& colour);

// Reads "#RGB", "#RRGGBB" or "#RRGGBBAA" (the "#" optional, either case); an invalid
// colour for anything else.
QColor colorWithHexString(const QString& text);

// A grey of the given white level, clamped to 0..1 (NaN is black).
QColor rgbGrey(double level);
QColor veryLightGrey();

// Perceived brightness 0..1 (Rec. 601 weights of the sRGB components); alpha is ignored.
double luminosity(const QColor& colour);

// Black on colours brighter than mid-grey, white otherwise; opaque.
QColor contrastingColor(const QColor& colour);

// The colour blended towards black (shadow) or white (highlight) by `level` (0..1);
// alpha is kept.
QColor shadowWithLevel(const QColor& colour, double level);
QColor highlightWithLevel(const QColor& colour, double level);

} // namespace platform
