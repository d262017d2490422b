#include "platform/vantrix/tools/VXPathPointTool.h"

#include "platform/vantrix/drawables/ParametricPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/PathPointEditing.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"

namespace {

// How near (in viewport pixels) a click must come to a path or a point.
constexpr double kHitPixels = 4.0;

} // namespace

VXPathPointTool::VXPathPointTool(Operation operation)
    : m_operation(operation)
{
}

int VXPathPointTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject*, VXLayer* layer,
                                                                    QMouseEvent*, VXToolController* delegate)
{
    m_edited = false;
    auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer);
    if (!objectLayer || !isValidTargetLayer(layer))
        return 0;
    const double scale = delegate && delegate->view() ? delegate->view()->scale() : 1.0;
    const double tolerance = kHitPixels / scale;
    // The topmost selected path that the click edits.
    const QList<VXDrawableObjectPtr> selection = objectLayer->selectedAvailableObjects();
    for (auto it = selection.crbegin(); it != selection.crend(); ++it) {
        auto* path = qobject_cast<VXDrawablePath*>(it->get());
        if (!path || qobject_cast<platform::ParametricPath*>(path))
            continue;
        const std::optional<platform::BezierPath> edited =
            m_operation == Operation::InsertPoint
                ? platform::bezierPathByInsertingPointNear(path->path(), point, tolerance)
                : platform::bezierPathByDeletingPointNear(path->path(), point, tolerance);
        if (edited) {
            path->setPath(*edited);
            m_edited = true;
            return 1;
        }
    }
    return 0;
}

bool VXPathPointTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*,
                                                               VXToolController*)
{
    return std::exchange(m_edited, false);
}
