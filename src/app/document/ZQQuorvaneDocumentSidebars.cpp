// The map document's side panels: what their tab views hold, and keeping that arrangement in
// the package and as the preference for new windows.

#include "app/services/LayersPanelCommands.h"
#include "app/services/MapDocumentServices.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ViewController.h"

#include <QScopedValueRollback>
#include <utility>

namespace {

const QString kSplitsKey = QStringLiteral("splits");
const QString kLeftSidebarKey = QStringLiteral("left_sidebar");
const QString kRightSidebarKey = QStringLiteral("right_sidebar");

using SplitItem = MapDocumentWindowController::SplitItem;

} // namespace

QVariantMap ZQQuorvaneDocument::restorableStateInfo() const
{
    const MapDocumentWindowController* controller = mapWindowController();
    if (!controller || !controller->splitView())
        return m_windowRestorationState;
    QVariantMap state;
    state.insert(kSplitsKey, controller->splitState());
    if (const SidebarTabView* left = controller->sidebarTabView(SplitItem::LeftSidePanel))
        state.insert(kLeftSidebarKey, left->restorableStateInfo());
    if (const SidebarTabView* right = controller->sidebarTabView(SplitItem::RightSidePanel))
        state.insert(kRightSidebarKey, right->restorableStateInfo());
    return state;
}

void ZQQuorvaneDocument::restoreWithStateInfo(const QVariantMap& state)
{
    MapDocumentWindowController* controller = mapWindowController();
    if (!ZQ_EXPECT(!state.isEmpty(), QStringLiteral("no data for restoring document state (2)")) || !controller)
        return;
    if (state.contains(kSplitsKey) && !controller->restoreSplitState(state.value(kSplitsKey)))
        ZQLog(QStringLiteral("the window's split sizes could not be restored"));
    const std::pair<SplitItem, QString> sidebars[] = {{SplitItem::LeftSidePanel, kLeftSidebarKey},
                                                      {SplitItem::RightSidePanel, kRightSidebarKey}};
    for (const auto& [item, key] : sidebars) {
        SidebarTabView* tabView = controller->sidebarTabView(item);
        const QVariant sidebar = state.value(key);
        // A state that is no dictionary, or an empty one, leaves the side panel as it is.
        if (tabView && sidebar.metaType().id() == QMetaType::QVariantMap && !sidebar.toMap().isEmpty())
            tabView->restoreWithStateInfo(sidebar.toMap());
    }
}

void ZQQuorvaneDocument::makeTabViewControllers()
{
    MapDocumentWindowController* controller = mapWindowController();
    if (!controller)
        return;
    for (SplitItem item : {SplitItem::LeftSidePanel, SplitItem::RightSidePanel})
        if (SidebarTabView* tabView = controller->sidebarTabView(item))
            tabView->setDelegate(this);

    if (m_windowRestorationState.isEmpty())
        restoreStateFromPreference();
    if (!m_windowRestorationState.isEmpty())
        restoreWithStateInfo(std::exchange(m_windowRestorationState, {}));

    SidebarTabView* left = controller->sidebarTabView(SplitItem::LeftSidePanel);
    SidebarTabView* right = controller->sidebarTabView(SplitItem::RightSidePanel);
    // Tabs can only move between the panels, so both are empty only for a state without tabs.
    if (!left || !right || left->numberOfTabs() > 0 || right->numberOfTabs() > 0)
        return;
    for (const QString& identifier : {kVLTMTabViewStyle, kVLTMTabViewGeometry, kVLTMTextController,
                                      kVLQNAttributesController, kVLTMTabViewLayers})
        if (!tabWithIdentifier(identifier))
            right->addTabWithIdentifier(identifier);
    right->setCurrentTab(0);
    // Nothing to show on the left yet; dragging its divider opens it as a place to drop tabs.
    controller->collapseSplitItem(SplitItem::LeftSidePanel);
}

SidebarTab* ZQQuorvaneDocument::tabWithIdentifier(const QString& identifier) const
{
    const MapDocumentWindowController* controller = mapWindowController();
    if (!controller)
        return nullptr;
    for (SplitItem item : {SplitItem::LeftSidePanel, SplitItem::RightSidePanel})
        if (const SidebarTabView* tabView = controller->sidebarTabView(item))
            if (SidebarTab* tab = tabView->tabWithIdentifier(identifier))
                return tab;
    return nullptr;
}

