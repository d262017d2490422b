#pragma once

// Painting shapes whose outline crosses each row of pixels many times (the profile of a noisy
// height grid: a thousand spikes side by side). Qt's antialiasing rasteriser keeps the cells of a
// row in a sorted list and walks every edge over its whole length, so such a shape painted whole
// takes a tenth of a second per tile, and its outline with a pen over a pixel wide seconds.
// Painted strip by strip, each strip clipped to its pixels and given only the part of the shape
// within them, each meets few crossings, and the strips' edges lie on pixel boundaries.

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QRect>
#include <QRectF>

#include <functional>

class QPainter;
class QPainterPath;
class QTransform;

namespace sectionstrips {

// Device pixels across one strip.
inline constexpr int kStripPixels = 8;

// The strips, in device pixels, of `pixels` cut by lines across `cuts` (Vertical: strips side
// by side, each `width` wide, on multiples of it).
QList<QRect> stripsOf(const QRect& pixels, Qt::Orientation cuts, int width = kStripPixels);

// Calls `paint` once for each strip, `width` pixels across, of what `extent` (in the painter's
// coordinates, grown by `reach` device pixels) covers of the pixels the painter may change, with
// the painter clipped to that strip (device pixels), which `paint` receives. Painters not on an image, or under a
// rotating or perspective transform, call it once, unclipped, with an empty strip.
void paintInStrips(QPainter& painter, const QRectF& extent, double reach, Qt::Orientation cuts, int width,
                   const std::function<void(const QRect& strip)>& paint);

// `path` mapped by `toDevice`, its curves flattened to a sixteenth of a pixel (Qt's own
// flattening, to half a pixel, would show beside what its rasteriser draws of the curves).
QList<QPolygonF> devicePolygons(const QPainterPath& path, const QTransform& toDevice);
// The part of the closed `polygon` within `rect`: the edges cut off run along its sides instead,
// so every point inside keeps its winding number.
QPolygonF polygonWithin(const QPolygonF& polygon, const QRectF& rect);
// Fills what of `polygons` (device pixels, by the winding rule) lies within `strip`.
void fillWithin(QPainter& painter, const QList<QPolygonF>& polygons, const QRect& strip, const QColor& colour);

} // namespace sectionstrips
