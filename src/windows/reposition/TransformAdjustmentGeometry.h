#pragma once

// The measures of the reposition overlay, in the coordinates of the drawing it covers: the
// grid, the rectangle of four corner handles one cell in from the edges, and what dragging a
// handle does to that rectangle and to the adjustment.
//
// Handles are numbered 0 at the rectangle's top left, 1 top right, 2 bottom left and 3 bottom
// right; -1 is none.

#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <optional>

namespace adjustment {

// Cells of 256 points from 768 points each way; below that the largest of 128, 64, 32, 16 or 8
// that fits three times in the shorter side. The leftover of each side is shared among its
// whole cells, so the cells fill the bounds exactly. Empty for a side under 8 points.
QSizeF bestGridSize(QSizeF bounds);

// One grid cell in from each edge; the whole bounds without a grid.
QRectF initialHandlesRect(QSizeF bounds, QSizeF grid);

QPointF cornerOfHandle(const QRectF& rect, int handle);
// A rectangle of `handleSize` centred on the handle's corner.
QRectF rectOfHandle(const QRectF& rect, int handle, QSizeF handleSize);
// The first handle, in index order, whose rectangle holds the point; -1 when none does.
int handleAtPoint(const QRectF& rect, QPointF point, QSizeF handleSize);

// The rectangle spanned by the opposite handle's corner and the handle dragged to `point`.
// With a kept ratio (height / width) the corner's y follows its x. The corner stays on its
// side of the anchor and at least `minimum` away, so the rectangle never collapses or flips.
QRectF draggedHandlesRect(const QRectF& rect, int handle, QPointF point, std::optional<double> keptRatio,
                          QSizeF minimum);

// The scale about `anchor` that takes the size of `from` to that of `to`.
QTransform scaleAbout(QPointF anchor, const QRectF& from, const QRectF& to);

} // namespace adjustment
