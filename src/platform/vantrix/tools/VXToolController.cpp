#include "platform/vantrix/tools/VXToolController.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <functional>
#include <utility>

namespace {

bool g_toolsAutoActivateValidLayer = false;

VXDrawingToolPtr selectionTool() { return VXDrawingTool::drawingToolWithName(kVXStandardSelectionToolName); }

// The first layer of the group (depth first, top first) the tool accepts.
VXLayer* firstValidLayer(const VXLayerGroup& group, const VXDrawingTool& tool)
{
    const QList<VXLayerPtr>& layers = group.layers();
    for (auto it = layers.crbegin(); it != layers.crend(); ++it) {
        VXLayer* layer = it->get();
        if (tool.isValidTargetLayer(layer) && layer->layerMayBecomeActive())
            return layer;
        if (auto* inner = qobject_cast<const VXLayerGroup*>(layer)) {
            if (VXLayer* found = firstValidLayer(*inner, tool))
                return found;
        }
    }
    return nullptr;
}

// The topmost object under the point in a visible, unlocked object layer other than `skipped`
// that may become active, with its layer.
std::pair<VXObjectOwnerLayer*, VXDrawableObjectPtr> hitInOtherLayer(const VXDrawing& drawing, QPointF point,
                                                                    const VXLayer* skipped)
{
    for (const VXLayerPtr& layer : drawing.flattenedLayers()) {
        auto* objects = qobject_cast<VXObjectOwnerLayer*>(layer.get());
        if (!objects || objects == skipped || !objects->visible() || objects->locked() || !objects->layerMayBecomeActive())
            continue;
        if (VXDrawableObjectPtr hit = objects->hitTest(point))
            return {objects, hit};
    }
    return {};
}

} // namespace

VXToolController::VXToolController(VXDrawingView* view)
    : m_view(view)
    , m_tool(selectionTool())
{
}

VXToolController::~VXToolController()
{
    if (m_gestureUndo)
        m_gestureUndo->finish();
    if (m_gestureUndoManager)
        m_gestureUndoManager->endUndoGrouping();
}

bool VXToolController::toolsAutoActivateValidLayer() { return g_toolsAutoActivateValidLayer; }
void VXToolController::setToolsAutoActivateValidLayer(bool activates) { g_toolsAutoActivateValidLayer = activates; }

void VXToolController::setDrawingTool(const VXDrawingToolPtr& tool)
{
    const VXDrawingToolPtr next = tool ? tool : selectionTool();
    if (next == m_tool)
        return;
    abandonGesture();
    if (m_tool)
        m_tool->toolControllerWillUnsetTool(this);
    m_tool = next;
    if (m_tool) {
        m_tool->toolControllerDidSetTool(this);
        if (m_view)
            m_view->viewport()->setCursor(m_tool->cursor());
    }
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDidChangeToolNotification, this);
}

void VXToolController::selectDrawingToolByName(const QString& name)
{
    if (VXDrawingToolPtr tool = VXDrawingTool::drawingToolWithName(name))
        setDrawingTool(tool);
}

bool VXToolController::selectDrawingToolWithKeyboardEquivalent(const QString& key)
{
    const VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    for (const QString& name : registry.names()) {
        VXDrawingToolPtr tool = registry.drawingToolWithName(name);
        if (!tool->keyboardEquivalent().isEmpty() && tool->keyboardEquivalent().compare(key, Qt::CaseInsensitive) == 0) {
            setDrawingTool(tool);
            return true;
        }
    }
    return false;
}

void VXToolController::setAutomaticallyRevertsToSelectionTool(bool reverts)
{
    if (reverts == m_autoRevert)
        return;
    m_autoRevert = reverts;
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDidChangeToolAutoRevertStateNotification,
                                                                      this);
}

void VXToolController::toggleAutoRevertAction(QObject*) { setAutomaticallyRevertsToSelectionTool(!m_autoRevert); }

VXLayer* VXToolController::targetLayer() const
{
    VXDrawing* drawing = m_view ? m_view->drawing() : nullptr;
    if (!drawing)
        return nullptr;
    VXLayer* active = drawing->activeLayer();
    if (g_toolsAutoActivateValidLayer && m_tool && !m_tool->isValidTargetLayer(active)) {
        if (VXLayer* valid = firstValidLayer(*drawing, *m_tool); valid && drawing->setActiveLayer(valid))
            return valid;
    }
    return active;
}

VXLayer* VXToolController::mouseTakingLayer() const
{
    VXDrawing* drawing = m_view ? m_view->drawing() : nullptr;
    VXLayer* active = drawing ? drawing->activeLayer() : nullptr;
    if (!active || !m_tool || active->locked() || !active->wantsMouseEvents())
        return nullptr;
    if (!m_tool->isSelectionTool() && !active->implementsOwnTools())
        return nullptr;
    return active;
}

