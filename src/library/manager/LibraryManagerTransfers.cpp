#include "library/manager/LibraryManagerTransfers.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerBrowserDelegate.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryOutlineView.h"
#include "library/menus/LibraryArtwork.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QMimeData>

using platform::Alert;
namespace Alerts = LibraryManagerAlerts;

LibraryManagerTransfers::LibraryManagerTransfers(platform::WindowController& owner, LibraryOutlineController& outline,
                                                 LibraryManagerItemList& itemList,
                                                 LibraryManagerBrowserDelegate& browserDelegate)
    : m_owner(owner)
    , m_outline(outline)
    , m_itemList(itemList)
    , m_browserDelegate(browserDelegate)
{
}

VXQLibraryItemViewController* LibraryManagerTransfers::browser() const
{
    return m_itemList.browser();
}

// --- Paste and moving items ----------------------------------------------------------------------------

QString LibraryManagerTransfers::preferredAcceptedType(const QMimeData* data) const
{
    if (!data)
        return {};
    for (const QString& type : LibraryDropRules::acceptedPasteboardTypes()) {
        // The drawing framework names its type by MIME type already.
        const QString mime = type == kVXDrawableObjectPasteboardType ? type : platform::mimeTypeForPasteboardType(type);
        if (data->hasFormat(mime))
            return type;
    }
    return {};
}

bool LibraryManagerTransfers::canPasteIntoLibraryCategoryWithPasteboard(VXQLibrary* library,
                                                                        VXQLibraryCategory* category,
                                                                        const platform::Pasteboard& pasteboard) const
{
    if (!library || (category && category->isReadOnly()))
        return false;
    // The outline's own drag types never reach a paste; a shape needs a library it may add to.
    const QString type = preferredAcceptedType(pasteboard.mimeData());
    return type == kVXQLibraryItemPasteboardType
        || (type == kVXDrawableObjectPasteboardType && library->allowsContentChanges());
}

void LibraryManagerTransfers::paste(QObject*)
{
    pasteWithPasteboard(platform::Pasteboard::generalPasteboard());
}

bool LibraryManagerTransfers::pasteWithPasteboard(const platform::Pasteboard& pasteboard)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    VXQLibraryCategory* category = m_outline.currentCategory();
    if (canPasteIntoLibraryCategoryWithPasteboard(library, category, pasteboard)
        && preferredAcceptedType(pasteboard.mimeData()) == kVXDrawableObjectPasteboardType)
        return acceptDroppedDrawables(pasteboard.mimeData(), library, category);
    return pasteIntoLibraryCategoryWithPasteboardCopyItems(library, category, pasteboard, true);
}

bool LibraryManagerTransfers::pasteIntoLibraryCategoryWithPasteboardCopyItems(VXQLibrary* library,
                                                                              VXQLibraryCategory* category,
                                                                              const platform::Pasteboard& pasteboard,
                                                                              bool copyItems)
{
    if (!canPasteIntoLibraryCategoryWithPasteboard(library, category, pasteboard)
        || preferredAcceptedType(pasteboard.mimeData()) != kVXQLibraryItemPasteboardType)
        return false;
    VXQLibraryElement* shown = m_outline.selectedItem();
    const VXQLibraryPtr source = VXQLibraryItem::sourceLibraryOnPasteboard(pasteboard);
    const QList<VXQLibraryItemPtr> items = VXQLibraryItem::libraryItemsFromPasteboard(pasteboard);
    if (items.isEmpty())
        return false;
    if (source.get() != library) {
        if ((category && category->isReadOnly()) || !library->allowsContentChanges())
            return false;
        return moveItemsToLibraryCategoryMakingCopies(items, library, category, copyItems);
    }
    if (!category)
        return false;
    category->addItems(items);
    // Items pasted into a sub-category leave the list of the category above it.
    if (auto* above = qobject_cast<VXQLibraryCategory*>(shown); above && above != category && above->containsElement(category))
        above->removeItems(items);
    if (!m_outline.selectCategory(category)) {
        m_itemList.invalidateItemsCache();
        m_itemList.loadItemsViewPreservingSelection(false);
    }
    m_outline.reloadOutline();
    selectItemsSoon(items);
    return true;
}

