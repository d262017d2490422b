#include "library/manager/LibraryOutlineController.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryOutlineCell.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/MenuItem.h"

using platform::MenuItem;

namespace {

VXQLibrary* asLibrary(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibrary*>(item);
}

VXQLibraryCategory* asCategory(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibraryCategory*>(item);
}

VXQLibraryGroup* asGroup(VXQLibraryElement* item)
{
    return qobject_cast<VXQLibraryGroup*>(item);
}

} // namespace

LibraryOutlineController::LibraryOutlineController() = default;

LibraryOutlineController::~LibraryOutlineController()
{
    // The view may outlive this object by a moment while its window goes.
    if (m_view) {
        m_view->setSelectionHandler({});
        m_view->setExpansionHandler({});
    }
}

LibraryOutlineView* LibraryOutlineController::makeView()
{
    Q_ASSERT(!m_view);
    m_view = new LibraryOutlineView(this);
    m_view->setMinimumWidth(160);
    m_view->setSelectionHandler([this] { Q_EMIT selectionChanged(); });
    m_view->setExpansionHandler([this] { saveExpandedItems(); });
    return m_view;
}

LibraryOutlineView* LibraryOutlineController::view() const
{
    return m_view;
}

void LibraryOutlineController::loadSettingsAndExpandRows()
{
    m_categoryChanges = 5;
    m_showLibraryCounts = managerDefaults().boolForKey(kLibManagerShowLibraryCounts);
    m_showCategoryCounts = managerDefaults().boolForKey(kLibManagerShowCategoryCounts);
    m_sortDescriptors = {{QStringLiteral("name")}};
    m_view->reloadData();
    for (VXQLibraryGroup* group : groups())
        m_view->expandItem(group);
    restoreExpandedItems();
}

// --- Selection ------------------------------------------------------------------------------------

VXQLibrary* LibraryOutlineController::selectedLibrary() const
{
    VXQLibraryElement* item = m_view ? m_view->firstSelectedItem() : nullptr;
    if (!item)
        return nullptr;
    if (auto* library = asLibrary(item))
        return library;
    return item->library();
}

VXQLibraryElement* LibraryOutlineController::selectedItem() const
{
    VXQLibraryElement* item = m_view ? m_view->firstSelectedItem() : nullptr;
    return asGroup(item) ? nullptr : item;
}

QList<VXQLibraryCategory*> LibraryOutlineController::selectedCategories() const
{
    QList<VXQLibraryCategory*> categories;
    if (!m_view)
        return categories;
    for (VXQLibraryElement* item : m_view->selectedItems()) {
        if (auto* library = asLibrary(item)) {
            if (VXQLibraryCategory* all = library->allItemsCategory())
                categories.append(all);
        } else if (auto* category = asCategory(item)) {
            categories.append(category);
        }
    }
    return categories;
}

VXQLibraryCategory* LibraryOutlineController::currentCategory() const
{
    const QList<VXQLibraryCategory*> categories = selectedCategories();
    return categories.isEmpty() ? nullptr : categories.last();
}

bool LibraryOutlineController::selectedCategoriesCanBeDeleted() const
{
    for (VXQLibraryCategory* category : selectedCategories())
        if (category->isDeletable() && category->container() && category->container()->allowsSubContainers())
            return true;
    return false;
}

void LibraryOutlineController::clearSelection()
{
    m_view->deselectAll();
    Q_EMIT selectionChanged();
}

bool LibraryOutlineController::selectLibrary(VXQLibrary* library)
{
    if (!library)
        return false;
    if (selectedLibrary() == library && asLibrary(m_view->firstSelectedItem()))
        return true;
    if (!m_view->hasRowForItem(library)) {
        VXQLibraryGroup* holder = nullptr;
        for (VXQLibraryGroup* group : groups())
            for (const VXQLibraryPtr& each : group->libraries().value_or(QList<VXQLibraryPtr>()))
                if (each.get() == library)
                    holder = group;
        if (!holder)
            return false;
        m_view->expandItem(holder);
    }
    if (!m_view->selectItem(library))
        return false;
    m_view->scrollToItem(library);
    return true;
}

bool LibraryOutlineController::selectCategory(VXQLibraryCategory* category)
{
    if (!category || selectedCategories().contains(category))
        return false;
    // A category made elsewhere since the outline last asked has no row yet.
    if (!m_view->hasRowForItem(category))
        reloadOutline();
    if (VXQLibrary* library = category->library()) {
        if (VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(library->group()))
            m_view->expandItem(group);
        m_view->expandItem(library);
        QList<VXQLibraryElementContainer*> chain;
        for (VXQLibraryElementContainer* up = category->container(); up && up != library; up = up->container())
            chain.prepend(up);
        for (VXQLibraryElementContainer* container : chain)
            m_view->expandItem(container);
    }
    if (!m_view->selectItem(category))
        return false;
    m_view->scrollToItem(category);
    return true;
}

