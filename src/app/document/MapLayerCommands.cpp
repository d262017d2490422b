#include "app/document/MapLayerCommands.h"

#include "app/services/LayersPanelCommands.h"
#include "app/sidebar/SidebarTabView.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/ViewController.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ZQQuorvaneDocument", text);
}

} // namespace

bool MapLayerCommands::couldAddNewLayerOrLayerGroup() const
{
    if (const LayersPanelCommands* panel = layersPanel())
        return panel->canAddLayerOrGroup();
    return m_document.drawing() != nullptr;
}

bool MapLayerCommands::couldDuplicateLayer() const
{
    if (const LayersPanelCommands* panel = layersPanel())
        return panel->canDuplicateLayerOrGroup();
    const VXLayer* layer = m_document.activeLayer();
    return layer && layer->layerGroup();
}

bool MapLayerCommands::couldDeleteLayer() const
{
    if (const LayersPanelCommands* panel = layersPanel())
        return panel->canDeleteLayerOrGroup();
    const VXLayer* layer = m_document.activeLayer();
    if (!layer || !layer->layerGroup() || !layer->layerMayBeDeleted())
        return false;
    const auto* group = dynamic_cast<const VXLayerGroup*>(layer);
    const QList<VXLayerPtr> layers = m_document.drawing()->flattenedLayers();
    return std::any_of(layers.begin(), layers.end(), [&](const VXLayerPtr& other) {
        const bool goes = other.get() == layer || (group && group->containsLayer(other.get()));
        return !goes && other->layerMayBecomeActive();
    });
}

void MapLayerCommands::newDrawingLayer(QObject* sender)
{
    if (layersPanel()) {
        forwardToLayersPanel(&LayersPanelCommands::canAddLayerOrGroup, &LayersPanelCommands::addLayerAction, sender);
        return;
    }
    if (!couldAddNewLayerOrLayerGroup())
        return;
    VXLayerPtr layer = m_document.makeDefaultDrawingLayer();
    layer->setLayerName(m_document.drawing()->uniqueLayerNameForName(tr("Layer")));
    insertLayerWithActionName(layer, tr("New Layer"));
}

void MapLayerCommands::addLayerGroup(QObject* sender)
{
    if (layersPanel()) {
        forwardToLayersPanel(&LayersPanelCommands::canAddLayerOrGroup, &LayersPanelCommands::addlayerGroupAction,
                             sender);
        return;
    }
    if (!couldAddNewLayerOrLayerGroup())
        return;
    const VXDrawingPtr drawing = m_document.drawing();
    auto group = std::make_shared<VXLayerGroup>();
    group->setLayerName(drawing->uniqueLayerNameForName(tr("Group")));
    VXLayerPtr layer = m_document.makeDefaultDrawingLayer();
    layer->setLayerName(drawing->uniqueLayerNameForName(tr("Layer")));
    group->addLayer(layer);
    insertLayerWithActionName(group, tr("New Layer Group"));
    drawing->setActiveLayer(layer.get());
}

void MapLayerCommands::deleteLayer(QObject* sender)
{
    if (layersPanel()) {
        forwardToLayersPanel(&LayersPanelCommands::canDeleteLayerOrGroup, &LayersPanelCommands::deleteLayerAction,
                             sender);
        return;
    }
    if (!couldDeleteLayer())
        return;
    VXLayer* layer = m_document.activeLayer();
    layer->layerGroup()->removeLayer(layer);
    m_document.undoManager()->setActionName(tr("Delete Layer"));
}

void MapLayerCommands::duplicateLayer(QObject* sender)
{
    if (layersPanel()) {
        forwardToLayersPanel(&LayersPanelCommands::canDuplicateLayerOrGroup,
                             &LayersPanelCommands::duplicateLayerAction, sender);
        return;
    }
    if (couldDuplicateLayer())
        insertLayerWithActionName(m_document.activeLayer()->duplicateLayer(), tr("Duplicate Layer"));
}

void MapLayerCommands::toggleLock()
{
    VXLayer* layer = m_document.activeLayer();
    if (!layer)
        return;
    layer->setLocked(!layer->locked());
    m_document.undoManager()->setActionName(layer->locked() ? tr("Lock Layer") : tr("Unlock Layer"));
}

void MapLayerCommands::makeActive(QObject* sender)
{
    const VXLayerPtr layer = sender ? sender->property("representedObject").value<VXLayerPtr>() : nullptr;
    if (layer && m_document.drawing())
        m_document.drawing()->setActiveLayer(layer.get());
}

void MapLayerCommands::setActiveLayerUndoably(VXLayer* layer)
{
    VXLayer* previous = m_document.activeLayer();
    if (!m_document.drawing() || previous == layer)
        return;
    m_document.undoManager()->registerUndoWithTargetHandler(
        &m_document, [this, previous = previous ? previous->weak_from_this() : std::weak_ptr<ZQObject>()] {
            setActiveLayerUndoably(dynamic_cast<VXLayer*>(previous.lock().get()));
        });
    m_document.drawing()->setActiveLayer(layer);
}

void MapLayerCommands::insertLayerWithActionName(const VXLayerPtr& layer, const QString& actionName)
{
    VXLayer* active = m_document.activeLayer();
    VXLayerGroup* group = active && active->layerGroup() ? active->layerGroup() : m_document.drawing().get();
    const int index = active && active->layerGroup() ? group->indexOfLayer(active) : 0;
    group->insertObjectInLayersAtIndex(layer, index);
    m_document.drawing()->setActiveLayer(layer.get());
    m_document.undoManager()->setActionName(actionName);
}

LayersPanelCommands* MapLayerCommands::layersPanel() const
{
    const SidebarTab* tab = m_document.tabWithIdentifier(kVLTMTabViewLayers);
    return tab ? dynamic_cast<LayersPanelCommands*>(tab->viewController()) : nullptr;
}

void MapLayerCommands::forwardToLayersPanel(bool (LayersPanelCommands::*query)() const,
                                            void (LayersPanelCommands::*action)(QObject*), QObject* sender)
{
    LayersPanelCommands* panel = layersPanel();
    if (!panel || !(panel->*query)())
        return;
    m_document.selectTabWithIdentifier(kVLTMTabViewLayers);
    (panel->*action)(sender);
}
