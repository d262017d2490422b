#include "library/picker/VXQLibraryPickerPaletteController.h"

#include "app/services/LibraryServices.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "library/menus/LibraryArtwork.h"
#include "library/menus/LibraryMenus.h"
#include "library/picker/LibraryPathBar.h"
#include "library/picker/LibraryPickerRules.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationSingleton.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/tool/VXQSymbolTool.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

using platform::MenuItem;
using platform::NotificationCenter;
using platform::UserDefaults;

namespace {

// Posted by parts of the application built above the library; named here only to be heard.
const QString kVXQStylePickUpToolDidChangeStyle = QStringLiteral("kVXQStylePickUpToolDidChangeStyle");
const QString kVXStyleInspectorDidCreateNewStyle = QStringLiteral("kVXStyleInspectorDidCreateNewStyle");

using SharedPicker = platform::ApplicationSingleton<VXQLibraryPickerPaletteController>;
VXQLibraryPickerPaletteController::AlertRunner s_alertRunner;

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

template<typename T>
T* objectInUserInfo(const platform::Notification& notification, const QString& key)
{
    return qobject_cast<T*>(notification.userInfo.value(key).value<QObject*>());
}

QList<QRect> availableScreenGeometries()
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return screens;
}

} // namespace

// --- The one palette -----------------------------------------------------------------------------

VXQLibraryPickerPaletteController::VXQLibraryPickerPaletteController()
    : m_history([this](const LibraryPickerHistory::Entry& entry) { entry->restorePicker(*this); })
{
    initWithWindowNibName(QStringLiteral("LibraryPickerPalette"));
}

VXQLibraryPickerPaletteController::~VXQLibraryPickerPaletteController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_itemViewController)
        m_itemViewController->setDelegate(nullptr);
    // The search field, half taken down with the window, must not report to the filter any more.
    if (m_filterSearchField)
        m_filterSearchField->removeEventFilter(this);
    if (isWindowLoaded())
        delete window();
    SharedPicker::forget(this);
}

VXQLibraryPickerPaletteController* VXQLibraryPickerPaletteController::sharedLibraryPicker()
{
    return SharedPicker::instance();
}

bool VXQLibraryPickerPaletteController::sharedLibraryPickerAvailable()
{
    return SharedPicker::existing() != nullptr;
}

void VXQLibraryPickerPaletteController::saveLibraryPickerState()
{
    VXQLibraryPickerPaletteController* picker = SharedPicker::existing();
    if (!picker || !picker->isWindowLoaded()) {
        defaults().setBoolForKey(false, kTMSVLibraryPickerVisible);
        return;
    }
    QWidget* window = picker->window();
    defaults().setBoolForKey(window->isVisible(), kTMSVLibraryPickerVisible);
    defaults().setObjectForKey(librarypicker::frameString(window->geometry()), kTMSVLibraryPickerFrame);
}

void VXQLibraryPickerPaletteController::restoreLibraryPickerState()
{
    VXQLibraryPickerPaletteController* picker = sharedLibraryPicker();
    QWidget* window = picker->window();
    if (const auto frame = librarypicker::frameFromString(defaults().stringForKey(kTMSVLibraryPickerFrame)))
        if (const auto kept = librarypicker::frameKeptOnScreens(*frame, availableScreenGeometries()))
            window->setGeometry(*kept);
    if (defaults().boolForKey(kTMSVLibraryPickerVisible))
        picker->showPalette();
}

void VXQLibraryPickerPaletteController::showPalette()
{
    window()->show();
    window()->raise();
}

bool VXQLibraryPickerPaletteController::hidesNonMatchingItems()
{
    return defaults().boolForKey(kLibraryPickerHideNonMatchingItems);
}

void VXQLibraryPickerPaletteController::setHidesNonMatchingItems(bool hides)
{
    defaults().setBoolForKey(hides, kLibraryPickerHideNonMatchingItems);
}

void VXQLibraryPickerPaletteController::setAlertRunner(AlertRunner runner)
{
    s_alertRunner = std::move(runner);
}

int VXQLibraryPickerPaletteController::runAlert(platform::Alert& alert) const
{
    return s_alertRunner ? s_alertRunner(alert) : alert.runModal();
}

// --- The window ----------------------------------------------------------------------------------

QWidget* VXQLibraryPickerPaletteController::loadWindow()
{
    VXQLibraryCatalogue::initialize();
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    window->setObjectName(QStringLiteral("LibraryPickerPalette"));
    window->setWindowTitle(tr("Styles & Symbols"));
    // A floating palette that takes the keyboard only when its search field is clicked.
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->resize(300, 420);

    m_itemViewController = new VXQLibraryItemViewController;
    m_itemViewController->setParent(this);
    m_itemViewController->setDelegate(this);
    QWidget* browser = m_itemViewController->view();
    m_itemViewController->awakeFromInterface();

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTopBar());
    layout->addWidget(browser, 1);
    layout->addWidget(makeBottomBar());
    return window;
}

