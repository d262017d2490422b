#include "library/categories/VXQLibraryCategory.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/items/VXQLibraryItem.h"
#include "library/menus/LibraryArtwork.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"

#include <QCoreApplication>

namespace {

const QString kSubcategoryKey = QStringLiteral("CAT_SUBCATEGORY");

bool readFlag(const QVariantMap& info, const QString& key)
{
    const QVariant value = info.value(key);
    return value.typeId() == QMetaType::Bool && value.toBool();
}

// The categories every library manages itself; a file names them to restore their members.
bool isManagedCategoryName(const QString& name)
{
    return name == VXQLibrary::localizedRecentlyUsedCategoryName() ||
           name == VXQLibrary::localizedRecentlyAddedCategoryName() ||
           name == VXQLibrary::localizedAllItemsCategoryName() ||
           name == QCoreApplication::translate("VXQLibrarySmartCategory", "All Styles") ||
           name == QCoreApplication::translate("VXQLibrarySmartCategory", "All Clip Art");
}

} // namespace

VXQLibraryCategory::VXQLibraryCategory() = default;
VXQLibraryCategory::~VXQLibraryCategory() = default;

VXQLibraryCategoryPtr VXQLibraryCategory::categoryWithNameLibrary(const QString& name, VXQLibrary* library)
{
    auto category = std::make_shared<VXQLibraryCategory>();
    category->initWithNameLibrary(name, library);
    return category;
}

VXQLibraryElementPtr VXQLibraryCategory::initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    QVariantMap named = info;
    if (named.value(QStringLiteral("name")).typeId() != QMetaType::QString)
        named.insert(QStringLiteral("name"), info.value(QStringLiteral("catname")).toString());
    const QString name = named.value(QStringLiteral("name")).toString();
    if (name.isEmpty())
        return nullptr;
    // Only a top-level entry may stand for a category the library already manages: a nested
    // one of the same name is a category of its own.
    if (infoNesting() == 0 && isManagedCategoryName(name))
        if (VXQLibraryCategory* existing = library->categoryWithName(name)) {
            if (!dynamic_cast<VXQLibrarySmartCategory*>(existing))
                existing->adoptEntries(named, library);
            return std::static_pointer_cast<VXQLibraryElement>(existing->shared_from_this());
        }
    VXQLibraryElementPtr self = VXQLibraryElementContainer::initWithInfoLibrary(named, library);
    m_readOnly = readFlag(info, QStringLiteral("readonly"));
    m_deletable = readFlag(info, QStringLiteral("deletable"));
    m_renameable = !readFlag(info, QStringLiteral("no_rename"));
    return self;
}

void VXQLibraryCategory::adoptEntries(const QVariantMap& info, VXQLibrary* library)
{
    for (const QVariant& entry : info.value(QStringLiteral("items")).toList()) {
        if (entry.typeId() != QMetaType::QVariantMap || entry.toMap().contains(QStringLiteral("class")))
            continue;
        if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(libraryElementWithInfoLibrary(entry.toMap(), library)))
            addItem(item);
    }
    mergeIfNeededUsingInfoLibrary(info, library);
}

bool VXQLibraryCategory::libraryIsLoading() const
{
    return library() && library()->isLoadingFromDisk();
}

void VXQLibraryCategory::tellLibrary()
{
    if (library() && !libraryIsLoading())
        library()->categoryDidChange(this);
}

void VXQLibraryCategory::post(const QString& name, const QVariantMap& userInfo)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(name, this, userInfo);
}

void VXQLibraryCategory::addItem(const std::shared_ptr<VXQLibraryItem>& item)
{
    if (!ZQ_EXPECT(item, "item passed to -addItem was not a VXQLIbraryItem"))
        return;
    if (hasElement(item.get()))
        return;
    addElement(item);
    if (library())
        library()->addItem(item);
    if (!libraryIsLoading()) {
        tellLibrary();
        post(kVXQLibraryCategoryDidAddItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item.get())}});
    }
}

void VXQLibraryCategory::addItems(const QList<std::shared_ptr<VXQLibraryItem>>& items)
{
    for (const auto& item : items)
        addItem(item);
}

