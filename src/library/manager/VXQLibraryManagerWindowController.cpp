#include "library/manager/VXQLibraryManagerWindowController.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerDebugActions.h"
#include "library/manager/LibraryManagerWindowBuilder.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ApplicationSingleton.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/ResponderChain.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <algorithm>

namespace {

using SharedManager = platform::ApplicationSingleton<VXQLibraryManagerWindowController>;

} // namespace

// --- Creation -------------------------------------------------------------------------------------

VXQLibraryManagerWindowController::VXQLibraryManagerWindowController()
    : m_outline(std::make_unique<LibraryOutlineController>())
    , m_itemList(std::make_unique<LibraryManagerItemList>(*this, *m_outline))
    , m_commands(std::make_unique<LibraryCollectionCommands>(*this, *m_outline, *m_itemList))
    , m_printing(std::make_unique<LibraryManagerPrinting>(*this, *m_outline, *m_itemList))
    , m_browserDelegate(std::make_unique<LibraryManagerBrowserDelegate>(*this, *m_outline, *m_itemList, *m_printing))
    , m_importExport(std::make_unique<LibraryManagerImportExport>(*this, *m_outline))
    , m_transfers(std::make_unique<LibraryManagerTransfers>(*this, *m_outline, *m_itemList, *m_browserDelegate))
{
    initWithWindowNibName(QStringLiteral("QuorvaneLibraryManager"));
}

VXQLibraryManagerWindowController::~VXQLibraryManagerWindowController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    // The window's views call back while they go: they go first, with nobody listening.
    if (LibraryOutlineView* view = m_outline->view()) {
        view->setSelectionHandler({});
        view->setExpansionHandler({});
    }
    if (m_itemBrowser)
        m_itemBrowser->setDelegate(nullptr);
    if (isWindowLoaded())
        delete window();
    SharedManager::forget(this);
}

VXQLibraryManagerWindowController* VXQLibraryManagerWindowController::sharedLibraryManager()
{
    return SharedManager::instance();
}

bool VXQLibraryManagerWindowController::sharedLibraryManagerAvailable()
{
    return SharedManager::existing() != nullptr;
}

void VXQLibraryManagerWindowController::setAlertRunner(AlertRunner runner)
{
    LibraryManagerAlerts::setRunner(std::move(runner));
}

// --- The window -------------------------------------------------------------------------------------

QWidget* VXQLibraryManagerWindowController::loadWindow()
{
    VXQLibraryCatalogue::initialize();
    m_itemBrowser = new VXQLibraryItemViewController;
    m_itemBrowser->setParent(this);
    m_itemBrowser->setDelegate(m_browserDelegate.get());
    m_itemList->setBrowser(m_itemBrowser);
    m_getInfoController = new VXQLibraryGetInfoController;
    m_getInfoController->setParent(this);

    LibraryManagerWindowBuilder builder(this);
    m_widgets = builder.build(m_outline->makeView(), *m_itemBrowser, *m_getInfoController);
    const platform::ModifierFlags held = platform::modifierFlagsFromQt(QGuiApplication::queryKeyboardModifiers());
    if (LibraryManagerDebugActions::wantedWithModifiers(held)) {
        m_debugActions = std::make_unique<LibraryManagerDebugActions>(*this);
        m_widgets.actionMenu->addSeparator();
        m_widgets.actionMenu->addMenu(m_debugActions->makeMenu(m_widgets.actionMenu));
    }
    connectWidgets();
    return m_widgets.window;
}

void VXQLibraryManagerWindowController::connectWidgets()
{
    connect(m_outline.get(), &LibraryOutlineController::selectionChanged, this, [this] { outlineViewSelectionDidChange(); });
    QLineEdit* search = m_widgets.searchField;
    connect(search, &QLineEdit::textChanged, this, [this, search] { m_itemList->searchFieldAction(search); });
    for (int segment = 0; segment < 3; ++segment) {
        QToolButton* button = m_widgets.barButtons[segment];
        connect(button, &QToolButton::clicked, this, [this, button] { m_commands->bottomBarButtonAction(button); });
    }
    QMenu* moveTo = m_widgets.moveToMenu;
    connect(moveTo, &QMenu::aboutToShow, this, [this, moveTo] { m_transfers->updateMoveToMenu(moveTo); });
    m_itemList->setFields(m_widgets.searchField, m_widgets.itemsInfoField);
    m_browserDelegate->setWidgets(m_widgets.itemIdentifierField, m_getInfoController);
    m_outline->setDropHandler(m_transfers.get());
}

