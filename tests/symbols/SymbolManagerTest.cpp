#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "MasterTestSupport.h"

#include "app/utilities/FileUtilities.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "symbols/manager/VXQSymbolManager.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using mastertest::rectangleMaster;

// An application delegate that hands over a registry of its own, as the symbol library will.
class LibraryDelegate : public ZQObject {
    Q_OBJECT

public:
    std::shared_ptr<VXQSymbolManager> library = std::make_shared<VXQSymbolManager>();
    int asked = 0;

    Q_INVOKABLE ZQObjectPtr applicationWillReturnSymbolManager()
    {
        ++asked;
        return library;
    }
};

// A library registry that takes the image manager a registry archive brings.
class ImageKeepingRegistry : public VXQSymbolManager {
    Q_OBJECT

public:
    VXImageDataManagerPtr images;
    std::shared_ptr<VXImageDataManager> imageManager() const override { return images; }
    void setImageManager(const std::shared_ptr<VXImageDataManager>& manager) override { images = manager; }
};

int countPosts(const QString& name, const std::function<void()>& action)
{
    int posted = 0;
    QObject listener;
    platform::NotificationCenter::defaultCenter().addObserver(&listener, name, nullptr,
                                                              [&](const platform::Notification&) { ++posted; });
    action();
    platform::NotificationCenter::defaultCenter().removeObserver(&listener);
    return posted;
}

class SymbolManagerTest : public ::testing::Test {
protected:
    VXQSymbolManager::SharedRegistryScope registry;
    VXQSymbolManager& own() const { return dynamic_cast<VXQSymbolManager&>(*VXQSymbolManager::sharedSymbolManager()); }
};

TEST_F(SymbolManagerTest, TheDelegatesRegistryIsAskedForOnceAndKept)
{
    LibraryDelegate delegate;
    QObject* previous = platform::Application::delegate();
    platform::Application::setDelegate(&delegate);
    {
        const VXQSymbolManager::SharedRegistryScope fresh(VXQSymbolManager::SharedRegistryScope::Start::AskDelegate);
        EXPECT_EQ(VXQSymbolManager::sharedSymbolManager(), delegate.library.get());
        EXPECT_EQ(VXQSymbolManager::sharedSymbolManager(), delegate.library.get());
        EXPECT_EQ(delegate.asked, 1);
    }
    platform::Application::setDelegate(nullptr);
    {
        // Without a delegate (as with one that answers nothing) the manager is its own registry.
        const VXQSymbolManager::SharedRegistryScope fresh(VXQSymbolManager::SharedRegistryScope::Start::AskDelegate);
        EXPECT_NE(dynamic_cast<VXQSymbolManager*>(VXQSymbolManager::sharedSymbolManager()), nullptr);
        EXPECT_NE(VXQSymbolManager::sharedSymbolManager(), delegate.library.get());
    }
    platform::Application::setDelegate(previous);
}