QWidget* VXQLibraryPickerPaletteController::makeTopBar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("topBar"));
    const auto makeButton = [bar](const QString& text, const QString& toolTip) {
        auto* button = new QToolButton(bar);
        button->setText(text);
        button->setToolTip(toolTip);
        button->setAutoRaise(true);
        return button;
    };

    for (int segment = 0; segment < 2; ++segment) {
        auto* menu = new platform::Menu(segment == 0 ? tr("Back") : tr("Forward"), bar);
        platform::setMenuDelegate(menu, this);
        (segment == 0 ? m_backHistoryMenu : m_forwardHistoryMenu) = menu;
        QToolButton* button = makeButton(segment == 0 ? QStringLiteral("◀") : QStringLiteral("▶"),
                                         segment == 0 ? tr("Back") : tr("Forward"));
        button->setProperty("segment", segment);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        connect(button, &QToolButton::clicked, this, [this, button] { goBackOrForward(button); });
        m_historyButtons[segment] = button;
    }

    m_libraryPopUp = makeButton(tr("Library"), tr("Choose a library and category"));
    m_libraryPopUp->setObjectName(QStringLiteral("libraryPopUp"));
    m_libraryPopUp->setPopupMode(QToolButton::InstantPopup);
    m_libraryPopUp->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* libraries = new platform::Menu(tr("Libraries"), bar);
    libraries->addItemWithTitleActionKeyEquivalent(tr("Libraries"), "dummyTitleAction")->setTarget(this);
    VXQLibraryGroupMenuHandler::renewLibrariesMenu(libraries, 1024, this, "libraryChoiceAction");
    m_libraryPopUp->setMenu(libraries);

    makeActionMenu();
    QToolButton* actions = makeButton(QStringLiteral("⚙"), tr("Actions"));
    actions->setObjectName(QStringLiteral("actionButton"));
    actions->setMenu(m_actionMenu);
    actions->setPopupMode(QToolButton::InstantPopup);

    m_applyToSelectionButton = new QPushButton(tr("Apply"), bar);
    m_applyToSelectionButton->setToolTip(tr("Apply to the selection (with Alt: as an overlay)"));
    m_applyToSelectionButton->setEnabled(false);
    connect(m_applyToSelectionButton, &QPushButton::clicked, this, [this] { applyToSelectionAction(m_applyToSelectionButton); });

    makeSearchMenu();
    QToolButton* searchOptions = makeButton(QStringLiteral("⌕"), tr("Search options"));
    searchOptions->setMenu(m_searchMenu);
    searchOptions->setPopupMode(QToolButton::InstantPopup);
    m_filterSearchField = new QLineEdit(bar);
    m_filterSearchField->setObjectName(QStringLiteral("searchField"));
    m_filterSearchField->setPlaceholderText(tr("Search"));
    m_filterSearchField->setClearButtonEnabled(true);
    m_filterSearchField->installEventFilter(this);
    connect(m_filterSearchField, &QLineEdit::textChanged, this, [this] { searchFieldAction(m_filterSearchField); });

    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(2);
    firstRow->addWidget(m_historyButtons[0]);
    firstRow->addWidget(m_historyButtons[1]);
    firstRow->addWidget(m_libraryPopUp, 1);
    firstRow->addWidget(actions);
    firstRow->addWidget(m_applyToSelectionButton);
    auto* secondRow = new QHBoxLayout;
    secondRow->setSpacing(2);
    secondRow->addWidget(searchOptions);
    secondRow->addWidget(m_filterSearchField, 1);
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(firstRow);
    layout->addLayout(secondRow);
    return bar;
}

QWidget* VXQLibraryPickerPaletteController::makeBottomBar()
{
    m_bottomBar = new QWidget;
    m_bottomBar->setObjectName(QStringLiteral("bottomBar"));
    m_bottomBar->setFixedHeight(int(librarypicker::kPathBarHeight));
    auto* layout = new QHBoxLayout(m_bottomBar);
    layout->setContentsMargins(0, 0, 0, 0);
    m_currentLibPathControl = new LibraryPathBar(m_bottomBar);
    layout->addWidget(m_currentLibPathControl);
    return m_bottomBar;
}

void VXQLibraryPickerPaletteController::makeSearchMenu()
{
    auto* menu = new platform::Menu(tr("Search"));
    const auto add = [this, menu](const QString& title, const QByteArray& action, int tag) {
        MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
        item->setTag(tag);
        item->setTarget(this);
    };
    const auto title = [this, menu](const QString& text) {
        MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(text, "dummyTitleAction");
        item->setTarget(this);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    };
    title(tr("Show"));
    add(tr("All Kinds"), "searchFieldMenuAction", librarypicker::AnyKind);
    add(tr("Styles"), "searchFieldMenuAction", librarypicker::StyleKind);
    add(tr("Symbols"), "searchFieldMenuAction", librarypicker::SymbolKind);
    menu->addSeparator();
    title(tr("Names"));
    add(tr("Contain"), "searchFieldModeAction", LibraryItemFiltering::Contains);
    add(tr("Begin With"), "searchFieldModeAction", LibraryItemFiltering::BeginsWith);
    add(tr("Match (* and ?)"), "searchFieldModeAction", LibraryItemFiltering::Like);
    add(tr("End With"), "searchFieldModeAction", LibraryItemFiltering::EndsWith);
    menu->addSeparator();
    title(tr("Search In"));
    add(tr("This Category"), "filterScopeAction", DisplayedCategoryScope);
    add(tr("Whole Library"), "filterScopeAction", WholeLibraryScope);
    m_searchMenu = menu;
}