void LibraryManagerTransfers::selectItemsSoon(const QList<VXQLibraryItemPtr>& items)
{
    platform::RunLoop::performAfterDelay(this, [this, items] { browser()->selectItems(items); }, 0);
}

bool LibraryManagerTransfers::moveItemsToLibraryCategoryMakingCopies(const QList<VXQLibraryItemPtr>& items,
                                                                     VXQLibrary* library, VXQLibraryCategory* category,
                                                                     bool makingCopies)
{
    if (!ZQ_EXPECT(library, "no library specified"))
        return false;
    VXQLibraryCategory* destination = category ? category : library->allItemsCategory();
    QList<VXQLibraryItemPtr> transferred;
    for (const VXQLibraryItemPtr& item : items) {
        VXQLibraryItemPtr held = library->transferItemToCategoryMakingCopy(item, destination, makingCopies);
        if (!held)
            return false;
        transferred.append(held);
    }
    m_itemList.reloadLibrarySelectingCategory(library, destination);
    selectItemsSoon(transferred);
    return true;
}

bool LibraryManagerTransfers::copyCategoryToLibrary(VXQLibraryCategory* category, VXQLibrary* library)
{
    if (!ZQ_EXPECT(category, "no category was passed to -copyCategory:toLibrary:")
        || !ZQ_EXPECT(library, "no library was passed to -copyCategory:toLibrary:"))
        return false;
    const qint64 count = category->allElementsCount();
    if (category->library() == library || !library->allowsContentChanges() || library->isFactoryLibrary() || count == 0)
        return false;
    if (!managerDefaults().boolForKey(kVXQLibraryConfirmCategoryCopy)) {
        Alert alert = Alerts::make(tr("Copy Category"), tr("Copy"), tr("Cancel"),
                                   tr("%1 items from the category “%2” will be copied to the collection “%3”")
                                       .arg(count)
                                       .arg(category->name(), library->name()));
        alert.setShowsSuppressionButton(true);
        const int answer = Alerts::run(alert);
        managerDefaults().setBoolForKey(alert.suppressionButtonState(), kVXQLibraryConfirmCategoryCopy);
        if (answer != Alert::kDefaultReturn)
            return false;
    }
    QString name = category->name();
    for (qint64 suffix = 1; library->categoryWithName(name); ++suffix)
        name = QStringLiteral("%1-%2").arg(category->name()).arg(suffix);
    VXQLibraryCategory* copy = library->addCategoryWithName(name);
    if (!copy)
        return false;
    QList<VXQLibraryItemPtr> items;
    for (const VXQLibraryElementPtr& element : category->allElements())
        if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(element))
            items.append(item);
    return moveItemsToLibraryCategoryMakingCopies(items, library, copy, true);
}

// --- Symbols from drawing objects ------------------------------------------------------------------------

bool LibraryManagerTransfers::importItemsAsSymbolsToLibraryCategory(const QList<VXDrawableObjectPtr>& objects,
                                                                    VXQLibrary* library, VXQLibraryCategory* category)
{
    const QList<VXDrawableObjectPtr> donors = validSymbolDonorObjectsFromArray(objects);
    if (donors.isEmpty())
        return false;
    if (!library)
        library = VXQLibraryCatalogue::userLibraryForImpliedOperation();
    if (!library)
        return false;
    if (!category)
        category = library->allItemsCategory();
    QList<VXQLibraryItemPtr> made;
    for (const VXDrawableObjectPtr& donor : donors) {
        const QString name = library->uniqueItemName(tr("untitled symbol"));
        const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*donor, name);
        if (!ZQ_EXPECT(master, QStringLiteral("unable to create master symbol '%1' with %2").arg(name, donor->description())))
            continue;
        if (VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(master)) {
            category->addItem(item);
            made.append(item);
        }
    }
    if (made.isEmpty())
        return false;
    m_itemList.reloadLibrarySelectingCategory(library, category);
    m_itemList.invalidateItemsCache();
    m_itemList.loadItemsViewPreservingSelection(false);
    browser()->selectItems(made);
    m_browserDelegate.editItemsAtIndexes(browser()->selectedItemIndexes());
    if (donors.size() < objects.size()) {
        Alerts::beep();
        Alert alert = Alerts::make(tr("Add Symbol"), tr("OK"), {},
                                   tr("Some items could not be added because they are not compatible with symbols.\n\n The "
                                      "remaining %1 were converted successfully and may now be reviewed as required.")
                                       .arg(made.size()));
        Alerts::run(alert);
    }
    return true;
}

