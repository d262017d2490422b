#include "LibraryManagerTesting.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/manager/LibraryItemFiltering.h"
#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "widgets/cells/ZQSourceListCell.h"

#include <QLabel>
#include <QLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QToolButton>

namespace {

// --- Drop rules -------------------------------------------------------------------------------

TEST_F(ManagerTest, DropRulesMoveLinkCopyOrRefuseItemsCategoriesAndDrawables)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    VXQLibraryPtr factory = makeLibrary(QStringLiteral("Base"), kVXQLibraryFactoryGroupName);
    factory->setAllowsContentChanges(false);
    factory->setAllowsCategoryChanges(false);
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    VXQLibraryCategory* minor = major->addCategoryWithName(QStringLiteral("Minor"));
    VXQLibraryCategory* unrelated = roads->addCategoryWithName(QStringLiteral("Tracks"));
    VXQLibraryCategory* locked = roads->addCategoryWithName(QStringLiteral("Locked"));
    locked->setReadOnly(true);
    auto smart = std::make_shared<VXQLibrarySmartCategory>();
    smart->initWithNameLibrary(QStringLiteral("Smart"), roads.get());
    roads->addCategory(smart);

    const auto items = [&](VXQLibrary* selected, VXQLibraryElementContainer* current, VXQLibrary* target,
                           VXQLibraryCategory* category, bool onlyCopy = false) {
        LibraryDropContext drop{kVXQLibraryItemPasteboardType, target, category, selected, current, onlyCopy, nullptr};
        return LibraryDropRules::dragOperation(drop);
    };
    // Within the shown library: nothing onto the shown category, its library row or a read-only one.
    EXPECT_EQ(items(roads.get(), minor, roads.get(), minor), Qt::IgnoreAction);
    EXPECT_EQ(items(roads.get(), minor, roads.get(), nullptr), Qt::IgnoreAction);
    EXPECT_EQ(items(roads.get(), minor, roads.get(), locked), Qt::IgnoreAction);
    EXPECT_EQ(items(roads.get(), minor, roads.get(), major), Qt::MoveAction);
    EXPECT_EQ(items(roads.get(), minor, roads.get(), unrelated), Qt::LinkAction);
    // Across libraries: from a factory library copies, between user libraries moves unless only copying is offered.
    EXPECT_EQ(items(factory.get(), factory->allItemsCategory(), roads.get(), nullptr), Qt::CopyAction);
    EXPECT_EQ(items(parks.get(), parks->allItemsCategory(), roads.get(), major), Qt::MoveAction);
    EXPECT_EQ(items(parks.get(), parks->allItemsCategory(), roads.get(), major, true), Qt::CopyAction);
    EXPECT_EQ(items(parks.get(), parks->allItemsCategory(), roads.get(), locked), Qt::IgnoreAction);
    EXPECT_EQ(items(roads.get(), roads->allItemsCategory(), factory.get(), nullptr), Qt::IgnoreAction);

    const auto category = [&](VXQLibraryCategory* dragged, VXQLibrary* target, VXQLibraryCategory* onto) {
        LibraryDropContext drop{kVXQLibraryCategoryInternalPasteboardType, target, onto, roads.get(), nullptr, false, dragged};
        return LibraryDropRules::dragOperation(drop);
    };
    EXPECT_EQ(category(unrelated, roads.get(), nullptr), Qt::IgnoreAction); // its own container
    EXPECT_EQ(category(minor, roads.get(), major), Qt::IgnoreAction);
    EXPECT_EQ(category(unrelated, roads.get(), smart.get()), Qt::IgnoreAction);
    EXPECT_EQ(category(unrelated, roads.get(), unrelated), Qt::IgnoreAction);
    EXPECT_EQ(category(unrelated, parks.get(), nullptr), Qt::CopyAction);
    EXPECT_EQ(category(unrelated, roads.get(), major), Qt::MoveAction);
    EXPECT_EQ(category(minor, roads.get(), nullptr), Qt::MoveAction);
    // A category never goes into one of its own sub-categories.
    EXPECT_EQ(category(major, roads.get(), minor), Qt::IgnoreAction);