void VXQLibraryPickerPaletteController::makeActionMenu()
{
    auto* menu = new platform::Menu(tr("Actions"));
    const auto add = [this, menu](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    add(tr("Apply to Selection"), "applyToSelectionAction");
    add(tr("Apply as Overlay"), "applyAuxiliaryToSelectionAction");
    add(tr("Show in Library Manager"), "showInLibraryManagerAction");
    menu->addSeparator();
    add(tr("Back"), "goBack");
    add(tr("Forward"), "goForward");
    add(tr("Clear History"), "clearHistory");
    menu->addSeparator();
    add(tr("Show Path Bar"), "toggleStatusBar");
    m_actionMenu = menu;
}

QLineEdit* VXQLibraryPickerPaletteController::searchField() const
{
    return m_filterSearchField;
}

QToolButton* VXQLibraryPickerPaletteController::libraryPopUp() const
{
    return m_libraryPopUp;
}

QPushButton* VXQLibraryPickerPaletteController::applyButton() const
{
    return m_applyToSelectionButton;
}

LibraryPathBar* VXQLibraryPickerPaletteController::pathBar() const
{
    return m_currentLibPathControl;
}

QMenu* VXQLibraryPickerPaletteController::searchMenu() const
{
    return m_searchMenu;
}

QMenu* VXQLibraryPickerPaletteController::actionMenu() const
{
    return m_actionMenu;
}

QToolButton* VXQLibraryPickerPaletteController::historyButton(int segment) const
{
    return segment == 0 || segment == 1 ? m_historyButtons[segment].data() : nullptr;
}

QMenu* VXQLibraryPickerPaletteController::historyMenu(int segment) const
{
    return segment == 0 ? m_backHistoryMenu.data() : segment == 1 ? m_forwardHistoryMenu.data() : nullptr;
}

void VXQLibraryPickerPaletteController::windowDidLoad()
{
    m_searchMenu->setParent(window(), Qt::Popup);
    m_actionMenu->setParent(window(), Qt::Popup);
    awakeFromInterface();
    observeNotifications();
    if (const auto placement = librarypicker::pointFromString(defaults().stringForKey(kQuorvaneLibraryPickerWindowPlacement));
        placement && !placement->isNull()) {
        window()->move(*placement);
        keepOnScreen();
    }
}

void VXQLibraryPickerPaletteController::awakeFromInterface()
{
    JXDistributedView* icons = m_itemViewController->iconView();
    icons->setAllowsMultipleSelection(false);
    icons->setUseSelectionRect(false);
    icons->setCellInset(QSizeF(1, 1));
    icons->setContentInset(1);
    icons->setDragDelay(0.05);
    icons->setCanBecomeKeyView(false);
    showStoredCategory();
    snapWindowHeight();
    m_history.setMaximumLength(LibraryPickerHistory::kDefaultMaximumLength);
    m_statusBarVisible = true;
    updateHistoryButtons();
}

void VXQLibraryPickerPaletteController::showStoredCategory()
{
    const QString identifier = defaults().stringForKey(kLibraryPickerDisplayedCategory);
    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingIdentifier(identifier);
    if (!library) {
        const QList<VXQLibraryPtr> factory = VXQLibraryCatalogue::factoryLibraries();
        library = factory.isEmpty() ? nullptr : factory.last().get();
    }
    if (!library)
        return;
    auto* category = qobject_cast<VXQLibraryCategory*>(library->itemWithIdentifier(identifier));
    if (!category)
        category = library->allItemsCategory();
    if (!category)
        return;
    setCategory(category);
    const QString lastSelection = defaults().stringForKey(kLibraryPickerLastSelection);
    const QString name = lastSelection.section(u'.', -1);
    if (name.isEmpty())
        return;
    for (const VXQLibraryItemPtr& item : filteredItems())
        if (item->cleanName() == name) {
            selectItem(item);
            return;
        }
}

void VXQLibraryPickerPaletteController::keepOnScreen()
{
    if (const auto kept = librarypicker::frameKeptOnScreens(window()->frameGeometry(), availableScreenGeometries())) {
        window()->move(kept->topLeft());
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window()->move(screen->availableGeometry().topLeft());
}

void VXQLibraryPickerPaletteController::observeNotifications()
{
    NotificationCenter& centre = NotificationCenter::defaultCenter();
    centre.addObserver(this, kVXDidChangeToolNotification, nullptr, [this](const auto& n) { toolDidChange(n); });
    for (const QString& name : {kVXQStylePickUpToolDidChangeStyle, kQuorvaneToolControllerStyleChangedExternally})
        centre.addObserver(this, name, nullptr, [this](const auto& n) { toolStyleDidChange(n); });
    for (const QString& name : {kVXQLibraryCategoryDidAddItem, kVXQLibraryCategoryDidRemoveItem,
                                kVXQLibraryCategoryDidChangeName, kVXQLibraryCategoryContentDidChange})
        centre.addObserver(this, name, nullptr, [this](const auto& n) { categoryContentChanged(n); });
    centre.addObserver(this, kVXQLibraryDidRemoveCategory, nullptr, [this](const auto& n) { libraryRemovedCategory(n); });
    centre.addObserver(this, kVXQLibraryGroupContentWasChanged, nullptr, [this](const auto& n) { groupContentChanged(n); });
    centre.addObserver(this, kVXStyleInspectorDidCreateNewStyle, nullptr, [this](const auto& n) { inspectorStyleChanged(n); });
    connect(qApp, &QApplication::focusChanged, this, [this] {
        QWidget* main = platform::ResponderChain::mainWindow();
        if (main && main != m_lastMainWindow) {
            m_lastMainWindow = main;
            windowBecameMain();
        }
    });
}

bool VXQLibraryPickerPaletteController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filterSearchField && event->type() == QEvent::MouseButtonPress && isWindowLoaded()) {
        window()->activateWindow();
        m_filterSearchField->setFocus(Qt::MouseFocusReason);
    }
    if (isWindowLoaded() && watched == window()) {
        if (event->type() == QEvent::Resize && !m_resizing)
            snapWindowHeight();
        if (event->type() == QEvent::Move && window()->isVisible())
            saveWindowPosition();
    }
    return platform::WindowController::eventFilter(watched, event);
}

