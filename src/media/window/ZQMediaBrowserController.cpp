#include "media/window/ZQMediaBrowserController.h"

#include "media/items/MediaFileTypes.h"
#include "media/window/MediaBrowserBookmarks.h"
#include "media/window/MediaGridModel.h"
#include "media/window/MediaPreviewWindow.h"
#include "media/window/ZQImageBrowserView.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationSingleton.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OpenPanel.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <QTreeView>

namespace {

using SharedBrowser = platform::ApplicationSingleton<ZQMediaBrowserController>;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// Space toggles the preview window, as it does in file managers.
class PreviewKeyFilter : public QObject {
public:
    PreviewKeyFilter(ZQMediaBrowserController* browser, QObject* parent)
        : QObject(parent)
        , m_browser(browser)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space)
            return false;
        m_browser->showQuicklookAction(nullptr);
        return true;
    }

private:
    ZQMediaBrowserController* m_browser;
};

} // namespace

ZQMediaBrowserController::ZQMediaBrowserController()
    : m_folderController(std::make_shared<ZQFolderBrowserController>())
    , m_grid(std::make_unique<MediaGridModel>(this))
    , m_viewSource(std::make_shared<ZQViewSourceController>())
    , m_fileTypes(media::browsableFileTypes())
{
    initWithWindowNibName(QStringLiteral("QuorvaneMediaBrowser"));
    connect(&m_listing, &FolderListing::batchListed, this, &ZQMediaBrowserController::takeListedBatch);
    connect(&m_listing, &FolderListing::finished, this, &ZQMediaBrowserController::listingFinished);
    connect(&m_watches, &ListedFolderWatches::folderChanged, this, [this] { reload(ReloadView::KeepPlace); });
    connect(&m_watches, &ListedFolderWatches::foldersUnfollowed, this,
            &ZQMediaBrowserController::showUnfollowedFolders);
}

ZQMediaBrowserController::~ZQMediaBrowserController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::RunLoop::cancelPreviousPerformRequests(this);
    m_folderController->setDelegate(nullptr);
    if (m_parts.imageBrowser)
        m_parts.imageBrowser->setModel(nullptr);
    SharedBrowser::forget(this);
}

ZQMediaBrowserController* ZQMediaBrowserController::sharedMediaBrowser()
{
    return SharedBrowser::instance();
}

bool ZQMediaBrowserController::sharedMediaBrowserAvailable()
{
    return SharedBrowser::existing() != nullptr;
}

bool ZQMediaBrowserController::prefersQuickLookPreview()
{
    return defaults().boolForKey(kZQMediaBrowserPrefersQL);
}

void ZQMediaBrowserController::setPrefersQuickLookPreview(bool flag)
{
    defaults().setBoolForKey(flag, kZQMediaBrowserPrefersQL);
}

const QStringList& ZQMediaBrowserController::svgFileTypes()
{
    return media::svgFileTypes();
}

QString ZQMediaBrowserController::picturesFolderPath()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QFileInfo folder(path);
    return !path.isEmpty() && folder.isDir() ? folder.canonicalFilePath() : QString();
}

// --- Window -------------------------------------------------------------------------------------

const MediaBrowserWindow& ZQMediaBrowserController::parts()
{
    window();
    return m_parts;
}

QWidget* ZQMediaBrowserController::loadWindow()
{
    m_parts = MediaBrowserWindow::build();
    return m_parts.window;
}

void ZQMediaBrowserController::windowDidLoad()
{
    m_folderController->setFolderTable(m_parts.folderTable);
    m_folderController->setRootItems({});
    m_folderController->setDelegate(this);

    m_parts.imageBrowser->setModel(m_grid.get());
    m_parts.imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    m_parts.tableHeader->setTitle(tr("Image Sources"));

    const QList<ZQFolderInfoPtr> bookmarked = MediaBrowserBookmarks::bookmarkedRootItems();
    if (bookmarked.isEmpty())
        installDefaultFolders();
    else
        m_folderController->setRootItems(bookmarked);

    m_parts.progressIndicator->hide();
    m_parts.allFilesCheckbox->setChecked(showsAllEnclosedFiles());
    updateRemoveSegment();
    connectControls();
    observeNotifications();
    restoreSelectionAndZoom();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_parts.window->move(screen->availableGeometry().center() - m_parts.window->rect().center());
}

