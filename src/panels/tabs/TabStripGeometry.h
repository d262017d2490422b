#pragma once

// Where the tabs of a strip go: every tab overlaps its left neighbour by one point; a tab is
// never narrower than the strip's height plus 9 nor wider than its share of the strip plus one;
// the row is centred, left- or right-aligned, or justified to fill the strip.

#include <QList>
#include <QRectF>

namespace tabstrip {

enum Alignment { Centred = 0, Left = 1, Right = 2, Justified = 3 }; // any other value aligns right

// The rect of each tab, in order, for tabs needing `neededWidths` in a strip of `frame`.
QList<QRectF> tabRects(const QRectF& frame, const QList<double>& neededWidths, int alignment);
// The zero rect for an index out of range (NotFound included).
QRectF rectOfTabAtIndex(const QRectF& frame, const QList<double>& neededWidths, int alignment, qsizetype index);
// The first tab whose rect contains the point; -1 when none.
qsizetype indexOfTabContainingPoint(const QList<QRectF>& rects, const QPointF& point);

} // namespace tabstrip