// --- What is shown ---------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::setCategory(VXQLibraryCategory* category)
{
    if (category == m_libraryCategory)
        return;
    m_libraryCategory = category;
    invalidateCache();
    reloadItemsView();
    updateSelectionLabel();
    updateHistoryBuffer();
    if (category)
        defaults().setObjectForKey(category->identifier(), kLibraryPickerDisplayedCategory);
    else
        defaults().removeObjectForKey(kLibraryPickerDisplayedCategory);
}

void VXQLibraryPickerPaletteController::setFilterString(const QString& text)
{
    if (text == m_filterString)
        return;
    m_filterString = text;
    if (m_filterScope == WholeLibraryScope && m_libraryCategory)
        if (VXQLibrary* library = m_libraryCategory->library())
            setCategory(library->allItemsCategory());
    invalidateCache();
    reloadItemsView();
}

void VXQLibraryPickerPaletteController::setFilterStringMode(int mode)
{
    if (mode == m_filterStringMode)
        return;
    m_filterStringMode = mode;
    invalidateCache();
    reloadItemsView();
}

void VXQLibraryPickerPaletteController::setFilterKind(int kind)
{
    if (kind == m_filterKind)
        return;
    m_filterKind = kind;
    invalidateCache();
    reloadItemsView();
}

void VXQLibraryPickerPaletteController::setFilterScope(int scope)
{
    if (scope == m_filterScope)
        return;
    m_filterScope = scope;
    invalidateCache();
    reloadItemsView();
}

platform::PredicatePtr VXQLibraryPickerPaletteController::filterPredicate()
{
    if (!m_cachedPredicate)
        m_cachedPredicate = librarypicker::filterPredicate(m_filterKind, m_filterString, m_filterStringMode);
    return *m_cachedPredicate;
}

QList<VXQLibraryItemPtr> VXQLibraryPickerPaletteController::filteredItems()
{
    if (!m_libraryCategory)
        return {};
    if (!m_cachedFilteredItems) {
        const QList<LibrarySortDescriptor> order = m_itemViewController ? m_itemViewController->sortDescriptors()
                                                                         : QList<LibrarySortDescriptor>{{QStringLiteral("name")}};
        m_cachedFilteredItems = LibraryItemFiltering::sortedAndFilteredItems(*m_libraryCategory, filterPredicate(), order);
    }
    return *m_cachedFilteredItems;
}

VXQLibraryItemPtr VXQLibraryPickerPaletteController::filteredItemWithID(const QString& uniqueKey)
{
    for (const VXQLibraryItemPtr& item : filteredItems())
        if (item->uniqueKey() == uniqueKey)
            return item;
    return nullptr;
}

JXIndexSet VXQLibraryPickerPaletteController::styleIndexes()
{
    if (!m_styleIndexesCache || !m_symbolIndexesCache) {
        JXIndexSet styles;
        JXIndexSet symbols;
        const QList<VXQLibraryItemPtr> items = filteredItems();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i]->classCode() == librarypicker::StyleKind)
                styles.insert(styles.end(), i);
            else if (items[i]->classCode() == librarypicker::SymbolKind)
                symbols.insert(symbols.end(), i);
        }
        m_styleIndexesCache = std::move(styles);
        m_symbolIndexesCache = std::move(symbols);
    }
    return *m_styleIndexesCache;
}

JXIndexSet VXQLibraryPickerPaletteController::symbolIndexes()
{
    styleIndexes();
    return *m_symbolIndexesCache;
}

void VXQLibraryPickerPaletteController::invalidateCache()
{
    m_cachedFilteredItems.reset();
    m_styleIndexesCache.reset();
    m_symbolIndexesCache.reset();
    m_cachedPredicate.reset();
}

void VXQLibraryPickerPaletteController::reloadItemsView()
{
    if (!isWindowLoaded() || !m_itemViewController)
        return;
    m_itemViewController->setContentPreservingSelection(filteredItems(), true);
    if (m_isSendingSelectionChange || m_followingTool)
        return;
    if (VXDrawingTool* tool = toolForWindow(platform::ResponderChain::mainWindow()))
        setUIStateForDrawingTool(tool);
    else
        disableItemsAtIndexes(librarypicker::matchItemsToToolKind(m_currentClassCode, hidesNonMatchingItems(),
                                                                  styleIndexes(), symbolIndexes())
                                  .disabledItems);
}

void VXQLibraryPickerPaletteController::disableItemsAtIndexes(const std::optional<JXIndexSet>& indexes)
{
    if (m_itemViewController)
        m_itemViewController->setDisabledItems(indexes);
}

// --- The chosen item ---------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::selectItem(const VXQLibraryItemPtr& item)
{
    if (!m_itemViewController)
        return;
    if (item)
        m_itemViewController->selectItems({item});
    else
        m_itemViewController->selectItemsAtIndexes({});
}

