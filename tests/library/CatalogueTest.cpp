#include "LibraryTesting.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"

#include <QFile>

namespace {

QString categoryFileOf(const QString& folder)
{
    return folder + u'/' + QFileInfo(folder).completeBaseName() + QStringLiteral(".categories");
}

void setCategoryFileEntry(const QString& folder, const QString& key, const QVariant& value)
{
    QFile file(categoryFileOf(folder));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QVariantMap info = platform::PropertyList::fromData(file.readAll())->toMap();
    file.close();
    info.insert(key, value);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(*platform::PropertyList::toData(info, platform::PropertyList::Format::Binary));
}

QStringList names(const std::optional<QList<VXQLibraryPtr>>& libraries)
{
    QStringList list;
    for (const VXQLibraryPtr& library : libraries.value_or(QList<VXQLibraryPtr>()))
        list.append(library->name());
    return list;
}

class CatalogueTest : public LibraryTest {
protected:
    // A library folder written outside any group, then left alone on disk.
    QString writeLibraryFolder(const QString& folder, const QString& name, const QStringList& itemNames = {})
    {
        const QString path = folder + u'/' + name + QStringLiteral(".symlibrary");
        VXQLibraryPtr library = VXQLibrary::libraryWithPath(path);
        for (const QString& item : itemNames)
            library->addItem(makeStyleItem(item));
        library->updateOnDisk();
        return path;
    }

    QString scratch() const { return userFolder() + QStringLiteral("/../scratch"); }
};

} // namespace

TEST_F(CatalogueTest, DiscoveryFilesLibrariesIntoTheirGroupsAndMakesTheDefaultLibrary)
{
    // A factory library is one built elsewhere and moved into the factory folder.
    QDir().mkpath(VXQLibrary::factoryLibrariesFolder());
    const QString built = writeLibraryFolder(scratch(), QStringLiteral("Base"), {QStringLiteral("Motorway")});
    ASSERT_TRUE(QDir().rename(built, VXQLibrary::factoryLibrariesFolder() + QStringLiteral("/Base.symlibrary")));
    writeLibraryFolder(userFolder(), QStringLiteral("Roads"));
    setCategoryFileEntry(writeLibraryFolder(userFolder(), QStringLiteral("Team")), QStringLiteral("peer_group"),
                         QStringLiteral("Shared"));
    // Naming a group whose folders are read-only or deleted at quit puts a library among the user's.
    setCategoryFileEntry(writeLibraryFolder(userFolder(), QStringLiteral("Sneaky")), QStringLiteral("peer_group"),
                         kVXQLibraryDocumentGroupName);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(QStringLiteral("Ann’s Collection"),
                                                                    kVXQLibraryDefaultUserLibraryName);
    QDir().mkpath(VXQLibraryCatalogue::documentLibraryFolder() + QStringLiteral("/Left.symlibrary"));
    VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(true);

    VXQLibraryCatalogue::initialize();
    const QList<VXQLibraryPtr> factory = VXQLibraryCatalogue::factoryLibraries();
    ASSERT_EQ(factory.size(), 1);
    EXPECT_FALSE(factory[0]->allowsContentChanges());
    EXPECT_TRUE(factory[0]->allowsCategoryChanges());
    EXPECT_EQ(factory[0]->itemCount(), 1);
    EXPECT_EQ(names(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryUserGroupName)),
              QStringList({"Ann’s Collection", "Roads", "Sneaky"}));
    EXPECT_EQ(names(VXQLibraryCatalogue::librariesInGroup(QStringLiteral("Shared"))), QStringList({"Team"}));
    EXPECT_TRUE(QFileInfo(folderOf(QStringLiteral("Ann’s Collection"))).isDir());
    EXPECT_EQ(VXQLibraryCatalogue::defaultUserLibrary()->name(), QStringLiteral("Ann’s Collection"));
    EXPECT_FALSE(QFileInfo::exists(VXQLibraryCatalogue::documentLibraryFolder()));
    EXPECT_TRUE(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryDocumentGroupName).value_or(QList<VXQLibraryPtr>()).isEmpty());

    // Look-ups by name, identifier and key.
    EXPECT_EQ(VXQLibraryCatalogue::libraryWithName(QStringLiteral("team"))->group(), QStringLiteral("Shared"));
    EXPECT_EQ(VXQLibraryCatalogue::libraryWithNameInGroup(QStringLiteral("Team"), kVXQLibraryUserGroupName), nullptr);
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingIdentifier(QStringLiteral("MY LIBRARY.Roads.All Items"))->name(),
              QStringLiteral("Roads"));
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingIdentifier(QStringLiteral("MY LIBRARY")), nullptr);
    const QString motorway = factory[0]->items().first()->uniqueKey();
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingItemWithUniqueID(motorway), factory[0].get());
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingItemWithUniqueIDInGroups(motorway, {kVXQLibraryUserGroupName}), nullptr);

    // Later calls answer the groups as they are, without scanning again.
    writeLibraryFolder(userFolder(), QStringLiteral("Late"));
    EXPECT_EQ(VXQLibraryCatalogue::userLibraries()->size(), 3);
}

