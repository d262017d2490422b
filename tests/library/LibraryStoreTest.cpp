#include "LibraryTesting.h"

#include "support/LogCapture.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "support/ThreadTime.h"

#include <QFile>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>

namespace {

QVariantMap readPlist(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("bplist00"));
    return platform::PropertyList::fromData(bytes).value_or(QVariant()).toMap();
}

void writePlist(const QVariant& value, const QString& path)
{
    ASSERT_TRUE(platform::PropertyList::writeFile(value, path, platform::PropertyList::Format::Binary));
}

QStringList itemNames(const QList<std::shared_ptr<VXQLibraryItem>>& items)
{
    QStringList names;
    for (const auto& item : items)
        names.append(item->name());
    return names;
}

// A library whose category file lists `count` items, each also in a category; the packages are
// empty folders, as opening only looks for them.
void writeListedLibrary(const QString& folder, int count)
{
    QDir().mkpath(folder);
    QVariantList items;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Style %1").arg(i);
        items.append(QVariantMap{{"name", name}, {"id", QUuid::createUuid().toString()}, {"cc", 1}});
        QDir().mkpath(folder + u'/' + name + QStringLiteral(".libitem"));
    }
    const QVariantMap category{{"class", "VXQLibraryCategory"}, {"name", "Every"}, {"items", items}};
    writePlist(QVariantMap{{"allitems", items}, {"categories", QVariantList{category}}, {"checksum", count},
                           {"contX", true}, {"catX", true}, {"version", 2}},
               folder + u'/' + QFileInfo(folder).completeBaseName() + QStringLiteral(".categories"));
}

} // namespace

TEST_F(LibraryTest, CategoryFileListsItemsAndCategoriesButNotAllItems)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    EXPECT_EQ(library->categoryNames().size(), 5);
    library->setUserDescription(QStringLiteral("Roads and rails"));
    library->addItem(makeStyleItem(QStringLiteral("Road")));
    library->addItem(makeSymbolItem(QStringLiteral("Tree")));
    platform::RunLoop::runUntilIdle();

    const QVariantMap file = readPlist(library->path() + "/Base.categories");
    EXPECT_EQ(file.value("allitems").toList().size(), 2);
    EXPECT_EQ(file.value("checksum").toULongLong(), 2u);
    EXPECT_EQ(file.value("version").toLongLong(), 2);
    EXPECT_EQ(file.value("libname"), "Base");
    EXPECT_EQ(file.value("display_name"), "Base");
    EXPECT_EQ(file.value("desc"), "Roads and rails");
    EXPECT_EQ(file.value("contX"), true);
    EXPECT_EQ(file.value("catX"), true);
    EXPECT_FALSE(file.contains("peer_group"));
    QStringList categories;
    for (const QVariant& entry : file.value("categories").toList())
        categories.append(entry.toMap().value("name").toString());
    categories.sort();
    EXPECT_EQ(categories, QStringList({"All Clip Art", "All Styles", "Recently Added", "Recently Used"}));
}

TEST_F(LibraryTest, ALibraryReadBackHasTheSameCategoriesFlagsAndUnloadedItems)
{
    QString roadKey;
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Trip"));
        const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
        roadKey = road->uniqueKey();
        library->addItem(road);
        library->addItem(makeSymbolItem(QStringLiteral("Tree")));
        VXQLibraryCategory* transport = library->addCategoryWithName(QStringLiteral("Transport"));
        transport->setDeletable(false);
        VXQLibraryCategory* minor = transport->addCategoryWithName(QStringLiteral("Minor"));
        minor->addItem(road);
        auto smart = std::make_shared<VXQLibrarySmartCategory>();
        smart->initWithNameLibrary(QStringLiteral("Named R"), library.get());
        smart->setPredicate(platform::Predicate::comparison("name", platform::Predicate::Operator::BeginsWith, "r",
                                                            platform::Predicate::CaseInsensitive));
        smart->setCountLimit(3);
        library->addCategory(smart);
        ASSERT_TRUE(library->updateOnDisk());
    }
    VXQLibraryPtr reread = makeLibrary(QStringLiteral("Trip"));
    EXPECT_EQ(reread->itemCount(), 2);
    VXQLibraryItem* road = reread->itemWithUniqueID(roadKey);
    ASSERT_TRUE(road);
    EXPECT_FALSE(road->hasObject());
    EXPECT_EQ(road->name(), "Road");
    EXPECT_EQ(road->classCode(), 1);

    VXQLibraryCategory* transport = reread->categoryWithName(QStringLiteral("Transport"));
    ASSERT_TRUE(transport);
    EXPECT_FALSE(transport->isDeletable());
    VXQLibraryCategory* minor = transport->categoryWithName(QStringLiteral("Minor"));
    ASSERT_TRUE(minor);
    EXPECT_TRUE(minor->hasItem(road));
    auto* smart = dynamic_cast<VXQLibrarySmartCategory*>(reread->categoryWithName(QStringLiteral("Named R")));
    ASSERT_TRUE(smart);
    EXPECT_EQ(smart->countLimit(), 3);
    EXPECT_EQ(smart->predicate()->predicateFormat(), "name BEGINSWITH[c] \"r\"");
    EXPECT_EQ(smart->allElementsCount(), 1);
    auto* styles = dynamic_cast<VXQLibrarySmartCategory*>(reread->categoryWithName(QStringLiteral("All Styles")));
    ASSERT_TRUE(styles);
    EXPECT_EQ(styles->allElementsCount(), 1);
    EXPECT_EQ(reread->categoryNames().size(), 7);
    EXPECT_FALSE(road->hasObject());
    EXPECT_TRUE(road->representedObject());
}