void VXToolController::sendToLayer(VXLayer* layer, QMouseEvent* event,
                                   void (VXLayer::*hook)(const VXLayerMouseEvent&, VXDrawingView*))
{
    (layer->*hook)(VXLayerMouseEvent::fromEventInView(*event, *m_view), m_view);
    if (m_view)
        m_view->viewport()->setCursor(layer->cursor());
}

// --- Gestures ---------------------------------------------------------------------------------

void VXToolController::beginGesture()
{
    m_inGesture = true;
    m_gestureUndoManager = m_view->drawing()->undoManager();
    if (!m_gestureUndoManager)
        return;
    // A gesture is its own undo step, apart from whatever the event before it did.
    m_gestureUndoManager->closeAutomaticGroup();
    m_gestureUndoManager->beginUndoGrouping();
    m_gestureUndo.emplace(m_gestureUndoManager);
}

void VXToolController::endGesture(bool changed)
{
    m_inGesture = false;
    if (m_gestureUndo) {
        m_gestureUndo->finish();
        m_gestureUndo.reset();
    }
    if (ZQUndoManager* undo = std::exchange(m_gestureUndoManager, nullptr)) {
        if (changed && !m_tool->actionName().isEmpty())
            undo->setActionName(m_tool->actionName());
        undo->endUndoGrouping();
    }
    if (changed && m_autoRevert && !m_tool->isSelectionTool())
        setDrawingTool(nullptr);
}

void VXToolController::mouseDown(QMouseEvent* event)
{
    if (!m_view || !m_view->drawing() || !m_tool || event->button() != Qt::LeftButton)
        return;
    if (!m_inGesture) {
        if (VXLayer* layer = mouseTakingLayer()) {
            m_layerGesture = layer;
            sendToLayer(layer, event, &VXLayer::mouseDownInView);
            return;
        }
    }
    const QPointF point = m_view->convertPointToDrawing(event->position());
    VXLayer* layer = targetLayer();
    VXDrawableObjectPtr target;
    if (auto* objectLayer = qobject_cast<VXObjectOwnerLayer*>(layer); objectLayer && !layer->locked())
        target = objectLayer->hitTest(point);
    if (!target && !m_inGesture && m_tool->isSelectionTool() && VXDrawingPreferences::current().layerAutoActivation) {
        VXDrawing* drawing = m_view->drawing();
        if (auto [owner, hit] = hitInOtherLayer(*drawing, point, layer); owner && drawing->setActiveLayer(owner)) {
            layer = owner;
            target = hit;
        }
    }
    const bool continuing = m_inGesture;
    if (!continuing)
        beginGesture();
    m_gestureLayer = layer;
    const VXDrawingToolPtr tool = m_tool; // the tool may change the current tool
    m_partCode = tool->mouseDownAtPointTargetObjectLayerEventDelegate(point, target.get(), layer, event, this);
    // A multi-click gesture may end on a press (a double click); its release then belongs to no gesture.
    if (continuing && !tool->isInMultiClickGesture())
        endGesture(tool->mouseUpAtPointPartCodeLayerEventDelegate(point, m_partCode, layer, event, this));
}

void VXToolController::mouseMoved(QMouseEvent* event)
{
    if (!m_view || !m_view->drawing() || !m_tool)
        return;
    if (m_layerGesture && (event->buttons() & Qt::LeftButton)) {
        sendToLayer(m_layerGesture, event, &VXLayer::mouseDraggedInView);
        return;
    }
    if (!m_inGesture && !(event->buttons() & Qt::LeftButton)) {
        if (VXLayer* layer = mouseTakingLayer()) {
            sendToLayer(layer, event, &VXLayer::mouseMovedInView);
            return;
        }
    }
    if (m_inGesture && (event->buttons() & Qt::LeftButton)) {
        const QPointF point = m_view->convertPointToDrawing(event->position());
        m_tool->mouseDraggedToPointPartCodeLayerEventDelegate(point, m_partCode, m_gestureLayer, event, this);
    } else {
        m_tool->mouseMovedInView(event, m_view);
    }
}

void VXToolController::mouseUp(QMouseEvent* event)
{
    if (m_layerGesture && m_view && event->button() == Qt::LeftButton) {
        VXLayer* layer = m_layerGesture;
        m_layerGesture = nullptr;
        sendToLayer(layer, event, &VXLayer::mouseUpInView);
        return;
    }
    if (!m_inGesture || !m_view || event->button() != Qt::LeftButton)
        return;
    const QPointF point = m_view->convertPointToDrawing(event->position());
    const VXDrawingToolPtr tool = m_tool;
    const bool changed = tool->mouseUpAtPointPartCodeLayerEventDelegate(point, m_partCode, m_gestureLayer, event, this);
    if (!tool->isInMultiClickGesture())
        endGesture(changed);
}

void VXToolController::abandonGesture()
{
    if (!m_inGesture)
        return;
    m_tool->abandonGesture();
    endGesture(false);
}

void VXToolController::drawRectInView(QPainter& painter, const QRectF& rect) const
{
    if (m_tool)
        m_tool->drawRectInView(painter, rect, m_view);
}