bool LibraryOutlineController::reloadShowingRow(const VXQLibraryElement* parent, const VXQLibraryElement* item)
{
    reloadOutline();
    if (parent)
        m_view->expandItem(parent);
    if (!m_view->selectItem(item))
        return false;
    m_view->scrollToItem(item);
    return true;
}

void LibraryOutlineController::startEditingItem(VXQLibraryElement* item)
{
    m_view->scrollToItem(item);
    m_view->editItem(item);
}

void LibraryOutlineController::saveExpandedItems()
{
    QStringList identifiers;
    for (VXQLibraryElement* item : m_view->expandedItems())
        identifiers.append(item->identifier());
    managerDefaults().setObjectForKey(identifiers, kLibManagerExpandedItems);
}

void LibraryOutlineController::restoreExpandedItems()
{
    for (const QVariant& identifier : managerDefaults().arrayForKey(kLibManagerExpandedItems))
        if (VXQLibraryElement* item = itemWithIdentifier(identifier.toString()))
            m_view->expandItem(item);
}

// --- Content ----------------------------------------------------------------------------------------

QList<VXQLibraryGroup*> LibraryOutlineController::groups()
{
    if (m_cachedGroups)
        return *m_cachedGroups;
    VXQLibraryCatalogue::initialize();
    VXQLibraryCatalogue::factoryLibraries();
    VXQLibraryCatalogue::userLibraries();
    QList<VXQLibraryGroup*> list{VXQLibraryGroup::factoryGroup(), VXQLibraryGroup::userGroup()};
    if (showsDocumentsLibraries()) {
        VXQLibraryCatalogue::documentsLibraries();
        list.append(VXQLibraryGroup::documentsGroup());
    }
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        if (!list.contains(group.get()) && group->name() != kVXQLibraryDocumentGroupName)
            list.append(group.get());
    m_cachedGroups = list;
    return list;
}

QList<VXQLibraryPtr> LibraryOutlineController::userLibraries()
{
    return groups().at(1)->libraries().value_or(QList<VXQLibraryPtr>());
}

VXQLibraryElement* LibraryOutlineController::itemWithIdentifier(const QString& identifier) const
{
    const QStringList parts = identifier.split(u'.');
    if (identifier.isEmpty() || parts.isEmpty())
        return nullptr;
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(parts.first());
    if (!group || parts.size() == 1)
        return group;
    VXQLibrary* library = group->libraryWithName(parts.at(1));
    if (!library || parts.size() == 2)
        return library;
    return library->itemWithIdentifier(identifier);
}

void LibraryOutlineController::reloadOutline()
{
    if (m_view)
        m_view->reloadData();
}

// --- Display ------------------------------------------------------------------------------------------

void LibraryOutlineController::setShowsLibraryCounts(bool flag)
{
    if (flag == m_showLibraryCounts)
        return;
    m_showLibraryCounts = flag;
    if (m_view)
        m_view->redisplay();
    managerDefaults().setBoolForKey(flag, kLibManagerShowLibraryCounts);
}

void LibraryOutlineController::setShowsCategoryCounts(bool flag)
{
    if (flag == m_showCategoryCounts)
        return;
    m_showCategoryCounts = flag;
    if (m_view)
        m_view->redisplay();
    managerDefaults().setBoolForKey(flag, kLibManagerShowCategoryCounts);
}

void LibraryOutlineController::toggleShowLibraryCounts(QObject*)
{
    setShowsLibraryCounts(!m_showLibraryCounts);
}

void LibraryOutlineController::toggleShowCategoryCounts(QObject*)
{
    setShowsCategoryCounts(!m_showCategoryCounts);
}

bool LibraryOutlineController::showsDocumentsLibraries() const
{
    return managerDefaults().boolForKey(kLibManagerShowDocuments);
}

void LibraryOutlineController::setShowsDocumentsLibraries(bool flag)
{
    if (flag == showsDocumentsLibraries())
        return;
    managerDefaults().setBoolForKey(flag, kLibManagerShowDocuments);
    dropCachedGroups();
    reloadOutline();
}

void LibraryOutlineController::sortMainListAction(QObject* sender)
{
    if (auto* item = qobject_cast<MenuItem*>(sender))
        setSortMainListModeForced(item->tag(), false);
}

qint64 LibraryOutlineController::sortMainListMode() const
{
    return managerDefaults().integerForKey(kLibManagerSortMode);
}

