#include "MediaTesting.h"

#include "media/window/MediaBrowserBookmarks.h"
#include "media/items/MediaFileTypes.h"
#include "media/window/MediaFetchProgress.h"
#include "media/window/MediaGridModel.h"
#include "media/window/ZQImageBrowserView.h"
#include "platform/foundation/UserDefaults.h"

#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>
#include "platform/foundation/RunLoop.h"

namespace {

// Shown/hidden transitions, in order.
struct ProgressLog {
    explicit ProgressLog(MediaFetchProgress& progress)
    {
        QObject::connect(&progress, &MediaFetchProgress::progressShown, [this] { events.append("shown"); });
        QObject::connect(&progress, &MediaFetchProgress::progressHidden, [this] { events.append("hidden"); });
        QObject::connect(&progress, &MediaFetchProgress::allFetchesCompleted, [this] { events.append("done"); });
    }
    QStringList events;
};

TEST(MediaFetchProgressTest, HidesAMomentAfterTheLastEndAndNeverCountsBelowZero)
{
    MediaFetchProgress progress;
    ProgressLog log(progress);
    progress.fetchCompleted(); // an end with nothing started
    EXPECT_EQ(progress.pendingCount(), 0);
    EXPECT_TRUE(log.events.isEmpty());

    progress.fetchStarted();
    progress.fetchStarted();
    progress.fetchCompleted();
    progress.fetchCompleted();
    progress.fetchCompleted();
    EXPECT_EQ(progress.pendingCount(), 0);
    EXPECT_EQ(log.events, QStringList({"shown", "done"}));
    platform::RunLoop::runFor(MediaFetchProgress::kHideDelay - 1);
    EXPECT_TRUE(progress.isShowing());

    progress.fetchStarted(); // within the delay: stays up
    platform::RunLoop::runFor(MediaFetchProgress::kHideDelay);
    EXPECT_TRUE(progress.isShowing());
    progress.fetchCompleted();
    platform::RunLoop::runFor(MediaFetchProgress::kHideDelay);
    EXPECT_FALSE(progress.isShowing());
    EXPECT_EQ(log.events, QStringList({"shown", "done", "done", "hidden"}));
}

TEST(MediaFetchProgressTest, CancellingForgetsWhatWasPending)
{
    MediaFetchProgress progress;
    ProgressLog log(progress);
    for (int i = 0; i < 3; ++i)
        progress.fetchStarted();
    progress.previewsCancelled();
    EXPECT_EQ(progress.pendingCount(), 0);
    EXPECT_FALSE(progress.isShowing());
    progress.fetchCompleted(); // a cancelled preview's late end
    progress.fetchStarted();
    EXPECT_EQ(progress.pendingCount(), 1);
    EXPECT_EQ(log.events, QStringList({"shown", "hidden", "shown"}));
}

class MediaBrowserTest : public ::testing::Test {
protected:
    ~MediaBrowserTest() override
    {
        defaults().removeObjectForKey(kZQMediaBrowserBookmarkedItems);
        defaults().removeObjectForKey(kZQMediaBrowserBookmarkedItems2);
        platform::RunLoop::runUntilIdle();
    }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }
    static QStringList pathsOf(const QList<ZQFolderInfoPtr>& roots)
    {
        QStringList paths;
        for (const ZQFolderInfoPtr& root : roots)
            paths.append(root->path());
        paths.sort();
        return paths;
    }
    ZQFolderInfoPtr root(const QString& relative) { return ZQFolderInfo::makeWithPath(tree.folder(relative)); }

    mediatest::FakeEventSourceScope events;
    mediatest::FolderTree tree;
};

TEST_F(MediaBrowserTest, FoldersOfTheSameNameAreKeptApart)
{
    tree.folder("one/Images/sub");
    const ZQFolderInfoPtr first = root("one/Images");
    const ZQFolderInfoPtr second = root("two/Images");
    ASSERT_EQ(first->identifier(), second->identifier());
    MediaBrowserBookmarks::addRootBookmark(*first);
    MediaBrowserBookmarks::addRootBookmark(*second);
    MediaBrowserBookmarks::addRootBookmark(*first->subFolders().first()); // roots only
    EXPECT_EQ(pathsOf(MediaBrowserBookmarks::bookmarkedRootItems()), QStringList({first->path(), second->path()}));

    MediaBrowserBookmarks::removeRootBookmark(*first);
    EXPECT_EQ(pathsOf(MediaBrowserBookmarks::bookmarkedRootItems()), QStringList({second->path()}));
    MediaBrowserBookmarks::removeAllRootBookmarks();
    EXPECT_TRUE(MediaBrowserBookmarks::bookmarkedRootItems().isEmpty());
}

