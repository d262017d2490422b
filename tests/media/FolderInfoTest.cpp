#include "MediaTesting.h"

#include "support/LogCapture.h"
#include "media/folders/FolderBookmark.h"
#include "media/folders/ZQFileInfo.h"
#include "media/folders/ZQFolderInfo.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"

#include <QDirIterator>
#include <QSet>
#include <QTest>
#include <sys/stat.h>

using mediatest::FakeEventSourceScope;
using mediatest::FolderTree;
using mediatest::NotificationRecorder;

namespace {

class RefreshDelegate : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void setNeedsUpdateWithItem(ZQFolderInfo* item) { items.append(item); }
    QList<ZQFolderInfo*> items;
};

QStringList namesOf(const QList<ZQFolderInfoPtr>& nodes)
{
    QStringList names;
    for (const ZQFolderInfoPtr& node : nodes)
        names.append(node->name());
    return names;
}

QSet<QString> pathsOf(const QList<QUrl>& urls)
{
    QSet<QString> paths;
    for (const QUrl& url : urls)
        paths.insert(url.toLocalFile());
    return paths;
}

class FolderInfoTest : public ::testing::Test {
protected:
    ~FolderInfoTest() override { platform::RunLoop::runUntilIdle(); }

    FakeEventSourceScope events;
    FolderTree tree;
};

TEST_F(FolderInfoTest, IdentifiersNameThePathFromTheRootAndFindNodesLazily)
{
    tree.folder(QStringLiteral("Pictures/Trips/2024"));
    tree.folder(QStringLiteral("Pictures/Home"));
    ZQFolderInfoPtr root = ZQFolderInfo::makeWithPath(tree.path("Pictures"));
    EXPECT_EQ(root->identifier(), QStringLiteral("Pictures"));
    EXPECT_EQ(root->icon().deviceIndependentSize(), QSizeF(16, 16)) << "the category artwork";

    EXPECT_EQ(root->nodeWithIdentifier(QStringLiteral("Other|Trips")), nullptr);
    EXPECT_EQ(root->nodeWithIdentifier(QString()), nullptr);
    EXPECT_FALSE(root->isLoaded()) << "an identifier outside the root loads nothing";

    const ZQFolderInfoPtr trips = root->nodeWithIdentifier(QStringLiteral("Pictures|Trips"));
    ASSERT_NE(trips, nullptr);
    EXPECT_EQ(trips->identifier(), QStringLiteral("Pictures|Trips"));
    EXPECT_EQ(trips->parent(), root.get());
    EXPECT_EQ(trips->root(), root.get());
    EXPECT_TRUE(root->containsSubfolder(trips.get()));
    EXPECT_FALSE(trips->containsSubfolder(root.get()));

    const ZQFolderInfoPtr year = root->nodeWithIdentifier(QStringLiteral("Pictures|Trips|2024"));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(root->nodeWithURL(QUrl::fromLocalFile(tree.path("Pictures/Trips/2024/"))), year);
    EXPECT_EQ(root->nodeWithURL(QUrl::fromLocalFile(tree.path("Pictures/Nowhere"))), nullptr);
    EXPECT_EQ(root->nodeWithURL(QUrl()), nullptr);

    const ZQFolderInfoPtr rootByPath = ZQFolderInfo::folderInfoRootItemWithIdentifier(tree.path("Pictures"));
    ASSERT_NE(rootByPath, nullptr);
    EXPECT_EQ(rootByPath->name(), QStringLiteral("Pictures"));
    EXPECT_EQ(ZQFolderInfo::folderInfoRootItemWithIdentifier(tree.path("missing")), nullptr);
}

