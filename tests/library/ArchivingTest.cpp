#include "LibraryTesting.h"

#include "library/archiving/FolderZipWriter.h"
#include "library/archiving/VXQLibraryArchivingTask.h"
#include "platform/foundation/RunLoop.h"

#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QThreadPool>

namespace {

class RecordingDelegate : public QObject, public VXQLibraryArchivingDelegate {
public:
    void libraryWillCreateZipArchiveAtURL(VXQLibrary* library, const QUrl& url) override { announced.append({library, url}); }
    void libraryAvailableAsZipArchiveURL(VXQLibrary* library, const QUrl& url) override { finished.append({library, url}); }

    // Waits for the worker, then hands its result to the main thread.
    void waitForResults(qsizetype count)
    {
        for (int turn = 0; turn < 500 && finished.size() < count; ++turn) {
            QThreadPool::globalInstance()->waitForDone(10);
            platform::RunLoop::runUntilIdle();
        }
    }

    QList<QPair<VXQLibrary*, QUrl>> announced;
    QList<QPair<VXQLibrary*, QUrl>> finished;
};

// The entry names `unzip` sees in the archive.
QStringList entriesOf(const QString& archive)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), archive});
    unzip.waitForFinished(30000);
    if (unzip.exitCode() != 0)
        return {};
    return QString::fromUtf8(unzip.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool unzipTests(const QString& archive)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive});
    return unzip.waitForFinished(30000) && unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0;
}

} // namespace

TEST_F(LibraryTest, ZipTasksWithoutDestinationNumberTheirArchivesInTheUserFolder)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    roads->addItem(makeStyleItem(QStringLiteral("Motorway")));
    roads->addCategoryWithName(QStringLiteral("Major"));
    RecordingDelegate delegate;

    auto first = VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(roads, &delegate);
    const QString expected = userFolder() + QStringLiteral("/Roads_LIBZ_1.zip");
    ASSERT_EQ(delegate.announced.size(), 1);
    EXPECT_EQ(delegate.announced[0].second, QUrl::fromLocalFile(expected));
    first.reset(); // the task lives until it has reported
    delegate.waitForResults(1);
    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_EQ(delegate.finished[0].first, roads.get());
    EXPECT_EQ(delegate.finished[0].second, QUrl::fromLocalFile(expected));

    // One top entry, the library folder, holding the category file as it is now and the package.
    const QStringList entries = entriesOf(expected);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.first(), QStringLiteral("Roads.symlibrary/"));
    for (const QString& entry : entries)
        EXPECT_TRUE(entry.startsWith(QStringLiteral("Roads.symlibrary/"))) << entry.toStdString();
    EXPECT_TRUE(entries.contains(QStringLiteral("Roads.symlibrary/Roads.categories")));
    EXPECT_TRUE(entries.contains(QStringLiteral("Roads.symlibrary/Motorway.libitem/__data")));
    EXPECT_TRUE(unzipTests(expected));

    roads->writeZipFileAtURLNotifyingDelegate({}, &delegate);
    delegate.waitForResults(2);
    ASSERT_EQ(delegate.finished.size(), 2);
    EXPECT_EQ(delegate.finished[1].second, QUrl::fromLocalFile(userFolder() + QStringLiteral("/Roads_LIBZ_2.zip")));
    EXPECT_EQ(VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestination(roads, &delegate, expected), nullptr);
    EXPECT_EQ(delegate.announced.size(), 2);
}

