#include "MediaTesting.h"

#include "media/browser/ZQFolderBrowserController.h"
#include "media/folders/ZQFileInfo.h"
#include "platform/foundation/RunLoop.h"

#include <QPushButton>
#include <QTest>
#include <QTreeView>

using mediatest::FakeEventSourceScope;
using mediatest::FolderTree;

namespace {

class RecordingDelegate : public ZQFolderBrowserDelegate {
public:
    Messages folderBrowserMessages() const override { return messages; }
    void folderBrowserDidSelectFolder(ZQFolderBrowserController*, ZQFolderInfo* folder) override
    {
        calls.append("select " + (folder ? folder->identifier() : QStringLiteral("-")));
    }
    void folderBrowserDidDoubleClickFolder(ZQFolderBrowserController*, ZQFolderInfo* folder) override
    {
        calls.append("double " + (folder ? folder->identifier() : QStringLiteral("-")));
    }
    void folderBrowserUserClickedFile(ZQFolderBrowserController*, ZQFolderInfo* file) override
    {
        calls.append("file " + file->identifier());
    }
    void folderBrowserWasNotifiedOfChangeOnDisk(ZQFolderBrowserController*, ZQFolderInfo* root) override
    {
        calls.append("disk " + root->identifier());
    }

    Messages messages = DidSelectFolder | DidDoubleClickFolder | UserClickedFile | WasNotifiedOfChangeOnDisk;
    QStringList calls;
};

class FolderBrowserTest : public ::testing::Test {
protected:
    FolderBrowserTest()
    {
        view.resize(300, 400);
        browser.setFolderTable(&view);
        browser.setDelegate(&delegate);
    }
    ~FolderBrowserTest() override { platform::RunLoop::runUntilIdle(); }

    QStringList rowNames(const QModelIndex& parent = {}) const
    {
        QStringList names;
        FolderOutlineModel& model = *browser.outlineModel();
        for (int row = 0; row < model.rowCount(parent); ++row)
            names.append(model.index(row, 0, parent).data().toString());
        return names;
    }
    QString selected() const { return browser.selectedItem() ? browser.selectedItem()->identifier() : QString(); }
    QModelIndex indexOf(const QString& identifier) const
    {
        return browser.outlineModel()->indexForItem(browser.itemWithIdentifier(identifier).get());
    }
    void changeOnDisk(const QString& relative)
    {
        events.source->changeFolder(tree.path(relative) + QLatin1Char('/'));
        platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
        platform::RunLoop::runUntilIdle();
    }

    FakeEventSourceScope events;
    FolderTree tree;
    QTreeView view;
    ZQFolderBrowserController browser;
    RecordingDelegate delegate;
};

TEST_F(FolderBrowserTest, RootsSortNumericallyAndAPathIsAddedOnce)
{
    const QUrl ten = QUrl::fromLocalFile(tree.folder("Maps 10"));
    ASSERT_TRUE(browser.addRootItemWithURL(ten));
    const ZQFolderInfoPtr two = browser.addRootItemWithURL(QUrl::fromLocalFile(tree.folder("Maps 2")));
    ASSERT_TRUE(two);
    EXPECT_EQ(rowNames(), QStringList({"Maps 2", "Maps 10"}));
    EXPECT_EQ(two->refreshDelegate(), &browser);

    EXPECT_EQ(browser.addRootItemWithURL(QUrl::fromLocalFile(tree.path("Maps 10") + "/")), nullptr);
    EXPECT_EQ(browser.rootItems().size(), 2);
    EXPECT_EQ(browser.rootInfoForPath(tree.path("Maps 2") + "/"), two);
    EXPECT_TRUE(browser.isRootItemURL(ten));

    browser.removeRootItemWithURL(QUrl::fromLocalFile(tree.path("Maps 2")));
    EXPECT_EQ(rowNames(), QStringList({"Maps 10"}));
    EXPECT_EQ(two->refreshDelegate(), nullptr);
}

TEST_F(FolderBrowserTest, HiddenRootsShowTheLastRootsChildrenInTheColumnsOrder)
{
    tree.folder("Alpha/x");
    for (const char* name : {"Beta/b 10", "Beta/b 2", "Beta/a"})
        tree.folder(name);
    browser.setRootItems({ZQFolderInfo::makeWithPath(tree.path("Beta")), ZQFolderInfo::makeWithPath(tree.path("Alpha"))});
    EXPECT_EQ(rowNames(), QStringList({"Alpha", "Beta"}));

    browser.setShowRootItems(false);
    EXPECT_EQ(rowNames(), QStringList({"a", "b 2", "b 10"}));
    browser.selectItemWithIdentifier("Beta|b 2");
    view.sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(rowNames(), QStringList({"b 10", "b 2", "a"}));
    EXPECT_EQ(selected(), "Beta|b 2") << "sorting keeps the selection";
}

TEST_F(FolderBrowserTest, ExpansionAndSelectionFollowIdentifiers)
{
    tree.folder("Root/one/deep/deeper");
    tree.folder("Root/two");
    browser.setRootItems({ZQFolderInfo::makeWithPath(tree.path("Root"))});
    EXPECT_EQ(browser.expandItemWithIdentifier("Root|nothing"), nullptr);
    ASSERT_TRUE(browser.expandItemWithIdentifier("Root|one|deep"));
    EXPECT_EQ(browser.expandedItemIdentifiers(), QStringList({"Root", "Root|one", "Root|one|deep"}));
    EXPECT_FALSE(view.isExpanded(indexOf("Root|one|deep|deeper")));

    browser.selectItemWithIdentifier("Root|one|deep|deeper");
    EXPECT_EQ(selected(), "Root|one|deep|deeper");
    EXPECT_EQ(delegate.calls.last(), "select Root|one|deep|deeper");
    const QStringList expanded = {"Root", "Root|one", "Root|one|deep", "Root|one|deep|deeper"};
    EXPECT_EQ(browser.expandedItemIdentifiers(), expanded) << "selecting expands the node itself";
    browser.reload();
    EXPECT_EQ(browser.expandedItemIdentifiers(), expanded);

    browser.setRootItems({});
    EXPECT_EQ(selected(), "");
    EXPECT_TRUE(rowNames().isEmpty());
}

TEST_F(FolderBrowserTest, ClickingAFileSelectsItsFolderUnlessFilesAreSelectable)
{
    tree.file("Root/folder/file.txt");
    const ZQFolderInfoPtr root = ZQFolderInfo::makeWithPath(tree.path("Root"));
    root->setIncludesFiles(true);
    browser.setRootItems({root});
    browser.expandItemWithIdentifier("Root|folder");
    view.show();
    const QModelIndex file = browser.outlineModel()->index(0, 0, indexOf("Root|folder"));
    ASSERT_EQ(file.data().toString(), "file.txt");

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(file).center());
    EXPECT_EQ(selected(), "Root|folder");
    EXPECT_EQ(delegate.calls, QStringList({"file Root|folder|file.txt", "select Root|folder"}));