bool ZQQuorvaneDocument::selectTabWithIdentifier(const QString& identifier)
{
    const MapDocumentWindowController* controller = mapWindowController();
    if (!controller)
        return false;
    for (SplitItem item : {SplitItem::LeftSidePanel, SplitItem::RightSidePanel}) {
        SidebarTabView* tabView = controller->sidebarTabView(item);
        for (qsizetype index = 0; tabView && index < tabView->numberOfTabs(); ++index)
            if (tabView->tabAtIndex(index)->tabIdentifier() == identifier) {
                tabView->setCurrentTab(index);
                return true;
            }
    }
    return false;
}

// --- The layers panel's delegate ------------------------------------------------------------------

QString ZQQuorvaneDocument::layersControllerNeedsClassForDrawingLayers(QObject*) const
{
    return QString::fromLatin1(classOfDefaultDrawingLayer().className());
}

QString ZQQuorvaneDocument::layersControllerNeedsClassForLayerGroup(QObject*) const
{
    return QStringLiteral("VXLayerGroup");
}

void ZQQuorvaneDocument::layersControllerShowGridOptionsForLayer(QObject*, QObject*)
{
    openGridSettingsPanel(nullptr);
}

void ZQQuorvaneDocument::layersControllerShowDrawingOptionsForDrawing(QObject*, QObject*)
{
    openDrawingSizePanel(nullptr);
}

void ZQQuorvaneDocument::layersControllerShowExportOptionsForLayer(QObject*, QObject*)
{
    if (const auto& exportSlices = MapDocumentServices::installed().exportSlices)
        exportSlices(*this);
    else
        ZQLogObjCMethod(QStringLiteral("the export sheet is not in this build"));
}

// --- Tab view delegate -------------------------------------------------------------------------

SidebarTabViewDelegate::Messages ZQQuorvaneDocument::answeredTabViewMessages() const
{
    return DidAddTab | DidMoveTab | DidChangeInterfaceState | DidBecomeEmpty;
}

void ZQQuorvaneDocument::tabViewDidAddTab(SidebarTabView& tabView, SidebarTab& tab, qsizetype)
{
    const QString identifier = tab.tabIdentifier();
    const TabControllerRegistry::Factory factory = identifier == kVLTMUndoHistoryController
        ? TabControllerRegistry::Factory()
        : TabControllerRegistry::classForTabControllerWithIdentifier(identifier);
    // A panel shows once: a second tab of the same identifier (a damaged state) goes too.
    std::shared_ptr<VLTMTabContentViewController> controller = factory && tabWithIdentifier(identifier) == &tab
        ? factory()
        : nullptr;
    if (!controller) {
        // Turning a tab away empties no panel the user arranged: it stays open.
        const QScopedValueRollback turningAway(m_turningAwayTab, true);
        tabView.removeTabFromView(&tab);
        return;
    }
    controller->initWithNibName(identifier);
    tab.setContentViewWithController(controller);
    controller->setDrawing(drawing().get());
    if (auto* layers = dynamic_cast<LayersPanelCommands*>(controller.get()))
        layers->setDelegate(this);
}

void ZQQuorvaneDocument::tabViewDidMoveTab(SidebarTabView&, SidebarTab&, qsizetype)
{
    windowStateDidChange();
}

void ZQQuorvaneDocument::tabViewDidChangeInterfaceState(SidebarTabView&)
{
    windowStateDidChange();
}

void ZQQuorvaneDocument::tabViewDidBecomeEmpty(SidebarTabView& tabView)
{
    MapDocumentWindowController* controller = mapWindowController();
    if (!controller || m_turningAwayTab)
        return;
    if (&tabView == controller->sidebarTabView(SplitItem::LeftSidePanel))
        controller->collapseSplitItem(SplitItem::LeftSidePanel);
    else if (&tabView == controller->sidebarTabView(SplitItem::RightSidePanel))
        controller->collapseSplitItem(SplitItem::RightSidePanel);
    windowStateDidChange();
}