void ZQMediaBrowserController::connectControls()
{
    const MediaBrowserWindow& p = m_parts;
    QAbstractButton* add = p.addSegment;
    QAbstractButton* remove = p.removeSegment;
    connect(add, &QAbstractButton::clicked, this, [this, add] { addRemoveSegmentedControlAction(add); });
    connect(remove, &QAbstractButton::clicked, this, [this, remove] { addRemoveSegmentedControlAction(remove); });
    QSlider* zoom = p.zoomSlider;
    connect(zoom, &QSlider::valueChanged, this, [this, zoom] { zoomSliderAction(zoom); });
    QCheckBox* allFiles = p.allFilesCheckbox;
    connect(allFiles, &QAbstractButton::toggled, this, [this, allFiles] { showAllFilesAction(allFiles); });
    QLineEdit* search = p.searchField;
    connect(search, &QLineEdit::textChanged, this, [this] { searchFieldEdited(); });

    ZQImageBrowserView* grid = p.imageBrowser;
    connect(grid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { imageBrowserCellWasDoubleClicked(index.row()); });
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updatePreview(); });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
        const QModelIndex index = grid->indexAt(at);
        if (index.isValid())
            selectRow(index.row());
        itemMenu()->popup(grid->viewport()->mapToGlobal(at));
    });
    grid->installEventFilter(new PreviewKeyFilter(this, grid));

    connect(&m_progress, &MediaFetchProgress::progressShown, p.progressIndicator, &QWidget::show);
    connect(&m_progress, &MediaFetchProgress::progressHidden, p.progressIndicator, &QWidget::hide);
}

void ZQMediaBrowserController::observeNotifications()
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(this, kZQFolderInfoDidChangeOnDisk, nullptr,
                       [this](const platform::Notification& note) { folderInfoDidChange(note.object()); });
    center.addObserver(this, kZQImagePathWillStartAsynchronousFetch, nullptr,
                       [this](const platform::Notification&) { fetchStarted(); });
    center.addObserver(this, kQZImagePathDidCompleteAsynchronousFetch, nullptr,
                       [this](const platform::Notification&) { fetchCompleted(); });
}

void ZQMediaBrowserController::restoreSelectionAndZoom()
{
    // Only text: the defaults would read a one-item list as its item.
    const QVariant stored = defaults().objectForKey(kZQMediaBrowserLastFolderPrefsKey);
    const QString last = stored.typeId() == QMetaType::QString ? stored.toString() : QString();
    if (!last.isEmpty()) {
        platform::RunLoop::performAfterDelay(
            this, [this, last] { m_folderController->selectItemWithIdentifier(last); }, kLastFolderSelectionDelay);
    } else if (const QList<ZQFolderInfoPtr> roots = m_folderController->rootItems(); !roots.isEmpty()) {
        m_folderController->expandItem(roots.first(), true);
    }

    const double zoom = defaults().floatForKey(kZQMediaBrowserZoomLevelPrefsKey);
    if (zoom > 0)
        m_parts.imageBrowser->setZoomValue(zoom);
    const QSignalBlocker quiet(m_parts.zoomSlider);
    m_parts.zoomSlider->setValue(qRound(m_parts.imageBrowser->zoomValue() * MediaBrowserWindow::kZoomSteps));
}

void ZQMediaBrowserController::windowWillClose()
{
    VXSVGPreview::cancelAllPreviews();
    ZQAsynchronousImageLoader::cancelAllFetches();
    m_progress.previewsCancelled();
    if (m_previewWindow)
        m_previewWindow->hide();
}

bool ZQMediaBrowserController::isItemVisible(const ZQImagePath& item) const
{
    if (!m_parts.window || !m_parts.window->isVisible())
        return false;
    return m_parts.imageBrowser->isRowVisible(m_grid->rowOfItem(&item));
}

// --- The folder and its items -------------------------------------------------------------------

void ZQMediaBrowserController::setFolder(const ZQFolderInfoPtr& folder)
{
    if (folder == m_folder)
        return;
    m_folder = folder;
    if (m_folder) {
        m_folder->setReturnsAllEnclosedFiles(true);
        defaults().setObjectForKey(m_folder->identifier(), kZQMediaBrowserLastFolderPrefsKey);
    }
    m_filterString.clear();
    m_searchDelay.reset();
    if (m_parts.searchField) {
        const QSignalBlocker quiet(m_parts.searchField);
        m_parts.searchField->clear();
    }
    if (m_parts.allFilesCheckbox) {
        const QSignalBlocker quiet(m_parts.allFilesCheckbox);
        m_parts.allFilesCheckbox->setChecked(!m_folder || m_folder->returnsAllEnclosedFiles());
    }
    updateRemoveSegment();
    m_watches.clear();
    if (m_parts.watchNote)
        m_parts.watchNote->hide();
    // Emptied first, so that clearing the filter has nothing left to show.
    m_grid->setFiles({});
    m_grid->setFilter({});
    startListing(true);
}