TEST_F(SymbolManagerTest, RegisteringNamesUniquelyLogsAndPostsOnlyForNewKeys)
{
    const VXQSymbolMasterPtr unnamed = rectangleMaster(QString());
    const VXQSymbolMasterPtr alsoUnnamed = rectangleMaster(QString());
    testsupport::LogCapture log;
    EXPECT_EQ(countPosts(kVXQSymbolWasRegisteredNotification, [&] { VXQSymbolManager::registerSymbol(unnamed); }), 1);
    EXPECT_EQ(unnamed->name(), QStringLiteral("untitled symbol"));
    EXPECT_TRUE(log.contains(QStringLiteral("registered new symbol")));
    EXPECT_TRUE(log.contains(unnamed->uniqueKey()));
    VXQSymbolManager::registerSymbol(alsoUnnamed);
    EXPECT_EQ(alsoUnnamed->name(), QStringLiteral("untitled symbol 1"));

    // A key already known: nothing changes, nothing is posted.
    unnamed->setName(QStringLiteral("Renamed"));
    EXPECT_EQ(countPosts(kVXQSymbolWasRegisteredNotification, [&] { VXQSymbolManager::registerSymbol(unnamed); }), 0);
    EXPECT_EQ(unnamed->name(), QStringLiteral("Renamed"));

    // A locked master keeps its name.
    const VXQSymbolMasterPtr locked = rectangleMaster(QStringLiteral("Renamed"));
    locked->setLocked(true);
    VXQSymbolManager::registerSymbol(locked);
    EXPECT_EQ(locked->name(), QStringLiteral("Renamed"));
    EXPECT_EQ(VXQSymbolManager::sharedSymbolForKey(locked->uniqueKey()), locked);

    EXPECT_EQ(VXQSymbolManager::registeredSymbolKeys(),
              (QStringList{unnamed->uniqueKey(), alsoUnnamed->uniqueKey(), locked->uniqueKey()}));
    EXPECT_EQ(own().allKeysInCategory(kVXQAllUserSymbolsCategory).size(), 3);
    EXPECT_EQ(own().symbolWithName(QStringLiteral("untitled symbol 1")), alsoUnnamed);
    EXPECT_FALSE(own().symbolWithName(QStringLiteral("nothing")));
    EXPECT_EQ(own().symbolNames(), (QStringList{QStringLiteral("Renamed"), QStringLiteral("Renamed"),
                                                QStringLiteral("untitled symbol 1")}));

    VXQSymbolManager::unregisterSymbol(*alsoUnnamed);
    EXPECT_FALSE(VXQSymbolManager::sharedSymbolForKey(alsoUnnamed->uniqueKey()));
    EXPECT_THROW(VXQSymbolManager::registerSymbol(nullptr), platform::AssertionFailure);
}

TEST_F(SymbolManagerTest, UniqueNamesCountFromOneAndSortNumerically)
{
    for (const QString& name : {QStringLiteral("Tree"), QStringLiteral("Tree 1"), QStringLiteral("tree 10"), QStringLiteral("Tree 2")})
        own().addObjectForKeyToCategoriesCreateCategories(rectangleMaster(name), name, {}, false);
    EXPECT_EQ(own().uniqueNameForName(QStringLiteral("Tree")), QStringLiteral("Tree 3"));
    EXPECT_EQ(own().uniqueNameForName(QStringLiteral("Bush")), QStringLiteral("Bush"));
    EXPECT_EQ(own().symbolNames(),
              (QStringList{QStringLiteral("Tree"), QStringLiteral("Tree 1"), QStringLiteral("Tree 2"), QStringLiteral("tree 10")}));
    EXPECT_EQ(own().symbolNamesWithSorting(false).first(), QStringLiteral("Tree"));
}

TEST_F(SymbolManagerTest, RecentListsTakeOnlyKnownKeysMostRecentFirst)
{
    const VXQSymbolMasterPtr oak = rectangleMaster(QStringLiteral("Oak"));
    const VXQSymbolMasterPtr elm = rectangleMaster(QStringLiteral("Elm"));
    VXQSymbolManager::registerSymbol(oak);
    VXQSymbolManager::registerSymbol(elm);
    EXPECT_FALSE(VXQSymbolManager::symbolForKeyAddingToRecentlyUsed(QStringLiteral("unknown")));
    EXPECT_TRUE(own().recentList(1).isEmpty());
    EXPECT_EQ(VXQSymbolManager::symbolForKeyAddingToRecentlyUsed(oak->uniqueKey()), oak);
    VXQSymbolManager::symbolForKeyAddingToRecentlyUsed(elm->uniqueKey());
    VXQSymbolManager::symbolForKeyAddingToRecentlyUsed(oak->uniqueKey());
    EXPECT_EQ(own().recentList(1), (QStringList{oak->uniqueKey(), elm->uniqueKey()}));
    for (int i = 0; i < VXQSymbolManager::kRecentListLength + 5; ++i)
        own().addKeyToRecentList(QString::number(i), 2);
    EXPECT_EQ(own().recentList(2).size(), VXQSymbolManager::kRecentListLength);
}

