#include "library/manager/LibraryManagerBrowserDelegate.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryManagerPrinting.h"
#include "library/manager/LibraryOutlineController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyleHistory.h"

#include <algorithm>

LibraryManagerBrowserDelegate::LibraryManagerBrowserDelegate(platform::WindowController& owner,
                                                             LibraryOutlineController& outline,
                                                             LibraryManagerItemList& itemList,
                                                             LibraryManagerPrinting& printing)
    : m_owner(owner)
    , m_outline(outline)
    , m_itemList(itemList)
    , m_printing(printing)
{
}

void LibraryManagerBrowserDelegate::setWidgets(QLabel* itemIdentifierField, VXQLibraryGetInfoController* getInfo)
{
    m_itemIdentifierField = itemIdentifierField;
    m_getInfoController = getInfo;
}

VXQLibraryItemViewControllerDelegate::Messages LibraryManagerBrowserDelegate::implementedItemViewControllerMessages() const
{
    return Message::SortDescriptorsChanged | Message::ItemSelectionChanged | Message::DeleteItemsAtIndexes
           | Message::EditItemsAtIndexes | Message::CanRemoveItemsAtIndexes | Message::RemoveItemsAtIndexes
           | Message::SaveSettingsRootName | Message::ShouldEditItemAtIndex | Message::AllowsResorting
           | Message::PrintOperationDidRun;
}

bool LibraryManagerBrowserDelegate::libraryItemViewControllerShouldEditItemAtIndex(VXQLibraryItemViewController*,
                                                                                   qint64 index)
{
    const QList<VXQLibraryItemPtr> items = m_itemList.sortedAndFilteredItems();
    if (index < 0 || index >= items.size())
        return false;
    const VXQLibraryItemPtr& item = items[index];
    return item->library() && item->library()->allowsContentChanges() && !item->locked();
}

bool LibraryManagerBrowserDelegate::canRemoveItemsAtIndexes(const JXIndexSet&)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    VXQLibraryCategory* category = m_outline.currentCategory();
    return library && library->allowsCategoryChanges() && category && !category->isReadOnly();
}

bool LibraryManagerBrowserDelegate::libraryItemViewControllerAllowsResorting(VXQLibraryItemViewController*)
{
    return !qobject_cast<VXQFixedLengthLibraryCategory*>(m_outline.selectedItem());
}

void LibraryManagerBrowserDelegate::sortDescriptorsChanged(const QList<LibrarySortDescriptor>&)
{
    m_itemList.sortOrderChanged();
}

void LibraryManagerBrowserDelegate::deleteItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || !library->allowsContentChanges())
        return;
    QList<VXQLibraryItemPtr> doomed = m_itemList.itemsAtIndexes(indexes);
    // Locked items are never trashed, whatever the browser passes on.
    doomed.removeIf([](const VXQLibraryItemPtr& item) { return item->locked(); });
    if (doomed.isEmpty())
        return;
    QStringList notTrashed;
    library->trashItems(doomed, &notTrashed);
    // Whatever did move has left the library: the list shows it gone either way.
    m_itemList.invalidateItemsCache();
    m_itemList.loadItemsViewPreservingSelection(false);
    if (!notTrashed.isEmpty())
        platform::ProblemReporter::report(
            notTrashed.size() == 1 ? tr("One item could not be moved to the Trash.")
                                   : tr("%1 items could not be moved to the Trash.").arg(notTrashed.size()),
            tr("They are still in the library: %1.").arg(notTrashed.join(QStringLiteral(", "))));
}

bool LibraryManagerBrowserDelegate::removeItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || !library->allowsCategoryChanges())
        return false;
    const QList<VXQLibraryItemPtr> removed = m_itemList.itemsAtIndexes(indexes);
    bool removedAny = false;
    for (VXQLibraryCategory* category : m_outline.selectedCategories()) {
        if (category->isReadOnly())
            continue;
        category->removeItems(removed);
        removedAny = true;
    }
    m_itemList.invalidateItemsCache();
    m_itemList.loadItemsViewPreservingSelection(false);
    return removedAny && !removed.isEmpty();
}

void LibraryManagerBrowserDelegate::removeItemsAction(QObject*)
{
    removeItemsAtIndexes(m_itemList.browser()->selectedItemIndexes());
}