void ZQMediaBrowserController::setFileTypes(const QStringList& types)
{
    m_fileTypes = types;
    reload();
}

bool ZQMediaBrowserController::showsAllEnclosedFiles()
{
    return defaults().boolForKey(kZQMediaBrowserShowsAllFilesPrefsKey);
}

void ZQMediaBrowserController::setShowsAllEnclosedFiles(bool flag)
{
    if (flag != showsAllEnclosedFiles())
        defaults().setBoolForKey(flag, kZQMediaBrowserShowsAllFilesPrefsKey);
    // Compared with the folder too: choosing a folder shows all its files whatever is stored.
    if (m_folder && m_folder->returnsAllEnclosedFiles() != flag) {
        m_folder->setReturnsAllEnclosedFiles(flag);
        reload();
    }
}

void ZQMediaBrowserController::setFilterString(const QString& filter)
{
    if (filter == m_filterString)
        return;
    m_filterString = filter;
    const GridPlace place = gridPlace();
    m_grid->setFilter(filter);
    restoreGridPlace(place, ReloadView::ShowSelection);
}

void ZQMediaBrowserController::searchFieldEdited()
{
    // Each keystroke starts the wait again: a word typed quickly filters once.
    m_searchDelay.emplace(kSearchDelay, false, this, [this](platform::Timer&) { filterAction(m_parts.searchField); });
}

ZQImagePathPtr ZQMediaBrowserController::selectedItem() const
{
    if (!m_parts.imageBrowser || !m_parts.imageBrowser->selectionModel())
        return nullptr;
    const QModelIndexList selected = m_parts.imageBrowser->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : m_grid->itemAt(selected.last().row());
}

bool ZQMediaBrowserController::selectedItemIsSVG() const
{
    const ZQImagePathPtr item = selectedItem();
    return item && item->isSVG();
}

void ZQMediaBrowserController::reload(ReloadView view)
{
    // The list on display stays until the new one is complete: a change on disk must not blank the grid.
    m_placeBeforeRelisting = {gridPlace(), view};
    startListing(false);
}

void ZQMediaBrowserController::startListing(bool progressive)
{
    m_progressiveListing = progressive;
    m_relisted.clear();
    // An empty type list would take every file.
    if (!m_folder || m_fileTypes.isEmpty()) {
        m_listing.cancel();
        m_grid->setFiles({});
        listingEnded();
        return;
    }
    if (!std::exchange(m_listingCounted, true))
        fetchStarted();
    m_listing.start(m_folder->fileWalkOfTypes(m_fileTypes));
}

void ZQMediaBrowserController::takeListedBatch(const FolderListingBatch& batch)
{
    m_watches.watch(batch.folders);
    if (!m_progressiveListing) {
        m_relisted.append(batch.files);
        return;
    }
    const GridPlace place = gridPlace();
    m_grid->addFiles(batch.files);
    restoreGridPlace(place, ReloadView::KeepPlace);
}

void ZQMediaBrowserController::listingFinished()
{
    if (!m_progressiveListing) {
        m_grid->setFiles(std::exchange(m_relisted, {}));
        restoreGridPlace(m_placeBeforeRelisting.first, m_placeBeforeRelisting.second);
    }
    listingEnded();
}

void ZQMediaBrowserController::listingEnded()
{
    if (std::exchange(m_listingCounted, false))
        fetchCompleted();
}

ZQMediaBrowserController::GridPlace ZQMediaBrowserController::gridPlace() const
{
    const ZQImageBrowserView* grid = m_parts.imageBrowser;
    if (!grid)
        return {};
    return {selectedItem(), QPoint(grid->horizontalScrollBar()->value(), grid->verticalScrollBar()->value())};
}

void ZQMediaBrowserController::restoreGridPlace(const GridPlace& place, ReloadView view)
{
    ZQImageBrowserView* grid = m_parts.imageBrowser;
    if (!grid)
        return;
    const int row = place.selected ? m_grid->rowOfItem(place.selected.get()) : -1;
    grid->clearSelection();
    if (row >= 0)
        grid->selectionModel()->setCurrentIndex(m_grid->index(row), QItemSelectionModel::ClearAndSelect);
    if (view == ReloadView::KeepPlace) {
        // The reset grid lays its items out later; its scroll range must be known first.
        grid->doItemsLayout();
        grid->horizontalScrollBar()->setValue(place.scrolled.x());
        grid->verticalScrollBar()->setValue(place.scrolled.y());
    } else if (row >= 0) {
        grid->scrollTo(m_grid->index(row));
    } else {
        grid->scrollToTop();
    }
}

