#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"

#include <QBuffer>
#include <QLocale>
#include <QtMath>

using componenttest::ChecksummedRenderable;
using componenttest::isWhite;
using componenttest::paintedBounds;
using componenttest::paintedRunsInColumn;
using componenttest::solidImage;
using styletest::colourNear;
using styletest::PathRenderable;
using styletest::render;

namespace {

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QColor kWhite(Qt::white);
const QRectF kSquare(20, 20, 60, 60);

std::shared_ptr<VXHatching> hatching(double spacing, double angle)
{
    auto hatch = std::make_shared<VXHatching>();
    hatch->setColour(kRed);
    hatch->setWidth(2);
    hatch->setSpacing(spacing);
    hatch->setAngleInDegrees(angle);
    return hatch;
}

} // namespace

TEST(ComponentRender, HatchLinesLieAtTheirSpacingAndAngleInsideThePath)
{
    const auto hatch = hatching(10, 0);
    QImage image = render(*hatch, PathRenderable::rectangle(kSquare));
    // Horizontal lines on multiples of 10 from the drawing origin, 2 wide.
    for (int y : {30, 40, 50, 60, 70}) {
        EXPECT_TRUE(colourNear(image.pixelColor(50, y), kRed, 0)) << y;
        EXPECT_TRUE(isWhite(image, 50, y + 4)) << y;
        EXPECT_TRUE(isWhite(image, 10, y)) << "outside the path at " << y;
    }
    EXPECT_EQ(paintedRunsInColumn(image, 50), 7); // 20 ... 80, the outer two cut in half

    hatch->setLeadInProportion(0.5);
    image = render(*hatch, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(image.pixelColor(50, 45), kRed, 0));
    EXPECT_TRUE(isWhite(image, 50, 50));

    // At 45 degrees the lines are spacing apart across: y - x = k * spacing * sqrt(2).
    hatch->setLeadInProportion(0);
    hatch->setSpacing(10 * M_SQRT2);
    hatch->setAngleInDegrees(45);
    image = render(*hatch, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kRed, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(40, 60), kRed, 0));
    EXPECT_TRUE(isWhite(image, 45, 55));
}

TEST(ComponentRender, RelativeHatchTurnsWithTheObjectAboutItsLocation)
{
    const auto hatch = hatching(10, 0);
    hatch->setAngleIsRelativeToObject(true);
    const QImage image = render(*hatch, PathRenderable::rectangle(kSquare, M_PI / 2));
    EXPECT_TRUE(colourNear(image.pixelColor(50, 40), kRed, 0)); // vertical, through the centre
    EXPECT_TRUE(colourNear(image.pixelColor(60, 40), kRed, 0));
    EXPECT_TRUE(isWhite(image, 55, 40));
}

TEST(ComponentRender, RoughAndWobblyHatchesRepeatForAnObjectAndChangeWithItsGeometry)
{
    const auto hatch = hatching(10, 30);
    hatch->setRoughness(0.8);
    hatch->setWobblyness(0.6);
    const ChecksummedRenderable object(PathRenderable::rectangle(kSquare), 7);
    const QImage first = render(*hatch, object);
    EXPECT_EQ(render(*hatch, object), first);
    EXPECT_NE(render(*hatch, ChecksummedRenderable(PathRenderable::rectangle(kSquare), 8)), first);
    EXPECT_NE(render(*hatching(10, 30), object), first);
}

TEST(ComponentRender, ArrowHeadsSitAtTheEndsTheyAreAskedFor)
{
    const PathRenderable line = PathRenderable::line(QPointF(20, 50), QPointF(80, 50));
    const auto arrow = std::make_shared<VXArrowStroke>(); // a 12 x 8 head at the end
    arrow->setWidth(2);
    arrow->setColour(kRed);
    QImage image = render(*arrow, line);
    EXPECT_TRUE(colourNear(image.pixelColor(70, 51), kRed, 0)); // beside the line, inside the head
    EXPECT_TRUE(isWhite(image, 71, 55));
    EXPECT_TRUE(isWhite(image, 82, 50)); // the line stops under the head, not beyond the tip
    EXPECT_TRUE(isWhite(image, 29, 51)); // no head at the start

    arrow->setArrowHeadAtStart(VXArrowStroke::kArrowHeadStandard);
    arrow->setArrowHeadAtEnd(VXArrowStroke::kArrowHeadNone);
    image = render(*arrow, line);
    EXPECT_TRUE(colourNear(image.pixelColor(29, 51), kRed, 0));
    EXPECT_TRUE(isWhite(image, 70, 51));
    EXPECT_TRUE(colourNear(image.pixelColor(79, 50), kRed, 0)); // the line runs to its plain end

    // An outline rings the head and the line.
    arrow->setOutlineColour(kBlue);
    arrow->setOutlineWidth(2);
    image = render(*arrow, line);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 52), kBlue, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kRed, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(32, 47), kBlue, 0)); // just behind the head's back
}

