#include "MediaTesting.h"

#include "media/items/ZQAsynchronousImageLoader.h"
#include "media/items/ZQImagePath.h"
#include "media/photos/ZQiPhotoMediaInfo.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSemaphore>
#include <QThreadPool>

namespace {

using Type = ZQImagePath::RepresentationType;

class FakeBrowser : public ZQMediaItemBrowser {
public:
    bool isItemVisible(const ZQImagePath&) const override { return visible; }
    bool visible = true;
};

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// A half transparent image: thumbnails must come out on white.
QByteArray pngOfSize(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixelColor(x, y, Qt::blue);
    return encoded(image, "PNG");
}

void putBigEndian(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A valid PNG whose header claims a vast image; its data is that of a tiny one.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = pngOfSize(4, 4);
    putBigEndian(png, 16, width);
    putBigEndian(png, 20, height);
    putBigEndian(png, 29, crc32(png.mid(12, 17))); // over the chunk's type and data
    return png;
}

// Counts the item notifications, by name.
class Notifications {
public:
    Notifications()
    {
        for (const QString& name : {kZQImagePathWillStartAsynchronousFetch, kQZImagePathDidCompleteAsynchronousFetch,
                                    kZQImagePathItemImageUpdated})
            platform::NotificationCenter::defaultCenter().addObserver(
                &m_observer, name, nullptr, [this](const platform::Notification& n) { names.append(n.name); });
    }
    ~Notifications() { platform::NotificationCenter::defaultCenter().removeObserver(&m_observer); }
    QStringList names;

private:
    QObject m_observer;
};

const QStringList kFetched = {kZQImagePathWillStartAsynchronousFetch, kZQImagePathItemImageUpdated,
                              kQZImagePathDidCompleteAsynchronousFetch};
const QStringList kFetchFailed = {kZQImagePathWillStartAsynchronousFetch, kQZImagePathDidCompleteAsynchronousFetch};

class MediaItemTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        defaults().removeObjectForKey(kZQMediaBrowserShowFileExtensions);
        defaults().removeObjectForKey(kZQMediaBrowserPrefersQL);
        VXSVGPreview::cancelAllPreviews();
        settle();
    }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }
    static void settle()
    {
        platform::RunLoop::runUntilIdle();
        ZQAsynchronousImageLoader::imageLoaderQueue().waitForDone();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        platform::RunLoop::runUntilIdle();
    }
    std::unique_ptr<ZQImagePath> item(const QString& relative, const QByteArray& contents = "x")
    {
        return std::make_unique<ZQImagePath>(QUrl::fromLocalFile(tree.file(relative, contents)), &browser);
    }

    mediatest::FolderTree tree;
    FakeBrowser browser;
};

TEST_F(MediaItemTest, NamesFollowTheExtensionsDefaultAndSVGIsJudgedByExactType)
{
    const auto photo = item("photo.tiff");
    EXPECT_EQ(photo->name(), "photo");
    EXPECT_EQ(photo->imageTitle(), "photo");
    defaults().setBoolForKey(true, kZQMediaBrowserShowFileExtensions);
    EXPECT_EQ(photo->name(), "photo.tiff");
    EXPECT_EQ(photo->imageUID(), tree.path("photo.tiff"));
    EXPECT_TRUE(photo->isEqualTo(ZQImagePath(photo->url(), nullptr)));

    browser.visible = false;
    const auto upper = item("map.SVG");
    EXPECT_EQ(upper->imageRepresentationType(), Type::Image);
    EXPECT_EQ(upper->imageRepresentation().typeId(), QMetaType::QImage);
    EXPECT_EQ(item("map.Svg")->imageRepresentationType(), Type::Path);
    EXPECT_EQ(photo->imageRepresentationType(), Type::Path);
    EXPECT_EQ(photo->imageRepresentation().toString(), photo->path());
}

