#include "LibraryTesting.h"

#include "../app/MapDocumentTestSupport.h"
#include "app/LaunchSettingsScope.h"
#include "platform/ui/DocumentController.h"
#include "app/application/VLTMAppDelegate.h"
#include "library/LibraryServicesInstallation.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "symbols/utilities/SymbolUtilities.h"

#include <QScopeGuard>

TEST_F(LibraryTest, ShimLooksUpEveryGroupButCountsOnlyFactoryAndUserLibraries)
{
    VXQLibraryPtr document = makeLibrary(QStringLiteral("Map"), kVXQLibraryDocumentGroupName);
    VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    const VXQLibraryItemPtr docItem = makeStyleItem(QStringLiteral("Coast"));
    const VXQLibraryItemPtr myItem = makeSymbolItem(QStringLiteral("Tree"));
    document->addItem(docItem);
    mine->addItem(myItem);
    const auto shim = VXQLibraryRegistryShim::shim();

    const QString docKey = docItem->uniqueKey();
    ASSERT_TRUE(shim->styleForKey(docKey));
    EXPECT_EQ(shim->styleForKey(docKey)->name(), QStringLiteral("Coast"));
    EXPECT_FALSE(shim->containsKey(docKey));
    EXPECT_TRUE(shim->containsKey(myItem->uniqueKey()));
    // Neither look-up checks the kind; a style look-up of a master answers none.
    EXPECT_EQ(shim->symbolForKey(myItem->uniqueKey()), myItem->representedObject());
    EXPECT_EQ(shim->styleForKey(myItem->uniqueKey()), nullptr);
    EXPECT_EQ(shim->styleForKey(QStringLiteral("no such key")), nullptr);
    EXPECT_EQ(shim->symbolWithName(QStringLiteral("Tree")), nullptr);
    EXPECT_EQ(shim->uniqueNameForName(QStringLiteral("Tree")), QStringLiteral("Tree"));

    // Registrations are kept alive and stored nowhere.
    std::weak_ptr<VXStyle> registered;
    {
        const VXStylePtr style = makeStyle(QStringLiteral("Loose"));
        registered = style;
        shim->addObjectForKeyToCategoriesCreateCategories(style, style->uniqueKey(), {}, true);
        EXPECT_FALSE(shim->containsKey(style->uniqueKey()));
    }
    EXPECT_FALSE(registered.expired());
    EXPECT_TRUE(shim->styleNames().isEmpty());
    EXPECT_EQ(shim->imageManager(), VXQLibraryRegistryShim::shim()->imageManager());
}

TEST_F(LibraryTest, RegisterStyleAddsALockedUniquelyNamedCopyAndAsksForSubstitution)
{
    VXQLibraryPtr collection = makeLibrary(QStringLiteral("Collection"));
    VXQLibraryCatalogue::setDefaultUserLibrary(collection.get());
    collection->addItem(makeStyleItem(QStringLiteral("Road")));
    QStringList revealed;
    VXQLibraryRegistryShim::setManagerReveal([&](const QString& key) { revealed.append(key); });
    QList<platform::Notification> posted;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, kVXQStyleSubstitutionWasPerformed, nullptr,
        [&](const platform::Notification& notification) { posted.append(notification); });

    const VXStylePtr road = makeStyle(QStringLiteral("Road"), Qt::blue);
    const VXQLibraryItemPtr item = VXQLibraryRegistryShim::registerStyle(road);
    VXQLibraryRegistryShim::setManagerReveal({});
    ASSERT_TRUE(item);
    EXPECT_EQ(item->name(), QStringLiteral("Road-1"));
    EXPECT_TRUE(item->locked());
    EXPECT_EQ(item->library(), collection.get());
    const VXStylePtr copy = item->style();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->uniqueKey(), road->uniqueKey());
    EXPECT_TRUE(copy->locked());
    EXPECT_FALSE(road->locked());
    EXPECT_EQ(revealed, QStringList({copy->uniqueKey()}));
    ASSERT_EQ(posted.size(), 1);
    EXPECT_EQ(posted[0].sender, VXQLibraryRegistryShim::shimClass());
    EXPECT_EQ(posted[0].userInfo.value(QStringLiteral("old_style")).value<ZQObjectPtr>(), road);
    EXPECT_EQ(posted[0].userInfo.value(QStringLiteral("new_style")).value<ZQObjectPtr>(), copy);

    // A style a user library holds already is not registered again.
    EXPECT_EQ(VXQLibraryRegistryShim::registerStyle(copy), nullptr);
    EXPECT_EQ(collection->itemCount(), 2);

    // A default library that refuses new content reports the failure and asks for nothing.
    collection->setAllowsContentChanges(false);
    EXPECT_EQ(VXQLibraryRegistryShim::registerStyle(makeStyle(QStringLiteral("Rail"))), nullptr);
    EXPECT_EQ(posted.size(), 1);
    EXPECT_EQ(collection->itemCount(), 2);
}

// The application delegate hands the symbol manager the libraries as its registry, as at launch.
class RegistryThroughTheApplication : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        installLibraryServices();
        platform::Application::setDelegate(&delegate);
    }

    void TearDown() override
    {
        platform::Application::setDelegate(nullptr);
        VXStyleRegistry::setStyleRegistry(nullptr);
        LibraryTest::TearDown();
    }

    VLTMAppDelegate delegate;
    VXQSymbolManager::SharedRegistryScope asked{VXQSymbolManager::SharedRegistryScope::Start::AskDelegate};
};