void ZQMediaBrowserController::showUnfollowedFolders(const QString& reason)
{
    if (!m_parts.watchNote)
        return;
    m_parts.watchNote->setText(reason);
    m_parts.watchNote->show();
}

void ZQMediaBrowserController::selectRow(int row)
{
    const QModelIndex index = m_grid->index(row);
    m_parts.imageBrowser->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_parts.imageBrowser->scrollTo(index);
}

// --- Roots --------------------------------------------------------------------------------------

void ZQMediaBrowserController::resetToFactoryState(QObject*)
{
    MediaBrowserBookmarks::removeAllRootBookmarks();
    m_folderController->setRootItems({});
    installDefaultFolders();
    reload();
}

void ZQMediaBrowserController::installDefaultFolders()
{
    const QString pictures = picturesFolderPath();
    if (pictures.isEmpty())
        return;
    const ZQFolderInfoPtr root = ZQFolderInfo::makeWithPath(pictures);
    root->setIncludesPackages(m_folderController->includesFilePackages());
    m_folderController->addRootItem(root); // the outline makes itself the root's refresh delegate
    MediaBrowserBookmarks::addRootBookmark(*root);
}

ZQFolderInfoPtr ZQMediaBrowserController::addRootFolderWithURL(const QUrl& url)
{
    if (QDir::cleanPath(url.toLocalFile()) == QLatin1String("/")) {
        showAlert(tr("Root Folder Not Allowed"),
                  tr("You cannot add the root folder (entire drive). Please choose a folder containing images."));
        return nullptr;
    }
    const ZQFolderInfoPtr root = m_folderController->addRootItemWithURL(url);
    if (!root) {
        showAlert(tr("Folder Already Added"), tr("Top-level Folders can only be added to the browser once."));
        return nullptr;
    }
    MediaBrowserBookmarks::addRootBookmark(*root);
    // By the node, not its identifier: roots of the same name share one.
    m_folderController->expandItem(root, true);
    return root;
}

void ZQMediaBrowserController::showAlert(const QString& message, const QString& text)
{
    platform::Application::beep();
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        message, tr("OK"), {}, {}, text);
    alert.beginSheetModalForWindowCompletionHandler(m_parts.window, {});
}

void ZQMediaBrowserController::updateRemoveSegment()
{
    if (m_parts.removeSegment)
        m_parts.removeSegment->setEnabled(m_folder && !m_folder->parent() && m_folder->allowsDeletion());
}

// --- Changes and progress -----------------------------------------------------------------------

void ZQMediaBrowserController::folderBrowserDidSelectFolder(ZQFolderBrowserController*, ZQFolderInfo* folder)
{
    setFolder(folder ? std::static_pointer_cast<ZQFolderInfo>(folder->shared_from_this()) : nullptr);
}

void ZQMediaBrowserController::folderInfoDidChange(QObject* changed)
{
    const auto* node = qobject_cast<const ZQFolderInfo*>(changed);
    // A file added or removed elsewhere must not take the user away from what they look at.
    if (node && m_folder && m_folder->containsSubfolder(node))
        reload(ReloadView::KeepPlace);
}

void ZQMediaBrowserController::fetchStarted()
{
    m_progress.fetchStarted();
}

void ZQMediaBrowserController::fetchCompleted()
{
    // The grid is not scrolled back to its start here: thumbnails arrive as the user scrolls.
    m_progress.fetchCompleted();
}

// --- Actions ------------------------------------------------------------------------------------

void ZQMediaBrowserController::zoomSliderAction(QObject* sender)
{
    const auto* slider = qobject_cast<QSlider*>(sender);
    if (!slider)
        return;
    const double zoom = double(slider->value()) / MediaBrowserWindow::kZoomSteps;
    m_parts.imageBrowser->setZoomValue(zoom);
    defaults().setFloatForKey(float(zoom), kZQMediaBrowserZoomLevelPrefsKey);
}

