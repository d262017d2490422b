#include "library/manager/LibraryCollectionCommands.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/info/VXQLibrarySmartCategoryEditController.h"
#include "library/manager/LibraryManagerAlerts.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryOutlineController.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Sheet.h"
#include "platform/ui/WindowController.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using platform::MenuItem;

LibraryCollectionCommands::LibraryCollectionCommands(platform::WindowController& owner,
                                                     LibraryOutlineController& outline,
                                                     LibraryManagerItemList& itemList)
    : m_owner(owner)
    , m_outline(outline)
    , m_itemList(itemList)
{
}

void LibraryCollectionCommands::newLibraryAction(QObject*)
{
    VXQLibraryPtr library = VXQLibraryCatalogue::userLibraryWithPreferredName(VXQLibraryCatalogue::defaultUserLibraryName());
    if (!library)
        return;
    m_outline.dropCachedGroups();
    m_outline.reloadOutline();
    if (!m_outline.selectLibrary(library.get()))
        return;
    m_outline.startEditingItem(library.get());
}

void LibraryCollectionCommands::newCategoryAction(QObject*)
{
    if (VXQLibrary* library = m_outline.selectedLibrary())
        makeNewCategoryForLibrary(library);
}

VXQLibraryCategory* LibraryCollectionCommands::makeNewCategoryForLibrary(VXQLibrary* library)
{
    auto* container = qobject_cast<VXQLibraryElementContainer*>(m_outline.selectedItem());
    if (!library || !container || !container->allowsSubContainers())
        return nullptr;
    const QString name = library->uniqueNameForSubContainer(tr("untitled category"));
    VXQLibraryCategory* made = nullptr;
    if (auto* parent = qobject_cast<VXQLibraryCategory*>(container)) {
        VXQLibraryCategoryPtr category = VXQLibraryCategory::categoryWithNameLibrary(name, library);
        parent->addCategory(category);
        made = category.get();
    } else {
        made = library->addCategoryWithName(name);
    }
    if (!made)
        return nullptr;
    m_outline.bumpCategoryChanges();
    if (m_outline.reloadShowingRow(container, made))
        m_outline.startEditingItem(made);
    return made;
}

void LibraryCollectionCommands::newSmartCategoryAction(QObject*)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (library && library->allowsCategoryChanges())
        makeNewSmartCategoryForLibraryStartEditing(library, true);
}

VXQLibrarySmartCategory* LibraryCollectionCommands::makeNewSmartCategoryForLibraryStartEditing(VXQLibrary* library,
                                                                                               bool startEditing)
{
    auto category = std::make_shared<VXQLibrarySmartCategory>();
    category->initWithNameLibrary(library->uniqueNameForSubContainer(tr("untitled smart category")), library);
    library->addCategory(category);
    m_outline.bumpCategoryChanges();
    m_outline.reloadShowingRow(library, category.get());
    if (startEditing)
        editSmartCategory(category.get());
    return category.get();
}

void LibraryCollectionCommands::editSmartCategoryAction(QObject*)
{
    auto* smart = qobject_cast<VXQLibrarySmartCategory*>(m_outline.currentCategory());
    if (smart && smart->predicateEditable())
        editSmartCategory(smart);
}

void LibraryCollectionCommands::editSmartCategory(VXQLibrarySmartCategory* category)
{
    ZQLogObjCMethod(QStringLiteral("will edit %1").arg(category->description()));
    if (!m_smartEditController) {
        m_smartEditController = new VXQLibrarySmartCategoryEditController;
        m_smartEditController->setParent(this);
    }
    m_smartEditController->beginSmartCategoryEditOnParentWindowWithDelegate(category, m_owner.window(), this);
}

void LibraryCollectionCommands::smartCategoryEditorDidFinishEditingCategory(VXQLibrarySmartCategoryEditController*,
                                                                            VXQLibrarySmartCategory* category)
{
    m_outline.reloadOutline();
    if (m_outline.selectedCategories().contains(category))
        m_itemList.reloadPreservingSelection();
}

