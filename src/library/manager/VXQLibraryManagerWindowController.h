#pragma once

// The library manager: the application's one window for organising collections of styles and
// symbol masters. Left, an outline of groups, their libraries and the libraries' categories;
// right, the items of the chosen library or category, narrowed by a search field; below, a bar
// of buttons, an action menu and the item count.
//
// The window also brings collections and items in and out: importing library folders,
// exporting libraries as zip archives, pasting and dropping items, dragging categories within
// and between libraries, moving items to another library and turning drawing objects into
// symbol items. It sorts the outline and prints the item grid.
//
// One manager serves the application (sharedLibraryManager); the window is built on first use.
// Its settings live in the user defaults under the keys below.

#include "library/archiving/VXQLibraryArchivingTask.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/groups/VXQLibraryGroup.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/info/VXQLibrarySmartCategoryEditController.h"
#include "library/manager/LibraryDropRules.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerImportExport.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryManagerTransfers.h"
#include "library/manager/LibraryOutlineController.h"
#include "library/sheets/VXQLibrarySymbolImportController.h"
#include "platform/foundation/Predicate.h"
#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/WindowController.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QDialog>
#include <QPageLayout>
#include <functional>
#include <optional>

class LibraryCollectionCommands;
class LibraryManagerBrowserDelegate;
class LibraryManagerDebugActions;
class LibraryManagerPrinting;
class LibraryOutlineView;
class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class ZQProgressController;
class VXDrawableObject;
class VXQLibraryGetInfoController;
class VXQLibrarySmartCategory;
namespace platform {
class Alert;
class MenuItem;
class Pasteboard;
struct Notification;
}

class VXQLibraryManagerWindowController : public platform::WindowController {
    Q_OBJECT

public:
    VXQLibraryManagerWindowController();
    ~VXQLibraryManagerWindowController() override;

    static VXQLibraryManagerWindowController* sharedLibraryManager();
    // Whether the shared manager exists; asking never makes it.
    static bool sharedLibraryManagerAvailable();
    static QStringList acceptedPasteboardTypes() { return LibraryDropRules::acceptedPasteboardTypes(); }

    // Alerts run to their end through this (a modal run by default; tests answer for the user).
    using AlertRunner = std::function<int(platform::Alert& alert)>;
    static void setAlertRunner(AlertRunner runner);

    // --- Selection --------------------------------------------------------------------------
    // The outline and what its selection means; the list of items the browser shows.
    LibraryOutlineController& outline() { return *m_outline; }
    LibraryManagerItemList& itemList() { return *m_itemList; }
    LibraryCollectionCommands& commands() { return *m_commands; }

    // The library of the first selected row (the row's own when it is a library).
    VXQLibrary* selectedLibrary() const { return m_outline->selectedLibrary(); }
    // The first selected row unless it is a group.
    VXQLibraryElement* selectedItem() const { return m_outline->selectedItem(); }
    // The last selected category (a library row stands for its All Items): what the browser shows.
    VXQLibraryCategory* currentCategory() const { return m_outline->currentCategory(); }
    // The browser's selected items.
    QList<VXQLibraryItemPtr> selection() const;
    QList<VXQLibraryPtr> userLibraries() { return m_outline->userLibraries(); }

    // Both load the window first.
    bool selectLibrary(VXQLibrary* library);
    bool selectCategory(VXQLibraryCategory* category);
    bool showItemWithUniqueIDSelectIt(const QString& key, bool select);
    bool showItemWithUniqueIDInCategorySelectIt(const QString& key, VXQLibraryCategory* category, bool select);

    // --- Library and category commands (the actions are LibraryCollectionCommands') -------------
    void newLibraryAction(QObject* sender);
    VXQLibraryCategory* makeNewCategoryForLibrary(VXQLibrary* library);
    void deleteCategoryAction(QObject* sender);
    void deleteLibraryAction(QObject* sender);
    void libDeleteOKAction(QObject* sender);
    // The sheet asking to delete a library, while it is up, and what it asks.
    QDialog* libraryDeleteSheet() const;
    QString libraryDeleteSheetText() const;
    void toggleShowLibraryCounts(QObject* sender) { m_outline->toggleShowLibraryCounts(sender); }
    void setShowsLibraryCounts(bool flag) { m_outline->setShowsLibraryCounts(flag); }
    void editItemsAction(QObject* sender);

