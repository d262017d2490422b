#include "library/registry/VXQLibraryRegistryShim.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Menu.h"

namespace {

QList<ZQObjectPtr>& keptObjects()
{
    static QList<ZQObjectPtr> objects;
    return objects;
}

VXImageDataManagerPtr& imageManagerSlot()
{
    static VXImageDataManagerPtr manager;
    return manager;
}

VXQLibraryRegistryShim::ManagerReveal& managerReveal()
{
    static VXQLibraryRegistryShim::ManagerReveal reveal;
    return reveal;
}

} // namespace

std::shared_ptr<VXQLibraryRegistryShim> VXQLibraryRegistryShim::shim()
{
    return std::make_shared<VXQLibraryRegistryShim>();
}

QObject* VXQLibraryRegistryShim::shimClass()
{
    static QObject* sender = new QObject;
    return sender;
}

ZQObjectPtr VXQLibraryRegistryShim::symbolForKeyInLibraries(const QString& key)
{
    // Maps opened at launch are read before anything else has used the libraries.
    VXQLibraryCatalogue::initialize();
    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(key);
    return library ? library->itemWithUniqueID(key)->representedObject() : nullptr;
}

std::shared_ptr<VXStyle> VXQLibraryRegistryShim::styleForKeyInLibraries(const QString& key)
{
    return std::dynamic_pointer_cast<VXStyle>(symbolForKeyInLibraries(key));
}

bool VXQLibraryRegistryShim::libraryHoldsKey(const QString& key)
{
    VXQLibraryCatalogue::initialize();
    return VXQLibraryCatalogue::libraryContainingItemWithUniqueIDInGroups(
               key, {kVXQLibraryFactoryGroupName, kVXQLibraryUserGroupName}) != nullptr;
}

void VXQLibraryRegistryShim::addObjectForKeyToCategoriesCreateCategories(const ZQObjectPtr& object, const QString&,
                                                                         const QStringList&, bool)
{
    if (object)
        keptObjects().append(object);
}

void VXQLibraryRegistryShim::addObjectForKeyToCategoriesCreateCategories(const std::shared_ptr<VXStyle>& style,
                                                                         const QString& key,
                                                                         const QStringList& categories,
                                                                         bool createCategories)
{
    addObjectForKeyToCategoriesCreateCategories(ZQObjectPtr(style), key, categories, createCategories);
}

// Nothing is stored, so there is nothing to list: the manager's own items follow.
std::unique_ptr<platform::Menu> VXQLibraryRegistryShim::managedSymbolsMenuWithItemTargetItemAction(QObject*,
                                                                                                  const QByteArray&)
{
    return std::make_unique<platform::Menu>();
}

VXImageDataManagerPtr VXQLibraryRegistryShim::imageManager() const
{
    if (!imageManagerSlot())
        imageManagerSlot() = std::make_shared<VXImageDataManager>();
    return imageManagerSlot();
}

void VXQLibraryRegistryShim::setImageManager(const VXImageDataManagerPtr& manager)
{
    imageManagerSlot() = manager;
}

std::shared_ptr<VXQLibraryItem> VXQLibraryRegistryShim::registerStyle(const std::shared_ptr<VXStyle>& style)
{
    if (!style || libraryHoldsKey(style->uniqueKey()))
        return nullptr;
    VXQLibrary* library = VXQLibraryCatalogue::userLibraryForImpliedOperation();
    if (!library)
        return nullptr;
    // A style of its own, under a key the document does not use yet.
    const std::shared_ptr<VXStyle> copy = style->clone();
    copy->setName(library->uniqueItemName(style->name()));
    const VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(copy);
    if (!item)
        return nullptr;
    library->addItem(item);
    // A library that refuses new content must not make documents swap to a style nobody keeps.
    if (!library->containsUniqueID(copy->uniqueKey()))
        return nullptr;
    copy->setLocked(true);
    if (managerReveal())
        managerReveal()(copy->uniqueKey());
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXQStyleSubstitutionWasPerformed, shimClass(),
        {{QStringLiteral("old_style"), QVariant::fromValue<ZQObjectPtr>(style)},
         {QStringLiteral("new_style"), QVariant::fromValue<ZQObjectPtr>(copy)}});
    return item;
}

void VXQLibraryRegistryShim::setManagerReveal(ManagerReveal reveal)
{
    managerReveal() = std::move(reveal);
}
