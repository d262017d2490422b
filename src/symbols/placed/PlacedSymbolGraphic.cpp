#include "symbols/placed/PlacedSymbolGraphic.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXKnob.h"
#include "symbols/placed/VXQSymbol.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kHighlightWidth = 4.0;
constexpr double kOutlineWidth = 0.5;

} // namespace

void PlacedSymbolGraphic::draw(platform::GraphicsContext& context) const
{
    context.saveGraphicsState();
    try {
        if (m_symbol.scalesVisually())
            context.painter()->setWorldTransform(m_symbol.placementTransform(), true);
        m_symbol.master()->drawSymbolInstance(&m_symbol, m_symbol.lentStyle());
    } catch (...) {
        context.restoreGraphicsState();
        throw;
    }
    context.restoreGraphicsState();
}

void PlacedSymbolGraphic::drawSelection(QPainter& painter) const
{
    QPainterPath rectangle;
    rectangle.addRect(m_symbol.cachedMasterBounds());
    const QPainterPath outline = m_symbol.placementTransform().map(rectangle);
    const VXObjectOwnerLayer* owner = m_symbol.layer();
    const QColor selectionColour = owner ? owner->selectionColour() : QColor(Qt::blue);
    const bool locked = m_symbol.locked();
    QColor highlight = locked ? QColor(Qt::lightGray) : QColor(Qt::blue);
    highlight.setAlphaF(locked ? 0.5 : 0.33);

    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen(highlight, kHighlightWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(outline, pen);
    painter.strokePath(outline, QPen(locked ? QColor(Qt::gray) : selectionColour, kOutlineWidth));
    painter.restore();
    if (locked)
        return;
    const VXKnob& knobs = VXKnob::knobs();
    knobs.drawKnobAtPointOfTypeAngleUserInfo(m_symbol.containerTransform().map(m_symbol.location()),
                                             kVXCentreTargetKnobType, m_symbol.angle(), {});
    if (m_symbol.showsSizeHandle())
        knobs.drawKnobAtPointOfTypeAngleHighlightColour(m_symbol.sizeHandlePoint(), kVXBoundingRectKnobType,
                                                        m_symbol.angle(), selectionColour);
}

bool PlacedSymbolGraphic::sizeHandleIsAt(QPointF point) const
{
    return m_symbol.showsSizeHandle()
           && VXKnob::knobs().hitTestPointInKnobAtPointOfTypeUserInfo(point, m_symbol.sizeHandlePoint(),
                                                                      kVXBoundingRectKnobType, {});
}

bool PlacedSymbolGraphic::graphicIsAt(QPointF point) const
{
    const VXDrawableObject* graphic = m_symbol.master() ? m_symbol.master()->object() : nullptr;
    const QTransform placement = m_symbol.placementTransform();
    if (!graphic || !placement.isInvertible())
        return false;
    return graphic->hitPart(placement.inverted().map(point) + graphic->location()) != kVXDrawingNoPart;
}