TEST_F(SymbolManagerTest, ChangesOfHeldMastersAreRelayedWithTheMaster)
{
    const VXQSymbolMasterPtr held = rectangleMaster(QStringLiteral("Held"));
    const VXQSymbolMasterPtr loose = rectangleMaster(QStringLiteral("Loose"));
    VXQSymbolManager::registerSymbol(held);
    QList<QVariantMap> relayed;
    QObject listener;
    platform::NotificationCenter::defaultCenter().addObserver(
        &listener, kVXQRegisteredSymbolDidChangeNotification, nullptr,
        [&](const platform::Notification& notification) { relayed.append(notification.userInfo); });
    held->setUserDescription(QStringLiteral("changed"));
    loose->setUserDescription(QStringLiteral("changed"));
    platform::NotificationCenter::defaultCenter().removeObserver(&listener);
    ASSERT_EQ(relayed.size(), 1);
    EXPECT_EQ(relayed.first().value(QStringLiteral("Symbol")).value<ZQObjectPtr>(), held);
}

TEST_F(SymbolManagerTest, DataRoundTripRestoresCategoriesAndAppends)
{
    const VXQSymbolMasterPtr oak = rectangleMaster(QStringLiteral("Oak"));
    VXQSymbolManager::registerSymbol(oak);
    const VXQSymbolMasterPtr pine = rectangleMaster(QStringLiteral("Pine"));
    own().addObjectForKeyToCategoriesCreateCategories(pine, pine->uniqueKey(), {QStringLiteral("Conifers")}, true);
    const QByteArray data = VXQSymbolManager::registeredSymbolsData();

    VXQSymbolManager other;
    other.appendContentsWithData(data);
    EXPECT_TRUE(other.categories().contains(QStringLiteral("Conifers")));
    EXPECT_EQ(other.symbolNamesInCategory(QStringLiteral("Conifers")), QStringList{QStringLiteral("Pine")});
    // The registered master read back is the registered object, shared by key.
    EXPECT_EQ(other.symbolForKey(oak->uniqueKey()), oak);

    testsupport::LogCapture log;
    other.appendContentsWithData(QByteArray("not an archive"));
    EXPECT_EQ(other.symbolNames().size(), 2);

    VXQSymbolManager::resetRegistry();
    EXPECT_TRUE(VXQSymbolManager::registeredSymbolKeys().isEmpty());
    EXPECT_EQ(own().categories(), VXQSymbolManager::defaultCategories());
}

TEST_F(SymbolManagerTest, MenuListsMastersByNameThenManageSymbols)
{
    VXQSymbolManager::registerSymbol(rectangleMaster(QStringLiteral("Zebra crossing")));
    VXQSymbolManager::registerSymbol(rectangleMaster(QStringLiteral("Anchor")));
    QObject target;
    const auto menu = VXQSymbolManager::sharedManagedSymbolsMenuWithItemTargetItemAction(&target, "chooseSymbol");
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Anchor"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Zebra crossing"));
    EXPECT_FALSE(items[0]->icon().isNull());
    const auto* item = qobject_cast<platform::MenuItem*>(items[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->target(), &target);
    EXPECT_EQ(item->action(), QByteArray("chooseSymbol"));
    EXPECT_TRUE(items[2]->isSeparator());
    const auto* manage = qobject_cast<platform::MenuItem*>(items[3]);
    ASSERT_NE(manage, nullptr);
    EXPECT_EQ(manage->title(), QStringLiteral("Manage Symbols..."));
    EXPECT_EQ(manage->action(), QByteArray("manageSymbolsAction"));
    EXPECT_EQ(manage->target(), nullptr);
}

