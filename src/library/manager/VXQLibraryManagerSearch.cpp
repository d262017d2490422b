// The library manager's item list: which items the browser shows and in what order, the count
// line, the outline's sort modes, turning a search into a smart category, printing the grid,
// and the manager's answers to the item browser.

#include "library/manager/VXQLibraryManagerWindowController.h"

#include "app/printing/PrintInfoCoding.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryItemFiltering.h"
#include "library/manager/LibraryManagerAlerts.h"
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
    m_itemList->sortOrderChanged();
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
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(false);
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
    for (VXQLibraryCategory* category : m_outline->selectedCategories()) {
        if (category->isReadOnly())
            continue;
        category->removeItems(removed);
        removedAny = true;
    }
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(false);
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
    m_itemList->updateBottomBarInfo();
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
