#include "LibraryManagerTesting.h"

#include "platform/foundation/RunLoop.h"
#include "support/LogCapture.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "symbols/placed/VXQSymbol.h"

#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QThreadPool>

namespace {

class TransfersTest : public ManagerTest {
protected:
    QString scratch() const { return userFolder() + QStringLiteral("/../scratch"); }

    VXQLibraryItemPtr itemNamed(VXQLibrary& library, const QString& name)
    {
        for (const VXQLibraryItemPtr& item : library.items())
            if (item->name() == name)
                return item;
        return nullptr;
    }

    // A drag's data holding the items as the browser writes them.
    static std::unique_ptr<QMimeData> itemsData(const QList<VXQLibraryItemPtr>& items)
    {
        auto data = std::make_unique<QMimeData>();
        platform::Pasteboard board(data.get());
        VXQLibraryItem::writeLibraryItemsToPasteboard(items, board);
        return data;
    }

    void waitForExport()
    {
        for (int turn = 0; turn < 500 && manager->exportProgress(); ++turn) {
            QThreadPool::globalInstance()->waitForDone(10);
            platform::RunLoop::runUntilIdle();
        }
    }
};

TEST_F(TransfersTest, ExportedArchiveImportsAgainUnderAFreeNameAfterItsQuestions)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    QDir().mkpath(scratch());
    const QString zip = scratch() + QStringLiteral("/Roads.zip");
    window.exportSelectedLibraryToURL(QUrl::fromLocalFile(zip));
    ASSERT_NE(window.exportProgress(), nullptr);
    waitForExport();
    EXPECT_EQ(window.exportProgress(), nullptr);
    EXPECT_TRUE(alerts.isEmpty());
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-q"), zip, QStringLiteral("-d"), scratch()});
    ASSERT_TRUE(unzip.waitForFinished(30000));
    const QString folder = scratch() + QStringLiteral("/Roads.symlibrary");
    ASSERT_TRUE(QFileInfo(folder).isDir());

    // Asked to install, then told the name is taken: installed as "Roads 1".
    answers = {1, 1};
    EXPECT_TRUE(window.confirmAndImportLibraryFileConfirm(folder, true));
    EXPECT_EQ(alerts, (QStringList{"Install Styles And Symbols Collection", "Collection Name In Use", "Collection Imported"}));
    // Only the news of success is marked as information, not as a warning.
    EXPECT_EQ(styles.last(), platform::Alert::InformationalStyle);
    EXPECT_EQ(styles.first(), platform::Alert::WarningStyle);
    VXQLibrary* imported = VXQLibraryCatalogue::libraryWithNameInGroup(QStringLiteral("Roads 1"), kVXQLibraryUserGroupName);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->itemCount(), 2);
    EXPECT_TRUE(QFileInfo(folderOf(QStringLiteral("Roads 1"))).isDir());
    EXPECT_EQ(window.selectedLibrary(), imported);
    EXPECT_TRUE(informative.last().contains(QStringLiteral("“Roads 1” was successfully imported into “MY LIBRARY”")));

    // Cancelled, already installed, not a library: nothing is imported.
    alerts.clear();
    answers = {0};
    EXPECT_FALSE(window.confirmAndImportLibraryFileConfirm(folder, true));
    EXPECT_EQ(VXQLibraryCatalogue::libraryWithNameInGroup(QStringLiteral("Roads 2"), kVXQLibraryUserGroupName), nullptr);
    EXPECT_FALSE(window.confirmAndImportLibraryFileConfirm(roads->path(), false));
    QDir().mkpath(scratch() + QStringLiteral("/Empty.symlibrary"));
    EXPECT_FALSE(window.confirmAndImportLibraryFileConfirm(scratch() + QStringLiteral("/Empty.symlibrary"), false));
    EXPECT_EQ(alerts, (QStringList{"Install Styles And Symbols Collection", "Collection Already Installed", "Invalid Collection"}));

    // A file no item could be read from (sparse, it takes no room until copied) is not copied,
    // and the alert names it instead of blaming permissions.
    QFile sparse(folder + QStringLiteral("/filler"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(qint64(2) << 30));
    sparse.close();
    alerts.clear();
    answers = {1};
    EXPECT_FALSE(window.confirmAndImportLibraryFileConfirm(folder, false));
    EXPECT_EQ(alerts, (QStringList{"Collection Name In Use", "Collection Import Failed"}));
    EXPECT_EQ(informative.last(), QStringLiteral("An error occurred while importing the collection “Roads”. Check that "
                                                 "the collection is valid and that your user permissions allow file "
                                                 "write operations."));
    EXPECT_TRUE(details.last().contains(QStringLiteral("“filler”: it is larger than "))) << qPrintable(details.last());
    EXPECT_FALSE(QFileInfo::exists(folderOf(QStringLiteral("Roads 2"))));

    // An archive that cannot be written says so.
    alerts.clear();
    window.exportSelectedLibraryToURL(QUrl::fromLocalFile(zip + QStringLiteral("/Roads.zip")));
    waitForExport();
    EXPECT_EQ(alerts, QStringList{"Export Failed"});
}

