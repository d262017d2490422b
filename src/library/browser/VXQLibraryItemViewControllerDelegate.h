#pragma once

// What the item browser asks of its owner (the library manager, the picker palette). Every
// message is optional: a delegate lists the ones it answers in
// implementedItemViewControllerMessages(), and the browser sends no other, falling back as each
// comment says. Indexes are those of the browser's content.

#include "library/items/VXQLibraryItem.h"
#include "library/tree/LibrarySortDescriptor.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QFlags>
#include <QList>
#include <QSizeF>
#include <QString>

class VXQLibraryItemViewController;

class VXQLibraryItemViewControllerDelegate {
public:
    enum class Message : unsigned {
        Content = 1 << 0,                // without it the browser shows what setContent gave it
        NumberOfItems = 1 << 1,          // without it the content's count
        SortDescriptorsChanged = 1 << 2,
        ItemSelectionChanged = 1 << 3,
        DeleteItemsAtIndexes = 1 << 4,
        EditItemsAtIndexes = 1 << 5,
        CanRemoveItemsAtIndexes = 1 << 6, // without it items are never removed by dragging them out
        RemoveItemsAtIndexes = 1 << 7,
        SaveSettingsRootName = 1 << 8,    // without it the settings root is ""
        IconSizingChanged = 1 << 9,
        ShouldEditItemAtIndex = 1 << 10,  // without it renaming is allowed
        AllowsResorting = 1 << 11,        // without it resorting is allowed
        PrintOperationDidRun = 1 << 12,
    };
    Q_DECLARE_FLAGS(Messages, Message)

    virtual ~VXQLibraryItemViewControllerDelegate() = default;
    virtual Messages implementedItemViewControllerMessages() const { return {}; }
    bool answers(Message message) const { return implementedItemViewControllerMessages().testFlag(message); }

    // Asked whenever the browser reads its content; the answer replaces it.
    virtual QList<VXQLibraryItemPtr> contentForLibraryItemViewController(VXQLibraryItemViewController*) { return {}; }
    virtual qint64 numberOfItemsForLibraryItemViewController(VXQLibraryItemViewController*) { return 0; }
    // The list's sort order changed; receives the order it had before. The browser never
    // reorders its content: the delegate sorts and sets new content.
    virtual void sortDescriptorsChanged(const QList<LibrarySortDescriptor>& previous) { Q_UNUSED(previous) }
    virtual void itemSelectionChanged(const JXIndexSet& indexes) { Q_UNUSED(indexes) }
    // The user confirmed deleting these (unlocked) items.
    virtual void deleteItemsAtIndexes(const JXIndexSet& indexes) { Q_UNUSED(indexes) }
    // An icon was double-clicked.
    virtual void editItemsAtIndexes(const JXIndexSet& indexes) { Q_UNUSED(indexes) }
    // Asked while items are dragged outside every window.
    virtual bool canRemoveItemsAtIndexes(const JXIndexSet& indexes)
    {
        Q_UNUSED(indexes)
        return false;
    }
    // A drag ended as a removal; true when the items were removed.
    virtual bool removeItemsAtIndexes(const JXIndexSet& indexes)
    {
        Q_UNUSED(indexes)
        return false;
    }
    // The prefix of the browser's user-defaults keys.
    virtual QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*) { return {}; }
    virtual void iconSizingChanged(QSizeF cellSize) { Q_UNUSED(cellSize) }
    virtual bool libraryItemViewControllerShouldEditItemAtIndex(VXQLibraryItemViewController*, qint64) { return true; }
    virtual bool libraryItemViewControllerAllowsResorting(VXQLibraryItemViewController*) { return true; }
    // The end of a print run started by performPrintWithPrintInfo (context "print_preview").
    virtual void printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo)
    {
        Q_UNUSED(success)
        Q_UNUSED(contextInfo)
    }
};
Q_DECLARE_OPERATORS_FOR_FLAGS(VXQLibraryItemViewControllerDelegate::Messages)
