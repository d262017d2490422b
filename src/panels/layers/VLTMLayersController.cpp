#include "panels/layers/VLTMLayersController.h"

#include "panels/layers/LayerRowCommands.h"
#include "panels/layers/LayerRowDelegate.h"
#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/LayersOutlineView.h"
#include "panels/layers/ObjectRowWatcher.h"
#include "panels/layers/VLTMLayerOpacityPopoverController.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/EditProgress.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Popover.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

const QString kTabIdentifier = QStringLiteral("VLTMTabViewLayers");

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// The layer a row's item belongs to: the layer itself, an object's or a slice's layer.
VXLayer* layerOfItem(QObject* item)
{
    if (auto* layer = qobject_cast<VXLayer*>(item))
        return layer;
    if (auto* object = qobject_cast<VXDrawableObject*>(item))
        return object->layer();
    if (auto* slice = qobject_cast<VXQSlice*>(item))
        return slice->slicesLayer();
    return nullptr;
}

// Row numbers from the top level down, which order items as the outline shows them.
QList<int> treePath(const QModelIndex& index)
{
    QList<int> path;
    for (QModelIndex each = index; each.isValid(); each = each.parent())
        path.prepend(each.row());
    return path;
}

} // namespace

VLTMLayersController::VLTMLayersController()
    : m_model(new LayerTreeModel(this))
    , m_rowWatcher(new ObjectRowWatcher(this))
    , m_activeFollowsSelection(activeFollowsSelectionDefault())
    , m_compactRows(compactRowsDefault())
{
    m_model->setShowsRoot(showsTopLevelDefault());
    m_model->setShowsGraphicObjects(defaults().boolForKey(kVLTMLayersControllerShowsGraphicObjects));
    connect(m_model, &LayerTreeModel::childrenOfLayerReloaded, this, [this](VXLayer* layer) {
        if (auto* objects = qobject_cast<VXObjectDrawingLayer*>(layer); objects && isExpanded(objects))
            synchroniseSelectionFromLayer(objects);
    });
    connect(m_rowWatcher, &ObjectRowWatcher::objectRowChanged, m_model, &LayerTreeModel::reloadItem);
    connect(m_model, &LayerTreeModel::selectionChangedInLayer, this, &VLTMLayersController::layerSelectionDidChange);
    connect(m_model, &LayerTreeModel::activeLayerChanged, this, [this] {
        if (m_outlineView)
            m_outlineView->viewport()->update();
    });
    // The popover follows changes of the opacity it shows (undo, another view).
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& first) {
        if (m_opacityLayer && m_opacityPopover && m_opacityPopover->isShown() &&
            m_model->itemForIndex(first) == m_opacityLayer)
            m_opacityController->setControlsValue(m_opacityLayer->alpha());
    });
}

VLTMLayersController::~VLTMLayersController()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    setDrawing(nullptr);
}

std::shared_ptr<VLTMLayersController> VLTMLayersController::make()
{
    auto controller = std::make_shared<VLTMLayersController>();
    controller->initWithNibName(kTabIdentifier);
    controller->setTitle(tr("Layers"));
    controller->setTabIcon(kTabIdentifier);
    return controller;
}

bool VLTMLayersController::compactRowsDefault()
{
    return defaults().boolForKey(kVLTMLayersControllerCompactView);
}

void VLTMLayersController::setCompactRowsDefault(bool compact)
{
    defaults().setBoolForKey(compact, kVLTMLayersControllerCompactView);
}

bool VLTMLayersController::activeFollowsSelectionDefault()
{
    return defaults().boolForKey(kVLTMLayersControllerActiveFollowsSelection);
}

void VLTMLayersController::setActiveFollowsSelectionDefault(bool follows)
{
    defaults().setBoolForKey(follows, kVLTMLayersControllerActiveFollowsSelection);
}

// --- The drawing and the view ------------------------------------------------------------------------

VXDrawing* VLTMLayersController::drawing() const
{
    return m_model->drawing();
}

void VLTMLayersController::setDrawing(VXDrawing* drawing)
{
    if (drawing == m_model->drawing())
        return;
    m_rowWatcher->clear();
    m_expandedItems.clear();
    m_selectedItems.clear();
    m_model->setDrawing(drawing);
    if (drawing && m_outlineView && showsRoot())
        m_outlineView->expand(m_model->indexForItem(drawing));
    updateDeleteButton();
}

