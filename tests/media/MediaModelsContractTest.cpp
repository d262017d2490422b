// The media browser's item models keep Qt's model contract through what the browser does to
// them: folders added, expanded, changed on disk and removed; files listed, merged and
// filtered. The tester aborts the test at the first broken rule.

#include "MediaTesting.h"

#include "media/browser/ZQFolderBrowserController.h"
#include "media/window/MediaGridModel.h"
#include "platform/foundation/RunLoop.h"

#include <QAbstractItemModelTester>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

QStringList namesUnder(const QAbstractItemModel& model, const QModelIndex& parent = {})
{
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names.append(model.index(row, 0, parent).data().toString());
    return names;
}

TEST(MediaModelsContract, TheFolderOutlineThroughRootsExpansionChangesOnDiskAndSorting)
{
    mediatest::FakeEventSourceScope events;
    mediatest::FolderTree tree;
    tree.folder("Maps/north/hills");
    tree.folder("Maps/south");
    tree.folder("Photos 10");
    tree.folder("Photos 2/old");
    QTreeView view;
    ZQFolderBrowserController browser;
    browser.setFolderTable(&view);
    FolderOutlineModel& model = *browser.outlineModel();
    const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    browser.setRootItems({ZQFolderInfo::makeWithPath(tree.path("Maps"))});
    ASSERT_TRUE(browser.addRootItemWithURL(QUrl::fromLocalFile(tree.path("Photos 10"))));
    ASSERT_TRUE(browser.addRootItemWithURL(QUrl::fromLocalFile(tree.path("Photos 2"))));
    EXPECT_EQ(namesUnder(model), QStringList({"Maps", "Photos 2", "Photos 10"}));
    ASSERT_TRUE(browser.expandItemWithIdentifier("Maps|north|hills"));
    const QModelIndex maps = model.indexForItem(browser.itemWithIdentifier("Maps").get());
    EXPECT_EQ(namesUnder(model, maps), QStringList({"north", "south"}));

    // A folder made and one removed below an open folder reach the outline as rows.
    tree.folder("Maps/east");
    QDir(tree.path("Maps/south")).removeRecursively();
    events.source->changeFolder(tree.path("Maps") + QLatin1Char('/'));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(namesUnder(model, model.indexForItem(browser.itemWithIdentifier("Maps").get())),
              QStringList({"east", "north"}));

    view.sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(namesUnder(model, model.indexForItem(browser.itemWithIdentifier("Maps").get())),
              QStringList({"north", "east"}));
    browser.removeRootItemWithURL(QUrl::fromLocalFile(tree.path("Photos 2")));
    EXPECT_EQ(model.rowCount(), 2);
    browser.setShowRootItems(false);
    browser.reload();
    browser.setRootItems({});
    EXPECT_EQ(model.rowCount(), 0);
}

class NothingOnScreen : public ZQMediaItemBrowser {
public:
    bool isItemVisible(const ZQImagePath&) const override { return false; }
};

QList<ZQURLWithThumb> filesNamed(const QString& folder, const QStringList& names)
{
    QList<ZQURLWithThumb> files;
    for (const QString& name : names)
        files.append({QUrl::fromLocalFile(folder + QLatin1Char('/') + name), {}});
    return files;
}

TEST(MediaModelsContract, TheGridThroughListingsBatchesAndFilters)
{
    const NothingOnScreen browser;
    MediaGridModel grid(&browser);
    const QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);

    grid.setFiles(filesNamed(QStringLiteral("/a"), {"img_10.png", "img_2.png", "zebra.png"}));
    grid.addFiles(filesNamed(QStringLiteral("/b"), {"Alpha.png", "img_1.png"}));
    EXPECT_EQ(namesUnder(grid), QStringList({"Alpha", "img_1", "img_2", "img_10", "zebra"}));
    grid.setFilter(QStringLiteral("IMG"));
    EXPECT_EQ(namesUnder(grid), QStringList({"img_1", "img_2", "img_10"}));
    grid.addFiles(filesNamed(QStringLiteral("/c"), {"img_5.png", "beta.png"}));
    EXPECT_EQ(namesUnder(grid), QStringList({"img_1", "img_2", "img_5", "img_10"}));
    grid.setFilter(QStringLiteral("nothing like it"));
    EXPECT_EQ(grid.rowCount(), 0);
    grid.setFilter({});
    EXPECT_EQ(grid.rowCount(), 7);
    grid.setFiles({});
    EXPECT_EQ(grid.rowCount(), 0);
}

} // namespace
