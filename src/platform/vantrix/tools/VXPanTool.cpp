#include "platform/vantrix/tools/VXPanTool.h"

#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>

int VXPanTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF, VXDrawableObject*, VXLayer*, QMouseEvent* event,
                                                              VXToolController*)
{
    // Viewport positions: drawing positions shift under the pointer as the view scrolls.
    m_lastViewportPoint = event->position();
    return 1;
}

void VXPanTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent* event,
                                                              VXToolController* delegate)
{
    if (delegate && delegate->view())
        delegate->view()->scrollBy(m_lastViewportPoint - event->position());
    m_lastViewportPoint = event->position();
}

bool VXPanTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                         QMouseEvent* event, VXToolController* delegate)
{
    mouseDraggedToPointPartCodeLayerEventDelegate(point, partCode, layer, event, delegate);
    return false;
}