void VXQLibraryCategory::removeItem(VXQLibraryItem* item)
{
    if (!ZQ_EXPECT(item, "item passed to -removeItem was not a VXQLIbraryItem"))
        return;
    if (!hasElement(item))
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(item->shared_from_this());
    removeElement(item);
    if (!libraryIsLoading()) {
        tellLibrary();
        post(kVXQLibraryCategoryDidRemoveItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
    }
}

void VXQLibraryCategory::removeItems(const QList<std::shared_ptr<VXQLibraryItem>>& items)
{
    for (const auto& item : items)
        removeItem(item.get());
}

void VXQLibraryCategory::removeItemEverywhere(VXQLibraryItem* item)
{
    removeItem(item);
    for (VXQLibraryCategory* sub : categories())
        sub->removeItemEverywhere(item);
}

QList<VXQLibraryCategory*> VXQLibraryCategory::categories() const
{
    QList<VXQLibraryCategory*> found;
    for (VXQLibraryElementContainer* container : storedContainers())
        if (auto* category = dynamic_cast<VXQLibraryCategory*>(container))
            found.append(category);
    return found;
}

QStringList VXQLibraryCategory::categoryNames() const
{
    QStringList names;
    for (VXQLibraryCategory* category : categories())
        names.append(category->name());
    return names;
}

VXQLibraryCategory* VXQLibraryCategory::categoryWithName(const QString& name) const
{
    return dynamic_cast<VXQLibraryCategory*>(subContainerWithName(name));
}

bool VXQLibraryCategory::hasItem(const VXQLibraryItem* item) const
{
    return hasElement(item);
}

void VXQLibraryCategory::categoriesWithItem(const VXQLibraryItem* item, QList<VXQLibraryCategory*>& into) const
{
    if (hasItem(item))
        into.append(const_cast<VXQLibraryCategory*>(this));
    for (VXQLibraryCategory* sub : categories())
        sub->categoriesWithItem(item, into);
}

void VXQLibraryCategory::addCategory(const VXQLibraryCategoryPtr& category)
{
    if (!ZQ_EXPECT(category, "item passed to -addCategory was not a VXQLibraryCategory"))
        return;
    if (VXQLibraryElementContainer* previous = category->container(); previous && previous != this)
        previous->removeElement(category.get());
    category->setLibrary(library());
    addElement(category);
    if (container()) {
        container()->invalidateSubContainersCache();
        container()->invalidateAllElementsCache();
    }
    tellLibrary();
    post(kVXQLibraryCategoryDidAddSubcategory, {{kSubcategoryKey, QVariant::fromValue<QObject*>(category.get())}});
}

void VXQLibraryCategory::removeCategory(VXQLibraryCategory* category)
{
    if (!ZQ_EXPECT(category, "item passed to -removeCategory was not a VXQLibraryCategory"))
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(category->shared_from_this());
    removeElement(category);
    if (container()) {
        container()->invalidateSubContainersCache();
        container()->invalidateAllElementsCache();
    }
    tellLibrary();
    post(kVXQLibraryCategoryDidRemoveSubcategory, {{kSubcategoryKey, QVariant::fromValue<QObject*>(category)}});
}

VXQLibraryCategory* VXQLibraryCategory::addCategoryWithName(const QString& name)
{
    if (VXQLibraryCategory* existing = categoryWithName(name))
        return existing;
    if (isReadOnly())
        return nullptr;
    auto category = categoryWithNameLibrary(name, library());
    addCategory(category);
    return category.get();
}

void VXQLibraryCategory::removeCategoryWithName(const QString& name)
{
    VXQLibraryCategory* category = categoryWithName(name);
    if (isReadOnly() || !category || !category->isDeletable())
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(category->shared_from_this());
    removeCategory(category);
    post(kVXQLibraryDidRemoveCategory, {{QStringLiteral("category"), QVariant::fromValue<QObject*>(category)}});
}

bool VXQLibraryCategory::allowsNameChange() const
{
    return m_renameable && (!library() || library()->allowsCategoryChanges());
}

void VXQLibraryCategory::setName(const QString& requested)
{
    if (requested == name() || !allowsNameChange() || requested.isEmpty())
        return;
    const QString unique = library() ? library()->uniqueNameForSubContainer(requested) : requested;
    VXQLibraryElementContainer::setName(unique);
    if (container())
        container()->invalidateSubContainersCache();
    tellLibrary();
    post(kVXQLibraryCategoryDidChangeName);
}

void VXQLibraryCategory::itemUpdateCouldAffectCategories(VXQLibraryItem* item)
{
    if (item && !containsElement(item))
        return;
    invalidateElementsCache();
    invalidateAllElementsCache();
    post(kVXQLibraryCategoryContentDidChange);
    for (VXQLibraryCategory* sub : categories())
        sub->itemUpdateCouldAffectCategories(item);
}

bool VXQLibraryCategory::mergeIfNeededUsingInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    for (const QVariant& entry : info.value(QStringLiteral("items")).toList()) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entryInfo = entry.toMap();
        if (!entryInfo.contains(QStringLiteral("class")))
            continue;
        if (categoryWithName(entryInfo.value(QStringLiteral("name")).toString()))
            continue;
        if (auto category = std::dynamic_pointer_cast<VXQLibraryCategory>(libraryElementWithInfoLibrary(entryInfo, library))) {
            category->mergeIfNeededUsingInfoLibrary(entryInfo, library);
            addCategory(category);
        }
    }
    return false;
}