TEST_F(CatalogueTest, DefaultLibraryNameProviderAndRenames)
{
    const QString name = VXQLibraryCatalogue::defaultUserLibraryName();
    EXPECT_TRUE(name.endsWith(QStringLiteral("’s Collection")) || name == QStringLiteral("My Collection")) << name.toStdString();
    EXPECT_FALSE(name.contains(u'/'));
    VXQLibrary* library = VXQLibraryCatalogue::defaultUserLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->group(), kVXQLibraryUserGroupName);
    // The default library names copies of styles, counting on from its stored seed.
    const auto copyName = [] { return VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)->mutableCopy()->name(); };
    const QString first = copyName();
    ASSERT_TRUE(first.startsWith(QStringLiteral("Style "))) << first.toStdString();
    EXPECT_EQ(copyName(), QStringLiteral("Style %1").arg(first.mid(6).toInt() % 10000 + 1));

    // A renamed default stays the default at the next launch.
    library->setName(QStringLiteral("Renamed"));
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->stringForKey(kVXQLibraryDefaultUserLibraryName),
              QStringLiteral("Renamed"));

    int changes = 0;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(&observer, kVXQLibraryDefaultUserLibraryDidChange,
                                                              VXQLibraryCatalogue::shared(),
                                                              [&](const platform::Notification&) { ++changes; });
    VXQLibraryCatalogue::setDefaultUserLibrary(nullptr);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(platform::UserDefaults::standardUserDefaults()->objectForKey(kVXQLibraryDefaultUserLibraryName).isValid());
    EXPECT_FALSE(VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)->mutableCopy()->name().startsWith(u"Style "));

    // A new user library takes a name no other has, however the name was typed.
    EXPECT_EQ(VXQLibraryCatalogue::userLibraryWithPreferredName(QStringLiteral("Renamed"))->name(), QStringLiteral("Renamed 1"));
    EXPECT_EQ(VXQLibraryCatalogue::userLibraryWithPreferredName(QStringLiteral("../x"))->path(), folderOf(QStringLiteral("..-x")));
    EXPECT_EQ(VXQLibraryCatalogue::userLibraryWithPreferredName(QStringLiteral("..")), nullptr);
}