VXQLibraryItemPtr VXQLibraryPickerPaletteController::selectedItem()
{
    return m_itemViewController ? m_itemViewController->selectedItems().value(0) : nullptr;
}

QString VXQLibraryPickerPaletteController::identifierForSelectedItem()
{
    if (!m_libraryCategory)
        return {};
    const VXQLibraryItemPtr item = selectedItem();
    return librarypicker::identifierForItem(m_libraryCategory->identifier(), item ? item->name() : QString());
}

void VXQLibraryPickerPaletteController::updateSelectionLabel()
{
    if (!m_currentLibPathControl)
        return;
    const QString identifier = identifierForSelectedItem();
    if (identifier.isEmpty()) {
        m_currentLibPathControl->setVisible(false);
        return;
    }
    m_currentLibPathControl->setStringValue(librarypicker::pathBarStringForIdentifier(identifier));
    const qsizetype count = m_currentLibPathControl->componentTitles().size();
    QList<QImage> images(count);
    const VXQLibraryItemPtr item = selectedItem();
    if (item && count > 0)
        images[count - 1] = item->icon();
    qsizetype index = item ? count - 2 : count - 1;
    for (const VXQLibraryElement* element = m_libraryCategory; element && index >= 1; --index) {
        images[index] = element->icon();
        element = element->container();
    }
    if (const VXQLibrary* library = m_libraryCategory->library(); library && count > 0)
        images[0] = libraryGroupIcon(library->group());
    m_currentLibPathControl->setComponentImages(images);
    m_currentLibPathControl->setVisible(m_statusBarVisible);
}

// --- Following the tool ---------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::setUIStateForDrawingTool(VXDrawingTool* tool)
{
    if (m_isSendingSelectionChange)
        return;
    LogEvent(kReactiveEvent, QStringLiteral("setting state for tool: %1")
                                 .arg(tool ? tool->registeredName() : QStringLiteral("(none)")));
    const int kind = tool ? tool->supportedLibraryItemKind() : librarypicker::AnyKind;
    // The reload a filter change makes must not follow the tool again while it is followed here.
    const bool wasFollowing = std::exchange(m_followingTool, true);
    setClassCode(kind);
    m_followingTool = wasFollowing;

    QString key;
    if (kind == librarypicker::StyleKind)
        if (const auto* creation = qobject_cast<const VXObjectCreationTool*>(tool); creation && creation->style())
            key = creation->style()->uniqueKey();
    if (kind == librarypicker::SymbolKind)
        if (const auto* symbolTool = qobject_cast<const VXQSymbolTool*>(tool); symbolTool && symbolTool->symbolMaster())
            key = symbolTool->symbolMaster()->uniqueKey();
    selectItem(key.isEmpty() ? nullptr : filteredItemWithID(key));
}

void VXQLibraryPickerPaletteController::setClassCode(qint64 kind)
{
    m_currentClassCode = kind;
    const bool hides = hidesNonMatchingItems();
    if (const auto filterKind = librarypicker::matchItemsToToolKind(kind, hides, {}, {}).filterKind)
        setFilterKind(*filterKind);
    disableItemsAtIndexes(librarypicker::matchItemsToToolKind(kind, hides, styleIndexes(), symbolIndexes()).disabledItems);
}

VXDrawingTool* VXQLibraryPickerPaletteController::toolForWindow(QWidget* window)
{
    const platform::WindowController* controller = window ? platform::WindowController::controllerForWindow(window) : nullptr;
    const auto* document = controller ? dynamic_cast<const VXDrawingDocument*>(controller->document()) : nullptr;
    return document ? document->drawingTool() : nullptr;
}

ZQQuorvaneDocument* VXQLibraryPickerPaletteController::currentMapDocument()
{
    const platform::WindowController* controller =
        platform::WindowController::controllerForWindow(platform::ResponderChain::mainWindow());
    return controller ? dynamic_cast<ZQQuorvaneDocument*>(controller->document()) : nullptr;
}

void VXQLibraryPickerPaletteController::toolDidChange(const platform::Notification& notification)
{
    if (const auto* controller = qobject_cast<const VXToolController*>(notification.object()))
        setUIStateForDrawingTool(controller->drawingTool());
}

void VXQLibraryPickerPaletteController::toolStyleDidChange(const platform::Notification& notification)
{
    setUIStateForDrawingTool(qobject_cast<VXDrawingTool*>(notification.object()));
}

void VXQLibraryPickerPaletteController::windowBecameMain()
{
    // Only a map window coming to the front changes the tool followed; the palette itself and
    // other windows do not.
    if (VXDrawingTool* tool = toolForWindow(m_lastMainWindow))
        setUIStateForDrawingTool(tool);
}

void VXQLibraryPickerPaletteController::inspectorStyleChanged(const platform::Notification& notification)
{
    // The style editor hands the style over in the user info; a sender may also answer it.
    QVariant style = notification.userInfo.value(QStringLiteral("style"));
    if (!style.isValid() && notification.object())
        style = notification.object()->property("style");
    QString key;
    if (const VXStylePtr shared = style.value<VXStylePtr>())
        key = shared->uniqueKey();
    else if (const ZQObject* object = platform::objectFromVariant(style))
        key = object->property("uniqueKey").toString();
    selectItem(key.isEmpty() ? nullptr : filteredItemWithID(key));
}