    LibraryDropContext drawables{kVXDrawableObjectPasteboardType, roads.get(), nullptr, nullptr, nullptr, false, nullptr};
    EXPECT_EQ(LibraryDropRules::dragOperation(drawables), Qt::CopyAction);
    drawables.targetCategory = locked;
    EXPECT_EQ(LibraryDropRules::dragOperation(drawables), Qt::IgnoreAction);
    drawables.targetLibrary = factory.get();
    drawables.targetCategory = nullptr;
    EXPECT_EQ(LibraryDropRules::dragOperation(drawables), Qt::IgnoreAction);
    LibraryDropContext element{kVXQLibraryElementPasteboardType, roads.get(), major, roads.get(), minor, false, nullptr};
    EXPECT_EQ(LibraryDropRules::dragOperation(element), Qt::IgnoreAction);
    element.preferredType = QStringLiteral("public.text");
    EXPECT_EQ(LibraryDropRules::dragOperation(element), Qt::IgnoreAction);
}

// --- Filtering, counts and sort modes ---------------------------------------------------------------

TEST_F(ManagerTest, FiltersCompareTheTypedTextLiterallyIgnoringCaseAndAccents)
{
    const auto matches = [](const QString& text, int mode, const QStringList& names) {
        const platform::PredicatePtr filter = LibraryItemFiltering::filterPredicate(text, mode);
        QStringList kept;
        for (const QString& name : names)
            if (filter->evaluateWithObject(*makeStyleItem(name)))
                kept.append(name);
        return kept;
    };
    const QStringList names{QStringLiteral("Road"), QStringLiteral("road"), QStringLiteral("Main Road"),
                            QStringLiteral("Big *road"), QStringLiteral("Rödel")};
    EXPECT_EQ(LibraryItemFiltering::filterPredicate({}, 0), nullptr);
    EXPECT_EQ(matches(QStringLiteral("ro"), 1, names), (QStringList{"Road", "road", "Rödel"}));
    EXPECT_EQ(matches(QStringLiteral("*road"), 2, names), (QStringList{"Road", "road", "Main Road", "Big *road"}));
    EXPECT_EQ(matches(QStringLiteral("*road"), 3, names), QStringList{"Big *road"});
    EXPECT_EQ(matches(QStringLiteral("ROAD"), 0, names), (QStringList{"Road", "road", "Main Road", "Big *road"}));
    EXPECT_EQ(matches(QStringLiteral("rode"), 7, names), QStringList{"Rödel"}); // out of range: contains
    const QStringList odd{QStringLiteral("He said \"x\""), QStringLiteral("50% grey"), QStringLiteral("what?")};
    EXPECT_EQ(matches(QStringLiteral("\"x\""), 0, odd), QStringList{"He said \"x\""});
    EXPECT_EQ(matches(QStringLiteral("%"), 0, odd), QStringList{"50% grey"});
    EXPECT_EQ(matches(QStringLiteral("?"), 3, odd), QStringList{"what?"});
    EXPECT_TRUE(matches(QStringLiteral("\\"), 2, odd).isEmpty());
}

TEST_F(ManagerTest, ItemListsSortExceptRecentListsAndCountLinesAndOutlineModesRead)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Track", "Avenue", "Motorway"});
    const QList<LibrarySortDescriptor> byName{{QStringLiteral("name")}};
    EXPECT_EQ(namesOf(LibraryItemFiltering::sortedAndFilteredItems(*roads->allItemsCategory(), nullptr, byName)),
              (QStringList{"Avenue", "Motorway", "Track"}));
    const auto filter = LibraryItemFiltering::filterPredicate(QStringLiteral("o"), 0);
    EXPECT_EQ(namesOf(LibraryItemFiltering::sortedAndFilteredItems(*roads, filter, {byName.first().reversed()})),
              (QStringList{"Motorway"}));
    // A recent list keeps its own order, newest first, and the filter still applies.
    VXQFixedLengthLibraryCategory* recent = roads->recentlyUsedCategory();
    ASSERT_NE(recent, nullptr);
    for (const QString& name : {QStringLiteral("Avenue"), QStringLiteral("Track"), QStringLiteral("Motorway")})
        roads->useItem(roads->itemWithName(name));
    EXPECT_EQ(namesOf(LibraryItemFiltering::sortedAndFilteredItems(*recent, nullptr, byName)),
              (QStringList{"Motorway", "Track", "Avenue"}));
    EXPECT_EQ(namesOf(LibraryItemFiltering::sortedAndFilteredItems(*recent, filter, byName)), QStringList{"Motorway"});

    EXPECT_EQ(LibraryItemFiltering::bottomBarText(2, 0), QStringLiteral("2 items (none selected)"));
    EXPECT_EQ(LibraryItemFiltering::bottomBarText(1, 0), QStringLiteral("1 item (none selected)"));
    EXPECT_EQ(LibraryItemFiltering::bottomBarText(3, 1), QStringLiteral("3 items (1 selected)"));
    const auto keys = [](qint64 mode) {
        QStringList list;
        for (const LibrarySortDescriptor& descriptor : LibraryItemFiltering::outlineSortDescriptorsForMode(mode))
            list.append(descriptor.key + (descriptor.ascending ? "" : "-"));
        return list;
    };
    EXPECT_EQ(keys(1), (QStringList{"classCode", "name", "allElementsCount"}));
    EXPECT_EQ(keys(2), (QStringList{"allElementsCount", "name", "classCode"}));
    EXPECT_EQ(keys(0), (QStringList{"name", "classCode", "allElementsCount"}));
    EXPECT_EQ(keys(9), keys(0));
}

