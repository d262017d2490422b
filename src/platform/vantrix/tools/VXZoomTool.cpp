#include "platform/vantrix/tools/VXZoomTool.h"

#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Drags shorter than this many pixels on screen are clicks.
constexpr double kMinimumDragPixels = 4.0;

} // namespace

int VXZoomTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject*, VXLayer*, QMouseEvent*,
                                                               VXToolController*)
{
    m_anchor = point;
    m_zoomRect = {};
    return 1;
}

void VXZoomTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent*,
                                                               VXToolController* delegate)
{
    VXDrawingView* view = delegate ? delegate->view() : nullptr;
    if (view)
        view->setNeedsDisplayInRect(m_zoomRect);
    m_zoomRect = QRectF(m_anchor, point).normalized();
    if (view)
        view->setNeedsDisplayInRect(m_zoomRect);
}

bool VXZoomTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent* event,
                                                          VXToolController* delegate)
{
    VXDrawingView* view = delegate ? delegate->view() : nullptr;
    const QRectF dragged = QRectF(m_anchor, point).normalized();
    m_zoomRect = {};
    if (!view)
        return false;
    view->viewport()->update();
    if (std::max(dragged.width(), dragged.height()) * view->scale() >= kMinimumDragPixels) {
        view->zoomViewToRect(dragged);
    } else {
        const bool out = m_zoomsOut != bool(event->modifiers() & Qt::AltModifier);
        view->zoomViewByFactorWithCentre(out ? 0.5 : 2.0, event->position());
    }
    return false;
}

void VXZoomTool::drawRectInView(QPainter& painter, const QRectF&, VXDrawingView*) const
{
    if (m_zoomRect.isNull())
        return;
    painter.save();
    painter.setPen(QPen(QColor(80, 80, 80), 0, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_zoomRect);
    painter.restore();
}