TEST_F(TransfersTest, PastesAndMovesCopyBetweenLibrariesAndLinkWithinOne)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryPtr parks = libraryWithItems(QStringLiteral("Parks"), {"Lawn"});
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    VXQLibraryCategory* minor = major->addCategoryWithName(QStringLiteral("Minor"));
    const VXQLibraryItemPtr road = itemNamed(*roads, QStringLiteral("Road"));
    const VXQLibraryItemPtr track = itemNamed(*roads, QStringLiteral("Track"));
    major->addItem(road);
    VXQLibraryManagerWindowController& window = openManager();

    // Copied into another library: both hold it, each under its own key.
    auto data = itemsData({road});
    ASSERT_TRUE(window.pasteIntoLibraryCategoryWithPasteboardCopyItems(parks.get(), nullptr, platform::Pasteboard(data.get()), true));
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(parks->itemCount(), 2);
    EXPECT_NE(roads->itemWithName(QStringLiteral("Road")), nullptr);
    EXPECT_EQ(window.currentCategory(), parks->allItemsCategory());
    ASSERT_EQ(window.selection().size(), 1);
    EXPECT_NE(window.selection().first()->uniqueKey(), road->uniqueKey());
    // Moved: it leaves the source library and its folder.
    data = itemsData({track});
    ASSERT_TRUE(window.pasteIntoLibraryCategoryWithPasteboardCopyItems(parks.get(), nullptr, platform::Pasteboard(data.get()), false));
    EXPECT_EQ(roads->itemWithName(QStringLiteral("Track")), nullptr);
    EXPECT_TRUE(QFileInfo::exists(parks->path() + QStringLiteral("/Track.libitem")));
    EXPECT_FALSE(QFileInfo::exists(roads->path() + QStringLiteral("/Track.libitem")));

    // Within the library, pasted into a sub-category of the one shown: it leaves the parent's own list.
    ASSERT_TRUE(window.selectCategory(major));
    data = itemsData({road});
    ASSERT_TRUE(window.pasteIntoLibraryCategoryWithPasteboardCopyItems(roads.get(), minor, platform::Pasteboard(data.get()), true));
    EXPECT_TRUE(minor->hasItem(road.get()));
    EXPECT_FALSE(major->hasItem(road.get()));
    EXPECT_EQ(roads->itemCount(), 1);

    // A damaged or foreign pasteboard pastes nothing.
    QMimeData damaged;
    damaged.setData(platform::mimeTypeForPasteboardType(kVXQLibraryItemPasteboardType), QByteArray("garbage\0\1", 9));
    EXPECT_FALSE(window.pasteIntoLibraryCategoryWithPasteboardCopyItems(parks.get(), nullptr, platform::Pasteboard(&damaged), true));
    QMimeData text;
    text.setText(QStringLiteral("Road"));
    EXPECT_FALSE(window.canPasteIntoLibraryCategoryWithPasteboard(parks.get(), nullptr, platform::Pasteboard(&text)));
    EXPECT_EQ(parks->itemCount(), 3);
}