TEST_F(MediaBrowserTest, EntriesUnderANameAreReadAndRemovedWithTheirRoot)
{
    const ZQFolderInfoPtr maps = root("Maps");
    const ZQFolderInfoPtr other = root("elsewhere/Maps");
    defaults().setObjectForKey(QVariantMap{{"Maps", maps->bookmark()}}, kZQMediaBrowserBookmarkedItems2);
    EXPECT_EQ(pathsOf(MediaBrowserBookmarks::bookmarkedRootItems()), QStringList({maps->path()}));

    MediaBrowserBookmarks::removeRootBookmark(*other); // same name, another folder
    EXPECT_TRUE(defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2).contains("Maps"));
    MediaBrowserBookmarks::removeRootBookmark(*maps);
    EXPECT_TRUE(defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2).isEmpty());
}

TEST_F(MediaBrowserTest, TheEarlierListMovesOnceAndBadEntriesStayStored)
{
    const ZQFolderInfoPtr kept = root("Kept");
    const ZQFolderInfoPtr vanished = root("Vanished");
    const QByteArray vanishedBookmark = vanished->bookmark();
    ASSERT_TRUE(QDir(vanished->path()).removeRecursively());
    defaults().setObjectForKey(QVariantList{kept->bookmark(), 42, vanishedBookmark, QByteArray()},
                               kZQMediaBrowserBookmarkedItems);

    EXPECT_EQ(pathsOf(MediaBrowserBookmarks::bookmarkedRootItems()), QStringList({kept->path()}));
    EXPECT_FALSE(defaults().objectForKey(kZQMediaBrowserBookmarkedItems).isValid());
    EXPECT_EQ(defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2).keys(), QStringList({kept->path()}));

    const QVariantMap odd{{"number", 7}, {"numbers", QVariantList{1, 2}}, {"text", "no data"}, {"good", kept->bookmark()}};
    defaults().setObjectForKey(odd, kZQMediaBrowserBookmarkedItems2);
    EXPECT_EQ(pathsOf(MediaBrowserBookmarks::bookmarkedRootItems()), QStringList({kept->path()}));
    EXPECT_EQ(defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2).size(), 4);

    defaults().setObjectForKey(QVariantList{1, 2, 3}, kZQMediaBrowserBookmarkedItems2);
    EXPECT_TRUE(MediaBrowserBookmarks::bookmarkedRootItems().isEmpty()) << "not a dictionary";
    EXPECT_TRUE(defaults().objectForKey(kZQMediaBrowserBookmarkedItems2).isValid());
}

class NothingVisible : public ZQMediaItemBrowser {
public:
    bool isItemVisible(const ZQImagePath&) const override { return false; }
};

