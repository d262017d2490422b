#include "furniture/scalebar/pane/ScaleBarPaneHost.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QLayout>
#include <QVBoxLayout>

namespace {

QList<ZQObjectPtr> selectedScaleBars(const VXObjectDrawingLayer* layer)
{
    QList<ZQObjectPtr> bars;
    if (layer)
        for (const VXDrawableObjectPtr& object : layer->selectedAvailableObjects())
            if (std::dynamic_pointer_cast<VXQScaleBarShape>(object))
                bars.append(object);
    return bars;
}

} // namespace

ScaleBarPaneHost::ScaleBarPaneHost()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXLayerSelectionDidChange, nullptr, [this](const platform::Notification& notification) {
            selectionDidChangeInLayer(qobject_cast<VXObjectDrawingLayer*>(notification.object()));
        });
}

ScaleBarPaneHost::~ScaleBarPaneHost()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void ScaleBarPaneHost::selectionDidChangeInLayer(VXObjectDrawingLayer* layer)
{
    const VXDrawing* drawing = layer ? layer->drawing() : nullptr;
    auto* document = drawing ? qobject_cast<ZQQuorvaneDocument*>(drawing->owner()) : nullptr;
    QWidget* panel = document ? document->rightHandSidebarTabView() : nullptr;
    if (!panel)
        return;
    m_shown.removeIf([](const Shown& shown) { return !shown.document; });
    auto found = std::find_if(m_shown.begin(), m_shown.end(), [&](const Shown& shown) { return shown.document == document; });
    const bool showsBars = !selectedScaleBars(layer).isEmpty();
    if (found == m_shown.end()) {
        if (!showsBars)
            return;
        Shown shown{document, layer, std::make_shared<VLTM_VXQScaleBarShapeController>()};
        if (!panel->layout())
            new QVBoxLayout(panel);
        panel->layout()->addWidget(shown.pane->view());
        m_shown.append(shown);
        found = m_shown.end() - 1;
        found->pane->setDataSource(this);
    }
    found->layer = layer;
    m_lastDocument = document;
    found->pane->view()->setVisible(showsBars);
    found->pane->reloadContent();
}

VLTM_VXQScaleBarShapeController* ScaleBarPaneHost::paneOfDocument(const ZQQuorvaneDocument* document) const
{
    for (const Shown& shown : m_shown)
        if (shown.document == document)
            return shown.pane.get();
    return nullptr;
}

ScaleBarPaneHost::Shown* ScaleBarPaneHost::shownForController(const VLTMGenericObjectController* controller)
{
    for (Shown& shown : m_shown)
        if (shown.pane.get() == controller)
            return &shown;
    return nullptr;
}

QList<ZQObjectPtr> ScaleBarPaneHost::selectedContentForObjectController(VLTMGenericObjectController* controller)
{
    const Shown* shown = shownForController(controller);
    return shown ? selectedScaleBars(shown->layer) : QList<ZQObjectPtr>();
}

ZQUndoManager* ScaleBarPaneHost::undoManager() const
{
    // Panes write to the selection that changed last, which is in this document.
    return m_lastDocument ? m_lastDocument->undoManager() : nullptr;
}
