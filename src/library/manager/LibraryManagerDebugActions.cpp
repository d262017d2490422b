#include "library/manager/LibraryManagerDebugActions.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Menu.h"

#include <algorithm>

using platform::MenuItem;

LibraryManagerDebugActions::LibraryManagerDebugActions(VXQLibraryManagerWindowController& manager)
    : m_manager(manager)
{
}

bool LibraryManagerDebugActions::wantedWithModifiers(platform::ModifierFlags held)
{
    return qEnvironmentVariableIntValue("QUORVANE_DEBUG_MENUS") != 0
           && held == (platform::ShiftKeyMask | platform::OptionKeyMask);
}

QMenu* LibraryManagerDebugActions::makeMenu(QWidget* parent)
{
    auto* debug = new platform::Menu(tr("Debug"), parent);
    const auto add = [this, debug](const QString& title, const QByteArray& action) {
        debug->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    add(tr("Factory Collections Writable"), "debug_forceWritable");
    add(tr("Gather Orphaned Items"), "debug_gatherOrphanedItemsAction");
    add(tr("Toggle Lock"), "debug_toggleLock");
    add(tr("Write Category File"), "debug_forceCatfileUpdate");
    add(tr("Remake Preview Images"), "debug_remakePreviewImage");
    return debug;
}

void LibraryManagerDebugActions::debug_forceWritable(QObject*)
{
    VXQLibraryCatalogue::setFactoryLibrariesWritable(true);
}

void LibraryManagerDebugActions::debug_gatherOrphanedItemsAction(QObject*)
{
    VXQLibrary* library = m_manager.selectedLibrary();
    if (!library)
        return;
    const QStringList orphans = library->orphanedItems().value_or(QStringList());
    if (orphans.isEmpty()) {
        ZQLogObjCMethod(QStringLiteral("%1: no orphaned items were found").arg(library->name()));
        return;
    }
    ZQLogObjCMethod(QStringLiteral("%1 orphaned items were found in library '%2': %3")
                        .arg(orphans.size())
                        .arg(library->name(), orphans.join(u", ")));
    VXQLibraryCategory* category = library->categoryWithName(QStringLiteral("__Orphans__"));
    if (!category)
        category = library->addCategoryWithName(QStringLiteral("__Orphans__"));
    for (const QString& orphan : orphans)
        if (VXQLibraryItemPtr item = VXQLibraryItem::itemWithFile(library->path() + u'/' + orphan); item && category)
            category->addItem(item);
    m_manager.reloadLibrarySelectingCategory(library, category);
}

void LibraryManagerDebugActions::debug_toggleLock(QObject*)
{
    const QList<VXQLibraryItemPtr> items = m_manager.selection();
    if (items.isEmpty())
        return;
    const bool lock = !items.last()->locked();
    for (const VXQLibraryItemPtr& item : items)
        item->setLocked(lock);
    m_manager.itemBrowser()->refreshActiveView();
}

void LibraryManagerDebugActions::debug_forceCatfileUpdate(QObject*)
{
    if (VXQLibrary* library = m_manager.selectedLibrary())
        library->writeCategoryFile();
}

void LibraryManagerDebugActions::debug_remakePreviewImage(QObject*)
{
    for (const VXQLibraryItemPtr& item : m_manager.selection())
        item->remakeIconOnDisk();
    m_manager.itemBrowser()->refreshActiveView();
}

bool LibraryManagerDebugActions::validateMenuItem(MenuItem* item)
{
    if (item->action() != "debug_forceWritable")
        return true;
    const QList<VXQLibraryPtr> factory = VXQLibraryCatalogue::factoryLibraries();
    const auto writable = std::count_if(factory.begin(), factory.end(), [](const VXQLibraryPtr& l) { return l->allowsContentChanges(); });
    item->setState(factory.isEmpty() || writable == 0 ? MenuItem::OffState
                   : writable == factory.size()     ? MenuItem::OnState
                                                    : MenuItem::MixedState);
    return true;
}
