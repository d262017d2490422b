#include "library/manager/VXQLibraryManagerWindowController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "app/progress/ZQProgressController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryManagerDebugActions.h"
#include "library/manager/LibraryOutlineCell.h"
#include "library/manager/LibraryOutlineView.h"
#include "library/menus/LibraryArtwork.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationSingleton.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/Sheet.h"
#include "widgets/controls/ZQSegmentedControl.h"

#include <QDesktopServices>
#include <QDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

using platform::MenuItem;
using platform::UserDefaults;

namespace {

using SharedManager = platform::ApplicationSingleton<VXQLibraryManagerWindowController>;
VXQLibraryManagerWindowController::AlertRunner s_alertRunner;

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

VXQLibrary* asLibrary(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibrary*>(item);
}

VXQLibraryCategory* asCategory(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibraryCategory*>(item);
}

VXQLibraryGroup* asGroup(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibraryGroup*>(item);
}

QToolButton* makeBarButton(const QString& text, const QString& toolTip)
{
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFixedSize(28, 22);
    return button;
}

} // namespace

// --- Creation -------------------------------------------------------------------------------------

VXQLibraryManagerWindowController::VXQLibraryManagerWindowController()
{
    initWithWindowNibName(QStringLiteral("QuorvaneLibraryManager"));
}

VXQLibraryManagerWindowController::~VXQLibraryManagerWindowController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    // The window's views call back while they go: they go first, with nobody listening.
    if (m_libraryOutlineView) {
        m_libraryOutlineView->setSelectionHandler({});
        m_libraryOutlineView->setExpansionHandler({});
    }
    if (m_itemViewController)
        m_itemViewController->setDelegate(nullptr);
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
    s_alertRunner = std::move(runner);
}

int VXQLibraryManagerWindowController::runAlert(platform::Alert& alert) const
{
    return s_alertRunner ? s_alertRunner(alert) : alert.runModal();
}

void VXQLibraryManagerWindowController::beep() const
{
    platform::Application::beep();
}

// --- The window -------------------------------------------------------------------------------------

QWidget* VXQLibraryManagerWindowController::loadWindow()
{
    VXQLibraryCatalogue::initialize();
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("QuorvaneLibraryManager"));
    window->setWindowTitle(tr("Library Manager"));
    window->resize(820, 520);

    m_libraryOutlineView = new LibraryOutlineView(this);
    m_libraryOutlineView->setMinimumWidth(160);
    m_libraryOutlineView->setSelectionHandler([this] { outlineViewSelectionDidChange(); });
    m_libraryOutlineView->setExpansionHandler([this] { saveExpandedItems(); });

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_libraryOutlineView);
    splitter->addWidget(makeRightPane());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    // The outline keeps its width while the window is resized.
    splitter->setSizes({220, 600});

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addWidget(makeBottomBar());
    makeMenuBar(window);
    return window;
}

QWidget* VXQLibraryManagerWindowController::makeRightPane()
{
    auto* pane = new QWidget;
    m_filterInputSearchField = new QLineEdit;
    m_filterInputSearchField->setObjectName(QStringLiteral("searchField"));
    m_filterInputSearchField->setPlaceholderText(tr("Search"));
    m_filterInputSearchField->setClearButtonEnabled(true);
    connect(m_filterInputSearchField, &QLineEdit::textChanged, this, [this] { searchFieldAction(m_filterInputSearchField); });

    auto* modes = new platform::Menu(tr("Search"), pane);
    const QStringList titles{tr("Contains"), tr("Begins With"), tr("Like"), tr("Ends With")};
    for (int mode = 0; mode < titles.size(); ++mode) {
        MenuItem* item = modes->addItemWithTitleActionKeyEquivalent(titles[mode], "searchFieldModeAction");
        item->setTag(mode);
        item->setTarget(this);
    }
    modes->addSeparator();
    modes->addItemWithTitleActionKeyEquivalent(tr("Convert to Smart Category"), "searchFieldConvertToSmartCategoryAction")
        ->setTarget(this);
    auto* modeButton = new QToolButton;
    modeButton->setText(QStringLiteral("⌕"));
    modeButton->setToolTip(tr("Search options"));
    modeButton->setMenu(modes);
    modeButton->setPopupMode(QToolButton::InstantPopup);
    modeButton->setAutoRaise(true);

    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(6, 4, 6, 4);
    searchRow->addStretch();
    searchRow->addWidget(modeButton);
    searchRow->addWidget(m_filterInputSearchField);
    m_filterInputSearchField->setMaximumWidth(240);

    m_itemViewController = new VXQLibraryItemViewController;
    m_itemViewController->setParent(this);
    m_itemViewController->setDelegate(this);
    QWidget* browser = m_itemViewController->view();
    m_itemViewController->awakeFromInterface();
    searchRow->insertWidget(0, m_itemViewController->layoutModeControl());
    searchRow->insertWidget(1, m_itemViewController->iconSizeControl());
    searchRow->insertWidget(2, m_itemViewController->sortByPopUpButton());

    m_getInfoController = new VXQLibraryGetInfoController;
    m_getInfoController->setParent(this);
    QWidget* info = m_getInfoController->view();
    info->setVisible(false);
    auto* infoButton = new QToolButton;
    infoButton->setText(tr("Info"));
    infoButton->setToolTip(tr("Get Info"));
    infoButton->setCheckable(true);
    infoButton->setAutoRaise(true);
    connect(infoButton, &QToolButton::toggled, info, &QWidget::setVisible);
    searchRow->addWidget(infoButton);
    auto* browserAndInfo = new QHBoxLayout;
    browserAndInfo->setContentsMargins(0, 0, 0, 0);
    browserAndInfo->addWidget(browser, 1);
    browserAndInfo->addWidget(info);
    // The key is what maps and libraries know the item by; named, it reads as such and not
    // as a stray code.
    auto* identifierRow = new QHBoxLayout;
    identifierRow->setContentsMargins(6, 2, 6, 2);
    auto* identifierTitle = new QLabel(tr("Unique key:"));
    m_itemIdentifierField = new QLabel;
    m_itemIdentifierField->setObjectName(QStringLiteral("itemIdentifier"));
    m_itemIdentifierField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_itemIdentifierField->setToolTip(tr("The key by which maps and libraries refer to the selected item"));
    identifierTitle->setBuddy(m_itemIdentifierField);
    identifierRow->addWidget(identifierTitle);
    identifierRow->addWidget(m_itemIdentifierField, 1);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(searchRow);
    layout->addLayout(browserAndInfo, 1);
    layout->addLayout(identifierRow);
    return pane;
}

