// Template items: their order, filter and reuse, the class cache, the size text and scale read
// back from packages the document writes, and thumbnails made on the pool, bad ones included.

#include "TemplateTestSupport.h"

#include "app/document/MapDocumentPackage.h"
#include "media/items/ZQAsynchronousImageLoader.h"
#include "platform/measurement/ZQUnitLength.h"
#include "windows/templates/QVNTemplateItem.h"

#include <QFile>
#include <QSignalSpy>
#include <QThreadPool>
#include <cmath>
#include <limits>

using namespace templatetest;

namespace {

QStringList names(const QList<QVNTemplateItemPtr>& items)
{
    QStringList result;
    for (const QVNTemplateItemPtr& item : items)
        result << item->name();
    return result;
}

class TemplateItemTest : public ::testing::Test {
protected:
    void TearDown() override { QVNTemplateItem::invalidateCache(); }

    QTemporaryDir folder;

    QString touch(const QString& name)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
};

} // namespace

TEST_F(TemplateItemTest, SortsPlainlyFiltersInAnyCaseAndReusesItemsByURL)
{
    const QStringList paths{touch(QStringLiteral("alpha.qvnl")), touch(QStringLiteral("Zeta.qvnl")),
                            touch(QStringLiteral("Beta Coast.vlm")), touch(QStringLiteral("beta.qvnl"))};
    // Code-unit order: capitals first, extensions never part of the name.
    EXPECT_EQ(names(QVNTemplateItem::templateItemsFromArray(paths)),
              (QStringList{QStringLiteral("Beta Coast"), QStringLiteral("Zeta"), QStringLiteral("alpha"),
                           QStringLiteral("beta")}));

    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    const auto filtered = QVNTemplateItem::templateItemsWithURLsReplacingTemplateItemsFilteredByString(urls, {},
                                                                                                   QStringLiteral("ET"));
    EXPECT_EQ(names(filtered), (QStringList{QStringLiteral("Beta Coast"), QStringLiteral("Zeta"), QStringLiteral("beta")}));
    EXPECT_EQ(QVNTemplateItem::templateItemsWithURLsReplacingTemplateItemsFilteredByString(urls, {}, QString()).size(), 4);

    // An item of the replaced list with an equal URL wins over the cached one.
    const QVNTemplateItemPtr shown = QVNTemplateItem::makeWithFile(paths[1]);
    const auto replaced =
        QVNTemplateItem::templateItemsWithURLsReplacingTemplateItemsFilteredByString(urls, {shown}, QStringLiteral("z"));
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(replaced.first(), shown);
    EXPECT_NE(QVNTemplateItem::cachedObjectForPath(paths[1]), shown);
}

TEST_F(TemplateItemTest, CacheKeepsOneItemPerPathUntilInvalidated)
{
    const QString path = touch(QStringLiteral("Harbour.qvnl"));
    const QVNTemplateItemPtr first = QVNTemplateItem::templateItemsFromArray({path}).first();
    EXPECT_EQ(QVNTemplateItem::templateItemsFromArray({path}).first(), first);
    EXPECT_EQ(QVNTemplateItem::cachedObjectForURL(QUrl::fromLocalFile(path)), first);

    QVNTemplateItem::invalidateCache();
    EXPECT_EQ(QVNTemplateItem::cachedObjectForPath(path), nullptr);
    const QVNTemplateItemPtr second = QVNTemplateItem::templateItemsFromArray({path}).first();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->url(), first->url());
}

TEST(TemplateSizeText, ReadsSizeAndUnitAndRefusesImplausibleSizes)
{
    const auto info = [](const QVariant& width, const QVariant& height, const QVariant& units) {
        return QVariantMap{{MapDocumentPackage::kInfoWidthKey, width},
                           {MapDocumentPackage::kInfoHeightKey, height},
                           {MapDocumentPackage::kInfoUnitsKey, units}};
    };
    EXPECT_EQ(QVNTemplateItem::dimensionsTextFromInfo(info(29.7, 21.0, QStringLiteral("Centimetres"))),
              QStringLiteral("29.7 x 21.0 cm"));
    EXPECT_EQ(QVNTemplateItem::dimensionsTextFromInfo(info(11, 8.5, QStringLiteral("inches"))),
              QStringLiteral("11.0 x 8.5 in"));
    // An unknown or wrong-typed unit leaves the numbers alone.
    EXPECT_EQ(QVNTemplateItem::dimensionsTextFromInfo(info(100, 50, QStringLiteral("cubits"))),
              QStringLiteral("100.0 x 50.0"));
    EXPECT_EQ(QVNTemplateItem::dimensionsTextFromInfo(info(100, 50, QVariantList{1, 2})), QStringLiteral("100.0 x 50.0"));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const QVariant& bad : {QVariant(QStringLiteral("wide")), QVariant(nan), QVariant(-10.0), QVariant(0.0),
                                QVariant(1e30), QVariant(std::numeric_limits<double>::infinity()), QVariant()}) {
        EXPECT_FALSE(QVNTemplateItem::dimensionsTextFromInfo(info(bad, 10, QStringLiteral("points"))))
            << bad.toString().toStdString();
        EXPECT_FALSE(QVNTemplateItem::dimensionsTextFromInfo(info(10, bad, QStringLiteral("points"))));
    }
}