bool LibraryManagerTransfers::createSymbolsFromObjects(const QList<VXDrawableObjectPtr>& objects)
{
    const qsizetype donors = validSymbolDonorObjectsFromArray(objects).size();
    if (donors >= 6) {
        Alert alert = Alerts::make(tr("Add Symbols To Library"), tr("OK"), tr("Cancel"),
                                   tr("You have selected %1 objects. Are you sure you want add them all as symbols?").arg(donors));
        if (Alerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    m_owner.showWindow(nullptr);
    return importItemsAsSymbolsToLibraryCategory(objects, nullptr, nullptr);
}

// --- Moving to another collection ----------------------------------------------------------------------------

void LibraryManagerTransfers::moveToLibraryAction(QObject* sender)
{
    const QList<VXQLibraryItemPtr> items = browser()->selectedItems();
    if (items.isEmpty() || !sender)
        return;
    if (sender->property("tag").toInt() == -1) {
        const VXQLibraryPtr library
            = VXQLibraryCatalogue::userLibraryWithPreferredName(VXQLibraryCatalogue::defaultUserLibraryName());
        if (!library)
            return;
        VXQLibraryGroup::userGroup()->invalidateSubContainersCache();
        m_outline.dropCachedGroups();
        m_outline.reloadOutline();
        moveItemsToLibraryCategoryMakingCopies(items, library.get(), nullptr, false);
        return;
    }
    auto* target = qobject_cast<VXQLibrary*>(sender->property("representedObject").value<QObject*>());
    if (!target || target == m_outline.selectedLibrary() || !target->allowsContentChanges())
        return;
    moveItemsToLibraryCategoryMakingCopies(items, target, nullptr, false);
}

void LibraryManagerTransfers::updateMoveToMenu(QMenu* menu)
{
    menu->clear();
    auto* newCollection = new platform::MenuItem(tr("New Collection"), "moveToLibraryAction", menu);
    newCollection->setTag(-1);
    newCollection->setTarget(this);
    menu->addAction(newCollection);
    const QList<VXQLibraryPtr> libraries = m_outline.userLibraries();
    if (!libraries.isEmpty())
        menu->addSeparator();
    for (const VXQLibraryPtr& library : libraries) {
        auto* item = new platform::MenuItem(library->name(), "moveToLibraryAction", menu);
        setLibraryMenuIcon(item, library->icon());
        item->setTarget(this);
        item->setRepresentedObject(QVariant::fromValue(static_cast<QObject*>(library.get())));
        menu->addAction(item);
    }
    platform::Menu::validateActions(menu->actions());
}

// --- Drag and drop on the outline -------------------------------------------------------------------------------

QMimeData* LibraryManagerTransfers::outlineViewWriteItems(const QList<VXQLibraryElement*>& items)
{
    auto* category = items.isEmpty() ? nullptr : qobject_cast<VXQLibraryCategory*>(items.last());
    m_draggingCategory = category;
    if (!category)
        return nullptr;
    auto* data = new QMimeData;
    platform::Pasteboard(data).declareTypes({kVXQLibraryCategoryInternalPasteboardType});
    return data;
}

LibraryDropContext LibraryManagerTransfers::dropContext(const QMimeData* data, Qt::DropActions offered,
                                                        VXQLibraryElement* item) const
{
    LibraryDropContext drop;
    drop.preferredType = preferredAcceptedType(data);
    if (auto* library = qobject_cast<VXQLibrary*>(item)) {
        drop.targetLibrary = library;
    } else if (auto* category = qobject_cast<VXQLibraryCategory*>(item)) {
        drop.targetCategory = category;
        drop.targetLibrary = category->library();
    }
    drop.selectedLibrary = m_outline.selectedLibrary();
    drop.currentCategory = m_outline.currentCategory();
    drop.sourceAllowsOnlyCopy = offered == Qt::CopyAction;
    drop.draggedCategory = m_draggingCategory;
    return drop;
}

Qt::DropAction LibraryManagerTransfers::dragOperationForDraggingInfoTargetItem(const QMimeData* data,
                                                                               Qt::DropActions offered,
                                                                               VXQLibraryElement* item)
{
    if (!ZQ_EXPECT(data, "no dragging info"))
        return Qt::IgnoreAction;
    const LibraryDropContext drop = dropContext(data, offered, item);
    // A category from another window or program carries nothing to move.
    if (drop.preferredType == kVXQLibraryCategoryInternalPasteboardType && !drop.draggedCategory)
        return Qt::IgnoreAction;
    const Qt::DropAction operation = LibraryDropRules::dragOperation(drop);
    return offered.testFlag(operation) ? operation : Qt::IgnoreAction;
}

Qt::DropAction LibraryManagerTransfers::outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                                                VXQLibraryElement* item)
{
    const Qt::DropAction operation = dragOperationForDraggingInfoTargetItem(data, offered, item);
    if (operation != Qt::IgnoreAction && m_owner.window()) {
        m_owner.window()->raise();
        m_owner.window()->activateWindow();
    }
    return operation;
}

bool LibraryManagerTransfers::outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered,
                                                    VXQLibraryElement* item)
{
    const Qt::DropAction operation = dragOperationForDraggingInfoTargetItem(data, offered, item);
    if (operation == Qt::IgnoreAction)
        return false;
    const LibraryDropContext drop = dropContext(data, offered, item);
    if (drop.preferredType == kVXQLibraryItemPasteboardType)
        return pasteIntoLibraryCategoryWithPasteboardCopyItems(drop.targetLibrary, drop.targetCategory,
                                                               platform::Pasteboard(data), operation == Qt::CopyAction);
    if (drop.preferredType == kVXDrawableObjectPasteboardType)
        return acceptDroppedDrawables(data, drop.targetLibrary, drop.targetCategory);
    VXQLibraryCategory* dragged = drop.draggedCategory;
    m_draggingCategory = nullptr;
    if (operation == Qt::CopyAction)
        return copyCategoryToLibrary(dragged, drop.targetLibrary);
    // Keeps the category alive while it changes containers.
    const VXQLibraryCategoryPtr moving = std::static_pointer_cast<VXQLibraryCategory>(dragged->shared_from_this());
    if (drop.targetCategory)
        drop.targetCategory->addCategory(moving);
    else
        drop.targetLibrary->addCategory(moving);
    m_outline.bumpCategoryChanges();
    m_itemList.reloadLibrarySelectingCategory(drop.targetLibrary, dragged);
    return true;
}

