#include "library/groups/VXQLibraryGroup.h"

#include "library/menus/LibraryArtwork.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Never destroyed: when the process ends without quitting, the libraries must not go among the
// static objects, since what they use may have gone before them.
QList<VXQLibraryGroupPtr>& registeredGroups()
{
    static auto* groups = new QList<VXQLibraryGroupPtr>;
    return *groups;
}

VXQLibraryGroup* standardGroup(const QString& name)
{
    if (VXQLibraryGroup* group = VXQLibraryGroup::groupWithName(name))
        return group;
    VXQLibraryGroupPtr group = VXQLibraryGroup::groupWithNameLibraries(name, std::nullopt);
    VXQLibraryGroup::registerGroup(group);
    return group.get();
}

const QList<LibrarySortDescriptor>& byName()
{
    static const QList<LibrarySortDescriptor> descriptors{{QStringLiteral("name"), true}};
    return descriptors;
}

} // namespace

VXQLibraryGroup::VXQLibraryGroup() = default;

VXQLibraryGroup::~VXQLibraryGroup() = default;

// --- Registry ---------------------------------------------------------------------------------

VXQLibraryGroup* VXQLibraryGroup::factoryGroup()
{
    return standardGroup(kVXQLibraryFactoryGroupName);
}

VXQLibraryGroup* VXQLibraryGroup::userGroup()
{
    return standardGroup(kVXQLibraryUserGroupName);
}

VXQLibraryGroup* VXQLibraryGroup::documentsGroup()
{
    return standardGroup(kVXQLibraryDocumentGroupName);
}

VXQLibraryGroup* VXQLibraryGroup::groupWithName(const QString& name)
{
    for (const VXQLibraryGroupPtr& group : std::as_const(registeredGroups()))
        if (group->name() == name)
            return group.get();
    return nullptr;
}

QList<VXQLibraryGroupPtr> VXQLibraryGroup::allGroups()
{
    return registeredGroups();
}

void VXQLibraryGroup::registerGroup(const VXQLibraryGroupPtr& group)
{
    if (!ZQ_EXPECT(group, "can't register nil group") || !ZQ_EXPECT(!group->name().isNull(), "group must have a name")
        || !ZQ_EXPECT(!group->name().isEmpty(), "group must have a valid name"))
        return;
    QList<VXQLibraryGroupPtr>& groups = registeredGroups();
    const auto same = std::find_if(groups.begin(), groups.end(),
                                   [&](const VXQLibraryGroupPtr& g) { return g->name() == group->name(); });
    if (same != groups.end())
        *same = group;
    else
        groups.append(group);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryGroupWasRegistered, group.get());
}

void VXQLibraryGroup::unregisterGroup(const QString& name)
{
    registeredGroups().removeIf([&](const VXQLibraryGroupPtr& group) { return group->name() == name; });
}

VXQLibraryElementContainer::ElementList VXQLibraryGroup::flattenedListOfGroupsAndLibraries()
{
    ElementList list;
    const auto append = [&](VXQLibraryGroup* group) {
        list.append(std::static_pointer_cast<VXQLibraryElement>(group->shared_from_this()));
        for (const VXQLibraryPtr& library : group->libraries().value_or(QList<VXQLibraryPtr>()))
            list.append(library);
    };
    const QStringList standard{kVXQLibraryFactoryGroupName, kVXQLibraryUserGroupName, kVXQLibraryDocumentGroupName};
    for (const QString& name : standard)
        append(standardGroup(name));
    for (const VXQLibraryGroupPtr& group : allGroups())
        if (!standard.contains(group->name()) && group->count() > 0)
            append(group.get());
    return list;
}

VXQLibraryElementPtr VXQLibraryGroup::libraryOrGroupWithUnifiedIndex(qsizetype index)
{
    const ElementList list = flattenedListOfGroupsAndLibraries();
    return index >= 0 && index < list.size() ? list[index] : nullptr;
}

VXQLibraryGroupPtr VXQLibraryGroup::groupWithNameLibraries(const QString& name,
                                                         const std::optional<QList<VXQLibraryPtr>>& libraries)
{
    auto group = std::make_shared<VXQLibraryGroup>();
    group->setElementName(name);
    if (libraries) {
        for (const VXQLibraryPtr& library : *libraries) {
            group->addElement(library);
            group->adopt(library.get());
        }
        group->m_librariesLoaded = true;
    }
    return group;
}

VXQLibraryGroupPtr VXQLibraryGroup::groupWithNameSourcePath(const QString& name, const QString& folder)
{
    VXQLibraryGroupPtr group = groupWithNameLibraries(name, std::nullopt);
    group->m_sourcePath = folder;
    group->loadLibraries();
    return group;
}