QWidget* VXQLibraryManagerWindowController::makeBottomBar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("bottomBar"));
    bar->setFixedHeight(26);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 0, 8, 0);
    layout->setSpacing(1);
    m_bottomBarButtons[0] = makeBarButton(QStringLiteral("+"), tr("New Category"));
    m_bottomBarButtons[1] = makeBarButton(QStringLiteral("−"), tr("Delete Category"));
    m_bottomBarButtons[2] = makeBarButton(QStringLiteral("⊞"), tr("New Collection"));
    m_bottomBarButtons[3] = makeBarButton(QStringLiteral("⚙"), tr("Actions"));
    for (int segment = 0; segment < 3; ++segment) {
        m_bottomBarButtons[segment]->setProperty("tag", segment);
        connect(m_bottomBarButtons[segment], &QToolButton::clicked, this,
                [this, segment] { bottomBarButtonAction(m_bottomBarButtons[segment]); });
    }
    m_bottomBarActionMenu = makeActionMenu();
    m_bottomBarButtons[3]->setMenu(m_bottomBarActionMenu);
    m_bottomBarButtons[3]->setPopupMode(QToolButton::InstantPopup);
    for (QToolButton* button : m_bottomBarButtons)
        layout->addWidget(button);
    m_bottomBarItemsInfoTextField = new QLabel;
    m_bottomBarItemsInfoTextField->setObjectName(QStringLiteral("itemsInfo"));
    layout->addStretch();
    layout->addWidget(m_bottomBarItemsInfoTextField);
    layout->addStretch();
    return bar;
}

LibraryOutlineView* VXQLibraryManagerWindowController::outlineView() const
{
    return m_libraryOutlineView;
}

QToolButton* VXQLibraryManagerWindowController::bottomBarButton(int segment) const
{
    return segment >= 0 && segment < 4 ? m_bottomBarButtons[segment] : nullptr;
}

QMenu* VXQLibraryManagerWindowController::makeActionMenu()
{
    auto* menu = new platform::Menu(QString(), m_bottomBarButtons[3]);
    const auto add = [this, menu](const QString& title, const QByteArray& action) {
        MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
        item->setTarget(this);
        return item;
    };
    add(tr("New Collection"), "newLibraryAction");
    add(tr("New Category"), "newCategoryAction");
    add(tr("New Smart Category"), "newSmartCategoryAction");
    add(tr("Edit Smart Category..."), "editSmartCategoryAction");
    menu->addSeparator();
    add(tr("Rename"), "renameAction");
    add(tr("Delete Category"), "deleteCategoryAction");
    add(tr("Delete Collection..."), "deleteLibraryAction");
    add(tr("Make Default Collection"), "nominateDefaultLibraryAction");
    menu->addSeparator();
    add(tr("Remove Items From Category"), "removeItemsAction");
    add(tr("Edit Symbols..."), "editItemsAction");
    m_moveToDynamicMenu = new platform::Menu(tr("Move To Collection"), menu);
    connect(m_moveToDynamicMenu, &QMenu::aboutToShow, this, [this] { updateMoveToMenu(m_moveToDynamicMenu); });
    menu->addMenu(m_moveToDynamicMenu);
    menu->addSeparator();
    add(tr("Import Collection..."), "importLibraryAction");
    add(tr("Export Collection..."), "exportLibraryAction");
    add(tr("Show in File Manager"), "revealInFinderAction");
    add(tr("Share"), "toggleLibrarySharing");
    menu->addSeparator();
    auto* sort = new platform::Menu(tr("Sort Categories By"), menu);
    const QStringList sortTitles{tr("Name"), tr("Kind"), tr("Number of Items")};
    for (int mode = 0; mode < sortTitles.size(); ++mode) {
        MenuItem* item = sort->addItemWithTitleActionKeyEquivalent(sortTitles[mode], "sortMainListAction");
        item->setTag(mode);
        item->setTarget(this);
    }
    menu->addMenu(sort);
    add(tr("Show Collection Counts"), "toggleShowLibraryCounts");
    add(tr("Show Category Counts"), "toggleShowCategoryCounts");
    menu->addSeparator();
    add(tr("Page Setup..."), "runPageLayout");
    add(tr("Print..."), "printDocument");
    add(tr("Library Manager Help"), "helpButtonAction");

    const platform::ModifierFlags held = platform::modifierFlagsFromQt(QGuiApplication::queryKeyboardModifiers());
    if (LibraryManagerDebugActions::wantedWithModifiers(held)) {
        m_debugActions = std::make_unique<LibraryManagerDebugActions>(*this);
        menu->addSeparator();
        menu->addMenu(m_debugActions->makeMenu(menu));
    }
    return menu;
}