LayersOutlineView* VLTMLayersController::outlineView()
{
    view();
    return m_outlineView;
}

QPushButton* VLTMLayersController::deleteButton()
{
    view();
    return m_deleteButton;
}

QWidget* VLTMLayersController::loadView()
{
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_outlineView = new LayersOutlineView(this);
    m_outlineView->setModel(m_model);
    // After the outline's own handlers, which forget what was open and selected.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &VLTMLayersController::rememberViewState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &VLTMLayersController::restoreViewState);
    m_outlineView->setItemDelegate(new LayerRowDelegate(this, m_outlineView));
    m_outlineView->header()->setSectionResizeMode(LayerTreeModel::MainColumn, QHeaderView::Stretch);
    m_outlineView->header()->setSectionResizeMode(LayerTreeModel::ActiveColumn, QHeaderView::Fixed);
    m_outlineView->header()->resizeSection(LayerTreeModel::ActiveColumn, 28);
    connect(m_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VLTMLayersController::outlineSelectionDidChange);
    // An opened layer shows its selection; one without a selection leaves the outline's alone.
    connect(m_outlineView, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        QObject* item = m_model->itemForIndex(index);
        if (!m_expandedItems.contains(item))
            m_expandedItems.append(item);
        if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(item); layer && layer->countOfSelection() > 0)
            synchroniseSelectionFromLayer(layer);
    });
    connect(m_outlineView, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { m_expandedItems.removeAll(m_model->itemForIndex(index)); });
    connect(m_outlineView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        editNameOfItem(m_model->itemForIndex(index));
    });
    layout->addWidget(m_outlineView, 1);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 3, 4, 3);
    auto addButton = [&](const QString& title, const QString& tip, void (VLTMLayersController::*action)(QObject*)) {
        auto* button = new QPushButton(title, panel);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, action, button] { (this->*action)(button); });
        bar->addWidget(button);
        return button;
    };
    addButton(tr("+"), tr("New Layer"), &VLTMLayersController::addLayerAction);
    addButton(tr("+ Group"), tr("New Layer Group"), &VLTMLayersController::addlayerGroupAction);
    bar->addStretch(1);
    m_deleteButton = addButton(tr("Delete"), tr("Delete Layer"), &VLTMLayersController::deleteLayerAction);
    layout->addLayout(bar);

    if (drawing() && showsRoot())
        m_outlineView->expand(m_model->indexForItem(drawing()));
    updateDeleteButton();
    return panel;
}

bool VLTMLayersController::showsRoot() const
{
    return m_model->showsRoot();
}

void VLTMLayersController::setShowsRoot(bool shows)
{
    m_model->setShowsRoot(shows);
    if (shows && m_outlineView && drawing())
        m_outlineView->expand(m_model->indexForItem(drawing()));
}

void VLTMLayersController::setCompactRows(bool compact)
{
    m_compactRows = compact;
    setCompactRowsDefault(compact);
    if (!m_outlineView)
        return;
    if (auto* rows = qobject_cast<LayerRowDelegate*>(m_outlineView->itemDelegate()))
        rows->layoutViewsForSmallRowHeightAnimated(compact, true);
    m_outlineView->rowHeightsDidChange();
}

bool VLTMLayersController::showsGraphicObjects() const
{
    return m_model->showsGraphicObjects();
}

void VLTMLayersController::setShowsGraphicObjects(bool shows)
{
    defaults().setBoolForKey(shows, kVLTMLayersControllerShowsGraphicObjects);
    m_model->setShowsGraphicObjects(shows);
}

int VLTMLayersController::heightOfRowByItem(const QObject* item) const
{
    if (m_compactRows)
        return kItemRowHeight;
    return qobject_cast<const VXLayer*>(item) ? kLayerRowHeight : kItemRowHeight;
}

// --- Commands ---------------------------------------------------------------------------------------

void VLTMLayersController::addLayerAction(QObject*)
{
    if (canAddLayerOrGroup())
        addLayer(makeLayerOfDelegateClass("layersControllerNeedsClassForDrawingLayers",
                                          VXObjectDrawingLayer::staticMetaObject));
}

void VLTMLayersController::addlayerGroupAction(QObject*)
{
    if (canAddLayerOrGroup())
        addLayer(makeLayerOfDelegateClass("layersControllerNeedsClassForLayerGroup", VXLayerGroup::staticMetaObject));
}