bool LibraryManagerTransfers::acceptDroppedDrawables(const QMimeData* data, VXQLibrary* library,
                                                     VXQLibraryCategory* category)
{
    if (!category && library->allowsCategoryChanges()) {
        const QString name = tr("New Symbols");
        category = library->categoryWithName(name);
        if (!category)
            category = library->addCategoryWithName(name);
        m_outline.bumpCategoryChanges();
        m_itemList.reloadLibrarySelectingCategory(library, category);
    }
    LogEvent(kInfoEvent, QStringLiteral("will attempt to directly import dropped graphics to lib %1, category %2")
                             .arg(library->name(), category ? category->name() : QString()));
    const QList<VXDrawableObjectPtr> objects = VXDrawableObject::nativeObjectsFromPasteboard(data);
    if (objects.isEmpty()) {
        LogEvent(kInfoEvent, QStringLiteral("no objects were available for import"));
        return false;
    }
    return importItemsAsSymbolsToLibraryCategory(objects, library, category);
}

bool LibraryManagerTransfers::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    VXQLibrary* library = m_outline.selectedLibrary();
    if (action == "paste")
        return canPasteIntoLibraryCategoryWithPasteboard(library, m_outline.currentCategory(),
                                                         platform::Pasteboard::generalPasteboard());
    if (action == "moveToLibraryAction") {
        if (!library || !library->allowsContentChanges() || !browser() || browser()->selectedItems().isEmpty())
            return false;
        if (item->tag() == -1)
            return true;
        auto* target = qobject_cast<VXQLibrary*>(item->representedObject().value<QObject*>());
        return target && target != library && target->allowsContentChanges();
    }
    return true;
}
