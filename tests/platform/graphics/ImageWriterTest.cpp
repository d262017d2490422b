// Image files: every writer read back by an independent reader, GIF palettes, and failures.

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/ColourQuantizer.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageLoader.h"
#include "platform/graphics/ImageWriter.h"
#include "support/FileSizeLimit.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <random>

using namespace platform;

namespace {

// A photograph stand-in: smooth gradients in every channel plus noise, so nearly every
// pixel has its own colour.
QImage photograph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto channel = [&](int v) { return std::clamp(v + noise(random), 0, 255); };
            image.setPixel(x, y, qRgb(channel(x * 255 / width), channel(y * 255 / height), channel((x + y) * 127 / width)));
        }
    }
    return image;
}

// The mean colour difference over 8 x 8 blocks: what the eye sees of a dithered image.
double blockError(const QImage& a, const QImage& b)
{
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= a.height(); by += 8) {
        for (int bx = 0; bx + 8 <= a.width(); bx += 8) {
            double sum[3] = {};
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    sum[0] += qRed(p) - qRed(q);
                    sum[1] += qGreen(p) - qGreen(q);
                    sum[2] += qBlue(p) - qBlue(q);
                }
            }
            total += (std::abs(sum[0]) + std::abs(sum[1]) + std::abs(sum[2])) / (3 * 64);
            ++blocks;
        }
    }
    return total / blocks;
}

struct GifFile {
    explicit GifFile(const QString& path)
        : gif(DGifOpenFileName(QFile::encodeName(path).constData(), &status))
    {
        if (gif)
            status = DGifSlurp(gif);
    }
    ~GifFile()
    {
        if (gif)
            DGifCloseFile(gif, nullptr);
    }
    GifFileType* gif = nullptr;
    int status = 0;
};

} // namespace

class ImageWriterTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path(const QString& name) const { return folder.filePath(name); }
};

TEST_F(ImageWriterTest, EveryBitmapFormatIsReadBackAtItsSize)
{
    QImage image(321, 123, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 40));
    for (const char* extension : {"png", "jpg", "tif", "bmp", "gif"}) {
        const QString file = path(QStringLiteral("map.") + extension);
        const auto type = ImageWriter::fileTypeForExtension(extension);
        ASSERT_TRUE(type) << extension;
        const QuorvaneError error = ImageWriter::writeImageToFile(image, file, *type);
        ASSERT_FALSE(error) << extension << qPrintable(error.localizedDescription());
        const QImage back = QImageReader(file).read();
        EXPECT_EQ(back.size(), QSize(321, 123)) << extension;
        EXPECT_NEAR(qRed(back.pixel(100, 60)), 200, 4) << extension;
        EXPECT_NEAR(qGreen(back.pixel(100, 60)), 40, 4) << extension;
        EXPECT_EQ(ImageLoader::imageWithContentsOfFile(file).size(), QSize(321, 123)) << extension;
    }
    EXPECT_FALSE(ImageWriter::fileTypeForExtension("xcf"));
    const QByteArray thumbnail = ImageWriter::JPEGRepresentationWithSizeCompression(image, {16, 8}, 0.5);
    EXPECT_EQ(ImageLoader::imageWithData(thumbnail).size(), QSize(16, 8));

    // The largest picture shapes show, 8192 x 8192, was past Qt's own limit.
    QByteArray large;
    {
        QImage deep(8192, 8192, QImage::Format_ARGB32);
        deep.fill(QColor(10, 200, 30));
        QBuffer buffer(&large);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(deep.save(&buffer, "PNG"));
    }
    QuorvaneError error;
    const QImage read = ImageLoader::imageWithData(large, &error);
    EXPECT_EQ(read.size(), QSize(8192, 8192)) << qPrintable(error.localizedDescription());
    EXPECT_EQ(read.pixelColor(8000, 8000).green(), 200);
}

TEST_F(ImageWriterTest, GifOfAPhotographStaysRecognisableAndDecodesWithGiflib)
{
    const QImage photo = photograph(256, 192);
    const QString file = path("photo.gif");
    ASSERT_FALSE(ImageWriter::writeImageToFile(photo, file, ImageFileType::GIF));

    GifFile gif(file);
    ASSERT_TRUE(gif.gif);
    ASSERT_EQ(gif.status, GIF_OK);
    EXPECT_EQ((QList<int>{gif.gif->SWidth, gif.gif->SHeight, gif.gif->ImageCount, gif.gif->SColorMap->ColorCount}),
              (QList<int>{256, 192, 1, 256}));

    const QImage back = ImageLoader::imageWithContentsOfFile(file).convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(blockError(photo, back), 4.0);
    // Without dithering every pixel is near its original.
    ImageWriteOptions plain;
    plain.ditherGif = false;
    QuorvaneError error;
    const QImage undithered =
        ImageLoader::imageWithData(ImageWriter::representationUsingTypeProperties(photo, ImageFileType::GIF, plain, &error))
            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(error);
    std::mt19937 random(5);
    for (int i = 0; i < 200; ++i) {
        const int x = int(random() % 256), y = int(random() % 192);
        const QRgb p = photo.pixel(x, y), q = undithered.pixel(x, y);
        EXPECT_LT(std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)), 60)
            << x << "," << y;
    }
}