TEST_F(RegistryThroughTheApplication, MastersComeFromTheLibrariesForMapsReadFromDiskAndForTheSymbolTool)
{
    ASSERT_TRUE(dynamic_cast<VXQLibraryRegistryShim*>(VXQSymbolManager::sharedSymbolManager()));
    VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
    const VXQLibraryItemPtr tower = makeSymbolItem(QStringLiteral("Tower"));
    mine->addItem(tower);
    const VXQSymbolMasterPtr master = tower->symbolMaster();

    // A map placing the master, saved, while the library's master changes afterwards.
    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Town.qvnl")));
    {
        const auto document = mapdocumenttest::newMapDocument();
        mapdocumenttest::activeMappingLayer(*document)->addObject(master->symbolWithLocation(QPointF(50, 50)));
        QuorvaneError error;
        ASSERT_TRUE(document->writeToURLOfTypeError(url, kZQMapDocumentType, &error))
            << qPrintable(error.localizedDescription());
        document->close();
    }
    master->setName(QStringLiteral("Tower (redrawn)"));
    const auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    ASSERT_TRUE(reopened->initWithContentsOfURLOfTypeError(url, kZQMapDocumentType, &error))
        << qPrintable(error.localizedDescription());
    const QList<VXDrawableObjectPtr> placed = allSymbols(*reopened->drawing());
    ASSERT_EQ(placed.size(), 1);
    const VXQSymbolMasterPtr shown = qobject_cast<VXQSymbol*>(placed[0].get())->master();
    EXPECT_EQ(shown, master);
    EXPECT_EQ(shown->name(), QStringLiteral("Tower (redrawn)"));
    reopened->close();

    // The symbol tool takes its master back from the saved key; an unknown key leaves it none.
    const QByteArray saved = VXQSymbolTool(master).persistentData();
    VXQSymbolTool restored(nullptr);
    EXPECT_TRUE(restored.shouldLoadPersistentData(saved));
    EXPECT_EQ(restored.symbolMaster(), master);
    restored.shouldLoadPersistentData(QByteArrayLiteral("no library holds this key"));
    EXPECT_EQ(restored.symbolMaster(), nullptr);
}

// As at launch: the file is opened before anything else has used the libraries.
TEST_F(RegistryThroughTheApplication, AMapOpenedAtLaunchPlacesTheLibrarysMasterNotACopyOfItsOwn)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tower.qvnl"));
    QString key;
    {
        VXQLibraryPtr mine = makeLibrary(QStringLiteral("Mine"));
        const VXQLibraryItemPtr tower = makeSymbolItem(QStringLiteral("Tower"));
        mine->addItem(tower);
        key = tower->uniqueKey();
        ASSERT_TRUE(mine->updateOnDisk());
        const auto document = mapdocumenttest::newMapDocument();
        mapdocumenttest::activeMappingLayer(*document)->addObject(tower->symbolMaster()->symbolWithLocation(QPointF(50, 50)));
        QuorvaneError error;
        ASSERT_TRUE(document->writeToURLOfTypeError(QUrl::fromLocalFile(path), kZQMapDocumentType, &error))
            << qPrintable(error.localizedDescription());
        document->close();
    }
    // The run ends; the next one has discovered nothing yet.
    VXQLibraryCatalogue::applicationWillQuit();
    ASSERT_EQ(VXQLibraryCatalogue::libraryWithName(QStringLiteral("Mine")), nullptr);

    const testsupport::LaunchSettingsScope launchSettings;
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    platform::DocumentController* controller = platform::DocumentController::existingSharedDocumentController();
    const auto closeAll = qScopeGuard([controller] { controller->closeAllDocuments(); });
    ASSERT_TRUE(delegate.applicationOpenFiles({path}));
    ASSERT_EQ(controller->documents().size(), 1);
    const auto* opened = qobject_cast<ZQQuorvaneDocument*>(controller->documents().first());
    ASSERT_TRUE(opened);
    const QList<VXDrawableObjectPtr> placed = allSymbols(*opened->drawing());
    ASSERT_EQ(placed.size(), 1);
    const VXQSymbolMasterPtr shown = qobject_cast<VXQSymbol*>(placed[0].get())->master();

    VXQLibrary* library = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(key);
    ASSERT_TRUE(library);
    EXPECT_EQ(library->name(), QStringLiteral("Mine"));
    VXQLibraryItem* item = library->itemWithUniqueID(key);
    EXPECT_EQ(shown, item->symbolMaster());
    // Renamed in the library, the placed symbol follows.
    item->setName(QStringLiteral("Tower B"));
    EXPECT_EQ(shown->name(), QStringLiteral("Tower B"));
}

TEST_F(RegistryThroughTheApplication, AnArchivedRegistrysImagesBecomeTheProcesssImages)
{
    const auto archived = std::make_shared<VXQSymbolManager>();
    const QByteArray picture("pixels of a church");
    const QString key = archived->symbolImagesManager()->keyForImageData(picture);
    ASSERT_TRUE(platform::KeyedUnarchiver::unarchiveObjectWithData(archived->data()));
    VXQSymbolRegistry* registry = VXQSymbolManager::sharedSymbolManager();
    ASSERT_TRUE(registry->imageManager());
    EXPECT_EQ(registry->imageManager()->imageDataForKey(key), picture);
    EXPECT_EQ(VXQLibraryRegistryShim::shim()->imageManager(), registry->imageManager());
}