TEST(ComponentRender, ArrowTrimsAndDimensionText)
{
    VXArrowStroke arrow;
    arrow.setArrowHeadLength(10);
    EXPECT_DOUBLE_EQ(arrow.trimLengthForKind(VXArrowStroke::kArrowHeadNone), 0);
    EXPECT_DOUBLE_EQ(arrow.trimLengthForKind(VXArrowStroke::kArrowHeadStandard), 10);
    EXPECT_DOUBLE_EQ(arrow.trimLengthForKind(VXArrowStroke::kArrowHeadInflected), 7);
    EXPECT_DOUBLE_EQ(arrow.trimLengthForKind(VXArrowStroke::kArrowHeadRound), 5);
    EXPECT_DOUBLE_EQ(arrow.trimLengthForKind(VXArrowStroke::kArrowHeadBar), 0);

    EXPECT_EQ(arrow.dimensionTextForLength(72), QLocale().toString(72.0, 'f', 2));
    VXArrowStroke::setDimensionUnits(72 / 25.4, "mm");
    arrow.setDimensionTextKind(VXArrowStroke::kDimensionTextLengthAndUnits);
    arrow.setDimensionToleranceOption(1);
    EXPECT_EQ(arrow.dimensionTextForLength(72),
              QLocale().toString(25.4, 'f', 2) + QString::fromUtf8(" \u00B1 ") + QLocale().toString(0.5, 'f', 2)
                  + " mm");
    VXArrowStroke::setDimensionUnits(0, "nothing"); // refused
    EXPECT_TRUE(arrow.dimensionTextForLength(72).endsWith(" mm"));
    VXArrowStroke::setDimensionUnits(1, "pt");
}

TEST(ComponentRender, DimensionTextGoesAboveBelowOrIntoTheLine)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(190, 50));
    VXArrowStroke arrow;
    arrow.setArrowHeadAtEnd(VXArrowStroke::kArrowHeadBar);
    const auto paintedRows = [&](int options) {
        arrow.setDimensioningLineOptions(options);
        return paintedBounds(render(arrow, line, QSize(200, 100)).copy(60, 0, 80, 100)).translated(60, 0);
    };
    EXPECT_EQ(paintedRows(VXArrowStroke::kDimensionNone), QRect(60, 49, 80, 2));
    const QRect above = paintedRows(VXArrowStroke::kDimensionTextAboveLine);
    EXPECT_LT(above.top(), 45);
    EXPECT_EQ(above.bottom(), 50);
    const QRect below = paintedRows(VXArrowStroke::kDimensionTextBelowLine);
    EXPECT_EQ(below.top(), 49);
    EXPECT_GT(below.bottom(), 55);
    // In the line, the line breaks for the text: the middle of the line left of the text is bare.
    arrow.setDimensioningLineOptions(VXArrowStroke::kDimensionTextInLine);
    const QImage inLine = render(arrow, line, QSize(200, 100));
    const QRect text = paintedBounds(inLine.copy(60, 0, 80, 100));
    EXPECT_LT(text.top(), 47);
    EXPECT_GT(text.bottom(), 50);
    int bare = 0;
    for (int x = 60; x < 140; ++x)
        bare += isWhite(inLine, x, 50) && isWhite(inLine, x, 49);
    EXPECT_GT(bare, 6);
}

TEST(ComponentRender, ZigZagSwingsByItsAmplitude)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(90, 50));
    const auto zigZag = std::make_shared<VXZigZagStroke>();
    zigZag->setWidth(2);
    zigZag->setLineJoinStyle(int(platform::LineJoinStyle::Round));
    zigZag->setAmplitude(10);
    zigZag->setWavelength(20);
    QImage image = render(*zigZag, line);
    const QRect painted = paintedBounds(image);
    EXPECT_GE(painted.top(), 50 - 10 - 2);
    EXPECT_LE(painted.top(), 50 - 10);
    EXPECT_LE(painted.bottom(), 50 + 10 + 2);
    EXPECT_GE(painted.bottom(), 50 + 10 - 1);
    // Peaks every half wave, first to the right of travel (down): 15 down, 25 up, 35 down.
    EXPECT_FALSE(isWhite(image, 15, 60));
    EXPECT_FALSE(isWhite(image, 25, 40));
    EXPECT_TRUE(isWhite(image, 25, 60));
    EXPECT_TRUE(isWhite(image, 12, 60)); // a sharp peak

    zigZag->setSpread(1); // square: every peak held flat for its whole half wave
    image = render(*zigZag, line);
    EXPECT_FALSE(isWhite(image, 12, 60));
    EXPECT_FALSE(isWhite(image, 18, 60));
    EXPECT_FALSE(isWhite(image, 22, 40));

    zigZag->setAmplitude(0); // a plain stroke
    EXPECT_EQ(render(*zigZag, line), render(*VXStroke::strokeWithWidthColour(2, Qt::black), line));
    EXPECT_DOUBLE_EQ(VXZigZagStroke().extraSpaceNeeded().width(), 1 + 2); // miter reach of width 1, amplitude 2
}

