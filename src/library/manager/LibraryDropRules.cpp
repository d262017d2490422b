#include "library/manager/LibraryDropRules.h"

#include "library/categories/VXQLibraryCategory.h"
#include "library/items/VXQLibraryItem.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

QStringList LibraryDropRules::acceptedPasteboardTypes()
{
    return {kVXQLibraryElementPasteboardType, kVXQLibraryItemPasteboardType, kVXDrawableObjectPasteboardType,
            kVXQLibraryCategoryInternalPasteboardType};
}

Qt::DropAction LibraryDropRules::dragOperation(const LibraryDropContext& drop)
{
    if (!drop.targetLibrary)
        return Qt::IgnoreAction;
    if (drop.preferredType == kVXQLibraryItemPasteboardType)
        return itemsOperation(drop);
    if (drop.preferredType == kVXDrawableObjectPasteboardType)
        return drawablesOperation(drop);
    if (drop.preferredType == kVXQLibraryCategoryInternalPasteboardType)
        return categoryOperation(drop);
    return Qt::IgnoreAction;
}

Qt::DropAction LibraryDropRules::itemsOperation(const LibraryDropContext& drop)
{
    VXQLibraryCategory* target = drop.targetCategory;
    if (drop.targetLibrary == drop.selectedLibrary) {
        if (!target || target == drop.currentCategory || target->isReadOnly() || !drop.selectedLibrary->allowsCategoryChanges())
            return Qt::IgnoreAction;
        // Onto a category above the shown one the items leave it; elsewhere they join.
        const bool ancestor = drop.currentCategory && target->containsElement(drop.currentCategory);
        return ancestor ? Qt::MoveAction : Qt::LinkAction;
    }
    if (!drop.targetLibrary->allowsContentChanges() || (target && target->isReadOnly()))
        return Qt::IgnoreAction;
    if (drop.sourceAllowsOnlyCopy)
        return Qt::CopyAction;
    return drop.selectedLibrary && drop.selectedLibrary->allowsContentChanges() ? Qt::MoveAction : Qt::CopyAction;
}

Qt::DropAction LibraryDropRules::drawablesOperation(const LibraryDropContext& drop)
{
    if (!drop.targetLibrary->allowsContentChanges() || (drop.targetCategory && drop.targetCategory->isReadOnly()))
        return Qt::IgnoreAction;
    return Qt::CopyAction;
}

Qt::DropAction LibraryDropRules::categoryOperation(const LibraryDropContext& drop)
{
    VXQLibraryCategory* dragged = drop.draggedCategory;
    if (!ZQ_EXPECT(dragged, "huh? no dragging item was set"))
        return Qt::IgnoreAction;
    VXQLibraryCategory* target = drop.targetCategory;
    if (target == dragged)
        return Qt::IgnoreAction;
    if (drop.targetLibrary != dragged->library())
        return Qt::CopyAction;
    // Onto the container it is in already, the library's row included.
    const VXQLibraryElementContainer* destination = target ? static_cast<VXQLibraryElementContainer*>(target)
                                                           : drop.targetLibrary;
    if (destination == dragged->container())
        return Qt::IgnoreAction;
    if (target) {
        // Smart and recent categories take no categories; nor does a category into itself.
        if (target->metaObject() != &VXQLibraryCategory::staticMetaObject || target->isReadOnly()
            || dragged->containsElement(target))
            return Qt::IgnoreAction;
    }
    return drop.targetLibrary->allowsCategoryChanges() ? Qt::MoveAction : Qt::IgnoreAction;
}
