#pragma once

// Text as filled outlines: the glyphs and decorations of laid-out text as paths, so halos,
// outlines and shadows can be drawn around them and glyphs can be placed one by one.

#include "platform/graphics/AttributedString.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QTransform>

namespace platform {

class AttributedStringLayout;

struct TextOutline {
    QPainterPath path; // in the text's own coordinates
    QColor colour;
    QTransform placement; // the text's coordinates -> drawing

    QPainterPath placedPath() const { return placement.map(path); }
};

// What the layout draws, with the text's top left corner at `origin`.
QList<TextOutline> outlinesOfLayout(const AttributedStringLayout& layout, QPointF origin);

struct LineMetrics {
    double ascent = 0;
    double descent = 0;
    double capHeight = 0;
};

// The metrics of a line set in the font alone.
LineMetrics lineMetricsOfFont(const QFont& font);

// One glyph of a line: its outline (with underline or strike-through) drawn from its pen
// position on the baseline, where that position lies along the line, and how far it advances.
struct LineGlyph {
    QPainterPath path;
    QColor colour;
    double x = 0;
    double advance = 0;
};

struct GlyphLine {
    QList<LineGlyph> glyphs;
    double width = 0;
    LineMetrics metrics;
};

// The text set on one line (line breaks become spaces): fonts, letter spacing, colours,
// underlines, strike-throughs and baseline offsets as the attributes say.
GlyphLine glyphLineOfText(const AttributedString& text);

} // namespace platform
