#include "LibraryTesting.h"

#include "library/groups/VXQLibraryGroup.h"
#include "library/menus/LibraryArtwork.h"
#include "library/menus/LibraryMenus.h"
#include "library/menus/VXQLibraryMenuHelper.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/MenuItem.h"
#include "widgets/paint/KitImage.h"

#include <QMenu>

namespace {

QStringList titles(QMenu* menu)
{
    platform::fillMenuFromDelegate(menu);
    QStringList list;
    for (QAction* action : menu->actions())
        list.append(action->text());
    return list;
}

QStringList names(const QList<VXQLibraryPtr>& libraries)
{
    QStringList list;
    for (const VXQLibraryPtr& library : libraries)
        list.append(library->name());
    return list;
}

} // namespace

TEST_F(LibraryTest, GroupsRegisterListAndNameTheirLibraries)
{
    int registered = 0;
    int changed = 0;
    QObject observer;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(&observer, kVXQLibraryGroupWasRegistered, nullptr, [&](const platform::Notification&) { ++registered; });
    center.addObserver(&observer, kVXQLibraryGroupContentWasChanged, nullptr, [&](const platform::Notification&) { ++changed; });

    // A group made without a list has none until a library joins.
    VXQLibraryGroupPtr shared = VXQLibraryGroup::groupWithNameLibraries(QStringLiteral("Shared"), std::nullopt);
    EXPECT_FALSE(shared->libraries().has_value());
    VXQLibraryGroup::registerGroup(shared);
    EXPECT_EQ(registered, 1);

    // The three standard groups come first even when empty; an empty extra group is left out.
    auto flattened = [] {
        QStringList list;
        for (const VXQLibraryElementPtr& element : VXQLibraryGroup::flattenedListOfGroupsAndLibraries())
            list.append(element->name());
        return list;
    };
    EXPECT_EQ(flattened(), QStringList({"VELTRUM LIBRARY", "MY LIBRARY", "OPEN DOCUMENTS"}));

    VXQLibraryPtr base = makeLibrary(QStringLiteral("Base"));
    VXQLibraryPtr base1 = makeLibrary(QStringLiteral("Base 1"));
    VXQLibraryPtr atlas = makeLibrary(QStringLiteral("atlas"));
    VXQLibraryPtr extra = makeLibrary(QStringLiteral("Extra"), QStringLiteral("Shared"));
    ASSERT_TRUE(shared->libraries().has_value());
    EXPECT_EQ(extra->group(), QStringLiteral("Shared"));
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(flattened(), QStringList({"VELTRUM LIBRARY", "MY LIBRARY", "atlas", "Base", "Base 1", "OPEN DOCUMENTS",
                                        "Shared", "Extra"}));
    EXPECT_EQ(VXQLibraryGroup::libraryOrGroupWithUnifiedIndex(3), base);
    EXPECT_EQ(VXQLibraryGroup::libraryOrGroupWithUnifiedIndex(8), nullptr);
    EXPECT_EQ(VXQLibraryGroup::libraryOrGroupWithUnifiedIndex(-1), nullptr);

    VXQLibraryGroup* user = VXQLibraryGroup::userGroup();
    EXPECT_EQ(user->uniqueLibraryName(QStringLiteral("Base")), QStringLiteral("Base 2"));
    EXPECT_EQ(user->uniqueLibraryName(QStringLiteral("Roads")), QStringLiteral("Roads"));
    EXPECT_EQ(user->libraryWithName(QStringLiteral("BASE")), base.get());
    EXPECT_EQ(user->libraryWithPath(base1->path()), base1.get());
    EXPECT_EQ(user->libraryWithPath(QString()), nullptr);
    EXPECT_EQ(user->libraryAtIndex(0), atlas.get());
    EXPECT_EQ(user->libraryAtIndex(3), nullptr);
    EXPECT_EQ(base->identifier(), QStringLiteral("MY LIBRARY.Base"));

    user->removeLibrary(base.get());
    EXPECT_TRUE(base->group().isEmpty());
    EXPECT_EQ(names(*user->libraries()), QStringList({"atlas", "Base 1"}));
    // Registering a group of the same name replaces it.
    VXQLibraryGroup::registerGroup(VXQLibraryGroup::groupWithNameLibraries(QStringLiteral("Shared"), QList<VXQLibraryPtr>()));
    EXPECT_NE(VXQLibraryGroup::groupWithName(QStringLiteral("Shared")), shared.get());
    VXQLibraryGroup::unregisterGroup(QStringLiteral("Shared"));
    EXPECT_EQ(VXQLibraryGroup::groupWithName(QStringLiteral("Shared")), nullptr);
}

