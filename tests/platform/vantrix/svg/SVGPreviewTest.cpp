#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/svg/VXSVGPreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QByteArray kRedWideSVG = R"(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">
<rect width="200" height="100" fill="#ff0000"/></svg>)";

class RecordingDelegate : public QObject, public VXSVGPreviewDelegate {
public:
    bool svgPreviewShouldStart(VXSVGPreview* preview) override
    {
        record("shouldStart", preview);
        return startAllowed;
    }
    void svgPreviewDidStart(VXSVGPreview* preview) override { record("didStart", preview); }
    void svgPreviewImageAvailable(VXSVGPreview* preview) override { record("imageAvailable", preview); }
    void svgPreviewFailed(VXSVGPreview* preview) override { record("failed", preview); }
    void svgPreviewDidEnd(VXSVGPreview* preview) override { record("didEnd", preview); }

    QStringList calls;
    bool startAllowed = true;
    bool offMainThread = false;

private:
    void record(const char* call, VXSVGPreview* preview)
    {
        calls.append(QString::fromLatin1(call));
        offMainThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
    }
};

const QStringList kSucceeded = {"shouldStart", "didStart", "imageAvailable", "didEnd"};
const QStringList kFailed = {"shouldStart", "didStart", "failed", "didEnd"};

// A cache folder of its own for each test.
class SVGPreviewTest : public ::testing::Test {
protected:
    void SetUp() override { VXSVGPreview::setCacheFolder(cache.path()); }
    void TearDown() override
    {
        VXSVGPreview::cancelAllPreviews();
        settle();
        VXSVGPreview::setCacheFolder({});
    }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    // Starts the queued previews, lets the workers finish and delivers their results.
    static void settle()
    {
        platform::RunLoop::runUntilIdle();
        QThreadPool::globalInstance()->waitForDone();
        platform::RunLoop::runUntilIdle();
    }

    VXSVGPreviewPtr preview(const QString& path, RecordingDelegate& delegate)
    {
        VXSVGPreviewPtr started = VXSVGPreview::svgPreviewWithSVGURLDelegate(QUrl::fromLocalFile(path), &delegate);
        settle();
        return started;
    }

    QStringList cachedFiles() const { return QDir(cache.path()).entryList({"*.png"}, QDir::Files); }

    QTemporaryDir files;
    QTemporaryDir cache;
};

TEST_F(SVGPreviewTest, ImageFitsTheSquareAndArrivesOnTheMainThreadAfterTheCall)
{
    RecordingDelegate delegate;
    const VXSVGPreviewPtr started =
        VXSVGPreview::svgPreviewWithSVGURLDelegate(QUrl::fromLocalFile(write("wide.svg", kRedWideSVG)), &delegate);
    EXPECT_TRUE(delegate.calls.isEmpty());
    settle();

    EXPECT_EQ(delegate.calls, kSucceeded);
    EXPECT_FALSE(delegate.offMainThread);
    const QImage image = started->image();
    EXPECT_EQ(image.size(), QSize(VXSVGPreview::kPreviewSide, VXSVGPreview::kPreviewSide / 2));
    EXPECT_EQ(image.pixelColor(150, 75), QColor(Qt::red));
    ASSERT_TRUE(started->cachedPreviewURL().isLocalFile());
    EXPECT_EQ(QImage(started->cachedPreviewURL().toLocalFile()).size(), image.size());
}

TEST_F(SVGPreviewTest, ClipPathsClipThePicture)
{
    // A red square clipped to its left half, inside a group clipped to its top half: only the
    // top-left quarter shows.
    const QByteArray clipped = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">
<defs><clipPath id="left"><rect width="50" height="100"/></clipPath>
<clipPath id="top"><rect width="100" height="50"/></clipPath></defs>
<g clip-path="url(#top)"><rect width="100" height="100" fill="#ff0000" clip-path="url(#left)"/></g></svg>)svg";
    RecordingDelegate delegate;
    const QImage image = preview(write("clipped.svg", clipped), delegate)->image();
    ASSERT_EQ(delegate.calls, kSucceeded);
    ASSERT_EQ(image.size(), QSize(VXSVGPreview::kPreviewSide, VXSVGPreview::kPreviewSide));
    EXPECT_EQ(image.pixelColor(75, 75), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(225, 75).alpha(), 0);
    EXPECT_EQ(image.pixelColor(75, 225).alpha(), 0);
    EXPECT_EQ(image.pixelColor(225, 225).alpha(), 0);
}

