#include "platform/vantrix/tools/VXDrawingTool.h"

#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>

VXDrawingTool::VXDrawingTool() = default;
VXDrawingTool::~VXDrawingTool() = default;

VXDrawingToolPtr VXDrawingTool::drawingToolWithName(const QString& name)
{
    return VXToolRegistry::sharedToolRegistry().drawingToolWithName(name);
}

VXToolController* VXDrawingTool::firstResponderAbleToSetTool()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<VXDrawingView*>(widget))
            return view->toolController();
    }
    // Without focus (offscreen, or focus in a panel) one visible view is unambiguous.
    VXDrawingView* only = nullptr;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* view = qobject_cast<VXDrawingView*>(widget);
        if (!view || !view->isVisible())
            continue;
        if (only)
            return nullptr;
        only = view;
    }
    return only ? only->toolController() : nullptr;
}

void VXDrawingTool::set()
{
    if (VXToolController* controller = firstResponderAbleToSetTool())
        controller->setDrawingTool(drawingToolWithName(m_registeredName));
}

bool VXDrawingTool::isValidTargetLayer(const VXLayer* layer) const
{
    return qobject_cast<const VXObjectDrawingLayer*>(layer) && layer->visible() && !layer->locked();
}