TEST_F(ManagerTest, TheWindowShowsTheChosenCategoryWithItsCountAndSearch)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Main Road", "Track"});
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    major->addItem(roads->items().first());
    major->addItem(roads->items().last());
    VXQLibraryManagerWindowController& window = openManager();

    // Nothing selected: no library, no category, and the category buttons are off.
    outline().deselectAll();
    EXPECT_EQ(window.selectedLibrary(), nullptr);
    EXPECT_EQ(window.selectedItem(), nullptr);
    EXPECT_EQ(window.currentCategory(), nullptr);
    EXPECT_FALSE(window.bottomBarButton(0)->isEnabled());
    EXPECT_FALSE(window.bottomBarButton(1)->isEnabled());
    // Group rows cannot be selected.
    EXPECT_FALSE(outline().selectItem(VXQLibraryGroup::userGroup()));

    ASSERT_TRUE(window.selectCategory(major));
    EXPECT_EQ(window.selectedLibrary(), roads.get());
    EXPECT_EQ(window.bottomBarItemsInfoField()->text(), QStringLiteral("2 items (none selected)"));
    EXPECT_TRUE(window.bottomBarButton(1)->isEnabled());
    EXPECT_EQ(storedDefaults().stringForKey(kLibManagerLastCategorySelection), major->identifier());

    ASSERT_TRUE(window.selectLibrary(roads.get()));
    EXPECT_EQ(window.currentCategory(), roads->allItemsCategory());
    window.itemBrowser()->selectItemsAtIndexes({0});
    EXPECT_EQ(window.bottomBarItemsInfoField()->text(), QStringLiteral("3 items (1 selected)"));
    EXPECT_EQ(window.itemIdentifierField()->text(), window.selection().first()->uniqueKey());

    window.setFilterMode(LibraryItemFiltering::BeginsWith);
    window.setFilterString(QStringLiteral("ro"));
    EXPECT_EQ(namesOf(window.sortedAndFilteredItems()), QStringList{"Road"});
    EXPECT_EQ(window.bottomBarItemsInfoField()->text(), QStringLiteral("1 item (none selected)"));
    // The search becomes a smart category named in curly quotes, and the search is cleared.
    VXQLibrarySmartCategory* smart = window.makeNewSmartCategoryFromFilter();
    ASSERT_NE(smart, nullptr);
    EXPECT_EQ(smart->name(), QStringLiteral("“ro”"));
    EXPECT_TRUE(window.filterString().isEmpty());
    EXPECT_EQ(window.currentCategory(), smart);
    EXPECT_EQ(namesOf(window.sortedAndFilteredItems()), QStringList{"Road"});
    EXPECT_EQ(window.makeNewSmartCategoryFromFilter(), nullptr); // nothing typed
}