TEST_F(FolderInfoTest, ChildrenFollowTheListingAndLeaveOutHiddenDanglingAndPackages)
{
    const QString root = tree.folder(QStringLiteral("root"));
    for (const char* name : {"b", "a", "c d", "line\nbreak"})
        tree.folder(QStringLiteral("root/") + QLatin1String(name));
    tree.folder(QStringLiteral("root/.hidden"));
    tree.file(QStringLiteral("root/.dotfile"));
    tree.file(QStringLiteral("root/picture.png"));
    tree.folder(QStringLiteral("root/Map.qvnl/content"));
    tree.link(QStringLiteral("nowhere"), QStringLiteral("root/dangling"));
    tree.link(tree.path("elsewhere"), QStringLiteral("root/dangling-folder"));
    tree.link(tree.folder(QStringLiteral("outside")), QStringLiteral("root/linked"));

    QStringList listed;
    for (QDirIterator entries(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System); entries.hasNext();) {
        entries.next();
        if (!entries.fileName().startsWith(QLatin1Char('.')))
            listed.append(entries.fileName());
    }
    const auto expectedAmong = [&listed](const QStringList& wanted) {
        QStringList inOrder;
        for (const QString& name : listed)
            if (wanted.contains(name))
                inOrder.append(name == QStringLiteral("linked") ? QStringLiteral("outside") : name);
        return inOrder;
    };

    ZQFolderInfoPtr folders = ZQFolderInfo::makeWithPath(root);
    EXPECT_EQ(namesOf(folders->subFolders()),
              expectedAmong({"b", "a", "c d", "line\nbreak", "linked"}))
        << "listing order; hidden, dangling, files and packages left out; links resolved";
    EXPECT_EQ(folders->valence(), 5);

    ZQFolderInfoPtr withFiles = ZQFolderInfo::makeWithPath(root);
    withFiles->setIncludesFiles(true);
    const QList<ZQFolderInfoPtr> children = withFiles->subFolders();
    EXPECT_EQ(namesOf(children),
              expectedAmong({"b", "a", "c d", "line\nbreak", "linked", "picture.png", "Map.qvnl"}));
    for (const ZQFolderInfoPtr& child : children) {
        auto* leaf = qobject_cast<ZQFileInfo*>(child.get());
        EXPECT_EQ(leaf != nullptr, child->name() == "picture.png" || child->name() == "Map.qvnl");
        if (leaf) {
            EXPECT_EQ(leaf->isPackage(), child->name() == "Map.qvnl");
            EXPECT_EQ(leaf->valence(), 0);
        }
        EXPECT_TRUE(child->includesFiles()) << "children take the parent's settings";
    }

    ZQFolderInfoPtr withPackages = ZQFolderInfo::makeWithPath(root);
    withPackages->setIncludesPackages(true);
    EXPECT_TRUE(namesOf(withPackages->subFolders()).contains(QStringLiteral("Map.qvnl")));
    EXPECT_TRUE(withPackages->includesPackages());

    const ZQFolderInfoPtr missing = ZQFolderInfo::makeWithPath(tree.path("gone"));
    EXPECT_FALSE(missing->existsOnDisk());
    EXPECT_TRUE(missing->subFolders().isEmpty());
    QSet<QString> watched;
    for (const auto& call : events.source->calls)
        watched.unite(QSet<QString>(call.paths.begin(), call.paths.end()));
    for (const char* folder : {"root/", "root/a/", "root/line\nbreak/", "outside/", "root/Map.qvnl/"})
        EXPECT_TRUE(watched.contains(tree.path(QString::fromUtf8(folder)))) << folder;
    EXPECT_FALSE(watched.contains(tree.path("root/picture.png/")));
    EXPECT_FALSE(watched.contains(tree.path("gone/")));
}

TEST_F(FolderInfoTest, AddedSubfoldersTakeTheParentsSettingsAndTheirFoldersPlace)
{
    const QString root = tree.folder(QStringLiteral("root"));
    tree.folder(QStringLiteral("root/old"));
    ZQFolderInfoPtr loaded = ZQFolderInfo::makeWithPath(root);
    loaded->setIncludesFiles(true);
    loaded->setReturnsAllEnclosedFiles(true);
    EXPECT_EQ(loaded->valence(), 1);
    const ZQFolderInfoPtr made = ZQFolderInfo::makeWithPath(tree.folder(QStringLiteral("root/made")));
    loaded->addSubfolder(made);
    EXPECT_EQ(namesOf(loaded->subFolders()), (QStringList{"old", "made"}));
    EXPECT_EQ(made->identifier(), QStringLiteral("root|made"));
    EXPECT_TRUE(made->includesFiles() && made->returnsAllEnclosedFiles());

    ZQFolderInfoPtr unloaded = ZQFolderInfo::makeWithPath(root);
    const ZQFolderInfoPtr again = ZQFolderInfo::makeWithPath(tree.path("root/made"));
    unloaded->addSubfolder(again);
    const QList<ZQFolderInfoPtr> children = unloaded->subFolders();
    EXPECT_EQ(children.size(), 2) << "the folder is listed once";
    EXPECT_EQ(children.last(), again);

    // A name that is no UTF-8 may not be reachable by name; it must not take the others along.
    const QByteArray oddName = QFile::encodeName(root) + QByteArray("/bad\xff\xfe");
    ASSERT_EQ(::mkdir(oddName.constData(), 0755), 0);
    ZQFolderInfoPtr odd = ZQFolderInfo::makeWithPath(root);
    EXPECT_TRUE(namesOf(odd->subFolders()).contains(QStringLiteral("old")));
    EXPECT_TRUE(odd->files().isEmpty());
    ::rmdir(oddName.constData()); // the temporary folder cannot remove a name it cannot decode
}

