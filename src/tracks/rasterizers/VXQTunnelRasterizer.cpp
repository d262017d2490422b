#include "tracks/rasterizers/VXQTunnelRasterizer.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr double kDefaultWidth = 6.0;

bool isCapStyle(int style)
{
    return style >= int(platform::LineCapStyle::Butt) && style <= int(platform::LineCapStyle::Square);
}

} // namespace

VXQTunnelRasterizer::VXQTunnelRasterizer()
{
    const RestoringScope restoring(this);
    setWidth(kDefaultWidth);
    setDash(VXStrokeDash::dashWithPatternPhase({1.0, 0.5}));
}

QString VXQTunnelRasterizer::displayName() const
{
    return tr("Tunnel");
}

void VXQTunnelRasterizer::setPortalWidth(double width)
{
    setValueForKeyWithUndo(m_portalWidth, std::max(width, 0.0), "portalWidth");
}

void VXQTunnelRasterizer::setPortalHeight(double height)
{
    setValueForKeyWithUndo(m_portalHeight, std::max(height, 0.0), "portalHeight");
}

void VXQTunnelRasterizer::setPortalCapStyle(int style)
{
    if (isCapStyle(style))
        setValueForKeyWithUndo(m_portalCapStyle, style, "portalCapStyle");
}

void VXQTunnelRasterizer::setPortalKind(int kind)
{
    if (kind == kFlaredPortal || kind == kSquarePortal)
        setValueForKeyWithUndo(m_portalKind, kind, "portalKind");
}

QPainterPath VXQTunnelRasterizer::portalPathForPath(const platform::BezierPath& path) const
{
    QPainterPath portals;
    const double length = path.length();
    if (!(length > 0))
        return portals;
    double slope = 0;
    // The wings point away from the tunnel: backwards at its start, onwards at its end.
    QPointF point = path.pointOnPathAtLengthSlope(0, &slope);
    portals.addPolygon(portalAt(point, slope, -1));
    point = path.pointOnPathAtLengthSlope(length, &slope);
    portals.addPolygon(portalAt(point, slope, 1));
    return portals;
}

QPolygonF VXQTunnelRasterizer::portalAt(QPointF point, double slope, double outward) const
{
    const QPointF along(std::cos(slope), std::sin(slope));
    const QPointF across(-along.y(), along.x());
    const QPointF halfBar = across * (m_portalHeight * width() / 2);
    const double wing = m_portalWidth * width();
    const QPointF back = along * (outward * wing);
    // Flared wings keep their depth along the path and open by as much again.
    const QPointF spread = m_portalKind == kFlaredPortal ? across * wing : QPointF();
    return QPolygonF({point - halfBar + back - spread, point - halfBar, point + halfBar, point + halfBar + back + spread});
}

void VXQTunnelRasterizer::render(const VXRenderable& object) const
{
    VXStroke::render(object);
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const QPainterPath portals = portalPathForPath(object.renderingPath());
    platform::BezierPath styled(portals);
    styled.setLineWidth(kPortalLineWidthFactor * width());
    styled.setLineCapStyle(platform::LineCapStyle(m_portalCapStyle));
    styled.setLineJoinStyle(platform::LineJoinStyle(lineJoinStyle()));
    context->painter()->strokePath(portals, styled.penWithColour(colour()));
}

QSizeF VXQTunnelRasterizer::extraSpaceNeeded() const
{
    const QSizeF stroke = VXStroke::extraSpaceNeeded();
    const double portal = (m_portalHeight / 2 + m_portalWidth * M_SQRT2 + kPortalLineWidthFactor) * width();
    return {std::max(stroke.width(), portal), std::max(stroke.height(), portal)};
}
