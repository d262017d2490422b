#pragma once

// Small colour measures of the colour popover's family.

#include <QColor>
#include <QString>

// 0.299 red + 0.587 green + 0.114 blue of the colour's RGB components.
double luminance(const QColor& colour);
// Red, green and blue each drawn uniformly from 0..1, opaque.
QColor randomColor();
// "r: %d, g: %d, b: %d, a: %d" of the shared colour panel's colour, each component times
// 255 rounded (for diagnostics).
QString colourPanelColourDescription();