TEST_F(ManagerTest, StoredChoicesThatNoLongerResolveFallBack)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road"});
    VXQLibraryCategory* kept = roads->addCategoryWithName(QStringLiteral("Kept"));
    storedDefaults().setObjectForKey(QStringLiteral("MY LIBRARY.Gone.Nowhere"), kLibManagerLastCategorySelection);
    storedDefaults().setIntegerForKey(7, kLibManagerSortMode);
    storedDefaults().setObjectForKey(QVariantList{QStringLiteral("MY LIBRARY.Gone"), 12}, kLibManagerExpandedItems);
    VXQLibraryManagerWindowController& window = openManager();
    EXPECT_EQ(window.currentCategory(), nullptr); // no factory library to fall back on
    EXPECT_EQ(window.outlineSortDescriptors().first().key, QStringLiteral("name"));
    ASSERT_TRUE(window.selectCategory(kept));
    manager.reset();
    // The stored category is chosen again when it resolves.
    EXPECT_EQ(openManager().currentCategory(), kept);
}

// --- Libraries and categories on disk -------------------------------------------------------------

TEST_F(ManagerTest, NewRenameAndDeleteOfLibrariesAndCategoriesActOnDisk)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road"});
    VXQLibraryManagerWindowController& window = openManager();
    const int before = VXQLibraryGroup::userGroup()->libraries()->size();
    window.newLibraryAction(nullptr);
    ASSERT_EQ(VXQLibraryGroup::userGroup()->libraries()->size(), before + 1);
    VXQLibrary* made = window.selectedLibrary();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(QFileInfo(made->path()).isDir());

    // Renaming in the outline renames the folder; a taken or hostile name keeps it sane.
    LibraryOutlineModel* model = outline().outlineModel();
    ASSERT_TRUE(model->setData(model->indexForItem(made), QStringLiteral("Trails"), Qt::EditRole));
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(made->name(), QStringLiteral("Trails"));
    EXPECT_TRUE(QFileInfo::exists(folderOf(QStringLiteral("Trails"))));
    model->setData(model->indexForItem(made), QStringLiteral("Roads"), Qt::EditRole);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(made->name(), QStringLiteral("Trails"));
    model->setData(model->indexForItem(made), QStringLiteral("../Escape"), Qt::EditRole);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(QFileInfo::exists(userFolder() + QStringLiteral("/../Escape.symlibrary")));
    EXPECT_TRUE(QFileInfo(made->path()).absolutePath() == QFileInfo(userFolder()).absoluteFilePath());

    // A new category, then a sub-category of it, go to the category file.
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    VXQLibraryCategory* top = window.makeNewCategoryForLibrary(roads.get());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->name(), QStringLiteral("untitled category"));
    ASSERT_EQ(window.selectedItem(), top);
    VXQLibraryCategory* sub = window.makeNewCategoryForLibrary(roads.get());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->container(), top);
    roads->updateOnDisk();
    VXQLibraryPtr reread = VXQLibrary::libraryWithPath(roads->path());
    ASSERT_NE(reread->categoryWithName(QStringLiteral("untitled category")), nullptr);
    EXPECT_EQ(reread->categoryWithName(QStringLiteral("untitled category"))->categoryNames(),
              QStringList{"untitled category-1"});

    // Deleting a category: ticking the box and cancelling stores the choice and deletes nothing.
    ASSERT_TRUE(window.selectCategory(top));
    tickSuppression = true;
    answers = {0};
    window.deleteCategoryAction(nullptr);
    EXPECT_EQ(alerts.last(), QStringLiteral("Delete Category"));
    EXPECT_TRUE(storedDefaults().boolForKey(kVXQLibraryConfirmCategoryDelete));
    EXPECT_NE(roads->categoryWithName(QStringLiteral("untitled category")), nullptr);
    // The next delete asks nothing.
    const qsizetype asked = alerts.size();
    ASSERT_EQ(window.currentCategory(), top);
    window.deleteCategoryAction(nullptr);
    EXPECT_EQ(alerts.size(), asked);
    EXPECT_EQ(roads->categoryWithName(QStringLiteral("untitled category")), nullptr);
    EXPECT_NE(roads->itemWithName(QStringLiteral("Road")), nullptr);

    // Deleting a library moves its folder to the Trash once the sheet says so. Being the default
    // collection, it stops being it: asking for the default does not make it again.
    const QString path = made->path();
    const QString name = made->name();
    VXQLibraryCatalogue::setDefaultUserLibrary(made);
    ASSERT_TRUE(window.selectLibrary(made));
    window.deleteLibraryAction(nullptr);
    ASSERT_NE(window.libraryDeleteSheet(), nullptr);
    EXPECT_TRUE(window.libraryDeleteSheetText().contains(QStringLiteral("“%1” which contains 0 items").arg(made->name())));
    window.libDeleteOKAction(nullptr);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(VXQLibraryGroup::userGroup()->libraries()->size(), before);
    EXPECT_EQ(window.selectedLibrary(), nullptr);
    EXPECT_NE(VXQLibraryCatalogue::defaultUserLibraryName(), name);
    EXPECT_NE(VXQLibraryCatalogue::defaultUserLibrary()->path(), path);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(ManagerTest, DeletingTrashesOnlyUnlockedItemsAndRemovingKeepsThemInTheLibrary)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Avenue", "Bridge", "Canal"});
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    major->addItems(roads->items());
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    roads->itemWithName(QStringLiteral("Bridge"))->setLocked(true);
    const QString bridge = roads->path() + QStringLiteral("/Bridge.libitem");
    const QString avenue = roads->path() + QStringLiteral("/Avenue.libitem");
    ASSERT_TRUE(QFileInfo::exists(bridge));

    window.deleteItemsAtIndexes({0, 1}); // Avenue, Bridge (locked)
    EXPECT_EQ(namesOf(window.sortedAndFilteredItems()), (QStringList{"Bridge", "Canal"}));
    EXPECT_FALSE(QFileInfo::exists(avenue));
    EXPECT_TRUE(QFileInfo::exists(bridge));

    // Removing from a category keeps the items in the library; a read-only category keeps them.
    ASSERT_TRUE(window.selectCategory(major));
    EXPECT_TRUE(window.canRemoveItemsAtIndexes({0}));
    EXPECT_TRUE(window.removeItemsAtIndexes({0}));
    EXPECT_EQ(namesOf(window.sortedAndFilteredItems()), QStringList{"Canal"});
    EXPECT_NE(roads->itemWithName(QStringLiteral("Bridge")), nullptr);
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    EXPECT_FALSE(window.canRemoveItemsAtIndexes({0})); // All Items is read-only
    EXPECT_FALSE(window.removeItemsAtIndexes({0}));
    EXPECT_EQ(roads->itemCount(), 2);
}

