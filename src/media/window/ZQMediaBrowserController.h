#pragma once

// The media browser: one window for the whole application with the root folders the user
// added (and, the first time, the Pictures folder) on the left, and on the right the image
// and SVG files of the chosen folder and all its subfolders as a grid of thumbnails with
// their names and pixel sizes. Items are dragged into a map layer as file URLs, opened as new
// documents, looked at in a larger preview window, shown as source (SVG files) or in their
// folder; the grid is filtered by name and zoomed.
//
// Folders are listed on a worker: a chosen folder fills the grid batch by batch, a reload
// swaps the new list in once it is complete, and either is dropped for the next choice. The
// name filter works on the list in memory, a moment after the last keystroke. Changes on disk
// are followed in the listed folders, within a bound (ListedFolderWatches).
//
// Roots are kept as bookmarks (MediaBrowserBookmarks); the window's other settings live in the
// user defaults under the keys below.

#include "media/browser/ZQFolderBrowserController.h"
#include "media/enumeration/FolderListing.h"
#include "media/items/ZQImagePath.h"
#include "media/window/MediaBrowserWindow.h"
#include "media/window/ListedFolderWatches.h"
#include "media/window/MediaFetchProgress.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/WindowController.h"
#include "widgets/sheets/ZQViewSourceController.h"

#include <memory>
#include <optional>

class MediaGridModel;
class MediaPreviewWindow;
class QMenu;

inline const QString kZQMediaBrowserLastFolderPrefsKey = QStringLiteral("kZQMediaBrowserLastFolderPrefsKey");
inline const QString kZQMediaBrowserZoomLevelPrefsKey = QStringLiteral("kZQMediaBrowserZoomLevelPrefsKey");
inline const QString kZQMediaBrowserShowsAllFilesPrefsKey = QStringLiteral("kZQMediaBrowserShowsAllFilesPrefsKey");

