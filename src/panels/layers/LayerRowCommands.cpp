#include "panels/layers/LayerRowCommands.h"

#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/VLTMLayersController.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"

namespace {

bool isIndexGrid(const VXLayer* layer)
{
    // The index grid belongs to the furniture library; it is known here by name only.
    return layer->inherits("VXQSquareAnnotatedGrid");
}

} // namespace

LayerRowCommands::LayerRowCommands(QObject* item, VLTMLayersController* controller, QObject* parent)
    : QObject(parent)
    , m_item(item)
    , m_controller(controller)
{
}

QObject* LayerRowCommands::shownItem() const
{
    return m_controller && m_controller->model().indexForItem(m_item).isValid() ? m_item.data() : nullptr;
}

VXLayer* LayerRowCommands::layer() const
{
    return qobject_cast<VXLayer*>(shownItem());
}

void LayerRowCommands::updateRowContextualMenu(platform::Menu& menu)
{
    QAction* first = menu.actions().value(0);
    QList<QAction*> added;
    auto addItem = [&](const QString& title, const QByteArray& action) {
        auto* item = new platform::MenuItem(title, action, &menu);
        item->setTarget(this);
        menu.insertAction(first, item);
        added.append(item);
    };
    auto addSeparator = [&] { added.append(menu.insertSeparator(first)); };

    if (VXLayer* shown = layer()) {
        const bool isTop = qobject_cast<VXDrawing*>(shown) != nullptr;
        if (shown->layerMayBecomeActive() && !isTop) {
            addItem(tr("Activate Layer"), "makeActiveAction");
            addSeparator();
        }
        if (!shown->locked() && !isTop && shown->allowsRenaming())
            addItem(tr("Rename..."), "selectNameForEditingAction");
        if (shown->layerMayBeDeleted() && !isTop)
            addItem(qobject_cast<VXLayerGroup*>(shown) ? tr("Delete Layer Group...") : tr("Delete Layer..."),
                    "deleteAction");
        if (!isTop)
            addItem(tr("Duplicate"), "duplicateAction");
        if (qobject_cast<VXGuideLayer*>(shown) && !shown->locked()) {
            addItem(tr("Clear Guides..."), "clearGuidesAction");
        } else if (qobject_cast<VXGridLayer*>(shown)) {
            if (!shown->locked())
                addItem(isIndexGrid(shown) ? tr("Index Grid Settings...") : tr("Graph Paper Settings..."),
                        isIndexGrid(shown) ? "showIndexGridOptionsAction" : "showGridOptionsAction");
            if (!isIndexGrid(shown))
                addItem(tr("Snap To Graph Paper"), "toggleGraphPaperSnappingAction");
            addSeparator();
        } else if (shown->isSlicesLayer()) {
            addItem(tr("Export Slices..."), "exportSlicesAction");
        }
        if (isTop) {
            addItem(tr("Drawing Size & Units..."), "showDrawingOptionsAction");
        } else {
            addItem(tr("Hide"), "toggleVisibleAction");
            addItem(tr("Lock"), "toggleLockAction");
        }
    } else if (m_item) {
        const bool isSlice = qobject_cast<VXQSlice*>(m_item.data()) != nullptr;
        addItem(tr("Zoom Main View to This"), "zoomMainViewToObjectAction");
        addItem(QStringLiteral("%1 \u201c%2\u201d")
                    .arg(isSlice ? tr("Rename Slice") : tr("Rename"), m_item->property("name").toString()),
                "selectNameForEditingAction");
    }
    if (!added.isEmpty() && added.last()->isSeparator() == false)
        addSeparator();
    platform::Menu::validateActions(added);
}