TEST_F(TransfersTest, CopiedCategoriesTakeFreeNamesAndAskOnceSuppressed)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    parks->addCategoryWithName(QStringLiteral("Parks"));
    VXQLibraryCategory* source = roads->addCategoryWithName(QStringLiteral("Parks"));
    source->addItems(roads->items());
    VXQLibraryManagerWindowController& window = openManager();

    tickSuppression = true;
    ASSERT_TRUE(window.copyCategoryToLibrary(source, parks.get()));
    EXPECT_EQ(alerts, QStringList{"Copy Category"});
    EXPECT_EQ(informative.first(), QStringLiteral("2 items from the category “Parks” will be copied to the collection “Parks”"));
    ASSERT_TRUE(window.copyCategoryToLibrary(source, parks.get()));
    EXPECT_EQ(alerts.size(), 1);
    ASSERT_NE(parks->categoryWithName(QStringLiteral("Parks-1")), nullptr);
    ASSERT_NE(parks->categoryWithName(QStringLiteral("Parks-2")), nullptr);
    EXPECT_EQ(parks->categoryWithName(QStringLiteral("Parks-2"))->allElementsCount(), 2);
    EXPECT_EQ(parks->itemCount(), 4);
    EXPECT_EQ(roads->itemCount(), 2);
    // Not into its own library, nor an empty one.
    EXPECT_FALSE(window.copyCategoryToLibrary(source, roads.get()));
    EXPECT_FALSE(window.copyCategoryToLibrary(roads->addCategoryWithName(QStringLiteral("Empty")), parks.get()));

    // A category dragged onto another of its library moves under it.
    VXQLibraryCategory* target = roads->addCategoryWithName(QStringLiteral("Target"));
    std::unique_ptr<QMimeData> drag(window.outlineViewWriteItems({source}));
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(window.outlineViewValidateDrop(drag.get(), Qt::CopyAction | Qt::MoveAction, source), Qt::IgnoreAction);
    ASSERT_TRUE(window.outlineViewAcceptDrop(drag.get(), Qt::CopyAction | Qt::MoveAction, target));
    EXPECT_EQ(source->container(), target);
    EXPECT_EQ(window.currentCategory(), source);
    // Only categories are dragged.
    EXPECT_EQ(window.outlineViewWriteItems({roads.get()}), nullptr);
}

TEST_F(TransfersTest, MoveToMenuListsUserLibrariesAndMovesTheSelection)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    window.itemBrowser()->selectItems({itemNamed(*roads, QStringLiteral("Road"))});
    QMenu* menu = window.moveToMenu();
    window.updateMoveToMenu(menu);
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), window.userLibraries().size() + 2);
    EXPECT_EQ(entries[0]->property("tag").toInt(), -1);
    EXPECT_TRUE(entries[0]->isEnabled());
    EXPECT_TRUE(entries[1]->isSeparator());
    QAction* toParks = nullptr;
    for (QAction* entry : entries.mid(2)) {
        EXPECT_EQ(entry->isEnabled(), entry->text() != QStringLiteral("Roads")) << entry->text().toStdString();
        EXPECT_FALSE(entry->icon().isNull()) << entry->text().toStdString();
        if (entry->text() == QStringLiteral("Parks"))
            toParks = entry;
    }
    ASSERT_NE(toParks, nullptr);
    window.moveToLibraryAction(toParks);
    EXPECT_NE(parks->itemWithName(QStringLiteral("Road")), nullptr);
    EXPECT_EQ(roads->itemWithName(QStringLiteral("Road")), nullptr);

    // To a new collection.
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    window.itemBrowser()->selectItems(roads->items());
    const qsizetype libraries = window.userLibraries().size();
    window.moveToLibraryAction(entries[0]);
    EXPECT_EQ(window.userLibraries().size(), libraries + 1);
    EXPECT_EQ(roads->itemCount(), 0);
    EXPECT_EQ(window.selectedLibrary()->itemCount(), 1);
}

