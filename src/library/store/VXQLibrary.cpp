#include "library/store/VXQLibrary.h"

#include "app/utilities/FileUtilities.h"
#include "app/application/VLTMApplication.h"
#include "library/archiving/VXQLibraryArchivingTask.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/groups/VXQLibraryGroup.h"
#include "library/items/LibraryItemPackage.h"
#include "library/items/LibraryObjects.h"
#include "library/menus/LibraryArtwork.h"
#include "library/store/LibraryTrash.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <cstdio>

namespace {

// Longest file name most file systems take, less room for the extension.
constexpr qsizetype kMaximumNameLength = 200;
constexpr qint64 kMaximumCategoryFileSize = qint64(64) << 20;

QString& factoryFolderSetting()
{
    static QString folder = QStringLiteral(":/bundle");
    return folder;
}

QString& userFolderSetting()
{
    static QString folder;
    return folder;
}

// Never destroyed: a library that something static keeps dies among the static objects at
// exit, perhaps after this list would have.
QList<QPointer<VXQLibrary>>& liveLibraries()
{
    static auto* libraries = new QList<QPointer<VXQLibrary>>;
    return *libraries;
}

// A link counts as there even when what it points at has gone: it is not written over unasked.
bool entryExists(const QString& path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

QString withoutExtension(const QString& path)
{
    const QFileInfo info(path);
    return info.suffix() == VXQLibrary::libraryExtension() ? info.path() + u'/' + info.completeBaseName() : path;
}

bool copyFolder(const QString& source, const QString& target)
{
    if (!QDir().mkpath(target))
        return false;
    const QDir folder(source);
    for (const QFileInfo& entry : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isSymLink())
            continue;
        const QString to = target + u'/' + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), to) : !QFile::copy(entry.filePath(), to))
            return false;
    }
    return true;
}

} // namespace

VXQLibrary::VXQLibrary() = default;

VXQLibrary::~VXQLibrary()
{
    ZQLog(QStringLiteral("deallocating library: %1").arg(m_displayName));
    // Added items are on disk already; their listing must not be lost with the library.
    if (m_categoryWriteScheduled)
        writeCategoryFile();
    liveLibraries().removeAll(QPointer<VXQLibrary>(this));
    for (const VXQLibraryItemPtr& item : std::as_const(m_itemsKeyedByID))
        if (item->library() == this)
            item->setLibrary(nullptr);
}

VXQLibraryPtr VXQLibrary::libraryWithPathAddingStandardCategories(const QString& folder, bool addStandardCategories)
{
    auto library = std::make_shared<VXQLibrary>();
    library->initWithPathAddingStandardCategories(folder, addStandardCategories);
    return library;
}

void VXQLibrary::initWithPathAddingStandardCategories(const QString& folder, bool addStandard)
{
    m_path = folder.isEmpty() ? QString() : withoutExtension(QDir::cleanPath(folder));
    m_creator = VLTMApplication::registeredUserName();
    if (addStandard)
        addStandardCategories();
    m_adHocSeedValue = quint64(platform::UserDefaults::standardUserDefaults()->integerForKey(adHocSeedKey()));
    m_allItems = VXQLibraryCategory::categoryWithNameLibrary(localizedAllItemsCategoryName(), this);
    addCategory(m_allItems);
    m_allItems->setDeletable(false);
    m_allItems->setAllowsNameChange(false);
    m_allItems->setReadOnly(true);
    liveLibraries().append(this);
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            platform::runGuarded("updating a library at quit", [this] { applicationWillQuit(); });
        });
    if (!m_path.isEmpty()) {
        m_noDisk = false;
        createOnDisk();
        load();
    }
    ZQLog(QStringLiteral("inited library: %1").arg(description()));
}

void VXQLibrary::addStandardCategories()
{
    for (const QString& name : {localizedRecentlyUsedCategoryName(), localizedRecentlyAddedCategoryName()}) {
        auto recent = std::make_shared<VXQFixedLengthLibraryCategory>();
        recent->initWithNameLibrary(name, this);
        recent->setDeletable(false);
        recent->setAllowsNameChange(false);
        recent->setReadOnly(true);
        addCategory(recent);
    }
    for (const auto& smart : {VXQLibrarySmartCategory::allStylesSmartCategory(), VXQLibrarySmartCategory::allSymbolsSmartCategory()}) {
        smart->setDeletable(true);
        addCategory(smart);
    }
}

QString VXQLibrary::localizedRecentlyUsedCategoryName()
{
    return QCoreApplication::translate("VXQLibrary", "Recently Used");
}

QString VXQLibrary::localizedRecentlyAddedCategoryName()
{
    return QCoreApplication::translate("VXQLibrary", "Recently Added");
}

QString VXQLibrary::localizedAllItemsCategoryName()
{
    return QCoreApplication::translate("VXQLibrary", "All Items");
}

QString VXQLibrary::factoryLibrariesFolder()
{
    return factoryFolderSetting();
}

void VXQLibrary::setFactoryLibrariesFolder(const QString& folder)
{
    factoryFolderSetting() = folder;
}

QString VXQLibrary::userLibrariesFolder()
{
    if (!userFolderSetting().isEmpty())
        return userFolderSetting();
    return thisApplicationsSupportFolderURL().toLocalFile() + QStringLiteral("/Symbol Libraries");
}

void VXQLibrary::setUserLibrariesFolder(const QString& folder)
{
    userFolderSetting() = folder;
}