TEST_F(LibraryTest, NewRenamedAndRemovedCategoriesReachTheDiskWhenTheCommandEnds)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Hiking"));
    const QString file = library->path() + "/Hiking.categories";
    const auto namesOnDisk = [&] {
        QStringList names;
        for (const QVariant& entry : readPlist(file).value("categories").toList())
            names.append(entry.toMap().value("name").toString());
        names.sort();
        return names;
    };
    VXQLibraryCategory* trails = library->addCategoryWithName(QStringLiteral("Trails"));
    trails->addCategoryWithName(QStringLiteral("Steep"));
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(namesOnDisk().contains("Trails"));

    trails->setName(QStringLiteral("Paths"));
    library->addCategoryWithName(QStringLiteral("Huts"));
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(namesOnDisk().contains("Paths"));
    EXPECT_TRUE(namesOnDisk().contains("Huts"));
    EXPECT_FALSE(namesOnDisk().contains("Trails"));

    library->removeCategoryWithName(QStringLiteral("Huts"));
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(namesOnDisk().contains("Huts"));
}

TEST_F(LibraryTest, FactoryLibrariesKeepTheirCategoryFileInTheUserFolder)
{
    const QString factory = VXQLibrary::factoryLibrariesFolder() + "/Veltrum.symlibrary";
    {
        // Made elsewhere, as the build makes factory libraries, then put in place.
        const QString staging = userFolder() + "/../staging/Veltrum.symlibrary";
        VXQLibraryPtr maker = VXQLibrary::libraryWithPath(staging);
        maker->addItem(makeStyleItem(QStringLiteral("Coast")));
        platform::RunLoop::runUntilIdle();
        QDir().mkpath(VXQLibrary::factoryLibrariesFolder());
        ASSERT_TRUE(QDir().rename(staging, factory));
    }
    const QByteArray original = [&] {
        QFile file(factory + "/Veltrum.categories");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(original.isEmpty());

    VXQLibraryPtr library = VXQLibrary::libraryWithPath(factory);
    ASSERT_TRUE(library->isFactoryLibrary());
    EXPECT_TRUE(makeLibrary(QStringLiteral("Veltrum"))->isFactoryLibrary());
    EXPECT_EQ(library->itemCount(), 1);
    library->addCategoryWithName(QStringLiteral("Extra"));
    ASSERT_TRUE(library->updateOnDisk());
    const QVariantMap userCopy = readPlist(userFolder() + "/Veltrum.categories");
    EXPECT_EQ(userCopy.value("contX"), false);
    EXPECT_EQ(userCopy.value("checksum").toULongLong(), 1u);
    QFile file(factory + "/Veltrum.categories");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
}

TEST_F(LibraryTest, ListedItemsWithoutPackagesAndBadEntriesAreLeftOut)
{
    testsupport::LogCapture log;
    const QString folder = folderOf(QStringLiteral("Bad"));
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Bad"));
        library->addItem(makeStyleItem(QStringLiteral("Road")));
        library->addItem(makeStyleItem(QStringLiteral("Gone")));
        platform::RunLoop::runUntilIdle();
    }
    QDir(folder + "/Gone.libitem").removeRecursively();
    QVariantMap file = readPlist(folder + "/Bad.categories");
    QVariantList categories = file.value("categories").toList();
    const QVariantMap deep = [] {
        QVariantMap entry{{"class", "VXQLibraryCategory"}, {"name", "Leaf"}};
        for (int i = 0; i < 200; ++i)
            entry = QVariantMap{{"class", "VXQLibraryCategory"}, {"name", QString("L%1").arg(i)}, {"items", QVariantList{entry}}};
        return entry;
    }();
    categories << QVariantMap{{"class", "NoSuchClass"}, {"name", "Unknown"}}
               << QVariantMap{{"class", "VXQLibrary"}, {"name", "NotACategory"}}
               << QVariantMap{{"class", "VXQLibraryCategory"}, {"name", 12}, {"readonly", "yes"}}
               << QVariantMap{{"class", "VXQLibraryCategory"}, {"catname", "Old Name"}, {"items", "nope"}}
               << QVariantMap{{"class", "VXQLibraryCategory"}, {"name", "../../Escape"}} << QVariant(42) << deep;
    file.insert("categories", categories);
    QVariantList allItems = file.value("allitems").toList();
    allItems << allItems.first() << QVariantMap{{"name", "../Road"}, {"id", "x"}} << QVariantMap{{"name", 3}};
    file.insert("allitems", allItems);
    file.insert("contX", "true");
    writePlist(file, folder + "/Bad.categories");

    VXQLibraryPtr library = makeLibrary(QStringLiteral("Bad"));
    EXPECT_EQ(library->itemCount(), 1);
    EXPECT_TRUE(library->itemWithName(QStringLiteral("Road")));
    EXPECT_FALSE(library->allowsContentChanges());
    EXPECT_FALSE(library->categoryWithName(QStringLiteral("Unknown")));
    EXPECT_FALSE(library->categoryWithName(QStringLiteral("NotACategory")));
    EXPECT_TRUE(library->categoryWithName(QStringLiteral("Old Name")));
    EXPECT_TRUE(log.contains(QStringLiteral("nested deeper")));

    for (const QByteArray& garbage : {QByteArray("not a plist"), QByteArray("bplist00garbage")}) {
        QFile broken(folder + "/Bad.categories");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(garbage);
        broken.close();
        VXQLibraryPtr empty = makeLibrary(QStringLiteral("Bad"));
        EXPECT_EQ(empty->itemCount(), 0);
        EXPECT_EQ(empty->categoryNames().size(), 5);
    }
}