// Edit > Paste is offered for what it can add, and a shape copied from a map becomes a symbol.
TEST_F(TransfersTest, PasteIsOfferedOnlyForWhatItAddsAndTurnsCopiedShapesIntoSymbols)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road"});
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    VXQLibraryCategory* minor = roads->addCategoryWithName(QStringLiteral("Minor"));
    ASSERT_TRUE(window.selectCategory(minor));
    QMimeData copied;
    VXDrawableObject::writeObjectsToPasteboard(
        {VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 12, 8), VXStyle::defaultStyle())}, &copied);
    const platform::Pasteboard board(&copied);
    EXPECT_TRUE(window.canPasteIntoLibraryCategoryWithPasteboard(roads.get(), minor, board));
    ASSERT_TRUE(window.pasteWithPasteboard(board));
    EXPECT_EQ(roads->itemCount(), 2);
    EXPECT_EQ(minor->count(), 1);
    EXPECT_NE(roads->itemWithName(QStringLiteral("untitled symbol")), nullptr);

    // An outline drag's own data, or a library that takes no new items: nothing to paste.
    QMimeData category;
    category.setData(platform::mimeTypeForPasteboardType(kVXQLibraryCategoryInternalPasteboardType), "x");
    EXPECT_FALSE(window.canPasteIntoLibraryCategoryWithPasteboard(roads.get(), minor, platform::Pasteboard(&category)));
    roads->setAllowsContentChanges(false);
    EXPECT_FALSE(window.canPasteIntoLibraryCategoryWithPasteboard(roads.get(), minor, board));
    EXPECT_FALSE(window.pasteWithPasteboard(board));
    EXPECT_EQ(roads->itemCount(), 2);
}

TEST_F(TransfersTest, DrawingObjectsBecomeSymbolItemsAndOthersAreCounted)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road"});
    VXQLibraryManagerWindowController& window = openManager();
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 3; ++i)
        objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10 + i, 10), VXStyle::defaultStyle()));
    const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 5, 5), VXStyle::defaultStyle());
    objects.append(VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*shape, QStringLiteral("Pin"))));

    ASSERT_TRUE(window.importItemsAsSymbolsToLibraryCategory(objects, roads.get(), nullptr));
    EXPECT_EQ(roads->itemCount(), 4);
    EXPECT_NE(roads->itemWithName(QStringLiteral("untitled symbol-2")), nullptr);
    EXPECT_EQ(alerts, QStringList{"Add Symbol"});
    EXPECT_TRUE(informative.first().contains(QStringLiteral("The remaining 3 were converted")));
    EXPECT_EQ(window.selection().size(), 3);
    EXPECT_FALSE(window.importItemsAsSymbolsToLibraryCategory({objects.last()}, roads.get(), nullptr));

    // Dropped on the library row: into "New Symbols", made once.
    QMimeData dropped;
    VXDrawableObject::writeObjectsToPasteboard({objects.first()}, &dropped);
    ASSERT_EQ(window.outlineViewValidateDrop(&dropped, Qt::CopyAction, roads.get()), Qt::CopyAction);
    ASSERT_TRUE(window.outlineViewAcceptDrop(&dropped, Qt::CopyAction, roads.get()));
    ASSERT_TRUE(window.outlineViewAcceptDrop(&dropped, Qt::CopyAction, roads.get()));
    VXQLibraryCategory* made = roads->categoryWithName(QStringLiteral("New Symbols"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->count(), 2);
    EXPECT_EQ(roads->categoryNames().count(QStringLiteral("New Symbols")), 1);
    // Objects that do not decode import nothing.
    QMimeData damaged;
    damaged.setData(kVXDrawableObjectPasteboardType, QByteArray("bplist00 damaged"));
    EXPECT_FALSE(window.outlineViewAcceptDrop(&damaged, Qt::CopyAction, made));
    EXPECT_EQ(made->count(), 2);
}

} // namespace