// --- Library changes --------------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::categoryContentChanged(const platform::Notification& notification)
{
    if (notification.object() != m_libraryCategory || m_isSendingSelectionChange)
        return;
    if (notification.name == kVXQLibraryCategoryDidChangeName) {
        updateSelectionLabel();
        return;
    }
    invalidateCache();
    reloadItemsView();
    setClassCode(m_currentClassCode);
}

void VXQLibraryPickerPaletteController::libraryRemovedCategory(const platform::Notification& notification)
{
    const auto* removed = objectInUserInfo<VXQLibraryCategory>(notification, QStringLiteral("category"));
    if (removed && removed == m_libraryCategory)
        setCategory(nullptr);
    validateHistory();
}

void VXQLibraryPickerPaletteController::groupContentChanged(const platform::Notification& notification)
{
    const auto* library = objectInUserInfo<VXQLibrary>(notification, QStringLiteral("library"));
    if (library && m_libraryCategory && m_libraryCategory->library() == library)
        setCategory(nullptr);
    validateHistory();
}

// --- Choosing ------------------------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::itemSelectionChanged(const JXIndexSet& indexes)
{
    updateSelectionLabel();
    const VXQLibraryItemPtr item = indexes.empty() ? nullptr : m_itemViewController->itemAtIndex(*indexes.begin());
    if (item) {
        defaults().setObjectForKey(item->identifier(), kLibraryPickerLastSelection);
        updateHistoryBuffer();
    } else {
        defaults().removeObjectForKey(kLibraryPickerLastSelection);
    }
    if (m_applyToSelectionButton)
        m_applyToSelectionButton->setEnabled(item != nullptr);

    QVariantMap userInfo;
    if (item)
        userInfo.insert(QStringLiteral("lib_object"), QVariant::fromValue<QObject*>(item.get()));
    userInfo.insert(QStringLiteral("aux_style_flag"), (platform::currentModifierFlags() & platform::OptionKeyMask) != 0);
    // The tool changes the post causes must not come back here.
    const bool wasSending = std::exchange(m_isSendingSelectionChange, true);
    platform::runGuarded("telling of the picked item", [&] {
        NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryPickerSelectedObjectDidChange, this, userInfo);
    });
    m_isSendingSelectionChange = wasSending;
}

void VXQLibraryPickerPaletteController::sortDescriptorsChanged(const QList<LibrarySortDescriptor>&)
{
    invalidateCache();
    reloadItemsView();
}

void VXQLibraryPickerPaletteController::editItemsAtIndexes(const JXIndexSet&)
{
    if (canApplyToSelection())
        applyToSelectionAction(nullptr);
}

void VXQLibraryPickerPaletteController::iconSizingChanged(QSizeF)
{
    snapWindowHeight();
}

VXQLibraryItemViewControllerDelegate::Messages VXQLibraryPickerPaletteController::implementedItemViewControllerMessages() const
{
    using M = Message;
    return M::SortDescriptorsChanged | M::ItemSelectionChanged | M::EditItemsAtIndexes | M::SaveSettingsRootName
           | M::IconSizingChanged;
}

// --- Applying to the selection ----------------------------------------------------------------------------------

bool VXQLibraryPickerPaletteController::canApplyToSelection()
{
    const ZQQuorvaneDocument* document = currentMapDocument();
    return selectedItem() && document && document->hasValidSelection();
}

bool VXQLibraryPickerPaletteController::canApplyAuxiliaryToSelection()
{
    const VXQLibraryItemPtr item = selectedItem();
    if (!item || item->classCode() != librarypicker::StyleKind)
        return false;
    QWidget* main = platform::ResponderChain::mainWindow();
    return main && platform::ResponderChain::respondsToAction(platform::ResponderChain::focusedWidgetOf(main), "setAuxiliaryStyle");
}

bool VXQLibraryPickerPaletteController::applyItemToSelectionAsAuxiliaryStyle(VXQLibraryItem* item, bool auxiliary)
{
    if (!ZQ_EXPECT(item, QStringLiteral("item was nil - can't apply to selection")))
        return false;
    if (!canApplyToSelection())
        return false;
    auto* layer = dynamic_cast<VXObjectDrawingLayer*>(currentMapDocument()->activeLayer());
    if (!layer)
        return false;
    QByteArray action;
    if (item->classCode() == librarypicker::StyleKind) {
        action = "applyStyle";
        if (auxiliary && platform::ResponderChain::hasActionMethod(layer, "setAuxiliaryStyle"))
            action = "setAuxiliaryStyle";
        else
            auxiliary = false;
    } else if (item->classCode() == librarypicker::SymbolKind) {
        action = "applySymbol";
        auxiliary = false;
    } else {
        return false;
    }
    if (action != "applyStyle" && !platform::ResponderChain::hasActionMethod(layer, action))
        return false;
    if (action == "applyStyle" && !item->style())
        return false;

    if (!defaults().boolForKey(kQuorvaneToolsWindowConfirmDirectApply)) {
        platform::Alert alert;
        if (auxiliary) {
            alert.setMessageText(tr("Apply Overlay Style to selected tracks?"));
            alert.setInformativeText(tr("'%1' will be attached as an overlay style to tracks in the current selection, "
                                        "but will be undoable.")
                                         .arg(item->name()));
        } else {
            alert.setMessageText(tr("Apply Style or Symbol to selected objects?"));
            alert.setInformativeText(tr("'%1' will be applied to all objects able to accept it in the current selection, "
                                        "but will be undoable.")
                                         .arg(item->name()));
        }
        alert.addButtonWithTitle(tr("OK"));
        alert.addButtonWithTitle(tr("Cancel"));
        alert.setShowsSuppressionButton(true);
        platform::Application::beep();
        const int answer = runAlert(alert);
        defaults().setBoolForKey(alert.suppressionButtonState(), kQuorvaneToolsWindowConfirmDirectApply);
        if (answer != platform::Alert::kDefaultReturn)
            return false;
    }
    if (action == "applyStyle")
        layer->applyStyle(item->style());
    else
        platform::ResponderChain::performAction(layer, action, item);
    return true;
}