VXQLibraryPtr VXQLibrary::libraryWithName(const QString& name)
{
    for (const QPointer<VXQLibrary>& library : std::as_const(liveLibraries()))
        if (library && (library->internalName() == name || library->name() == name))
            return std::static_pointer_cast<VXQLibrary>(library->shared_from_this());
    return nullptr;
}

VXQLibraryPtr VXQLibrary::libraryContainingItemWithUniqueIDInGroups(const QString& key, const QStringList& groups)
{
    if (key.isEmpty())
        return nullptr;
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups()) {
        if (!groups.isEmpty() && !groups.contains(group->name()))
            continue;
        for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
            if (library->containsUniqueID(key))
                return library;
    }
    return nullptr;
}

VXQLibraryPtr VXQLibrary::libraryForStyle(const VXStyle& style)
{
    return libraryContainingItemWithUniqueIDInGroups(style.uniqueKey(), {});
}

// --- Identity and flags ---------------------------------------------------------------------

QString VXQLibrary::path() const
{
    return m_path.isEmpty() || m_noDisk ? QString() : m_path + u'.' + libraryExtension();
}

QString VXQLibrary::internalName() const
{
    return m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName();
}

QString VXQLibrary::displayName() const
{
    if (m_displayName.isEmpty())
        m_displayName = internalName().isEmpty() ? VXQLibraryElement::name() : internalName();
    return m_displayName;
}

QString VXQLibrary::name() const
{
    return m_path.isEmpty() ? VXQLibraryElement::name() : displayName();
}

QString VXQLibrary::fileSystemName(const QString& name)
{
    const QString cleaned = VXQLibraryItem::cleanedName(name);
    if (cleaned.isEmpty() || cleaned == u"." || cleaned == u".." || cleaned.size() > kMaximumNameLength)
        return {};
    return cleaned;
}

void VXQLibrary::setName(const QString& requested)
{
    if (m_path.isEmpty() || m_noDisk) {
        VXQLibraryElement::setName(requested);
        m_displayName.clear();
        return;
    }
    const QString newName = fileSystemName(requested);
    if (newName.isEmpty() || newName == internalName() || isFactoryLibrary())
        return;
    const QString newPath = QFileInfo(m_path).path() + u'/' + newName;
    const QString newFolder = newPath + u'.' + libraryExtension();
    if (QFileInfo::exists(newFolder)) {
        LogEvent(kFileEvent, QStringLiteral("name '%1' already in use - will not be changed").arg(newName));
        platform::Application::beep();
        return;
    }
    const QString oldFolder = path();
    const QString oldCategoryFile = originalCategoryFilePath();
    if (!QDir().rename(oldFolder, newFolder)) {
        LogEvent(kFileEvent, QStringLiteral("Library rename operation failed, error = %1").arg(oldFolder));
        return;
    }
    m_path = newPath;
    m_displayName.clear();
    const QString movedCategoryFile = newFolder + u'/' + QFileInfo(oldCategoryFile).fileName();
    const QString target = categoryFilePath();
    LogEvent(kFileEvent, QStringLiteral("will attempt to change name of '%1' to '%2'").arg(movedCategoryFile, target));
    if (!QDir().rename(movedCategoryFile, target))
        LogEvent(kFileEvent, QStringLiteral("category file couldn't be renamed, error = %1").arg(movedCategoryFile));
    if (container())
        container()->invalidateElementsCache();
    categoryFileContentDidChange();
    postNotification(kVXQLibraryDidChangeName);
}

QString VXQLibrary::identifier() const
{
    return m_group + u'.' + QString(displayName()).remove(u'.');
}

QImage VXQLibrary::icon() const
{
    return librarySquareIcon(QStringLiteral("VL_Collection"));
}

QString VXQLibrary::toolTipString() const
{
    const auto yesNo = [](bool flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); };
    return QStringLiteral("%1: %2: %3 items\rEditable content: %4\rEditable categories: %5")
        .arg(m_group, name())
        .arg(itemCount())
        .arg(yesNo(m_allowsContentChanges), yesNo(m_allowsCategoryChanges));
}

QString VXQLibrary::description() const
{
    return QStringLiteral("%1 '%2' %3 items in %4 categories")
        .arg(className(), name())
        .arg(itemCount())
        .arg(countOfSubContainers());
}

bool VXQLibrary::isFactoryLibrary() const
{
    const QString name = internalName();
    return !name.isEmpty() && QFileInfo(factoryFolderPath()).isDir();
}

QString VXQLibrary::factoryFolderPath() const
{
    return factoryLibrariesFolder() + u'/' + internalName() + u'.' + libraryExtension();
}

QString VXQLibrary::factoryCategoryFilePath() const
{
    return factoryFolderPath() + u'/' + internalName() + u'.' + categoryFileExtension();
}

void VXQLibrary::setCreator(const QString& creator)
{
    m_creator = creator;
    categoryFileContentDidChange();
}

void VXQLibrary::setUserDescription(const QString& description)
{
    m_description = description;
    categoryFileContentDidChange();
}

void VXQLibrary::setHasPresenceOnDisk(bool presence)
{
    m_noDisk = !presence;
    if (!presence)
        m_path.clear();
}

qint64 VXQLibrary::versionInCategoryFile(const QString& path)
{
    const std::optional<QByteArray> bytes = platform::readRegularFile(path, kMaximumCategoryFileSize);
    if (!bytes)
        return 0;
    const std::optional<QVariant> plist = platform::PropertyList::fromData(*bytes);
    if (!plist || plist->typeId() != QMetaType::QVariantMap)
        return 0;
    const QVariant version = plist->toMap().value(QStringLiteral("version"));
    return version.isValid() ? version.toLongLong() : libraryVersion();
}

