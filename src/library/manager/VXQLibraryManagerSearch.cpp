// The library manager's item list: which items the browser shows and in what order, the count
// line, the outline's sort modes, turning a search into a smart category, printing the grid,
// and the manager's answers to the item browser.

#include "library/manager/VXQLibraryManagerWindowController.h"

#include "app/printing/PrintInfoCoding.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Sheet.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyleHistory.h"

#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrinter>

using platform::UserDefaults;

namespace {

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

} // namespace

// --- Filtering ---------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::searchFieldAction(QObject* sender)
{
    if (auto* field = qobject_cast<QLineEdit*>(sender))
        setFilterString(field->text());
}

void VXQLibraryManagerWindowController::searchFieldModeAction(QObject* sender)
{
    if (auto* item = qobject_cast<platform::MenuItem*>(sender))
        setFilterMode(item->tag());
}

void VXQLibraryManagerWindowController::setFilterString(const QString& text)
{
    m_filterString = text;
    invalidateFilteredItems();
    loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::setFilterMode(int mode)
{
    if (mode == m_filterMode)
        return;
    m_filterMode = mode;
    invalidateFilteredItems();
    loadItemsViewPreservingSelection(true);
}

platform::PredicatePtr VXQLibraryManagerWindowController::filterPredicate() const
{
    return LibraryItemFiltering::filterPredicate(m_filterString, m_filterMode);
}

void VXQLibraryManagerWindowController::searchFieldConvertToSmartCategoryAction(QObject*)
{
    makeNewSmartCategoryFromFilter();
}

VXQLibrarySmartCategory* VXQLibraryManagerWindowController::makeNewSmartCategoryFromFilter()
{
    VXQLibrary* library = selectedLibrary();
    const platform::PredicatePtr predicate = filterPredicate();
    if (!library || !library->allowsCategoryChanges() || !predicate)
        return nullptr;
    auto category = std::make_shared<VXQLibrarySmartCategory>();
    category->initWithNameLibrary(tr("“%1”").arg(m_filterString), library);
    category->setPredicate(predicate);
    library->addCategory(category);
    bumpCategoryChanges();
    reloadOutline();
    m_libraryOutlineView->expandItem(library);
    if (m_libraryOutlineView->selectItem(category.get()))
        m_libraryOutlineView->scrollToItem(category.get());
    setFilterString({});
    if (m_filterInputSearchField) {
        const QSignalBlocker quiet(m_filterInputSearchField);
        m_filterInputSearchField->clear();
    }
    return category.get();
}

// --- The item list ------------------------------------------------------------------------------------

QList<VXQLibraryItemPtr> VXQLibraryManagerWindowController::sortedAndFilteredItems()
{
    if (m_cachedItems)
        return *m_cachedItems;
    auto* source = qobject_cast<VXQLibraryElementContainer*>(selectedItem());
    if (!source)
        return {};
    if (!m_sortedItems || m_sortedItemsSource != source) {
        m_sortedItems = LibraryItemFiltering::sortedItems(*source, m_itemViewController->sortDescriptors());
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

void VXQLibraryManagerWindowController::invalidateItemsCache()
{
    m_sortedItems.reset();
    invalidateFilteredItems();
}

void VXQLibraryManagerWindowController::invalidateFilteredItems()
{
    if (!m_needsSelection && m_itemViewController)
        m_itemViewController->saveSelectedItems();
    m_cachedItems.reset();
    m_needsSelection = true;
}

void VXQLibraryManagerWindowController::restoreSelection()
{
    m_itemViewController->restoreSelectedItems();
    m_needsSelection = false;
}

void VXQLibraryManagerWindowController::loadItemsViewPreservingSelection(bool preserving)
{
    if (!isWindowLoaded() || !m_itemViewController)
        return;
    m_itemViewController->setContentPreservingSelection(sortedAndFilteredItems(), preserving);
    m_needsSelection = false;
    updateBottomBarInfo();
}

void VXQLibraryManagerWindowController::reloadLibrarySelectingCategory(VXQLibrary* library, VXQLibraryCategory* category)
{
    invalidateItemsCache();
    if (auto* container = qobject_cast<VXQLibraryElementContainer*>(library))
        container->invalidateSubContainersCache();
    reloadOutline();
    if (category) {
        m_libraryOutlineView->deselectAll();
        selectCategory(category);
    } else {
        loadItemsViewPreservingSelection(true);
    }
}

QString VXQLibraryManagerWindowController::bottomBarText() const
{
    const qint64 count = m_cachedItems ? m_cachedItems->size() : 0;
    const qint64 selected = m_itemViewController ? qint64(m_itemViewController->selectedItemIndexes().size()) : 0;
    return LibraryItemFiltering::bottomBarText(count, selected);
}

void VXQLibraryManagerWindowController::updateBottomBarInfo()
{
    if (m_bottomBarItemsInfoTextField)
        m_bottomBarItemsInfoTextField->setText(bottomBarText());
}

// --- Sorting the outline ---------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::sortMainListAction(QObject* sender)
{
    if (auto* item = qobject_cast<platform::MenuItem*>(sender))
        setSortMainListModeForced(item->tag(), false);
}

qint64 VXQLibraryManagerWindowController::sortMainListMode() const
{
    return defaults().integerForKey(kLibManagerSortMode);
}

void VXQLibraryManagerWindowController::setSortMainListModeForced(qint64 mode, bool forced)
{
    if (mode == sortMainListMode() && !forced)
        return;
    VXQLibraryElement* selected = m_libraryOutlineView ? m_libraryOutlineView->firstSelectedItem() : nullptr;
    bumpCategoryChanges();
    m_outlineSortDescriptors = LibraryItemFiltering::outlineSortDescriptorsForMode(mode);
    if (m_libraryOutlineView) {
        reloadOutline();
        if (selected && m_libraryOutlineView->selectItem(selected))
            m_libraryOutlineView->scrollToItem(selected);
    }
    defaults().setIntegerForKey(mode, kLibManagerSortMode);
}

// --- Printing -------------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::printDocument(QObject*)
{
    m_itemViewController->performPrintWithPrintInfo(printInfo());
}

void VXQLibraryManagerWindowController::runPageLayout(QObject*)
{
    auto printer = std::make_shared<QPrinter>();
    if (const std::optional<QPageLayout> layout = printInfo())
        printer->setPageLayout(*layout);
    auto* dialog = new QPageSetupDialog(printer.get(), window());
    dialog->setObjectName(QStringLiteral("page_setup"));
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window(), [this, printer, dialog](int code) {
        if (code == platform::Sheet::kDefaultReturn)
            setPrintInfo(printer->pageLayout());
        dialog->deleteLater();
    });
}

std::optional<QPageLayout> VXQLibraryManagerWindowController::printInfo()
{
    if (!m_printInfo)
        m_printInfo = PrintInfoCoding::pageLayout(defaults().objectForKey(kLibManagerPrintInfo));
    return m_printInfo;
}

void VXQLibraryManagerWindowController::setPrintInfo(const QPageLayout& layout)
{
    m_printInfo = layout;
    defaults().setObjectForKey(PrintInfoCoding::propertyList(layout), kLibManagerPrintInfo);
}

QString VXQLibraryManagerWindowController::printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64)
{
    VXQLibraryCategory* category = currentCategory();
    const QString library = category && category->library() ? category->library()->name() : QString();
    return tr("%1 (Category: %2) %3 items")
        .arg(library, category ? category->name() : QString())
        .arg(sortedAndFilteredItems().size());
}

QString VXQLibraryManagerWindowController::printableDistributedViewFooterStringForPage(JXDistributedView*, qint64 page)
{
    return tr("Page %1").arg(page);
}

void VXQLibraryManagerWindowController::printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo)
{
    ZQLogObjCMethod(QStringLiteral("print completed, op = %1, success = %2").arg(contextInfo).arg(int(success)));
}