// --- The path bar and the window ----------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::setStatusBarHidden(bool hidden)
{
    if (hidden == statusBarHidden())
        return;
    m_statusBarVisible = !hidden;
    if (!isWindowLoaded())
        return;
    const int height = window()->height() + (hidden ? -1 : 1) * int(librarypicker::kPathBarHeight);
    m_bottomBar->setVisible(!hidden);
    m_currentLibPathControl->setVisible(!hidden && !identifierForSelectedItem().isEmpty());
    setWindowHeightKeepingTop(height);
}

void VXQLibraryPickerPaletteController::setWindowHeightKeepingTop(int height)
{
    // A resize keeps the top-left corner where it is.
    const bool wasResizing = std::exchange(m_resizing, true);
    window()->resize(window()->width(), height);
    m_resizing = wasResizing;
}

void VXQLibraryPickerPaletteController::saveWindowPosition()
{
    if (isWindowLoaded())
        defaults().setObjectForKey(librarypicker::pointString(window()->pos()), kQuorvaneLibraryPickerWindowPlacement);
}

QSize VXQLibraryPickerPaletteController::windowWillResizeToSize(QSize proposed)
{
    if (!isWindowLoaded())
        return proposed;
    const QWidget* topBar = window()->findChild<QWidget*>(QStringLiteral("topBar"));
    const int top = topBar ? topBar->sizeHint().height() : 0;
    // The formula counts the path bar's 24 points, shown or not.
    const int hiddenBar = m_statusBarVisible ? 0 : int(librarypicker::kPathBarHeight);
    const auto content = librarypicker::snappedContentHeight(proposed.height() - top + hiddenBar,
                                                             m_itemViewController->rowHeight(),
                                                             m_itemViewController->fixedHeight());
    if (!content)
        return proposed;
    return {proposed.width(), top + int(std::lround(*content)) - hiddenBar};
}

void VXQLibraryPickerPaletteController::snapWindowHeight()
{
    if (!isWindowLoaded())
        return;
    const QSize snapped = windowWillResizeToSize(window()->size());
    if (snapped != window()->size())
        setWindowHeightKeepingTop(snapped.height());
}

// --- History ------------------------------------------------------------------------------------------------------

VXQLibraryPickerHistoryItemPtr VXQLibraryPickerPaletteController::presentHistoryEntry()
{
    const VXQLibraryItemPtr item = selectedItem();
    if (!item || !m_libraryCategory)
        return nullptr;
    return VXQLibraryPickerHistoryItem::itemWithCategoryIdentItemId(m_libraryCategory->identifier(), item->uniqueKey());
}

void VXQLibraryPickerPaletteController::updateHistoryBuffer()
{
    m_history.record(presentHistoryEntry());
    updateHistoryButtons();
}

void VXQLibraryPickerPaletteController::updateHistoryButtons()
{
    if (m_historyButtons[0])
        m_historyButtons[0]->setEnabled(m_history.canGoBack());
    if (m_historyButtons[1])
        m_historyButtons[1]->setEnabled(m_history.canGoForward());
}

void VXQLibraryPickerPaletteController::validateHistory()
{
    m_history.validate();
    updateHistoryButtons();
}

int VXQLibraryPickerPaletteController::numberOfItemsInMenu(QMenu* menu)
{
    if (menu == m_backHistoryMenu)
        return int(m_history.backBuffer().size());
    if (menu == m_forwardHistoryMenu)
        return int(m_history.forwardBuffer().size());
    return 0;
}

bool VXQLibraryPickerPaletteController::menuUpdateItemAtIndex(QMenu* menu, QAction* action, int index)
{
    const bool back = menu == m_backHistoryMenu;
    const QList<LibraryPickerHistory::Entry>& buffer = back ? m_history.backBuffer() : m_history.forwardBuffer();
    auto* item = qobject_cast<MenuItem*>(action);
    if (!item || index < 0 || index >= buffer.size())
        return false;
    const qsizetype bufferIndex = buffer.size() - 1 - index;
    const LibraryPickerHistory::Entry& entry = buffer[bufferIndex];
    item->setTitle(entry->displayString());
    setLibraryMenuIcon(item, entry->menuIcon());
    item->setTag(int(bufferIndex));
    item->setRepresentedObject(QVariant::fromValue<ZQObjectPtr>(entry));
    item->setTarget(this);
    item->setAction("goToHistoryItem");
    item->setEnabled(true);
    item->setState(back && index == 0 ? MenuItem::OnState : MenuItem::OffState);
    return true;
}

void VXQLibraryPickerPaletteController::goBackOrForward(QObject* sender)
{
    if (sender && sender->property("segment").toInt() == 0)
        goBack(sender);
    else
        goForward(sender);
}

