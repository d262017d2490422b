#pragma once

// Moving items and categories within and between the library manager's libraries: Edit >
// Paste, drops of items, categories and drawing objects on the outline (LibraryDropRules
// decides what a drop does), moving the browser's selection to another library, copying a
// category to another library, and turning drawing objects into symbol items.
//
// The manager owns it, installs it as the outline's drop handler and forwards "paste" and
// "moveToLibraryAction" to it; a document's "Create Symbol" reaches it through the manager.
// New symbols open in the symbol editing sheet of the browser's delegate.

#include "library/categories/VXQLibraryCategory.h"
#include "library/manager/LibraryDropRules.h"
#include "library/manager/LibraryOutlineController.h"
#include "library/items/VXQLibraryItem.h"

#include <QObject>
#include <QPointer>

class LibraryManagerBrowserDelegate;
class LibraryManagerItemList;
class QMenu;
class VXDrawableObject;
class VXQLibraryItemViewController;
namespace platform {
class MenuItem;
class Pasteboard;
class WindowController;
}

class LibraryManagerTransfers : public QObject, public LibraryOutlineDropHandler {
    Q_OBJECT

public:
    LibraryManagerTransfers(platform::WindowController& owner, LibraryOutlineController& outline,
                            LibraryManagerItemList& itemList, LibraryManagerBrowserDelegate& browserDelegate);

    // Edit > Paste: library items as pasteIntoLibrary... takes them, and shapes copied from a
    // map as new symbols, as when they are dropped on the outline.
    Q_INVOKABLE void paste(QObject* sender);
    bool pasteWithPasteboard(const platform::Pasteboard& pasteboard);
    // Whether a paste of what the pasteboard holds would add something there.
    bool canPasteIntoLibraryCategoryWithPasteboard(VXQLibrary* library, VXQLibraryCategory* category,
                                                   const platform::Pasteboard& pasteboard) const;
    bool pasteIntoLibraryCategoryWithPasteboardCopyItems(VXQLibrary* library, VXQLibraryCategory* category,
                                                         const platform::Pasteboard& pasteboard, bool copyItems);
    bool moveItemsToLibraryCategoryMakingCopies(const QList<VXQLibraryItemPtr>& items, VXQLibrary* library,
                                                VXQLibraryCategory* category, bool makingCopies);
    // Asks first unless the user said not to (kVXQLibraryConfirmCategoryCopy).
    bool copyCategoryToLibrary(VXQLibraryCategory* category, VXQLibrary* library);

    bool importItemsAsSymbolsToLibraryCategory(const QList<std::shared_ptr<VXDrawableObject>>& objects,
                                               VXQLibrary* library, VXQLibraryCategory* category);
    // A document's "Create Symbol": asks before making six or more, then shows the window with
    // the new items of the default library.
    bool createSymbolsFromObjects(const QList<std::shared_ptr<VXDrawableObject>>& objects);

    // By the sender's tag -1 to a new collection, else to its represented library.
    Q_INVOKABLE void moveToLibraryAction(QObject* sender);
    // Fills the move-to-collection menu: the new-collection entry, a separator and the user libraries.
    void updateMoveToMenu(QMenu* menu);

    // What a drop of `data` on `item` would do.
    Qt::DropAction dragOperationForDraggingInfoTargetItem(const QMimeData* data, Qt::DropActions offered,
                                                          VXQLibraryElement* item);
    VXQLibraryCategory* draggingCategory() const { return m_draggingCategory; }
    QMimeData* outlineViewWriteItems(const QList<VXQLibraryElement*>& items) override;
    Qt::DropAction outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                           VXQLibraryElement* item) override;
    bool outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item) override;

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    QString preferredAcceptedType(const QMimeData* data) const;
    LibraryDropContext dropContext(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item) const;
    bool acceptDroppedDrawables(const QMimeData* data, VXQLibrary* library, VXQLibraryCategory* category);
    void selectItemsSoon(const QList<VXQLibraryItemPtr>& items);
    VXQLibraryItemViewController* browser() const;

    platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    LibraryManagerItemList& m_itemList;
    LibraryManagerBrowserDelegate& m_browserDelegate;
    QPointer<VXQLibraryCategory> m_draggingCategory;
};
