#include "windows/templates/QVNTemplatePickerController.h"

#include "app/document/QuorvaneDocumentController.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "media/folders/FolderBookmark.h"
#include "media/window/ZQImageBrowserView.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ApplicationSingleton.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/OpenPanel.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"
#include "windows/templates/TemplateGridModel.h"
#include "windows/templates/TemplateImport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTreeView>

namespace {

using SharedPicker = platform::ApplicationSingleton<QVNTemplatePickerController>;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

QUrl defaultCategoryURL()
{
    const QString shipped = ZQQuorvaneDocument::documentTemplatesURL().toLocalFile();
    return QUrl::fromLocalFile(QDir(shipped).filePath(QVNTemplatePickerController::kDefaultCategoryName));
}

} // namespace

QVNTemplatePickerController::QVNTemplatePickerController()
    : m_folderController(std::make_shared<ZQFolderBrowserController>())
    , m_grid(std::make_unique<TemplateGridModel>())
{
    initWithWindowNibName(QStringLiteral("QuorvaneDocumentPicker"));
}

QVNTemplatePickerController::~QVNTemplatePickerController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::RunLoop::cancelPreviousPerformRequests(this);
    m_folderController->setDelegate(nullptr);
    if (m_parts.pickerView)
        m_parts.pickerView->setModel(nullptr);
    SharedPicker::forget(this);
}

QVNTemplatePickerController* QVNTemplatePickerController::templatePicker()
{
    return SharedPicker::instance();
}

bool QVNTemplatePickerController::shouldDisplayTemplatePickerAtLaunch()
{
    return defaults().boolForKey(kShowAtStartupKey) && ZQQuorvaneDocument::hasTemplatesAvailable();
}

QUrl QVNTemplatePickerController::restoredTemplatesRootURL()
{
    QUrl stored;
    const QByteArray bookmark = defaults().dataForKey(kSelectedTemplateBookmarkKey);
    if (!bookmark.isEmpty()) {
        if (const auto resolution = FolderBookmark::resolve(bookmark))
            stored = resolution->url;
    } else if (const QString path = defaults().stringForKey(kSelectedTemplateKey); !path.isEmpty()) {
        stored = QUrl::fromLocalFile(path);
    }
    if (!stored.isLocalFile() || !QFileInfo(stored.toLocalFile()).isDir())
        return defaultCategoryURL();
    return stored;
}

// --- Window -------------------------------------------------------------------------------------

const TemplatePickerWindow& QVNTemplatePickerController::parts()
{
    window();
    return m_parts;
}

QWidget* QVNTemplatePickerController::loadWindow()
{
    m_parts = TemplatePickerWindow::build();
    return m_parts.window;
}

void QVNTemplatePickerController::windowDidLoad()
{
    m_parts.pickerView->setModel(m_grid.get());
    m_parts.tableHeader->setTitle(tr("Template Categories"));
    m_parts.showAtStartupCheckbox->setChecked(defaults().boolForKey(kShowAtStartupKey));
    m_parts.showAtStartupCheckbox->setText(tr("Show this window when Quorvane opens"));
    m_folderController->setFolderTable(m_parts.folderTable);
    installRoots();
    m_folderController->setDelegate(this);
    connectControls();
    observeChangesOnDisk();
    restoreCategory();
    m_parts.cancelButton->hide();
    updateOKButton();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_parts.window->move(screen->availableGeometry().center() - m_parts.window->rect().center());
}

void QVNTemplatePickerController::installRoots()
{
    // The shipped templates first, then the user's own.
    m_folderController->setRootItemsPresorted(true);
    m_folderController->setRootItems({});
    const ZQFolderInfoPtr shipped = ZQFolderInfo::makeWithURL(ZQQuorvaneDocument::documentTemplatesURL());
    // The copy on disk has a versioned folder name; the user knows it by the bundle's.
    shipped->setName(QStringLiteral("Quorvane Templates"));
    m_folderController->addRootItem(shipped);
    m_folderController->expandItem(shipped, true);
    const ZQFolderInfoPtr user = ZQFolderInfo::makeWithURL(ZQQuorvaneDocument::userTemplatesURL());
    m_folderController->addRootItem(user);
    m_folderController->expandItem(user, false);
}

void QVNTemplatePickerController::connectControls()
{
    const TemplatePickerWindow& p = m_parts;
    connect(p.okButton, &QAbstractButton::clicked, this, [this] { okButtonAction(m_parts.okButton); });
    connect(p.blankDocumentButton, &QAbstractButton::clicked, this,
            [this] { newDefaultDocumentAction(m_parts.blankDocumentButton); });
    connect(p.cancelButton, &QAbstractButton::clicked, this, [this] { m_parts.window->hide(); });
    connect(p.importButton, &QAbstractButton::clicked, this, [this] { importTemplatesAction(m_parts.importButton); });
    connect(p.showAtStartupCheckbox, &QAbstractButton::toggled, this,
            [this] { showAtStartUpAction(m_parts.showAtStartupCheckbox); });
    connect(p.searchField, &QLineEdit::textChanged, this, [this] { filterAction(m_parts.searchField); });

    ZQImageBrowserView* grid = p.pickerView;
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateOKButton(); });
    // Anywhere on the cell, picture or labels alike.
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { doubleClick(m_parts.pickerView); });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
        const QModelIndex index = grid->indexAt(at);
        if (index.isValid())
            grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        itemMenu()->popup(grid->viewport()->mapToGlobal(at));
    });
}

