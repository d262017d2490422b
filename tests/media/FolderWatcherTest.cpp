#include "MediaTesting.h"

#include "media/window/ListedFolderWatches.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

#include <QSignalSpy>
#include <QUrl>

using mediatest::FakeFolderEventSource;
using mediatest::FolderTree;
using Call = FakeFolderEventSource::Call;

namespace {

class ChangeObserver : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void folderDidChange(const platform::Notification& notification) { received.append(notification); }
    QList<platform::Notification> received;
};

class FolderWatcherTest : public ::testing::Test {
protected:
    FolderWatcherTest()
    {
        auto fake = std::make_unique<FakeFolderEventSource>();
        source = fake.get();
        watcher.setEventSource(std::move(fake));
    }

    QString key(const QString& path) const { return path + QLatin1Char('/'); }

    FolderTree tree;
    ZQFolderWatcher watcher;
    FakeFolderEventSource* source = nullptr;
};

TEST_F(FolderWatcherTest, WatchesAFolderFromItsFirstObserverToItsLast)
{
    const QString a = tree.folder(QStringLiteral("a"));
    const QString b = tree.folder(QStringLiteral("b"));
    ChangeObserver first, second, stranger;

    watcher.addObserverSelectorForFolderUserInfo(&first, "folderDidChange", QUrl::fromLocalFile(a));
    watcher.addObserverSelectorForFolderUserInfo(&second, "folderDidChange", QUrl::fromLocalFile(a + "/"));
    EXPECT_EQ(source->calls, (QList<Call>{{true, {key(a)}}})) << "one folder, one watch";
    EXPECT_EQ(watcher.watchersForPath(key(a)).size(), 2);

    watcher.addObserverSelectorForFolderUserInfo(&first, "folderDidChange", QUrl::fromLocalFile(b));
    EXPECT_EQ(source->calls.last(), (Call{true, {key(b)}}));
    EXPECT_EQ(watcher.pathsToWatch(), (QStringList{key(a), key(b)}));

    source->calls.clear();
    watcher.removeObserver(&stranger);
    watcher.removeObserverForFolder(&stranger, QUrl::fromLocalFile(a));
    EXPECT_TRUE(source->calls.isEmpty()) << "an observer that watches nothing changes nothing";

    watcher.removeObserverForFolder(&first, QUrl::fromLocalFile(a));
    EXPECT_TRUE(source->calls.isEmpty()) << "the second observer keeps the folder watched";
    watcher.removeObserver(&second);
    EXPECT_EQ(source->calls, (QList<Call>{{false, {key(a)}}}));
    EXPECT_EQ(watcher.pathsToWatch(), QStringList{key(b)});

    watcher.removeWatcher(watcher.watchersForPath(key(b)).first().get());
    EXPECT_EQ(source->calls.last(), (Call{false, {key(b)}}));
    EXPECT_FALSE(watcher.isWatching());
}

TEST_F(FolderWatcherTest, HandsOverEachChangedFolderOnceAfterTheLatency)
{
    const QString a = tree.folder(QStringLiteral("a"));
    const QString sub = tree.folder(QStringLiteral("a/sub"));
    ChangeObserver plain, withInfo, ofSub;
    watcher.addObserverSelectorForFolderUserInfo(&plain, "folderDidChange", QUrl::fromLocalFile(a));
    watcher.addObserverSelectorForFolderUserInfo(&withInfo, "folderDidChange", QUrl::fromLocalFile(a),
                                                 {{QStringLiteral("tag"), 7}});
    watcher.addObserverSelectorForFolderUserInfo(&ofSub, "folderDidChange", QUrl::fromLocalFile(sub));

    source->changeFolder(key(a));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency - 10);
    source->changeFolder(key(a));
    source->changeFolder(QStringLiteral("/elsewhere/"));
    platform::RunLoop::runFor(9);
    EXPECT_TRUE(plain.received.isEmpty()) << "nothing before the latency has passed";
    platform::RunLoop::runFor(1);
    ASSERT_EQ(plain.received.size(), 1) << "a burst in one window is one change";
    EXPECT_TRUE(ofSub.received.isEmpty()) << "a change of the parent is not the subfolder's";

    const platform::Notification& note = plain.received.first();
    EXPECT_EQ(note.name, kZQFolderWatcherFolderDidChangeNotification);
    EXPECT_EQ(note.sender, &watcher);
    EXPECT_EQ(note.userInfo.value("path").toString(), a);
    auto* registration = qobject_cast<ZQWatcher*>(note.userInfo.value("watcher").value<QObject*>());
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(registration->observer(), &plain);
    EXPECT_FALSE(note.userInfo.contains("user_info"));
    ASSERT_EQ(withInfo.received.size(), 1);
    EXPECT_EQ(withInfo.received.first().userInfo.value("user_info").toMap().value("tag").toInt(), 7);

    source->changeFolder(key(sub));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    EXPECT_EQ(ofSub.received.size(), 1);
    EXPECT_EQ(plain.received.size(), 1) << "a change of the subfolder is not the parent's";

    watcher.setLatency(100);
    source->changeFolder(key(a));
    platform::RunLoop::runFor(100);
    EXPECT_EQ(plain.received.size(), 2);
}