void LibraryCollectionCommands::deleteCategoryAction(QObject*)
{
    VXQLibraryCategory* category = m_outline.currentCategory();
    if (!category)
        return;
    if (!managerDefaults().boolForKey(kVXQLibraryConfirmCategoryDelete)) {
        const QString libraryName = category->library() ? category->library()->name() : QString();
        platform::Alert alert = LibraryManagerAlerts::make(
            tr("Delete Category"), tr("Delete"), tr("Cancel"),
            tr("The category “%1” will be immediately removed from “%2”. This operation does not delete any items from "
               "the collection - items can be accessed in “All Items” or other categories.")
                .arg(category->name(), libraryName));
        alert.setShowsSuppressionButton(true);
        const QPointer<VXQLibraryCategory> target(category);
        const int answer = LibraryManagerAlerts::run(alert);
        managerDefaults().setBoolForKey(alert.suppressionButtonState(), kVXQLibraryConfirmCategoryDelete);
        if (answer != platform::Alert::kDefaultReturn || !target)
            return;
    }
    deleteCategories({category});
}

void LibraryCollectionCommands::deleteCategories(const QList<VXQLibraryCategory*>& categories)
{
    for (VXQLibraryCategory* category : categories) {
        if (!category->isDeletable())
            continue;
        VXQLibraryElementContainer* container = category->container();
        if (auto* library = qobject_cast<VXQLibrary*>(container))
            library->removeCategory(category);
        else if (auto* parent = qobject_cast<VXQLibraryCategory*>(container))
            parent->removeCategory(category);
    }
    m_outline.bumpCategoryChanges();
    m_outline.reloadOutline();
    m_outline.clearSelection();
}

void LibraryCollectionCommands::deleteLibraryAction(QObject*)
{
    if (m_outline.selectedLibrary())
        confirmAndDeleteSelectedLibrary();
}

void LibraryCollectionCommands::confirmAndDeleteSelectedLibrary()
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || m_libDeleteDialog)
        return;
    auto* sheet = new QDialog;
    sheet->setObjectName(QStringLiteral("lib_delete"));
    m_libDeleteText = new QLabel(tr("Are you sure you want to delete the entire collection “%1” which contains %2 items?\n\n"
                                    "This operation is not undoable though the collection will be moved to the trash and may "
                                    "be recovered from there.")
                                     .arg(library->name())
                                     .arg(library->itemCount()),
                                 sheet);
    m_libDeleteText->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(sheet);
    QPushButton* remove = buttons->addButton(tr("Delete"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    remove->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { libDeleteOKAction(nullptr); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { libDeleteCancelAction(nullptr); });
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(m_libDeleteText);
    layout->addWidget(buttons);
    sheet->setMinimumWidth(420);
    m_libDeleteDialog = sheet;
    const QPointer<VXQLibrary> target(library);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet, m_owner.window(), [this, target, sheet](int code) {
        if (code == platform::Sheet::kDefaultReturn && target)
            deleteLibrary(target);
        sheet->deleteLater();
    });
}

QString LibraryCollectionCommands::libraryDeleteSheetText() const
{
    return m_libDeleteDialog && m_libDeleteText ? m_libDeleteText->text() : QString();
}

void LibraryCollectionCommands::libDeleteOKAction(QObject*)
{
    if (m_libDeleteDialog)
        platform::Sheet::endSheetReturnCode(m_libDeleteDialog, platform::Sheet::kDefaultReturn);
}

void LibraryCollectionCommands::libDeleteCancelAction(QObject*)
{
    if (m_libDeleteDialog)
        platform::Sheet::endSheetReturnCode(m_libDeleteDialog, platform::Sheet::kCancelReturn);
}