qint64 VXQLibrary::versionNumber()
{
    if (m_version != 0)
        return m_version;
    const QString original = isFactoryLibrary() ? factoryCategoryFilePath() : originalCategoryFilePath();
    const qint64 version = original.isEmpty() ? 0 : versionInCategoryFile(original);
    m_version = version != 0 ? version : libraryVersion();
    return m_version;
}

VXQLibraryElementContainer::ElementList VXQLibrary::allElements() const
{
    ElementList all;
    all.reserve(m_itemsKeyedByID.size());
    for (const VXQLibraryItemPtr& item : m_itemsKeyedByID)
        all.append(item);
    return all;
}

// --- Categories -----------------------------------------------------------------------------

QList<VXQLibraryCategory*> VXQLibrary::categories() const
{
    QList<VXQLibraryCategory*> found;
    for (const VXQLibraryElementPtr& element : elements())
        if (auto* category = dynamic_cast<VXQLibraryCategory*>(element.get()))
            found.append(category);
    return found;
}

QStringList VXQLibrary::categoryNames() const
{
    QStringList names;
    for (VXQLibraryCategory* category : categories())
        names.append(category->name());
    return names;
}

VXQLibraryCategory* VXQLibrary::categoryWithName(const QString& name) const
{
    return dynamic_cast<VXQLibraryCategory*>(subContainerWithName(name));
}

void VXQLibrary::addCategory(const VXQLibraryCategoryPtr& category)
{
    if (!ZQ_EXPECT(category, "can't add nil as a category"))
        return;
    if (VXQLibraryElementContainer* previous = category->container(); previous && previous != this)
        previous->removeElement(category.get());
    addElement(category);
    category->setLibrary(this);
    if (auto* recent = dynamic_cast<VXQFixedLengthLibraryCategory*>(category.get())) {
        auto shared = std::static_pointer_cast<VXQFixedLengthLibraryCategory>(category);
        if (!m_recentlyUsed && recent->name() == localizedRecentlyUsedCategoryName())
            m_recentlyUsed = shared;
        else if (!m_recentlyAdded && recent->name() == localizedRecentlyAddedCategoryName())
            m_recentlyAdded = shared;
    }
    if (!m_loadingFromDisk) {
        categoryFileContentDidChange();
        postNotification(kVXQLibraryDidAddCategory, {{QStringLiteral("category"), QVariant::fromValue<QObject*>(category.get())}});
    }
}

void VXQLibrary::removeCategory(VXQLibraryCategory* category)
{
    if (!ZQ_EXPECT(category, "cannot remove nil category"))
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(category->shared_from_this());
    category->setLibrary(nullptr);
    removeElement(category);
    if (!m_loadingFromDisk) {
        categoryFileContentDidChange();
        postNotification(kVXQLibraryDidRemoveCategory, {{QStringLiteral("category"), QVariant::fromValue<QObject*>(category)}});
    }
}

VXQLibraryCategory* VXQLibrary::addCategoryWithName(const QString& name)
{
    if (VXQLibraryCategory* existing = categoryWithName(name))
        return existing;
    if (!m_allowsCategoryChanges && !m_loadingFromDisk)
        return nullptr;
    auto category = VXQLibraryCategory::categoryWithNameLibrary(name, this);
    addCategory(category);
    return category.get();
}

void VXQLibrary::removeCategoryWithName(const QString& name)
{
    if (!m_allowsCategoryChanges)
        return;
    VXQLibraryCategory* category = categoryWithName(name);
    if (category && category->isDeletable())
        removeCategory(category);
}

VXQLibraryCategory* VXQLibrary::allItemsCategory() const
{
    return m_allItems.get();
}

VXQFixedLengthLibraryCategory* VXQLibrary::recentlyUsedCategory() const
{
    return m_recentlyUsed.get();
}

VXQFixedLengthLibraryCategory* VXQLibrary::recentlyAddedCategory() const
{
    return m_recentlyAdded.get();
}

QList<VXQLibraryCategory*> VXQLibrary::standardCategories() const
{
    QList<VXQLibraryCategory*> standard;
    for (VXQLibraryCategory* category : {static_cast<VXQLibraryCategory*>(m_allItems.get()),
                                         static_cast<VXQLibraryCategory*>(m_recentlyAdded.get()),
                                         static_cast<VXQLibraryCategory*>(m_recentlyUsed.get())})
        if (category)
            standard.append(category);
    return standard;
}

QList<VXQLibraryCategory*> VXQLibrary::categoriesWithItem(const VXQLibraryItem* item) const
{
    QList<VXQLibraryCategory*> found;
    for (VXQLibraryCategory* category : categories())
        category->categoriesWithItem(item, found);
    return found;
}

VXQLibraryElementContainer* VXQLibrary::itemWithIdentifier(const QString& identifier) const
{
    const QStringList parts = identifier.split(u'.');
    if (parts.size() < 3 || parts[0] != m_group || parts[1] != QString(displayName()).remove(u'.'))
        return nullptr;
    const VXQLibraryElementContainer* current = this;
    for (qsizetype i = 2; i < parts.size() && current; ++i)
        current = current->subContainerWithName(parts[i]);
    return const_cast<VXQLibraryElementContainer*>(current);
}

