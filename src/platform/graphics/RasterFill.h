#pragma once

// Fills whose cost follows the pixels they can change. Qt's raster engine rasterises a path over
// its whole device before the clip trims the spans, so a large area painted through a small clip
// (an image painted in tiles, each through its own clip) costs as much as painting all of it,
// once per tile.
//
// The rasteriser adds coverage up along each row of pixels from the left: what lies left of a
// pixel counts only through the net height its edges span in that row, and rows elsewhere or
// anything to the right do not count at all. A run of segments wholly beyond one side of the
// pixels that matter can therefore become one straight line (the heights add up the same, the
// line stays on that side), the point where two such runs meet may move anywhere beyond the
// sides of both, and a subpath wholly beyond one side adds nothing. Around a tile deep inside a
// large area, the area shrinks to a frame just outside the tile. Segments reaching the pixels are
// kept as they are, so those pixels come out identical, rounding included.
//
// Strokes Qt outlines itself are filled outlines too: the outline of a stretch out of the pen's
// reach winds around nothing within reach, so the stretch can go.

#include <QPainterPath>
#include <QRect>
#include <QTransform>

class QBrush;
class QPainter;
class QPen;

namespace platform {

// `path` trimmed to `pixels` (widened by a pixel or two), `toDevice` mapping the path onto the
// pixels' device: runs of segments wholly beyond one side as single lines, subpaths wholly beyond
// one side left out. The path itself (shared, not copied) when nothing is beyond, or under a
// perspective transform.
QPainterPath pathTrimmedToPixels(const QPainterPath& path, const QTransform& toDevice, const QRect& pixels);

// `path` for a stroke reaching `reach` device pixels from it, trimmed to `pixels`: the segments
// out of reach left out (the new ends, with their caps, lie out of reach too). A closed subpath
// joining its ends within reach is kept whole. The path itself when nothing goes.
QPainterPath pathTrimmedForStroke(const QPainterPath& path, const QTransform& toDevice, const QRect& pixels,
                                  double reach);

// How far a stroke with `pen` reaches from its path, in the pen's units, joins included.
double penReach(const QPen& pen);

// The least and the most an affine transform stretches any direction: its singular values.
struct Stretches {
    double smallest = 0;
    double largest = 0;
};
Stretches stretchesOf(const QTransform& transform);

// Fills like QPainter::fillPath. In a solid colour on raster images, only what can reach the pixels
// the painter may change (its device, narrowed by its clip) is handed to Qt. Neither function
// leaves anything attached to the path's data: drawables keep theirs for the life of the map.
void fillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush);
// Strokes like QPainter::strokePath. With a solid, undashed pen wider than a device pixel on raster
// images, only what the pen can reach the painter's pixels from is handed to Qt.
void strokePathWithQt(QPainter& painter, const QPainterPath& path, const QPen& pen);

} // namespace platform