bool LibraryCollectionCommands::deleteLibrary(VXQLibrary* library)
{
    LogEvent(kFileEvent, QStringLiteral("will delete library %1").arg(library->name()));
    // Keeps the library alive until the outline has let go of it.
    const VXQLibraryPtr kept = std::static_pointer_cast<VXQLibrary>(library->shared_from_this());
    if (!library->moveToTrash())
        return false;
    VXQLibraryCatalogue::removeLibraryFromGroup(library, library->group());
    VXQLibraryGroup::userGroup()->invalidateElementsCache();
    m_outline.view()->deselectAll();
    m_outline.reloadOutline();
    return true;
}

void LibraryCollectionCommands::renameAction(QObject*)
{
    VXQLibraryElement* item = m_outline.view()->firstSelectedItem();
    if (!item)
        return;
    if (auto* library = qobject_cast<VXQLibrary*>(item); library && library->isFactoryLibrary())
        return;
    if (auto* category = qobject_cast<VXQLibraryCategory*>(item); category && !category->allowsNameChange())
        return;
    m_outline.startEditingItem(item);
}

void LibraryCollectionCommands::nominateDefaultLibraryAction(QObject*)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (library && library->allowsContentChanges() && library->allowsCategoryChanges()
        && library->group() == VXQLibraryGroup::userGroup()->name()
        && library->name() != VXQLibraryCatalogue::defaultUserLibraryName())
        VXQLibraryCatalogue::setDefaultUserLibrary(library);
}

void LibraryCollectionCommands::revealInFinderAction(QObject*)
{
    VXQLibrary* library = m_outline.selectedLibrary();
    if (!library || library->isFactoryLibrary() || library->path().isEmpty())
        return;
    // No file manager here can point at one folder: show the one that holds it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(library->path()).absolutePath()));
}

void LibraryCollectionCommands::bottomBarButtonAction(QObject* sender)
{
    switch (sender ? sender->property("tag").toInt() : -1) {
    case 0:
        newCategoryAction(sender);
        break;
    case 1:
        deleteCategoryAction(sender);
        break;
    case 2:
        newLibraryAction(sender);
        break;
    default:
        break;
    }
}

void LibraryCollectionCommands::helpButtonAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("The_Library_Manager"));
}

void LibraryCollectionCommands::openStyleInspector()
{
    platform::Application::sendActionToFrom("showStyleInspector", nullptr, this);
}

void LibraryCollectionCommands::shareLibraryAction(QObject*) {}

void LibraryCollectionCommands::toggleLibrarySharing(QObject*)
{
    // Libraries cannot be shared in this build; the menu item stays disabled.
}

bool LibraryCollectionCommands::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    VXQLibrary* library = m_outline.selectedLibrary();
    VXQLibraryCategory* current = m_outline.currentCategory();
    if (action == "newCategoryAction") {
        auto* container = qobject_cast<VXQLibraryElementContainer*>(m_outline.selectedItem());
        return container && container->allowsSubContainers();
    }
    if (action == "newSmartCategoryAction")
        return library && library->allowsSubContainers();
    if (action == "deleteCategoryAction")
        return m_outline.selectedCategoriesCanBeDeleted();
    if (action == "deleteLibraryAction")
        return library && !library->isFactoryLibrary() && library->hasPresenceOnDisk();
    if (action == "editSmartCategoryAction") {
        auto* smart = qobject_cast<VXQLibrarySmartCategory*>(current);
        return smart && smart->predicateEditable();
    }
    if (action == "renameAction")
        return current && current->allowsNameChange();
    if (action == "revealInFinderAction")
        return library && !library->isFactoryLibrary();
    if (action == "shareLibraryAction" || action == "toggleLibrarySharing") {
        item->setTitle(tr("Share"));
        return false;
    }
    if (action == "nominateDefaultLibraryAction") {
        const bool isDefault = library && library->name() == VXQLibraryCatalogue::defaultUserLibraryName();
        item->setState(isDefault ? MenuItem::OnState : MenuItem::OffState);
        return library && !isDefault && library->allowsContentChanges() && library->allowsCategoryChanges()
               && library->group() == VXQLibraryGroup::userGroup()->name();
    }
    return true;
}