// --- Libraries ----------------------------------------------------------------------------------

void VXQLibraryGroup::adopt(VXQLibrary* library)
{
    library->setGroup(name());
}

void VXQLibraryGroup::postContentChange(VXQLibrary* library)
{
    QVariantMap userInfo;
    if (library)
        userInfo.insert(QStringLiteral("library"), QVariant::fromValue<QObject*>(library));
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQLibraryGroupContentWasChanged, this, userInfo);
}

void VXQLibraryGroup::loadLibraries()
{
    if (m_sourcePath.isEmpty())
        return;
    const QDir folder(m_sourcePath);
    if (!folder.exists())
        return;
    const QStringList filter{u"*." + VXQLibrary::libraryExtension()};
    for (const QString& entry : folder.entryList(filter, QDir::Dirs | QDir::NoDotAndDotDot)) {
        VXQLibraryPtr library = VXQLibrary::libraryWithPathAddingStandardCategories(folder.filePath(entry), false);
        addElement(library);
        adopt(library.get());
    }
    m_librariesLoaded = true;
    postContentChange(nullptr);
}

std::optional<QList<VXQLibraryPtr>> VXQLibraryGroup::libraries()
{
    if (!m_librariesLoaded)
        return std::nullopt;
    QList<VXQLibraryPtr> sorted;
    for (const VXQLibraryElementPtr& element : sortedElementsUsingSortDescriptorsCookie(byName(), 0))
        if (auto library = std::dynamic_pointer_cast<VXQLibrary>(element))
            sorted.append(library);
    return sorted;
}

void VXQLibraryGroup::setLibraries(const QList<VXQLibraryPtr>& libraries)
{
    for (const VXQLibraryElementPtr& element : elements())
        removeElement(element.get());
    for (const VXQLibraryPtr& library : libraries) {
        addElement(library);
        adopt(library.get());
    }
    m_librariesLoaded = true;
    postContentChange(nullptr);
}

VXQLibrary* VXQLibraryGroup::libraryAtIndex(qsizetype index)
{
    const QList<VXQLibraryPtr> all = libraries().value_or(QList<VXQLibraryPtr>());
    return index >= 0 && index < all.size() ? all[index].get() : nullptr;
}

VXQLibrary* VXQLibraryGroup::libraryWithName(const QString& name)
{
    for (const VXQLibraryPtr& library : libraries().value_or(QList<VXQLibraryPtr>()))
        if (library->displayName().compare(name, Qt::CaseInsensitive) == 0)
            return library.get();
    return nullptr;
}

VXQLibrary* VXQLibraryGroup::libraryWithPath(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    for (const VXQLibraryElementPtr& element : elements())
        if (auto* library = dynamic_cast<VXQLibrary*>(element.get()); library && library->path() == path)
            return library;
    return nullptr;
}

void VXQLibraryGroup::addLibrary(const VXQLibraryPtr& library)
{
    addElement(library);
    adopt(library.get());
    m_librariesLoaded = true;
    postContentChange(library.get());
}

void VXQLibraryGroup::removeLibrary(VXQLibrary* library)
{
    if (!library || !hasElement(library))
        return;
    const VXQLibraryElementPtr kept = std::static_pointer_cast<VXQLibraryElement>(library->shared_from_this());
    library->setGroup({});
    removeElement(library);
    postContentChange(library);
}

QString VXQLibraryGroup::uniqueLibraryName(const QString& name)
{
    if (!libraryWithName(name))
        return name;
    for (qint64 n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 %2").arg(name).arg(n);
        if (!libraryWithName(candidate))
            return candidate;
    }
}

QImage VXQLibraryGroup::icon() const
{
    return libraryGroupIcon(name());
}

QString VXQLibraryGroup::toolTipString() const
{
    if (name() == kVXQLibraryFactoryGroupName)
        return QCoreApplication::translate("VXQLibraryGroup", "Factory collections supplied by Veltrum (read-only)");
    if (name() == kVXQLibraryUserGroupName)
        return QCoreApplication::translate("VXQLibraryGroup", "Collections you have created or imported (editable)");
    if (name() == kVXQLibraryDocumentGroupName)
        return QCoreApplication::translate(
            "VXQLibraryGroup", "Temporary collections containing styles and symbols used in open documents (read-only)");
    return {};
}

QString VXQLibraryGroup::description() const
{
    QStringList names;
    for (const VXQLibraryElementPtr& element : elements())
        names.append(element->name());
    return QStringLiteral("%1 '%2', libraries = (%3)").arg(className(), name(), names.join(u", "));
}
