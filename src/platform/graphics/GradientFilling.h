#pragma once

// Filling with gradient brushes on any device, transparency included. Qt's PDF engine (PDF
// files, printers) loses it: it ignores the painter's opacity for gradient brushes, and
// gives stops of differing alphas a soft mask that viewers show opaque or evenly faded.
// Stops that share one alpha come out right, as a constant alpha.

#include <QBrush>

class QPainter;
class QPainterPath;

namespace platform {

// What becomes of a gradient whose stops differ in alpha on a device that cannot draw it.
enum class UnevenGradientAlpha {
    AsDrawn, // handed to the device as it is, whatever it makes of it
    AsImage, // an image of the gradient at print resolution, clipped to the path (the outline stays vector)
};

// Fills `path` with `gradient` (a gradient brush, its transform included) at the painter's
// opacity. On PDF a gradient of one alpha takes the opacity into its stops and stays vector;
// one of differing alphas is drawn as `uneven` says. Other devices fill as QPainter does.
void fillPathWithGradient(QPainter& painter, const QPainterPath& path, const QBrush& gradient,
                          UnevenGradientAlpha uneven = UnevenGradientAlpha::AsImage);

} // namespace platform