void LibraryManagerBrowserDelegate::editItemsAction(QObject*)
{
    editItemsAtIndexes(m_itemList.browser()->selectedItemIndexes());
}

void LibraryManagerBrowserDelegate::editItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || !library->allowsContentChanges())
        return;
    const QList<VXQLibraryItemPtr> symbols
        = VXQLibrarySymbolImportController::editableSymbolsFromArray(m_itemList.itemsAtIndexes(indexes));
    if (symbols.isEmpty())
        return;
    if (!m_symbolImporter) {
        m_symbolImporter = new VXQLibrarySymbolImportController;
        m_symbolImporter->setParent(this);
    }
    if (m_symbolEditorIsOpen) {
        m_symbolImporter->setSymbols(symbols);
        return;
    }
    m_symbolEditorIsOpen = true;
    m_symbolImporter->beginSymbolEditWithSymbolsOnParentWindowDelegate(symbols, m_owner.window(), this);
}

bool LibraryManagerBrowserDelegate::validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item,
                                                                           VXQLibrarySymbolImportController*)
{
    const VXQLibrary* library = item ? item->library() : nullptr;
    if (!library)
        return true;
    const QString unique = library->uniqueItemNameExcluding(name, item);
    if (unique == name)
        return true;
    name = unique;
    return false;
}

void LibraryManagerBrowserDelegate::symbolEditDidEnd(VXQLibrarySymbolImportController*)
{
    m_symbolEditorIsOpen = false;
    m_itemList.browser()->refreshActiveView();
    if (m_getInfoController)
        m_getInfoController->setContent(m_itemList.browser()->selectedItems());
}

void LibraryManagerBrowserDelegate::itemSelectionChanged(const JXIndexSet& indexes)
{
    const QList<VXQLibraryItemPtr> items = m_itemList.browser()->selectedItems();
    if (m_itemIdentifierField)
        m_itemIdentifierField->setText(items.size() == 1 ? items.first()->uniqueKey()
                                       : items.isEmpty() ? tr("no selection")
                                                         : tr("<multiple values>"));
    if (m_getInfoController)
        m_getInfoController->setContent(items);
    m_itemList.updateBottomBarInfo();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerSelectionDidChange, &m_owner);
    if (indexes.empty() || items.isEmpty()) {
        managerDefaults().removeObjectForKey(kLibManagerLastSelection);
        return;
    }
    const VXQLibraryItemPtr& item = items.first();
    managerDefaults().setObjectForKey(item->identifier(), kLibManagerLastSelection);
    if (item->classCode() == 1)
        if (VXStylePtr style = item->style())
            VXStyleHistory::defaultHistory().setCurrentStyle(style);
}

QString LibraryManagerBrowserDelegate::saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*)
{
    return kLibManagerSettingsRootName;
}

void LibraryManagerBrowserDelegate::printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo)
{
    m_printing.printOperationDidRunSuccessContextInfo(success, contextInfo);
}

QString LibraryManagerBrowserDelegate::printableDistributedViewHeaderStringForPage(JXDistributedView* view, qint64 page)
{
    return m_printing.printableDistributedViewHeaderStringForPage(view, page);
}

QString LibraryManagerBrowserDelegate::printableDistributedViewFooterStringForPage(JXDistributedView* view, qint64 page)
{
    return m_printing.printableDistributedViewFooterStringForPage(view, page);
}

bool LibraryManagerBrowserDelegate::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    VXQLibrary* library = m_outline.selectedLibrary();
    const QList<VXQLibraryItemPtr> selection = m_itemList.browser() ? m_itemList.browser()->selectedItems() : QList<VXQLibraryItemPtr>();
    if (action == "removeItemsAction") {
        if (selection.isEmpty() || !library || !library->allowsCategoryChanges())
            return false;
        const QList<VXQLibraryCategory*> categories = m_outline.selectedCategories();
        return std::any_of(categories.begin(), categories.end(), [](VXQLibraryCategory* c) { return !c->isReadOnly(); });
    }
    if (action == "editItemsAction")
        return library && library->allowsContentChanges()
               && !VXQLibrarySymbolImportController::editableSymbolsFromArray(selection).isEmpty();
    return true;
}