void VXQLibraryManagerWindowController::windowDidLoad()
{
    window()->restoreGeometry(managerDefaults().dataForKey(kLibManagerWindowFrame));
    m_itemBrowser->setSheetHostWindow(window());
    m_outline->setShowsDocumentsLibraries(false);
    m_outline->loadSettingsAndExpandRows();
    for (int segment = 0; segment < 2; ++segment)
        m_widgets.barButtons[segment]->setEnabled(false);
    observeNotifications();

    auto* category = qobject_cast<VXQLibraryCategory*>(
        m_outline->itemWithIdentifier(managerDefaults().stringForKey(kLibManagerLastCategorySelection)));
    if (!category) {
        const QList<VXQLibraryGroup*> top = m_outline->groups();
        const auto libraries = top.isEmpty() ? std::nullopt : top.first()->libraries();
        if (libraries && !libraries->isEmpty())
            category = libraries->last()->allItemsCategory();
    }
    if (!category || !selectCategory(category))
        m_itemList->loadItemsViewPreservingSelection(true);
    m_itemList->updateBottomBarInfo();
}

bool VXQLibraryManagerWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::WindowActivate && !m_itemList->isCached())
        m_itemList->loadItemsViewPreservingSelection(true);
    if (watched == window() && (event->type() == QEvent::Move || event->type() == QEvent::Resize) && window()->isVisible())
        managerDefaults().setObjectForKey(window()->saveGeometry(), kLibManagerWindowFrame);
    return platform::WindowController::eventFilter(watched, event);
}

LibraryOutlineView* VXQLibraryManagerWindowController::outlineView() const
{
    return m_outline->view();
}

QToolButton* VXQLibraryManagerWindowController::bottomBarButton(int segment) const
{
    return segment >= 0 && segment < int(m_widgets.barButtons.size()) ? m_widgets.barButtons[segment] : nullptr;
}

void VXQLibraryManagerWindowController::outlineViewSelectionDidChange()
{
    auto* container = qobject_cast<VXQLibraryElementContainer*>(selectedItem());
    m_widgets.barButtons[0]->setEnabled(container && container->allowsSubContainers());
    m_widgets.barButtons[1]->setEnabled(m_outline->selectedCategoriesCanBeDeleted());
    m_itemList->reloadPreservingSelection();
    if (VXQLibraryCategory* category = currentCategory())
        managerDefaults().setObjectForKey(category->identifier(), kLibManagerLastCategorySelection);
}

// --- Notifications ------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::observeNotifications()
{
    auto& centre = platform::NotificationCenter::defaultCenter();
    using Handler = void (VXQLibraryManagerWindowController::*)(const platform::Notification&);
    const auto observe = [this, &centre](const QString& name, Handler handler) {
        centre.addObserver(this, name, nullptr, [this, handler](const platform::Notification& n) { (this->*handler)(n); });
    };
    observe(kVXQLibraryGroupWasRegistered, &VXQLibraryManagerWindowController::rootContentChanged);
    observe(kVXQDocumentLibraryWasAddedOrRemoved, &VXQLibraryManagerWindowController::refreshDocumentLibraries);
    observe(kVXQLibraryGroupContentWasChanged, &VXQLibraryManagerWindowController::groupContentChanged);
    observe(kVXQLibraryContentDidChange, &VXQLibraryManagerWindowController::libraryContentChanged);
    for (const QString& name : {kVXQLibraryCategoryContentDidChange, kVXQLibraryCategoryDidAddItem, kVXQLibraryCategoryDidRemoveItem})
        observe(name, &VXQLibraryManagerWindowController::categoryContentChanged);
}

