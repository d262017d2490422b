#include "platform/vantrix/text/TextEffects.h"

#include "platform/graphics/GraphicsContext.h"

#include <QPainter>
#include <QPainterPathStroker>

namespace platform {

namespace {

QPainterPath strokeOf(const QPainterPath& path, double width, Qt::PenJoinStyle join)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(join);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(path);
}

bool isVisible(const QColor& colour)
{
    return colour.isValid() && colour.alpha() > 0;
}

} // namespace

double TextEffects::reach() const
{
    return std::max(knockoutDistance, outlineWidth / 2);
}

bool TextEffects::needsOutlines() const
{
    return (knockoutDistance > 0 && isVisible(knockoutColour)) || outlineWidth > 0;
}

void TextEffects::draw(const PlacedText& text) const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    if (knockoutDistance > 0 && isVisible(knockoutColour)) {
        for (const TextOutline& outline : text.outlines) {
            // The stroke reaches the distance outside the glyph; the fill covers its inside.
            painter->fillPath(outline.placement.map(strokeOf(outline.path, 2 * knockoutDistance, Qt::RoundJoin)),
                              knockoutColour);
            painter->fillPath(outline.placedPath(), knockoutColour);
        }
    }
    if (fillsGlyphs)
        text.drawGlyphs();
    if (outlineWidth > 0) {
        for (const TextOutline& outline : text.outlines)
            painter->fillPath(outline.placement.map(strokeOf(outline.path, outlineWidth, Qt::MiterJoin)),
                              outlineColour.isValid() ? outlineColour : outline.colour);
    }
}

} // namespace platform
