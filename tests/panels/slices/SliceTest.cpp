#include "SlicesTesting.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/KeyValueObserving.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Pasteboard.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>

using slicestest::SlicesFixture;

TEST(SliceTest, GeometryHitTestingAndSnappingPoints)
{
    SlicesFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    EXPECT_EQ(slice->extent(), QRectF(-6, 4, 132, 82));
    EXPECT_EQ(slice->resizeRect(), QRectF(106, 66, 4, 4));
    EXPECT_EQ(slice->size(), QStringLiteral("100 x 50 px"));
    EXPECT_EQ(slice->snappingPointsWithOffset({1, 2}),
              (QList<QPointF>{{11, 22}, {111, 22}, {61, 22}, {61, 72}, {11, 72}, {111, 72}, {111, 47}, {11, 47}}));

    EXPECT_EQ(slice->hitTest({9.5, 40}), kVXQSliceBody);   // half a point outside
    EXPECT_EQ(slice->hitTest({108, 68}), kVXQSliceResizeHandle);
    EXPECT_EQ(slice->hitTest({8.5, 40}), kVXQSliceNoPart);
    slice->setVisible(false);
    EXPECT_EQ(slice->hitTest({50, 40}), kVXQSliceNoPart);
    slice->setVisible(true);

    // The title tab, once drawn, is part of the slice too.
    QImage canvas(200, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    {
        platform::GraphicsContext::Scope scope(&painter);
        slice->drawInContextSelected(scope.context(), true);
    }
    EXPECT_GT(slice->titleRect().height(), 0);
    EXPECT_EQ(slice->titleRect().left(), 9.5);
    EXPECT_EQ(slice->hitTest(slice->titleRect().center()), kVXQSliceBody);
}

TEST(SliceTest, NamesFollowTitlesAndUnchangedBoundsPostNothing)
{
    SlicesFixture f;
    f.addSlice({0, 0, 10, 10});
    f.addSlice({0, 0, 10, 10});
    const VXQSlicePtr third = f.addSlice({0, 0, 10, 10});
    EXPECT_EQ(third->name(), QStringLiteral("Slice 3"));

    QStringList changes;
    QObject receiver;
    third->observeKeyPath(QStringLiteral("name"), platform::KeyValueObservingOptionNew, &receiver,
                          [&](const platform::KeyValueChange&) { changes.append(third->name()); });
    third->setTitle(QStringLiteral("Sheet"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("Sheet 3")});

    int posted = 0;
    platform::NotificationCenter::defaultCenter().addObserver(&receiver, kVLTMSlicesLayerSliceBoundsDidChange,
                                                              f.layer.get(),
                                                              [&](const platform::Notification&) { ++posted; });
    third->setBounds(third->bounds());
    EXPECT_EQ(posted, 0);
    third->setWidth(30);
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(third->bounds(), QRectF(0, 0, 30, 10));
}

TEST(SliceTest, ArchivesRoundTripWithTheLayerAndDecodeVisible)
{
    SlicesFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    slice->setTitle(QStringLiteral("North"));
    slice->setColour(Qt::blue);
    slice->setShowsDimensions(false);
    slice->setVisible(false);
    f.addSlice({200, 20, 50, 50});

    const QByteArray data = platform::KeyedArchiver::archivedDataWithRootObject(f.drawing.get());
    const auto drawing = std::dynamic_pointer_cast<VXDrawing>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(drawing);
    VLTMSlicesLayer* layer = VLTMSlicesLayer::slicesLayerOfDrawing(drawing.get());
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfSlices(), 2);
    const VXQSlicePtr decoded = layer->slices().first();
    EXPECT_EQ(decoded->bounds(), QRectF(10, 20, 100, 50));
    EXPECT_EQ(decoded->name(), QStringLiteral("North 1"));
    EXPECT_EQ(decoded->colour(), QColor(Qt::blue));
    EXPECT_FALSE(decoded->showsDimensions());
    EXPECT_TRUE(decoded->visible());
    EXPECT_EQ(decoded->slicesLayer(), layer);
    // A layer holding slices opens in select mode, an empty one in draw mode.
    EXPECT_EQ(layer->toolMode(), kVLTMSlicesSelectMode);
    EXPECT_EQ(std::make_shared<VLTMSlicesLayer>()->toolMode(), kVLTMSlicesDrawMode);
}

TEST(SliceTest, PasteboardCarriesPdfAndArchiveAndRefusesForeignData)
{
    SlicesFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    slice->setTitle(QStringLiteral("Harbour"));
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    slice->writeToPasteboard(pasteboard);
    EXPECT_EQ(pasteboard.types(), (QStringList{platform::kPasteboardTypePDF, kVXQSlicePasteboardType}));
    EXPECT_TRUE(pasteboard.dataForType(platform::kPasteboardTypePDF).startsWith("%PDF"));
    const QList<VXQSlicePtr> read = VXQSlice::readSlicesFromPasteboard(platform::Pasteboard(&std::as_const(data)));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.first()->title(), QStringLiteral("Harbour"));
    EXPECT_EQ(read.first()->bounds(), slice->bounds());
    EXPECT_EQ(read.first()->slicesLayer(), nullptr); // the layer is not carried

    // Another class under the slice key, damaged bytes, or another type: nothing.
    platform::KeyedArchiver other;
    other.encodeObject(f.layer.get(), QStringLiteral("slice"));
    EXPECT_FALSE(VXQSlice::sliceFromPasteboardArchive(other.finishEncoding()));
    EXPECT_FALSE(VXQSlice::sliceFromPasteboardArchive(QByteArray("bplist00garbage")));
    QMimeData foreign;
    foreign.setText(QStringLiteral("slice"));
    EXPECT_TRUE(VXQSlice::readSlicesFromPasteboard(platform::Pasteboard(&std::as_const(foreign))).isEmpty());
}

TEST(SliceTest, BitmapsTreatScaleZeroAsOneAndNeedALayer)
{
    SlicesFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    const auto pixelSize = [&](double dpi, double scale) {
        const QByteArray png = slice->imageDataInFormatOptionsDpiScaleColorspaceDrawPaperBackground(
            platform::ImageFileType::PNG, {}, dpi, scale, QStringLiteral("sRGB"), true);
        QBuffer buffer;
        buffer.setData(png);
        return QImageReader(&buffer).size();
    };
    EXPECT_EQ(pixelSize(72, 0), QSize(100, 50));
    EXPECT_EQ(pixelSize(144, 2), QSize(400, 200));
    QuorvaneError error;
    EXPECT_TRUE(slice->imageDataInFormatOptionsDpiScaleColorspaceDrawPaperBackground(
                         platform::ImageFileType::PNG, {}, 1e9, 1, QStringLiteral("sRGB"), false, &error)
                    .isEmpty());
    EXPECT_TRUE(error);

    slice->removeFromLayer();
    EXPECT_TRUE(slice->pdfData().isEmpty());
    EXPECT_FALSE(slice->extractDrawing());
    EXPECT_EQ(pixelSize(72, 1), QSize());
}