TEST_F(SVGPreviewTest, CachedPicturesAreReusedUntilTheFileChangesAndRemovedOnRequest)
{
    const QString path = write("map.svg", kRedWideSVG);
    RecordingDelegate first;
    const QString cachedFile = preview(path, first)->cachedPreviewURL().toLocalFile();
    ASSERT_FALSE(cachedFile.isEmpty());
    // A picture planted under the cached name proves the second preview reads, not renders.
    QImage planted(30, 30, QImage::Format_ARGB32);
    planted.fill(Qt::blue);
    ASSERT_TRUE(planted.save(cachedFile, "PNG"));
    RecordingDelegate second;
    const VXSVGPreviewPtr reused = preview(path, second);
    EXPECT_EQ(second.calls, kSucceeded);
    EXPECT_EQ(reused->image().size(), QSize(30, 30));
    EXPECT_EQ(reused->cachedPreviewURL().toLocalFile(), cachedFile);

    // An edited file (other size) is rendered again and its stale picture goes.
    write("map.svg", QByteArray(kRedWideSVG).replace("#ff0000", "#00ff00 "));
    RecordingDelegate third;
    const VXSVGPreviewPtr fresh = preview(path, third);
    EXPECT_EQ(fresh->image().pixelColor(10, 10), QColor(Qt::green));
    EXPECT_NE(fresh->cachedPreviewURL().toLocalFile(), cachedFile);
    EXPECT_EQ(cachedFiles().size(), 1);

    const VXSVGPreviewPtr other = preview(write("other.svg", kRedWideSVG), third);
    ASSERT_EQ(cachedFiles().size(), 2);
    VXSVGPreview::removeCachedSVGPreviewForURL(fresh->svgURL());
    EXPECT_FALSE(QFile::exists(fresh->cachedPreviewURL().toLocalFile()));
    EXPECT_TRUE(QFile::exists(other->cachedPreviewURL().toLocalFile()));
    VXSVGPreview::emptyCache();
    EXPECT_TRUE(cachedFiles().isEmpty());

    // Without a cache folder nothing is kept.
    VXSVGPreview::setCacheFolder({});
    RecordingDelegate uncachedDelegate;
    const VXSVGPreviewPtr uncached = preview(path, uncachedDelegate);
    EXPECT_EQ(uncachedDelegate.calls, kSucceeded);
    EXPECT_FALSE(uncached->image().isNull());
    EXPECT_TRUE(uncached->cachedPreviewURL().isEmpty());
}

TEST_F(SVGPreviewTest, UnreadableFilesFailWithoutCaching)
{
    // Attributes enough to keep the XML reader busy for seconds are refused before it starts.
    QByteArray crowded = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="10" height="10")";
    for (int i = 0; i < 100'000; ++i)
        crowded += " a" + QByteArray::number(i) + "=''";
    const QList<QString> paths = {
        write("broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width="),
        write("crowded.svg", crowded + "/></svg>"),
        write("noise.svg", QByteArray(4096, '\x9c')),
        write("sizeless.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="0" height="0"/>)"),
        files.filePath("missing.svg"),
        files.filePath("pipe.svg"), // would block a reader for ever
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(paths.last()).constData(), 0600), 0);
    for (const QString& path : paths) {
        RecordingDelegate delegate;
        const VXSVGPreviewPtr failed = preview(path, delegate);
        EXPECT_EQ(delegate.calls, kFailed) << path.toStdString();
        EXPECT_TRUE(failed->image().isNull());
        EXPECT_TRUE(failed->cachedPreviewURL().isEmpty());
    }
    EXPECT_TRUE(cachedFiles().isEmpty());
}

TEST_F(SVGPreviewTest, DeclinedCancelledAndOrphanedPreviewsStopQuietly)
{
    const QString path = write("map.svg", kRedWideSVG);

    RecordingDelegate declining;
    declining.startAllowed = false;
    preview(path, declining);
    EXPECT_EQ(declining.calls, QStringList{"shouldStart"});

    RecordingDelegate cancelledEarly;
    VXSVGPreview::svgPreviewWithSVGURLDelegate(QUrl::fromLocalFile(path), &cancelledEarly);
    VXSVGPreview::cancelAllPreviews();
    settle();
    EXPECT_TRUE(cancelledEarly.calls.isEmpty());

    // Cancelled while rendering: only the end is reported, so progress indicators stop.
    RecordingDelegate cancelledLate;
    const VXSVGPreviewPtr late = VXSVGPreview::svgPreviewWithSVGURLDelegate(QUrl::fromLocalFile(path), &cancelledLate);
    platform::RunLoop::runUntilIdle();
    VXSVGPreview::cancelAllPreviews();
    settle();
    EXPECT_EQ(cancelledLate.calls, (QStringList{"shouldStart", "didStart", "didEnd"}));
    EXPECT_TRUE(late->image().isNull());

    auto orphaning = std::make_unique<RecordingDelegate>();
    VXSVGPreview::svgPreviewWithSVGURLDelegate(QUrl::fromLocalFile(path), orphaning.get());
    orphaning.reset();
    settle(); // nothing is called on the dead delegate
}

} // namespace