namespace {

TEST_F(TransfersTest, CreatingSymbolsAsksForManyAndRevealingFindsItemsOutsideTheShownCategory)
{
    VXQLibraryManagerWindowController& window = openManager();
    VXQLibrary* implied = VXQLibraryCatalogue::userLibraryForImpliedOperation();
    ASSERT_NE(implied, nullptr);
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 6; ++i)
        objects.append(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10 + i, 10), VXStyle::defaultStyle()));
    answers = {0};
    EXPECT_FALSE(window.createSymbolsFromObjects(objects));
    EXPECT_EQ(alerts, QStringList{"Add Symbols To Library"});
    EXPECT_EQ(informative.first(), QStringLiteral("You have selected 6 objects. Are you sure you want add them all as symbols?"));
    EXPECT_EQ(implied->itemCount(), 0);
    EXPECT_TRUE(window.createSymbolsFromObjects(objects));
    EXPECT_EQ(implied->itemCount(), 6);
    alerts.clear();
    EXPECT_TRUE(window.createSymbolsFromObjects(objects.mid(0, 5)));
    EXPECT_TRUE(alerts.isEmpty());

    // Revealing an item of another library shows its All Items and drops the search.
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryCategory* empty = roads->addCategoryWithName(QStringLiteral("Empty"));
    ASSERT_TRUE(window.selectCategory(empty));
    window.setFilterString(QStringLiteral("nothing like it"));
    const QString key = roads->itemWithName(QStringLiteral("Track"))->uniqueKey();
    ASSERT_TRUE(window.showItemWithUniqueIDSelectIt(key, true));
    EXPECT_EQ(window.currentCategory(), roads->allItemsCategory());
    EXPECT_TRUE(window.filterString().isEmpty());
    ASSERT_EQ(window.selection().size(), 1);
    EXPECT_EQ(window.selection().first()->uniqueKey(), key);
    EXPECT_FALSE(window.showItemWithUniqueIDSelectIt(QStringLiteral("no-such-key"), true));
}

} // namespace

TEST_F(TransfersTest, ImpossibleTransfersAreLoggedRefusedAndLeaveTheWindowWorking)
{
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {"Road", "Track"});
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    VXQLibraryCategory* major = roads->addCategoryWithName(QStringLiteral("Major"));
    major->addItems(roads->items());
    VXQLibraryManagerWindowController& window = openManager();
    testsupport::LogCapture log;

    EXPECT_FALSE(window.moveItemsToLibraryCategoryMakingCopies(roads->items(), nullptr, nullptr, true));
    EXPECT_FALSE(window.copyCategoryToLibrary(nullptr, parks.get()));
    EXPECT_FALSE(window.copyCategoryToLibrary(major, nullptr));
    EXPECT_EQ(window.dragOperationForDraggingInfoTargetItem(nullptr, Qt::CopyAction, parks.get()), Qt::IgnoreAction);
    EXPECT_TRUE(log.contains(QStringLiteral("no library specified")));
    EXPECT_TRUE(log.contains(QStringLiteral("no dragging info")));
    EXPECT_EQ(parks->itemCount(), 0);
    EXPECT_EQ(roads->itemCount(), 2);

    // The same window then does what was possible.
    ASSERT_TRUE(window.copyCategoryToLibrary(major, parks.get()));
    EXPECT_EQ(parks->itemCount(), 2);
}