TEST_F(CatalogueTest, ValidityAndImport)
{
    const QString roads = writeLibraryFolder(scratch(), QStringLiteral("Roads"), {QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_TRUE(VXQLibraryCatalogue::isValidLibraryAtPath(roads));
    writeLibraryFolder(userFolder(), QStringLiteral("Roads"));
    makeLibrary(QStringLiteral("Roads"));

    const VXQLibraryPtr imported = VXQLibraryCatalogue::importLibraryAtPath(roads);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->path(), folderOf(QStringLiteral("Roads 1")));
    EXPECT_TRUE(QFileInfo::exists(folderOf(QStringLiteral("Roads 1")) + QStringLiteral("/Roads 1.categories")));
    EXPECT_FALSE(QFileInfo::exists(folderOf(QStringLiteral("Roads 1")) + QStringLiteral("/Roads.categories")));
    EXPECT_EQ(imported->itemCount(), 2);
    EXPECT_EQ(imported->group(), kVXQLibraryUserGroupName);
    // Importing a folder already in the user folder answers the installed library.
    EXPECT_EQ(VXQLibraryCatalogue::importLibraryAtPath(folderOf(QStringLiteral("Roads 1"))), imported);

    // Bad input: a checksum that does not count the items, no or a garbage category file, a
    // plain file, a link, the wrong extension.
    const QString mismatch = writeLibraryFolder(scratch(), QStringLiteral("Mismatch"), {QStringLiteral("A")});
    setCategoryFileEntry(mismatch, QStringLiteral("checksum"), 5);
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(mismatch));
    EXPECT_EQ(VXQLibraryCatalogue::importLibraryAtPath(mismatch), nullptr);
    const QString bare = writeLibraryFolder(scratch(), QStringLiteral("Bare"));
    QFile::remove(categoryFileOf(bare));
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(bare));
    const QString garbage = writeLibraryFolder(scratch(), QStringLiteral("Garbage"));
    QFile file(categoryFileOf(garbage));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("bplist00 not really");
    file.close();
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(garbage));
    QFile plain(scratch() + QStringLiteral("/.symlibrary"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(plain.fileName()));
    ASSERT_TRUE(QFile::link(roads, scratch() + QStringLiteral("/Linked.symlibrary")));
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(scratch() + QStringLiteral("/Linked.symlibrary")));
    EXPECT_FALSE(VXQLibraryCatalogue::isValidLibraryAtPath(scratch()));

    // A folder nested deeper than any library is not copied.
    const QString deep = writeLibraryFolder(scratch(), QStringLiteral("Deep"));
    QDir().mkpath(deep + QString(QStringLiteral("/d")).repeated(70));
    EXPECT_TRUE(VXQLibraryCatalogue::isValidLibraryAtPath(deep));
    EXPECT_EQ(VXQLibraryCatalogue::importLibraryAtPath(deep), nullptr);
    EXPECT_FALSE(QFileInfo::exists(folderOf(QStringLiteral("Deep"))));

    // A user folder with no free name left fails the import instead of raising.
    for (int n = 2; n <= 999; ++n)
        QDir().mkpath(folderOf(QStringLiteral("Roads %1").arg(n)));
    EXPECT_EQ(VXQLibraryCatalogue::importLibraryAtPath(roads), nullptr);

    // Links inside a library are not followed into the copy.
    const QString withLink = writeLibraryFolder(scratch(), QStringLiteral("WithLink"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/hostname"), withLink + QStringLiteral("/outside")));
    ASSERT_TRUE(VXQLibraryCatalogue::importLibraryAtPath(withLink));
    EXPECT_FALSE(QFileInfo::exists(folderOf(QStringLiteral("WithLink")) + QStringLiteral("/outside")));
}

TEST_F(CatalogueTest, DocumentLibrariesHoldUnknownObjectsAndLeaveWithTheirDocument)
{
    VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    const VXQLibraryItemPtr known = makeStyleItem(QStringLiteral("Known"));
    mine->addItem(known);
    const VXStylePtr local = makeStyle(QStringLiteral("Local"));
    const QList<ZQObjectPtr> objects{known->representedObject(), local};
    QList<QObject*> announced;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, kVXQDocumentLibraryWasAddedOrRemoved, VXQLibraryCatalogue::shared(),
        [&](const platform::Notification& n) { announced.append(n.userInfo.value(QStringLiteral("library")).value<QObject*>()); });

    // Filling the new library tells nobody item by item; its arrival is the one announcement.
    int itemPosts = 0;
    platform::NotificationCenter::defaultCenter().addObserver(&observer, kVXQLibraryCategoryDidAddItem, nullptr,
                                                              [&](const platform::Notification&) { ++itemPosts; });

    VXQLibraryPtr document = VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Coast.qvnl"), objects, false);
    ASSERT_TRUE(document);
    EXPECT_EQ(itemPosts, 0);
    EXPECT_EQ(document->name(), QStringLiteral("Coast"));
    EXPECT_EQ(document->group(), kVXQLibraryDocumentGroupName);
    EXPECT_EQ(document->itemCount(), 1);
    EXPECT_TRUE(document->containsUniqueID(local->uniqueKey()));
    EXPECT_TRUE(document->allowsContentChanges());
    EXPECT_FALSE(document->allowsCategoryChanges());
    EXPECT_EQ(announced, QList<QObject*>({document.get()}));
    // Libraries without folders are never replaced: a second one of that name joins the first.
    VXQLibraryPtr again = VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Coast"), objects, false);
    EXPECT_EQ(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryDocumentGroupName)->size(), 2);

    // The swap a document asks for: known objects become the library's, keyless ones go.
    const QList<ZQObjectPtr> matching = VXQLibraryCatalogue::libraryItemsMatchingItemsInSet(
        {makeStyle(QStringLiteral("Copy of known")), local, std::make_shared<ZQObject>()});
    ASSERT_EQ(matching.size(), 2);
    EXPECT_EQ(matching[1], document->itemWithUniqueID(local->uniqueKey())->representedObject());

    // Not temporary: closing leaves it; temporary: it goes, with its folder.
    VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(false);
    VXQLibraryCatalogue::removeDocumentLibrary(document.get());
    EXPECT_EQ(document->group(), kVXQLibraryDocumentGroupName);
    VXQLibraryCatalogue::setDocumentLibrariesAreTemporary(true);
    VXQLibraryCatalogue::removeDocumentLibrary(document.get());
    VXQLibraryCatalogue::removeDocumentLibrary(again.get());
    EXPECT_TRUE(VXQLibraryCatalogue::librariesInGroup(kVXQLibraryDocumentGroupName)->isEmpty());
    EXPECT_EQ(announced.size(), 4);

    VXQLibraryPtr onDisk = VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Harbour"), objects, true);
    ASSERT_TRUE(onDisk);
    EXPECT_TRUE(QFileInfo(VXQLibraryCatalogue::documentLibraryFolder() + QStringLiteral("/Harbour.symlibrary")).isDir());
    const QPointer<VXQLibrary> mineAlive = mine.get();
    mine.reset();
    VXQLibraryCatalogue::applicationWillQuit();
    EXPECT_FALSE(QFileInfo::exists(VXQLibraryCatalogue::documentLibraryFolder()));
    EXPECT_TRUE(VXQLibraryGroup::allGroups().isEmpty());
    EXPECT_TRUE(mineAlive.isNull());

    QDir().mkpath(VXQLibraryCatalogue::documentLibraryFolder());
    QFile bogus(VXQLibraryCatalogue::documentLibraryFolder() + QStringLiteral("/Bogus.symlibrary"));
    ASSERT_TRUE(bogus.open(QIODevice::WriteOnly));
    bogus.close();
    EXPECT_EQ(VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Bogus"), objects, true), nullptr);
}