TEST_F(ManagerTest, PrintedGridsCarryTheCategoryHeaderAndPageFootersAndPageSetUpIsKept)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Avenue", "Bridge", "Canal"});
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("grid.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_EQ(window.itemBrowser()->printToPrinter(printer), 1);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    EXPECT_TRUE(printed.contains(QStringLiteral("Roads (Category: All Items) 3 items"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Page 1"))) << printed.toStdString();
    // Narrower than one column of the grid: the items still print, a page at a time.
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(80, 200), QPageSize::Point), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20)));
    EXPECT_GE(window.itemBrowser()->printToPrinter(printer), 1);

    // The page set-up is stored; damaged data reads as none.
    EXPECT_FALSE(window.printInfo().has_value());
    const QPageLayout landscape(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 20, 30, 40));
    window.setPrintInfo(landscape);
    manager.reset();
    VXQLibraryManagerWindowController& again = openManager();
    ASSERT_TRUE(again.printInfo().has_value());
    EXPECT_EQ(again.printInfo()->orientation(), QPageLayout::Landscape);
    EXPECT_EQ(again.printInfo()->pageSize().id(), QPageSize::A4);
    storedDefaults().setObjectForKey(QByteArray("damaged"), kLibManagerPrintInfo);
    manager.reset();
    EXPECT_FALSE(openManager().printInfo().has_value());
}