TEST_F(MediaItemTest, PreferringThumbnailsGivesTheThumbnailPathOrTheFilePath)
{
    defaults().setBoolForKey(true, kZQMediaBrowserPrefersQL);
    const QUrl thumb = QUrl::fromLocalFile(tree.file("thumbs/a.jpg"));
    ZQImagePath withThumb(ZQURLWithThumb{QUrl::fromLocalFile(tree.file("a.svg")), thumb}, &browser);
    EXPECT_EQ(withThumb.imageRepresentationType(), Type::ThumbnailPath);
    EXPECT_EQ(withThumb.imageRepresentation().toString(), thumb.toLocalFile());
    EXPECT_EQ(item("b.svg")->imageRepresentation().toString(), tree.path("b.svg"));
}

TEST_F(MediaItemTest, SubtitleIsThePixelSizeOnlyForReadableImages)
{
    EXPECT_EQ(item("wide.png", pngOfSize(40, 30))->imageSubtitle(), "40 x 30");
    EXPECT_EQ(item("empty.png", QByteArray())->imageSubtitle(), "");
    EXPECT_EQ(item("text.jpg", "not an image")->imageSubtitle(), "");
    EXPECT_EQ(item("vast.png", pngClaiming(60000, 60000))->imageSubtitle(), "60000 x 60000");
    EXPECT_EQ(item("drawing.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='5' height='5'/>")
                  ->imageSubtitle(),
              "");

    const auto vanishing = item("gone.png", pngOfSize(8, 8));
    QFile::remove(vanishing->path());
    EXPECT_EQ(vanishing->imageSubtitle(), "");
    EXPECT_TRUE(vanishing->imageAttributes().isEmpty());
}

TEST_F(MediaItemTest, RasterThumbnailArrivesFittedOnWhiteOnlyForVisibleItems)
{
    Notifications notifications;
    const auto photo = item("photo.png", pngOfSize(600, 400));
    browser.visible = false;
    EXPECT_TRUE(photo->image().isNull());
    settle();
    EXPECT_FALSE(photo->requestInProgress());
    EXPECT_TRUE(notifications.names.isEmpty());

    browser.visible = true;
    EXPECT_TRUE(photo->image().isNull()); // never made in the call
    EXPECT_TRUE(photo->requestInProgress());
    settle();
    EXPECT_EQ(notifications.names, kFetched);
    const QImage thumbnail = photo->image();
    ASSERT_EQ(thumbnail.size(), QSize(300, 200));
    EXPECT_EQ(thumbnail.pixelColor(50, 100), QColor(Qt::blue));
    EXPECT_EQ(thumbnail.pixelColor(250, 100), QColor(Qt::white));
    EXPECT_FALSE(photo->requestInProgress());
    EXPECT_FALSE(photo->previewFailed());

    photo->remakeThumbnail(); // not an SVG item
    EXPECT_TRUE(photo->hasImage());
    EXPECT_EQ(notifications.names, kFetched);
}

TEST_F(MediaItemTest, BadImagesFailOnceWithoutDecoding)
{
    const QByteArray jpeg = encoded(QImage(64, 64, QImage::Format_RGB32), "JPEG");
    const QList<std::pair<QString, QByteArray>> files = {
        {"empty.png", {}},
        {"vast.png", pngClaiming(60000, 60000)},
        {"truncated.png", pngOfSize(200, 200).left(120)},
        {"truncated.jpg", jpeg.left(20)},
        {"corrupt.gif", "GIF89a\x10\x00\x10\x00garbage"},
        {"corrupt.tiff", "II*\x00garbage"},
    };
    for (const auto& [name, contents] : files) {
        Notifications notifications;
        const auto bad = item(name, contents);
        bad->image();
        settle();
        EXPECT_FALSE(bad->hasImage()) << name.toStdString();
        EXPECT_TRUE(bad->previewFailed()) << name.toStdString();
        bad->image(); // a failed item is not asked again
        settle();
        EXPECT_EQ(notifications.names, kFetchFailed) << name.toStdString();
    }
}