QList<QObject*> VXQLibraryManagerWindowController::forwardingTargetsForSelector(const QByteArray&) const
{
    QList<QObject*> parts;
    if (m_debugActions)
        parts.append(m_debugActions.get());
    return parts;
}

void VXQLibraryManagerWindowController::makeMenuBar(QWidget* window)
{
    auto* bar = new QMenuBar(window);
    auto* file = new platform::Menu(tr("&File"), bar);
    file->addItemWithTitleActionKeyEquivalent(tr("Import Collection..."), "importLibraryAction");
    file->addItemWithTitleActionKeyEquivalent(tr("Export Collection..."), "exportLibraryAction");
    file->addSeparator();
    file->addItemWithTitleActionKeyEquivalent(tr("Page Setup..."), "runPageLayout");
    file->addItemWithTitleActionKeyEquivalent(tr("Print..."), "printDocument", QStringLiteral("p"));
    file->addSeparator();
    file->addItemWithTitleActionKeyEquivalent(tr("Close"), "performClose", QStringLiteral("w"));
    bar->addMenu(file);
    auto* edit = new platform::Menu(tr("&Edit"), bar);
    edit->addItemWithTitleActionKeyEquivalent(tr("Paste"), "paste", QStringLiteral("v"));
    edit->addItemWithTitleActionKeyEquivalent(tr("Rename"), "renameAction");
    bar->addMenu(edit);
    bar->addMenu(m_bottomBarActionMenu)->setText(tr("&Collection"));
    window->layout()->setMenuBar(bar);
}

void VXQLibraryManagerWindowController::windowDidLoad()
{
    window()->restoreGeometry(defaults().dataForKey(kLibManagerWindowFrame));
    m_itemViewController->setSheetHostWindow(window());
    setShowsDocumentsLibraries(false);
    m_catSortChanges = 5;
    m_itemSortChanges = 5;
    m_showLibraryCounts = defaults().boolForKey(kLibManagerShowLibraryCounts);
    m_showCategoryCounts = defaults().boolForKey(kLibManagerShowCategoryCounts);
    m_outlineSortDescriptors = {{QStringLiteral("name")}};
    m_libraryOutlineView->reloadData();
    for (VXQLibraryGroup* group : groups())
        m_libraryOutlineView->expandItem(group);
    restoreExpandedItems();
    for (int segment = 0; segment < 2; ++segment)
        m_bottomBarButtons[segment]->setEnabled(false);
    observeNotifications();

    auto* category = asCategory(itemWithIdentifier(defaults().stringForKey(kLibManagerLastCategorySelection)));
    if (!category) {
        const QList<VXQLibraryGroup*> top = groups();
        const auto libraries = top.isEmpty() ? std::nullopt : top.first()->libraries();
        if (libraries && !libraries->isEmpty())
            category = libraries->last()->allItemsCategory();
    }
    if (!category || !selectCategory(category))
        loadItemsViewPreservingSelection(true);
    updateBottomBarInfo();
}

bool VXQLibraryManagerWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::WindowActivate)
        windowDidBecomeMain();
    if (watched == window() && (event->type() == QEvent::Move || event->type() == QEvent::Resize) && window()->isVisible())
        defaults().setObjectForKey(window()->saveGeometry(), kLibManagerWindowFrame);
    return platform::WindowController::eventFilter(watched, event);
}

void VXQLibraryManagerWindowController::windowDidBecomeMain()
{
    if (!m_cachedItems)
        loadItemsViewPreservingSelection(true);
}

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

// --- Notifications ------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::rootContentChanged(const platform::Notification& notification)
{
    dropCachedGroups();
    reloadOutline();
    auto* group = qobject_cast<VXQLibraryGroup*>(notification.sender);
    ZQLogObjCMethod(QStringLiteral("root content changed, group = %1").arg(group ? group->name() : QString()));
}

