#pragma once

// The library manager: the application's one window for organising collections of styles and
// symbol masters. Left, an outline of groups, their libraries and the libraries' categories;
// right, the items of the chosen library or category, narrowed by a search field; below, a bar
// of buttons, an action menu and the item count.
//
// This class is the face the rest of the application calls (sharedLibraryManager, showing an
// item, importing a library file, making symbols from drawing objects). It owns the window and
// one object per job, and passes every menu action to the object that carries it:
//   LibraryOutlineController       the outline: groups, selection, expansion, sorting, badges
//   LibraryManagerItemList         the items the browser shows: search, cache, count line
//   LibraryCollectionCommands      new, rename and delete libraries and categories
//   LibraryManagerBrowserDelegate  the item browser's questions: remove, trash, edit symbols
//   LibraryManagerPrinting         page set-up and printing the item grid
//   LibraryManagerImportExport     importing library folders, exporting zip archives
//   LibraryManagerTransfers        paste, drops on the outline, moves, symbols from drawings
//   LibraryManagerWindowBuilder    the widgets and menus (built once, on first use)
//   LibraryManagerDebugActions     developer commands, absent unless switched on
// It follows the library model's notifications and reloads the outline and the item list.
// Settings live in the user defaults under the keys of LibraryManagerDefaults.h.

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/manager/LibraryCollectionCommands.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerBrowserDelegate.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerImportExport.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryManagerPrinting.h"
#include "library/manager/LibraryManagerTransfers.h"
#include "library/manager/LibraryManagerWindowBuilder.h"
#include "library/manager/LibraryOutlineController.h"
#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/WindowController.h"

#include <functional>
#include <memory>

class LibraryManagerDebugActions;
class LibraryOutlineView;
namespace platform {
class Alert;
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
    using AlertRunner = LibraryManagerAlerts::Runner;
    static void setAlertRunner(AlertRunner runner);

    // --- The parts ------------------------------------------------------------------------------
    LibraryOutlineController& outline() { return *m_outline; }
    LibraryManagerItemList& itemList() { return *m_itemList; }
    LibraryCollectionCommands& commands() { return *m_commands; }
    LibraryManagerBrowserDelegate& browserDelegate() { return *m_browserDelegate; }
    LibraryManagerPrinting& printing() { return *m_printing; }
    LibraryManagerImportExport& importExport() { return *m_importExport; }
    LibraryManagerTransfers& transfers() { return *m_transfers; }

    // --- Selection and showing items -------------------------------------------------------------
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
    // Selects the item's library (and its All Items, clearing the search, when the item is not
    // listed) and reveals the item in the browser.
    bool showItemWithUniqueIDSelectIt(const QString& key, bool select);
    bool showItemWithUniqueIDInCategorySelectIt(const QString& key, VXQLibraryCategory* category, bool select);

    // Whether the window was built with the developer commands (see LibraryManagerDebugActions).
    bool hasDebugMenu() const { return m_debugActions != nullptr; }
    // Asks the part that carries the item's action.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- What the parts do, for callers that know the manager only --------------------------------
    void newLibraryAction(QObject* sender) { m_commands->newLibraryAction(sender); }
    VXQLibraryCategory* makeNewCategoryForLibrary(VXQLibrary* library) { return m_commands->makeNewCategoryForLibrary(library); }
    void deleteCategoryAction(QObject* sender) { m_commands->deleteCategoryAction(sender); }
    void deleteLibraryAction(QObject* sender) { m_commands->deleteLibraryAction(sender); }
    void libDeleteOKAction(QObject* sender) { m_commands->libDeleteOKAction(sender); }
    QDialog* libraryDeleteSheet() const { return m_commands->libraryDeleteSheet(); }
    QString libraryDeleteSheetText() const { return m_commands->libraryDeleteSheetText(); }
    void toggleShowLibraryCounts(QObject* sender) { m_outline->toggleShowLibraryCounts(sender); }
    void setShowsLibraryCounts(bool flag) { m_outline->setShowsLibraryCounts(flag); }
    void setSortMainListModeForced(qint64 mode, bool forced) { m_outline->setSortMainListModeForced(mode, forced); }
    QList<LibrarySortDescriptor> outlineSortDescriptors() const { return m_outline->outlineSortDescriptors(); }
    QList<VXQLibraryElement*> outlineViewChildrenOfItem(VXQLibraryElement* item)
    {
        return m_outline->outlineViewChildrenOfItem(item);
    }

    QString filterString() const { return m_itemList->filterString(); }
    void setFilterString(const QString& text) { m_itemList->setFilterString(text); }
    void setFilterMode(int mode) { m_itemList->setFilterMode(mode); }
    VXQLibrarySmartCategory* makeNewSmartCategoryFromFilter() { return m_itemList->makeNewSmartCategoryFromFilter(); }
    // What the browser shows; empty for nothing.
    QList<VXQLibraryItemPtr> sortedAndFilteredItems() { return m_itemList->sortedAndFilteredItems(); }
    void reloadLibrarySelectingCategory(VXQLibrary* library, VXQLibraryCategory* category)
    {
        m_itemList->reloadLibrarySelectingCategory(library, category);
    }

    std::optional<QPageLayout> printInfo() { return m_printing->printInfo(); }
    void setPrintInfo(const QPageLayout& layout) { m_printing->setPrintInfo(layout); }

    bool canRemoveItemsAtIndexes(const JXIndexSet& indexes) { return m_browserDelegate->canRemoveItemsAtIndexes(indexes); }
    void deleteItemsAtIndexes(const JXIndexSet& indexes) { m_browserDelegate->deleteItemsAtIndexes(indexes); }
    bool removeItemsAtIndexes(const JXIndexSet& indexes) { return m_browserDelegate->removeItemsAtIndexes(indexes); }
    void editItemsAction(QObject* sender) { m_browserDelegate->editItemsAction(sender); }
    bool validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item, VXQLibrarySymbolImportController* editor)
    {
        return m_browserDelegate->validateSymbolNameForLibraryItemEditor(name, item, editor);
    }
    VXQLibrarySymbolImportController* symbolImporter() const { return m_browserDelegate->symbolImporter(); }
    bool symbolEditorIsOpen() const { return m_browserDelegate->symbolEditorIsOpen(); }

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

    // --- Parts of the window (for the application and tests) ---------------------------------------
    LibraryOutlineView* outlineView() const;
    VXQLibraryItemViewController* itemBrowser() const { return m_itemBrowser; }
    VXQLibraryGetInfoController* getInfoController() const { return m_getInfoController; }
    QLineEdit* searchField() const { return m_widgets.searchField; }
    QLabel* itemIdentifierField() const { return m_widgets.itemIdentifierField; }
    QLabel* bottomBarItemsInfoField() const { return m_widgets.itemsInfoField; }
    // 0 new category, 1 delete category, 2 new library, 3 the action menu's button.
    QToolButton* bottomBarButton(int segment) const;
    QMenu* actionMenu() const { return m_widgets.actionMenu; }
    QMenu* moveToMenu() const { return m_widgets.moveToMenu; }

protected:
    QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const override;
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectWidgets();
    void outlineViewSelectionDidChange();
    void observeNotifications();
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
    std::unique_ptr<LibraryManagerDebugActions> m_debugActions;
    LibraryManagerWidgets m_widgets;
    QPointer<VXQLibraryItemViewController> m_itemBrowser;
    QPointer<VXQLibraryGetInfoController> m_getInfoController;
};