void VXQLibrary::categoryDidChange(VXQLibraryCategory*)
{
    if (!m_loadingFromDisk)
        categoryFileContentDidChange();
}

void VXQLibrary::categoryFileContentDidChange()
{
    // Written when the command's turn ends, not at quit: a session killed, or ended by its display
    // going away, keeps its changes.
    m_needsUpdateOnDisk = true;
    scheduleCategoryFileWrite();
}

void VXQLibrary::itemUpdateCouldAffectCategories(VXQLibraryItem* item)
{
    if (m_loadingFromDisk)
        return;
    for (VXQLibraryCategory* category : categories())
        category->itemUpdateCouldAffectCategories(item);
    categoryFileContentDidChange();
}

// --- Items ----------------------------------------------------------------------------------

QList<VXQLibraryItemPtr> VXQLibrary::items() const
{
    return m_itemsKeyedByID.values();
}

VXQLibraryItem* VXQLibrary::itemWithUniqueID(const QString& key) const
{
    if (!ZQ_EXPECT(!key.isEmpty(), "no id given"))
        return nullptr;
    return m_itemsKeyedByID.value(key).get();
}

bool VXQLibrary::containsUniqueID(const QString& key) const
{
    return !key.isEmpty() && m_itemsKeyedByID.contains(key);
}

VXQLibraryItem* VXQLibrary::itemWithName(const QString& name) const
{
    VXQLibraryItem* found = nullptr;
    const auto [first, last] = itemsByFoldedName().equal_range(name.toCaseFolded());
    for (auto named = first; named != last; ++named) {
        if ((*named)->name() == name)
            return *named;
        found = *named;
    }
    return found;
}

QMultiHash<QString, VXQLibraryItem*>& VXQLibrary::itemsByFoldedName() const
{
    if (!m_itemsByFoldedName) {
        m_itemsByFoldedName.emplace();
        m_itemsByFoldedName->reserve(m_itemsKeyedByID.size());
        for (const VXQLibraryItemPtr& item : m_itemsKeyedByID)
            m_itemsByFoldedName->insert(item->name().toCaseFolded(), item.get());
    }
    return *m_itemsByFoldedName;
}

void VXQLibrary::indexItemUnderName(VXQLibraryItem* item, const QString& name)
{
    if (m_itemsByFoldedName)
        m_itemsByFoldedName->insert(name.toCaseFolded(), item);
}

void VXQLibrary::unindexItemUnderName(VXQLibraryItem* item, const QString& name)
{
    if (m_itemsByFoldedName)
        m_itemsByFoldedName->remove(name.toCaseFolded(), item);
}

void VXQLibrary::itemNameDidChange(const VXQLibraryItem* item, const QString& oldName, const QString& newName)
{
    const VXQLibraryItemPtr member = m_itemsKeyedByID.value(item->uniqueKey());
    if (member.get() != item)
        return;
    unindexItemUnderName(member.get(), oldName);
    indexItemUnderName(member.get(), newName);
}

QString VXQLibrary::uniqueItemNameExcluding(const QString& name, const VXQLibraryItem* excluded) const
{
    const QMultiHash<QString, VXQLibraryItem*>& index = itemsByFoldedName();
    const auto taken = [&](const QString& candidate) {
        const auto [first, last] = index.equal_range(candidate.toCaseFolded());
        return std::any_of(first, last, [&](const VXQLibraryItem* named) { return named != excluded; });
    };
    if (!taken(name))
        return name;
    for (qint64 n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1-%2").arg(name).arg(n);
        if (!taken(candidate))
            return candidate;
    }
}

void VXQLibrary::enterLoadedItem(const VXQLibraryItemPtr& item)
{
    VXQLibraryItemPtr& entry = m_itemsKeyedByID[item->uniqueKey()];
    // A category file may list an item twice: it is entered once.
    if (entry == item)
        return;
    if (entry && m_itemsByFoldedName)
        unindexItemUnderName(entry.get(), entry->name());
    entry = item;
    ++m_membershipGeneration;
    item->setLibrary(this);
    // Asked only when indexed: a name made on first asking takes an ad-hoc number.
    if (m_itemsByFoldedName)
        indexItemUnderName(item.get(), item->name());
}

void VXQLibrary::addItemNotifying(const VXQLibraryItemPtr& item, bool notify)
{
    if (!ZQ_EXPECT(item, "nil passed to -addItem:notifying:"))
        return;
    if (m_updatingManagedCategories)
        return;
    if ((!m_loadingFromDisk && !m_allowsContentChanges) || m_itemsKeyedByID.contains(item->uniqueKey()))
        return;
    if (!ZQ_EXPECT(!item->uniqueKey().isEmpty(), "a valid key is required"))
        return;
    enterLoadedItem(item);
    if (m_loadingFromDisk)
        return;
    m_needsUpdateOnDisk = true;
    m_updatingManagedCategories = true;
    if (m_recentlyAdded)
        m_recentlyAdded->addItem(item);
    m_allItems->addItem(item);
    m_updatingManagedCategories = false;
    item->writeToFile();
    if (notify)
        postNotification(kVXQLibraryDidAddItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item.get())}});
    scheduleCategoryFileWrite();
}

void VXQLibrary::scheduleCategoryFileWrite()
{
    // A command that adds many items writes the category file once, when its turn ends.
    static const QByteArray key("writeCategoryFile");
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    m_categoryWriteScheduled = true;
    platform::RunLoop::performAfterDelay(this, [this] { writeCategoryFile(); }, 0, key);
}