TEST_F(LibraryTest, OnePackageListedUnderTwoIdsIsOneItem)
{
    const QString folder = folderOf(QStringLiteral("Twice"));
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Twice"));
        library->addItem(makeStyleItem(QStringLiteral("Road")));
        platform::RunLoop::runUntilIdle();
    }
    // Once more in the list of all items and once in a category, each time under an id of its own.
    QVariantMap file = readPlist(folder + "/Twice.categories");
    QVariantList allItems = file.value("allitems").toList();
    ASSERT_EQ(allItems.size(), 1);
    allItems << QVariantMap{{"name", "Road"}, {"id", "another"}, {"cc", 1}};
    file.insert("allitems", allItems);
    QVariantList categories = file.value("categories").toList();
    categories << QVariantMap{{"class", "VXQLibraryCategory"}, {"name", "Minor"},
                              {"items", QVariantList{QVariantMap{{"name", "Road"}, {"id", "a third"}, {"cc", 1}}}}};
    file.insert("categories", categories);
    writePlist(file, folder + "/Twice.categories");

    for (const bool writtenBack : {false, true}) {
        SCOPED_TRACE(writtenBack ? "written back" : "as damaged");
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Twice"));
        ASSERT_EQ(library->itemCount(), 1);
        VXQLibraryItem* road = library->itemWithName(QStringLiteral("Road"));
        ASSERT_TRUE(road);
        VXQLibraryCategory* minor = library->categoryWithName(QStringLiteral("Minor"));
        ASSERT_TRUE(minor);
        EXPECT_EQ(minor->count(), 1);
        EXPECT_TRUE(minor->hasItem(road));
        library->setNeedsUpdateOnDisk();
        library->writeCategoryFile();
        EXPECT_EQ(readPlist(folder + "/Twice.categories").value("allitems").toList().size(), 1);
    }
}

// Each item read is found by name in constant time: eight times the items open in about eight
// times the processor time, not the fifty-odd of a look-up through every item read so far.
TEST_F(LibraryTest, OpeningGrowsInProportionToTheItemsListed)
{
    constexpr int kSmall = 500;
    constexpr int kLarge = 8 * kSmall;
    writeListedLibrary(folderOf(QStringLiteral("Small")), kSmall);
    writeListedLibrary(folderOf(QStringLiteral("Large")), kLarge);
    const auto secondsToOpen = [&](const QString& name, int count) {
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const double start = testsupport::threadSeconds();
            const VXQLibraryPtr library = VXQLibrary::libraryWithPath(folderOf(name));
            best = std::min(best, testsupport::threadSeconds() - start);
            EXPECT_EQ(library->itemCount(), count);
        }
        return best;
    };
    const double small = secondsToOpen(QStringLiteral("Small"), kSmall);
    const double large = secondsToOpen(QStringLiteral("Large"), kLarge);
    EXPECT_LT(large / small, 16.0) << "small " << small << " s, large " << large << " s";
}