void QVNTemplatePickerController::observeChangesOnDisk()
{
    // The browser tells only of roots; a category deeper down changes too.
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kZQFolderInfoDidChangeOnDisk, nullptr, [this](const platform::Notification& notification) {
            const auto* node = qobject_cast<const ZQFolderInfo*>(notification.object());
            if (node && node->parent() && isInsideCategory(node->path()))
                folderBrowserWasNotifiedOfChangeOnDisk(m_folderController.get(), nullptr);
        });
}

bool QVNTemplatePickerController::isInsideCategory(const QString& path) const
{
    const QString category = templatesRoot();
    return !category.isEmpty() && (path == category || path.startsWith(category + QLatin1Char('/')));
}

void QVNTemplatePickerController::restoreCategory()
{
    showCategory(restoredTemplatesRootURL());
}

void QVNTemplatePickerController::showCategory(const QUrl& url)
{
    setTemplatesRootURL(url);
    if (const ZQFolderInfoPtr node = m_folderController->itemWithURL(url))
        m_folderController->expandItem(node, true);
}

QMenu* QVNTemplatePickerController::itemMenu()
{
    if (m_itemMenu)
        return m_itemMenu;
    auto* menu = new platform::Menu(QString(), m_parts.window);
    const auto add = [this, menu](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    add(tr("Open"), "okButtonAction");
    add(tr("Show in Folder"), "revealInFinderAction");
    menu->addSeparator();
    add(tr("Import Templates…"), "importTemplatesAction");
    m_itemMenu = menu;
    return menu;
}

// --- The category and its templates -------------------------------------------------------------

void QVNTemplatePickerController::setTemplatesRootURL(const QUrl& url)
{
    m_templatesRootURL = url;
    m_filterString.clear();
    if (m_parts.searchField) {
        const QSignalBlocker quiet(m_parts.searchField);
        m_parts.searchField->clear();
    }
    reloadData();
    storeBookmark(url);
}

void QVNTemplatePickerController::setTemplatesRoot(const QString& path)
{
    setTemplatesRootURL(QUrl::fromLocalFile(path));
}

void QVNTemplatePickerController::storeBookmark(const QUrl& url)
{
    if (const std::optional<QByteArray> bookmark = FolderBookmark::dataForURL(url))
        defaults().setObjectForKey(*bookmark, kSelectedTemplateBookmarkKey);
}

void QVNTemplatePickerController::reloadData()
{
    m_listing.setFolder(m_templatesRootURL);
    setTemplates(m_listing.itemsFilteredByString(m_filterString));
}

const QList<QVNTemplateItemPtr>& QVNTemplatePickerController::templates() const
{
    return m_grid->templates();
}

void QVNTemplatePickerController::setTemplates(const QList<QVNTemplateItemPtr>& templates)
{
    m_grid->setTemplates(templates);
    if (m_parts.pickerView)
        m_parts.pickerView->clearSelection();
    updateOKButton();
}

void QVNTemplatePickerController::setFilterString(const QString& filter)
{
    if (filter == m_filterString)
        return;
    m_filterString = filter;
    reloadData();
}

QUrl QVNTemplatePickerController::selectedTemplateURL() const
{
    if (!m_parts.pickerView || !m_parts.pickerView->selectionModel())
        return {};
    const QModelIndexList selected = m_parts.pickerView->selectionModel()->selectedIndexes();
    if (selected.size() != 1)
        return {};
    const QVNTemplateItemPtr item = m_grid->itemAt(selected.first().row());
    return item ? item->url() : QUrl();
}

void QVNTemplatePickerController::updateOKButton()
{
    if (m_parts.okButton)
        m_parts.okButton->setEnabled(!selectedTemplateURL().isEmpty());
}

ZQFolderInfoPtr QVNTemplatePickerController::userTemplatesNode() const
{
    return m_folderController->rootInfoForURL(ZQQuorvaneDocument::userTemplatesURL());
}

// --- Import -------------------------------------------------------------------------------------

bool QVNTemplatePickerController::importTemplateFiles(const QStringList& files)
{
    if (files.isEmpty())
        return true;
    const TemplateImport::Result result =
        TemplateImport::importFiles(files, ZQQuorvaneDocument::userTemplatesURL().toLocalFile());
    // A refusal the log alone records looks to the user like an import that did nothing.
    if (!result.failure.isEmpty())
        platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
            tr("Template Import Failed"), tr("OK"), {}, {}, result.failure)
            .beginSheetModalForWindowCompletionHandler(m_parts.window, {});
    if (result.destination.isEmpty())
        return false;
    const QUrl destination = QUrl::fromLocalFile(result.destination);
    ZQFolderInfoPtr node = m_folderController->itemWithURL(destination);
    if (!node) {
        if (const ZQFolderInfoPtr user = userTemplatesNode()) {
            node = ZQFolderInfo::makeWithURL(destination);
            user->addSubfolder(node);
            m_folderController->reload();
        }
    }
    if (node)
        m_folderController->expandItem(node, true);
    else
        setTemplatesRootURL(destination);
    QVNTemplateItem::invalidateCache();
    m_listing.reset();
    reloadData();
    return result.failure.isEmpty();
}

