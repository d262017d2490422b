#pragma once

// Painting shapes whose outline crosses each row of pixels many times (the profile of a noisy
// height grid: a thousand spikes side by side). Qt's antialiasing rasteriser keeps the cells of a
// row in a sorted list, so its cost grows with the square of the crossings per row: such a shape
// painted whole takes a tenth of a second per tile, and its outline with a pen over a pixel wide
// seconds. Painted strip by strip, each strip clipped to its pixels and given only the part of
// the shape that can reach them (see RasterFill.h), each meets few crossings, and every pixel
// comes out as from the whole shape: the strips' edges lie on pixel boundaries.

#include <QRect>
#include <QRectF>

#include <functional>

class QPainter;

namespace sectionstrips {

// Device pixels across one strip.
inline constexpr int kStripPixels = 16;

// The strips, in device pixels, of `pixels` cut by lines across `cuts` (Vertical: strips side
// by side, each kStripPixels wide, on multiples of it).
QList<QRect> stripsOf(const QRect& pixels, Qt::Orientation cuts);

// Calls `paint` once for each strip of what `extent` (in the painter's coordinates, grown by
// `reach` device pixels) covers of the pixels the painter may change, with the painter clipped to
// that strip (device pixels), which `paint` receives. Painters not on an image, or under a
// rotating or perspective transform, call it once, unclipped, with an empty strip.
void paintInStrips(QPainter& painter, const QRectF& extent, double reach, Qt::Orientation cuts,
                   const std::function<void(const QRect& strip)>& paint);

} // namespace sectionstrips
