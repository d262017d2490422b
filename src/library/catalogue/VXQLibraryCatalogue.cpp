#include "library/catalogue/VXQLibraryCatalogue.h"

#include "app/utilities/FileUtilities.h"
#include "app/application/VLTMApplication.h"
#include "library/items/LibraryItemPackage.h"
#include "library/items/LibraryObjects.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/TreeCopy.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdlib>

namespace {

constexpr qint64 kMaximumCategoryFileSize = qint64(64) << 20;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

void postFromCatalogue(const QString& name, VXQLibrary* library = nullptr)
{
    QVariantMap userInfo;
    if (library)
        userInfo.insert(QStringLiteral("library"), QVariant::fromValue<QObject*>(library));
    platform::NotificationCenter::defaultCenter().postNotificationName(name, VXQLibraryCatalogue::shared(), userInfo);
}

VXQLibraryPtr sharedLibrary(VXQLibrary* library)
{
    return library ? std::static_pointer_cast<VXQLibrary>(library->shared_from_this()) : nullptr;
}

// Imports copy whole folders: one deeper, more crowded or larger than any library is refused,
// and so is a file no item could be read from.
constexpr platform::TreeCopyLimits kImportLimits{64, 500000, qint64(2) << 30, LibraryItemPackage::kMaximumDataSize};

// A user library may name its own group, but not one whose folders are read-only or deleted at quit.
QString groupForUserLibrary(const QString& named)
{
    if (named.isEmpty() || named == kVXQLibraryDocumentGroupName || named == kVXQLibraryFactoryGroupName)
        return kVXQLibraryUserGroupName;
    return named;
}

// After a quit the catalogue holds no library any more; the groups outlive every static object.
void reportUnsavedChangesAtExit()
{
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        for (const VXQLibraryElementPtr& element : group->elements())
            if (auto* library = qobject_cast<VXQLibrary*>(element.get()))
                library->reportUnsavedChangesAtExit();
}

QString capitalised(const QString& word)
{
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1).toLower();
}

} // namespace

VXQLibraryCatalogue* VXQLibraryCatalogue::shared()
{
    static VXQLibraryCatalogue* catalogue = new VXQLibraryCatalogue;
    return catalogue;
}

void VXQLibraryCatalogue::initialize()
{
    VXQLibraryCatalogue* self = shared();
    if (self->m_initialized)
        return;
    self->m_initialized = true;
    // Cleared before discovery, so that libraries left by an earlier run are not listed.
    if (documentLibrariesAreTemporary())
        QDir(documentLibraryFolder()).removeRecursively();
    allLibraries();
    defaultUserLibrary();
    // The process may end without quitting, when the display goes away.
    if (!std::exchange(self->m_reportsUnsavedChangesAtExit, true))
        std::atexit(reportUnsavedChangesAtExit);
}

QString VXQLibraryCatalogue::documentLibraryFolder()
{
    return userLibraryFolder() + QStringLiteral("/Temporary Document Libraries");
}

// --- Discovery -------------------------------------------------------------------------------------

QList<VXQLibraryPtr> VXQLibraryCatalogue::factoryLibraries()
{
    VXQLibraryGroup* group = VXQLibraryGroup::factoryGroup();
    if (shared()->m_factoryDiscovered || group->librariesLoaded())
        return group->libraries().value_or(QList<VXQLibraryPtr>());
    shared()->m_factoryDiscovered = true;
    QList<VXQLibraryPtr> libraries = librariesAtPath(VXQLibrary::factoryLibrariesFolder());
    for (const VXQLibraryPtr& library : libraries) {
        library->setAllowsContentChanges(false);
        library->setAllowsCategoryChanges(true);
    }
    group->setLibraries(libraries);
    return group->libraries().value_or(QList<VXQLibraryPtr>());
}

