// How the library manager brings collections and items in and out: importing library folders,
// zip export, paste, drops on the outline, dragging categories, moving items to another
// library and making symbol items from drawing objects.

#include "library/manager/VXQLibraryManagerWindowController.h"

#include "app/progress/ZQProgressController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerBrowserDelegate.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QFileInfo>
#include <QMimeData>

using platform::Alert;
using platform::UserDefaults;

namespace {

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

Alert makeAlert(const QString& message, const QString& defaultButton, const QString& alternateButton,
                const QString& informative)
{
    return Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(message, defaultButton,
                                                                                           alternateButton, {}, informative);
}

QString displayNameOfPath(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

bool sameFolder(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

} // namespace

// --- Import -----------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::importLibraryAction(QObject*)
{
    // A library is a folder: the panel shows them as documents and takes nothing else.
    platform::OpenPanel panel;
    panel.setCanChooseFiles(true);
    panel.setAllowsMultipleSelection(false);
    panel.setPrompt(tr("Import"));
    panel.setPackageFileTypes({VXQLibrary::libraryExtension()});
    panel.setAllowedFileTypes({VXQLibrary::libraryExtension()});
    panel.beginSheetModalForWindowCompletionHandler(window(), [this, panel](int result) {
        const QString path = panel.URL().toLocalFile();
        if (result == 1 && QFileInfo(path).suffix().compare(VXQLibrary::libraryExtension(), Qt::CaseInsensitive) == 0)
            confirmAndImportLibraryFileConfirm(path, false);
    });
}

bool VXQLibraryManagerWindowController::confirmAndImportLibraryFileConfirm(const QString& path, bool confirm)
{
    VXQLibraryCatalogue::initialize();
    const QString name = displayNameOfPath(path);
    if (!VXQLibraryCatalogue::isValidLibraryAtPath(path)) {
        Alert alert = makeAlert(tr("Invalid Collection"), tr("Cancel"), {},
                                tr("The collection “%1” does not appear to be valid, and can't be imported.").arg(name));
        LibraryManagerAlerts::run(alert);
        LibraryManagerAlerts::beep();
        return false;
    }
    const QString parent = QFileInfo(path).absolutePath();
    if (sameFolder(parent, VXQLibraryCatalogue::userLibraryFolder())
        || sameFolder(parent, VXQLibraryCatalogue::documentLibraryFolder())) {
        Alert alert = makeAlert(tr("Collection Already Installed"), tr("Cancel"), {},
                                tr("A collection called “%1” has already been installed.").arg(name));
        LibraryManagerAlerts::run(alert);
        LibraryManagerAlerts::beep();
        return false;
    }
    if (confirm) {
        Alert alert = makeAlert(tr("Install Styles And Symbols Collection"), tr("Install"), tr("Cancel"),
                                tr("The collection “%1” can be installed. Would you like to install it now?").arg(name));
        if (LibraryManagerAlerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    if (VXQLibraryCatalogue::libraryWithNameInGroup(name, kVXQLibraryUserGroupName)) {
        LibraryManagerAlerts::beep();
        Alert alert = makeAlert(tr("Collection Name In Use"), tr("Install"), tr("Cancel"),
                                tr("A collection with the name “%1” already exists. Click Install to continue "
                                   "installation using a modified name.")
                                    .arg(name));
        if (LibraryManagerAlerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    showWindow(this);
    return importUserLibrary(path);
}

bool VXQLibraryManagerWindowController::importUserLibrary(const QString& path)
{
    LogEvent(kFileEvent, QStringLiteral("will attempt to import library %1").arg(path));
    QString reason;
    const VXQLibraryPtr library = VXQLibraryCatalogue::importLibraryAtPath(path, &reason);
    if (!library) {
        LibraryManagerAlerts::beep();
        Alert alert = makeAlert(tr("Collection Import Failed"), tr("OK"), {},
                                tr("The collection “%1” could not be imported: %2.").arg(displayNameOfPath(path), reason));
        LibraryManagerAlerts::run(alert);
        return false;
    }
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(library->group());
    if (group)
        group->invalidateSubContainersCache();
    m_outline->dropCachedGroups();
    m_outline->reloadOutline();
    if (group)
        outlineView()->expandItem(group);
    if (outlineView()->selectItem(library.get()))
        outlineView()->scrollToItem(library.get());
    Alert alert = makeAlert(tr("Collection Imported"), tr("OK"), {},
                            tr("The collection “%1” was successfully imported into “%2” and may now be used.")
                                .arg(library->name(), group ? group->name() : library->group()));
    alert.setAlertStyle(Alert::InformationalStyle);
    LibraryManagerAlerts::run(alert);
    return true;
}

// --- Export -----------------------------------------------------------------------------------------

void VXQLibraryManagerWindowController::exportLibraryAction(QObject*)
{
    VXQLibrary* library = selectedLibrary();
    if (!library || library->isFactoryLibrary() || !library->hasPresenceOnDisk())
        return;
    platform::SavePanel panel;
    panel.setNameFieldStringValue(library->name());
    panel.setAllowedFileTypes({QStringLiteral("zip")});
    panel.setCanCreateDirectories(true);
    panel.setNameFieldLabel(tr("Export As:"));
    panel.beginSheetModalForWindowCompletionHandler(window(), [this, panel](int result) {
        if (result == 1 && !panel.URL().isEmpty())
            exportSelectedLibraryToURL(panel.URL());
    });
}

void VXQLibraryManagerWindowController::exportSelectedLibraryToURL(const QUrl& url)
{
    if (VXQLibrary* library = selectedLibrary())
        library->writeZipFileAtURLNotifyingDelegate(url, this);
}

void VXQLibraryManagerWindowController::libraryWillCreateZipArchiveAtURL(VXQLibrary*, const QUrl& url)
{
    if (m_progress)
        return;
    m_progress = std::make_unique<ZQProgressController>();
    m_progress->setProgressBarIndeterminate(true);
    m_progress->setButtonHidden(true);
    m_progress->setPromptString(tr("Creating Archive..."));
    m_progress->setAdditionalInfoString(url.toLocalFile());
    m_progress->setDefersDisplay(false);
    m_progress->showOnParent(window());
}

void VXQLibraryManagerWindowController::libraryAvailableAsZipArchiveURL(VXQLibrary* library, const QUrl& url)
{
    if (m_progress) {
        m_progress->hide();
        m_progress.reset();
    }
    if (!url.isEmpty())
        return;
    LibraryManagerAlerts::beep();
    Alert alert = makeAlert(tr("Export Failed"), tr("OK"), {},
                            tr("The collection “%1” could not be exported because an error occurred.")
                                .arg(library ? library->name() : QString()));
    LibraryManagerAlerts::run(alert);
}

// --- Paste and moving items ----------------------------------------------------------------------------

QString VXQLibraryManagerWindowController::preferredAcceptedType(const QMimeData* data) const
{
    if (!data)
        return {};
    for (const QString& type : acceptedPasteboardTypes()) {
        // The drawing framework names its type by MIME type already.
        const QString mime = type == kVXDrawableObjectPasteboardType ? type : platform::mimeTypeForPasteboardType(type);
        if (data->hasFormat(mime))
            return type;
    }
    return {};
}

bool VXQLibraryManagerWindowController::canPasteIntoLibraryCategoryWithPasteboard(VXQLibrary* library,
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

void VXQLibraryManagerWindowController::paste(QObject*)
{
    pasteWithPasteboard(platform::Pasteboard::generalPasteboard());
}

bool VXQLibraryManagerWindowController::pasteWithPasteboard(const platform::Pasteboard& pasteboard)
{
    VXQLibrary* library = selectedLibrary();
    VXQLibraryCategory* category = currentCategory();
    if (canPasteIntoLibraryCategoryWithPasteboard(library, category, pasteboard)
        && preferredAcceptedType(pasteboard.mimeData()) == kVXDrawableObjectPasteboardType)
        return acceptDroppedDrawables(pasteboard.mimeData(), library, category);
    return pasteIntoLibraryCategoryWithPasteboardCopyItems(library, category, pasteboard, true);
}

bool VXQLibraryManagerWindowController::pasteIntoLibraryCategoryWithPasteboardCopyItems(VXQLibrary* library,
                                                                                        VXQLibraryCategory* category,
                                                                                        const platform::Pasteboard& pasteboard,
                                                                                        bool copyItems)
{
    if (!canPasteIntoLibraryCategoryWithPasteboard(library, category, pasteboard)
        || preferredAcceptedType(pasteboard.mimeData()) != kVXQLibraryItemPasteboardType)
        return false;
    VXQLibraryElement* shown = selectedItem();
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
    if (!selectCategory(category)) {
        m_itemList->invalidateItemsCache();
        m_itemList->loadItemsViewPreservingSelection(false);
    }
    m_outline->reloadOutline();
    selectItemsSoon(items);
    return true;
}

void VXQLibraryManagerWindowController::selectItemsSoon(const QList<VXQLibraryItemPtr>& items)
{
    platform::RunLoop::performAfterDelay(this, [this, items] { m_itemViewController->selectItems(items); }, 0);
}

bool VXQLibraryManagerWindowController::moveItemsToLibraryCategoryMakingCopies(const QList<VXQLibraryItemPtr>& items,
                                                                               VXQLibrary* library,
                                                                               VXQLibraryCategory* category,
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
    reloadLibrarySelectingCategory(library, destination);
    selectItemsSoon(transferred);
    return true;
}

bool VXQLibraryManagerWindowController::copyCategoryToLibrary(VXQLibraryCategory* category, VXQLibrary* library)
{
    if (!ZQ_EXPECT(category, "no category was passed to -copyCategory:toLibrary:")
        || !ZQ_EXPECT(library, "no library was passed to -copyCategory:toLibrary:"))
        return false;
    const qint64 count = category->allElementsCount();
    if (category->library() == library || !library->allowsContentChanges() || library->isFactoryLibrary() || count == 0)
        return false;
    if (!defaults().boolForKey(kVXQLibraryConfirmCategoryCopy)) {
        Alert alert = makeAlert(tr("Copy Category"), tr("Copy"), tr("Cancel"),
                                tr("%1 items from the category “%2” will be copied to the collection “%3”")
                                    .arg(count)
                                    .arg(category->name(), library->name()));
        alert.setShowsSuppressionButton(true);
        const int answer = LibraryManagerAlerts::run(alert);
        defaults().setBoolForKey(alert.suppressionButtonState(), kVXQLibraryConfirmCategoryCopy);
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

bool VXQLibraryManagerWindowController::importItemsAsSymbolsToLibraryCategory(const QList<VXDrawableObjectPtr>& objects,
                                                                               VXQLibrary* library,
                                                                               VXQLibraryCategory* category)
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
    reloadLibrarySelectingCategory(library, category);
    m_itemList->invalidateItemsCache();
    m_itemList->loadItemsViewPreservingSelection(false);
    m_itemViewController->selectItems(made);
    m_browserDelegate->editItemsAtIndexes(m_itemViewController->selectedItemIndexes());
    if (donors.size() < objects.size()) {
        LibraryManagerAlerts::beep();
        Alert alert = makeAlert(tr("Add Symbol"), tr("OK"), {},
                                tr("Some items could not be added because they are not compatible with symbols.\n\n The "
                                   "remaining %1 were converted successfully and may now be reviewed as required.")
                                    .arg(made.size()));
        LibraryManagerAlerts::run(alert);
    }
    return true;
}

bool VXQLibraryManagerWindowController::createSymbolsFromObjects(const QList<VXDrawableObjectPtr>& objects)
{
    const qsizetype donors = validSymbolDonorObjectsFromArray(objects).size();
    if (donors >= 6) {
        Alert alert = makeAlert(tr("Add Symbols To Library"), tr("OK"), tr("Cancel"),
                                tr("You have selected %1 objects. Are you sure you want add them all as symbols?").arg(donors));
        if (LibraryManagerAlerts::run(alert) != Alert::kDefaultReturn)
            return false;
    }
    showWindow(this);
    return importItemsAsSymbolsToLibraryCategory(objects, nullptr, nullptr);
}

// --- Moving to another collection ----------------------------------------------------------------------------

void VXQLibraryManagerWindowController::moveToLibraryAction(QObject* sender)
{
    const QList<VXQLibraryItemPtr> items = selection();
    if (items.isEmpty() || !sender)
        return;
    if (sender->property("tag").toInt() == -1) {
        const VXQLibraryPtr library
            = VXQLibraryCatalogue::userLibraryWithPreferredName(VXQLibraryCatalogue::defaultUserLibraryName());
        if (!library)
            return;
        VXQLibraryGroup::userGroup()->invalidateSubContainersCache();
        m_outline->dropCachedGroups();
        m_outline->reloadOutline();
        moveItemsToLibraryCategoryMakingCopies(items, library.get(), nullptr, false);
        return;
    }
    auto* target = qobject_cast<VXQLibrary*>(sender->property("representedObject").value<QObject*>());
    if (!target || target == selectedLibrary() || !target->allowsContentChanges())
        return;
    moveItemsToLibraryCategoryMakingCopies(items, target, nullptr, false);
}

void VXQLibraryManagerWindowController::updateMoveToMenu(QMenu* menu)
{
    menu->clear();
    auto* newCollection = new platform::MenuItem(tr("New Collection"), "moveToLibraryAction", menu);
    newCollection->setTag(-1);
    newCollection->setTarget(this);
    menu->addAction(newCollection);
    const QList<VXQLibraryPtr> libraries = userLibraries();
    if (!libraries.isEmpty())
        menu->addSeparator();
    for (const VXQLibraryPtr& library : libraries) {
        auto* item = new platform::MenuItem(library->name(), "moveToLibraryAction", menu);
        item->setTarget(this);
        item->setRepresentedObject(QVariant::fromValue(static_cast<QObject*>(library.get())));
        menu->addAction(item);
    }
    platform::Menu::validateActions(menu->actions());
}

// --- Drag and drop on the outline -------------------------------------------------------------------------------

QMimeData* VXQLibraryManagerWindowController::outlineViewWriteItems(const QList<VXQLibraryElement*>& items)
{
    auto* category = items.isEmpty() ? nullptr : qobject_cast<VXQLibraryCategory*>(items.last());
    m_draggingCategory = category;
    if (!category)
        return nullptr;
    auto* data = new QMimeData;
    platform::Pasteboard(data).declareTypes({kVXQLibraryCategoryInternalPasteboardType});
    return data;
}

LibraryDropContext VXQLibraryManagerWindowController::dropContext(const QMimeData* data, Qt::DropActions offered,
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
    drop.selectedLibrary = selectedLibrary();
    drop.currentCategory = currentCategory();
    drop.sourceAllowsOnlyCopy = offered == Qt::CopyAction;
    drop.draggedCategory = m_draggingCategory;
    return drop;
}

Qt::DropAction VXQLibraryManagerWindowController::dragOperationForDraggingInfoTargetItem(const QMimeData* data,
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

Qt::DropAction VXQLibraryManagerWindowController::outlineViewValidateDrop(const QMimeData* data, Qt::DropActions offered,
                                                                          VXQLibraryElement* item)
{
    const Qt::DropAction operation = dragOperationForDraggingInfoTargetItem(data, offered, item);
    if (operation != Qt::IgnoreAction && window()) {
        window()->raise();
        window()->activateWindow();
    }
    return operation;
}

bool VXQLibraryManagerWindowController::outlineViewAcceptDrop(const QMimeData* data, Qt::DropActions offered,
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
    m_outline->bumpCategoryChanges();
    reloadLibrarySelectingCategory(drop.targetLibrary, dragged);
    return true;
}

bool VXQLibraryManagerWindowController::acceptDroppedDrawables(const QMimeData* data, VXQLibrary* library,
                                                               VXQLibraryCategory* category)
{
    if (!category && library->allowsCategoryChanges()) {
        const QString name = tr("New Symbols");
        category = library->categoryWithName(name);
        if (!category)
            category = library->addCategoryWithName(name);
        m_outline->bumpCategoryChanges();
        reloadLibrarySelectingCategory(library, category);
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
