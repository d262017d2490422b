#include "library/manager/VXQLibraryManagerWindowController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "app/progress/ZQProgressController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryCollectionCommands.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerBrowserDelegate.h"
#include "library/manager/LibraryManagerPrinting.h"
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
    LibraryManagerAlerts::setRunner(std::move(runner));
}

// --- The window -------------------------------------------------------------------------------------

QWidget* VXQLibraryManagerWindowController::loadWindow()
{
    VXQLibraryCatalogue::initialize();
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("QuorvaneLibraryManager"));
    window->setWindowTitle(tr("Library Manager"));
    window->resize(820, 520);

    connect(m_outline.get(), &LibraryOutlineController::selectionChanged, this, [this] { outlineViewSelectionDidChange(); });
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_outline->makeView());
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
    connect(m_filterInputSearchField, &QLineEdit::textChanged, this, [this] { m_itemList->searchFieldAction(m_filterInputSearchField); });

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
    m_itemViewController->setDelegate(m_browserDelegate.get());
    m_itemList->setBrowser(m_itemViewController);
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
                [this, segment] { m_commands->bottomBarButtonAction(m_bottomBarButtons[segment]); });
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
    return m_outline->view();
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
    QList<QObject*> parts{m_outline.get(),         m_itemList.get(),     m_commands.get(), m_printing.get(),
                          m_browserDelegate.get(), m_importExport.get(), m_transfers.get()};
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
    m_itemList->setFields(m_filterInputSearchField, m_bottomBarItemsInfoTextField);
    m_browserDelegate->setWidgets(m_itemIdentifierField, m_getInfoController);
    m_outline->setDropHandler(m_transfers.get());
    m_outline->setShowsDocumentsLibraries(false);
    m_outline->loadSettingsAndExpandRows();
    for (int segment = 0; segment < 2; ++segment)
        m_bottomBarButtons[segment]->setEnabled(false);
    observeNotifications();

    auto* category = asCategory(m_outline->itemWithIdentifier(defaults().stringForKey(kLibManagerLastCategorySelection)));
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
    if (watched == window() && event->type() == QEvent::WindowActivate)
        windowDidBecomeMain();
    if (watched == window() && (event->type() == QEvent::Move || event->type() == QEvent::Resize) && window()->isVisible())
        defaults().setObjectForKey(window()->saveGeometry(), kLibManagerWindowFrame);
    return platform::WindowController::eventFilter(watched, event);
}

void VXQLibraryManagerWindowController::windowDidBecomeMain()
{
    if (!m_itemList->isCached())
        m_itemList->loadItemsViewPreservingSelection(true);
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
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::groupContentChanged(const platform::Notification&)
{
    m_outline->reloadOutline();
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::libraryContentChanged(const platform::Notification& notification)
{
    auto* library = qobject_cast<VXQLibrary*>(notification.sender);
    if (library && currentCategory() && currentCategory() == library->allItemsCategory()) {
        m_itemList->invalidateItemsCache();
        m_itemList->loadItemsViewPreservingSelection(true);
    }
}

void VXQLibraryManagerWindowController::categoryContentChanged(const platform::Notification& notification)
{
    auto* category = qobject_cast<VXQLibraryCategory*>(notification.sender);
    ZQLogObjCMethod(QStringLiteral("got category change from %1").arg(category ? category->name() : QString()));
    if (notification.sender && notification.sender == currentCategory()) {
        m_itemList->invalidateItemsCache();
        m_itemList->loadItemsViewPreservingSelection(true);
    }
}

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

// --- Selection --------------------------------------------------------------------------------------------

QList<VXQLibraryItemPtr> VXQLibraryManagerWindowController::selection() const
{
    return m_itemViewController ? m_itemViewController->selectedItems() : QList<VXQLibraryItemPtr>();
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
    const bool deletable = m_outline->selectedCategoriesCanBeDeleted();
    VXQLibraryElement* item = selectedItem();
    auto* container = qobject_cast<VXQLibraryElementContainer*>(item);
    const bool canAdd = container && container->allowsSubContainers();
    m_bottomBarButtons[0]->setEnabled(canAdd);
    m_bottomBarButtons[1]->setEnabled(deletable);
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(true);
    if (VXQLibraryCategory* category = currentCategory())
        defaults().setObjectForKey(category->identifier(), kLibManagerLastCategorySelection);
}

// --- Commands ---------------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::newLibraryAction(QObject* sender)
{
    m_commands->newLibraryAction(sender);
}

VXQLibraryCategory* VXQLibraryManagerWindowController::makeNewCategoryForLibrary(VXQLibrary* library)
{
    return m_commands->makeNewCategoryForLibrary(library);
}

void VXQLibraryManagerWindowController::deleteCategoryAction(QObject* sender)
{
    m_commands->deleteCategoryAction(sender);
}

void VXQLibraryManagerWindowController::deleteLibraryAction(QObject* sender)
{
    m_commands->deleteLibraryAction(sender);
}

void VXQLibraryManagerWindowController::libDeleteOKAction(QObject* sender)
{
    m_commands->libDeleteOKAction(sender);
}

QDialog* VXQLibraryManagerWindowController::libraryDeleteSheet() const
{
    return m_commands->libraryDeleteSheet();
}

QString VXQLibraryManagerWindowController::libraryDeleteSheetText() const
{
    return m_commands->libraryDeleteSheetText();
}

// --- Printing and the item browser ---------------------------------------------------------------------------

std::optional<QPageLayout> VXQLibraryManagerWindowController::printInfo()
{
    return m_printing->printInfo();
}

void VXQLibraryManagerWindowController::setPrintInfo(const QPageLayout& layout)
{
    m_printing->setPrintInfo(layout);
}

bool VXQLibraryManagerWindowController::canRemoveItemsAtIndexes(const JXIndexSet& indexes)
{
    return m_browserDelegate->canRemoveItemsAtIndexes(indexes);
}

void VXQLibraryManagerWindowController::deleteItemsAtIndexes(const JXIndexSet& indexes)
{
    m_browserDelegate->deleteItemsAtIndexes(indexes);
}

bool VXQLibraryManagerWindowController::removeItemsAtIndexes(const JXIndexSet& indexes)
{
    return m_browserDelegate->removeItemsAtIndexes(indexes);
}

void VXQLibraryManagerWindowController::editItemsAction(QObject* sender)
{
    m_browserDelegate->editItemsAction(sender);
}

bool VXQLibraryManagerWindowController::validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item,
                                                                               VXQLibrarySymbolImportController* editor)
{
    return m_browserDelegate->validateSymbolNameForLibraryItemEditor(name, item, editor);
}

VXQLibrarySymbolImportController* VXQLibraryManagerWindowController::symbolImporter() const
{
    return m_browserDelegate->symbolImporter();
}

bool VXQLibraryManagerWindowController::symbolEditorIsOpen() const
{
    return m_browserDelegate->symbolEditorIsOpen();
}

// --- Menu validation -------------------------------------------------------------------------------------------

bool VXQLibraryManagerWindowController::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    // Each part validates the actions it carries.
    for (QObject* part : forwardingTargetsForSelector(action)) {
        if (!platform::ResponderChain::hasActionMethod(part, action))
            continue;
        bool enabled = true;
        QMetaObject::invokeMethod(part, "validateMenuItem", Q_RETURN_ARG(bool, enabled), Q_ARG(platform::MenuItem*, item));
        return enabled;
    }
    return platform::ResponderChain::hasActionMethod(this, action);
}
