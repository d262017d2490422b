#include "library/browser/LibraryItemSelection.h"

#include "library/browser/LibraryItemPresentations.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/tree/VXQLibraryElementContainer.h"

#include <QSet>

LibraryItemSelection::LibraryItemSelection(VXQLibraryItemViewController& browser,
                                           LibraryItemPresentations& presentations,
                                           const librarybrowser::DisabledItems& disabled)
    : m_browser(browser)
    , m_presentations(presentations)
    , m_disabled(disabled)
{
}

JXIndexSet LibraryItemSelection::indexes() const
{
    return m_presentations.selectedIndexes();
}

QList<VXQLibraryItemPtr> LibraryItemSelection::items()
{
    QList<VXQLibraryItemPtr> items;
    const QList<VXQLibraryItemPtr> all = m_browser.content();
    for (qint64 index : indexes())
        if (index >= 0 && index < all.size())
            items.append(all.at(index));
    return items;
}

QList<VXQLibraryItemPtr> LibraryItemSelection::unlockedItems()
{
    QList<VXQLibraryItemPtr> items = this->items();
    items.removeIf([](const VXQLibraryItemPtr& item) { return item->locked(); });
    return items;
}

JXIndexSet LibraryItemSelection::unlockedIndexes()
{
    JXIndexSet unlocked;
    const QList<VXQLibraryItemPtr> all = m_browser.content();
    for (qint64 index : indexes())
        if (index >= 0 && index < all.size() && !all.at(index)->locked())
            unlocked.insert(index);
    return unlocked;
}

void LibraryItemSelection::selectIndexes(const JXIndexSet& indexes)
{
    if (indexes != this->indexes()) {
        show(indexes);
        if (!indexes.empty())
            m_presentations.scrollToItem(*indexes.begin());
    }
    m_remembered.clear();
}

void LibraryItemSelection::selectItems(const QList<VXQLibraryItemPtr>& items)
{
    // One pass over each list: restoring thousands of selected items must not search per item.
    const QSet<const VXQLibraryItem*> wanted = [&items] {
        QSet<const VXQLibraryItem*> set;
        set.reserve(items.size());
        for (const VXQLibraryItemPtr& item : items)
            set.insert(item.get());
        return set;
    }();
    JXIndexSet indexes;
    const QList<VXQLibraryItemPtr> all = m_browser.content();
    for (qsizetype at = 0; at < all.size() && qsizetype(indexes.size()) < wanted.size(); ++at)
        if (wanted.contains(all.at(at).get()))
            indexes.insert(indexes.end(), at);
    selectIndexes(indexes);
}

bool LibraryItemSelection::reveal(const VXQLibraryItem* item, bool select)
{
    const qint64 index = m_browser.indexOfItem(item);
    if (index < 0)
        return false;
    if (select)
        selectIndexes({index});
    else
        m_presentations.scrollToItem(index);
    return true;
}

void LibraryItemSelection::show(const JXIndexSet& indexes)
{
    m_presentations.select(m_disabled.filterSelection(indexes));
}

JXIndexSet LibraryItemSelection::allIndexes()
{
    JXIndexSet all;
    for (qint64 i = 0, n = m_browser.numberOfItemsInContent(); i < n; ++i)
        all.insert(all.end(), i);
    return all;
}

void LibraryItemSelection::selectAll()
{
    show(allIndexes());
}

void LibraryItemSelection::selectOthers()
{
    const JXIndexSet selected = indexes();
    JXIndexSet others;
    for (qint64 i : allIndexes())
        if (!selected.count(i))
            others.insert(others.end(), i);
    show(others);
}

void LibraryItemSelection::restore()
{
    // A copy: selecting forgets what was remembered.
    const QList<VXQLibraryItemPtr> remembered = m_remembered;
    selectItems(remembered);
}