std::optional<QList<VXQLibraryPtr>> VXQLibraryCatalogue::userLibraries()
{
    VXQLibraryGroup* group = VXQLibraryGroup::userGroup();
    if (shared()->m_userDiscovered || group->librariesLoaded()) {
        shared()->m_userDiscovered = true;
        return group->libraries();
    }
    shared()->m_userDiscovered = true;
    for (const VXQLibraryPtr& library : librariesAtPath(userLibraryFolder())) {
        addLibraryToGroupReplaceExisting(library, groupForUserLibrary(library->group()), false);
    }
    if (group->count() == 0) {
        group->setLibraries({});
        return std::nullopt;
    }
    return group->libraries();
}

QList<VXQLibraryPtr> VXQLibraryCatalogue::documentsLibraries()
{
    VXQLibraryGroup* group = VXQLibraryGroup::documentsGroup();
    if (group->count() > 0)
        return group->libraries().value_or(QList<VXQLibraryPtr>());
    const QList<VXQLibraryPtr> found = librariesAtPath(documentLibraryFolder());
    if (!found.isEmpty())
        group->setLibraries(found);
    return found;
}

QList<VXQLibraryGroupPtr> VXQLibraryCatalogue::allLibraries()
{
    factoryLibraries();
    userLibraries();
    documentsLibraries();
    return VXQLibraryGroup::allGroups();
}

QString VXQLibraryCatalogue::displayNameForGroup(const QString& groupName)
{
    return QCoreApplication::translate("VXQLibraryGroup", groupName.toUtf8().constData());
}

std::optional<QList<VXQLibraryPtr>> VXQLibraryCatalogue::librariesInGroup(const QString& groupName)
{
    if (!ZQ_EXPECT(!groupName.isNull(), "group name was nil"))
        return std::nullopt;
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(groupName);
    return group ? group->libraries() : std::nullopt;
}