void LibraryOutlineController::setSortMainListModeForced(qint64 mode, bool forced)
{
    if (mode == sortMainListMode() && !forced)
        return;
    VXQLibraryElement* selected = m_view ? m_view->firstSelectedItem() : nullptr;
    bumpCategoryChanges();
    m_sortDescriptors = LibraryItemFiltering::outlineSortDescriptorsForMode(mode);
    if (m_view) {
        reloadOutline();
        if (selected && m_view->selectItem(selected))
            m_view->scrollToItem(selected);
    }
    managerDefaults().setIntegerForKey(mode, kLibManagerSortMode);
}

bool LibraryOutlineController::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    const auto checked = [item](bool on) { item->setState(on ? MenuItem::OnState : MenuItem::OffState); };
    if (action == "toggleShowLibraryCounts")
        checked(m_showLibraryCounts);
    else if (action == "toggleShowCategoryCounts")
        checked(m_showCategoryCounts);
    else if (action == "sortMainListAction")
        checked(item->tag() == sortMainListMode());
    return true;
}

// --- The data source ------------------------------------------------------------------------------------

QList<VXQLibraryElement*> LibraryOutlineController::outlineViewChildrenOfItem(VXQLibraryElement* item)
{
    QList<VXQLibraryElement*> children;
    if (!item) {
        for (VXQLibraryGroup* group : groups())
            children.append(group);
    } else if (auto* group = asGroup(item)) {
        for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
            children.append(library.get());
    } else if (auto* container = qobject_cast<VXQLibraryElementContainer*>(item)) {
        for (const VXQLibraryElementPtr& child :
             container->sortedSubContainersUsingSortDescriptorsCookie(m_sortDescriptors, m_categoryChanges))
            children.append(child.get());
    }
    return children;
}

bool LibraryOutlineController::outlineViewIsItemExpandable(VXQLibraryElement* item)
{
    if (asGroup(item))
        return true;
    auto* container = qobject_cast<VXQLibraryElementContainer*>(item);
    return container && container->countOfSubContainers() > 0;
}

QString LibraryOutlineController::outlineViewObjectValueForItem(VXQLibraryElement* item)
{
    return item->name();
}

void LibraryOutlineController::outlineViewSetObjectValueForItem(const QString& value, VXQLibraryElement* item)
{
    if (value == item->name())
        return;
    const QPointer<VXQLibraryElement> edited(item);
    item->setName(value);
    bumpCategoryChanges();
    if (auto* container = qobject_cast<VXQLibraryElementContainer*>(item->container()))
        container->invalidateSubContainersCache();
    // Not inside the editor's own commit: the reload removes the row being edited.
    platform::RunLoop::performAfterDelay(this, [this, edited] {
        reloadOutline();
        if (edited && m_view) {
            m_view->selectItem(edited);
            m_view->scrollToItem(edited);
        }
    }, 0);
}

bool LibraryOutlineController::outlineViewShouldEditItem(VXQLibraryElement* item)
{
    if (auto* library = asLibrary(item))
        return !library->isFactoryLibrary() && library->allowsContentChanges();
    if (auto* category = asCategory(item))
        return category->allowsNameChange();
    return false;
}

bool LibraryOutlineController::outlineViewIsGroupItem(VXQLibraryElement* item)
{
    return asGroup(item) != nullptr;
}

QString LibraryOutlineController::outlineViewToolTipForItem(VXQLibraryElement* item)
{
    return item->toolTipString();
}

LibraryOutlineCellValues LibraryOutlineController::outlineViewWillDisplayItem(VXQLibraryElement* item)
{
    LibraryOutlineCellValues values;
    values.icon = item->icon();
    const bool isLibrary = asLibrary(item) != nullptr;
    const bool counted = isLibrary ? m_showLibraryCounts : (asCategory(item) && m_showCategoryCounts);
    if (counted)
        values.badgeCount = static_cast<VXQLibraryElementContainer*>(item)->allElementsCount();
    values.badgeColour = isLibrary ? LibraryOutlineCell::libraryBadgeColour() : LibraryOutlineCell::categoryBadgeColour();
    if (auto* category = asCategory(item))
        values.readOnly = category->isReadOnly();
    return values;
}

QMimeData* LibraryOutlineController::outlineViewWriteItems(const QList<VXQLibraryElement*>& items)
{
    return m_dropHandler ? m_dropHandler->outlineViewWriteItems(items) : nullptr;
}

Qt::DropAction LibraryOutlineController::outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                                                 VXQLibraryElement* item)
{
    return m_dropHandler ? m_dropHandler->outlineViewValidateDrop(data, offered, item) : Qt::IgnoreAction;
}

bool LibraryOutlineController::outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered, VXQLibraryElement* item)
{
    return m_dropHandler && m_dropHandler->outlineViewAcceptDrop(data, offered, item);
}