    browser.setCanSelectFiles(true);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(file).center());
    EXPECT_EQ(selected(), "Root|folder|file.txt");

    delegate.messages = ZQFolderBrowserDelegate::DidDoubleClickFolder;
    delegate.calls.clear();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(file).center());
    EXPECT_EQ(delegate.calls, QStringList({"double Root|folder|file.txt"}));
}

TEST_F(FolderBrowserTest, ChangesOnDiskReselectWhatIsLeftAndDropWhatIsGone)
{
    tree.folder("Root/keep/inner");
    tree.folder("Root/gone");
    browser.setRootItems({ZQFolderInfo::makeWithPath(tree.path("Root"))});
    browser.selectItemWithIdentifier("Root|keep");

    tree.folder("Root/added");
    changeOnDisk("Root");
    EXPECT_EQ(rowNames(indexOf("Root")), QStringList({"added", "gone", "keep"}));
    EXPECT_EQ(selected(), "Root|keep");
    EXPECT_EQ(delegate.calls.last(), "disk Root");

    browser.selectItemWithIdentifier("Root|gone");
    const std::weak_ptr<ZQFolderInfo> gone = browser.itemWithIdentifier("Root|gone");
    ASSERT_TRUE(QDir(tree.path("Root/gone")).removeRecursively());
    changeOnDisk("Root");
    EXPECT_EQ(selected(), "");
    EXPECT_TRUE(gone.expired()) << "the outline lets go of the node with its rows";
    EXPECT_EQ(rowNames(indexOf("Root")), QStringList({"added", "keep"}));

    // A deeper folder reaches the outline through the refresh delegate.
    browser.selectItemWithIdentifier("Root|keep|inner");
    ASSERT_TRUE(QDir(tree.path("Root/keep/inner")).removeRecursively());
    tree.folder("Root/keep/other");
    changeOnDisk("Root/keep");
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(rowNames(indexOf("Root|keep")), QStringList({"other"}));
    view.show();
    QTest::qWait(1); // painting walks the rows that are left
}

TEST_F(FolderBrowserTest, DeleteButtonFollowsTheSelectedRoot)
{
    QPushButton remove;
    browser.setDeleteFolderButton(&remove);
    tree.folder("A/sub");
    tree.folder("B");
    browser.setRootItems({ZQFolderInfo::makeWithPath(tree.path("A")), ZQFolderInfo::makeWithPath(tree.path("B"))});
    EXPECT_FALSE(remove.isEnabled());
    browser.selectItemWithIdentifier("A|sub");
    EXPECT_TRUE(remove.isEnabled());
    remove.click();
    EXPECT_EQ(rowNames(), QStringList({"B"}));
    EXPECT_FALSE(remove.isEnabled());
}

} // namespace