TEST_F(LibraryTest, ItemsAreFoundByNameAcrossRenamesRemovalsMovesAndReloads)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
    const VXQLibraryItemPtr shouting = makeStyleItem(QStringLiteral("ROAD"));
    roads->addItem(road);
    roads->addItem(shouting);
    // Names that differ only in case: the one spelt as asked.
    EXPECT_EQ(roads->itemWithName(QStringLiteral("Road")), road.get());
    EXPECT_EQ(roads->itemWithName(QStringLiteral("ROAD")), shouting.get());

    road->setName(QStringLiteral("Track"));
    EXPECT_EQ(roads->itemWithName(QStringLiteral("road")), shouting.get());
    EXPECT_EQ(roads->itemWithName(QStringLiteral("TRACK")), road.get());
    roads->removeItem(shouting.get());
    EXPECT_EQ(roads->itemWithName(QStringLiteral("Road")), nullptr);

    const VXQLibraryItemPtr moved = parks->transferItemToCategoryMakingCopy(road, nullptr, false);
    ASSERT_TRUE(moved);
    EXPECT_EQ(roads->itemWithName(QStringLiteral("Track")), nullptr);
    EXPECT_EQ(parks->itemWithName(QStringLiteral("track")), moved.get());
    moved->setName(QStringLiteral("Path"));
    platform::RunLoop::runUntilIdle();

    const VXQLibraryPtr reread = VXQLibrary::libraryWithPath(folderOf(QStringLiteral("Parks")));
    ASSERT_TRUE(reread->itemWithName(QStringLiteral("path")));
    EXPECT_EQ(reread->itemWithName(QStringLiteral("path"))->uniqueKey(), moved->uniqueKey());
    EXPECT_EQ(reread->itemWithName(QStringLiteral("Track")), nullptr);
    EXPECT_EQ(reread->uniqueItemName(QStringLiteral("PATH")), QStringLiteral("PATH-1"));
}

TEST_F(LibraryTest, RecentListsKeepSixteenNewestFirstAcrossAReload)
{
    QStringList expected;
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Recent"));
        QList<VXQLibraryItemPtr> items;
        for (int i = 0; i < 18; ++i) {
            items.append(makeStyleItem(QStringLiteral("Style %1").arg(i)));
            library->addItem(items.last());
        }
        VXQFixedLengthLibraryCategory* added = library->recentlyAddedCategory();
        EXPECT_EQ(added->count(), 16);
        EXPECT_EQ(added->orderedItems().first()->name(), "Style 17");
        EXPECT_EQ(added->orderedItems().last()->name(), "Style 2");

        for (int i : {3, 1, 2})
            library->useItem(items[i].get());
        library->useItem(items[3].get());
        VXQFixedLengthLibraryCategory* used = library->recentlyUsedCategory();
        EXPECT_EQ(itemNames(used->orderedItems()), QStringList({"Style 3", "Style 2", "Style 1"}));
        expected = itemNames(used->orderedItems());
        library->updateOnDisk();
    }
    VXQLibraryPtr reread = makeLibrary(QStringLiteral("Recent"));
    EXPECT_EQ(itemNames(reread->recentlyUsedCategory()->orderedItems()), expected);
    EXPECT_EQ(reread->recentlyAddedCategory()->orderedItems().first()->name(), "Style 17");
    EXPECT_EQ(reread->recentlyAddedCategory()->count(), 16);
}

TEST_F(LibraryTest, SmartCategoriesLimitFollowChangesAndKeepStandardPredicates)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Smart"));
    QList<VXQLibraryItemPtr> items;
    for (int i = 0; i < 8; ++i) {
        items.append(makeStyleItem(QStringLiteral("Quorvane %1").arg(i)));
        library->addItem(items.last());
    }
    library->addItem(makeSymbolItem(QStringLiteral("Tree")));
    auto smart = std::make_shared<VXQLibrarySmartCategory>();
    smart->initWithNameLibrary(QStringLiteral("Mine"), library.get());
    library->addCategory(smart);
    EXPECT_EQ(smart->allElementsCount(), 8);
    smart->setCountLimit(5);
    EXPECT_EQ(smart->allElementsCount(), 5);
    smart->setCountLimit(0);

    items[0]->setName(QStringLiteral("Plain"));
    EXPECT_EQ(smart->allElementsCount(), 7);
    auto* styles = dynamic_cast<VXQLibrarySmartCategory*>(library->categoryWithName(QStringLiteral("All Styles")));
    auto* clipArt = dynamic_cast<VXQLibrarySmartCategory*>(library->categoryWithName(QStringLiteral("All Clip Art")));
    EXPECT_EQ(styles->allElementsCount(), 8);
    EXPECT_EQ(clipArt->allElementsCount(), 1);
    const auto before = styles->predicate();
    styles->setPredicate(platform::Predicate::comparison("classCode", platform::Predicate::Operator::Equal, 2));
    EXPECT_EQ(styles->predicate(), before);
    // Removing an item from a smart category leaves it there while it matches.
    smart->removeItem(items[1].get());
    EXPECT_TRUE(smart->hasItem(items[1].get()));
    EXPECT_TRUE(library->containsUniqueID(items[1]->uniqueKey()));
}

