#pragma once

// The list of items the library manager's browser shows: those of the selected library or
// category, narrowed by the search text and mode and in the browser's sort order, cached
// until the selection, the search or the content changes. Also the item count line under
// the browser and turning the search into a smart category.
//
// The manager owns it; it reads the outline's selection and hands the list to the browser.
// The manager tells it when the list is out of date (invalidateItemsCache) and asks it to
// load the browser again (loadItemsViewPreservingSelection).

#include "library/items/VXQLibraryItem.h"
#include "platform/foundation/Predicate.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <optional>

class LibraryOutlineController;
class VXQLibraryCategory;
class VXQLibraryItemViewController;
class VXQLibrarySmartCategory;
namespace platform {
class MenuItem;
class WindowController;
}

class LibraryManagerItemList : public QObject {
    Q_OBJECT

public:
    LibraryManagerItemList(const platform::WindowController& owner, LibraryOutlineController& outline);

    // The widgets it fills, once the window has them.
    void setBrowser(VXQLibraryItemViewController* browser);
    void setFields(QLineEdit* searchField, QLabel* countField);
    VXQLibraryItemViewController* browser() const;

    // --- Search -------------------------------------------------------------------------------
    Q_INVOKABLE void searchFieldAction(QObject* sender);
    // The mode by the sender's tag (LibraryItemFiltering::FilterMode).
    Q_INVOKABLE void searchFieldModeAction(QObject* sender);
    QString filterString() const { return m_filterString; }
    void setFilterString(const QString& text);
    int filterMode() const { return m_filterMode; }
    void setFilterMode(int mode);
    platform::PredicatePtr filterPredicate() const;
    // Empties the search, the field included, without the field reporting it back.
    void clearFilter();
    Q_INVOKABLE void searchFieldConvertToSmartCategoryAction(QObject* sender);
    VXQLibrarySmartCategory* makeNewSmartCategoryFromFilter();

    // --- The list -----------------------------------------------------------------------------
    // What the browser shows; empty for nothing.
    QList<VXQLibraryItemPtr> sortedAndFilteredItems();
    // Those of `indexes` (into the list) that are in range, in the indexes' order.
    QList<VXQLibraryItemPtr> itemsAtIndexes(const JXIndexSet& indexes);
    bool isCached() const { return m_cachedItems.has_value(); }
    // Forgets the list; invalidateFilteredItems keeps its sorted form for the next search.
    void invalidateItemsCache();
    void invalidateFilteredItems();
    // The browser's sort order changed.
    void sortOrderChanged();
    void restoreSelection();
    void loadItemsViewPreservingSelection(bool preserving);
    // The content changed: the list is made again and the browser keeps what it had selected.
    void reloadPreservingSelection();
    void reloadLibrarySelectingCategory(VXQLibrary* library, VXQLibraryCategory* category);

    QString bottomBarText() const;
    void updateBottomBarInfo();

    // The search modes' check marks and whether a search can become a smart category.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    const platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    QPointer<VXQLibraryItemViewController> m_browser;
    QPointer<QLineEdit> m_searchField;
    QPointer<QLabel> m_countField;
    std::optional<QList<VXQLibraryItemPtr>> m_cachedItems;
    std::optional<QList<VXQLibraryItemPtr>> m_sortedItems;
    QPointer<QObject> m_sortedItemsSource;
    QString m_filterString;
    int m_filterMode = 0;
    quint64 m_itemSortChanges = 5;
    bool m_needsSelection = false;
};