TEST(ComponentRender, ClosedZigZagFitsWholeWavesAroundTheOutline)
{
    platform::ZigZagShape shape;
    shape.amplitude = 3;
    shape.wavelength = 7; // 240 around the square: 68.6 half waves become 68
    shape.closed = true;
    const platform::BezierPath outline = PathRenderable::rectangle(kSquare).renderingPath();
    const platform::BezierPath zigZag = shape.pathAlong(outline);
    EXPECT_TRUE(zigZag.isClosed());
    int peaks = 0; // points off the outline
    for (int i = 0; i < zigZag.elementCount(); ++i) {
        QPointF p[3];
        zigZag.elementAtIndexAssociatedPoints(i, p);
        peaks += std::min({std::abs(p[0].x() - 20), std::abs(p[0].x() - 80), std::abs(p[0].y() - 20),
                           std::abs(p[0].y() - 80)})
            > 1;
    }
    EXPECT_EQ(peaks, 68);

    const auto fill = std::make_shared<VXZigZagFill>();
    fill->setColour(kRed);
    fill->setAmplitude(4);
    const QImage image = render(*fill, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kRed, 0));
    int outside = 0;
    int bitten = 0;
    for (int y = 25; y < 75; ++y) {
        outside += !isWhite(image, 18, y);
        bitten += isWhite(image, 21, y);
    }
    EXPECT_GT(outside, 5); // teeth reach out of the square
    EXPECT_GT(bitten, 5);  // and bite into it
}

TEST(ComponentRender, RoughStrokeIsRaggedButRepeatable)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(90, 50));
    const auto rough = std::make_shared<VXRoughStroke>();
    rough->setWidth(6);
    rough->setRoughness(0);
    EXPECT_EQ(render(*rough, line), render(*VXStroke::strokeWithWidthColour(6, Qt::black), line));

    rough->setRoughness(0.3);
    const ChecksummedRenderable object(line, 3);
    const QImage image = render(*rough, object);
    EXPECT_NE(image, render(*VXStroke::strokeWithWidthColour(6, Qt::black), line));
    EXPECT_EQ(render(*rough, object), image);
    EXPECT_NE(render(*rough, ChecksummedRenderable(line, 4)), image);
    // Ragged within the reach it announces: half the width plus roughness times the width.
    const QRect painted = paintedBounds(image);
    EXPECT_GE(painted.top(), 45);
    EXPECT_LE(painted.bottom(), 54);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), Qt::black, 0));
}

TEST(ComponentRender, ImageAdornmentFitsScalesAndClips)
{
    const auto adornment = std::make_shared<VXImageAdornment>();
    adornment->setImage(solidImage(QSize(20, 10), kRed));
    const PathRenderable square = PathRenderable::rectangle(kSquare);
    QImage image = render(*adornment, square); // proportionally: 60 x 30 about the centre
    EXPECT_TRUE(colourNear(image.pixelColor(50, 36), kRed, 0));
    EXPECT_TRUE(isWhite(image, 50, 33));
    EXPECT_TRUE(colourNear(image.pixelColor(21, 50), kRed, 0));

    adornment->setFittingOption(VXImageAdornment::kFitToObject);
    image = render(*adornment, square);
    EXPECT_TRUE(colourNear(image.pixelColor(21, 21), kRed, 0));

    adornment->setFittingOption(VXImageAdornment::kScaleBy);
    adornment->setScale(2); // 40 x 20
    adornment->setAngleInDegrees(90); // 20 x 40
    image = render(*adornment, square);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 31), kRed, 0));
    EXPECT_TRUE(isWhite(image, 50, 28));
    EXPECT_TRUE(isWhite(image, 38, 50));

    adornment->setScale(10); // far beyond the square, clipped to it
    image = render(*adornment, square);
    EXPECT_TRUE(colourNear(image.pixelColor(21, 21), kRed, 0));
    EXPECT_TRUE(isWhite(image, 10, 10));
    adornment->setClipping(kVXClipOutsidePath);
    adornment->setOpacity(0.5);
    image = render(*adornment, square);
    EXPECT_TRUE(isWhite(image, 50, 50));
    EXPECT_TRUE(colourNear(image.pixelColor(10, 10), QColor(255, 127, 127), 2));
}