TEST_F(MediaItemTest, CancelledFetchesReportAndAreAskedAgainWhenShown)
{
    QThreadPool& queue = ZQAsynchronousImageLoader::imageLoaderQueue();
    const int threads = queue.maxThreadCount();
    queue.setMaxThreadCount(1);
    QSemaphore gate;
    queue.start([&gate] { gate.acquire(); });

    Notifications notifications;
    const auto photo = item("photo.png", pngOfSize(60, 60));
    photo->image();
    ZQAsynchronousImageLoader::cancelAllFetches();
    gate.release();
    settle();
    queue.setMaxThreadCount(threads);

    EXPECT_EQ(notifications.names, kFetchFailed);
    EXPECT_FALSE(photo->hasImage());
    EXPECT_FALSE(photo->previewFailed());
    EXPECT_FALSE(photo->requestInProgress());

    photo->image();
    settle();
    EXPECT_EQ(photo->image().size(), QSize(300, 300));
}

TEST_F(MediaItemTest, SVGItemsTakeThePreviewAndRemakeIt)
{
    Notifications notifications;
    const auto drawing = item("drawing.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="50">
<rect width="100" height="50" fill="#00ff00"/></svg>)");
    drawing->image();
    settle();
    EXPECT_EQ(notifications.names, kFetched);
    EXPECT_EQ(drawing->image().size(), QSize(300, 150));
    EXPECT_EQ(drawing->imageRepresentation().value<QImage>().size(), QSize(300, 150));

    notifications.names.clear();
    drawing->remakeThumbnail();
    EXPECT_FALSE(drawing->hasImage());
    EXPECT_EQ(notifications.names, QStringList{kZQImagePathItemImageUpdated});

    const auto binary = item("binary.svg", QByteArray(4096, '\xff'));
    binary->image();
    settle();
    EXPECT_TRUE(binary->previewFailed());
    EXPECT_FALSE(binary->hasImage());
}

TEST_F(MediaItemTest, EveryStartedFetchEndsOnceEvenWhenItsItemGoesOrThePreviewIsDeclined)
{
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"/>)";
    for (const char* name : {"photo.png", "drawing.svg"}) {
        Notifications notifications;
        auto gone = item(name, QByteArray(name).endsWith("svg") ? svg : pngOfSize(60, 60));
        gone->image();
        platform::RunLoop::runUntilIdle(); // the SVG preview has started
        gone.reset();
        settle();
        EXPECT_EQ(notifications.names.count(kZQImagePathWillStartAsynchronousFetch),
                  notifications.names.count(kQZImagePathDidCompleteAsynchronousFetch))
            << name;
    }

    // Scrolled away before the preview could start: shown again, it is asked for again.
    Notifications notifications;
    const auto drawing = item("later.svg", svg);
    drawing->image();
    browser.visible = false;
    settle();
    EXPECT_FALSE(drawing->requestInProgress());
    EXPECT_TRUE(notifications.names.isEmpty());
    browser.visible = true;
    drawing->image();
    settle();
    EXPECT_EQ(notifications.names, kFetched);
}

TEST_F(MediaItemTest, LargeJPEGIsDecodedStraightToThumbnailSize)
{
    QImage picture(2400, 1200, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString path = tree.file("big.jpg", encoded(picture, "JPEG"));
    const QImage thumbnail = ZQAsynchronousImageLoader::thumbnailOfImageAtPath(path, 300);
    EXPECT_EQ(thumbnail.size(), QSize(300, 150));
    EXPECT_GT(thumbnail.pixelColor(150, 75).red(), 240);
    EXPECT_EQ(ZQAsynchronousImageLoader::thumbnailOfImageAtPath(tree.file("thin.png", pngOfSize(1, 900)), 300).size(),
              QSize(1, 300));
}

} // namespace
