#include "platform/vantrix/text/TextPlacement.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainter>
#include <cmath>

namespace platform {

namespace {

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

double shareOfFreeSpace(const TextArrangement& arrangement)
{
    switch (arrangement.verticalAlignment) {
    case TextVerticalAlignment::Top: return 0;
    case TextVerticalAlignment::Bottom: return 1;
    case TextVerticalAlignment::Proportional: return std::clamp(arrangement.proportion, 0.0, 1.0);
    case TextVerticalAlignment::Middle:
    case TextVerticalAlignment::CentredOnLine: break;
    }
    return 0.5;
}

double shareOfHorizontalSpace(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Right: return 1;
    case TextAlignment::Centre: return 0.5;
    default: return 0;
    }
}

} // namespace

PlacedText placeTextInBox(const AttributedString& text, const TextBox& box, const TextArrangement& arrangement,
                          bool withOutlines)
{
    const QSizeF size = box.size;
    if (text.isEmpty() || !(size.width() > 0) || !(size.height() > 0) || !std::isfinite(size.width())
        || !std::isfinite(size.height()) || !box.toDrawing.isInvertible())
        return {};
    auto layout = std::make_shared<const AttributedStringLayout>(text, arrangement.wrapsLines ? size.width() : 0);
    const QSizeF textSize = layout->size();
    // Wrapped lines are aligned by layout; an unwrapped block is aligned here.
    const double x = arrangement.wrapsLines ? 0 : (size.width() - textSize.width()) * shareOfHorizontalSpace(arrangement.alignment);
    const double y = (size.height() - textSize.height()) * shareOfFreeSpace(arrangement);

    PlacedText placed;
    placed.textRect = QRectF(QPointF(x, y), textSize);
    placed.bounds = box.toDrawing.mapRect(placed.textRect);
    placed.layoutToDrawing = QTransform::fromTranslate(x, y) * box.toDrawing;
    if (withOutlines) {
        placed.outlines = outlinesOfLayout(*layout, QPointF());
        for (TextOutline& outline : placed.outlines)
            outline.placement = placed.layoutToDrawing;
    }
    placed.layout = std::move(layout);
    return placed;
}

PlacedText placeTextAlongPath(const AttributedString& text, const BezierPath& path, const TextArrangement& arrangement)
{
    if (text.isEmpty() || path.isEmpty() || !isFinite(path.controlPointBounds()))
        return {};
    const double length = path.length();
    if (!(length > 0) || !std::isfinite(length))
        return {};
    const GlyphLine line = glyphLineOfText(text);
    const LineMetrics& metrics = line.metrics;
    const qsizetype count = line.glyphs.size();
    const bool spreads = arrangement.alignment == TextAlignment::Justified && count > 1 && line.width < length;
    const double gap = spreads ? (length - line.width) / double(count - 1) : 0;
    const double start = (length - line.width) * shareOfHorizontalSpace(arrangement.alignment);
    // Middle centres the line's height on the path: its baseline lies (ascent - descent) / 2 below.
    const double baseline = (metrics.ascent - metrics.descent) / 2 - baselineOffsetFromMiddle(arrangement, metrics);

    PlacedText placed;
    placed.textRect = QRectF(0, 0, line.width + gap * double(std::max<qsizetype>(count - 1, 0)),
                             metrics.ascent + metrics.descent);
    for (qsizetype i = 0; i < count; ++i) {
        const LineGlyph& glyph = line.glyphs[i];
        const double centre = start + glyph.x + gap * double(i) + glyph.advance / 2;
        if (centre < 0 || centre > length)
            continue;
        double slope = 0;
        const QPointF point = path.pointOnPathAtLengthSlope(centre, &slope);
        const QTransform placement =
            QTransform().translate(point.x(), point.y()).rotateRadians(slope).translate(-glyph.advance / 2, baseline);
        placed.bounds |= placement.mapRect(QRectF(0, -metrics.ascent, glyph.advance, metrics.ascent + metrics.descent));
        placed.glyphCells.append(
            placement.map(QPolygonF(QRectF(-gap / 2, -metrics.ascent, glyph.advance + gap, metrics.ascent + metrics.descent))));
        if (!glyph.path.isEmpty())
            placed.outlines.append({glyph.path, glyph.colour, placement});
    }
    return placed;
}

void PlacedText::drawGlyphs() const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    if (layout) {
        painter->save();
        painter->setTransform(layoutToDrawing, true);
        layout->drawAtPoint(painter, QPointF());
        painter->restore();
        return;
    }
    for (const TextOutline& outline : outlines)
        painter->fillPath(outline.placedPath(), outline.colour);
}

double baselineOffsetFromMiddle(const TextArrangement& arrangement, const LineMetrics& metrics)
{
    const double halfHeight = (metrics.ascent + metrics.descent) / 2;
    switch (arrangement.verticalAlignment) {
    case TextVerticalAlignment::Top: return -halfHeight;
    case TextVerticalAlignment::Bottom: return halfHeight;
    case TextVerticalAlignment::Proportional: return arrangement.proportionalOffset;
    case TextVerticalAlignment::CentredOnLine: return (metrics.ascent - metrics.descent) / 2 - metrics.capHeight / 2;
    case TextVerticalAlignment::Middle: break;
    }
    return 0;
}

} // namespace platform