TEST_F(FolderInfoTest, LinksBackUpTheTreeNeverMakeItEndless)
{
    const QString root = tree.folder(QStringLiteral("root"));
    tree.folder(QStringLiteral("root/sub/deeper"));
    tree.file(QStringLiteral("root/top.png"));
    tree.file(QStringLiteral("root/sub/inner.png"));
    tree.file(QStringLiteral("root/sub/deeper/deep.png"));
    tree.link(QStringLiteral("/"), QStringLiteral("root/to-slash"));
    tree.link(QStringLiteral("."), QStringLiteral("root/to-self"));
    tree.link(QStringLiteral(".."), QStringLiteral("root/sub/to-parent"));
    tree.link(root, QStringLiteral("root/sub/deeper/to-root"));
    tree.link(tree.path("root/sub"), QStringLiteral("root/again"));
    tree.link(tree.path("root/sub"), QStringLiteral("root/and-again"));

    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    node->setReturnsAllEnclosedFiles(true);
    EXPECT_EQ(pathsOf(node->fileURLsOfTypes({QStringLiteral("png")})),
              (QSet<QString>{tree.path("root/top.png"), tree.path("root/sub/inner.png"),
                             tree.path("root/sub/deeper/deep.png")}));
    EXPECT_EQ(node->fileURLs().size(), 3) << "a folder reached through two links is walked once";

    const ZQFolderInfoPtr deeper = node->nodeWithIdentifier(QStringLiteral("root|sub|deeper"));
    ASSERT_NE(deeper, nullptr);
    EXPECT_TRUE(deeper->subFolders().isEmpty()) << "the link to the root is no child";
    EXPECT_EQ(node->nodeWithURL(QUrl::fromLocalFile(tree.path("root/nothing"))), nullptr);
    EXPECT_EQ(node->nodeWithIdentifier(QStringLiteral("root|to-self|to-self")), nullptr);

    // 64 levels deep: found, and every file listed.
    QString deepPath = QStringLiteral("tall");
    for (int level = 0; level < 64; ++level)
        deepPath += QStringLiteral("/l%1").arg(level);
    tree.folder(deepPath);
    tree.file(deepPath + QStringLiteral("/bottom.svg"));
    ZQFolderInfoPtr tall = ZQFolderInfo::makeWithPath(tree.path("tall"));
    tall->setReturnsAllEnclosedFiles(true);
    EXPECT_EQ(tall->filesOfType(QStringLiteral("svg")), QStringList{tree.path(deepPath + "/bottom.svg")});
    EXPECT_NE(tall->nodeWithURL(QUrl::fromLocalFile(tree.path(deepPath))), nullptr);
}

TEST_F(FolderInfoTest, FileListsAreCachedUntilClearedOrChangedAndMatchExtensionsExactly)
{
    const QString root = tree.folder(QStringLiteral("root"));
    tree.file(QStringLiteral("root/a.png"));
    tree.file(QStringLiteral("root/b.PNG"));
    tree.file(QStringLiteral("root/c.svg"));
    tree.file(QStringLiteral("root/.hidden.png"));
    tree.file(QStringLiteral("root/d.png"));
    tree.folder(QStringLiteral("root/sub"));
    tree.file(QStringLiteral("root/sub/e.png"));
    tree.link(tree.path("root/a.png"), QStringLiteral("root/alias.svg"));

    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    const QList<QUrl> pngs = node->fileURLsOfType(QStringLiteral("png"));
    EXPECT_EQ(pngs.size(), 2) << "a.png once, though alias.svg leads to it too";
    EXPECT_EQ(pathsOf(pngs), (QSet<QString>{tree.path("root/a.png"), tree.path("root/d.png")}))
        << "exact extensions; links resolved; hidden and subfolder files left out";
    EXPECT_EQ(pathsOf(node->fileURLsOfType(QStringLiteral("svg"))).size(), 2) << "the first call's list stands";
    node->clear();
    EXPECT_EQ(pathsOf(node->fileURLsOfType(QStringLiteral("svg"))),
              (QSet<QString>{tree.path("root/c.svg")}));
    const QStringList svgPaths = node->filesOfType(QStringLiteral("svg"));
    EXPECT_EQ(QSet<QString>(svgPaths.begin(), svgPaths.end()),
              (QSet<QString>{tree.path("root/c.svg"), tree.path("root/alias.svg")}))
        << "the path list names links as they are";

    node->setReturnsAllEnclosedFiles(false);
    EXPECT_EQ(node->fileURLsOfType(QStringLiteral("svg")).size(), 1) << "the same flag clears nothing";
    node->setReturnsAllEnclosedFiles(true);
    EXPECT_EQ(pathsOf(node->fileURLsOfType(QStringLiteral("png"))),
              (QSet<QString>{tree.path("root/a.png"), tree.path("root/d.png"), tree.path("root/sub/e.png")}));
    EXPECT_EQ(node->files().size(), 6) << "every visible file of the tree";

    testsupport::LogCapture log;
    const ZQFolderInfoPtr missing = ZQFolderInfo::makeWithPath(tree.path("gone"));
    EXPECT_TRUE(missing->fileURLs().isEmpty());
    EXPECT_TRUE(missing->files().isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("could not be read")));
}

