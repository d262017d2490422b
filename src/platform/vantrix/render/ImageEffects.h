#pragma once

// Pixel effects on premultiplied ARGB images (QImage::Format_ARGB32_Premultiplied; other
// formats are converted). Radii and lengths are in pixels and capped at kMaximumRadius:
// wider blurs look no different and only cost time. Pixels outside the image count as
// transparent, so colour fades out towards the edges.

#include <QImage>

namespace platform {

inline constexpr int kMaximumEffectRadius = 128;

// Three box passes each way approximate a Gaussian that reaches `radius` pixels. This blur and
// the box blur also take alpha masks (QImage::Format_Alpha8) as they are.
void gaussianBlur(QImage& image, double radius);
// One box pass each way: every pixel the mean of the square around it.
void boxBlur(QImage& image, double radius);
// The mean of the disc of `radius` around every pixel.
void discBlur(QImage& image, double radius);
// The mean along a line of `length` pixels through every pixel, at `angle` radians (y down).
void motionBlur(QImage& image, double length, double angle);
// Whether `mode` is a QPainter::CompositionMode that combines colours (Porter-Duff or
// blend), as components offer; raster operations are not.
bool isBlendOperation(int mode);

// Every channel times `factor`, kept a valid premultiplied colour.
void scaleIntensity(QImage& image, double factor);

} // namespace platform
