#include "LibraryTesting.h"

#include "library/categories/VXQLibrarySmartCategory.h"

namespace {

VXQLibraryPtr memoryLibrary(const QString& name)
{
    VXQLibraryPtr library = VXQLibrary::libraryWithPathAddingStandardCategories({}, false);
    library->setName(name);
    library->setGroup(QStringLiteral("MY LIBRARY"));
    return library;
}

QStringList names(const VXQLibraryElementContainer::ElementList& elements)
{
    QStringList list;
    for (const auto& element : elements)
        list.append(element->name());
    return list;
}

} // namespace

TEST_F(LibraryTest, SubContainerNamesAreMadeUniqueAndLookedUpWithoutDots)
{
    VXQLibraryPtr base = memoryLibrary(QStringLiteral("Base"));
    base->addCategoryWithName(QStringLiteral("Roads"));
    base->addCategoryWithName(QStringLiteral("Roads-1"));
    EXPECT_EQ(base->uniqueNameForSubContainer(QStringLiteral("Roads")), "Roads-2");
    EXPECT_EQ(base->uniqueNameForSubContainer(QStringLiteral("Rivers")), "Rivers");

    VXQLibraryCategory* dotted = base->addCategoryWithName(QStringLiteral("Ro.ads"));
    ASSERT_TRUE(dotted);
    EXPECT_EQ(base->subContainerWithName(QStringLiteral("Roads")), base->categoryWithName(QStringLiteral("Roads")));
    EXPECT_EQ(base->subContainerWithName(QStringLiteral("Ro.ads")), nullptr);

    VXQLibraryCategory* roads = base->categoryWithName(QStringLiteral("Roads"));
    EXPECT_EQ(roads->identifier(), "MY LIBRARY.Base.Roads");
    VXQLibraryCategory* minor = roads->addCategoryWithName(QStringLiteral("Minor"));
    EXPECT_EQ(minor->identifier(), "MY LIBRARY.Base.Roads.Minor");
    EXPECT_EQ(base->itemWithIdentifier(minor->identifier()), minor);
    EXPECT_EQ(base->itemWithIdentifier(QStringLiteral("MY LIBRARY.Base")), nullptr);
    EXPECT_EQ(base->itemWithIdentifier(QStringLiteral("OTHER.Base.Roads")), nullptr);
}

TEST_F(LibraryTest, DottedLibraryNamesStillResolveTheirIdentifiers)
{
    VXQLibraryPtr library = memoryLibrary(QStringLiteral("Roads v1.2"));
    VXQLibraryCategory* minor = library->addCategoryWithName(QStringLiteral("Minor"));
    EXPECT_EQ(minor->identifier(), "MY LIBRARY.Roads v12.Minor");
    EXPECT_EQ(library->itemWithIdentifier(minor->identifier()), minor);
}

TEST_F(LibraryTest, SortedViewsFollowTheCookieAndMembershipChanges)
{
    VXQLibraryPtr library = memoryLibrary(QStringLiteral("Base"));
    auto parent = VXQLibraryCategory::categoryWithNameLibrary(QStringLiteral("Parent"), library.get());
    library->addCategory(parent);
    for (const QString& name : {QStringLiteral("b 10"), QStringLiteral("B 9"), QStringLiteral("a")})
        parent->addCategoryWithName(name);

    const QList<LibrarySortDescriptor> byName{{QStringLiteral("name"), true}};
    EXPECT_EQ(names(parent->sortedElementsUsingSortDescriptorsCookie(byName, 1)), QStringList({"a", "B 9", "b 10"}));
    // Same cookie: the stored order, whatever the descriptors.
    EXPECT_EQ(names(parent->sortedElementsUsingSortDescriptorsCookie({byName[0].reversed()}, 1)),
              QStringList({"a", "B 9", "b 10"}));
    EXPECT_EQ(names(parent->sortedElementsUsingSortDescriptorsCookie({byName[0].reversed()}, 2)),
              QStringList({"b 10", "B 9", "a"}));
    parent->sortedSubContainersUsingSortDescriptorsCookie(byName, 7);
    parent->categoryWithName(QStringLiteral("a"))->setName(QStringLiteral("z"));
    // A renamed category is sorted again in both views, whatever the cookie.
    EXPECT_EQ(names(parent->sortedElementsUsingSortDescriptorsCookie(byName, 2)), QStringList({"B 9", "b 10", "z"}));
    EXPECT_EQ(names(parent->sortedSubContainersUsingSortDescriptorsCookie(byName, 7)), QStringList({"B 9", "b 10", "z"}));
}

TEST_F(LibraryTest, RemovingASubCategoryTakesItsItemsOutOfTheParentsAllElements)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Tree"));
    VXQLibraryCategory* parent = library->addCategoryWithName(QStringLiteral("Parent"));
    VXQLibraryCategory* child = parent->addCategoryWithName(QStringLiteral("Child"));
    const VXQLibraryItemPtr road = makeStyleItem(QStringLiteral("Road"));
    const VXQLibraryItemPtr rail = makeStyleItem(QStringLiteral("Rail"));
    parent->addItem(road);
    child->addItem(rail);
    const QList<LibrarySortDescriptor> byName{{QStringLiteral("name"), true}};
    EXPECT_EQ(names(parent->sortedAllElementsUsingSortDescriptorsCookie(byName, 0)), QStringList({"Rail", "Road"}));
    EXPECT_TRUE(parent->containsElement(rail.get()));

    parent->removeCategory(child);
    EXPECT_EQ(names(parent->sortedAllElementsUsingSortDescriptorsCookie(byName, 0)), QStringList({"Road"}));
    EXPECT_FALSE(parent->containsElement(rail.get()));
    EXPECT_TRUE(library->containsUniqueID(rail->uniqueKey()));
}

TEST_F(LibraryTest, ElementInfoCarriesExactlyTheKeysOfEachKind)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Info"));
    const VXQLibraryItemPtr item = makeStyleItem(QStringLiteral("Road"));
    library->addItem(item);
    EXPECT_EQ(item->elementInfo().keys(), QStringList({"cc", "id", "name"}));
    EXPECT_EQ(item->elementInfo().value("cc").toLongLong(), 1);

    VXQLibraryCategory* plain = library->addCategoryWithName(QStringLiteral("Roads"));
    EXPECT_EQ(plain->elementInfo().keys(), QStringList({"class", "deletable", "items", "name", "no_rename", "readonly"}));
    EXPECT_EQ(plain->elementInfo().value("class"), "VXQLibraryCategory");

    auto smart = std::make_shared<VXQLibrarySmartCategory>();
    smart->initWithNameLibrary(QStringLiteral("Smart"), library.get());
    library->addCategory(smart);
    EXPECT_EQ(smart->elementInfo().keys(),
              QStringList({"class", "deletable", "limit", "name", "no_rename", "peditable", "predicate", "readonly"}));
}