void VLTMLayersController::duplicateLayerAction(QObject*)
{
    if (!canDuplicateLayerOrGroup())
        return;
    if (addLayer(selectedLayer()->duplicateLayer()))
        setUndoActionName(tr("Duplicate Layer"));
}

void VLTMLayersController::deleteLayerAction(QObject*)
{
    if (canDeleteLayerOrGroup())
        confirmDeleteLayer(selectedLayer());
}

void VLTMLayersController::toggleShowsRootAction(QObject*)
{
    setShowsRoot(!showsRoot());
}

void VLTMLayersController::toggleActiveFollowsSelectionAction(QObject*)
{
    m_activeFollowsSelection = !m_activeFollowsSelection;
    setActiveFollowsSelectionDefault(m_activeFollowsSelection);
}

void VLTMLayersController::toggleCompactRowsAction(QObject*)
{
    setCompactRows(!m_compactRows);
}

void VLTMLayersController::toggleShowsGraphicObjectsAction(QObject*)
{
    setShowsGraphicObjects(!showsGraphicObjects());
}

void VLTMLayersController::collapseAllAction(QObject*)
{
    if (!drawing() || !outlineView())
        return;
    for (const VXLayerPtr& layer : drawing()->layers()) {
        const QModelIndex index = m_model->indexForItem(layer.get());
        m_outlineView->collapse(index);
        // Collapsing a row leaves its children as they were; they close too.
        if (auto* group = qobject_cast<VXLayerGroup*>(layer.get()))
            for (const VXLayerPtr& member : group->flattenedLayers(true))
                m_outlineView->collapse(m_model->indexForItem(member.get()));
    }
}

void VLTMLayersController::expandAllAction(QObject*)
{
    if (!drawing() || !outlineView())
        return;
    for (const VXLayerPtr& layer : drawing()->layers())
        if (m_model->isItemExpandable(layer.get()))
            m_outlineView->expandRecursively(m_model->indexForItem(layer.get()));
}

void VLTMLayersController::layersEditorHelpAction(QObject*)
{
    platform::invokeSelector(platform::Application::delegate(), "showHelpItemNamed", QStringLiteral("the-layers-tab"));
}

bool VLTMLayersController::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    auto check = [item](bool on) {
        item->setState(on ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    };
    if (action == "addLayerAction" || action == "addlayerGroupAction")
        return canAddLayerOrGroup();
    if (action == "duplicateLayerAction")
        return canDuplicateLayerOrGroup();
    if (action == "deleteLayerAction")
        return canDeleteLayerOrGroup();
    if (action == "toggleShowsRootAction") {
        item->setTitle(showsRoot() ? tr("Hide Top Level") : tr("Show Top Level"));
        return true;
    }
    if (action == "toggleCompactRowsAction") {
        item->setTitle(m_compactRows ? tr("Expanded View") : tr("Compact View"));
        return true;
    }
    if (action == "toggleActiveFollowsSelectionAction")
        return check(m_activeFollowsSelection);
    if (action == "toggleShowsGraphicObjectsAction")
        return check(showsGraphicObjects());
    return platform::findMethod(this, action, 1).isValid();
}

std::unique_ptr<platform::Menu> VLTMLayersController::contextMenuForItem(QObject* item)
{
    auto menu = std::make_unique<platform::Menu>();
    auto add = [&](const QString& title, const QByteArray& action) {
        auto* entry = new platform::MenuItem(title, action, menu.get());
        entry->setTarget(this);
        menu->addAction(entry);
    };
    add(tr("New Layer"), "addLayerAction");
    add(tr("New Layer Group"), "addlayerGroupAction");
    add(tr("Duplicate Layer"), "duplicateLayerAction");
    add(tr("Delete Layer"), "deleteLayerAction");
    menu->addSeparator();
    add(tr("Hide Top Level"), "toggleShowsRootAction");
    add(tr("Active Layer Follows Selection"), "toggleActiveFollowsSelectionAction");
    add(tr("Compact View"), "toggleCompactRowsAction");
    add(tr("Show Objects"), "toggleShowsGraphicObjectsAction");
    menu->addSeparator();
    add(tr("Collapse All"), "collapseAllAction");
    add(tr("Expand All"), "expandAllAction");
    menu->addSeparator();
    add(tr("Layers Help"), "layersEditorHelpAction");
    platform::Menu::validateActions(menu->actions());
    if (item && m_model->indexForItem(item).isValid())
        (new LayerRowCommands(item, this, menu.get()))->updateRowContextualMenu(*menu);
    return menu;
}

