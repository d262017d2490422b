#include "platform/vantrix/tools/VXDrawingTool.h"

#include "platform/ui/ResponderChain.h"
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

namespace {

VXDrawingView* enclosingView(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* view = qobject_cast<VXDrawingView*>(widget))
            return view;
    return nullptr;
}

// The one visible view among the candidates; none when there are several.
VXDrawingView* onlyVisibleView(const QList<VXDrawingView*>& views)
{
    VXDrawingView* only = nullptr;
    for (VXDrawingView* view : views) {
        if (!view->isVisible())
            continue;
        if (only)
            return nullptr;
        only = view;
    }
    return only;
}

VXDrawingView* viewOfMainWindow()
{
    QWidget* main = platform::ResponderChain::mainWindow();
    if (!main)
        return nullptr;
    if (VXDrawingView* view = enclosingView(platform::ResponderChain::focusedWidgetOf(main)))
        return view;
    return onlyVisibleView(main->findChildren<VXDrawingView*>());
}

} // namespace

VXToolController* VXDrawingTool::firstResponderAbleToSetTool()
{
    VXDrawingView* view = enclosingView(QApplication::focusWidget());
    if (!view)
        view = viewOfMainWindow();
    if (!view) {
        QList<VXDrawingView*> views;
        for (QWidget* widget : QApplication::allWidgets())
            if (auto* candidate = qobject_cast<VXDrawingView*>(widget))
                views.append(candidate);
        view = onlyVisibleView(views);
    }
    return view ? view->toolController() : nullptr;
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