QList<VXQLibraryPtr> VXQLibraryCatalogue::librariesAtPath(const QString& folder)
{
    QList<VXQLibraryPtr> libraries;
    const QStringList filter{u"*." + VXQLibrary::libraryExtension()};
    for (const QFileInfo& entry : QDir(folder).entryInfoList(filter, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        if (VXQLibraryPtr library = VXQLibrary::libraryWithPathAddingStandardCategories(entry.filePath(), false);
            library && library->hasPresenceOnDisk())
            libraries.append(library);
    std::sort(libraries.begin(), libraries.end(), [](const VXQLibraryPtr& a, const VXQLibraryPtr& b) {
        return QString::localeAwareCompare(a->name(), b->name()) < 0;
    });
    return libraries;
}

void VXQLibraryCatalogue::addLibraryToGroupReplaceExisting(const VXQLibraryPtr& library, const QString& groupName,
                                                           bool replaceExisting)
{
    if (!ZQ_EXPECT(library, "unable to add nil library") || !ZQ_EXPECT(!groupName.isNull(), "no group name was specified")
        || !ZQ_EXPECT(!groupName.isEmpty(), "group name was empty"))
        return;
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(groupName);
    if (!group) {
        VXQLibraryGroup::registerGroup(VXQLibraryGroup::groupWithNameLibraries(groupName, std::nullopt));
        group = VXQLibraryGroup::groupWithName(groupName);
    }
    if (replaceExisting)
        if (VXQLibrary* same = group->libraryWithPath(library->path()); same && same != library.get())
            group->removeLibrary(same);
    group->addLibrary(library);
}

void VXQLibraryCatalogue::removeLibraryFromGroup(VXQLibrary* library, const QString& groupName)
{
    if (!ZQ_EXPECT(library, "cannot remove nil library"))
        return;
    if (VXQLibraryGroup* group = groupName.isNull() ? nullptr : VXQLibraryGroup::groupWithName(groupName))
        group->removeLibrary(library);
    // Kept as the default, its stored name would make it again, empty, at the next look-up.
    if (shared()->m_defaultUserLibrary == library)
        setDefaultUserLibrary(nullptr);
}

// --- Look-ups ---------------------------------------------------------------------------------------

VXQLibrary* VXQLibraryCatalogue::libraryWithName(const QString& name)
{
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        if (VXQLibrary* library = group->libraryWithName(name))
            return library;
    return nullptr;
}

VXQLibrary* VXQLibraryCatalogue::libraryWithNameInGroup(const QString& name, const QString& groupName)
{
    if (groupName.isNull())
        return libraryWithName(name);
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(groupName);
    return group ? group->libraryWithName(name) : nullptr;
}

VXQLibrary* VXQLibraryCatalogue::libraryContainingIdentifier(const QString& identifier)
{
    const QStringList parts = identifier.split(u'.');
    if (parts.size() < 2)
        return nullptr;
    VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(parts[0]);
    if (!group)
        return nullptr;
    // Identifiers carry dot-free names, so "Roads v1.2" is found as "Roads v12".
    for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
        if (library->cleanName().compare(parts[1], Qt::CaseInsensitive) == 0)
            return library.get();
    return nullptr;
}

VXQLibrary* VXQLibraryCatalogue::libraryContainingItemWithUniqueIDInGroups(const QString& key, const QStringList& groups)
{
    return VXQLibrary::libraryContainingItemWithUniqueIDInGroups(key, groups).get();
}

QList<ZQObjectPtr> VXQLibraryCatalogue::libraryItemsMatchingItemsInSet(const QList<ZQObjectPtr>& objects)
{
    // The libraries proper, not the open documents' own: a document given another open
    // document's object for a style of the same key would change with that document, and a
    // reverted one would get its own edited object back.
    QStringList groups;
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        if (group->name() != kVXQLibraryDocumentGroupName)
            groups.append(group->name());
    QList<ZQObjectPtr> matching;
    for (const ZQObjectPtr& object : objects) {
        const auto libraryObject = LibraryObjects::libraryObjectFor(object);
        const QString key = libraryObject ? libraryObject->uniqueKey() : QString();
        if (key.isEmpty())
            continue;
        ZQObjectPtr replacement;
        if (VXQLibrary* library = groups.isEmpty() ? nullptr : libraryContainingItemWithUniqueIDInGroups(key, groups))
            replacement = library->itemWithUniqueID(key)->representedObject();
        matching.append(replacement ? replacement : object);
    }
    return matching;
}

// --- The default user library -----------------------------------------------------------------------

QString VXQLibraryCatalogue::defaultUserLibraryName()
{
    const QString stored = defaults().stringForKey(kVXQLibraryDefaultUserLibraryName);
    if (!stored.isEmpty())
        return stored;
    const QString first = VLTMApplication::registeredUserName().split(QRegularExpression(QStringLiteral("\\s+")),
                                                                        Qt::SkipEmptyParts)
                              .value(0);
    const QString collection = QCoreApplication::translate("VXQLibrary", "Collection");
    QString name = VXQLibrary::fileSystemName(
        QStringLiteral("%1%2 %3").arg(capitalised(first), QCoreApplication::translate("VXQLibrary", "’s"), collection));
    if (first.isEmpty() || name.isEmpty())
        name = QCoreApplication::translate("VXQLibrary", "My") + u' ' + collection;
    defaults().setObjectForKey(name, kVXQLibraryDefaultUserLibraryName);
    return name;
}

VXQLibrary* VXQLibraryCatalogue::defaultUserLibrary()
{
    if (VXQLibrary* remembered = shared()->m_defaultUserLibrary)
        return remembered;
    const QString name = defaultUserLibraryName();
    VXQLibrary* library = VXQLibraryGroup::userGroup()->libraryWithName(name);
    if (!library) {
        VXQLibraryPtr made = VXQLibrary::libraryWithPath(
            userLibraryFolder() + u'/' + name + u'.' + VXQLibrary::libraryExtension());
        addLibraryToGroupReplaceExisting(made, kVXQLibraryUserGroupName, false);
        library = made.get();
    }
    setDefaultUserLibrary(library);
    return library;
}

void VXQLibraryCatalogue::setDefaultUserLibrary(VXQLibrary* library)
{
    VXQLibraryCatalogue* self = shared();
    if (self->m_defaultUserLibrary == library && (library || !defaults().objectForKey(kVXQLibraryDefaultUserLibraryName).isValid()))
        return;
    auto& center = platform::NotificationCenter::defaultCenter();
    if (self->m_renameObservation)
        center.removeObserver(self->m_renameObservation);
    self->m_renameObservation = 0;
    self->m_defaultUserLibrary = library;
    if (library) {
        defaults().setObjectForKey(library->name(), kVXQLibraryDefaultUserLibraryName);
        VXStyle::setNameProvider(library);
        // A renamed default must still be the default at the next launch.
        self->m_renameObservation = center.addObserver(self, kVXQLibraryDidChangeName, library,
                                                       [self](const platform::Notification&) { self->defaultLibraryWasRenamed(); });
    } else {
        defaults().removeObjectForKey(kVXQLibraryDefaultUserLibraryName);
        VXStyle::setNameProvider(nullptr);
    }
    postFromCatalogue(kVXQLibraryDefaultUserLibraryDidChange);
}

void VXQLibraryCatalogue::defaultLibraryWasRenamed()
{
    if (m_defaultUserLibrary)
        defaults().setObjectForKey(m_defaultUserLibrary->name(), kVXQLibraryDefaultUserLibraryName);
}

QString VXQLibraryCatalogue::uniqueUserLibraryName(const QString& name)
{
    return VXQLibraryGroup::userGroup()->uniqueLibraryName(name);
}

VXQLibraryPtr VXQLibraryCatalogue::userLibraryWithPreferredName(const QString& name)
{
    const QString cleaned = VXQLibrary::fileSystemName(name);
    if (cleaned.isEmpty())
        return nullptr;
    QString unique = uniqueUserLibraryName(cleaned);
    // A folder of that name may be on disk without being registered.
    for (qint64 n = 1; QFileInfo::exists(userLibraryFolder() + u'/' + unique + u'.' + VXQLibrary::libraryExtension()); ++n)
        unique = uniqueUserLibraryName(QStringLiteral("%1 %2").arg(cleaned).arg(n));
    VXQLibraryPtr library =
        VXQLibrary::libraryWithPath(userLibraryFolder() + u'/' + unique + u'.' + VXQLibrary::libraryExtension());
    if (!library->hasPresenceOnDisk())
        return nullptr;
    addLibraryToGroupReplaceExisting(library, kVXQLibraryUserGroupName, false);
    return library;
}

// --- Document libraries ---------------------------------------------------------------------------

VXQLibraryPtr VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(const QString& requested,
                                                                             const QList<ZQObjectPtr>& objects,
                                                                             bool createOnDisk)
{
    if (!ZQ_EXPECT(!requested.isNull(), "unable to make document library - name was nil")
        || !ZQ_EXPECT(!requested.isEmpty(), "unable to make document library - name was empty"))
        return nullptr;
    const QString name = QFileInfo(requested).completeBaseName().isEmpty() ? requested : QFileInfo(requested).completeBaseName();
    QString folder;
    if (createOnDisk) {
        const QString cleaned = VXQLibrary::fileSystemName(name);
        if (cleaned.isEmpty())
            return nullptr;
        folder = documentLibraryFolder() + u'/' + cleaned + u'.' + VXQLibrary::libraryExtension();
        const QFileInfo existing(folder);
        if (existing.exists() && !existing.isDir()) {
            LogEvent(kFileEvent, QStringLiteral("Failed to create library - a (bogus?) file exists at '%1'").arg(folder));
            return nullptr;
        }
        if (existing.isDir() && !QDir(folder).removeRecursively()) {
            LogEvent(kFileEvent, QStringLiteral("Failed to remove old library '%1', error = remove failed").arg(folder));
            return nullptr;
        }
    }
    VXQLibraryPtr library = VXQLibrary::libraryWithPathAddingStandardCategories(folder, true);
    if (folder.isEmpty())
        library->setName(name);
    const QStringList knownGroups{kVXQLibraryUserGroupName, kVXQLibraryFactoryGroupName};
    {
        // Nobody knows the library before it joins its group: a post per item of a map with
        // tens of thousands of styles, each scanning every observer, only held up the opening.
        const platform::NotificationSuspension unseen;
        for (const VXQLibraryItemPtr& item : VXQLibraryItem::libraryItemsWithUnknownObjectsInGroups(objects, knownGroups))
            library->addItemNotifying(item, false);
    }
    library->setAllowsContentChanges(true);
    library->setAllowsCategoryChanges(false);
    addLibraryToGroupReplaceExisting(library, kVXQLibraryDocumentGroupName, true);
    if (createOnDisk)
        library->updateOnDisk();
    postFromCatalogue(kVXQDocumentLibraryWasAddedOrRemoved, library.get());
    return library;
}

void VXQLibraryCatalogue::removeDocumentLibrary(VXQLibrary* library)
{
    if (!documentLibrariesAreTemporary() || !library)
        return;
    const VXQLibraryPtr kept = sharedLibrary(library);
    VXQLibraryGroup::documentsGroup()->removeLibrary(library);
    if (library->hasPresenceOnDisk())
        library->deleteOnDisk();
    postFromCatalogue(kVXQDocumentLibraryWasAddedOrRemoved, library);
}

bool VXQLibraryCatalogue::documentLibrariesAreTemporary()
{
    return defaults().boolForKey(kVXQLibraryDocumentLibsAreTemporary);
}

void VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(bool temporary)
{
    defaults().setBoolForKey(temporary, kVXQLibraryDocumentLibsAreTemporary);
}

// --- Import ---------------------------------------------------------------------------------------------

bool VXQLibraryCatalogue::isValidLibraryAtPath(const QString& path)
{
    const QFileInfo folder(path);
    if (folder.suffix() != VXQLibrary::libraryExtension() || !folder.isDir() || folder.isSymLink())
        return false;
    const QString categoryFile = folder.filePath() + u'/' + folder.completeBaseName() + u'.' + VXQLibrary::categoryFileExtension();
    const std::optional<QByteArray> bytes = platform::readRegularFile(categoryFile, kMaximumCategoryFileSize);
    const std::optional<QVariant> plist = bytes ? platform::PropertyList::fromData(*bytes) : std::nullopt;
    if (!plist || plist->typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap info = plist->toMap();
    const QVariant allItems = info.value(QStringLiteral("allitems"));
    const QVariant checksum = info.value(QStringLiteral("checksum"));
    bool numeric = false;
    const quint64 count = checksum.toULongLong(&numeric);
    return info.contains(QStringLiteral("categories")) && allItems.typeId() == QMetaType::QVariantList && numeric
        && count == quint64(allItems.toList().size());
}

VXQLibraryPtr VXQLibraryCatalogue::importLibraryAtPath(const QString& requested, QString* reason)
{
    const auto refuse = [reason](const QString& why) {
        LogEvent(kFileEvent, QStringLiteral("import copy failed, error: %1").arg(why));
        if (reason)
            *reason = why;
        return VXQLibraryPtr();
    };
    const QString path = QDir::cleanPath(QFileInfo(requested).absoluteFilePath());
    if (!isValidLibraryAtPath(path))
        return refuse(QStringLiteral("it is not a valid collection"));
    const QString userFolder = QDir::cleanPath(QFileInfo(userLibraryFolder()).absoluteFilePath());
    const QFileInfo source(path);
    VXQLibraryPtr library;
    if (source.absolutePath() == userFolder) {
        if (VXQLibrary* installed = libraryWithName(source.completeBaseName())) {
            LogEvent(kFileEvent, QStringLiteral("library is already installed - returning existing library"));
            return sharedLibrary(installed);
        }
        library = VXQLibrary::libraryWithPathAddingStandardCategories(path, false);
    } else {
        if (!QDir().mkpath(userFolder))
            return refuse(QStringLiteral("the folder “%1” could not be made").arg(userFolder));
        QString filename;
        try {
            filename = uniqueFilenameForFilenameInDirectory(source.fileName(), userFolder);
        } catch (const platform::NamedException& exception) {
            return refuse(exception.reason());
        }
        const QString destination = userFolder + u'/' + filename;
        QString why;
        if (!platform::copyTreeWithinLimits(path, destination, kImportLimits, &why))
            return refuse(why);
        const QString newBase = QFileInfo(filename).completeBaseName();
        if (newBase != source.completeBaseName()) {
            const QString from = destination + u'/' + source.completeBaseName() + u'.' + VXQLibrary::categoryFileExtension();
            const QString to = destination + u'/' + newBase + u'.' + VXQLibrary::categoryFileExtension();
            if (!QFile::rename(from, to)) {
                QDir(destination).removeRecursively();
                return refuse(QStringLiteral("its categories file “%1” could not be renamed").arg(from));
            }
        }
        library = VXQLibrary::libraryWithPathAddingStandardCategories(destination, false);
    }
    if (!library || !library->hasPresenceOnDisk() || library->loadFailed())
        return refuse(QStringLiteral("the copy could not be opened"));
    addLibraryToGroupReplaceExisting(library, groupForUserLibrary(library->group()), false);
    return library;
}

void VXQLibraryCatalogue::setFactoryLibrariesWritable(bool writable)
{
    for (const VXQLibraryPtr& library : factoryLibraries())
        library->setAllowsContentChanges(writable);
}

void VXQLibraryCatalogue::applicationWillQuit()
{
    ZQLog(QStringLiteral("VXQLibrary got +applicationWillQuit:"));
    if (documentLibrariesAreTemporary()) {
        for (const VXQLibraryPtr& library : documentsLibraries())
            if (library->hasPresenceOnDisk())
                library->deleteOnDisk();
        VXQLibraryGroup::unregisterGroup(kVXQLibraryDocumentGroupName);
        const QString folder = documentLibraryFolder();
        if (QFileInfo::exists(folder) && !QDir(folder).removeRecursively())
            LogEvent(kFileEvent, QStringLiteral("documents folder not deleted: error = %1").arg(folder));
    }
    // Libraries write what is pending and go while the application still exists, not among
    // the program's static objects after it.
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        for (const VXQLibraryElementPtr& element : group->elements())
            if (auto* library = qobject_cast<VXQLibrary*>(element.get()))
                library->applicationWillQuit();
    releaseLibraries();
}

void VXQLibraryCatalogue::releaseLibraries()
{
    VXQLibraryCatalogue* self = shared();
    if (self->m_renameObservation)
        platform::NotificationCenter::defaultCenter().removeObserver(self->m_renameObservation);
    self->m_renameObservation = 0;
    self->m_defaultUserLibrary = nullptr;
    self->m_initialized = self->m_factoryDiscovered = self->m_userDiscovered = false;
    VXStyle::setNameProvider(nullptr);
    for (const VXQLibraryGroupPtr& group : VXQLibraryGroup::allGroups())
        VXQLibraryGroup::unregisterGroup(group->name());
}

// --- Tests ------------------------------------------------------------------------------------------------

void VXQLibraryCatalogue::forgetEverything()
{
    releaseLibraries();
    defaults().removeObjectForKey(kVXQLibraryDefaultUserLibraryName);
    defaults().removeObjectForKey(kVXQLibraryDocumentLibsAreTemporary);
}

VXQLibraryCatalogue::Scope::Scope()
{
    forgetEverything();
}

VXQLibraryCatalogue::Scope::~Scope()
{
    forgetEverything();
}