// --- Actions ------------------------------------------------------------------------------------

void QVNTemplatePickerController::okButtonAction(QObject*)
{
    const QUrl url = selectedTemplateURL();
    if (url.isEmpty())
        return;
    if (m_delegate)
        platform::invokeSelector(m_delegate, "openSelectedTemplateURL", url);
    if (m_parts.window)
        m_parts.window->hide();
}

void QVNTemplatePickerController::doubleClick(QObject*)
{
    if (m_parts.okButton)
        m_parts.okButton->click();
}

void QVNTemplatePickerController::showAtStartUpAction(QObject* sender)
{
    if (sender)
        defaults().setBoolForKey(sender->property("checked").toBool(), kShowAtStartupKey);
}

void QVNTemplatePickerController::newDefaultDocumentAction(QObject*)
{
    platform::DocumentController* controller = platform::DocumentController::sharedDocumentController();
    QuorvaneError error;
    const QPointer<platform::Document> document = controller->openUntitledDocumentAndDisplayError(true, &error);
    if (!document) {
        controller->presentError(error);
        return;
    }
    // Once the new window has settled, so the sheet opens on it.
    platform::RunLoop::performAfterDelay(
        this,
        [this, document] {
            if (auto* map = qobject_cast<ZQQuorvaneDocument*>(document.data()))
                map->openDrawingSizePanel(this);
        },
        kDrawingSetupDelay);
    if (m_parts.window)
        m_parts.window->hide();
}

void QVNTemplatePickerController::revealInFinderAction(QObject*)
{
    const QUrl url = selectedTemplateURL();
    if (!url.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absolutePath()));
}

void QVNTemplatePickerController::filterAction(QObject* sender)
{
    setFilterString(sender ? sender->property("text").toString() : QString());
}

void QVNTemplatePickerController::importTemplatesAction(QObject*)
{
    // "Map" and "Tms" are document types: their files are the ones the chooser lists.
    const QStringList types = QuorvaneDocumentController::fileExtensionsOfMapTypes(
        {QStringLiteral("quorvane_map"), QStringLiteral("qvnl"), QStringLiteral("tmsv"), kZQMapDocumentType,
         kZQLegacyMapDocumentType});
    platform::OpenPanel panel;
    panel.setAllowsMultipleSelection(true);
    panel.setCanChooseFiles(true);
    panel.setCanChooseDirectories(false);
    panel.setCanCreateDirectories(false);
    panel.setAllowedFileTypes(types);
    panel.setPackageFileTypes(types);
    panel.setMessage(tr("Choose files to copy as templates"));
    panel.setPrompt(tr("Copy"));
    const QPointer<QVNTemplatePickerController> self(this);
    panel.beginSheetModalForWindowCompletionHandler(m_parts.window, [self, panel](int result) {
        if (!self || result != 1)
            return;
        QStringList files;
        for (const QUrl& url : panel.URLs())
            files.append(url.toLocalFile());
        self->importTemplateFiles(files);
    });
}

bool QVNTemplatePickerController::validateUserInterfaceItem(QObject* item)
{
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (!menuItem)
        return true;
    const QByteArray action = menuItem->action();
    if (action == "revealInFinderAction") {
        const QUrl url = selectedTemplateURL();
        return !url.isEmpty() && ZQQuorvaneDocument::isUserTemplateURL(url);
    }
    if (action == "okButtonAction")
        return !selectedTemplateURL().isEmpty();
    return respondsToSelector(action);
}

// --- Folder browser -----------------------------------------------------------------------------

void QVNTemplatePickerController::folderBrowserDidSelectFolder(ZQFolderBrowserController*, ZQFolderInfo* folder)
{
    if (!folder)
        return;
    setTemplatesRootURL(folder->url());
    defaults().setObjectForKey(folder->identifier(), kSelectedTemplateIdentifierKey);
}

void QVNTemplatePickerController::folderBrowserWasNotifiedOfChangeOnDisk(ZQFolderBrowserController*, ZQFolderInfo*)
{
    QVNTemplateItem::invalidateCache();
    m_listing.reset();
    reloadData();
}