bool LayerRowCommands::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (!shownItem())
        return false;
    VXLayer* shown = layer();
    if (action == "toggleLockAction") {
        item->setTitle(shown && shown->locked() ? tr("Unlock") : tr("Lock"));
        return true;
    }
    if (action == "toggleVisibleAction") {
        item->setTitle(shown && !shown->visible() ? tr("Show") : tr("Hide"));
        return true;
    }
    if (action == "makeActiveAction") {
        const bool active = shown && shown->isActive();
        item->setTitle(active ? tr("Active Layer") : tr("Activate Layer"));
        item->setState(active ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "toggleGraphPaperSnappingAction") {
        const VXDrawing* drawing = shown ? shown->drawing() : nullptr;
        item->setState(drawing && drawing->snapsToGrid() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "clearGuidesAction") {
        const auto* guides = qobject_cast<VXGuideLayer*>(shown);
        return guides && !guides->guides().isEmpty();
    }
    if (action == "exportSlicesAction") {
        const auto* slices = qobject_cast<VLTMSlicesLayer*>(shown);
        return slices && slices->countOfSlices() > 0;
    }
    if (action == "deleteAction")
        return shown && shown->layerMayBeDeleted();
    return platform::findMethod(this, action, 1).isValid();
}

// --- Layer rows --------------------------------------------------------------------------------------

void LayerRowCommands::makeActiveAction(QObject*)
{
    if (VXLayer* shown = layer())
        shown->attemptToMakeActive();
}

void LayerRowCommands::selectNameForEditingAction(QObject*)
{
    if (m_controller)
        m_controller->editNameOfItem(shownItem());
}

void LayerRowCommands::deleteAction(QObject*)
{
    if (m_controller && layer())
        m_controller->confirmDeleteLayer(layer());
}

void LayerRowCommands::duplicateAction(QObject*)
{
    VXLayer* shown = layer();
    if (!m_controller || !shown || qobject_cast<VXDrawing*>(shown))
        return;
    m_controller->addLayerToGroup(shown->duplicateLayer(), shown->layerGroup(), true);
    m_controller->setUndoActionName(tr("Duplicate Layer"));
}

void LayerRowCommands::clearGuidesAction(QObject*)
{
    auto* guides = qobject_cast<VXGuideLayer*>(layer());
    if (!guides || guides->locked())
        return;
    platform::Alert alert;
    alert.setMessageText(tr("Really Remove All Guides?"));
    alert.setInformativeText(tr("This operation cannot be undone."));
    alert.addButtonWithTitle(tr("Clear"));
    alert.addButtonWithTitle(tr("Cancel"));
    QWidget* window = m_controller && m_controller->isViewLoaded() ? m_controller->view()->window() : nullptr;
    alert.beginSheetModalForWindowCompletionHandler(window, [target = QPointer<VXGuideLayer>(guides)](int code) {
        if (target && code == platform::Alert::kDefaultReturn)
            target->clearGuides(nullptr);
    });
}

void LayerRowCommands::showGridOptionsAction(QObject*)
{
    if (m_controller)
        m_controller->delegateShowOptions("layersControllerShowGridOptionsForLayer", layer());
}

void LayerRowCommands::showIndexGridOptionsAction(QObject*)
{
    if (m_controller)
        m_controller->delegateShowOptions("layersControllerShowIndexGridOptionsForLayer", layer());
}

void LayerRowCommands::showDrawingOptionsAction(QObject*)
{
    if (m_controller && layer())
        m_controller->delegateShowOptions("layersControllerShowDrawingOptionsForDrawing", layer()->drawing());
}

void LayerRowCommands::exportSlicesAction(QObject*)
{
    if (m_controller)
        m_controller->delegateShowOptions("layersControllerShowExportOptionsForLayer", layer());
}

void LayerRowCommands::toggleGraphPaperSnappingAction(QObject*)
{
    if (VXDrawing* drawing = layer() ? layer()->drawing() : nullptr)
        drawing->setSnapsToGrid(!drawing->snapsToGrid());
}

void LayerRowCommands::toggleVisibleAction(QObject*)
{
    if (VXLayer* shown = layer())
        shown->setVisible(!shown->visible());
}

void LayerRowCommands::toggleLockAction(QObject*)
{
    if (VXLayer* shown = layer())
        shown->setLocked(!shown->locked());
}

// --- Object and slice rows ---------------------------------------------------------------------------

void LayerRowCommands::zoomMainViewToObjectAction(QObject* sender)
{
    if (auto* object = qobject_cast<VXDrawableObject*>(shownItem()))
        object->zoomViewToObject();
    else if (auto* slice = qobject_cast<VXQSlice*>(shownItem()))
        slice->zoomToSlice(sender);
}