TEST_F(LibraryTest, GroupLoadsTheLibraryFoldersOfItsSource)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    roads->addItem(makeStyleItem(QStringLiteral("Road")));
    roads->updateOnDisk();
    makeLibrary(QStringLiteral("Parks"));
    QDir().mkpath(userFolder() + QStringLiteral("/not a library"));
    VXQLibraryGroupPtr group = VXQLibraryGroup::groupWithNameSourcePath(QStringLiteral("Scan"), userFolder());
    ASSERT_TRUE(group->libraries().has_value());
    EXPECT_EQ(names(*group->libraries()), QStringList({"Parks", "Roads"}));
    EXPECT_EQ(group->libraryWithName(QStringLiteral("roads"))->itemCount(), 1);
    EXPECT_EQ(group->libraryWithName(QStringLiteral("roads"))->group(), QStringLiteral("Scan"));
    EXPECT_FALSE(VXQLibraryGroup::groupWithNameSourcePath(QStringLiteral("None"), userFolder() + QStringLiteral("/missing"))
                     ->libraries()
                     .has_value());
}

TEST_F(LibraryTest, MenuOfAllLibrariesIsFilledWhenShownAndFollowsTheGroups)
{
    QObject target;
    std::unique_ptr<QMenu> menu(VXQLibraryGroupMenuHandler::renewLibrariesMenu(nullptr, 7, &target, "chooseCategory:"));
    menu->addAction(QStringLiteral("Owner's item"));
    // No libraries: item 0 and the three group headers.
    EXPECT_EQ(titles(menu.get()), QStringList({"Owner's item", "VELTRUM LIBRARY", "MY LIBRARY", "OPEN DOCUMENTS"}));
    EXPECT_FALSE(menu->actions()[1]->data().isValid());
    EXPECT_TRUE(menu->actions()[1]->font().bold());

    VXQLibraryPtr base = makeLibrary(QStringLiteral("Base"));
    base->addCategoryWithName(QStringLiteral("Roads"))->addCategoryWithName(QStringLiteral("Minor"));
    base->categoryWithName(QStringLiteral("Roads"))->setReadOnly(true);
    EXPECT_EQ(titles(menu.get()), QStringList({"Owner's item", "VELTRUM LIBRARY", "MY LIBRARY", "Base", "OPEN DOCUMENTS"}));
    auto* libraryItem = qobject_cast<platform::MenuItem*>(menu->actions()[3]);
    ASSERT_TRUE(libraryItem);
    EXPECT_EQ(libraryItem->representedObject().toString(), QStringLiteral("MY LIBRARY.Base"));
    EXPECT_EQ(libraryItem->target(), &target);
    EXPECT_EQ(libraryItem->action(), QByteArray("chooseCategory:"));
    // Each entry shows its element's icon: the group's artwork, the collection, the category.
    const auto showsIcon = [](const QAction* entry, const QImage& icon) {
        return !icon.isNull() && entry->isIconVisibleInMenu()
            && entry->icon().pixmap(icon.deviceIndependentSize().toSize(), icon.devicePixelRatio()).toImage().convertToFormat(QImage::Format_ARGB32)
            == icon.convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_TRUE(showsIcon(menu->actions()[2], VXQLibraryGroup::userGroup()->icon()));
    EXPECT_TRUE(showsIcon(libraryItem, base->icon()));

    // The library's submenu lists its categories by name; nested ones get their own submenu.
    QMenu* categories = libraryItem->menu();
    ASSERT_TRUE(categories);
    EXPECT_EQ(VXQLibraryMenuHelper::menuHelperForMenu(categories)->options(), 7);
    const QStringList categoryTitles = titles(categories);
    EXPECT_TRUE(categoryTitles.contains(QStringLiteral("Roads")));
    EXPECT_TRUE(categoryTitles.contains(QStringLiteral("All Items")));
    QAction* roads = categories->actions()[categoryTitles.indexOf(QStringLiteral("Roads"))];
    EXPECT_TRUE(roads->font().italic());
    ASSERT_TRUE(roads->menu());
    EXPECT_EQ(titles(roads->menu()), QStringList({"Minor"}));
    EXPECT_TRUE(showsIcon(roads, base->categoryWithName(QStringLiteral("Roads"))->icon()));
    EXPECT_EQ(qobject_cast<platform::MenuItem*>(roads->menu()->actions()[0])->representedObject().toString(),
              QStringLiteral("MY LIBRARY.Base.Roads.Minor"));

    // Filling again replaces the submenus, and their records go with them.
    QPointer<QMenu> oldSubmenu = categories;
    titles(menu.get());
    EXPECT_TRUE(oldSubmenu.isNull());
    EXPECT_NE(libraryItem->menu(), nullptr);
    QMenu* dying = libraryItem->menu();
    delete dying;
    EXPECT_EQ(VXQLibraryMenuHelper::menuHelperForMenu(dying), nullptr);
}

TEST_F(LibraryTest, GroupMenuListsLibrariesWithCategoryMenusAndOutlivesItsGroup)
{
    VXQLibraryPtr plain = makeLibrary(QStringLiteral("Plain"));
    plain->setAllowsCategoryChanges(true);
    VXQLibraryGroup* user = VXQLibraryGroup::userGroup();
    std::unique_ptr<QMenu> menu(LibraryContainerMenu::librariesMenu(user, 0, nullptr, "pick:"));
    EXPECT_EQ(menu->title(), QStringLiteral("Collections"));
    EXPECT_EQ(titles(menu.get()), QStringList({"Plain"}));
    EXPECT_TRUE(menu->actions()[0]->menu());

    VXQLibraryCatalogue::Scope forget;
    EXPECT_TRUE(titles(menu.get()).isEmpty());
}

TEST_F(LibraryTest, BoldTitlingMarksTheTrailToACategory)
{
    platform::MenuItem item(QStringLiteral("Base"));
    const QString identifier = QStringLiteral("MY LIBRARY.Base.Roads");
    item.setRepresentedObject(QStringLiteral("MY LIBRARY.Base"));
    VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(&item, identifier);
    EXPECT_TRUE(item.font().bold());
    item.setRepresentedObject(QStringLiteral("MY LIBRARY.Bas"));
    VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(&item, identifier);
    EXPECT_FALSE(item.font().bold());
    item.setRepresentedObject(QStringLiteral("MY LIBRARY.Base.Roads"));
    VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(&item, identifier);
    EXPECT_TRUE(item.font().bold());
    // A header (no represented object) is left as it was.
    item.setRepresentedObject({});
    VXQLibraryGroupMenuHandler::setBoldTitlingForMenuTrail(&item, identifier);
    EXPECT_TRUE(item.font().bold());
}

TEST_F(LibraryTest, LibrariesShowACollectionAndGroupsTheirArtworkSixteenHigh)
{
    const auto sameImage = [](const QImage& shown, const QString& name, QSizeF points) {
        const QImage expected = imageNamed(name).imageOfSize(points, shown.devicePixelRatio());
        return !shown.isNull() && shown.size() == expected.size() &&
               shown.convertToFormat(QImage::Format_ARGB32) == expected.convertToFormat(QImage::Format_ARGB32);
    };
    const VXQLibraryPtr base = makeLibrary(QStringLiteral("Base"));
    EXPECT_TRUE(sameImage(base->icon(), QStringLiteral("VL_Collection"), {16, 16}));

    const QImage user = libraryGroupIcon(QStringLiteral("MY LIBRARY"));
    const QSizeF shelf = imageNamed(QStringLiteral("VLTB_Library")).size();
    ASSERT_FALSE(shelf.isEmpty());
    EXPECT_DOUBLE_EQ(user.deviceIndependentSize().height(), 16);
    EXPECT_NEAR(user.deviceIndependentSize().width(), 16 * shelf.width() / shelf.height(), 1);
    EXPECT_TRUE(sameImage(user, QStringLiteral("VLTB_Library"), {16 * shelf.width() / shelf.height(), 16}));
    const QImage factory = libraryGroupIcon(kVXQLibraryFactoryGroupName);
    EXPECT_DOUBLE_EQ(factory.deviceIndependentSize().height(), 16);
    EXPECT_FALSE(sameImage(factory, QStringLiteral("VLTB_Library"), user.deviceIndependentSize()));
}