void VXQLibraryManagerWindowController::refreshDocumentLibraries(const platform::Notification&)
{
    if (!showsDocumentsLibraries())
        return;
    VXQLibraryGroup::documentsGroup()->invalidateSubContainersCache();
    reloadOutline();
    invalidateItemsCache();
    loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::groupContentChanged(const platform::Notification&)
{
    reloadOutline();
    invalidateItemsCache();
    loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::libraryContentChanged(const platform::Notification& notification)
{
    auto* library = qobject_cast<VXQLibrary*>(notification.sender);
    if (library && currentCategory() && currentCategory() == library->allItemsCategory()) {
        invalidateItemsCache();
        loadItemsViewPreservingSelection(true);
    }
}

void VXQLibraryManagerWindowController::categoryContentChanged(const platform::Notification& notification)
{
    auto* category = qobject_cast<VXQLibraryCategory*>(notification.sender);
    ZQLogObjCMethod(QStringLiteral("got category change from %1").arg(category ? category->name() : QString()));
    if (notification.sender && notification.sender == currentCategory()) {
        invalidateItemsCache();
        loadItemsViewPreservingSelection(true);
    }
}

// --- Groups and look-ups ---------------------------------------------------------------------------------

QList<VXQLibraryGroup*> VXQLibraryManagerWindowController::groups()
{
    if (m_cachedLibraries)
        return *m_cachedLibraries;
    VXQLibraryCatalogue::initialize();
    VXQLibraryCatalogue::factoryLibraries();
    VXQLibraryCatalogue::userLibraries();
    QList<VXQLibraryGroup*> list{VXQLibraryGroup::factoryGroup(), VXQLibraryGroup::userGroup()};
    if (showsDocumentsLibraries()) {
        VXQLibraryCatalogue::documentsLibraries();
        list.append(VXQLibraryGroup::documentsGroup());
    }
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        if (!list.contains(group.get()) && group->name() != kVXQLibraryDocumentGroupName)
            list.append(group.get());
    m_cachedLibraries = list;
    return list;
}

void VXQLibraryManagerWindowController::dropCachedGroups()
{
    m_cachedLibraries.reset();
}

QList<VXQLibraryPtr> VXQLibraryManagerWindowController::userLibraries()
{
    return groups().at(1)->libraries().value_or(QList<VXQLibraryPtr>());
}

VXQLibraryElement* VXQLibraryManagerWindowController::itemWithIdentifier(const QString& identifier) const
{
    const QStringList parts = identifier.split(u'.');
    if (identifier.isEmpty() || parts.isEmpty())
        return nullptr;
    VXQLibraryGroup* group = groupWithName(parts.first());
    if (!group || parts.size() == 1)
        return group;
    VXQLibrary* library = group->libraryWithName(parts.at(1));
    if (!library || parts.size() == 2)
        return library;
    return library->itemWithIdentifier(identifier);
}

// --- Selection --------------------------------------------------------------------------------------------

VXQLibrary* VXQLibraryManagerWindowController::selectedLibrary() const
{
    VXQLibraryElement* item = m_libraryOutlineView ? m_libraryOutlineView->firstSelectedItem() : nullptr;
    if (!item)
        return nullptr;
    if (auto* library = asLibrary(item))
        return library;
    return item->library();
}

VXQLibraryElement* VXQLibraryManagerWindowController::selectedItem() const
{
    VXQLibraryElement* item = m_libraryOutlineView ? m_libraryOutlineView->firstSelectedItem() : nullptr;
    return asGroup(item) ? nullptr : item;
}

QList<VXQLibraryCategory*> VXQLibraryManagerWindowController::selectedCategories() const
{
    QList<VXQLibraryCategory*> categories;
    if (!m_libraryOutlineView)
        return categories;
    for (VXQLibraryElement* item : m_libraryOutlineView->selectedItems()) {
        if (auto* library = asLibrary(item)) {
            if (VXQLibraryCategory* all = library->allItemsCategory())
                categories.append(all);
        } else if (auto* category = asCategory(item)) {
            categories.append(category);
        }
    }
    return categories;
}

VXQLibraryCategory* VXQLibraryManagerWindowController::currentCategory() const
{
    const QList<VXQLibraryCategory*> categories = selectedCategories();
    return categories.isEmpty() ? nullptr : categories.last();
}

QList<VXQLibraryItemPtr> VXQLibraryManagerWindowController::selection() const
{
    return m_itemViewController ? m_itemViewController->selectedItems() : QList<VXQLibraryItemPtr>();
}

bool VXQLibraryManagerWindowController::selectedCategoriesCanBeDeleted() const
{
    for (VXQLibraryCategory* category : selectedCategories())
        if (category->isDeletable() && category->container() && category->container()->allowsSubContainers())
            return true;
    return false;
}

bool VXQLibraryManagerWindowController::selectLibrary(VXQLibrary* library)
{
    window();
    if (!library)
        return false;
    if (selectedLibrary() == library && asLibrary(m_libraryOutlineView->firstSelectedItem()))
        return true;
    if (!m_libraryOutlineView->hasRowForItem(library)) {
        VXQLibraryGroup* holder = nullptr;
        for (VXQLibraryGroup* group : groups())
            for (const VXQLibraryPtr& each : group->libraries().value_or(QList<VXQLibraryPtr>()))
                if (each.get() == library)
                    holder = group;
        if (!holder)
            return false;
        m_libraryOutlineView->expandItem(holder);
    }
    if (!m_libraryOutlineView->selectItem(library))
        return false;
    m_libraryOutlineView->scrollToItem(library);
    return true;
}

bool VXQLibraryManagerWindowController::selectCategory(VXQLibraryCategory* category)
{
    window();
    if (!category || selectedCategories().contains(category))
        return false;
    // A category made elsewhere since the outline last asked has no row yet.
    if (!m_libraryOutlineView->hasRowForItem(category))
        reloadOutline();
    if (VXQLibrary* library = category->library()) {
        if (VXQLibraryGroup* group = groupWithName(library->group()))
            m_libraryOutlineView->expandItem(group);
        m_libraryOutlineView->expandItem(library);
        QList<VXQLibraryElementContainer*> chain;
        for (VXQLibraryElementContainer* up = category->container(); up && up != library; up = up->container())
            chain.prepend(up);
        for (VXQLibraryElementContainer* container : chain)
            m_libraryOutlineView->expandItem(container);
    }
    if (!m_libraryOutlineView->selectItem(category))
        return false;
    m_libraryOutlineView->scrollToItem(category);
    return true;
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
            m_libraryOutlineView->selectItem(library->allItemsCategory());
        setFilterString({});
        if (m_filterInputSearchField) {
            const QSignalBlocker quiet(m_filterInputSearchField);
            m_filterInputSearchField->clear();
        }
    }
    VXQLibraryItem* item = library->itemWithUniqueID(key);
    return item && m_itemViewController->revealItemSelectIt(item, select);
}

bool VXQLibraryManagerWindowController::showItemWithUniqueIDInCategorySelectIt(const QString& key, VXQLibraryCategory* category,
                                                                              bool select)
{
    if (category)
        selectCategory(category);
    return showItemWithUniqueIDSelectIt(key, select);
}

void VXQLibraryManagerWindowController::outlineViewSelectionDidChange()
{
    const bool deletable = selectedCategoriesCanBeDeleted();
    VXQLibraryElement* item = selectedItem();
    auto* container = qobject_cast<VXQLibraryElementContainer*>(item);
    const bool canAdd = container && container->allowsSubContainers();
    m_bottomBarButtons[0]->setEnabled(canAdd);
    m_bottomBarButtons[1]->setEnabled(deletable);
    invalidateItemsCache();
    loadItemsViewPreservingSelection(true);
    if (VXQLibraryCategory* category = currentCategory())
        defaults().setObjectForKey(category->identifier(), kLibManagerLastCategorySelection);
}

void VXQLibraryManagerWindowController::saveExpandedItems()
{
    QStringList identifiers;
    for (VXQLibraryElement* item : m_libraryOutlineView->expandedItems())
        identifiers.append(item->identifier());
    defaults().setObjectForKey(identifiers, kLibManagerExpandedItems);
}

void VXQLibraryManagerWindowController::restoreExpandedItems()
{
    for (const QVariant& identifier : defaults().arrayForKey(kLibManagerExpandedItems))
        if (VXQLibraryElement* item = itemWithIdentifier(identifier.toString()))
            m_libraryOutlineView->expandItem(item);
}

void VXQLibraryManagerWindowController::reloadOutline()
{
    if (m_libraryOutlineView)
        m_libraryOutlineView->reloadData();
}

void VXQLibraryManagerWindowController::startEditingItem(VXQLibraryElement* item)
{
    m_libraryOutlineView->scrollToItem(item);
    m_libraryOutlineView->editItem(item);
}

// --- The outline's data source --------------------------------------------------------------------------------

QList<VXQLibraryElement*> VXQLibraryManagerWindowController::outlineViewChildrenOfItem(VXQLibraryElement* item)
{
    QList<VXQLibraryElement*> children;
    if (!item) {
        for (VXQLibraryGroup* group : groups())
            children.append(group);
    } else if (auto* group = asGroup(item)) {
        for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
            children.append(library.get());
    } else if (auto* container = qobject_cast<VXQLibraryElementContainer*>(item)) {
        for (const VXQLibraryElementPtr& child :
             container->sortedSubContainersUsingSortDescriptorsCookie(m_outlineSortDescriptors, m_catSortChanges))
            children.append(child.get());
    }
    return children;
}

bool VXQLibraryManagerWindowController::outlineViewIsItemExpandable(VXQLibraryElement* item)
{
    if (asGroup(item))
        return true;
    auto* container = qobject_cast<VXQLibraryElementContainer*>(item);
    return container && container->countOfSubContainers() > 0;
}

QString VXQLibraryManagerWindowController::outlineViewObjectValueForItem(VXQLibraryElement* item)
{
    return item->name();
}

void VXQLibraryManagerWindowController::outlineViewSetObjectValueForItem(const QString& value, VXQLibraryElement* item)
{
    if (value == item->name())
        return;
    const QPointer<VXQLibraryElement> edited(item);
    item->setName(value);
    bumpCategoryChanges();
    if (auto* container = qobject_cast<VXQLibraryElementContainer*>(item->container()))
        container->invalidateSubContainersCache();
    // Not inside the editor's own commit: the reload removes the row being edited.
    platform::RunLoop::performAfterDelay(this, [this, edited] {
        reloadOutline();
        if (edited) {
            m_libraryOutlineView->selectItem(edited);
            m_libraryOutlineView->scrollToItem(edited);
        }
    }, 0);
}

bool VXQLibraryManagerWindowController::outlineViewShouldEditItem(VXQLibraryElement* item)
{
    if (auto* library = asLibrary(item))
        return !library->isFactoryLibrary() && library->allowsContentChanges();
    if (auto* category = asCategory(item))
        return category->allowsNameChange();
    return false;
}

bool VXQLibraryManagerWindowController::outlineViewIsGroupItem(VXQLibraryElement* item)
{
    return asGroup(item) != nullptr;
}

QString VXQLibraryManagerWindowController::outlineViewToolTipForItem(VXQLibraryElement* item)
{
    return item->toolTipString();
}

LibraryOutlineCellValues VXQLibraryManagerWindowController::outlineViewWillDisplayItem(VXQLibraryElement* item)
{
    LibraryOutlineCellValues values;
    values.icon = libraryElementIcon(item);
    const bool isLibrary = asLibrary(item) != nullptr;
    const bool counted = isLibrary ? m_showLibraryCounts : (asCategory(item) && m_showCategoryCounts);
    if (counted)
        values.badgeCount = static_cast<VXQLibraryElementContainer*>(item)->allElementsCount();
    values.badgeColour = isLibrary ? LibraryOutlineCell::libraryBadgeColour() : LibraryOutlineCell::categoryBadgeColour();
    if (auto* category = asCategory(item))
        values.readOnly = category->isReadOnly();
    return values;
}

// --- Library and category commands -------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::newLibraryAction(QObject*)
{
    VXQLibraryPtr library = VXQLibraryCatalogue::userLibraryWithPreferredName(VXQLibraryCatalogue::defaultUserLibraryName());
    if (!library)
        return;
    dropCachedGroups();
    reloadOutline();
    if (!selectLibrary(library.get()))
        return;
    startEditingItem(library.get());
}

void VXQLibraryManagerWindowController::newCategoryAction(QObject*)
{
    if (VXQLibrary* library = selectedLibrary())
        makeNewCategoryForLibrary(library);
}

VXQLibraryCategory* VXQLibraryManagerWindowController::makeNewCategoryForLibrary(VXQLibrary* library)
{
    auto* container = qobject_cast<VXQLibraryElementContainer*>(selectedItem());
    if (!library || !container || !container->allowsSubContainers())
        return nullptr;
    const QString name = library->uniqueNameForSubContainer(tr("untitled category"));
    VXQLibraryCategory* made = nullptr;
    if (auto* parent = asCategory(container)) {
        VXQLibraryCategoryPtr category = VXQLibraryCategory::categoryWithNameLibrary(name, library);
        parent->addCategory(category);
        made = category.get();
    } else {
        made = library->addCategoryWithName(name);
    }
    if (!made)
        return nullptr;
    bumpCategoryChanges();
    reloadOutline();
    m_libraryOutlineView->expandItem(container);
    if (m_libraryOutlineView->selectItem(made))
        startEditingItem(made);
    return made;
}

void VXQLibraryManagerWindowController::newSmartCategoryAction(QObject*)
{
    VXQLibrary* library = selectedLibrary();
    if (library && library->allowsCategoryChanges())
        makeNewSmartCategoryForLibraryStartEditing(library, true);
}

VXQLibrarySmartCategory* VXQLibraryManagerWindowController::makeNewSmartCategoryForLibraryStartEditing(VXQLibrary* library,
                                                                                                       bool startEditing)
{
    auto category = std::make_shared<VXQLibrarySmartCategory>();
    category->initWithNameLibrary(library->uniqueNameForSubContainer(tr("untitled smart category")), library);
    library->addCategory(category);
    bumpCategoryChanges();
    reloadOutline();
    m_libraryOutlineView->expandItem(library);
    if (m_libraryOutlineView->selectItem(category.get()))
        m_libraryOutlineView->scrollToItem(category.get());
    if (startEditing)
        editSmartCategory(category.get());
    return category.get();
}

void VXQLibraryManagerWindowController::editSmartCategoryAction(QObject*)
{
    auto* smart = qobject_cast<VXQLibrarySmartCategory*>(currentCategory());
    if (smart && smart->predicateEditable())
        editSmartCategory(smart);
}

void VXQLibraryManagerWindowController::editSmartCategory(VXQLibrarySmartCategory* category)
{
    ZQLogObjCMethod(QStringLiteral("will edit %1").arg(category->description()));
    if (!m_smartEditController) {
        m_smartEditController = new VXQLibrarySmartCategoryEditController;
        m_smartEditController->setParent(this);
    }
    m_smartEditController->beginSmartCategoryEditOnParentWindowWithDelegate(category, window(), this);
}

void VXQLibraryManagerWindowController::smartCategoryEditorDidFinishEditingCategory(VXQLibrarySmartCategoryEditController*,
                                                                                   VXQLibrarySmartCategory* category)
{
    reloadOutline();
    if (selectedCategories().contains(category)) {
        invalidateItemsCache();
        loadItemsViewPreservingSelection(true);
    }
}

void VXQLibraryManagerWindowController::deleteCategoryAction(QObject*)
{
    VXQLibraryCategory* category = currentCategory();
    if (!category)
        return;
    if (!defaults().boolForKey(kVXQLibraryConfirmCategoryDelete)) {
        const QString libraryName = category->library() ? category->library()->name() : QString();
        platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
            tr("Delete Category"), tr("Delete"), tr("Cancel"), {},
            tr("The category “%1” will be immediately removed from “%2”. This operation does not delete any items from "
               "the collection - items can be accessed in “All Items” or other categories.")
                .arg(category->name(), libraryName));
        alert.setShowsSuppressionButton(true);
        const QPointer<VXQLibraryCategory> target(category);
        const int answer = runAlert(alert);
        defaults().setBoolForKey(alert.suppressionButtonState(), kVXQLibraryConfirmCategoryDelete);
        if (answer != platform::Alert::kDefaultReturn || !target)
            return;
    }
    deleteCategories({category});
}