TEST_F(ImageWriterTest, GifKeepsFewColoursExactlyAndTransparencyAsOneEntry)
{
    QImage image(60, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 30, 40, QColor(0xAA, 0xD0, 0xE5));
    painter.fillRect(30, 0, 20, 40, QColor(0x33, 0x33, 0x33));
    painter.end();

    const ColourQuantizer::Result quantized = ColourQuantizer::quantize(image, 256, true);
    EXPECT_EQ(quantized.image.colorCount(), 3);
    EXPECT_EQ(quantized.transparentIndex, 2);

    const QString file = path("flat.gif");
    ASSERT_FALSE(ImageWriter::writeImageToFile(image, file, ImageFileType::GIF));
    GifFile gif(file);
    ASSERT_EQ(gif.status, GIF_OK);
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.gif, 0, &control), GIF_OK);
    EXPECT_EQ(control.TransparentColor, 2);
    const QImage back = ImageLoader::imageWithContentsOfFile(file);
    EXPECT_EQ((QList<QRgb>{back.pixel(10, 10), back.pixel(40, 10), QRgb(qAlpha(back.pixel(55, 10)))}),
              (QList<QRgb>{qRgb(0xAA, 0xD0, 0xE5), qRgb(0x33, 0x33, 0x33), 0}));

    // Palettes never exceed the limit, and two colours stay exact.
    EXPECT_LE(ColourQuantizer::quantize(photograph(64, 64), 16, false).image.colorCount(), 16);
    QImage twoColours(8, 1, QImage::Format_RGB32);
    twoColours.fill(Qt::white);
    twoColours.setPixel(3, 0, qRgb(1, 2, 3));
    const QImage indexed = ColourQuantizer::quantize(twoColours, 2, true).image;
    EXPECT_EQ(indexed.pixel(3, 0), qRgb(1, 2, 3));
    EXPECT_EQ(indexed.pixel(4, 0), qRgb(255, 255, 255));
}

TEST_F(ImageWriterTest, VectorPdfHasThePageSizeInPoints)
{
    const QString file = path("page.pdf");
    bool hadContext = false;
    const QuorvaneError error = ImageWriter::writePDFToFile(file, {595, 842}, [&](QPainter& painter) {
        hadContext = GraphicsContext::current() && GraphicsContext::current()->painter() == &painter;
        BezierPath::bezierPathWithOvalInRect({100, 100, 200, 100}).fill();
    });
    ASSERT_FALSE(error) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(hadContext);
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    QProcess info;
    info.start(pdfinfo, {file});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString output = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QRegularExpression("Page size:\\s+595 x 842 pts"))) << qPrintable(output);
    EXPECT_TRUE(output.contains(QRegularExpression("Pages:\\s+1\\b"))) << qPrintable(output);

    const QByteArray imagePdf = ImageWriter::representationUsingTypeProperties(QImage(30, 20, QImage::Format_RGB32),
                                                                               ImageFileType::PDF);
    EXPECT_TRUE(imagePdf.startsWith("%PDF-"));
}

TEST_F(ImageWriterTest, FailuresAnswerErrorsAndKeepTheOldFile)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QuorvaneError error = ImageWriter::writeImageToFile(image, path("no/such/folder/x.png"), ImageFileType::PNG);
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_EQ(error.domain(), "Quorvane Error");
    // A "folder" that is a file cannot be written into, not even by root.
    ASSERT_FALSE(ImageWriter::writeDataToFile("plain", path("file")));
    EXPECT_EQ(ImageWriter::writeImageToFile(image, path("file/x.png"), ImageFileType::PNG).code(), kQuorvaneDocumentError);

    EXPECT_EQ(ImageWriter::writeImageToFile(QImage(), path("empty.png"), ImageFileType::PNG).code(),
              kQuorvaneNoDrawingDataError);
    EXPECT_EQ(ImageWriter::writeImageToFile(QImage(), path("empty.gif"), ImageFileType::GIF).code(),
              kQuorvaneNoDrawingDataError);
    EXPECT_EQ(ImageWriter::writePDFToFile(path("empty.pdf"), {0, 10}, [](QPainter&) {}).code(),
              kQuorvaneNoDrawingDataError);
    EXPECT_FALSE(QFile::exists(path("empty.png")));

    // A full disk, simulated by a file-size limit: the write fails and the old file survives.
    const QString existing = path("kept.bmp");
    ASSERT_FALSE(ImageWriter::writeDataToFile("old contents", existing));
    QImage large(200, 200, QImage::Format_RGB32);
    large.fill(Qt::blue);
    {
        const testsupport::FileSizeLimit limit(1024);
        error = ImageWriter::writeImageToFile(large, existing, ImageFileType::BMP);
    }
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old contents");

    // Loading bad data or a missing file answers an error.
    error = {};
    EXPECT_TRUE(ImageLoader::imageWithData("not an image at all", &error).isNull());
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_TRUE(ImageLoader::imageWithContentsOfFile(path("missing.png"), &error).isNull());
    EXPECT_TRUE(error.localizedDescription().contains("missing.png"));
}