TEST_F(ManagerTest, CountBadgesAndSortModesAreStoredAndShown)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    roads->addCategoryWithName(QStringLiteral("Zebra"));
    roads->addCategoryWithName(QStringLiteral("Alpha"))->addItem(roads->items().first());
    VXQLibraryManagerWindowController& window = openManager();
    storedDefaults().setBoolForKey(true, kLibManagerShowCategoryCounts);
    window.toggleShowLibraryCounts(nullptr);
    EXPECT_TRUE(storedDefaults().boolForKey(kLibManagerShowLibraryCounts));
    window.toggleShowLibraryCounts(nullptr);
    EXPECT_FALSE(storedDefaults().boolForKey(kLibManagerShowLibraryCounts));
    EXPECT_TRUE(storedDefaults().boolForKey(kLibManagerShowCategoryCounts));
    window.setShowsLibraryCounts(true);
    const QModelIndex row = outline().outlineModel()->indexForItem(roads.get());
    EXPECT_EQ(row.data(ZQSourceListCell::BadgeCountRole).toLongLong(), 2);
    EXPECT_EQ(row.data(LibraryOutlineModel::GroupRowRole).toBool(), false);
    EXPECT_EQ(outline().outlineModel()->indexForItem(VXQLibraryGroup::userGroup()).data(LibraryOutlineModel::GroupRowRole).toBool(),
              true);

    // Categories follow the sort mode: by name, then by size (Alpha has one item, Zebra none).
    const auto order = [&] {
        QStringList names;
        for (VXQLibraryElement* child : window.outlineViewChildrenOfItem(roads.get()))
            names.append(child->name());
        return names.filter(QRegularExpression(QStringLiteral("^(Alpha|Zebra)$")));
    };
    EXPECT_EQ(order(), (QStringList{"Alpha", "Zebra"}));
    window.setSortMainListModeForced(2, false);
    EXPECT_EQ(storedDefaults().integerForKey(kLibManagerSortMode), 2);
    EXPECT_EQ(order(), (QStringList{"Zebra", "Alpha"}));
}

} // namespace

TEST_F(ManagerTest, ADeletedCategorysItemsLeaveTheListAndTheKeyLineIsNamed)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    for (const VXQLibraryItemPtr& item : roads->items())
        if (item->name() == QStringLiteral("Road"))
            major->addItem(item);
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectCategory(major));
    EXPECT_EQ(namesOf(window.itemBrowser()->content()), QStringList{"Road"});
    window.itemBrowser()->selectItemsAtIndexes({0});
    EXPECT_EQ(window.itemIdentifierField()->text(), window.selection().first()->uniqueKey());
    const QLabel* title = nullptr;
    for (const QLabel* label : window.window()->findChildren<QLabel*>())
        if (label->buddy() == window.itemIdentifierField())
            title = label;
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Unique key:"));
    // Laid out as shown: the key stands apart from its name, not run on after the colon.
    window.window()->show();
    window.window()->layout()->activate();
    EXPECT_GE(window.itemIdentifierField()->x() - title->geometry().right(), 4);

    storedDefaults().setBoolForKey(true, kVXQLibraryConfirmCategoryDelete);
    window.deleteCategoryAction(nullptr);
    EXPECT_EQ(roads->categoryWithName(QStringLiteral("Major")), nullptr);
    EXPECT_TRUE(window.itemBrowser()->content().isEmpty());
    EXPECT_EQ(window.bottomBarItemsInfoField()->text(), QStringLiteral("0 items (none selected)"));
}

// Typing narrows the list sorted once; the items still chosen stay chosen however many there are.
TEST_F(ManagerTest, TypingKeepsTheOrderAndTheSelectionOfWhatStillMatches)
{
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names.append(QStringLiteral("%1 %2").arg(i % 2 ? "Road" : "Rail").arg(i));
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), names);
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    JXIndexSet all;
    for (qint64 i = 0; i < 300; ++i)
        all.insert(i);
    window.itemBrowser()->selectItemsAtIndexes(all);
    window.setFilterString(QStringLiteral("R"));
    window.setFilterString(QStringLiteral("Ro"));
    const QList<VXQLibraryItemPtr> shown = window.itemBrowser()->content();
    ASSERT_EQ(shown.size(), 150);
    EXPECT_EQ(shown.first()->name(), QStringLiteral("Road 1"));
    EXPECT_EQ(shown[1]->name(), QStringLiteral("Road 3"));
    EXPECT_EQ(shown.last()->name(), QStringLiteral("Road 299"));
    EXPECT_EQ(window.selection().size(), 150);
    window.setFilterString({});
    EXPECT_EQ(window.itemBrowser()->content().size(), 300);
    EXPECT_EQ(window.itemBrowser()->content()[1]->name(), QStringLiteral("Rail 2")); // numbers as people count
    EXPECT_EQ(window.selection().size(), 150);

    // A rename the library hears of reaches the next list.
    roads->itemWithName(QStringLiteral("Rail 0"))->setName(QStringLiteral("Zebra"));
    window.reloadLibrarySelectingCategory(roads.get(), nullptr);
    EXPECT_EQ(window.itemBrowser()->content().last()->name(), QStringLiteral("Zebra"));
}