QVariantMap VXQLibraryCategory::elementInfo() const
{
    QVariantMap info = VXQLibraryElementContainer::elementInfo();
    info.insert(QStringLiteral("readonly"), isReadOnly());
    info.insert(QStringLiteral("deletable"), m_deletable);
    info.insert(QStringLiteral("no_rename"), !m_renameable);
    return info;
}

QImage VXQLibraryCategory::icon() const
{
    return librarySquareIcon(QStringLiteral("VL_Category"));
}

QString VXQLibraryCategory::toolTipString() const
{
    return QStringLiteral("%1: %2 Items").arg(name()).arg(allElementsCount());
}

QString VXQLibraryCategory::description() const
{
    return QStringLiteral("%1 '%2', %3 items").arg(className(), name()).arg(allElementsCount());
}

// --- Recent lists ---------------------------------------------------------------------------

VXQFixedLengthLibraryCategory::VXQFixedLengthLibraryCategory() = default;

void VXQFixedLengthLibraryCategory::setMaximumLength(qint64 length)
{
    m_length = std::max<qint64>(0, length);
    trimToLength();
}

QList<std::shared_ptr<VXQLibraryItem>> VXQFixedLengthLibraryCategory::orderedItems() const
{
    return {m_orderedItems.rbegin(), m_orderedItems.rend()};
}

void VXQFixedLengthLibraryCategory::renewItem(const std::shared_ptr<VXQLibraryItem>& item)
{
    if (!hasElement(item.get())) {
        addItem(item);
        return;
    }
    m_orderedItems.removeAll(item);
    m_orderedItems.append(item);
    post(kVXQLibraryCategoryContentDidChange);
}

void VXQFixedLengthLibraryCategory::addElement(const VXQLibraryElementPtr& element)
{
    auto item = std::dynamic_pointer_cast<VXQLibraryItem>(element);
    if (!item || hasElement(item.get()))
        return;
    m_orderedItems.append(item);
    trimToLength();
    VXQLibraryCategory::addElement(element);
}

void VXQFixedLengthLibraryCategory::removeElement(VXQLibraryElement* element)
{
    m_orderedItems.removeIf([element](const std::shared_ptr<VXQLibraryItem>& item) { return item.get() == element; });
    VXQLibraryCategory::removeElement(element);
}

void VXQFixedLengthLibraryCategory::trimToLength()
{
    while (m_length > 0 && m_orderedItems.size() > m_length) {
        const std::shared_ptr<VXQLibraryItem> oldest = m_orderedItems.first();
        if (hasElement(oldest.get()))
            removeElement(oldest.get());
        else
            m_orderedItems.removeFirst();
    }
}

QVariantMap VXQFixedLengthLibraryCategory::elementInfo() const
{
    QVariantMap info = VXQLibraryCategory::elementInfo();
    QVariantList items;
    for (const auto& item : m_orderedItems)
        items.append(item->elementInfo());
    info.insert(QStringLiteral("items"), items);
    return info;
}