    // Whether the window was built with the developer commands (see LibraryManagerDebugActions).
    bool hasDebugMenu() const { return m_debugActions != nullptr; }

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Transfers (LibraryManagerImportExport and LibraryManagerTransfers carry them) -----------
    LibraryManagerImportExport& importExport() { return *m_importExport; }
    LibraryManagerTransfers& transfers() { return *m_transfers; }
    bool confirmAndImportLibraryFileConfirm(const QString& path, bool confirm)
    {
        return m_importExport->confirmAndImportLibraryFileConfirm(path, confirm);
    }
    void exportSelectedLibraryToURL(const QUrl& url) { m_importExport->exportSelectedLibraryToURL(url); }
    ZQProgressController* exportProgress() const { return m_importExport->exportProgress(); }
    bool pasteWithPasteboard(const platform::Pasteboard& pasteboard) { return m_transfers->pasteWithPasteboard(pasteboard); }
    bool canPasteIntoLibraryCategoryWithPasteboard(VXQLibrary* library, VXQLibraryCategory* category,
                                                   const platform::Pasteboard& pasteboard) const
    {
        return m_transfers->canPasteIntoLibraryCategoryWithPasteboard(library, category, pasteboard);
    }
    bool pasteIntoLibraryCategoryWithPasteboardCopyItems(VXQLibrary* library, VXQLibraryCategory* category,
                                                         const platform::Pasteboard& pasteboard, bool copyItems)
    {
        return m_transfers->pasteIntoLibraryCategoryWithPasteboardCopyItems(library, category, pasteboard, copyItems);
    }
    bool moveItemsToLibraryCategoryMakingCopies(const QList<VXQLibraryItemPtr>& items, VXQLibrary* library,
                                                VXQLibraryCategory* category, bool makingCopies)
    {
        return m_transfers->moveItemsToLibraryCategoryMakingCopies(items, library, category, makingCopies);
    }
    bool copyCategoryToLibrary(VXQLibraryCategory* category, VXQLibrary* library)
    {
        return m_transfers->copyCategoryToLibrary(category, library);
    }
    bool importItemsAsSymbolsToLibraryCategory(const QList<std::shared_ptr<VXDrawableObject>>& objects,
                                               VXQLibrary* library, VXQLibraryCategory* category)
    {
        return m_transfers->importItemsAsSymbolsToLibraryCategory(objects, library, category);
    }
    bool createSymbolsFromObjects(const QList<std::shared_ptr<VXDrawableObject>>& objects)
    {
        return m_transfers->createSymbolsFromObjects(objects);
    }
    void moveToLibraryAction(QObject* sender) { m_transfers->moveToLibraryAction(sender); }
    void updateMoveToMenu(QMenu* menu) { m_transfers->updateMoveToMenu(menu); }
    Qt::DropAction dragOperationForDraggingInfoTargetItem(const QMimeData* data, Qt::DropActions offered,
                                                          VXQLibraryElement* item)
    {
        return m_transfers->dragOperationForDraggingInfoTargetItem(data, offered, item);
    }
    QMimeData* outlineViewWriteItems(const QList<VXQLibraryElement*>& items) { return m_transfers->outlineViewWriteItems(items); }
    Qt::DropAction outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item)
    {
        return m_transfers->outlineViewValidateDrop(data, offered, item);
    }
    bool outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item)
    {
        return m_transfers->outlineViewAcceptDrop(data, offered, item);
    }
    QList<VXQLibraryElement*> outlineViewChildrenOfItem(VXQLibraryElement* item)
    {
        return m_outline->outlineViewChildrenOfItem(item);
    }

    // --- Search, sorting and printing -------------------------------------------------------------
    QString filterString() const { return m_itemList->filterString(); }
    void setFilterString(const QString& text) { m_itemList->setFilterString(text); }
    void setFilterMode(int mode) { m_itemList->setFilterMode(mode); }
    VXQLibrarySmartCategory* makeNewSmartCategoryFromFilter() { return m_itemList->makeNewSmartCategoryFromFilter(); }
    void reloadLibrarySelectingCategory(VXQLibrary* library, VXQLibraryCategory* category)
    {
        m_itemList->reloadLibrarySelectingCategory(library, category);
    }
    // What the browser shows; empty for nothing.
    QList<VXQLibraryItemPtr> sortedAndFilteredItems() { return m_itemList->sortedAndFilteredItems(); }
    void setSortMainListModeForced(qint64 mode, bool forced) { m_outline->setSortMainListModeForced(mode, forced); }
    QList<LibrarySortDescriptor> outlineSortDescriptors() const { return m_outline->outlineSortDescriptors(); }
    std::optional<QPageLayout> printInfo();
    void setPrintInfo(const QPageLayout& layout);

    // --- What the item browser asks (LibraryManagerBrowserDelegate answers) ---------------------------
    bool canRemoveItemsAtIndexes(const JXIndexSet& indexes);
    void deleteItemsAtIndexes(const JXIndexSet& indexes);
    bool removeItemsAtIndexes(const JXIndexSet& indexes);
    bool validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item, VXQLibrarySymbolImportController* editor);
    VXQLibrarySymbolImportController* symbolImporter() const;
    bool symbolEditorIsOpen() const;

    // --- Parts of the window (for the application and tests) ------------------------------------------------
    LibraryOutlineView* outlineView() const;
    VXQLibraryItemViewController* itemBrowser() const { return m_itemViewController; }
    VXQLibraryGetInfoController* getInfoController() const { return m_getInfoController; }
    QLineEdit* searchField() const { return m_filterInputSearchField; }
    QLabel* itemIdentifierField() const { return m_itemIdentifierField; }
    QLabel* bottomBarItemsInfoField() const { return m_bottomBarItemsInfoTextField; }
    QToolButton* bottomBarButton(int segment) const;
    QMenu* actionMenu() const { return m_bottomBarActionMenu; }
    QMenu* moveToMenu() const { return m_moveToDynamicMenu; }