TEST_F(LibraryTest, RemovedAndTrashedItemsLeaveEveryCategoryAndLandInTheTrash)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Trash"));
    const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
    const VXQLibraryItemPtr rail = makeStyleItem(QStringLiteral("Rail"));
    library->addItem(road);
    library->addItem(rail);
    VXQLibraryCategory* deep = library->addCategoryWithName(QStringLiteral("A"))->addCategoryWithName(QStringLiteral("B"));
    deep->addItem(road);
    deep->addItem(rail);

    library->removeItem(rail.get());
    EXPECT_FALSE(deep->hasItem(rail.get()));
    EXPECT_FALSE(QFileInfo::exists(library->path() + "/Rail.libitem"));

    const QString packagePath = road->path();
    ASSERT_TRUE(library->trashItems({road}));
    EXPECT_FALSE(deep->hasItem(road.get()));
    EXPECT_FALSE(library->allItemsCategory()->hasItem(road.get()));
    EXPECT_EQ(library->itemCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(packagePath));
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    const QStringList trashed = QDir(trash + "/files").entryList({"Road*.libitem"}, QDir::Dirs);
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(trash + "/info/" + trashed.first() + ".trashinfo"));
    EXPECT_EQ(readPlist(library->path() + "/Trash.categories").value("checksum").toULongLong(), 0u);

    // A package that vanished meanwhile: nothing moves and the item stays listed.
    const VXQLibraryItemPtr gone = makeStyleItem(QStringLiteral("Gone"));
    library->addItem(gone);
    QDir(gone->path()).removeRecursively();
    EXPECT_FALSE(library->trashItems({gone}));
    EXPECT_TRUE(library->containsUniqueID(gone->uniqueKey()));

    // Trashing it with another: the other goes, and the one that stayed is named.
    const VXQLibraryItemPtr rest = makeStyleItem(QStringLiteral("Rest"));
    library->addItem(rest);
    QStringList notTrashed;
    EXPECT_FALSE(library->trashItems({gone, rest}, &notTrashed));
    EXPECT_EQ(notTrashed, QStringList{"Gone"});
    EXPECT_FALSE(library->containsUniqueID(rest->uniqueKey()));
    EXPECT_TRUE(library->containsUniqueID(gone->uniqueKey()));
}

TEST_F(LibraryTest, NestedCategoriesKeepTheirOwnItemsWhenNamedLikeTopLevelOnes)
{
    QString key;
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Nest"));
        const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
        key = road->uniqueKey();
        library->addItem(road);
        VXQLibraryCategory* parent = library->addCategoryWithName(QStringLiteral("Parent"));
        auto nested = VXQLibraryCategory::categoryWithNameLibrary(QStringLiteral("Recently Used"), library.get());
        parent->addCategory(nested);
        nested->addItem(road);
        library->updateOnDisk();
    }
    VXQLibraryPtr reread = makeLibrary(QStringLiteral("Nest"));
    VXQLibraryCategory* nested = reread->categoryWithName(QStringLiteral("Parent"))->categoryWithName(QStringLiteral("Recently Used"));
    ASSERT_TRUE(nested);
    EXPECT_NE(nested, reread->recentlyUsedCategory());
    EXPECT_TRUE(nested->hasItem(reread->itemWithUniqueID(key)));
    EXPECT_EQ(reread->recentlyUsedCategory()->count(), 0);
}

TEST_F(LibraryTest, LibraryNamesAreCleanedBeforeTheyBecomeFolders)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Plain"));
    library->addItem(makeStyleItem(QStringLiteral("Road")));
    library->setName(QStringLiteral("../x"));
    EXPECT_EQ(library->path(), folderOf(QStringLiteral("..-x")));
    EXPECT_TRUE(QFileInfo::exists(library->path() + "/..-x.categories"));
    for (const QString& bad : {QString(), QStringLiteral("."), QStringLiteral(".."), QString(300, u'a')}) {
        library->setName(bad);
        EXPECT_EQ(library->internalName(), "..-x");
    }
    EXPECT_EQ(QDir(userFolder()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), QStringList({"..-x.symlibrary"}));
    platform::RunLoop::runUntilIdle();
    VXQLibraryPtr reread = makeLibrary(QStringLiteral("..-x"));
    EXPECT_EQ(reread->itemCount(), 1);
}

TEST_F(LibraryTest, AdHocNamesCountPerLibraryAndWrapAfter9999)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    library->resetAdHocStyleName();
    EXPECT_EQ(library->nextAdHocStyleName(), "Style 1 (Base)");
    EXPECT_EQ(library->nameForCopyOfStyle(*makeStyle("x")), "Style 2");
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(9998, library->adHocSeedKey());
    VXQLibraryPtr again = makeLibrary(QStringLiteral("Base"));
    EXPECT_EQ(again->nextAdHocStyleNameWithCollection(false), "Style 9999");
    EXPECT_EQ(again->nextAdHocStyleNameWithCollection(false), "Style 0");
    EXPECT_EQ(again->adHocSeedKey(), "kVXQLibraryAdHocNameSeed_Base");
}

