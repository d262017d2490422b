#include "platform/vantrix/styles/VXRoughStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/ObjectRandom.h"
#include "platform/vantrix/styles/VXClipping.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

double perimeter(const QList<QPolygonF>& polygons)
{
    double length = 0;
    for (const QPolygonF& polygon : polygons)
        for (qsizetype i = 1; i < polygon.size(); ++i)
            length += QLineF(polygon[i - 1], polygon[i]).length();
    return length;
}

} // namespace

VXRoughStroke::VXRoughStroke() = default;

QString VXRoughStroke::displayName() const
{
    return tr("Rough Stroke");
}

void VXRoughStroke::setRoughness(double roughness)
{
    setValueForKeyWithUndo(m_roughness, std::clamp(roughness, 0.0, 2.0), "roughness");
}

QPainterPath VXRoughStroke::roughOutlineForObject(const VXRenderable& object) const
{
    const platform::BezierPath styled = styledPath(object.renderingPath());
    const QPainterPath outline =
        QPainterPathStroker(styled.penWithColour(Qt::black)).createStroke(styled.painterPath());
    const QList<QPolygonF> polygons = outline.toSubpathPolygons();
    // Pieces about half the width long, fewer on a very long outline.
    const double piece = std::max({width() / 2, 0.25, perimeter(polygons) / kMaximumCornerCount});
    const double reach = m_roughness * width();
    platform::ObjectRandom random(object);
    QPainterPath rough;
    rough.setFillRule(Qt::WindingFill);
    for (const QPolygonF& polygon : polygons) {
        QPolygonF jagged;
        for (qsizetype i = 1; i < polygon.size(); ++i) {
            const QLineF edge(polygon[i - 1], polygon[i]);
            const int pieces = std::max(1, qCeil(edge.length() / piece));
            for (int k = 0; k < pieces; ++k) {
                const QPointF jitter(random.signedUnit(), random.signedUnit());
                jagged.append(edge.pointAt(double(k) / pieces) + jitter * reach);
            }
        }
        if (!jagged.isEmpty())
            rough.addPolygon(jagged);
        rough.closeSubpath();
    }
    return rough;
}

void VXRoughStroke::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (m_roughness <= 0 || width() <= 0) {
        VXStroke::render(object);
        return;
    }
    if (!context)
        return;
    const QPainterPath rough = roughOutlineForObject(object);
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, object.renderingPath().painterPathWithWindingRule(),
                                clipping());
    if (shadow())
        shadow()->drawShadowForPath(rough, colour());
    if (colour().isValid())
        painter->fillPath(rough, colour());
    painter->restore();
}

QSizeF VXRoughStroke::extraSpaceNeeded() const
{
    const double rough = m_roughness * width();
    return VXStroke::extraSpaceNeeded() + QSizeF(rough, rough);
}
