// The drawing's paper as a tiled picture (bounded, archived, aligned to the drawing's origin on
// every output) and the swap between square and isometric graph paper.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/ArchiveTesting.h"

#include <QBuffer>
#include <QPainter>

using namespace drawingtest;

namespace {

// 4 x 4 pixels: red in the top-left pixel, blue elsewhere.
QImage markedTile()
{
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::blue);
    tile.setPixelColor(0, 0, Qt::red);
    return tile;
}

} // namespace

TEST(PaperImageTest, TilesAreBoundedArchivedAndStartAtTheDrawingsOrigin)
{
    Fixture f(QSizeF(40, 40));
    f.drawing->setPaperImage(markedTile());
    f.drawing->setPaperTextureName(QStringLiteral("Old Paper"));
    f.endStep();
    f.undo->undo();
    EXPECT_TRUE(f.drawing->paperImage().isNull());
    EXPECT_TRUE(f.drawing->paperTextureName().isEmpty());
    f.undo->redo();
    ASSERT_FALSE(f.drawing->paperImage().isNull());

    const auto copy = testsupport::roundTrip<VXDrawing>(*f.drawing);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->paperImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(copy->paperImage().size(), QSize(4, 4));
    EXPECT_EQ(copy->paperTextureName(), QStringLiteral("Old Paper"));

    // Drawn with an offset transform the tiles still repeat every 4 points from (0, 0).
    QImage screen(60, 60, QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    painter.translate(7, 5);
    f.drawing->drawPaperInRect(painter, QRectF(0, 0, 40, 40));
    painter.end();
    EXPECT_EQ(screen.pixelColor(7, 5), QColor(Qt::red));
    EXPECT_EQ(screen.pixelColor(7 + 8, 5 + 12), QColor(Qt::red));
    EXPECT_EQ(screen.pixelColor(8, 5), QColor(Qt::blue));
    EXPECT_EQ(screen.pixelColor(3, 3), QColor(Qt::black));

    // Exports show the tiles only when the paper prints.
    const QImage unprinted = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {40, 40},
                                                                       Qt::white);
    EXPECT_EQ(unprinted.pixelColor(0, 0), QColor(Qt::white));
    f.drawing->setPaperColourIsPrinted(true);
    const QImage printed = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {40, 40},
                                                                     Qt::white);
    EXPECT_EQ(printed.pixelColor(4, 8), QColor(Qt::red));
    EXPECT_EQ(printed.pixelColor(5, 8), QColor(Qt::blue));
}

TEST(PaperImageTest, VastEmptyOrBrokenPicturesNeverReplaceAValidPaper)
{
    Fixture f;
    f.drawing->setPaperImage(QImage(30000, 2, QImage::Format_RGB32));
    EXPECT_EQ(f.drawing->paperImage().width(), VXDrawing::kMaximumPaperTileSide);
    EXPECT_GE(f.drawing->paperImage().height(), 1);

    QByteArray notAnImage("this is no picture");
    QBuffer buffer(&notAnImage);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_TRUE(VXDrawing::readPaperTile(buffer).isNull());
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    QImage(3000, 700, QImage::Format_RGB32).save(&out, "PNG");
    QBuffer in(&png);
    in.open(QIODevice::ReadOnly);
    EXPECT_EQ(VXDrawing::readPaperTile(in).size(), QSize(512, 119));

    // An archive whose picture data is damaged reads as plain paper.
    f.drawing->setPaperImage(markedTile());
    QByteArray archive = platform::KeyedArchiver::archivedDataWithRootObject(f.drawing.get());
    const qsizetype header = archive.indexOf("IHDR");
    ASSERT_GT(header, 0);
    archive.replace(header + 4, 8, QByteArray(8, '\xff'));
    const auto damaged = std::dynamic_pointer_cast<VXDrawing>(platform::KeyedUnarchiver::unarchiveObjectWithData(archive));
    ASSERT_TRUE(damaged);
    EXPECT_TRUE(damaged->paperImage().isNull());
}

TEST(GridTypeTest, SwappingKeepsTheSettingsAndPlaceAndUndoesAsOneEdit)
{
    Fixture f;
    auto square = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(square);
    f.drawing->moveLayerToIndex(square.get(), 1);
    square->setSpanMultiplier(2.5);
    square->setDivisions(4);
    square->setMajorColour(Qt::darkGreen);
    square->setShouldDrawToPrinter(true);
    f.undo->removeAllActions();

    EXPECT_EQ(f.drawing->gridType(), 0);
    f.drawing->setGridType(1);
    f.endStep();
    auto* isometric = qobject_cast<VXIsometricGridLayer*>(f.drawing->gridLayer().get());
    ASSERT_TRUE(isometric);
    EXPECT_EQ(f.drawing->indexOfLayer(isometric), 1);
    EXPECT_EQ(isometric->spanMultiplier(), 2.5);
    EXPECT_EQ(isometric->divisions(), 4);
    EXPECT_EQ(isometric->majorColour(), QColor(Qt::darkGreen));
    EXPECT_TRUE(isometric->shouldDrawToPrinter());
    isometric->setShowsVerticals(false);
    const auto copy = testsupport::roundTrip<VXIsometricGridLayer>(*isometric);
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->showsVerticals());

    f.drawing->setGridType(0);
    EXPECT_EQ(f.drawing->gridType(), 0);
    EXPECT_EQ(f.drawing->gridLayer()->metaObject(), &VXGridLayer::staticMetaObject);
    f.drawing->setGridType(7); // no such type
    EXPECT_EQ(f.drawing->gridType(), 0);

    Fixture gridless;
    gridless.drawing->setGridType(1);
    EXPECT_FALSE(gridless.drawing->gridLayer());
}