TEST_F(FolderInfoTest, AnEmptyFolderIsReadOnceLikeAnyOther)
{
    const QString root = tree.folder(QStringLiteral("empty"));
    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    EXPECT_TRUE(node->fileURLs().isEmpty());
    EXPECT_TRUE(node->files().isEmpty());
    // Unannounced, so only a fresh read of the disk would see it.
    tree.file(QStringLiteral("empty/late.png"));
    EXPECT_TRUE(node->fileURLs().isEmpty()) << "the empty list is the cached answer";
    EXPECT_TRUE(node->files().isEmpty());

    node->clearCacheAndNotify();
    EXPECT_EQ(pathsOf(node->fileURLs()), QSet<QString>{tree.path("empty/late.png")});
    EXPECT_EQ(node->files(), QStringList{tree.path("empty/late.png")});
}

TEST_F(FolderInfoTest, PipesAndOtherSpecialFilesAreNeitherChildrenNorFiles)
{
    const QString root = tree.folder(QStringLiteral("root"));
    tree.file(QStringLiteral("root/a.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.path("root/pipe.png")).constData(), 0600), 0);
    tree.link(tree.path("root/pipe.png"), QStringLiteral("root/alias.png"));

    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    node->setIncludesFiles(true);
    EXPECT_EQ(pathsOf(node->fileURLsOfType(QStringLiteral("png"))), (QSet<QString>{tree.path("root/a.png")}));
    EXPECT_EQ(node->filesOfType(QStringLiteral("png")), QStringList{tree.path("root/a.png")});
    QStringList children;
    for (const ZQFolderInfoPtr& child : node->subFolders())
        children.append(child->path());
    EXPECT_EQ(children, QStringList{tree.path("root/a.png")});
}

TEST_F(FolderInfoTest, AChangeOnDiskUnloadsOnlyThatNodeAndTellsItsRoot)
{
    const QString root = tree.folder(QStringLiteral("root"));
    tree.folder(QStringLiteral("root/sub/inner"));
    tree.file(QStringLiteral("root/a.png"));
    RefreshDelegate delegate;
    NotificationRecorder changes(kZQFolderInfoDidChangeOnDisk);

    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    node->setRefreshDelegate(&delegate);
    const ZQFolderInfoPtr sub = node->subFolders().first();
    std::weak_ptr<ZQFolderInfo> inner = sub->subFolders().first();
    EXPECT_EQ(node->fileURLs().size(), 1);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(delegate.items, QList<ZQFolderInfo*>{node.get()}) << "a file list filled tells the delegate";
    delegate.items.clear();

    // The old children outlive the turn that drops them.
    platform::NotificationCenter::defaultCenter().addObserver(
        &delegate, kZQFolderInfoDidChangeOnDisk, sub.get(),
        [&](const platform::Notification&) { EXPECT_FALSE(inner.expired()); });
    events.source->changeFolder(tree.path("root/sub/"));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(sub->isLoaded());
    EXPECT_TRUE(node->isLoaded()) << "the parent keeps its children";
    EXPECT_EQ(changes.senders, QList<QObject*>{sub.get()});
    EXPECT_EQ(delegate.items, QList<ZQFolderInfo*>{sub.get()}) << "the root's delegate hears of the subfolder";
    EXPECT_TRUE(inner.expired());

    tree.file(QStringLiteral("root/b.png"));
    events.source->changeFolder(tree.path("root/"));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(changes.senders.last(), node.get());
    EXPECT_EQ(node->fileURLs().size(), 2) << "the file list is read again";
}

TEST_F(FolderInfoTest, BookmarksFindTheSameFolderAndRefuseEverythingElse)
{
    const QString folder = tree.folder(QStringLiteral("Maps"));
    const QByteArray bookmark = ZQFolderInfo::makeWithPath(folder)->bookmark();
    ASSERT_FALSE(bookmark.isEmpty());
    const ZQFolderInfoPtr root = ZQFolderInfo::folderInfoRootItemWithBookmark(bookmark);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->path(), folder);
    EXPECT_TRUE(root->securityScoped());

    const auto plist = [](const QVariantMap& record) {
        return *platform::PropertyList::toData(record, platform::PropertyList::Format::Binary);
    };
    const QByteArray relative = plist({{"path", "Maps"}, {"device", 1}, {"inode", 2}});
    const QByteArray noIdentity = plist({{"path", folder}});
    const QByteArray ofFile = FolderBookmark::dataForURL(QUrl::fromLocalFile(tree.file("note.txt"))).value();
    for (const QByteArray& bad : {QByteArray(), QByteArray("garbage"), relative, noIdentity, ofFile}) {
        testsupport::LogCapture log;
        EXPECT_EQ(ZQFolderInfo::folderInfoRootItemWithBookmark(bad), nullptr) << bad.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("could not be resolved or was stale"))) << bad.toStdString();
    }

    const QString replacement = tree.folder(QStringLiteral("Replacement"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(ZQFolderInfo::folderInfoRootItemWithBookmark(bookmark), nullptr) << "gone";
    ASSERT_TRUE(QDir().rename(replacement, folder));
    EXPECT_EQ(ZQFolderInfo::folderInfoRootItemWithBookmark(bookmark), nullptr) << "another folder under the old name";
    EXPECT_TRUE(ZQFolderInfo::makeWithPath(tree.path("none"))->bookmark().isEmpty());
}

// Lets the system's reports arrive through the event loop and the latency pass, until `done`.
template <class Done>
void settle(Done done)
{
    for (int attempt = 0; attempt < 100 && !done(); ++attempt) {
        QTest::qWait(50);
        platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
        platform::RunLoop::runUntilIdle();
    }
}

// The system's own events: a file added to a watched folder reaches the folder's node.
TEST(FolderInfoOnDisk, AFileAddedToAWatchedFolderChangesItsNodeOnce)
{
    FolderTree tree;
    const QString root = tree.folder(QStringLiteral("watched"));
    NotificationRecorder changes(kZQFolderInfoDidChangeOnDisk);
    ZQFolderInfoPtr node = ZQFolderInfo::makeWithPath(root);
    EXPECT_TRUE(node->subFolders().isEmpty());

    tree.file(QStringLiteral("watched/new.png"));
    tree.file(QStringLiteral("watched/other.png"));
    settle([&] { return !changes.senders.isEmpty(); });
    EXPECT_EQ(changes.senders, QList<QObject*>{node.get()});
    EXPECT_EQ(node->fileURLs().size(), 2);
}

TEST(FolderInfoOnDisk, AFolderMadeAgainUnderAWatchedNameIsWatchedAgain)
{
    FolderTree tree;
    const QString root = tree.folder(QStringLiteral("watched"));
    const QString sub = tree.folder(QStringLiteral("watched/sub"));
    NotificationRecorder changes(kZQFolderInfoDidChangeOnDisk);
    ZQFolderInfoPtr rootNode = ZQFolderInfo::makeWithPath(root);
    const ZQFolderInfoPtr subNode = rootNode->subFolders().first();

    ASSERT_TRUE(QDir(sub).removeRecursively());
    settle([&] { return changes.senders.contains(rootNode.get()); });
    ASSERT_TRUE(QDir().mkdir(sub));
    changes.senders.clear();
    settle([&] { return changes.senders.contains(rootNode.get()); });
    changes.senders.clear();
    tree.file(QStringLiteral("watched/sub/new.png"));
    settle([&] { return changes.senders.contains(subNode.get()); });
    EXPECT_TRUE(changes.senders.contains(subNode.get())) << "the system forgot the folder when it was deleted";
}

} // namespace

#include "FolderInfoTest.moc"
