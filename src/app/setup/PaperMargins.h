#pragma once

// The printer's unprintable border: the distance from each paper edge to the area the
// printer can mark, in points. The map document takes it as the page margins, and the
// drawing set-up may take it off the drawing size.

#include <QMarginsF>

class QPageLayout;

// Rectangles given by their edges, y growing downwards.
struct PageEdges {
    double top;
    double left;
    double bottom;
    double right;
};

// Page (printable) edges against paper edges; a page reaching past the paper gives 0 there.
QMarginsF paperMarginsForEdges(const PageEdges& paper, const PageEdges& page);
// The full page against its paint rectangle.
QMarginsF paperMargins(const QPageLayout& layout);