void ZQMediaBrowserController::chooseFolderRootAction(QObject*)
{
    platform::OpenPanel panel;
    panel.setCanChooseDirectories(true);
    panel.setCanChooseFiles(false);
    panel.setAllowsMultipleSelection(false);
    panel.setPrompt(tr("Add Folder"));
    panel.setMessage(tr("Add a folder to browse the images it contains"));
    const QPointer<ZQMediaBrowserController> self(this);
    panel.beginSheetModalForWindowCompletionHandler(m_parts.window, [self, panel](int result) {
        if (self && result == 1 && !panel.URLs().isEmpty())
            self->addRootFolderWithURL(panel.URLs().first());
    });
}

void ZQMediaBrowserController::reloadAction(QObject*)
{
    reload();
}

void ZQMediaBrowserController::showAllFilesAction(QObject* sender)
{
    setShowsAllEnclosedFiles(sender && sender->property("checked").toBool());
}

void ZQMediaBrowserController::addRemoveSegmentedControlAction(QObject* sender)
{
    const int segment = sender ? sender->property("segment").toInt() : -1;
    if (segment == 0) {
        chooseFolderRootAction(sender);
    } else if (segment == 1) {
        if (ZQFolderInfo* selected = m_folderController->selectedItem())
            MediaBrowserBookmarks::removeRootBookmark(*selected->root());
        m_folderController->removeSelectedItemAction();
    }
}

void ZQMediaBrowserController::revealInFinderAction(QObject*)
{
    if (const ZQImagePathPtr item = selectedItem())
        item->revealInFinder();
}

void ZQMediaBrowserController::viewSourceAction(QObject*)
{
    m_viewSource->beginSheetModalForWindowDelegate(m_parts.window, this);
}

void ZQMediaBrowserController::filterAction(QObject* sender)
{
    setFilterString(sender ? sender->property("text").toString() : QString());
}

void ZQMediaBrowserController::reloadThumbnailAction(QObject*)
{
    if (const ZQImagePathPtr item = selectedItem())
        item->remakeThumbnail();
}

void ZQMediaBrowserController::showQuicklookAction(QObject*)
{
    if (!m_previewWindow) {
        m_previewWindow = new MediaPreviewWindow(m_parts.window);
        m_previewWindow->move(m_parts.window->frameGeometry().topRight() + QPoint(8, 0));
    }
    m_previewWindow->showItem(selectedItem().get());
    m_previewWindow->show();
    m_previewWindow->raise();
}

MediaPreviewWindow* ZQMediaBrowserController::previewWindow() const
{
    return m_previewWindow;
}

void ZQMediaBrowserController::updatePreview()
{
    if (m_previewWindow && m_previewWindow->isVisible())
        m_previewWindow->showItem(selectedItem().get());
}

void ZQMediaBrowserController::createDocumentWithImageAction(QObject*)
{
    const ZQImagePathPtr item = selectedItem();
    QObject* application = platform::Application::delegate();
    if (!item || !application)
        return;
    const QByteArray selector = selectedItemIsSVG() ? "createDocumentWithSVGAtURL" : "createDocumentWithImageAtURL";
    platform::invokeSelector(application, selector, item->url());
}

bool ZQMediaBrowserController::validateUserInterfaceItem(QObject* item)
{
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (!menuItem)
        return true;
    const QByteArray action = menuItem->action();
    if (action == "viewSourceAction")
        return selectedItemIsSVG();
    if (action == "createDocumentWithImageAction") {
        menuItem->setTitle(selectedItemIsSVG() ? tr("New Document With SVG File") : tr("New Document With Image"));
        return selectedItem() != nullptr;
    }
    if (action == "revealInFinderAction")
        return selectedItem() != nullptr;
    return respondsToSelector(action);
}

QMenu* ZQMediaBrowserController::itemMenu()
{
    if (m_itemMenu)
        return m_itemMenu;
    auto* menu = new platform::Menu(QString(), m_parts.window);
    const auto add = [this, menu](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    add(tr("New Document With Image"), "createDocumentWithImageAction");
    add(tr("Preview"), "showQuicklookAction");
    add(tr("Show in Folder"), "revealInFinderAction");
    add(tr("View Source"), "viewSourceAction");
    menu->addSeparator();
    add(tr("Reload Thumbnail"), "reloadThumbnailAction");
    add(tr("Reload"), "reloadAction");
    m_itemMenu = menu;
    return menu;
}

void ZQMediaBrowserController::imageBrowserCellWasDoubleClicked(int row)
{
    const ZQImagePathPtr item = m_grid->itemAt(row);
    if (item)
        showAlert(item->name(), tr("To add this image to your document, drag the image into the active layer"));
}

QUrl ZQMediaBrowserController::urlForViewSourceController(ZQViewSourceController*)
{
    return selectedItemIsSVG() ? selectedItem()->url() : QUrl();
}