class ZQMediaBrowserController : public platform::WindowController,
                                 public ZQMediaItemBrowser,
                                 public ZQFolderBrowserDelegate,
                                 public ZQViewSourceControllerDelegate {
    Q_OBJECT

public:
    // The wait before the stored last folder is selected, so the outline has been shown.
    static constexpr int kLastFolderSelectionDelay = 100; // milliseconds
    // How long the name filter waits for the next keystroke.
    static constexpr int kSearchDelay = 150; // milliseconds

    ZQMediaBrowserController();
    ~ZQMediaBrowserController() override;

    static ZQMediaBrowserController* sharedMediaBrowser();
    // Whether the shared browser exists; asking never makes it.
    static bool sharedMediaBrowserAvailable();

    // Whether items show ready-made thumbnail files rather than their own files.
    static bool prefersQuickLookPreview();
    static void setPrefersQuickLookPreview(bool flag);
    static const QStringList& svgFileTypes();
    // The user's Pictures folder, links resolved; empty when the system names none that exists.
    static QString picturesFolderPath();

    // --- The folder and its items -------------------------------------------------------------
    ZQFolderInfoPtr folder() const { return m_folder; }
    // Lists the node's files and those of all its subfolders, clears the filter, remembers the
    // node and lets the remove button act on it when it is a root that may be deleted.
    void setFolder(const ZQFolderInfoPtr& folder);
    QStringList fileTypes() const { return m_fileTypes; }
    void setFileTypes(const QStringList& types);
    // The stored all-files setting; a change goes to the folder on display.
    static bool showsAllEnclosedFiles();
    void setShowsAllEnclosedFiles(bool flag);
    QString filterString() const { return m_filterString; }
    void setFilterString(const QString& filter);
    ZQImagePathPtr selectedItem() const;
    bool selectedItemIsSVG() const;
    // What the grid shows after a reload: the selected item (or the first), or the place the
    // user had scrolled to.
    enum class ReloadView { ShowSelection, KeepPlace };
    // Lists the folder again, keeping the selected item when it is still listed.
    void reload(ReloadView view = ReloadView::ShowSelection);

    // Forgets every root and bookmark, then starts again from the Pictures folder.
    Q_INVOKABLE void resetToFactoryState(QObject* sender = nullptr);
    void installDefaultFolders();
    // Adds the folder as a root, stored and selected; "/" and folders already added are
    // refused with an alert. Answers the new root.
    ZQFolderInfoPtr addRootFolderWithURL(const QUrl& url);

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void zoomSliderAction(QObject* sender);
    Q_INVOKABLE void chooseFolderRootAction(QObject* sender);
    Q_INVOKABLE void reloadAction(QObject* sender);
    Q_INVOKABLE void showAllFilesAction(QObject* sender);
    // The sender's "segment" property: 0 adds a root, 1 removes the selected one.
    Q_INVOKABLE void addRemoveSegmentedControlAction(QObject* sender);
    Q_INVOKABLE void revealInFinderAction(QObject* sender);
    Q_INVOKABLE void viewSourceAction(QObject* sender);
    Q_INVOKABLE void filterAction(QObject* sender);
    Q_INVOKABLE void reloadThumbnailAction(QObject* sender);
    Q_INVOKABLE void showQuicklookAction(QObject* sender);
    // Asks the application's delegate for a new document of the selected item.
    Q_INVOKABLE void createDocumentWithImageAction(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);
    // Double clicks open nothing: the user is told how to use an item.
    void imageBrowserCellWasDoubleClicked(int row);

    // --- Parts, for the application and tests --------------------------------------------------
    ZQFolderBrowserController* folderController() const { return m_folderController.get(); }
    MediaGridModel* gridModel() const { return m_grid.get(); }
    const MediaBrowserWindow& parts();
    const MediaFetchProgress& fetchProgress() const { return m_progress; }
    const FolderListing& folderListing() const { return m_listing; }
    const ListedFolderWatches& listedFolderWatches() const { return m_watches; }
    ZQViewSourceController* viewSourceController() const { return m_viewSource.get(); }
    // Null until first asked for a preview.
    MediaPreviewWindow* previewWindow() const;
    // The grid's context menu, validated.
    QMenu* itemMenu();
    // Stored only.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // --- Delegate answers ----------------------------------------------------------------------
    bool isItemVisible(const ZQImagePath& item) const override;
    Messages folderBrowserMessages() const override { return DidSelectFolder; }
    void folderBrowserDidSelectFolder(ZQFolderBrowserController* browser, ZQFolderInfo* folder) override;
    QUrl urlForViewSourceController(ZQViewSourceController* controller) override;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    void connectControls();
    void observeNotifications();
    void restoreSelectionAndZoom();
    void folderInfoDidChange(QObject* changed);
    // Progressive listings show each batch as it comes; the others replace the list at the end.
    void startListing(bool progressive);
    void takeListedBatch(const FolderListingBatch& batch);
    void listingFinished();
    void listingEnded();
    void searchFieldEdited();
    void showUnfollowedFolders(const QString& reason);
    struct GridPlace {
        ZQImagePathPtr selected;
        QPoint scrolled;
    };
    GridPlace gridPlace() const;
    void restoreGridPlace(const GridPlace& place, ReloadView view);
    void fetchStarted();
    void fetchCompleted();
    void selectRow(int row);
    void updateRemoveSegment();
    void updatePreview();
    void showAlert(const QString& message, const QString& text);

    std::shared_ptr<ZQFolderBrowserController> m_folderController;
    std::unique_ptr<MediaGridModel> m_grid;
    MediaBrowserWindow m_parts;
    std::shared_ptr<ZQViewSourceController> m_viewSource;
    MediaFetchProgress m_progress;
    QPointer<MediaPreviewWindow> m_previewWindow;
    QPointer<QMenu> m_itemMenu;
    QPointer<QObject> m_delegate;
    ZQFolderInfoPtr m_folder;
    QStringList m_fileTypes;
    QString m_filterString;
    FolderListing m_listing;
    ListedFolderWatches m_watches;
    bool m_progressiveListing = false;
    bool m_listingCounted = false; // the listing under way counts as one fetch
    QList<ZQURLWithThumb> m_relisted;
    std::pair<GridPlace, ReloadView> m_placeBeforeRelisting;
    std::optional<platform::Timer> m_searchDelay;
};
