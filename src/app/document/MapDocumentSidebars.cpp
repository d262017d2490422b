#include "app/document/MapDocumentSidebars.h"

#include "app/document/MapDocumentWindowController.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "app/services/LayersPanelCommands.h"
#include "app/sidebar/SidebarTabView.h"
#include "app/sidebar/TabControllerRegistry.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
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
constexpr SplitItem kSidePanels[] = {SplitItem::LeftSidePanel, SplitItem::RightSidePanel};

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

} // namespace

QVariantMap MapDocumentSidebars::restorableStateInfo() const
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
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

void MapDocumentSidebars::restoreWithStateInfo(const QVariantMap& state)
{
    MapDocumentWindowController* controller = m_document.mapWindowController();
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

void MapDocumentSidebars::makeTabViewControllers()
{
    MapDocumentWindowController* controller = m_document.mapWindowController();
    if (!controller)
        return;
    for (SplitItem item : kSidePanels)
        if (SidebarTabView* tabView = controller->sidebarTabView(item))
            tabView->setDelegate(&m_document);

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

SidebarTab* MapDocumentSidebars::tabWithIdentifier(const QString& identifier) const
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
    if (!controller)
        return nullptr;
    for (SplitItem item : kSidePanels)
        if (const SidebarTabView* tabView = controller->sidebarTabView(item))
            if (SidebarTab* tab = tabView->tabWithIdentifier(identifier))
                return tab;
    return nullptr;
}

bool MapDocumentSidebars::selectTabWithIdentifier(const QString& identifier)
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
    if (!controller)
        return false;
    for (SplitItem item : kSidePanels) {
        SidebarTabView* tabView = controller->sidebarTabView(item);
        for (qsizetype index = 0; tabView && index < tabView->numberOfTabs(); ++index)
            if (tabView->tabAtIndex(index)->tabIdentifier() == identifier) {
                tabView->setCurrentTab(index);
                return true;
            }
    }
    return false;
}

void MapDocumentSidebars::tabViewDidAddTab(SidebarTabView& tabView, SidebarTab& tab)
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
    controller->setDrawing(m_document.drawing().get());
    if (auto* layers = dynamic_cast<LayersPanelCommands*>(controller.get()))
        layers->setDelegate(&m_document);
}

void MapDocumentSidebars::tabViewDidBecomeEmpty(SidebarTabView& tabView)
{
    MapDocumentWindowController* controller = m_document.mapWindowController();
    if (!controller || m_turningAwayTab)
        return;
    if (&tabView == controller->sidebarTabView(SplitItem::LeftSidePanel))
        controller->collapseSplitItem(SplitItem::LeftSidePanel);
    else if (&tabView == controller->sidebarTabView(SplitItem::RightSidePanel))
        controller->collapseSplitItem(SplitItem::RightSidePanel);
    windowStateDidChange();
}

void MapDocumentSidebars::saveRestorableStateAsPreference() const
{
    defaults().setObjectForKey(restorableStateInfo(), kVLTMDocument_DefaultRestorableState);
}

void MapDocumentSidebars::restoreStateFromPreference()
{
    const QVariantMap state = defaults().dictionaryForKey(kVLTMDocument_DefaultRestorableState);
    if (!state.isEmpty())
        m_windowRestorationState = state;
}

void MapDocumentSidebars::windowStateDidChange()
{
    platform::RunLoop::cancelPreviousPerformRequests(&m_document, "saveRestorableStateAsPreference");
    platform::RunLoop::performAfterDelay(&m_document, "saveRestorableStateAsPreference", {}, kWindowStateSaveDelay);
}

void MapDocumentSidebars::detachFromTabViews()
{
    if (MapDocumentWindowController* controller = m_document.mapWindowController())
        for (SplitItem item : kSidePanels)
            if (SidebarTabView* tabView = controller->sidebarTabView(item))
                tabView->setDelegate(nullptr);
}

QWidget* MapDocumentSidebars::leftSidePanel() const
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
    return controller ? controller->leftSidePanel() : nullptr;
}

QWidget* MapDocumentSidebars::rightSidePanel() const
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
    return controller ? controller->rightSidePanel() : nullptr;
}

void MapDocumentSidebars::handDrawingToPanels(VXDrawing* drawing) const
{
    const MapDocumentWindowController* controller = m_document.mapWindowController();
    for (SplitItem item : kSidePanels) {
        const SidebarTabView* tabView = controller ? controller->sidebarTabView(item) : nullptr;
        for (qsizetype index = 0; tabView && index < tabView->numberOfTabs(); ++index)
            if (auto* panel = dynamic_cast<VLTMTabContentViewController*>(tabView->tabAtIndex(index)->viewController()))
                panel->setDrawing(drawing);
    }
}