// --- Opacity ----------------------------------------------------------------------------------------

VLTMLayerOpacityPopoverController* VLTMLayersController::opacityPopoverController()
{
    opacityPopover();
    return m_opacityController.get();
}

platform::Popover* VLTMLayersController::opacityPopover()
{
    if (!m_opacityPopover) {
        m_opacityController = std::make_shared<VLTMLayerOpacityPopoverController>();
        m_opacityPopover = new platform::Popover(this);
        m_opacityPopover->setBehavior(platform::Popover::TransientBehavior);
        m_opacityPopover->setContentViewController(m_opacityController);
    }
    return m_opacityPopover;
}

bool VLTMLayersController::showOpacityPopoverForLayer(VXLayer* layer, const QRect& anchor)
{
    if (!qobject_cast<VXObjectDrawingLayer*>(layer) || !outlineView())
        return false;
    platform::Popover* popover = opacityPopover();
    m_opacityLayer = layer;
    m_opacityBeforeDrag.reset();
    m_opacityController->setTarget(this);
    m_opacityController->setControlsAction("opacityAction");
    m_opacityController->setControlsValue(layer->alpha());
    popover->showRelativeToRectOfViewPreferredEdge(anchor, m_outlineView->viewport(), platform::Popover::MinYEdge);
    return true;
}

void VLTMLayersController::opacityAction(QObject* sender)
{
    // The layer may have left the drawing while the popover was up.
    if (!m_opacityLayer || !sender || m_opacityLayer->drawing() != drawing()) {
        m_opacityBeforeDrag.reset();
        return;
    }
    const double alpha = sender->property("controlsValue").toDouble();
    ZQUndoManager* undo = drawing()->undoManager();
    // A drag shows live but is recorded once, from where it started, when the slider is let go.
    if (sender->property("tracking").toBool()) {
        if (!m_opacityBeforeDrag)
            m_opacityBeforeDrag = m_opacityLayer->alpha();
        const platform::UndoSuspension live(undo);
        m_opacityLayer->setAlpha(alpha);
        return;
    }
    if (const std::optional<double> start = std::exchange(m_opacityBeforeDrag, std::nullopt)) {
        const platform::UndoSuspension quiet(undo);
        m_opacityLayer->setAlpha(*start);
    }
    if (m_opacityLayer->alpha() == alpha)
        return; // a click on the slider that moved nothing names no step
    m_opacityLayer->setAlpha(alpha);
    setUndoActionName(tr("Layer Opacity"));
}

void VLTMLayersController::chooseColourForItem(QObject* item)
{
    auto* layer = qobject_cast<VXLayer*>(item);
    auto* slice = qobject_cast<VXQSlice*>(item);
    if ((!layer && !slice) || !outlineView())
        return;
    const QColor current = layer ? layer->selectionColour() : slice->colour();
    auto* dialog = new QColorDialog(current.isValid() ? current : QColor(Qt::white), m_outlineView->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QColorDialog::colorSelected, this, [this, target = QPointer<QObject>(item)](const QColor& colour) {
        if (!target || !m_model->indexForItem(target).isValid())
            return;
        if (auto* chosenLayer = qobject_cast<VXLayer*>(target.data()))
            chosenLayer->setSelectionColour(colour);
        else if (auto* chosenSlice = qobject_cast<VXQSlice*>(target.data()))
            chosenSlice->setColour(colour);
    });
    dialog->open();
}

void VLTMLayersController::delegateShowOptions(const char* selector, QObject* item)
{
    if (!m_delegate || !item)
        return;
    const QMetaMethod method = platform::findMethod(m_delegate, selector, 2);
    if (method.isValid())
        platform::invokeMethod(m_delegate, method, {QVariant::fromValue(static_cast<QObject*>(this)),
                                                    QVariant::fromValue(item)});
}

// --- Queries ----------------------------------------------------------------------------------------

VXLayerGroup* VLTMLayersController::selectedParentGroup() const
{
    const QList<QObject*> items = selectedItems();
    if (items.isEmpty())
        return drawing();
    if (auto* group = qobject_cast<VXLayerGroup*>(items.first()))
        return group;
    VXLayer* layer = layerOfItem(items.first());
    return layer && layer->layerGroup() ? layer->layerGroup() : drawing();
}

VXLayer* VLTMLayersController::selectedLayer() const
{
    const QList<QObject*> items = selectedItems();
    return items.isEmpty() ? drawing() : layerOfItem(items.first());
}