void VXQLibraryManagerWindowController::rootContentChanged(const platform::Notification& notification)
{
    m_outline->dropCachedGroups();
    m_outline->reloadOutline();
    auto* group = qobject_cast<VXQLibraryGroup*>(notification.sender);
    ZQLogObjCMethod(QStringLiteral("root content changed, group = %1").arg(group ? group->name() : QString()));
}

void VXQLibraryManagerWindowController::refreshDocumentLibraries(const platform::Notification&)
{
    if (!m_outline->showsDocumentsLibraries())
        return;
    VXQLibraryGroup::documentsGroup()->invalidateSubContainersCache();
    m_outline->reloadOutline();
    m_itemList->reloadPreservingSelection();
}

void VXQLibraryManagerWindowController::groupContentChanged(const platform::Notification&)
{
    m_outline->reloadOutline();
    m_itemList->reloadPreservingSelection();
}

void VXQLibraryManagerWindowController::libraryContentChanged(const platform::Notification& notification)
{
    auto* library = qobject_cast<VXQLibrary*>(notification.sender);
    if (library && currentCategory() && currentCategory() == library->allItemsCategory())
        m_itemList->reloadPreservingSelection();
}

void VXQLibraryManagerWindowController::categoryContentChanged(const platform::Notification& notification)
{
    auto* category = qobject_cast<VXQLibraryCategory*>(notification.sender);
    ZQLogObjCMethod(QStringLiteral("got category change from %1").arg(category ? category->name() : QString()));
    if (notification.sender && notification.sender == currentCategory())
        m_itemList->reloadPreservingSelection();
}

// --- Selection --------------------------------------------------------------------------------------------

bool VXQLibraryManagerWindowController::selectLibrary(VXQLibrary* library)
{
    window();
    return m_outline->selectLibrary(library);
}

bool VXQLibraryManagerWindowController::selectCategory(VXQLibraryCategory* category)
{
    window();
    return m_outline->selectCategory(category);
}

QList<VXQLibraryItemPtr> VXQLibraryManagerWindowController::selection() const
{
    return m_itemBrowser ? m_itemBrowser->selectedItems() : QList<VXQLibraryItemPtr>();
}

bool VXQLibraryManagerWindowController::showItemWithUniqueIDSelectIt(const QString& key, bool select)
{
    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(key);
    if (!library)
        return false;
    window();
    if (selectedLibrary() != library && !selectLibrary(library))
        return false;
    const QList<VXQLibraryItemPtr> shown = sortedAndFilteredItems();
    const bool listed = std::any_of(shown.begin(), shown.end(), [&key](const VXQLibraryItemPtr& item) { return item->uniqueKey() == key; });
    if (!listed) {
        if (!selectCategory(library->allItemsCategory()))
            outlineView()->selectItem(library->allItemsCategory());
        m_itemList->clearFilter();
    }
    VXQLibraryItem* item = library->itemWithUniqueID(key);
    return item && m_itemBrowser->revealItemSelectIt(item, select);
}

bool VXQLibraryManagerWindowController::showItemWithUniqueIDInCategorySelectIt(const QString& key, VXQLibraryCategory* category,
                                                                              bool select)
{
    if (category)
        selectCategory(category);
    return showItemWithUniqueIDSelectIt(key, select);
}

// --- Actions ---------------------------------------------------------------------------------------------------

QList<QObject*> VXQLibraryManagerWindowController::forwardingTargetsForSelector(const QByteArray&) const
{
    QList<QObject*> parts{m_outline.get(),         m_itemList.get(),     m_commands.get(), m_printing.get(),
                          m_browserDelegate.get(), m_importExport.get(), m_transfers.get()};
    if (m_debugActions)
        parts.append(m_debugActions.get());
    return parts;
}

bool VXQLibraryManagerWindowController::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    // Each part validates the actions it carries; one without a validator enables them.
    for (QObject* part : forwardingTargetsForSelector(action))
        if (platform::ResponderChain::hasActionMethod(part, action))
            return item->isEnabledBy(part);
    return platform::ResponderChain::hasActionMethod(this, action);
}