void VXQLibrary::removeFromAllCategories(VXQLibraryItem* item)
{
    for (VXQLibraryCategory* category : categories())
        category->removeItemEverywhere(item);
}

void VXQLibrary::forgetItem(VXQLibraryItem* item)
{
    if (const auto entry = m_itemsKeyedByID.find(item->uniqueKey()); entry != m_itemsKeyedByID.end()) {
        if (m_itemsByFoldedName)
            unindexItemUnderName(entry->get(), (*entry)->name());
        m_itemsKeyedByID.erase(entry);
        ++m_membershipGeneration;
    }
    m_updatingManagedCategories = true;
    removeFromAllCategories(item);
    m_updatingManagedCategories = false;
}

void VXQLibrary::removeItem(VXQLibraryItem* item)
{
    if (!ZQ_EXPECT(item, "nil passed to -removeItem:"))
        return;
    if (!m_allowsContentChanges || !m_itemsKeyedByID.contains(item->uniqueKey()))
        return;
    const VXQLibraryItemPtr kept = m_itemsKeyedByID.value(item->uniqueKey());
    forgetItem(item);
    item->deleteOnDisk();
    item->setLibrary(nullptr);
    categoryFileContentDidChange();
    postNotification(kVXQLibraryDidRemoveItem, {{QStringLiteral("item"), QVariant::fromValue<QObject*>(item)}});
    postNotification(kVXQLibraryContentDidChange);
}

bool VXQLibrary::trashItems(const QList<VXQLibraryItemPtr>& items, QStringList* notTrashed)
{
    if (items.isEmpty() || !m_allowsContentChanges)
        return false;
    QStringList failed;
    QList<VXQLibraryItemPtr> moved;
    for (const VXQLibraryItemPtr& item : items) {
        if (LibraryTrash::moveToTrash(item->path()))
            moved.append(item);
        else
            failed.append(item->filename());
    }
    if (notTrashed)
        for (const VXQLibraryItemPtr& item : items)
            if (!moved.contains(item))
                notTrashed->append(item->name());
    if (!failed.isEmpty())
        LogEvent(kFileEvent, QStringLiteral("deletion of items {%1} failed, path = %2").arg(failed.join(u", "), path()));
    for (const VXQLibraryItemPtr& item : std::as_const(moved))
        forgetItem(item.get());
    if (!moved.isEmpty()) {
        m_needsUpdateOnDisk = true;
        writeCategoryFile();
    }
    return failed.isEmpty();
}

VXQLibraryItemPtr VXQLibrary::transferItemToCategoryMakingCopy(const VXQLibraryItemPtr& item, VXQLibraryCategory* category,
                                                               bool makingCopy)
{
    VXQLibrary* source = item->library();
    if (source == this || !m_allowsContentChanges || containsUniqueID(item->uniqueKey()))
        return nullptr;
    const bool substitutes = source && source->group() == kVXQLibraryDocumentGroupName &&
                             item->classCode() == LibraryObjects::kStyleClassCode;
    VXQLibraryItemPtr moving;
    if (substitutes || makingCopy) {
        moving = std::dynamic_pointer_cast<VXQLibraryItem>(item->copy());
        if (!moving)
            return nullptr;
    } else {
        if (source && !source->allowsContentChanges())
            return nullptr;
        moving = item;
    }
    const QString newName = uniqueItemName(moving->name());
    const QString target = path().isEmpty() ? QString() : path() + u'/' + newName + u'.' + LibraryItemPackage::kExtension;
    if (item->hasValidPath() && !target.isEmpty()) {
        LogEvent(kFileEvent, QStringLiteral("will attempt to copy file, src = '%1', dest = '%2'").arg(item->path(), target));
        if (!copyFolder(item->path(), target)) {
            LogEvent(kFileEvent, QStringLiteral("failed to copy item: %1, error = copy failed").arg(item->name()));
            QDir(target).removeRecursively();
            return nullptr;
        }
    }
    if (moving == item && source)
        source->removeItem(item.get());
    moving->setLibrary(this);
    moving->adoptNameWithoutMoving(newName);
    if (category)
        category->addItem(moving);
    else
        addItem(moving);
    itemUpdateCouldAffectCategories(moving.get());
    if (substitutes)
        postNotification(kVXQStyleSubstitutionWasPerformed,
                         {{QStringLiteral("old_style"), QVariant::fromValue(item->representedObject())},
                          {QStringLiteral("new_style"), QVariant::fromValue(moving->representedObject())}});
    return moving;
}

void VXQLibrary::useItem(VXQLibraryItem* item)
{
    if (m_recentlyUsed && item)
        m_recentlyUsed->renewItem(std::static_pointer_cast<VXQLibraryItem>(item->shared_from_this()));
}

void VXQLibrary::addUnknownItemsFromSet(const QList<ZQObjectPtr>& objects)
{
    const QList<VXQLibraryItemPtr> unknown = VXQLibraryItem::libraryItemsWithUnknownObjectsInGroups(objects, {});
    for (const VXQLibraryItemPtr& item : unknown)
        addItem(item);
    if (!unknown.isEmpty() || m_needsUpdateOnDisk)
        updateOnDisk();
}

