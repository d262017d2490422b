#pragma once

// Strokes a rectangle with a dashed pen, pixel for pixel as QPainter::drawRect does with that
// pen, but filling apart the dashes that lie apart on the device: the rasteriser spends far
// more on one outline of hundreds of dashes spread round a whole screen than on each dash
// alone, and dashes that share no pixel blend the same either way.

class QPainter;
class QPen;
class QRectF;

namespace adjustment {

void strokeDashedRect(QPainter& painter, const QRectF& rect, const QPen& pen);
// Whether strokeDashedRect fills the dashes apart here; else the pen strokes them (thin,
// cosmetic or round pens, frames reaching past what the painter draws).
bool fillsDashesApart(const QPainter& painter, const QRectF& rect, const QPen& pen);

} // namespace adjustment
