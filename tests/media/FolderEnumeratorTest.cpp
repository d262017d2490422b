#include "MediaTesting.h"

#include "app/utilities/FileUtilities.h"
#include "media/enumeration/FolderMenus.h"
#include "media/enumeration/ZQFolderEnumerator.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

#include <QSet>

#include <sys/stat.h>

using mediatest::FakeEventSourceScope;
using mediatest::FolderTree;

namespace {

QSet<QString> asSet(const QStringList& list)
{
    return QSet<QString>(list.begin(), list.end());
}

class FolderEnumeratorTest : public ::testing::Test {
protected:
    FolderEnumeratorTest()
    {
        root = tree.folder(QStringLiteral("root"));
        tree.file(QStringLiteral("root/a.svg"));
        tree.file(QStringLiteral("root/b.SVG"));
        tree.file(QStringLiteral("root/c.png"));
        tree.file(QStringLiteral("root/no-extension"));
        tree.file(QStringLiteral("root/.hidden.svg"));
        tree.file(QStringLiteral("root/Map.qvnl/inner.svg"));
        tree.file(QStringLiteral("root/x.png/inside.svg"));
        tree.file(QStringLiteral("root/plain/deep.png"));
        tree.link(tree.folder(QStringLiteral("elsewhere")), QStringLiteral("root/link.png"));
        tree.file(QStringLiteral("elsewhere/beyond.svg"));
    }
    ~FolderEnumeratorTest() override { platform::RunLoop::runUntilIdle(); }

    FakeEventSourceScope events;
    FolderTree tree;
    QString root;
};

TEST_F(FolderEnumeratorTest, ListsExactExtensionsAndEntersOnlyPlainFolders)
{
    const QStringList svgAndPng = {QStringLiteral("svg"), QStringLiteral("png"), QStringLiteral("qvnl")};
    auto flat = ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(root, false, svgAndPng);
    EXPECT_EQ(asSet(flat->files()),
              (QSet<QString>{tree.path("root/a.svg"), tree.path("root/c.png"), tree.path("root/.hidden.svg"),
                             tree.path("root/Map.qvnl"), tree.path("root/x.png"), tree.path("root/link.png")}))
        << "a.SVG is another extension; a package and a folder named with a type are listed like files";

    auto deep = ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(root, true, svgAndPng);
    const QStringList walked = deep->files();
    const QSet<QString> descended = {tree.path("root/x.png/inside.svg"), tree.path("root/plain/deep.png")};
    EXPECT_EQ(asSet(walked), asSet(flat->files()) + descended) << "packages and links are never entered";
    EXPECT_EQ(walked.count(tree.path("root/Map.qvnl")), 1);
    EXPECT_EQ(walked.indexOf(tree.path("root/x.png/inside.svg")), walked.indexOf(tree.path("root/x.png")) + 1)
        << "a folder's files follow the folder";
    const QList<QUrl> urls = deep->fileURLs();
    ASSERT_EQ(urls.size(), walked.size());
    EXPECT_EQ(urls.first(), QUrl::fromLocalFile(walked.first()));

    auto all = ZQFolderEnumerator::folderEnumeratorWithPath(root);
    EXPECT_FALSE(all->files().contains(tree.path("root/no-extension"))) << "no extension, never listed";
    EXPECT_TRUE(all->files().contains(tree.path("root/b.SVG")));
    EXPECT_TRUE(all->includeFileAtPath(QStringLiteral("/any/thing")));
}

TEST_F(FolderEnumeratorTest, PipesAndOtherSpecialFilesAreNeverListed)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.path("root/pipe.png")).constData(), 0600), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.path("root/plain/pipe.svg")).constData(), 0600), 0);
    auto deep = ZQFolderEnumerator::folderEnumeratorWithPath(root);
    const QStringList listed = deep->files();
    EXPECT_FALSE(listed.contains(tree.path("root/pipe.png")));
    EXPECT_FALSE(listed.contains(tree.path("root/plain/pipe.svg")));
    EXPECT_TRUE(listed.contains(tree.path("root/c.png")));
    EXPECT_TRUE(listed.contains(tree.path("root/x.png"))) << "folders named with a type are still listed";
}