TEST_F(FolderWatcherTest, RefusesWhatIsNoFolderAndSkipsObserversThatCannotBeTold)
{
    const QString file = tree.file(QStringLiteral("plain.txt"));
    ChangeObserver observer;
    try {
        watcher.addObserverSelectorForFolderUserInfo(&observer, "folderDidChange", QUrl::fromLocalFile(file));
        FAIL() << "a file was watched";
    } catch (const platform::NamedException& refusal) {
        EXPECT_EQ(refusal.name(), QStringLiteral("NSInternalInconsistencyException"));
        EXPECT_TRUE(refusal.reason().contains(QUrl::fromLocalFile(file).toString()));
        EXPECT_TRUE(refusal.reason().contains(QStringLiteral("ChangeObserver")));
    }
    EXPECT_THROW(watcher.addObserverSelectorForFolderUserInfo(&observer, "folderDidChange",
                                                              QUrl::fromLocalFile(tree.path("missing"))),
                 platform::NamedException);
    EXPECT_TRUE(source->calls.isEmpty());

    const QString a = tree.folder(QStringLiteral("a"));
    QObject mute;
    auto gone = std::make_unique<ChangeObserver>();
    watcher.addObserverSelectorForFolderUserInfo(&mute, "folderDidChange", QUrl::fromLocalFile(a));
    watcher.addObserverSelectorForFolderUserInfo(gone.get(), "folderDidChange", QUrl::fromLocalFile(a));
    watcher.addObserverSelectorForFolderUserInfo(&observer, "folderDidChange", QUrl::fromLocalFile(a));
    gone.reset();
    source->changeFolder(key(a));
    platform::RunLoop::runFor(ZQFolderWatcher::kDefaultLatency);
    EXPECT_EQ(observer.received.size(), 1);
    EXPECT_EQ(watcher.watchersForPath(key(a)).size(), 2) << "the dead observer's registration is dropped";
}

} // namespace


namespace {

TEST(ListedFolderWatchesTest, FollowsNoMoreThanItsBoundNearestFirstAndSaysSoOnce)
{
    mediatest::FakeEventSourceScope events;
    mediatest::FolderTree tree;
    QStringList folders;
    for (int i = 0; i < ListedFolderWatches::kBound + 6; ++i)
        folders.append(tree.folder(QStringLiteral("f%1").arg(i)));
    ListedFolderWatches watches;
    QSignalSpy said(&watches, &ListedFolderWatches::foldersUnfollowed);

    watches.watch(folders.mid(0, 10));
    watches.watch(folders.mid(5)); // the first five again, as a relisting hands them over
    EXPECT_EQ(events.source->watched, ListedFolderWatches::kBound);
    EXPECT_TRUE(ZQFolderWatcher::defaultWatcher().isFollowing(QUrl::fromLocalFile(folders.first())));
    EXPECT_FALSE(ZQFolderWatcher::defaultWatcher().isFollowing(QUrl::fromLocalFile(folders.last())));
    watches.watch(folders.mid(ListedFolderWatches::kBound));
    ASSERT_EQ(said.count(), 1);
    EXPECT_EQ(said.first().first().toString(),
              QString("Changes in some folders are not followed: the folder holds more than %1 folders.")
                  .arg(ListedFolderWatches::kBound));

    watches.clear();
    EXPECT_FALSE(ZQFolderWatcher::defaultWatcher().isFollowing(QUrl::fromLocalFile(folders.first())));
    watches.watch(folders.mid(0, 3));
    EXPECT_EQ(said.count(), 1) << "within the bound after a clear";
}

} // namespace

#include "FolderWatcherTest.moc"
