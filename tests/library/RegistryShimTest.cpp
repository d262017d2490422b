#include "LibraryTesting.h"

#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/NotificationCenter.h"

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
    EXPECT_EQ(VXQLibraryRegistryShim::imageManager(), VXQLibraryRegistryShim::imageManager());
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
