#include "panels/search/VXQSmartSelectTool.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXShapeFactory.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

#include <QPainter>
#include <cmath>

namespace {

constexpr double kCrossScale = 8;

QRectF squareAround(QPointF centre, float radius)
{
    return QRectF(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
}

} // namespace

VXQSmartSelectTool::VXQSmartSelectTool() = default;
VXQSmartSelectTool::~VXQSmartSelectTool() = default;

void VXQSmartSelectTool::registerWithRegistry(VXToolRegistry& registry)
{
    registry.registerDrawingToolWithName(std::make_shared<VXQSmartSelectTool>(), kToolName);
}

QString VXQSmartSelectTool::infoString(const VXDrawing& drawing) const
{
    const float converted = float(drawing.convertLength(m_radius));
    return QString::asprintf("Radius: %.2f", double(converted)) + drawing.abbreviatedDrawingUnits() + QLatin1Char('\r')
           + (m_query ? m_query->userReadableDescription() : QString());
}

bool VXQSmartSelectTool::isValidTargetLayer(const VXLayer* layer) const
{
    return qobject_cast<const VXQMappingLayer*>(layer) != nullptr;
}

int VXQSmartSelectTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject*, VXLayer* layer,
                                                                       QMouseEvent*, VXToolController*)
{
    m_anchor = point;
    m_radius = 0;
    m_rect = QRectF();
    m_layer = qobject_cast<VXQMappingLayer*>(layer);
    if (m_layer)
        m_layer->deselectAll();
    return 0;
}

void VXQSmartSelectTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent*,
                                                                       VXToolController*)
{
    VXQMappingLayer* layer = m_layer;
    if (!layer)
        return;
    invalidateCircle(*layer);
    m_radius = std::hypot(float(point.x() - m_anchor.x()), float(point.y() - m_anchor.y()));
    m_rect = squareAround(m_anchor, m_radius);
    invalidateCircle(*layer);
    const QList<VXDrawableObjectPtr> found = layer->objectsWithinRadiusOfPointMatchingQuery(m_radius, m_anchor, m_query.get());
    if (found.isEmpty())
        layer->deselectAll();
    else
        layer->exchangeSelectionWithObjectsFromArray(found);
    if (const VXDrawing* drawing = layer->drawing())
        layer->showInfoWindowWithStringAtPoint(infoString(*drawing), point);
}

bool VXQSmartSelectTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*,
                                                                  VXToolController*)
{
    endGesture();
    return false;
}

void VXQSmartSelectTool::abandonGesture()
{
    endGesture();
}

void VXQSmartSelectTool::endGesture()
{
    if (VXQMappingLayer* layer = m_layer) {
        invalidateCircle(*layer);
        layer->hideInfoWindow();
    }
    m_radius = 0;
    m_rect = QRectF();
    m_layer = nullptr;
}

void VXQSmartSelectTool::invalidateCircle(VXLayer& layer) const
{
    layer.setNeedsDisplayInRect(squareAround(m_anchor, m_radius).adjusted(-1, -1, 1, 1));
}

void VXQSmartSelectTool::drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView*) const
{
    if (m_rect.isNull() || !rect.intersects(m_rect.adjusted(-kCrossScale, -kCrossScale, kCrossScale, kCrossScale)))
        return;
    const platform::GraphicsContext::Scope scope(&painter, true, true);
    VXSelectAndEditTool::defaultMarqueeStyle()->render(*this);
}

platform::BezierPath VXQSmartSelectTool::renderingPath() const
{
    platform::BezierPath path = platform::BezierPath::bezierPathWithOvalInRect(m_rect);
    platform::BezierPath cross = VXShapeFactory::diagonalCross();
    QTransform placement;
    placement.translate(m_anchor.x(), m_anchor.y());
    placement.scale(kCrossScale, kCrossScale);
    cross.transformUsingAffineTransform(placement);
    path.appendBezierPath(cross);
    return path;
}

QRectF VXQSmartSelectTool::bounds() const
{
    const platform::BezierPath path = renderingPath();
    return path.isEmpty() ? QRectF() : path.painterPath().boundingRect();
}
