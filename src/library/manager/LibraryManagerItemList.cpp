#include "library/manager/LibraryManagerItemList.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/manager/LibraryOutlineView.h"
#include "library/manager/LibraryOutlineController.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/WindowController.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QLabel>
#include <QLineEdit>

LibraryManagerItemList::LibraryManagerItemList(const platform::WindowController& owner, LibraryOutlineController& outline)
    : m_owner(owner)
    , m_outline(outline)
{
}

void LibraryManagerItemList::setBrowser(VXQLibraryItemViewController* browser)
{
    m_browser = browser;
}

void LibraryManagerItemList::setFields(QLineEdit* searchField, QLabel* countField)
{
    m_searchField = searchField;
    m_countField = countField;
}

VXQLibraryItemViewController* LibraryManagerItemList::browser() const
{
    return m_browser;
}

// --- Search -----------------------------------------------------------------------------------------

void LibraryManagerItemList::searchFieldAction(QObject* sender)
{
    if (auto* field = qobject_cast<QLineEdit*>(sender))
        setFilterString(field->text());
}

void LibraryManagerItemList::searchFieldModeAction(QObject* sender)
{
    if (auto* item = qobject_cast<platform::MenuItem*>(sender))
        setFilterMode(item->tag());
}

void LibraryManagerItemList::setFilterString(const QString& text)
{
    m_filterString = text;
    invalidateFilteredItems();
    loadItemsViewPreservingSelection(true);
}

void LibraryManagerItemList::setFilterMode(int mode)
{
    if (mode == m_filterMode)
        return;
    m_filterMode = mode;
    invalidateFilteredItems();
    loadItemsViewPreservingSelection(true);
}

platform::PredicatePtr LibraryManagerItemList::filterPredicate() const
{
    return LibraryItemFiltering::filterPredicate(m_filterString, m_filterMode);
}

void LibraryManagerItemList::clearFilter()
{
    setFilterString({});
    if (m_searchField) {
        const QSignalBlocker quiet(m_searchField);
        m_searchField->clear();
    }
}

void LibraryManagerItemList::searchFieldConvertToSmartCategoryAction(QObject*)
{
    makeNewSmartCategoryFromFilter();
}

VXQLibrarySmartCategory* LibraryManagerItemList::makeNewSmartCategoryFromFilter()
{
    VXQLibrary* library = m_outline.selectedLibrary();
    const platform::PredicatePtr predicate = filterPredicate();
    if (!library || !library->allowsCategoryChanges() || !predicate)
        return nullptr;
    auto category = std::make_shared<VXQLibrarySmartCategory>();
    category->initWithNameLibrary(tr("“%1”").arg(m_filterString), library);
    category->setPredicate(predicate);
    library->addCategory(category);
    m_outline.bumpCategoryChanges();
    m_outline.reloadShowingRow(library, category.get());
    clearFilter();
    return category.get();
}

// --- The list ------------------------------------------------------------------------------------------

QList<VXQLibraryItemPtr> LibraryManagerItemList::sortedAndFilteredItems()
{
    if (m_cachedItems)
        return *m_cachedItems;
    auto* source = qobject_cast<VXQLibraryElementContainer*>(m_outline.selectedItem());
    if (!source || !m_browser)
        return {};
    if (!m_sortedItems || m_sortedItemsSource != source) {
        m_sortedItems = LibraryItemFiltering::sortedItems(*source, m_browser->sortDescriptors());
        m_sortedItemsSource = source;
    }
    QList<VXQLibraryItemPtr> items = LibraryItemFiltering::filteredItems(*m_sortedItems, filterPredicate());
    // An empty category is asked again next time; a search that finds nothing is kept.
    if (items.isEmpty() && m_filterString.isEmpty()) {
        m_sortedItems.reset();
        return {};
    }
    m_cachedItems = items;
    return items;
}

QList<VXQLibraryItemPtr> LibraryManagerItemList::itemsAtIndexes(const JXIndexSet& indexes)
{
    const QList<VXQLibraryItemPtr> items = sortedAndFilteredItems();
    QList<VXQLibraryItemPtr> chosen;
    for (qint64 index : indexes)
        if (index >= 0 && index < items.size())
            chosen.append(items[index]);
    return chosen;
}

void LibraryManagerItemList::invalidateItemsCache()
{
    m_sortedItems.reset();
    invalidateFilteredItems();
}

void LibraryManagerItemList::invalidateFilteredItems()
{
    if (!m_needsSelection && m_browser)
        m_browser->saveSelectedItems();
    m_cachedItems.reset();
    m_needsSelection = true;
}

void LibraryManagerItemList::sortOrderChanged()
{
    ++m_itemSortChanges;
    reloadPreservingSelection();
}

void LibraryManagerItemList::restoreSelection()
{
    m_browser->restoreSelectedItems();
    m_needsSelection = false;
}

void LibraryManagerItemList::loadItemsViewPreservingSelection(bool preserving)
{
    if (!m_owner.isWindowLoaded() || !m_browser)
        return;
    m_browser->setContentPreservingSelection(sortedAndFilteredItems(), preserving);
    m_needsSelection = false;
    updateBottomBarInfo();
}

void LibraryManagerItemList::reloadPreservingSelection()
{
    invalidateItemsCache();
    loadItemsViewPreservingSelection(true);
}

void LibraryManagerItemList::reloadLibrarySelectingCategory(VXQLibrary* library, VXQLibraryCategory* category)
{
    invalidateItemsCache();
    if (auto* container = qobject_cast<VXQLibraryElementContainer*>(library))
        container->invalidateSubContainersCache();
    m_outline.reloadOutline();
    if (category) {
        m_outline.view()->deselectAll();
        m_outline.selectCategory(category);
    } else {
        loadItemsViewPreservingSelection(true);
    }
}

QString LibraryManagerItemList::bottomBarText() const
{
    const qint64 count = m_cachedItems ? m_cachedItems->size() : 0;
    const qint64 selected = m_browser ? qint64(m_browser->selectedItemIndexes().size()) : 0;
    return LibraryItemFiltering::bottomBarText(count, selected);
}

void LibraryManagerItemList::updateBottomBarInfo()
{
    if (m_countField)
        m_countField->setText(bottomBarText());
}

bool LibraryManagerItemList::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "searchFieldModeAction")
        item->setState(item->tag() == m_filterMode ? platform::MenuItem::OnState : platform::MenuItem::OffState);
    if (action == "searchFieldConvertToSmartCategoryAction") {
        VXQLibrary* library = m_outline.selectedLibrary();
        return library && library->allowsCategoryChanges() && !m_filterString.isEmpty();
    }
    return true;
}