TEST_F(CatalogueTest, StylesReadIntoADocumentTakeTheLibrarysObjectsButNotAnotherOpenDocuments)
{
    // Only another document is open, and it drew with a style whose key the style read shares.
    const VXStylePtr theirs = makeStyle(QStringLiteral("Road"));
    VXQLibraryPtr theirLibrary =
        VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Theirs"), {theirs}, false);
    ASSERT_TRUE(theirLibrary && theirLibrary->containsUniqueID(theirs->uniqueKey()));
    const auto read = std::static_pointer_cast<VXStyle>(theirs->copy());
    ASSERT_EQ(read->uniqueKey(), theirs->uniqueKey());
    EXPECT_EQ(VXQLibraryCatalogue::libraryItemsMatchingItemsInSet({read}), QList<ZQObjectPtr>({read}));

    // A user library's style is still the library's object, whatever documents are open.
    VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    const VXQLibraryItemPtr known = makeStyleItem(QStringLiteral("Known"));
    mine->addItem(known);
    const ZQObjectPtr readKnown = std::static_pointer_cast<VXStyle>(known->representedObject())->copy();
    EXPECT_EQ(VXQLibraryCatalogue::libraryItemsMatchingItemsInSet({readKnown, read}),
              QList<ZQObjectPtr>({known->representedObject(), read}));
}

TEST_F(CatalogueTest, DottedLibraryNamesResolveByTheirIdentifiers)
{
    VXQLibraryPtr dotted = makeLibrary(QStringLiteral("Roads v1.2"));
    dotted->addCategoryWithName(QStringLiteral("Minor"));
    EXPECT_EQ(dotted->identifier(), QStringLiteral("MY LIBRARY.Roads v12"));
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingIdentifier(dotted->identifier()), dotted.get());
    const QString category = dotted->categoryWithName(QStringLiteral("Minor"))->identifier();
    EXPECT_EQ(VXQLibraryCatalogue::libraryContainingIdentifier(category), dotted.get());
    EXPECT_EQ(dotted->itemWithIdentifier(category), dotted->categoryWithName(QStringLiteral("Minor")));
}