protected:
    QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const override;
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeBottomBar();
    QWidget* makeRightPane();
    QMenu* makeActionMenu();
    void makeMenuBar(QWidget* window);
    void observeNotifications();
    void outlineViewSelectionDidChange();
    void windowDidBecomeMain();

    void rootContentChanged(const platform::Notification& notification);
    void refreshDocumentLibraries(const platform::Notification& notification);
    void groupContentChanged(const platform::Notification& notification);
    void libraryContentChanged(const platform::Notification& notification);
    void categoryContentChanged(const platform::Notification& notification);

    std::unique_ptr<LibraryOutlineController> m_outline;
    std::unique_ptr<LibraryManagerItemList> m_itemList;
    std::unique_ptr<LibraryCollectionCommands> m_commands;
    std::unique_ptr<LibraryManagerPrinting> m_printing;
    std::unique_ptr<LibraryManagerBrowserDelegate> m_browserDelegate;
    std::unique_ptr<LibraryManagerImportExport> m_importExport;
    std::unique_ptr<LibraryManagerTransfers> m_transfers;
    QToolButton* m_bottomBarButtons[4] = {};
    QLabel* m_itemIdentifierField = nullptr;
    QLabel* m_bottomBarItemsInfoTextField = nullptr;
    QMenu* m_bottomBarActionMenu = nullptr;
    QMenu* m_moveToDynamicMenu = nullptr;
    QLineEdit* m_filterInputSearchField = nullptr;
    VXQLibraryItemViewController* m_itemViewController = nullptr;
    VXQLibraryGetInfoController* m_getInfoController = nullptr;
    std::unique_ptr<LibraryManagerDebugActions> m_debugActions;
};
