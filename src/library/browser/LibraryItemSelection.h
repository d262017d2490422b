#pragma once

// An item browser's selection in terms of its items: which are selected (all, or the unlocked
// ones), selecting items in one pass over the content, revealing one, the menu's select all,
// none and others, and the selection remembered across a change of content. Disabled items
// are never selected; the shown presentation holds the selection itself.

#include "library/browser/LibraryItemBrowserRules.h"
#include "library/items/VXQLibraryItem.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

class LibraryItemPresentations;
class VXQLibraryItemViewController;

class LibraryItemSelection {
public:
    LibraryItemSelection(VXQLibraryItemViewController& browser, LibraryItemPresentations& presentations,
                         const librarybrowser::DisabledItems& disabled);

    JXIndexSet indexes() const;
    QList<VXQLibraryItemPtr> items();
    QList<VXQLibraryItemPtr> unlockedItems();
    JXIndexSet unlockedIndexes();

    // Replaces the selection (when different) and scrolls its first item into view; always
    // forgets the remembered selection.
    void selectIndexes(const JXIndexSet& indexes);
    // Those of the items that are shown.
    void selectItems(const QList<VXQLibraryItemPtr>& items);
    // Selects just the item, or only scrolls to it; false when it is not shown.
    bool reveal(const VXQLibraryItem* item, bool select);
    // Selects in the shown presentation without scrolling, leaving out disabled items.
    void show(const JXIndexSet& indexes);
    void selectAll();
    void selectNone() { show({}); }
    void selectOthers();

    void remember() { m_remembered = items(); }
    void restore();

private:
    JXIndexSet allIndexes();

    VXQLibraryItemViewController& m_browser;
    LibraryItemPresentations& m_presentations;
    const librarybrowser::DisabledItems& m_disabled;
    QList<VXQLibraryItemPtr> m_remembered;
};