TEST_F(SymbolManagerTest, LibrariesOnDiskAreListedFromAFolderMadeWhenMissing)
{
    QDir folder(QDir(thisApplicationsSupportFolderURL().toLocalFile()).filePath(QStringLiteral("Symbol Libraries")));
    folder.removeRecursively();
    EXPECT_TRUE(VXQSymbolManager::availableSymbolLibrariesOnDisk().isEmpty());
    ASSERT_TRUE(folder.exists());
    for (const QString& name : {QStringLiteral("b.sslib"), QStringLiteral("a.ssf"), QStringLiteral("notes.txt")}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(VXQSymbolManager::availableSymbolLibrariesOnDisk(),
              (QStringList{folder.filePath(QStringLiteral("a.ssf")), folder.filePath(QStringLiteral("b.sslib"))}));
    folder.removeRecursively();
}

TEST(ImageDataManager, KeepsEachPictureOnceAndDropsDamagedBlocksOnReading)
{
    VXImageDataManager images;
    const QByteArray png = QByteArrayLiteral("\x89PNG picture");
    const QString key = images.keyForImageData(png);
    EXPECT_EQ(images.keyForImageData(QByteArray(png)), key);
    EXPECT_NE(images.keyForImageData(QByteArrayLiteral("another")), key);
    EXPECT_TRUE(images.keyForImageData({}).isEmpty());
    EXPECT_EQ(images.count(), 2);
    EXPECT_EQ(images.imageDataForKey(key), png);
    EXPECT_TRUE(images.imageDataForKey(QStringLiteral("unknown")).isEmpty());

    const auto decoded = testsupport::roundTrip<VXImageDataManager>(images);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->count(), 2);
    EXPECT_EQ(decoded->imageDataForKey(key), png);

    // A block whose bytes were changed no longer answers its key.
    testsupport::ArchiveStub stub;
    stub.values.insert(QStringLiteral("VXImageDataManager_images"),
                       QVariantMap{{key, QByteArrayLiteral("changed")}, {VXImageDataManager::keyForContent("ok"), QByteArray("ok")}});
    testsupport::LogCapture log;
    const auto damaged = std::dynamic_pointer_cast<VXImageDataManager>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXImageDataManager"))));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->allKeys(), QStringList{VXImageDataManager::keyForContent("ok")});
    EXPECT_TRUE(log.contains(QStringLiteral("1 damaged image(s) left out")));
}

TEST_F(SymbolManagerTest, ArchivesCarryTheImageManagerToTheSharedRegistryAndOldOnesStillRead)
{
    VXQSymbolManager written;
    // An own registry hands out none and takes none.
    EXPECT_EQ(written.imageManager(), nullptr);
    written.setImageManager(std::make_shared<VXImageDataManager>());
    EXPECT_EQ(written.imageManager(), nullptr);
    const QString key = written.symbolImagesManager()->keyForImageData(QByteArrayLiteral("picture"));
    written.addObjectForKeyToCategoriesCreateCategories(rectangleMaster(), QStringLiteral("k1"), {}, true);

    const auto library = std::make_shared<ImageKeepingRegistry>();
    LibraryDelegate delegate;
    delegate.library = library;
    QObject* previous = platform::Application::delegate();
    platform::Application::setDelegate(&delegate);
    {
        const VXQSymbolManager::SharedRegistryScope asked(VXQSymbolManager::SharedRegistryScope::Start::AskDelegate);
        const auto read = std::dynamic_pointer_cast<VXQSymbolManager>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(written.data()));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->symbolImagesManager()->imageDataForKey(key), QByteArrayLiteral("picture"));
        EXPECT_EQ(library->images, read->symbolImagesManager());
        EXPECT_TRUE(read->symbolForKey(QStringLiteral("k1")));
    }
    platform::Application::setDelegate(previous);

    // Written before registries kept images: a fresh, empty manager.
    library->images.reset();
    const auto old = std::dynamic_pointer_cast<VXQSymbolManager>(platform::KeyedUnarchiver::unarchiveObjectWithData(
        testsupport::ArchiveStub().archiveAs(QStringLiteral("VXQSymbolManager"))));
    ASSERT_TRUE(old);
    ASSERT_TRUE(old->symbolImagesManager());
    EXPECT_EQ(old->symbolImagesManager()->count(), 0);
    EXPECT_TRUE(old->categories().contains(kVXQAutomaticKeyItemsCategory));
}

} // namespace

#include "SymbolManagerTest.moc"