TEST_F(TemplateItemTest, SizeTextAndScaleComeFromTheDocumentsOwnPackage)
{
    // A4 in centimetres: the info must hold centimetres, not the points the drawing keeps.
    const QString path = writeTemplate(folder.filePath(QStringLiteral("A4 Region.qvnl")), QSizeF(595.2756, 841.8898),
                                       ZQUnitLength::centimeters(), 25000);
    const QVNTemplateItemPtr item = QVNTemplateItem::makeWithFile(path);
    EXPECT_EQ(item->dimensionsAndScaleInfo(), QStringLiteral("21.0 x 29.7 cm"));
    ASSERT_TRUE(item->scale());
    EXPECT_DOUBLE_EQ(item->scale()->scale(), 25000);

    const QString inches = writeTemplate(folder.filePath(QStringLiteral("Letter.qvnl")), QSizeF(612, 792),
                                         ZQUnitLength::inches(), 10000);
    EXPECT_EQ(QVNTemplateItem::makeWithFile(inches)->dimensionsAndScaleInfo(), QStringLiteral("8.5 x 11.0 in"));
}

TEST_F(TemplateItemTest, DamagedPackagesGiveNoTextAndNoScaleAndAreAskedAgain)
{
    const QString path = writeTemplate(folder.filePath(QStringLiteral("Broken.qvnl")), QSizeF(400, 300),
                                       ZQUnitLength::points(), 5000);
    const QString infoPath = QDir(path).filePath(MapDocumentPackage::kInfoFileName);
    const QByteArray goodInfo = readFile(infoPath);
    writeFile(infoPath, QByteArray("\x00\x01garbage\xff", 11));
    writeFile(QDir(path).filePath(MapDocumentPackage::kAuxiliaryFileName), "bplist00 not an archive");

    const QVNTemplateItemPtr item = QVNTemplateItem::makeWithFile(path);
    EXPECT_EQ(item->dimensionsAndScaleInfo(), QString());
    EXPECT_EQ(item->scale(), nullptr);
    // Readable again later: the text is made then.
    writeFile(infoPath, goodInfo);
    EXPECT_EQ(item->dimensionsAndScaleInfo(), QStringLiteral("400.0 x 300.0 pt"));

    // A plain file bearing a template's extension is no package.
    const QVNTemplateItemPtr plain = QVNTemplateItem::makeWithFile(touch(QStringLiteral("Flat.qvnl")));
    EXPECT_EQ(plain->dimensionsAndScaleInfo(), QString());
    EXPECT_EQ(plain->scale(), nullptr);
}

TEST_F(TemplateItemTest, ThumbnailArrivesOnceFittedIntoTheLargestSide)
{
    const QString path = packageWithThumbnail(folder.filePath(QStringLiteral("Wide.qvnl")),
                                              jpegData(QSize(2000, 1000)));
    const QVNTemplateItemPtr item = QVNTemplateItem::makeWithFile(path);
    QSignalSpy changes(item.get(), &QVNTemplateItem::imageChanged);
    EXPECT_TRUE(item->image().isNull());
    EXPECT_TRUE(item->isFetchingImage());
    item->image(); // asking again while it is made starts nothing more
    finishThumbnails();

    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(item->isFetchingImage());
    EXPECT_EQ(item->image().size(), QSize(512, 256));
    finishThumbnails();
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(TemplateItemTest, BadThumbnailsLeaveNoImageAndAreNotFetchedAgain)
{
    const QByteArray png = [] {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return data;
    }();
    const QString packages[] = {
        packageWithThumbnail(folder.filePath(QStringLiteral("Empty.qvnl")), QByteArray()),
        packageWithThumbnail(folder.filePath(QStringLiteral("Png.qvnl")), png),
        packageWithThumbnail(folder.filePath(QStringLiteral("Cut.qvnl")), jpegData(QSize(64, 64)).left(40)),
        touch(QStringLiteral("Flat.qvnl")),
    };
    for (const QString& path : packages) {
        const QVNTemplateItemPtr item = QVNTemplateItem::makeWithFile(path);
        QSignalSpy changes(item.get(), &QVNTemplateItem::imageChanged);
        item->image();
        finishThumbnails();
        EXPECT_TRUE(item->imageFetchFailed()) << path.toStdString();
        EXPECT_TRUE(item->image().isNull());
        // A failure is remembered: repaints ask no more threads for it.
        EXPECT_FALSE(item->isFetchingImage());
        EXPECT_EQ(changes.count(), 0);
    }
}

TEST_F(TemplateItemTest, VeryWideThumbnailIsDecodedSmall)
{
    const QString path = packageWithThumbnail(folder.filePath(QStringLiteral("Strip.qvnl")),
                                              jpegData(QSize(20000, 16)));
    const QImage thumbnail = QVNTemplateItem::thumbnailOfTemplateAtPath(path);
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_EQ(thumbnail.width(), 512);
    EXPECT_LE(thumbnail.height(), 1);
}