TEST(ComponentRender, DecoratorPlacesMotifsAlongThePath)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(90, 50));
    const auto decorator = std::make_shared<VXPathDecorator>();
    decorator->setImage(solidImage(QSize(4, 4), kBlue));
    QImage image = render(*decorator, line);
    for (int x : {20, 40, 60, 80}) // every 20 units, from half an interval in
        EXPECT_TRUE(colourNear(image.pixelColor(x, 50), kBlue, 0)) << x;
    EXPECT_TRUE(isWhite(image, 30, 50));

    decorator->setLateralOffset(10);
    decorator->setLateralOffsetAlternates(true);
    const QList<VXPathDecorator::Placement> placements = decorator->motifPlacementsForObject(line);
    ASSERT_EQ(placements.size(), 4);
    EXPECT_EQ(placements[0].centre, QPointF(20, 60)); // right of travel is down the screen
    EXPECT_EQ(placements[1].centre, QPointF(40, 40));
    image = render(*decorator, line);
    EXPECT_TRUE(colourNear(image.pixelColor(20, 60), kBlue, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(40, 40), kBlue, 0));
    EXPECT_TRUE(isWhite(image, 20, 50));
}

TEST(ComponentRender, DecoratorChainsTapersAndTurnsMotifs)
{
    const PathRenderable down = PathRenderable::line(QPointF(50, 0), QPointF(50, 80));
    VXPathDecorator decorator;
    decorator.setImage(solidImage(QSize(8, 2), kBlue));
    decorator.setUsesChainMethod(true);
    QList<VXPathDecorator::Placement> placements = decorator.motifPlacementsForObject(down);
    ASSERT_EQ(placements.size(), 10); // 8 long, end to end
    EXPECT_EQ(placements[0].centre, QPointF(50, 4));
    EXPECT_EQ(placements[9].centre, QPointF(50, 76));
    EXPECT_DOUBLE_EQ(placements[0].angle, M_PI / 2);

    decorator.setUsesChainMethod(false);
    decorator.setNormalToPath(false);
    decorator.setLeadInAndOutLengthProportion(0.25); // 20 each end
    placements = decorator.motifPlacementsForObject(down);
    ASSERT_EQ(placements.size(), 4);
    EXPECT_DOUBLE_EQ(placements[0].angle, 0);
    EXPECT_DOUBLE_EQ(placements[0].scale, 0.5); // at 10 of a 20 lead-in
    EXPECT_DOUBLE_EQ(placements[1].scale, 1);
    EXPECT_DOUBLE_EQ(placements[3].scale, 0.5);
}

TEST(ComponentRender, FillPatternGridsAlternatesAndLeavesOutCutMotifs)
{
    const PathRenderable square = PathRenderable::rectangle(kSquare);
    const auto pattern = std::make_shared<VXFillPattern>();
    pattern->setImage(solidImage(QSize(4, 4), kBlue));
    pattern->setInterval(10);
    EXPECT_EQ(pattern->motifPlacementsForObject(square).size(), 7 * 7); // 20 ... 80 both ways
    QImage image = render(*pattern, square);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kBlue, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(21, 21), kBlue, 0)); // a cut motif at the corner
    EXPECT_TRUE(isWhite(image, 19, 19));
    EXPECT_TRUE(isWhite(image, 55, 55));

    pattern->setDrawingOfClippedElementsSupressed(true);
    EXPECT_EQ(pattern->motifPlacementsForObject(square).size(), 5 * 5);
    EXPECT_TRUE(isWhite(render(*pattern, square), 21, 21));

    pattern->setPatternAlternateYOffset(0.5); // odd columns half a row down
    image = render(*pattern, square);
    EXPECT_TRUE(colourNear(image.pixelColor(30, 55), kBlue, 0));
    EXPECT_TRUE(isWhite(image, 30, 50));
    EXPECT_TRUE(colourNear(image.pixelColor(40, 50), kBlue, 0));

    pattern->setAutoTile(true);
    pattern->setScale(2);
    EXPECT_EQ(pattern->cellSize(), QSizeF(8, 8));
}

TEST(ComponentRender, TilingFillRepeatsItsImageFromTheOrigin)
{
    QImage checker(2, 2, QImage::Format_ARGB32_Premultiplied);
    checker.fill(kWhite);
    checker.setPixelColor(0, 0, kRed);
    checker.setPixelColor(1, 1, kRed);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    checker.save(&buffer, "PNG");

    VXTilingFill fill;
    EXPECT_FALSE(fill.setImageData("not an image"));
    EXPECT_FALSE(fill.setImageData({}));
    EXPECT_TRUE(fill.image().isNull());
    ASSERT_TRUE(fill.setImageData(png));
    const QImage image = render(fill, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(colourNear(image.pixelColor(20, 20), kRed, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(41, 41), kRed, 0));
    EXPECT_TRUE(isWhite(image, 21, 20));
    EXPECT_TRUE(isWhite(image, 18, 18)); // outside the path
}
