#pragma once

// Device pixels of whatever a painter draws on. Qt's combined transform of a painter on a
// widget, image or pixmap already holds the device's pixel ratio (and no offset of a widget
// within its window), so it maps user space straight to device pixels.

#include <QRectF>
#include <QTransform>

class QPainter;

QTransform userToDevicePixelsOf(const QPainter& painter);
// Device pixels per unit of the painter's user space (2 at device pixel ratio 2, unscaled).
double devicePixelsPerUnitOf(const QPainter& painter);

// Snaps a rectangle to whole device pixels, so hairlines and edges stay sharp at any device
// pixel ratio (at ratio 2 a point has two pixels, and an edge may fall on a half point). Each
// edge moves to its nearest pixel boundary. Under a rotation or shear there is no pixel grid
// to snap to and the rectangle is answered unchanged.
QRectF centerScanRect(const QPainter& painter, const QRectF& rect);
