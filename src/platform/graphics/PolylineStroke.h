#pragma once

// Solid strokes along straight-edged paths (map roads, parcel outlines, polylines of any kind)
// outlined here instead of by Qt's general stroker, which spends most of a map's rendering
// time on the angles of its round joins. The outline is the stroke's area exactly: a quad per
// segment, a round or bevelled wedge on the outer side of each corner and the caps, all turning
// the same way, so filling it with the nonzero rule covers their union and nothing else.

#include <QPainterPath>
#include <QPen>

class QPainter;

namespace platform {

// Ends of an open path that an outline leaves flat (butt) whatever the pen's cap: the start of
// the first subpath, the end of the last one.
struct FlatEnds {
    bool first = false;
    bool last = false;
};

// The area `pen` covers when stroking `path`, to fill with the nonzero rule; empty when the
// outline is not made here: curves, dashes, miter joins, a cosmetic or non-solid pen, a
// subpath drawn as a lone dot, coordinates that are not finite.
QPainterPath polylineStrokeOutline(const QPainterPath& path, const QPen& pen, FlatEnds flat = {});

// Strokes like QPainter::strokePath. On raster devices, where the pen is wider than a device
// pixel and the outline is made here, fills it; thinner pens keep Qt's own fast path for
// hairlines, and vector output its strokes.
void strokePath(QPainter& painter, const QPainterPath& path, const QPen& pen);

// Strokes like strokePath and fills `area` with the pen's brush: in one fill where the outline
// is made here, so that no antialiased seam shows where the two meet and the pixels they share
// are painted once; the `flat` ends are those the area carries on, which makes the fill
// cheaper. `area` is filled by the winding rule, so its subpaths must turn the way the outlines
// made here do: anticlockwise on the screen (y down), a negative shoelace area. Where the
// outline is not made here the stroke keeps its caps and the area is filled after it.
void strokePathAndFill(QPainter& painter, const QPainterPath& path, const QPen& pen, const QPainterPath& area,
                       FlatEnds flat = {});

} // namespace platform
