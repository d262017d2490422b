#pragma once

#include <QRectF>

class QPainter;

// Snaps a rectangle to whole device pixels, so hairlines and edges stay sharp at any device
// pixel ratio (at ratio 2 a point has two pixels, and an edge may fall on a half point). Each
// edge moves to its nearest pixel boundary. Under a rotation or shear there is no pixel grid
// to snap to and the rectangle is answered unchanged.
QRectF centerScanRect(const QPainter& painter, const QRectF& rect);