std::optional<QStringList> VXQLibrary::orphanedItems() const
{
    const QDir folder(path());
    if (path().isEmpty() || !folder.exists()) {
        LogEvent(kFileEvent, QStringLiteral("scan for orphaned items failed: %1").arg(path()));
        return std::nullopt;
    }
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (entries.size() == m_itemsKeyedByID.size() + 1)
        return QStringList();
    QStringList orphans;
    for (const QString& entry : entries) {
        if (QFileInfo(entry).suffix() != LibraryItemPackage::kExtension)
            continue;
        const std::optional<QVariantMap> info = LibraryItemPackage::readInfo(folder.filePath(entry));
        if (info && !containsUniqueID(info->value(QStringLiteral("id")).toString()))
            orphans.append(entry);
    }
    return orphans;
}

// --- Disk -----------------------------------------------------------------------------------

QString VXQLibrary::originalCategoryFilePath() const
{
    if (m_noDisk || m_path.isEmpty())
        return {};
    return path() + u'/' + internalName() + u'.' + categoryFileExtension();
}

QString VXQLibrary::categoryFilePath()
{
    if (m_noDisk || m_path.isEmpty())
        return {};
    if (!isFactoryLibrary())
        return originalCategoryFilePath();
    const QString userCopy = userLibrariesFolder() + u'/' + internalName() + u'.' + categoryFileExtension();
    if (entryExists(userCopy))
        return userCopy;
    if (!QDir().mkpath(userLibrariesFolder())) {
        LogEvent(kFileEvent, QStringLiteral("unable to user symbol libraries folder '%1', error = mkpath failed")
                                 .arg(userLibrariesFolder()));
        return {};
    }
    const QString factoryFile = factoryCategoryFilePath();
    if (!QFile::copy(factoryFile, userCopy)) {
        LogEvent(kFileEvent, QStringLiteral("unable to install category file for library '%1', error = copy failed")
                                 .arg(internalName()));
        return factoryFile;
    }
    QFile::setPermissions(userCopy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return userCopy;
}

bool VXQLibrary::createOnDisk()
{
    if (m_noDisk)
        return false;
    if (!isFactoryLibrary() && !QDir().mkpath(path())) {
        LogEvent(kFileEvent, QStringLiteral("Library directory could not be created at path '%1'. Error = mkpath failed")
                                 .arg(path()));
        m_noDisk = true;
        return false;
    }
    const QString categoryFile = categoryFilePath();
    if (categoryFile.isEmpty())
        return false;
    if (entryExists(categoryFile)) {
        // Only a factory library's user copy can fall behind: elsewhere the two files are one.
        if (categoryFile != originalCategoryFilePath() && versionInCategoryFile(categoryFile) < versionNumber()) {
            LogEvent(kFileEvent, QStringLiteral("categories file will be replaced (library: %1) - old version").arg(name()));
            const QString original = isFactoryLibrary() ? factoryCategoryFilePath() : originalCategoryFilePath();
            if (const std::optional<QByteArray> bytes = platform::readRegularFile(original, kMaximumCategoryFileSize))
                platform::writeRegularFileAtomically(categoryFile, *bytes);
        }
    } else {
        m_needsUpdateOnDisk = true;
        writeCategoryFile();
    }
    return true;
}

std::optional<QVariantMap> VXQLibrary::categoryFileInfo(QString* reason) const
{
    const QString file = const_cast<VXQLibrary*>(this)->categoryFilePath();
    if (file.isEmpty() || !entryExists(file))
        return std::nullopt;
    QString why;
    const std::optional<QByteArray> bytes = platform::readRegularFile(file, kMaximumCategoryFileSize, &why);
    QuorvaneError error;
    const std::optional<QVariant> plist = bytes ? platform::PropertyList::fromData(*bytes, &error) : std::nullopt;
    if (!plist || plist->typeId() != QMetaType::QVariantMap) {
        if (bytes)
            why = plist ? QStringLiteral("it holds no dictionary") : error.localizedDescription();
        LogEvent(kFileEvent, QStringLiteral("an error occurred when reading the category list file '%1': %2").arg(file, why));
        if (reason)
            *reason = why;
        return std::nullopt;
    }
    return plist->toMap();
}

void VXQLibrary::keepDamagedCategoryFile(const QString& file, const QString& reason)
{
    // What a library that did not load would write is less than the file held.
    m_loadFailed = true;
    m_needsUpdateOnDisk = false;
    m_allowsContentChanges = false;
    m_allowsCategoryChanges = false;
    const QString aside =
        platform::reasonIsNotRegularFile(file).isEmpty() ? platform::moveAside(file, QStringLiteral("damaged")) : QString();
    const QString message = tr("The library “%1” could not be opened.").arg(displayName());
    platform::ProblemReporter::report(
        message, aside.isEmpty()
                     ? tr("Its category file “%1” could not be read (%2). The library is shown empty and is not changed.")
                           .arg(file, reason)
                     : tr("Its category file could not be read (%1) and was kept as “%2”. The library is shown empty "
                          "and is not changed.")
                           .arg(reason, aside));
}

void VXQLibrary::load()
{
    QString reason;
    const std::optional<QVariantMap> info = categoryFileInfo(&reason);
    if (!info) {
        if (!reason.isEmpty())
            keepDamagedCategoryFile(categoryFilePath(), reason);
        else
            LogEvent(kFileEvent, QStringLiteral("category index file not found - need to load items by scanning disk (not implemented)"));
        return;
    }
    m_loadingFromDisk = true;
    const auto text = [&](const char* key) {
        const QVariant value = info->value(QLatin1String(key));
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    if (info->contains(QStringLiteral("creator")))
        m_creator = text("creator");
    m_description = text("desc");
    if (const QString group = text("peer_group"); !group.isEmpty()) {
        m_group = group;
        m_hasPreferredGroup = true;
    }
    loadItems(info->value(QStringLiteral("allitems")).toList());
    for (const QVariant& entry : info->value(QStringLiteral("categories")).toList()) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap categoryInfo = entry.toMap();
        // Only whole categories at the top; items listed here are no categories.
        if (!categoryInfo.contains(QStringLiteral("class")))
            continue;
        auto category = std::dynamic_pointer_cast<VXQLibraryCategory>(libraryElementWithInfoLibrary(categoryInfo, this));
        if (category && category->container() != this)
            addCategory(category);
    }
    const auto flag = [&](const char* key) {
        const QVariant value = info->value(QLatin1String(key));
        return value.typeId() == QMetaType::Bool && value.toBool();
    };
    m_allowsContentChanges = flag("contX");
    m_allowsCategoryChanges = flag("catX");
    m_loadingFromDisk = false;
    m_needsUpdateOnDisk = false;
}

void VXQLibrary::loadItems(const QVariantList& entries)
{
    for (const QVariant& entry : entries) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap itemInfo = entry.toMap();
        if (itemInfo.contains(QStringLiteral("class")))
            continue;
        if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(libraryElementWithInfoLibrary(itemInfo, this))) {
            enterLoadedItem(item);
            m_allItems->addItem(item);
        }
    }
}