bool VLTMLayersController::canAddLayerOrGroup() const
{
    const VXLayerGroup* group = selectedParentGroup();
    return group && !group->locked();
}

bool VLTMLayersController::canDeleteLayerOrGroup() const
{
    const VXLayer* layer = selectedLayer();
    return layer && layer != drawing() && layer->layerMayBeDeleted();
}

bool VLTMLayersController::canDuplicateLayerOrGroup() const
{
    const VXLayer* layer = selectedLayer();
    return layer && layer != drawing() && layer->layerGroup() && !layer->layerGroup()->locked();
}

QList<QObject*> VLTMLayersController::selectedItems() const
{
    if (!m_outlineView)
        return {};
    QModelIndexList rows = m_outlineView->selectionModel()->selectedRows(LayerTreeModel::MainColumn);
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return treePath(a) < treePath(b); });
    QList<QObject*> items;
    for (const QModelIndex& row : std::as_const(rows))
        if (QObject* item = m_model->itemForIndex(row))
            items.append(item);
    return items;
}

// --- Model operations -------------------------------------------------------------------------------

bool VLTMLayersController::addLayer(const VXLayerPtr& layer)
{
    if (!ZQ_EXPECT(layer, QStringLiteral("invalid layer (nil)")) || !drawing())
        return false;
    QString name = layer->layerName();
    if (qobject_cast<const VXLayerGroup*>(layer.get()))
        name = tr("Layer Group");
    else if (name.isEmpty())
        name = tr("Drawing Layer");
    layer->setLayerName(drawing()->uniqueLayerNameForName(name));
    VXLayerGroup* group = selectedParentGroup();
    if (!group || group->locked())
        return false;
    addLayerToGroup(layer, group, true);
    return true;
}

void VLTMLayersController::addLayerToGroup(const VXLayerPtr& layer, VXLayerGroup* group, bool)
{
    if (!group)
        group = drawing();
    if (!ZQ_EXPECT(layer, QStringLiteral("invalid layer (nil)"))
        || !ZQ_EXPECT(group, QStringLiteral("invalid destination group (nil)")))
        return;
    if (m_outlineView)
        m_outlineView->expand(m_model->indexForItem(group));
    group->insertObjectInLayersAtIndex(layer, 0);
    layer->attemptToMakeActive();
    selectItem(layer.get());
    platform::RunLoop::performAfterDelay(
        this, [this, added = QPointer<VXLayer>(layer.get())] { editNameOfItem(added); }, kNameEditingDelay,
        "selectNameForEditing");
    setUndoActionName(tr("Add Layer"));
}

void VLTMLayersController::confirmDeleteLayer(VXLayer* layer)
{
    if (!layer || !layer->layerMayBeDeleted())
        return;
    platform::Alert alert;
    QString information;
    if (const auto* group = qobject_cast<const VXLayerGroup*>(layer)) {
        alert.setMessageText(tr("Really delete the Layer Group \u201c%1\u201d?").arg(layer->layerName()));
        information = tr("The group contains %n layer(s).", nullptr, group->countOfLayers());
    } else {
        alert.setMessageText(tr("Really delete the Layer \u201c%1\u201d?").arg(layer->layerName()));
        if (const auto* objects = qobject_cast<const VXObjectOwnerLayer*>(layer))
            information = tr("The layer contains %n object(s).", nullptr, objects->countOfObjects());
    }
    alert.setInformativeText(information);
    alert.addButtonWithTitle(tr("No"));
    alert.addButtonWithTitle(tr("Delete"));
    alert.beginSheetModalForWindowCompletionHandler(
        windowForSheet(), [this, guard = QPointer<VLTMLayersController>(this), target = QPointer<VXLayer>(layer)](
                              int returnCode) {
            // The layer may have gone meanwhile (undo, another view): nothing is deleted then.
            if (guard && target && returnCode == 0 && target->drawing() == drawing())
                deleteLayer(target, true);
        });
}

void VLTMLayersController::deleteLayer(VXLayer* layer, bool)
{
    if (!ZQ_EXPECT(layer, QStringLiteral("invalid layer (nil)")))
        return;
    VXLayerGroup* group = layer->layerGroup() ? layer->layerGroup() : drawing();
    if (!ZQ_EXPECT(group, QStringLiteral("invalid layer group (nil)")))
        return;
    const VXLayerPtr kept = std::static_pointer_cast<VXLayer>(layer->shared_from_this());
    const bool wasActive = layer->isActive();
    VXDrawing* owner = layer->drawing();
    group->removeLayer(layer);
    if (wasActive && owner)
        owner->setActiveLayer(nullptr);
    setUndoActionName(tr("Delete Layer"));
}

