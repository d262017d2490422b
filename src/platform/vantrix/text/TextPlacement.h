#pragma once

// Where the glyphs of a text go: laid out in a box (wrapped, aligned and placed vertically
// in it) or set one by one along a path, each glyph turned to the path's direction where
// its centre falls. Glyphs whose centre falls beyond the path's ends are left out.

#include "platform/graphics/AttributedString.h"
#include "platform/vantrix/text/TextOutlines.h"

#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <memory>

namespace platform {

class AttributedStringLayout;
class BezierPath;

enum class TextVerticalAlignment { Top = 0, Middle = 1, Bottom = 2, Proportional = 3, CentredOnLine = 4 };

// A box for text: its size, and its coordinates (origin at the top left, y down) mapped to drawing.
struct TextBox {
    QSizeF size;
    QTransform toDrawing;
};

// Along a path: Top hangs the text below the path, Bottom stands it on top, Middle centres
// its line height on the path, CentredOnLine centres its capitals on the path, and
// Proportional moves it `proportionalOffset` above where Middle puts it. In a box the
// vertical alignments place the text in the free space; Proportional at `proportion` of it
// from the top, CentredOnLine as Middle.
struct TextArrangement {
    TextAlignment alignment = TextAlignment::Left;
    TextVerticalAlignment verticalAlignment = TextVerticalAlignment::Top;
    double proportion = 0.5;
    double proportionalOffset = 0;
    bool wrapsLines = true; // in a box; unwrapped text is aligned in the box as a block
    bool operator==(const TextArrangement&) const = default;
};

struct PlacedText {
    // The glyphs and decorations: along a path always, in a box when asked for.
    QList<TextOutline> outlines;
    // In a box: the laid-out text and where it goes.
    std::shared_ptr<const AttributedStringLayout> layout;
    QTransform layoutToDrawing;
    // In a box: the area of the text in box coordinates. Along a path: the line as set from
    // the path's start, its top at 0.
    QRectF textRect;
    // The area of the glyphs' lines in drawing coordinates.
    QRectF bounds;
    // Along a path: each glyph's cell in drawing coordinates, its advance by the line's height
    // with half the justified spacing on either side, so spaces and gaps belong to the text.
    QList<QPolygonF> glyphCells;

    bool isEmpty() const { return outlines.isEmpty() && !layout; }
    // The glyphs in their colours, into GraphicsContext::current(); laid-out text is drawn as
    // text, so it stays text in PDF and uses the glyph cache on screen.
    void drawGlyphs() const;
};

// Outlines cost time; halos, outlines and shadows need them, plain text does not.
PlacedText placeTextInBox(const AttributedString& text, const TextBox& box, const TextArrangement& arrangement,
                          bool withOutlines);
PlacedText placeTextAlongPath(const AttributedString& text, const BezierPath& path, const TextArrangement& arrangement);

// How far above the place Middle gives it the arrangement puts the baseline of a line.
double baselineOffsetFromMiddle(const TextArrangement& arrangement, const LineMetrics& metrics);

} // namespace platform
