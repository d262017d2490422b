#pragma once

// What the library manager's item browser shows: the items of the chosen library or category,
// narrowed by the search field and put in the browser's order, and the count line under it.
// Also the three orders of the outline's categories.

#include "library/items/VXQLibraryItem.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "library/tree/LibrarySortDescriptor.h"
#include "platform/foundation/Predicate.h"

class VXQLibraryElementContainer;

namespace LibraryItemFiltering {

// The search field's modes; other values behave as Contains.
enum FilterMode { Contains = 0, BeginsWith = 1, Like = 2, EndsWith = 3 };

// Null for empty text; otherwise an OR holding one comparison of the item's name with the
// text taken literally, ignoring case and accents.
platform::PredicatePtr filterPredicate(const QString& text, int mode);

// The items of `source` (a library or category) sorted by `descriptors`; a recent list keeps
// its own order and is not sorted.
QList<VXQLibraryItemPtr> sortedItems(const VXQLibraryElementContainer& source,
                                     const QList<LibrarySortDescriptor>& descriptors);
// Those of `items` that match `filter` (null: all), in their order: a search narrows a list
// sorted once, never sorts again.
QList<VXQLibraryItemPtr> filteredItems(const QList<VXQLibraryItemPtr>& items, const platform::PredicatePtr& filter);
// Both in one step, for a list not kept between searches.
QList<VXQLibraryItemPtr> sortedAndFilteredItems(const VXQLibraryElementContainer& source,
                                                const platform::PredicatePtr& filter,
                                                const QList<LibrarySortDescriptor>& descriptors);

// "2 items (none selected)", "1 item (none selected)", "3 items (1 selected)".
QString bottomBarText(qint64 itemCount, qint64 selectedCount);

// Mode 1 orders by kind first, mode 2 by size first, any other by name first.
QList<LibrarySortDescriptor> outlineSortDescriptorsForMode(qint64 mode);

} // namespace LibraryItemFiltering