TEST_F(LibraryTest, TransfersCopyOrMovePackagesAndAnnounceStyleSubstitutions)
{
    VXQLibraryPtr document = makeLibrary(QStringLiteral("Doc"), kVXQLibraryDocumentGroupName);
    VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    const VXQLibraryItemPtr style = makeStyleItem(QStringLiteral("Road"));
    const VXQLibraryItemPtr symbol = makeSymbolItem(QStringLiteral("Tree"));
    document->addItem(style);
    document->addItem(symbol);
    mine->addItem(makeStyleItem(QStringLiteral("Tree")));

    QVariantMap substitution;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXQStyleSubstitutionWasPerformed, nullptr,
        [&](const platform::Notification& n) { substitution = n.userInfo; });
    const VXQLibraryItemPtr copied = mine->transferItemToCategoryMakingCopy(style, nullptr, false);
    ASSERT_TRUE(copied);
    EXPECT_NE(copied, style);
    EXPECT_TRUE(document->containsUniqueID(style->uniqueKey()));
    EXPECT_EQ(substitution.value("old_style").value<ZQObjectPtr>(), style->representedObject());
    EXPECT_EQ(substitution.value("new_style").value<ZQObjectPtr>(), copied->representedObject());

    const VXQLibraryItemPtr moved = mine->transferItemToCategoryMakingCopy(symbol, nullptr, false);
    ASSERT_EQ(moved, symbol);
    EXPECT_EQ(moved->name(), "Tree-1");
    EXPECT_FALSE(document->containsUniqueID(symbol->uniqueKey()));
    EXPECT_TRUE(QFileInfo::exists(mine->path() + "/Tree-1.libitem/__data"));
    EXPECT_FALSE(QFileInfo::exists(document->path() + "/Tree.libitem"));
    EXPECT_FALSE(mine->transferItemToCategoryMakingCopy(symbol, nullptr, true));
}

TEST_F(LibraryTest, FactoryCategoryFilesMergeIntoTheUserCopy)
{
    const QString factory = VXQLibrary::factoryLibrariesFolder() + "/Base.symlibrary";
    const QString staging = userFolder() + "/../staging/Base.symlibrary";
    VXQLibraryPtr maker = VXQLibrary::libraryWithPath(staging);
    maker->addCategoryWithName(QStringLiteral("Roads"))->addItem(makeStyleItem(QStringLiteral("Road")));
    platform::RunLoop::runUntilIdle();
    QDir().mkpath(VXQLibrary::factoryLibrariesFolder());
    ASSERT_TRUE(QDir().rename(staging, factory));

    VXQLibraryPtr library = VXQLibrary::libraryWithPath(factory);
    EXPECT_FALSE(library->needsCategoryFileMerge());
    library->removeCategoryWithName(QStringLiteral("Roads"));
    library->updateOnDisk();
    ASSERT_TRUE(library->needsCategoryFileMerge());
    ASSERT_TRUE(library->mergeCategoryFile());
    ASSERT_TRUE(library->categoryWithName(QStringLiteral("Roads")));
    EXPECT_EQ(library->itemCount(), 1);
}

TEST_F(LibraryTest, AnOlderUserCopyOfAFactoryCategoryFileIsReplaced)
{
    const QString factory = VXQLibrary::factoryLibrariesFolder() + "/Old.symlibrary";
    const QString staging = userFolder() + "/../staging/Old.symlibrary";
    {
        VXQLibraryPtr maker = VXQLibrary::libraryWithPath(staging);
        maker->addItem(makeStyleItem(QStringLiteral("Road")));
    }
    QDir().mkpath(VXQLibrary::factoryLibrariesFolder());
    ASSERT_TRUE(QDir().rename(staging, factory));
    writePlist(QVariantMap{{"allitems", QVariantList()}, {"version", 1}, {"contX", true}, {"catX", true}},
               userFolder() + "/Old.categories");

    VXQLibraryPtr library = VXQLibrary::libraryWithPath(factory);
    EXPECT_EQ(library->itemCount(), 1);
    EXPECT_EQ(readPlist(userFolder() + "/Old.categories").value("version").toLongLong(), 2);
}