TEST_F(LibraryTest, ZipExportReplacesWhatWasThereAndReportsFailuresWithoutPartialFiles)
{
    VXQLibraryPtr parks = makeLibrary(QStringLiteral("Parks"));
    parks->addItem(makeSymbolItem(QStringLiteral("Bench")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc"), parks->path() + QStringLiteral("/outside")));
    RecordingDelegate delegate;

    // A damaged archive at the destination is replaced, not updated.
    const QString chosen = userFolder() + QStringLiteral("/../Parks export.zip");
    QFile damaged(chosen);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("PK\x03\x04 not really a zip");
    damaged.close();
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(parks, &delegate, QUrl::fromLocalFile(chosen));
    delegate.waitForResults(1);
    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_EQ(delegate.finished[0].second, QUrl::fromLocalFile(chosen));
    EXPECT_TRUE(unzipTests(chosen));
    const QStringList entries = entriesOf(chosen);
    EXPECT_FALSE(entries.contains(QStringLiteral("Parks.symlibrary/outside")));
    EXPECT_FALSE(entries.contains(QStringLiteral("Parks.symlibrary/outside/")));

    // A folder in the way, or a folder that does not exist: no URL, nothing written.
    const QString folder = userFolder() + QStringLiteral("/../In the way.zip");
    QDir().mkpath(folder);
    const QString nowhere = userFolder() + QStringLiteral("/../missing/Parks.zip");
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(parks, &delegate, QUrl::fromLocalFile(folder));
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(parks, &delegate, QUrl::fromLocalFile(nowhere));
    delegate.waitForResults(3);
    ASSERT_EQ(delegate.finished.size(), 3);
    EXPECT_TRUE(delegate.finished[1].second.isEmpty());
    EXPECT_TRUE(delegate.finished[2].second.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_TRUE(QDir(QFileInfo(nowhere).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    // A library without a folder has nothing to archive.
    VXQLibraryPtr memoryOnly = VXQLibrary::libraryWithPath(QString());
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(memoryOnly, &delegate, QUrl::fromLocalFile(chosen));
    delegate.waitForResults(4);
    ASSERT_EQ(delegate.finished.size(), 4);
    EXPECT_TRUE(delegate.finished[3].second.isEmpty());
    EXPECT_TRUE(unzipTests(chosen));

    QString reason;
    EXPECT_FALSE(FolderZipWriter::writeArchive(parks->path() + QStringLiteral("/none"), chosen, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST_F(LibraryTest, ZipExportArchivesTheLibraryAsItWasWhenTheExportStarted)
{
    VXQLibraryPtr roads = makeLibrary(QStringLiteral("Roads"));
    const VXQLibraryItemPtr motorway = makeStyleItem(QStringLiteral("Motorway"));
    const VXQLibraryItemPtr lane = makeStyleItem(QStringLiteral("Lane"));
    roads->addItem(motorway);
    roads->addItem(lane);
    RecordingDelegate delegate;
    const QString chosen = userFolder() + QStringLiteral("/../Roads export.zip");

    // The only worker is held back until the library has been edited under the export.
    QThreadPool& pool = *QThreadPool::globalInstance();
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    QSemaphore edited;
    pool.start([&edited] { edited.acquire(); });
    VXQLibraryArchivingTask::newArchivingTaskWithLibraryDelegateDestinationURL(roads, &delegate, QUrl::fromLocalFile(chosen));
    motorway->setName(QStringLiteral("Expressway"));
    ASSERT_TRUE(lane->deleteOnDisk());
    edited.release();
    delegate.waitForResults(1);
    pool.setMaxThreadCount(threads);

    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_EQ(delegate.finished[0].second, QUrl::fromLocalFile(chosen));
    EXPECT_TRUE(unzipTests(chosen));
    const QStringList entries = entriesOf(chosen);
    EXPECT_TRUE(entries.contains(QStringLiteral("Roads.symlibrary/Motorway.libitem/__data")));
    EXPECT_TRUE(entries.contains(QStringLiteral("Roads.symlibrary/Lane.libitem/__data")));
    EXPECT_FALSE(entries.contains(QStringLiteral("Roads.symlibrary/Expressway.libitem/")));
    // The snapshot goes with the export.
    const QStringList left = QDir(userFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_TRUE(left.filter(QStringLiteral("snapshot")).isEmpty()) << left.join(u' ').toStdString();
}