QVariantMap VXQLibrary::libraryInfo() const
{
    QVariantList allItems;
    allItems.reserve(m_itemsKeyedByID.size());
    for (const VXQLibraryItemPtr& item : m_itemsKeyedByID)
        allItems.append(item->elementInfo());
    QVariantList categoryEntries;
    for (VXQLibraryCategory* category : categories())
        if (category != m_allItems.get())
            categoryEntries.append(category->elementInfo());
    QVariantMap info{
        {QStringLiteral("allitems"), allItems},
        {QStringLiteral("categories"), categoryEntries},
        {QStringLiteral("checksum"), quint64(allItems.size())},
        {QStringLiteral("libname"), internalName()},
        {QStringLiteral("updated"), QDateTime::currentDateTimeUtc()},
        {QStringLiteral("contX"), m_allowsContentChanges && !isFactoryLibrary()},
        {QStringLiteral("catX"), m_allowsCategoryChanges},
        {QStringLiteral("display_name"), displayName()},
        {QStringLiteral("version"), const_cast<VXQLibrary*>(this)->versionNumber()},
    };
    if (m_hasPreferredGroup && !m_group.isEmpty())
        info.insert(QStringLiteral("peer_group"), m_group);
    if (!m_description.isEmpty())
        info.insert(QStringLiteral("desc"), m_description);
    if (!m_creator.isEmpty())
        info.insert(QStringLiteral("creator"), m_creator);
    return info;
}

QByteArray VXQLibrary::categoryFileData() const
{
    QuorvaneError error;
    const std::optional<QByteArray> data =
        platform::PropertyList::toData(libraryInfo(), platform::PropertyList::Format::Binary, &error);
    if (!data)
        LogEvent(kFileEvent, QStringLiteral("an error occurred when serializing categories list: %1").arg(error.localizedDescription()));
    return data.value_or(QByteArray());
}

bool VXQLibrary::writeCategoryFile()
{
    m_categoryWriteScheduled = false;
    if (!m_needsUpdateOnDisk || m_noDisk || m_loadFailed)
        return false;
    const QString file = categoryFilePath();
    LogEvent(kFileEvent, QStringLiteral("writing category file: %1").arg(file));
    const QByteArray data = categoryFileData();
    if (file.isEmpty() || data.isEmpty())
        return false;
    QString reason;
    if (!platform::writeRegularFileAtomically(file, data, &reason)) {
        LogEvent(kFileEvent, QStringLiteral("category file '%1' could not be written: %2").arg(file, reason));
        // Said once: every later change tries again, and the problem stays until one succeeds.
        const QString problem = tr("Its category file “%1” could not be written: %2.").arg(file, reason);
        if (std::exchange(m_writeProblem, problem).isEmpty())
            platform::ProblemReporter::report(tr("The library “%1” could not be saved.").arg(displayName()), problem);
        return false;
    }
    m_needsUpdateOnDisk = false;
    m_writeProblem.clear();
    return true;
}

bool VXQLibrary::updateOnDiskUnloadingItems(bool unload)
{
    if (m_noDisk || m_loadFailed || !createOnDisk())
        return false;
    const bool written = !m_needsUpdateOnDisk || writeCategoryFile();
    if (unload)
        for (const VXQLibraryItemPtr& item : std::as_const(m_itemsKeyedByID))
            item->unload();
    return written;
}

void VXQLibrary::writeZipFileAtURLNotifyingDelegate(const QUrl& url, QObject* delegate)
{
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(
        std::static_pointer_cast<VXQLibrary>(shared_from_this()), delegate, url);
}

bool VXQLibrary::moveToTrash()
{
    if (isFactoryLibrary() || m_noDisk)
        return false;
    updateOnDisk();
    if (!LibraryTrash::moveToTrash(path())) {
        LogEvent(kFileEvent, QStringLiteral("failed to move %1 to trash").arg(path()));
        return false;
    }
    m_needsUpdateOnDisk = false;
    return true;
}

bool VXQLibrary::deleteOnDisk()
{
    if (isFactoryLibrary() || m_noDisk)
        return false;
    if (!QDir(path()).removeRecursively()) {
        LogEvent(kFileEvent, QStringLiteral("unable to delete library %1").arg(path()));
        return false;
    }
    m_needsUpdateOnDisk = false;
    return true;
}