TEST_F(MediaBrowserTest, GridListsExactTypesOfAllEnclosedFilesFilteredAndSorted)
{
    for (const char* name : {"Photos/photo.JPEG", "Photos/photo.Jpeg", "Photos/b.png", "Photos/A map.svg",
                             "Photos/sub/c 2.gif", "Photos/notes.txt", "Photos/img_10.png", "Photos/img_2.png",
                             "Photos/IMG_1.png"})
        tree.file(name);
    const ZQFolderInfoPtr folder = root("Photos");
    folder->setReturnsAllEnclosedFiles(true);
    NothingVisible browser;
    MediaGridModel grid(&browser);
    const auto titles = [&grid] {
        QStringList names;
        for (int row = 0; row < grid.rowCount(); ++row)
            names.append(grid.index(row).data().toString());
        return names;
    };

    grid.setFiles(folder->fileURLsWithThumbsOfTypes(media::browsableFileTypes()));
    EXPECT_EQ(titles(), QStringList({"A map", "b", "c 2", "IMG_1", "img_2", "img_10", "photo"}))
        << "numbers in names sort as numbers, whatever the case";
    const ZQImagePathPtr photo = grid.itemAt(6);
    EXPECT_EQ(photo->path(), tree.path("Photos/photo.JPEG"));

    grid.setFilter("PH");
    EXPECT_EQ(titles(), QStringList({"photo"}));
    grid.setFiles(folder->fileURLsWithThumbsOfTypes(media::browsableFileTypes()));
    EXPECT_EQ(grid.itemAt(0), photo) << "items are kept across rebuilds";

    const std::unique_ptr<QMimeData> drag(grid.mimeData({grid.index(0)}));
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->urls(), QList<QUrl>{photo->url()});

    // Batches merge into the sorted list, under the filter.
    grid.setFilter({});
    grid.setFiles({{QUrl::fromLocalFile("/x/img_5.png"), {}}, {QUrl::fromLocalFile("/x/zebra.png"), {}}});
    grid.addFiles({{QUrl::fromLocalFile("/y/img_30.png"), {}}, {QUrl::fromLocalFile("/y/Alpha.png"), {}}});
    grid.addFiles({{QUrl::fromLocalFile("/z/img_7.png"), {}}});
    EXPECT_EQ(titles(), QStringList({"Alpha", "img_5", "img_7", "img_30", "zebra"}));
    grid.setFilter("IMG");
    grid.addFiles({{QUrl::fromLocalFile("/z/img_6.png"), {}}, {QUrl::fromLocalFile("/z/beta.png"), {}}});
    EXPECT_EQ(titles(), QStringList({"img_5", "img_6", "img_7", "img_30"}));
    EXPECT_EQ(grid.listedCount(), 7);

    // Typing on looks only at what is shown, erasing at everything; the same rows reset nothing.
    QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
    grid.setFilter("img_");
    EXPECT_EQ(resets.count(), 0);
    grid.setFilter("IMG_3");
    EXPECT_EQ(titles(), QStringList({"img_30"}));
    grid.setFilter("a");
    EXPECT_EQ(titles(), QStringList({"Alpha", "beta", "zebra"}));
    EXPECT_EQ(resets.count(), 2);

    // Listed again once names show their extensions: searched by the new names.
    auto& defaults = *platform::UserDefaults::standardUserDefaults();
    defaults.setBoolForKey(true, kZQMediaBrowserShowFileExtensions);
    const auto plainNames = qScopeGuard([&defaults] { defaults.removeObjectForKey(kZQMediaBrowserShowFileExtensions); });
    grid.setFilter("pha.png");
    grid.setFiles({{QUrl::fromLocalFile("/x/zebra.png"), {}}, {QUrl::fromLocalFile("/y/Alpha.png"), {}}});
    EXPECT_EQ(titles(), QStringList({"Alpha.png"}));

    grid.setFiles({});
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.rowOfItem(photo.get()), -1);
}

TEST_F(MediaBrowserTest, GridZoomSetsTheThumbnailSideAndOnlyCellsOnScreenAreVisible)
{
    for (int i = 0; i < 60; ++i)
        tree.file(QStringLiteral("Many/image %1.png").arg(i));
    const ZQFolderInfoPtr folder = root("Many");
    NothingVisible browser;
    MediaGridModel grid(&browser);
    grid.setFiles(folder->fileURLsWithThumbsOfTypes(media::browsableFileTypes()));
    ZQImageBrowserView view;
    view.setModel(&grid);
    view.resize(400, 300);
    view.show();

    view.setZoomValue(-1);
    EXPECT_EQ(view.iconSize().width(), ZQImageBrowserView::kSmallestThumbnail);
    view.setZoomValue(2);
    EXPECT_EQ(view.zoomValue(), 1.0);
    EXPECT_EQ(view.iconSize().width(), ZQImageBrowserView::kLargestThumbnail);
    EXPECT_TRUE(view.isRowVisible(0));
    EXPECT_FALSE(view.isRowVisible(59));
    EXPECT_FALSE(view.isRowVisible(60));
    view.scrollTo(grid.index(59));
    EXPECT_TRUE(view.isRowVisible(59));
    EXPECT_FALSE(view.isRowVisible(0));
}

} // namespace