// --- Moving -------------------------------------------------------------------------------------------

bool VLTMLayersController::moveLayer(VXLayer* layer, VXLayerGroup* fromGroup, VXLayerGroup* toGroup, int index)
{
    if (!ZQ_EXPECT(layer, QStringLiteral("invalid layer (nil)")))
        return false;
    VXLayerGroup* source = fromGroup ? fromGroup : layer->layerGroup();
    VXLayerGroup* destination = toGroup ? toGroup : drawing();
    const auto* movedGroup = qobject_cast<const VXLayerGroup*>(layer);
    if (!source || !destination || destination->locked() || destination->drawing() != layer->drawing() ||
        (movedGroup && movedGroup->containsLayer(destination)))
        return false;
    int target = index;
    if (source == destination && source->indexOfLayer(layer) < index)
        --target;
    target = std::clamp(target, 0, destination->countOfLayers() - (source == destination ? 1 : 0));
    LogEvent(kReactiveEvent, QStringLiteral("moving layer '%1' from group '%2' (index %3) to group '%4' (index %5)")
                                 .arg(layer->layerName(), source->layerName())
                                 .arg(source->indexOfLayer(layer))
                                 .arg(destination->layerName())
                                 .arg(target));
    const VXLayerPtr kept = std::static_pointer_cast<VXLayer>(layer->shared_from_this());
    m_model->setIgnoresLayerChanges(true);
    try {
        if (source == destination)
            destination->moveLayerToIndex(layer, target);
        else
            destination->insertObjectInLayersAtIndex(kept, target);
    } catch (...) {
        m_model->setIgnoresLayerChanges(false);
        m_model->reloadData();
        throw;
    }
    m_model->setIgnoresLayerChanges(false);
    m_model->reloadData();
    selectItem(layer);
    setUndoActionName(tr("Move Layer"));
    return true;
}

bool VLTMLayersController::moveDrawables(const QList<VXDrawableObjectPtr>& objects, VXObjectDrawingLayer* toLayer,
                                         int row)
{
    if (!ZQ_EXPECT(!objects.isEmpty(), QStringLiteral("invalid array of objects - array is empty"))
        || !ZQ_EXPECT(objects.first(), QStringLiteral("invalid objects array - must be a list of VXDrawableObjects")))
        return false;
    auto* source = qobject_cast<VXObjectDrawingLayer*>(objects.first()->layer());
    VXObjectDrawingLayer* destination = toLayer ? toLayer : source;
    if (!source || !destination || destination->locked())
        return false;
    // Bottom-most first, so the block keeps the stacking order it had: one lookup per object,
    // as a sort asking for indexes would take seconds over a million.
    const QList<int> from = source->indexesOfObjectsInArray(objects);
    QList<VXDrawableObjectPtr> moved;
    moved.reserve(from.size());
    for (const int index : from)
        moved.append(source->objects()[index]);
    if (destination == source) {
        source->moveObjectsInArrayToIndex(moved, source->countOfObjects() - row);
        setUndoActionName(tr("Change Object Order"));
        return true;
    }
    const QString actionName = tr("Move Objects To Layer");
    platform::EditProgress::Scope progress(actionName, 2);
    VXLayer* const active = drawing()->activeLayer();
    const QList<VXDrawableObjectPtr> sourceSelection = source->selection();
    const QList<VXDrawableObjectPtr> destinationSelection = destination->selection();
    platform::WholeEdit::run(
        drawing()->undoManager(), actionName,
        [&] {
            source->removeObjectsAtIndexes(from);
            progress.step();
            const int start = std::clamp(destination->countOfObjects() - row, 0, destination->countOfObjects());
            QList<int> indexes;
            for (int i = 0; i < moved.size(); ++i)
                indexes.append(start + i);
            destination->insertObjectsAtIndexes(moved, indexes);
            if (m_activeFollowsSelection)
                destination->attemptToMakeActive();
            destination->exchangeSelectionWithObjectsFromArray(moved);
            setUndoActionName(actionName);
            progress.step();
        },
        [&] {
            drawing()->setActiveLayer(active);
            source->exchangeSelectionWithObjectsFromArray(sourceSelection);
            destination->exchangeSelectionWithObjectsFromArray(destinationSelection);
        });
    return true;
}