// A category file that cannot be read is the user's only list of categories: it is kept aside,
// the library is never written, and the user is told.
TEST_F(LibraryTest, ADamagedCategoryFileIsKeptAsideAndTheLibraryIsNeverWritten)
{
    QByteArray damaged;
    {
        VXQLibraryPtr library = makeLibrary(QStringLiteral("Parks"));
        library->addItem(makeStyleItem(QStringLiteral("Lawn")));
        library->addCategoryWithName(QStringLiteral("Green"));
        platform::RunLoop::runUntilIdle();
        QFile file(library->categoryFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        damaged = file.readAll().left(file.size() / 2);
        file.resize(damaged.size());
        VXQLibraryCatalogue::removeLibraryFromGroup(library.get(), QStringLiteral("MY LIBRARY"));
    }
    VXQLibraryPtr reopened = VXQLibrary::libraryWithPath(folderOf(QStringLiteral("Parks")));
    const QString categoryFile = folderOf(QStringLiteral("Parks")) + "/Parks.categories";
    EXPECT_TRUE(reopened->loadFailed());
    EXPECT_FALSE(reopened->allowsContentChanges());
    EXPECT_FALSE(reopened->allowsCategoryChanges());
    reopened->setNeedsUpdateOnDisk();
    EXPECT_FALSE(reopened->updateOnDisk());
    reopened->applicationWillQuit();
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(QFileInfo::exists(categoryFile));
    QFile aside(categoryFile + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    const QStringList told = toldProblems();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Parks")) << qPrintable(told[0]);
    EXPECT_TRUE(told[0].contains("Parks.categories.damaged")) << qPrintable(told[0]);
}

// A save that fails stays due, is told once however often it is tried, and never replaces
// what a link in the category file's place points at.
TEST_F(LibraryTest, AFailedSaveStaysDueIsToldOnceAndNeverWritesThroughALink)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Rails"));
    platform::RunLoop::runUntilIdle();
    const QString categoryFile = library->categoryFilePath();
    const QString victim = userFolder() + "/victim.txt";
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a category file");
    }
    ASSERT_TRUE(QFile::remove(categoryFile));
    ASSERT_TRUE(QFile::link(victim, categoryFile));

    library->addCategoryWithName(QStringLiteral("Narrow"));
    platform::RunLoop::runUntilIdle();
    library->addCategoryWithName(QStringLiteral("Broad"));
    EXPECT_FALSE(library->updateOnDisk());
    EXPECT_TRUE(library->needsUpdateOnDisk());
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "not a category file");
    EXPECT_TRUE(QFileInfo(categoryFile).isSymLink());
    const QStringList told = toldProblems();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("symbolic link")) << qPrintable(told[0]);

    // Once the link has gone the next save writes everything that was due.
    ASSERT_TRUE(QFile::remove(categoryFile));
    EXPECT_TRUE(library->updateOnDisk());
    EXPECT_FALSE(library->needsUpdateOnDisk());
    QStringList categories;
    for (const QVariant& entry : readPlist(categoryFile).value("categories").toList())
        categories.append(entry.toMap().value("name").toString());
    EXPECT_TRUE(categories.contains("Narrow") && categories.contains("Broad")) << qPrintable(categories.join(','));
}

// Quitting is the last try: a library still unwritable says once more that its changes are
// lost, as it happens, while a writable one is written without a word.
TEST_F(LibraryTest, AtQuitALibraryThatStillCannotBeWrittenIsToldOnceAndAWritableOneIsWritten)
{
    VXQLibraryPtr stuck = makeLibrary(QStringLiteral("Rails"));
    VXQLibraryPtr writable = makeLibrary(QStringLiteral("Roads"));
    platform::RunLoop::runUntilIdle();
    const QString stuckFile = stuck->categoryFilePath();
    const QString writableFile = writable->categoryFilePath();
    ASSERT_TRUE(QFile::remove(stuckFile));
    ASSERT_TRUE(QFile::link(userFolder() + "/elsewhere", stuckFile)); // refused for root too
    stuck->addCategoryWithName(QStringLiteral("Narrow"));
    EXPECT_FALSE(stuck->updateOnDisk());
    ASSERT_EQ(toldProblems().size(), 1);
    writable->addCategoryWithName(QStringLiteral("Wide"));
    ASSERT_TRUE(writable->needsUpdateOnDisk());

    VXQLibraryCatalogue::applicationWillQuit();
    stuck->applicationWillQuit(); // its own hook at quit comes after the catalogue's
    ASSERT_EQ(problems.size(), 2); // said before returning, not in a later turn
    EXPECT_TRUE(problems[1].contains("“Rails” could not be saved")) << qPrintable(problems[1]);
    EXPECT_TRUE(problems[1].contains("symbolic link")) << qPrintable(problems[1]);
    EXPECT_TRUE(problems[1].contains("not saved")) << qPrintable(problems[1]);
    EXPECT_TRUE(QFileInfo(stuckFile).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(userFolder() + "/elsewhere"));

    QStringList categories;
    for (const QVariant& entry : readPlist(writableFile).value("categories").toList())
        categories.append(entry.toMap().value("name").toString());
    EXPECT_TRUE(categories.contains("Wide")) << qPrintable(categories.join(','));
    EXPECT_FALSE(writable->needsUpdateOnDisk());
    EXPECT_EQ(toldProblems().size(), 2);
}

