#include "MediaTesting.h"

#include "media/icons/IMBIconCache.h"
#include "media/icons/ImageMedia.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

using mediatest::FolderTree;

namespace {

QByteArray little16(quint16 value)
{
    QByteArray bytes(2, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray little32(quint32 value)
{
    QByteArray bytes(4, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray ifdEntry(quint16 tag, quint16 type, quint32 count, quint32 value)
{
    return little16(tag) + little16(type) + little32(count) + little32(value);
}

// A little-endian Exif block holding DateTimeOriginal at `dateOffset` (past the end to lie).
QByteArray exifBlock(const QByteArray& date, quint32 dateOffset)
{
    QByteArray tiff = "II" + little16(42) + little32(8);
    tiff += little16(1) + ifdEntry(0x8769, 4, 1, 26) + little32(0);        // IFD0 at 8, Exif IFD at 26
    tiff += little16(1) + ifdEntry(0x9003, 2, quint32(date.size()), dateOffset) + little32(0);
    tiff += date;
    return QByteArray("Exif\0\0", 6) + tiff;
}

// A real JPEG with an APP1 segment put in front of its own.
QByteArray jpegWithApp1(const QImage& image, const QByteArray& payload)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    QByteArray segment("\xFF\xE1", 2);
    QByteArray length(2, 0);
    qToBigEndian<quint16>(quint16(payload.size() + 2), length.data());
    return jpeg.left(2) + segment + length + payload + jpeg.mid(2);
}

// A BMP header alone, claiming whatever size it is given.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bmp = "BM" + little32(54 + 4) + little32(0) + little32(54);
    bmp += little32(40) + little32(quint32(width)) + little32(quint32(height)) + little16(1) + little16(24);
    bmp += little32(0) + little32(0) + little32(2835) + little32(2835) + little32(0) + little32(0);
    return bmp + QByteArray(4, 0);
}

QString write(const FolderTree& tree, const QString& name, const QByteArray& bytes)
{
    return tree.file(name, bytes);
}

TEST(ImageMedia, MetadataComesFromTheHeaderAndDescribesTheImage)
{
    FolderTree tree;
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    const QString jpeg = tree.path("photo.jpg");
    ASSERT_TRUE(photo.save(jpeg));
    const QVariantMap facts = iMedia::metadataFromImageAtPath(jpeg);
    EXPECT_EQ(iMedia::imageMetadataDescriptionForMetadata(facts), QStringLiteral("Size: 640x480\nType: 8bit RGB JPG\n"));
    EXPECT_FALSE(facts.contains("dateTime")) << "no Exif block";
    EXPECT_EQ(iMedia::imageMetadataDescriptionForMetadata({{"width", 3}, {"height", 2}, {"filetype", "PNG"}}),
              QStringLiteral("Size: 3x2\n")) << "no type facts, size alone";
    EXPECT_EQ(iMedia::imageMetadataDescriptionForMetadata({{"model", "Gray"}, {"ImageType", "TIFF"}, {"filetype", "TIF"}}),
              QStringLiteral("Type: Gray TIFF\n"));
    EXPECT_TRUE(iMedia::imageMetadataDescriptionForMetadata({}).isEmpty());

    QImage grey(5, 7, QImage::Format_Grayscale16);
    grey.fill(0);
    const QString png = tree.path("deep.png");
    ASSERT_TRUE(grey.save(png));
    const QVariantMap greyFacts = iMedia::metadataFromImageAtPath(png);
    EXPECT_EQ(greyFacts.value("width").toInt(), 5);
    EXPECT_EQ(greyFacts.value("height").toInt(), 7);
    EXPECT_EQ(greyFacts.value("filetype").toString(), QStringLiteral("PNG"));
}

TEST(ImageMedia, ExifDatesAreReadWithinTheirBlockOnly)
{
    FolderTree tree;
    QImage photo(16, 16, QImage::Format_RGB32);
    photo.fill(Qt::red);
    const QByteArray date("2024:05:01 12:34:56\0", 20);
    const QString dated = write(tree, "dated.jpg", jpegWithApp1(photo, exifBlock(date, 44)));
    EXPECT_EQ(iMedia::metadataFromImageAtPath(dated).value("dateTime").toString(), QStringLiteral("2024:05:01 12:34:56"));

    for (const quint32 liar : {quint32(45), quint32(0xFFFFFFF0), quint32(1000)}) {
        const QString path = write(tree, QStringLiteral("liar%1.jpg").arg(liar), jpegWithApp1(photo, exifBlock(date, liar)));
        const QVariantMap facts = iMedia::metadataFromImageAtPath(path);
        EXPECT_FALSE(facts.contains("dateTime")) << liar;
        EXPECT_EQ(facts.value("width").toInt(), 16) << "the other facts stay";
    }
    QByteArray truncated = exifBlock(date, 44);
    truncated.truncate(30); // the Exif directory's entry cut off
    EXPECT_FALSE(iMedia::metadataFromImageAtPath(write(tree, "cut.jpg", jpegWithApp1(photo, truncated))).contains("dateTime"));
}

TEST(ImageMedia, ImagesThatLieGiveNoFactsTheyCannotBackAndAreNeverDecoded)
{
    FolderTree tree;
    // A JPEG whose frame header claims 60000 x 50000 pixels: read, never decoded.
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::gray);
    QByteArray jpeg = jpegWithApp1(small, "padding");
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(50000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(60000, jpeg.data() + frame + 7);
    const QVariantMap huge = iMedia::metadataFromImageAtPath(write(tree, "huge.jpg", jpeg));
    EXPECT_EQ(huge.value("width").toInt(), 60000);
    EXPECT_EQ(huge.value("height").toInt(), 50000);
    // Larger than the reader takes: the size is left out.
    EXPECT_FALSE(iMedia::metadataFromImageAtPath(write(tree, "huge.bmp", bmpHeader(100000, 100000))).contains("width"));

    const QVariantMap empty = iMedia::metadataFromImageAtPath(write(tree, "empty.bmp", bmpHeader(0, 0)));
    EXPECT_FALSE(empty.contains("width"));
    EXPECT_TRUE(iMedia::metadataFromImageAtPath(write(tree, "noise.jpg", QByteArray(300, 'q'))).isEmpty());
    EXPECT_TRUE(iMedia::metadataFromImageAtPath(tree.path("missing.png")).isEmpty());
    EXPECT_TRUE(iMedia::imageWithDataMimeType("not an image", "image/png").isNull());
}

TEST(ImageMedia, CroppingCopiesTheRectangleAsItIs)
{
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixel(2, 1, qRgba(0, 0, 255, 255));
    image.setPixel(3, 3, qPremultiply(qRgba(255, 0, 0, 128)));
    const QImage cropped = iMedia::imageCroppedToRect(image, QRect(2, 1, 2, 3));
    ASSERT_EQ(cropped.size(), QSize(2, 3));
    EXPECT_EQ(cropped.pixel(0, 0), qRgba(0, 0, 255, 255));
    EXPECT_EQ(cropped.pixel(1, 2), image.pixel(3, 3)) << "translucent pixels copied, not blended";
    EXPECT_EQ(qAlpha(cropped.pixel(1, 0)), 0);
    EXPECT_EQ(iMedia::imageCroppedToRect(image, QRect(3, 3, 3, 3)).pixel(2, 2), 0u) << "outside the image: clear";
}

TEST(IconCache, IconsAreLoadedOncePerTypeAndMissesAreNotKept)
{
    IMBIconCache& cache = IMBIconCache::sharedIconCache();
    const QString own = iMedia::kApplicationBundleIdentifier;
    const QImage flagged = cache.iconForTypeFromBundleIDWithMappingTable("Flagged", own, &albumIconTypeMapping());
    ASSERT_FALSE(flagged.isNull());
    EXPECT_EQ(flagged.deviceIndependentSize(), QSizeF(16, 16));
    EXPECT_EQ(cache.iconForTypeFromBundleIDWithMappingTable("Flagged", own, &albumIconTypeMapping()).cacheKey(),
              flagged.cacheKey());

    const QImage photos = IMBIconCache::loadIconForTypeFromBundleIDWithMappingTable("Photos", own, &albumIconTypeMapping());
    const QImage unnamed = cache.iconForTypeFromBundleIDWithMappingTable("Wedding", own, &albumIconTypeMapping());
    EXPECT_EQ(unnamed.scaled(photos.size()), photos) << "the default entry's icon";
    EXPECT_EQ(cache.iconForTypeFromBundleIDWithMappingTable("Wedding", own, &albumIconTypeMapping()).cacheKey(),
              unnamed.cacheKey());

    const QImage folder = iMedia::sharedGenericFolderIcon();
    ASSERT_FALSE(folder.isNull());
    EXPECT_EQ(folder.deviceIndependentSize(), QSizeF(16, 16));
    const QImage foreign = cache.iconForTypeFromBundleIDWithMappingTable("Flagged", "org.example.other",
                                                                         &albumIconTypeMapping());
    EXPECT_EQ(foreign.cacheKey(), folder.cacheKey()) << "another bundle finds nothing: the folder icon";
    IMBIconTypeMapping broken{{{"Only", "nothing-here.pdf", "also-missing", {}, {}}}, {"Regular", "gone.pdf", {}, {}, {}}};
    EXPECT_EQ(cache.iconForTypeFromBundleIDWithMappingTable("Only", own, &broken).cacheKey(), folder.cacheKey());
    EXPECT_TRUE(IMBIconCache::loadIconForTypeFromBundleIDWithMappingTable("Only", own, &broken).isNull())
        << "a miss is looked up again";
    EXPECT_TRUE(cache.iconForTypeFromBundleIDWithMappingTable(QString(), own, &albumIconTypeMapping()).isNull());
}

} // namespace