void VXQLibraryPickerPaletteController::goBack(QObject*)
{
    m_history.goBack();
    updateHistoryButtons();
}

void VXQLibraryPickerPaletteController::goForward(QObject*)
{
    m_history.goForward();
    updateHistoryButtons();
}

void VXQLibraryPickerPaletteController::goToHistoryItem(QObject* sender)
{
    const auto* item = qobject_cast<const MenuItem*>(sender);
    const auto entry = item ? std::dynamic_pointer_cast<VXQLibraryPickerHistoryItem>(
                                  item->representedObject().value<ZQObjectPtr>())
                            : nullptr;
    if (!entry)
        return;
    m_history.goToEntry(entry);
    updateHistoryButtons();
}

void VXQLibraryPickerPaletteController::clearHistory(QObject*)
{
    m_history.clear(presentHistoryEntry());
    updateHistoryButtons();
}

// --- Actions --------------------------------------------------------------------------------------------------------

void VXQLibraryPickerPaletteController::libraryChoiceAction(QObject* sender)
{
    const QString identifier = sender ? sender->property("representedObject").toString() : QString();
    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingIdentifier(identifier);
    if (!library)
        return;
    auto* category = qobject_cast<VXQLibraryCategory*>(library->itemWithIdentifier(identifier));
    setCategory(category ? category : library->allItemsCategory());
}

void VXQLibraryPickerPaletteController::searchFieldAction(QObject* sender)
{
    if (const auto* field = qobject_cast<const QLineEdit*>(sender))
        setFilterString(field->text());
}

void VXQLibraryPickerPaletteController::searchFieldMenuAction(QObject* sender)
{
    if (sender)
        setFilterKind(sender->property("tag").toInt());
}

void VXQLibraryPickerPaletteController::searchFieldModeAction(QObject* sender)
{
    if (sender)
        setFilterStringMode(sender->property("tag").toInt());
}

void VXQLibraryPickerPaletteController::filterScopeAction(QObject* sender)
{
    if (sender)
        setFilterScope(sender->property("tag").toInt());
}

void VXQLibraryPickerPaletteController::dummyTitleAction(QObject*) {}

void VXQLibraryPickerPaletteController::applyToSelectionAction(QObject*)
{
    const VXQLibraryItemPtr item = selectedItem();
    if (!item)
        return;
    const bool auxiliary = (platform::currentModifierFlags() & platform::OptionKeyMask) != 0;
    if (applyItemToSelectionAsAuxiliaryStyle(item.get(), auxiliary))
        if (VXQLibrary* library = item->library())
            library->useItem(item.get());
}

void VXQLibraryPickerPaletteController::applyAuxiliaryToSelectionAction(QObject*)
{
    const VXQLibraryItemPtr item = selectedItem();
    if (item && applyItemToSelectionAsAuxiliaryStyle(item.get(), true))
        if (VXQLibrary* library = item->library())
            library->useItem(item.get());
}

void VXQLibraryPickerPaletteController::showInLibraryManagerAction(QObject*)
{
    const VXQLibraryItemPtr item = selectedItem();
    VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
    manager->showWindow(nullptr);
    if (!item || !manager->showItemWithUniqueIDInCategorySelectIt(item->uniqueKey(), m_libraryCategory, true))
        platform::Application::beep();
}

void VXQLibraryPickerPaletteController::toggleStatusBar(QObject*)
{
    setStatusBarHidden(!statusBarHidden());
}

void VXQLibraryPickerPaletteController::tableDoubleClickAction(QObject*)
{
    editItemsAtIndexes(m_itemViewController->selectedItemIndexes());
}

bool VXQLibraryPickerPaletteController::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "searchFieldMenuAction") {
        item->setState(item->tag() == m_filterKind ? MenuItem::OnState : MenuItem::OffState);
        return true;
    }
    if (action == "searchFieldModeAction") {
        item->setState(item->tag() == m_filterStringMode ? MenuItem::OnState : MenuItem::OffState);
        return true;
    }
    if (action == "filterScopeAction") {
        item->setState(item->tag() == m_filterScope ? MenuItem::OnState : MenuItem::OffState);
        return true;
    }
    if (action == "libraryChoiceAction") {
        const QString identifier = item->representedObject().toString();
        const bool shown = m_libraryCategory && identifier == m_libraryCategory->identifier();
        item->setState(shown ? MenuItem::OnState : MenuItem::OffState);
        if (m_libraryCategory)
            VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(item, m_libraryCategory->identifier());
        return !identifier.isEmpty();
    }
    if (action == "showInLibraryManagerAction") {
        const VXQLibraryItemPtr chosen = selectedItem();
        const VXQLibrary* library = chosen ? chosen->library() : nullptr;
        return library && library->group() != kVXQLibraryDocumentGroupName;
    }
    if (action == "applyToSelectionAction")
        return canApplyToSelection();
    if (action == "applyAuxiliaryToSelectionAction")
        return canApplyAuxiliaryToSelection();
    if (action == "goBack")
        return m_history.canGoBack();
    if (action == "goForward")
        return m_history.canGoForward();
    if (action == "clearHistory")
        return m_history.canClear();
    if (action == "toggleStatusBar") {
        item->setTitle(statusBarHidden() ? tr("Show Path Bar") : tr("Hide Path Bar"));
        return true;
    }
    return platform::ResponderChain::hasActionMethod(this, action);
}