// --- What the item browser asks ----------------------------------------------------------------------------

VXQLibraryItemViewControllerDelegate::Messages VXQLibraryManagerWindowController::implementedItemViewControllerMessages() const
{
    return Message::SortDescriptorsChanged | Message::ItemSelectionChanged | Message::DeleteItemsAtIndexes
           | Message::EditItemsAtIndexes | Message::CanRemoveItemsAtIndexes | Message::RemoveItemsAtIndexes
           | Message::SaveSettingsRootName | Message::ShouldEditItemAtIndex | Message::AllowsResorting
           | Message::PrintOperationDidRun;
}

bool VXQLibraryManagerWindowController::libraryItemViewControllerShouldEditItemAtIndex(VXQLibraryItemViewController*,
                                                                                       qint64 index)
{
    const QList<VXQLibraryItemPtr> items = sortedAndFilteredItems();
    if (index < 0 || index >= items.size())
        return false;
    const VXQLibraryItemPtr& item = items[index];
    return item->library() && item->library()->allowsContentChanges() && !item->locked();
}

bool VXQLibraryManagerWindowController::canRemoveItemsAtIndexes(const JXIndexSet&)
{
    VXQLibrary* library = selectedLibrary();
    VXQLibraryCategory* category = currentCategory();
    return library && library->allowsCategoryChanges() && category && !category->isReadOnly();
}