TEST_F(FolderEnumeratorTest, KeepsItsListUntilTheTypesOrItsOwnFolderChange)
{
    auto enumerator = ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(
        root, true, {QStringLiteral("svg")});
    const qsizetype before = enumerator->files().size();
    tree.file(QStringLiteral("root/new.svg"));
    tree.file(QStringLiteral("root/plain/newer.svg"));
    EXPECT_EQ(enumerator->files().size(), before);

    enumerator->setIncludesSubFolders(true);
    EXPECT_EQ(enumerator->files().size(), before) << "the same flag resets nothing";
    events.source->changeFolder(tree.path("root/plain/"));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    EXPECT_EQ(enumerator->files().size(), before) << "a subfolder's change is not the enumerator's";

    enumerator->setFileTypes(enumerator->fileTypes());
    EXPECT_EQ(enumerator->files().size(), before + 2) << "setting the types always scans again";
    EXPECT_EQ(enumerator->fileURLs().size(), before + 2);

    tree.file(QStringLiteral("root/newest.svg"));
    events.source->changeFolder(tree.path("root/"));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    EXPECT_EQ(enumerator->fileURLs().size(), before + 3) << "its own folder's change resets it";
}

TEST_F(FolderEnumeratorTest, RefusesMissingFoldersAndStopsWatchingWhenItGoes)
{
    EXPECT_THROW(ZQFolderEnumerator::folderEnumeratorWithPath(tree.path("missing")), platform::NamedException);
    auto enumerator = ZQFolderEnumerator::folderEnumeratorWithPath(tree.folder(QStringLiteral("doomed")));
    ASSERT_TRUE(QDir(tree.path("doomed")).removeRecursively());
    try {
        enumerator->files();
        FAIL() << "a missing folder was scanned";
    } catch (const platform::NamedException& refusal) {
        EXPECT_EQ(refusal.reason(), QStringLiteral("Folder specified does not exist or is not a folder"));
    }
    const QString key = tree.path("doomed/");
    EXPECT_EQ(ZQFolderWatcher::defaultWatcher().watchersForPath(key).size(), 1);
    enumerator.reset();
    EXPECT_TRUE(ZQFolderWatcher::defaultWatcher().watchersForPath(key).isEmpty());
}

TEST_F(FolderEnumeratorTest, MenusListTheFilesWithoutExtensionsAndCarryTheirPaths)
{
    tree.file(QStringLiteral("menu/Blue Road.tmsv"));
    tree.file(QStringLiteral("menu/town.plan.tmsv"));
    tree.file(QStringLiteral("menu/skip.txt"));
    QObject target;
    const std::unique_ptr<platform::Menu> menu = menuWithFilesInFolderOfTypesSelectorTarget(
        tree.path("menu"), {QStringLiteral("tmsv")}, "openTemplate", &target);
    const QStringList scanned = ZQFolderEnumerator::filesAtFolderPathOfTypes(tree.path("menu"), {"tmsv"});
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->title().isEmpty());
    for (int index = 0; index < 2; ++index) {
        auto* item = qobject_cast<platform::MenuItem*>(menu->actions().at(index));
        ASSERT_NE(item, nullptr);
        const QString path = item->representedObject().toString();
        EXPECT_EQ(path, scanned.at(index)) << "scan order";
        EXPECT_EQ(item->title(), path.endsWith("plan.tmsv") ? QStringLiteral("town.plan") : QStringLiteral("Blue Road"));
        EXPECT_EQ(item->action(), QByteArray("openTemplate"));
        EXPECT_EQ(item->target(), &target);
        EXPECT_TRUE(item->keyEquivalent().isEmpty());
    }
    EXPECT_EQ(menuWithFilesInFolderSelectorTarget(tree.path("menu"), "open", &target)->actions().size(), 3);

    const QString support = thisApplicationsSupportFolderURL().toLocalFile();
    QFile marker(support + QStringLiteral("/enumerated.h51test"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(ZQFolderEnumerator::filesInApplicationSupportFolderOfTypes({"h51test"}), QStringList{marker.fileName()});
    marker.remove();
}

} // namespace
