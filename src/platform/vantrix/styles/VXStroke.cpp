#include "platform/vantrix/styles/VXStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PolylineStroke.h"
#include "platform/graphics/SidewaysOffset.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

constexpr int kStyleCount = 3; // caps and joins: 0, 1, 2

bool isStyleIndex(int value)
{
    return value >= 0 && value < kStyleCount;
}

} // namespace

VXStroke::VXStroke() = default;

std::shared_ptr<VXStroke> VXStroke::strokeWithWidthColour(double width, const QColor& colour)
{
    auto stroke = std::make_shared<VXStroke>();
    stroke->setWidth(width);
    stroke->setColour(colour);
    return stroke;
}

QString VXStroke::displayName() const
{
    return tr("Stroke");
}

void VXStroke::setWidth(double width)
{
    setValueForKeyWithUndo(m_width, std::max(width, 0.0), "width");
}

void VXStroke::setColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_colour, colour, "colour");
}

void VXStroke::setLineCapStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineCapStyle, style, "lineCapStyle");
}

void VXStroke::setLineJoinStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineJoinStyle, style, "lineJoinStyle");
}

void VXStroke::setMiterLimit(double limit)
{
    if (limit >= 1 && std::isfinite(limit))
        setValueForKeyWithUndo(m_miterLimit, limit, "miterLimit");
}

void VXStroke::setDash(const VXStrokeDashPtr& dash)
{
    setValueForKeyWithUndo(m_dash, dash, "dash");
}

void VXStroke::setLateralOffset(double offset)
{
    setValueForKeyWithUndo(m_lateralOffset, offset, "lateralOffset");
}

void VXStroke::setShadow(const VXShadowPtr& shadow)
{
    setValueForKeyWithUndo(m_shadow, shadow, "shadow");
}

void VXStroke::setClipping(int clipping)
{
    if (platform::isClippingValue(clipping))
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

platform::BezierPath VXStroke::styledPath(const platform::BezierPath& path) const
{
    platform::BezierPath styled = m_lateralOffset != 0 ? platform::sidewaysOffsetPath(path, m_lateralOffset) : path;
    styled.setLineWidth(m_width);
    styled.setLineCapStyle(platform::LineCapStyle(m_lineCapStyle));
    styled.setLineJoinStyle(platform::LineJoinStyle(m_lineJoinStyle));
    styled.setMiterLimit(m_miterLimit);
    if (m_dash)
        m_dash->applyToPath(styled);
    else
        styled.setLineDash({});
    return styled;
}

void VXStroke::renderPath(const platform::BezierPath& path) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || m_width <= 0)
        return;
    const platform::BezierPath styled = styledPath(path);
    const QPen pen = styled.penWithColour(m_colour);
    if (m_shadow)
        m_shadow->drawShadowForPath(QPainterPathStroker(pen).createStroke(styled.painterPath()), m_colour);
    if (m_colour.isValid())
        platform::strokePath(*context->painter(), styled.painterPath(), pen);
}

void VXStroke::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    const platform::BezierPath path = object.renderingPath();
    if (m_clipping == kVXNoClipping) {
        renderPath(path);
        return;
    }
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(), m_clipping);
    renderPath(path);
    painter->restore();
}

QSizeF VXStroke::extraSpaceNeeded() const
{
    // Miter joins reach beyond half the width at corners: twice covers corners down to
    // 60 degrees (sharper spikes are rare in maps). Square caps need the diagonal.
    const double reach = m_lineJoinStyle == int(platform::LineJoinStyle::Miter) ? std::min(2.0, m_miterLimit)
        : m_lineCapStyle == int(platform::LineCapStyle::Square)                  ? M_SQRT2
                                                                                 : 1.0;
    const double extra = m_width / 2 * reach + std::abs(m_lateralOffset);
    const QSizeF shadow = m_shadow ? m_shadow->extraSpace() : QSizeF(0, 0);
    return {extra + shadow.width(), extra + shadow.height()};
}

bool VXStroke::isValid() const
{
    return m_width > 0 && ((m_colour.isValid() && m_colour.alpha() > 0) || m_shadow);
}