LayerDropRules::Drop VLTMLayersController::validateDrop(const QString& type, QObject* proposedItem,
                                                        int childIndex) const
{
    LogEvent(kReactiveEvent, QStringLiteral("proposed item: %1, proposed index %2")
                                 .arg(proposedItem ? proposedItem->property("layerName").toString() : QStringLiteral("(top)"))
                                 .arg(childIndex));
    return LayerDropRules::validateDrop(type, LayerDropRules::draggedItems(), proposedItem, childIndex, drawing(),
                                        showsRoot());
}

bool VLTMLayersController::acceptDrop(const QString& type, QObject* proposedItem, int childIndex)
{
    const QList<QObject*> dragged = LayerDropRules::draggedItems();
    LayerDropRules::setDraggedItems({});
    const LayerDropRules::Drop drop =
        LayerDropRules::validateDrop(type, dragged, proposedItem, childIndex, drawing(), showsRoot());
    if (!drop.accepted)
        return false;
    // A drop onto a row goes first there.
    const int position = std::max(drop.childIndex, 0);
    if (type == kVLTMLayerDragPasteboardType)
        return moveLayer(qobject_cast<VXLayer*>(dragged.first()), nullptr, qobject_cast<VXLayerGroup*>(drop.item),
                         position);
    QList<VXDrawableObjectPtr> objects;
    for (QObject* item : dragged)
        objects.append(std::static_pointer_cast<VXDrawableObject>(qobject_cast<VXDrawableObject*>(item)->shared_from_this()));
    return moveDrawables(objects, qobject_cast<VXObjectDrawingLayer*>(drop.item), position);
}

// --- Selection --------------------------------------------------------------------------------------

bool VLTMLayersController::selectionIsAllowed(const QList<QObject*>& items)
{
    if (items.size() < 2)
        return true;
    const VXObjectOwnerLayer* layer = nullptr;
    for (QObject* item : items) {
        const auto* object = qobject_cast<const VXDrawableObject*>(item);
        if (!object || (layer && object->layer() != layer))
            return false;
        layer = object->layer();
    }
    return true;
}

void VLTMLayersController::outlineSelectionDidChange()
{
    if (m_restoringSelection)
        return;
    QItemSelectionModel* selection = m_outlineView->selectionModel();
    const QList<QObject*> items = selectedItems();
    if (!selectionIsAllowed(items)) {
        const QScopedValueRollback restoring(m_restoringSelection, true);
        selection->select(m_acceptedSelection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    m_acceptedSelection = selection->selection();
    m_selectedItems = {items.begin(), items.end()};
    if (!items.isEmpty()) {
        QObject* first = items.first();
        if (m_activeFollowsSelection)
            if (VXLayer* layer = layerOfItem(first); layer && layer != drawing())
                layer->attemptToMakeActive();
        if (auto* object = qobject_cast<VXDrawableObject*>(first))
            if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(object->layer()))
                synchroniseSelectionToLayer(layer);
    }
    updateDeleteButton();
}

void VLTMLayersController::synchroniseSelectionToLayer(VXObjectDrawingLayer* layer)
{
    if (m_responding || !layer)
        return;
    QList<VXDrawableObjectPtr> objects;
    const int count = layer->countOfObjects();
    for (const QModelIndex& row : m_outlineView->selectionModel()->selectedRows(LayerTreeModel::MainColumn))
        if (m_model->itemForIndex(row.parent()) == layer)
            if (VXDrawableObjectPtr object =
                    layer->objectInObjectsAtIndex(LayerTreeModel::objectIndexForChildRow(count, row.row())))
                objects.append(object);
    layer->exchangeSelectionWithObjectsFromArray(objects);
    if (!objects.isEmpty())
        layer->scrollToSelectionInView(nullptr);
}

void VLTMLayersController::synchroniseSelectionFromLayer(VXObjectDrawingLayer* layer)
{
    if (m_responding || !layer || !m_outlineView)
        return;
    const QModelIndex parent = m_model->indexForItem(layer);
    if (!parent.isValid())
        return;
    const QScopedValueRollback responding(m_responding, true);
    const int count = layer->countOfObjects();
    QList<int> rows;
    for (const VXDrawableObjectPtr& object : layer->selection())
        rows.append(LayerTreeModel::childRowForObjectIndex(count, layer->indexOfObject(object.get())));
    std::sort(rows.begin(), rows.end());
    QItemSelection selection;
    for (qsizetype start = 0; start < rows.size();) {
        qsizetype end = start;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        selection.select(m_model->index(rows[start], LayerTreeModel::MainColumn, parent),
                         m_model->index(rows[end], LayerTreeModel::ActiveColumn, parent));
        start = end + 1;
    }
    m_outlineView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) {
        const QModelIndex first = m_model->index(rows.first(), LayerTreeModel::MainColumn, parent);
        if (!m_outlineView->viewport()->rect().contains(m_outlineView->visualRect(first)))
            m_outlineView->scrollTo(first);
    }
}