void VXQLibrary::applicationWillQuit()
{
    ZQLog(QStringLiteral("app terminating, updating lib %1 (will write = %2)").arg(name()).arg(int(m_needsUpdateOnDisk)));
    if (!m_needsUpdateOnDisk || !m_allowsCategoryChanges || updateOnDisk() || m_writeProblem.isEmpty())
        return;
    // No later change will try again: the changes are lost, and said to be once, not per call.
    m_needsUpdateOnDisk = false;
    platform::ProblemReporter::reportWhileQuitting(
        tr("The library “%1” could not be saved.").arg(displayName()),
        tr("%1 Its changes since then are not saved.").arg(m_writeProblem));
}

void VXQLibrary::reportUnsavedChangesAtExit() const
{
    if (!m_categoryWriteScheduled && !(m_needsUpdateOnDisk && m_allowsCategoryChanges))
        return;
    // Only the library's own fields: writing now would reach shared objects (predicates, the
    // log) that the ending process may have destroyed already.
    const QString why = m_writeProblem.isEmpty() ? QStringLiteral("The application ended before they were written.")
                                                 : m_writeProblem;
    std::fprintf(stderr, "The library “%s” could not be saved. %s Its latest changes are lost.\n",
                 qUtf8Printable(displayName()), qUtf8Printable(why));
}

bool VXQLibrary::needsCategoryFileMerge()
{
    if (!isFactoryLibrary() || !m_allowsCategoryChanges)
        return false;
    const auto user = platform::readRegularFile(categoryFilePath(), kMaximumCategoryFileSize);
    const auto factory = platform::readRegularFile(factoryCategoryFilePath(), kMaximumCategoryFileSize);
    return user && factory && *user != *factory;
}

bool VXQLibrary::mergeCategoryFile()
{
    if (!needsCategoryFileMerge())
        return false;
    const auto bytes = platform::readRegularFile(factoryCategoryFilePath(), kMaximumCategoryFileSize);
    const std::optional<QVariant> plist = bytes ? platform::PropertyList::fromData(*bytes) : std::nullopt;
    if (!plist || plist->typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap info = plist->toMap();
    m_loadingFromDisk = true;
    loadItems(info.value(QStringLiteral("allitems")).toList());
    for (const QVariant& entry : info.value(QStringLiteral("categories")).toList()) {
        const QVariantMap categoryInfo = entry.toMap();
        const QString name = categoryInfo.value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            continue;
        if (VXQLibraryCategory* category = addCategoryWithName(name))
            category->mergeIfNeededUsingInfoLibrary(categoryInfo, this);
    }
    m_loadingFromDisk = false;
    m_needsUpdateOnDisk = true;
    updateOnDisk();
    return true;
}

// --- Ad-hoc names ---------------------------------------------------------------------------

QString VXQLibrary::adHocSeedKey() const
{
    return QStringLiteral("kVXQLibraryAdHocNameSeed_%1").arg(name());
}

QString VXQLibrary::nextAdHocStyleNameWithCollection(bool withCollection)
{
    m_adHocSeedValue = (m_adHocSeedValue + 1) % 10000;
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(qint64(m_adHocSeedValue), adHocSeedKey());
    const QString style = QCoreApplication::translate("VXQLibrary", "Style");
    return withCollection ? QStringLiteral("%1 %2 (%3)").arg(style).arg(m_adHocSeedValue).arg(name())
                          : QStringLiteral("%1 %2").arg(style).arg(m_adHocSeedValue);
}

void VXQLibrary::resetAdHocStyleName()
{
    m_adHocSeedValue = 0;
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(0, adHocSeedKey());
}

QString VXQLibrary::nameForCopyOfStyle(const VXStyle&) const
{
    return const_cast<VXQLibrary*>(this)->nextAdHocStyleNameWithCollection(false);
}

// --- Archived references --------------------------------------------------------------------

void VXQLibrary::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(path(), QStringLiteral("VXQLibrary_path"));
    coder.encodeString(internalName().isEmpty() ? name() : internalName(), QStringLiteral("VXQLibrary_name"));
    coder.encodeBool(isFactoryLibrary(), QStringLiteral("VXQLibrary_inFactory"));
    coder.encodeBool(hasPresenceOnDisk(), QStringLiteral("VXQLibrary_onDisk"));
}

void VXQLibrary::initWithCoder(platform::KeyedUnarchiver& coder)
{
    // A reference only: nothing is read from or written to disk here.
    m_noDisk = !coder.decodeBool(QStringLiteral("VXQLibrary_onDisk"));
    if (!m_noDisk)
        m_path = withoutExtension(coder.decodeString(QStringLiteral("VXQLibrary_path")));
    else
        VXQLibraryElement::setName(coder.decodeString(QStringLiteral("VXQLibrary_name")));
}

ZQObjectPtr VXQLibrary::awakeAfterUsingCoder(platform::KeyedUnarchiver&)
{
    const QString wanted = m_noDisk ? VXQLibraryElement::name() : internalName();
    if (VXQLibraryPtr registered = libraryWithName(wanted); registered && registered.get() != this)
        return registered;
    LogEvent(kFileEvent, QStringLiteral("library '%1' could not be found in libraries after decoding").arg(wanted));
    return shared_from_this();
}

void VXQLibrary::postNotification(const QString& name, const QVariantMap& userInfo)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(name, this, userInfo);
}
