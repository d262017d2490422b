#include "MediaTesting.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

using mediatest::FolderTree;

namespace {

// The system's source, with what it reported in order.
class RecordedSource {
public:
    RecordedSource()
    {
        source.setHandler([this](const QString& folder) { reported.append(folder); });
    }

    // Lets the source read the system's events until `folder` was reported (or a while passed).
    bool reports(const QString& folder)
    {
        const QString key = folder + QLatin1Char('/');
        for (QDeadlineTimer deadline(5000); !reported.contains(key) && !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return reported.contains(key);
    }
    qsizetype count(const QString& folder) const { return reported.count(folder + QLatin1Char('/')); }

    FileSystemEventSource source;
    QStringList reported;
};

TEST(FileSystemEventSource, ReportsTheChangedFoldersAmongHundredsWatched)
{
    FolderTree tree;
    QStringList folders;
    for (int index = 0; index < 300; ++index)
        folders.append(tree.folder(QStringLiteral("area %1").arg(index)));
    RecordedSource recorded;
    for (const QString& folder : std::as_const(folders))
        EXPECT_TRUE(recorded.source.addWatchedPaths({folder + QLatin1Char('/')}).isEmpty());
    EXPECT_TRUE(recorded.source.addWatchedPaths({folders[7] + QLatin1Char('/')}).isEmpty()) << "watched already";

    tree.file(QStringLiteral("area 299/a.png"));
    tree.file(QStringLiteral("area 7/a.png"));
    tree.file(QStringLiteral("area 7/b.png"));
    EXPECT_TRUE(recorded.reports(folders[7]));
    EXPECT_TRUE(recorded.reports(folders[299]));
    EXPECT_EQ(recorded.count(folders[7]), 1) << "one report for the changes read together";
    EXPECT_EQ(recorded.reported.size(), 2);

    // A folder no longer watched is not reported; its neighbour still is.
    recorded.reported.clear();
    recorded.source.removeWatchedPaths({folders[7] + QLatin1Char('/'), tree.path(QStringLiteral("never watched/"))});
    tree.file(QStringLiteral("area 7/c.png"));
    tree.file(QStringLiteral("area 8/c.png"));
    EXPECT_TRUE(recorded.reports(folders[8]));
    EXPECT_EQ(recorded.reported, QStringList{folders[8] + QLatin1Char('/')});

    // Nothing there is refused, but not answered: only existing folders can be watched later.
    EXPECT_TRUE(recorded.source.addWatchedPaths({tree.path(QStringLiteral("gone/"))}).isEmpty());
}

TEST(FileSystemEventSource, ADeletedFolderIsWatchedAgainWhenItComesBack)
{
    FolderTree tree;
    const QString parent = tree.folder(QStringLiteral("maps"));
    const QString child = tree.folder(QStringLiteral("maps/sheets"));
    RecordedSource recorded;
    EXPECT_TRUE(recorded.source.addWatchedPaths({parent + QLatin1Char('/'), child + QLatin1Char('/')}).isEmpty());

    ASSERT_TRUE(QDir(child).removeRecursively());
    EXPECT_TRUE(recorded.reports(child));
    EXPECT_TRUE(recorded.reports(parent));

    // Made again, it shows up as a change of its parent and is watched from then on.
    recorded.reported.clear();
    tree.folder(QStringLiteral("maps/sheets"));
    EXPECT_TRUE(recorded.reports(parent));
    recorded.reported.clear();
    tree.file(QStringLiteral("maps/sheets/north.png"));
    EXPECT_TRUE(recorded.reports(child));
    EXPECT_EQ(recorded.count(parent), 0);

    // Watching and dropping it again leaves the parent's watch alone.
    recorded.source.removeWatchedPaths({child + QLatin1Char('/')});
    recorded.reported.clear();
    tree.file(QStringLiteral("maps/south.png"));
    EXPECT_TRUE(recorded.reports(parent));
}

} // namespace