void VXQLibraryManagerWindowController::deleteCategories(const QList<VXQLibraryCategory*>& categories)
{
    for (VXQLibraryCategory* category : categories) {
        if (!category->isDeletable())
            continue;
        VXQLibraryElementContainer* container = category->container();
        if (auto* library = asLibrary(container))
            library->removeCategory(category);
        else if (auto* parent = asCategory(container))
            parent->removeCategory(category);
    }
    bumpCategoryChanges();
    reloadOutline();
    m_libraryOutlineView->deselectAll();
    // The reload may already have emptied the selection without a word: the deleted
    // categories' items leave the list here either way.
    outlineViewSelectionDidChange();
}

void VXQLibraryManagerWindowController::deleteLibraryAction(QObject*)
{
    if (selectedLibrary())
        confirmAndDeleteSelectedLibrary();
}

void VXQLibraryManagerWindowController::confirmAndDeleteSelectedLibrary()
{
    VXQLibrary* library = selectedLibrary();
    if (!library || m_libDeleteDialog)
        return;
    auto* sheet = new QDialog;
    sheet->setObjectName(QStringLiteral("lib_delete"));
    m_libDeleteText = new QLabel(tr("Are you sure you want to delete the entire collection “%1” which contains %2 items?\n\n"
                                    "This operation is not undoable though the collection will be moved to the trash and may "
                                    "be recovered from there.")
                                     .arg(library->name())
                                     .arg(library->itemCount()),
                                 sheet);
    m_libDeleteText->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(sheet);
    QPushButton* remove = buttons->addButton(tr("Delete"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    remove->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { libDeleteOKAction(nullptr); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { libDeleteCancelAction(nullptr); });
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(m_libDeleteText);
    layout->addWidget(buttons);
    sheet->setMinimumWidth(420);
    m_libDeleteDialog = sheet;
    const QPointer<VXQLibrary> target(library);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet, window(), [this, target, sheet](int code) {
        if (code == platform::Sheet::kDefaultReturn && target)
            deleteLibrary(target);
        sheet->deleteLater();
    });
}

QString VXQLibraryManagerWindowController::libraryDeleteSheetText() const
{
    return m_libDeleteDialog && m_libDeleteText ? m_libDeleteText->text() : QString();
}

void VXQLibraryManagerWindowController::libDeleteOKAction(QObject*)
{
    if (m_libDeleteDialog)
        platform::Sheet::endSheetReturnCode(m_libDeleteDialog, platform::Sheet::kDefaultReturn);
}

void VXQLibraryManagerWindowController::libDeleteCancelAction(QObject*)
{
    if (m_libDeleteDialog)
        platform::Sheet::endSheetReturnCode(m_libDeleteDialog, platform::Sheet::kCancelReturn);
}

bool VXQLibraryManagerWindowController::deleteLibrary(VXQLibrary* library)
{
    LogEvent(kFileEvent, QStringLiteral("will delete library %1").arg(library->name()));
    // Keeps the library alive until the outline has let go of it.
    const VXQLibraryPtr kept = std::static_pointer_cast<VXQLibrary>(library->shared_from_this());
    if (!library->moveToTrash())
        return false;
    VXQLibraryCatalogue::removeLibraryFromGroup(library, library->group());
    VXQLibraryGroup::userGroup()->invalidateElementsCache();
    m_libraryOutlineView->deselectAll();
    reloadOutline();
    return true;
}

void VXQLibraryManagerWindowController::renameAction(QObject*)
{
    VXQLibraryElement* item = m_libraryOutlineView->firstSelectedItem();
    if (!item)
        return;
    if (auto* library = asLibrary(item); library && library->isFactoryLibrary())
        return;
    if (auto* category = asCategory(item); category && !category->allowsNameChange())
        return;
    startEditingItem(item);
}

void VXQLibraryManagerWindowController::nominateDefaultLibraryAction(QObject*)
{
    VXQLibrary* library = selectedLibrary();
    if (library && library->allowsContentChanges() && library->allowsCategoryChanges()
        && library->group() == VXQLibraryGroup::userGroup()->name()
        && library->name() != VXQLibraryCatalogue::defaultUserLibraryName())
        VXQLibraryCatalogue::setDefaultUserLibrary(library);
}

void VXQLibraryManagerWindowController::revealInFinderAction(QObject*)
{
    VXQLibrary* library = selectedLibrary();
    if (!library || library->isFactoryLibrary() || library->path().isEmpty())
        return;
    // No file manager here can point at one folder: show the one that holds it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(library->path()).absolutePath()));
}

void VXQLibraryManagerWindowController::toggleShowLibraryCounts(QObject*)
{
    setShowsLibraryCounts(!m_showLibraryCounts);
}

void VXQLibraryManagerWindowController::toggleShowCategoryCounts(QObject*)
{
    setShowsCategoryCounts(!m_showCategoryCounts);
}

void VXQLibraryManagerWindowController::setShowsLibraryCounts(bool flag)
{
    if (flag == m_showLibraryCounts)
        return;
    m_showLibraryCounts = flag;
    if (m_libraryOutlineView)
        m_libraryOutlineView->redisplay();
    defaults().setBoolForKey(flag, kLibManagerShowLibraryCounts);
}

void VXQLibraryManagerWindowController::setShowsCategoryCounts(bool flag)
{
    if (flag == m_showCategoryCounts)
        return;
    m_showCategoryCounts = flag;
    if (m_libraryOutlineView)
        m_libraryOutlineView->redisplay();
    defaults().setBoolForKey(flag, kLibManagerShowCategoryCounts);
}

bool VXQLibraryManagerWindowController::showsDocumentsLibraries() const
{
    return defaults().boolForKey(kLibManagerShowDocuments);
}

void VXQLibraryManagerWindowController::setShowsDocumentsLibraries(bool flag)
{
    if (flag == showsDocumentsLibraries())
        return;
    defaults().setBoolForKey(flag, kLibManagerShowDocuments);
    dropCachedGroups();
    reloadOutline();
}

void VXQLibraryManagerWindowController::bottomBarButtonAction(QObject* sender)
{
    switch (sender ? sender->property("tag").toInt() : -1) {
    case 0:
        newCategoryAction(sender);
        break;
    case 1:
        deleteCategoryAction(sender);
        break;
    case 2:
        newLibraryAction(sender);
        break;
    default:
        break;
    }
}

void VXQLibraryManagerWindowController::helpButtonAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("The_Library_Manager"));
}