bool VXQLibraryManagerWindowController::libraryItemViewControllerAllowsResorting(VXQLibraryItemViewController*)
{
    return !qobject_cast<VXQFixedLengthLibraryCategory*>(selectedItem());
}

void VXQLibraryManagerWindowController::sortDescriptorsChanged(const QList<LibrarySortDescriptor>&)
{
    ++m_itemSortChanges;
    invalidateItemsCache();
    loadItemsViewPreservingSelection(true);
}

void VXQLibraryManagerWindowController::deleteItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = selectedLibrary();
    if (!library || !library->allowsContentChanges())
        return;
    const QList<VXQLibraryItemPtr> items = sortedAndFilteredItems();
    QList<VXQLibraryItemPtr> doomed;
    // Locked items are never trashed, whatever the browser passes on.
    for (qint64 index : indexes)
        if (index >= 0 && index < items.size() && !items[index]->locked())
            doomed.append(items[index]);
    if (doomed.isEmpty())
        return;
    QStringList notTrashed;
    library->trashItems(doomed, &notTrashed);
    // Whatever did move has left the library: the list shows it gone either way.
    invalidateItemsCache();
    loadItemsViewPreservingSelection(false);
    if (!notTrashed.isEmpty())
        platform::ProblemReporter::report(
            notTrashed.size() == 1 ? tr("One item could not be moved to the Trash.")
                                   : tr("%1 items could not be moved to the Trash.").arg(notTrashed.size()),
            tr("They are still in the library: %1.").arg(notTrashed.join(QStringLiteral(", "))));
}

bool VXQLibraryManagerWindowController::removeItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = selectedLibrary();
    if (!library || !library->allowsCategoryChanges())
        return false;
    const QList<VXQLibraryItemPtr> items = sortedAndFilteredItems();
    QList<VXQLibraryItemPtr> removed;
    for (qint64 index : indexes)
        if (index >= 0 && index < items.size())
            removed.append(items[index]);
    bool removedAny = false;
    for (VXQLibraryCategory* category : selectedCategories()) {
        if (category->isReadOnly())
            continue;
        category->removeItems(removed);
        removedAny = true;
    }
    invalidateItemsCache();
    loadItemsViewPreservingSelection(false);
    return removedAny && !removed.isEmpty();
}

void VXQLibraryManagerWindowController::removeItemsAction(QObject*)
{
    removeItemsAtIndexes(m_itemViewController->selectedItemIndexes());
}

void VXQLibraryManagerWindowController::editItemsAction(QObject*)
{
    editItemsAtIndexes(m_itemViewController->selectedItemIndexes());
}

void VXQLibraryManagerWindowController::editItemsAtIndexes(const JXIndexSet& indexes)
{
    VXQLibrary* library = selectedLibrary();
    if (!library || !library->allowsContentChanges())
        return;
    const QList<VXQLibraryItemPtr> items = sortedAndFilteredItems();
    QList<VXQLibraryItemPtr> chosen;
    for (qint64 index : indexes)
        if (index >= 0 && index < items.size())
            chosen.append(items[index]);
    const QList<VXQLibraryItemPtr> symbols = VXQLibrarySymbolImportController::editableSymbolsFromArray(chosen);
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
    m_symbolImporter->beginSymbolEditWithSymbolsOnParentWindowDelegate(symbols, window(), this);
}

bool VXQLibraryManagerWindowController::validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item,
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

void VXQLibraryManagerWindowController::symbolEditDidEnd(VXQLibrarySymbolImportController*)
{
    m_symbolEditorIsOpen = false;
    m_itemViewController->refreshActiveView();
    if (m_getInfoController)
        m_getInfoController->setContent(m_itemViewController->selectedItems());
}

void VXQLibraryManagerWindowController::itemSelectionChanged(const JXIndexSet& indexes)
{
    const QList<VXQLibraryItemPtr> items = m_itemViewController->selectedItems();
    if (m_itemIdentifierField)
        m_itemIdentifierField->setText(items.size() == 1 ? items.first()->uniqueKey()
                                       : items.isEmpty() ? tr("no selection")
                                                         : tr("<multiple values>"));
    if (m_getInfoController)
        m_getInfoController->setContent(items);
    updateBottomBarInfo();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerSelectionDidChange, this);
    if (indexes.empty() || items.isEmpty()) {
        defaults().removeObjectForKey(kLibManagerLastSelection);
        return;
    }
    const VXQLibraryItemPtr& item = items.first();
    defaults().setObjectForKey(item->identifier(), kLibManagerLastSelection);
    if (item->classCode() == 1)
        if (VXStylePtr style = item->style())
            VXStyleHistory::defaultHistory().setCurrentStyle(style);
}