void VLTMLayersController::layerSelectionDidChange(VXObjectDrawingLayer* layer)
{
    if (layer->isActive() && showsGraphicObjects() && isExpanded(layer))
        synchroniseSelectionFromLayer(layer);
}

void VLTMLayersController::selectItem(const QObject* item)
{
    if (!m_outlineView)
        return;
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid())
        return;
    m_outlineView->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_outlineView->scrollTo(index);
}

void VLTMLayersController::editNameOfItem(const QObject* item)
{
    if (!m_outlineView || !item)
        return;
    const QModelIndex index = m_model->indexForItem(item);
    if (index.isValid() && (m_model->flags(index) & Qt::ItemIsEditable))
        m_outlineView->edit(index);
}

// --- Keeping the view across resets -----------------------------------------------------------------

bool VLTMLayersController::isExpanded(const QObject* item) const
{
    return m_outlineView && m_outlineView->isExpanded(m_model->indexForItem(item));
}

void VLTMLayersController::rememberViewState()
{
    m_selectedItemsBeforeReset = m_selectedItems;
}

void VLTMLayersController::restoreViewState()
{
    if (!m_outlineView)
        return;
    const QScopedValueRollback responding(m_responding, true);
    m_expandedItems.removeAll(nullptr);
    for (const QPointer<QObject>& item : QList(m_expandedItems))
        m_outlineView->expand(m_model->indexForItem(item));
    QItemSelection selection;
    for (const QPointer<QObject>& item : std::exchange(m_selectedItemsBeforeReset, {}))
        if (const QModelIndex index = m_model->indexForItem(item); index.isValid())
            selection.select(index, index.siblingAtColumn(LayerTreeModel::ActiveColumn));
    {
        const QScopedValueRollback restoring(m_restoringSelection, true);
        m_outlineView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    m_acceptedSelection = m_outlineView->selectionModel()->selection();
    const QList<QObject*> selected = selectedItems();
    m_selectedItems = {selected.begin(), selected.end()};
    updateDeleteButton();
}

// --- Helpers ----------------------------------------------------------------------------------------

void VLTMLayersController::setUndoActionName(const QString& name) const
{
    if (drawing() && drawing()->undoManager())
        drawing()->undoManager()->setActionName(name);
}

QVariant VLTMLayersController::askDelegate(const char* selector) const
{
    if (!m_delegate)
        return {};
    const QMetaMethod method = platform::findMethod(m_delegate, selector, 1);
    if (!method.isValid())
        return {};
    return platform::invokeMethod(m_delegate, method, {QVariant::fromValue(static_cast<QObject*>(
                                                          const_cast<VLTMLayersController*>(this)))});
}

VXLayerPtr VLTMLayersController::makeLayerOfDelegateClass(const char* selector, const QMetaObject& fallback) const
{
    const QString className = askDelegate(selector).toString();
    if (!className.isEmpty())
        if (auto layer = std::dynamic_pointer_cast<VXLayer>(platform::ClassRegistry::create(className)))
            return layer;
    return std::dynamic_pointer_cast<VXLayer>(platform::ClassRegistry::create(QString::fromLatin1(fallback.className())));
}

QWidget* VLTMLayersController::windowForSheet() const
{
    if (m_delegate) {
        const QMetaMethod method = platform::findMethod(m_delegate, "windowForSheet", 0);
        if (method.isValid())
            if (auto* window = qvariant_cast<QWidget*>(platform::invokeMethod(m_delegate, method, {})))
                return window;
    }
    return m_outlineView ? m_outlineView->window() : nullptr;
}

void VLTMLayersController::updateDeleteButton()
{
    if (m_deleteButton)
        m_deleteButton->setEnabled(canDeleteLayerOrGroup());
}