// Changes reach the disk when their turn ends, not at quit: a process ended by its display going
// away keeps them. One that ends in the very turn of a change says on its error output which
// library lost it.
TEST_F(LibraryTest, ChangesAreWrittenAsTheirTurnEndsAndThoseLeftWhenTheProcessEndsAreSaid)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    const VXQLibraryItemPtr motorway = makeStyleItem(QStringLiteral("Motorway"));
    roads->addItem(motorway);
    roads->addItem(makeStyleItem(QStringLiteral("Lane")));
    platform::RunLoop::runUntilIdle();
    roads->setUserDescription(QStringLiteral("Main roads"));
    roads->removeItem(motorway.get());
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(roads->needsUpdateOnDisk());
    const QVariantMap written = readPlist(roads->categoryFilePath());
    EXPECT_EQ(written.value("desc").toString(), QStringLiteral("Main roads"));
    EXPECT_EQ(written.value("allitems").toList().size(), 1);

    // A fresh process (the child runs this test again), so that no thread of earlier tests hangs its exit.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    VXQLibraryCatalogue::initialize();
    roads->setCreator(QStringLiteral("Ann Lee"));
    EXPECT_EXIT(std::exit(3), ::testing::ExitedWithCode(3),
                "library .+Roads.+ could not be saved. The application ended before they were written");
    GTEST_FLAG_SET(death_test_style, style);
}

// A category file that is a link to nothing: opening the library says so, naming the link's
// target, and nothing claims a save failed on a library nobody changed.
TEST_F(LibraryTest, ACategoryFileLinkingToNothingIsNamedAndNotWrittenOver)
{
    const QString folder = folderOf(QStringLiteral("Rails"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString categoryFile = folder + QStringLiteral("/Rails.categories");
    const QString gone = userFolder() + QStringLiteral("/moved away.categories");
    ASSERT_TRUE(QFile::link(gone, categoryFile));

    const VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder);
    EXPECT_TRUE(library->loadFailed());
    library->applicationWillQuit();
    const QStringList told = toldProblems();
    ASSERT_EQ(told.size(), 1) << qPrintable(told.join(u'\n'));
    EXPECT_TRUE(told[0].contains("“Rails” could not be opened")) << qPrintable(told[0]);
    EXPECT_TRUE(told[0].contains("symbolic link to “" + gone + "”")) << qPrintable(told[0]);
    EXPECT_TRUE(QFileInfo(categoryFile).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(LibraryTest, UniqueNamesFollowAddsRenamesAndRemovalsIgnoringCase)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Names"));
    const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
    library->addItem(road);
    EXPECT_EQ(library->uniqueItemName(QStringLiteral("ROAD")), QStringLiteral("ROAD-1"));
    library->addItem(makeStyleItem(QStringLiteral("road-1")));
    EXPECT_EQ(library->uniqueItemName(QStringLiteral("Road")), QStringLiteral("Road-2"));

    road->setName(QStringLiteral("Track"));
    EXPECT_EQ(library->uniqueItemName(QStringLiteral("Road")), QStringLiteral("Road"));
    EXPECT_EQ(library->uniqueItemName(QStringLiteral("track")), QStringLiteral("track-1"));
    EXPECT_EQ(library->uniqueItemNameExcluding(QStringLiteral("TRACK"), road.get()), QStringLiteral("TRACK"));

    library->removeItem(road.get());
    EXPECT_EQ(library->uniqueItemName(QStringLiteral("Track")), QStringLiteral("Track"));
}

TEST_F(LibraryTest, MissingArgumentsAreLoggedAndChangeNothing)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    roads->addItem(makeStyleItem(QStringLiteral("Road")));
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    const qsizetype categories = roads->categories().size();
    testsupport::LogCapture log;

    roads->addCategory(nullptr);
    roads->removeCategory(nullptr);
    roads->addItem(nullptr);
    roads->removeItem(nullptr);
    major->addItem(nullptr);
    major->removeCategory(nullptr);
    EXPECT_EQ(roads->itemWithUniqueID(QString()), nullptr);
    VXQLibraryCatalogue::addLibraryToGroupReplaceExisting(nullptr, QStringLiteral("MY LIBRARY"), false);
    VXQLibraryCatalogue::addLibraryToGroupReplaceExisting(roads, QString(), false);
    EXPECT_EQ(VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QString(), {}, false), nullptr);

    EXPECT_TRUE(log.contains(QStringLiteral("can't add nil as a category")));
    EXPECT_TRUE(log.contains(QStringLiteral("no id given")));
    EXPECT_EQ(roads->itemCount(), 1);
    EXPECT_EQ(roads->categories().size(), categories);
    EXPECT_EQ(major->allElementsCount(), 0);
}