void VXQLibraryManagerWindowController::openStyleInspector()
{
    platform::Application::sendActionToFrom("showStyleInspector", nullptr, this);
}

void VXQLibraryManagerWindowController::shareLibraryAction(QObject*) {}

void VXQLibraryManagerWindowController::toggleLibrarySharing(QObject*)
{
    // Libraries cannot be shared in this build; the menu item stays disabled.
}

// --- Menu validation -------------------------------------------------------------------------------------------

bool VXQLibraryManagerWindowController::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    VXQLibrary* library = selectedLibrary();
    VXQLibraryCategory* current = currentCategory();
    const auto checked = [item](bool on) { item->setState(on ? MenuItem::OnState : MenuItem::OffState); };

    if (action == "paste")
        return canPasteIntoLibraryCategoryWithPasteboard(library, current, platform::Pasteboard::generalPasteboard());
    if (action == "toggleShowLibraryCounts") {
        checked(m_showLibraryCounts);
        return true;
    }
    if (action == "toggleShowCategoryCounts") {
        checked(m_showCategoryCounts);
        return true;
    }
    if (action == "removeItemsAction") {
        if (selection().isEmpty() || !library || !library->allowsCategoryChanges())
            return false;
        const QList<VXQLibraryCategory*> categories = selectedCategories();
        return std::any_of(categories.begin(), categories.end(), [](VXQLibraryCategory* c) { return !c->isReadOnly(); });
    }
    if (action == "editItemsAction")
        return library && library->allowsContentChanges()
               && !VXQLibrarySymbolImportController::editableSymbolsFromArray(selection()).isEmpty();
    if (action == "searchFieldModeAction") {
        checked(item->tag() == m_filterMode);
        return true;
    }
    if (action == "newCategoryAction") {
        auto* container = qobject_cast<VXQLibraryElementContainer*>(selectedItem());
        return container && container->allowsSubContainers();
    }
    if (action == "newSmartCategoryAction")
        return library && library->allowsSubContainers();
    if (action == "deleteCategoryAction")
        return selectedCategoriesCanBeDeleted();
    if (action == "deleteLibraryAction" || action == "exportLibraryAction")
        return library && !library->isFactoryLibrary() && library->hasPresenceOnDisk();
    if (action == "editSmartCategoryAction") {
        auto* smart = qobject_cast<VXQLibrarySmartCategory*>(current);
        return smart && smart->predicateEditable();
    }
    if (action == "renameAction")
        return current && current->allowsNameChange();
    if (action == "revealInFinderAction")
        return library && !library->isFactoryLibrary();
    if (action == "shareLibraryAction" || action == "toggleLibrarySharing") {
        item->setTitle(tr("Share"));
        return false;
    }
    if (action == "sortMainListAction") {
        checked(item->tag() == sortMainListMode());
        return true;
    }
    if (action == "moveToLibraryAction") {
        if (!library || !library->allowsContentChanges() || selection().isEmpty())
            return false;
        if (item->tag() == -1)
            return true;
        auto* target = qobject_cast<VXQLibrary*>(item->representedObject().value<QObject*>());
        return target && target != library && target->allowsContentChanges();
    }
    if (action == "searchFieldConvertToSmartCategoryAction")
        return library && library->allowsCategoryChanges() && !m_filterString.isEmpty();
    if (action == "nominateDefaultLibraryAction") {
        const bool isDefault = library && library->name() == VXQLibraryCatalogue::defaultUserLibraryName();
        checked(isDefault);
        return library && !isDefault && library->allowsContentChanges() && library->allowsCategoryChanges()
               && library->group() == VXQLibraryGroup::userGroup()->name();
    }
    if (m_debugActions && platform::ResponderChain::hasActionMethod(m_debugActions.get(), action))
        return m_debugActions->validateMenuItem(item);
    return platform::ResponderChain::hasActionMethod(this, action);
}
