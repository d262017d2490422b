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
#include <QScopeGuard>
#include <QtMath>

using componenttest::isWhite;
using componenttest::paintedBounds;
using componenttest::paintedRunsInColumn;
using componenttest::solidImage;
using styletest::coloursAt;
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
    // Horizontal lines on multiples of 10 from the drawing origin, 2 wide, none outside the path.
    EXPECT_TRUE(coloursAt(image, {{50, 30}, {50, 40}, {50, 50}, {50, 60}, {50, 70}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{50, 34}, {50, 44}, {50, 54}, {50, 64}, {50, 74}, {10, 30}, {10, 50}}, kWhite));
    EXPECT_EQ(paintedRunsInColumn(image, 50), 7); // 20 ... 80, the outer two cut in half

    hatch->setLeadInProportion(0.5);
    image = render(*hatch, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 45}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kWhite));

    // At 45 degrees the lines are spacing apart across: y - x = k * spacing * sqrt(2).
    hatch->setLeadInProportion(0);
    hatch->setSpacing(10 * M_SQRT2);
    hatch->setAngleInDegrees(45);
    image = render(*hatch, PathRenderable::rectangle(kSquare));
    EXPECT_TRUE(coloursAt(image, {{50, 50}, {40, 60}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{45, 55}}, kWhite));

    // A relative angle turns with the object about its location: vertical, through the centre.
    const auto relative = hatching(10, 0);
    relative->setAngleIsRelativeToObject(true);
    image = render(*relative, PathRenderable::rectangle(kSquare, M_PI / 2));
    EXPECT_TRUE(coloursAt(image, {{50, 40}, {60, 40}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{55, 40}}, kWhite));
}

TEST(ComponentRender, RoughStrokesAndHatchesRepeatForAnObjectAndChangeWithItsGeometry)
{
    const auto hatch = hatching(10, 30);
    hatch->setRoughness(0.8);
    hatch->setWobblyness(0.6);
    const PathRenderable square = PathRenderable::rectangle(kSquare).withChecksum(7);
    const QImage hatched = render(*hatch, square);
    EXPECT_EQ(render(*hatch, square), hatched);
    EXPECT_NE(render(*hatch, square.withChecksum(8)), hatched);
    EXPECT_NE(render(*hatching(10, 30), square), hatched);

    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(90, 50));
    const QImage plain = render(*VXStroke::strokeWithWidthColour(6, Qt::black), line);
    const auto rough = std::make_shared<VXRoughStroke>();
    rough->setWidth(6);
    rough->setRoughness(0);
    EXPECT_EQ(render(*rough, line), plain);
    rough->setRoughness(0.3);
    const QImage ragged = render(*rough, line.withChecksum(3));
    EXPECT_NE(ragged, plain);
    EXPECT_EQ(render(*rough, line.withChecksum(3)), ragged);
    EXPECT_NE(render(*rough, line.withChecksum(4)), ragged);
    // Ragged within the reach it announces: half the width plus roughness times the width.
    const QRect painted = paintedBounds(ragged);
    EXPECT_GE(painted.top(), 45);
    EXPECT_LE(painted.bottom(), 54);
    EXPECT_TRUE(coloursAt(ragged, {{50, 50}}, Qt::black));
}

TEST(ComponentRender, ArrowHeadsSitAtTheEndsTheyAreAskedFor)
{
    const PathRenderable line = PathRenderable::line(QPointF(20, 50), QPointF(80, 50));
    const auto arrow = std::make_shared<VXArrowStroke>(); // a 12 x 8 head at the end
    arrow->setWidth(2);
    arrow->setColour(kRed);
    QImage image = render(*arrow, line);
    EXPECT_TRUE(coloursAt(image, {{70, 51}}, kRed)); // beside the line, inside the head
    // Beside the head; beyond the tip (the line stops under the head); no head at the start.
    EXPECT_TRUE(coloursAt(image, {{71, 55}, {82, 50}, {29, 51}}, kWhite));

    arrow->setArrowHeadAtStart(VXArrowStroke::kArrowHeadStandard);
    arrow->setArrowHeadAtEnd(VXArrowStroke::kArrowHeadNone);
    image = render(*arrow, line);
    EXPECT_TRUE(coloursAt(image, {{29, 51}, {79, 50}}, kRed)); // the line runs to its plain end
    EXPECT_TRUE(coloursAt(image, {{70, 51}}, kWhite));

    // An outline rings the head and the line, just behind the head's back too.
    arrow->setOutlineColour(kBlue);
    arrow->setOutlineWidth(2);
    image = render(*arrow, line);
    EXPECT_TRUE(coloursAt(image, {{50, 52}, {32, 47}}, kBlue));
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kRed));
}

TEST(ComponentRender, DimensionTextShowsTheLengthInTheChosenUnits)
{
    VXArrowStroke arrow;
    EXPECT_EQ(arrow.dimensionTextForLength(72), QLocale().toString(72.0, 'f', 2));
    const auto restoreUnits = qScopeGuard([] { VXArrowStroke::setDimensionUnits(1, "pt"); });
    VXArrowStroke::setDimensionUnits(72 / 25.4, "mm");
    arrow.setDimensionTextKind(VXArrowStroke::kDimensionTextLengthAndUnits);
    arrow.setDimensionToleranceOption(1);
    EXPECT_EQ(arrow.dimensionTextForLength(72),
              QLocale().toString(25.4, 'f', 2) + QString::fromUtf8(" \u00B1 ") + QLocale().toString(0.5, 'f', 2)
                  + " mm");
    VXArrowStroke::setDimensionUnits(0, "nothing"); // refused
    EXPECT_TRUE(arrow.dimensionTextForLength(72).endsWith(" mm"));
}

TEST(ComponentRender, DimensionTextGoesAboveBelowOrIntoTheLine)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(190, 50));
    VXArrowStroke arrow;
    arrow.setArrowHeadAtEnd(VXArrowStroke::kArrowHeadBar);
    // What is drawn over the middle of the line, where the text goes.
    const auto middle = [&](int options) {
        arrow.setDimensioningLineOptions(options);
        return render(arrow, line, QSize(200, 100)).copy(60, 0, 80, 100);
    };
    EXPECT_EQ(paintedBounds(middle(VXArrowStroke::kDimensionNone)), QRect(0, 49, 80, 2));
    const QRect above = paintedBounds(middle(VXArrowStroke::kDimensionTextAboveLine));
    EXPECT_LT(above.top(), 45);
    EXPECT_EQ(above.bottom(), 50);
    const QRect below = paintedBounds(middle(VXArrowStroke::kDimensionTextBelowLine));
    EXPECT_EQ(below.top(), 49);
    EXPECT_GT(below.bottom(), 55);
    // In the line, the line breaks for the text: the middle of the line left of the text is bare.
    const QImage inLine = middle(VXArrowStroke::kDimensionTextInLine);
    const QRect text = paintedBounds(inLine);
    EXPECT_LT(text.top(), 47);
    EXPECT_GT(text.bottom(), 50);
    int bare = 0;
    for (int x = 0; x < 80; ++x)
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
    // Peaks every half wave, first to the right of travel (down): 15 down, 25 up; sharp peaks.
    EXPECT_FALSE(isWhite(image, 15, 60));
    EXPECT_FALSE(isWhite(image, 25, 40));
    EXPECT_TRUE(coloursAt(image, {{25, 60}, {12, 60}}, kWhite));

    zigZag->setSpread(1); // square: every peak held flat for its whole half wave
    image = render(*zigZag, line);
    for (const QPoint flat : {QPoint(12, 60), QPoint(18, 60), QPoint(22, 40)})
        EXPECT_FALSE(isWhite(image, flat.x(), flat.y())) << flat.x();

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
    const platform::BezierPath zigZag = shape.pathAlong(PathRenderable::rectangle(kSquare).renderingPath());
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
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kRed));
    int outside = 0;
    int bitten = 0;
    for (int y = 25; y < 75; ++y) {
        outside += !isWhite(image, 18, y);
        bitten += isWhite(image, 21, y);
    }
    EXPECT_GT(outside, 5); // teeth reach out of the square
    EXPECT_GT(bitten, 5);  // and bite into it
}

TEST(ComponentRender, ImageAdornmentFitsScalesAndClips)
{
    const auto adornment = std::make_shared<VXImageAdornment>();
    adornment->setImage(solidImage(QSize(20, 10), kRed));
    const PathRenderable square = PathRenderable::rectangle(kSquare);
    QImage image = render(*adornment, square); // proportionally: 60 x 30 about the centre
    EXPECT_TRUE(coloursAt(image, {{50, 36}, {21, 50}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{50, 33}}, kWhite));
    adornment->setFittingOption(VXImageAdornment::kFitToObject);
    EXPECT_TRUE(coloursAt(render(*adornment, square), {{21, 21}}, kRed));

    adornment->setFittingOption(VXImageAdornment::kScaleBy);
    adornment->setScale(2);           // 40 x 20
    adornment->setAngleInDegrees(90); // 20 x 40
    image = render(*adornment, square);
    EXPECT_TRUE(coloursAt(image, {{50, 31}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{50, 28}, {38, 50}}, kWhite));

    adornment->setScale(10); // far beyond the square, clipped to it
    image = render(*adornment, square);
    EXPECT_TRUE(coloursAt(image, {{21, 21}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{10, 10}}, kWhite));
    adornment->setClipping(kVXClipOutsidePath);
    adornment->setOpacity(0.5);
    image = render(*adornment, square);
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kWhite));
    EXPECT_TRUE(coloursAt(image, {{10, 10}}, QColor(255, 127, 127), 2));
}

TEST(ComponentRender, DecoratorPlacesChainsTapersAndTurnsMotifsAlongThePath)
{
    const PathRenderable line = PathRenderable::line(QPointF(10, 50), QPointF(90, 50));
    const auto decorator = std::make_shared<VXPathDecorator>();
    decorator->setImage(solidImage(QSize(4, 4), kBlue));
    QImage image = render(*decorator, line);
    // Every 20 units, from half an interval in.
    EXPECT_TRUE(coloursAt(image, {{20, 50}, {40, 50}, {60, 50}, {80, 50}}, kBlue));
    EXPECT_TRUE(coloursAt(image, {{30, 50}}, kWhite));

    decorator->setLateralOffset(10);
    decorator->setLateralOffsetAlternates(true);
    QList<VXPathDecorator::Placement> placements = decorator->motifPlacementsForObject(line);
    ASSERT_EQ(placements.size(), 4);
    EXPECT_EQ(placements[0].centre, QPointF(20, 60)); // right of travel is down the screen
    EXPECT_EQ(placements[1].centre, QPointF(40, 40));
    image = render(*decorator, line);
    EXPECT_TRUE(coloursAt(image, {{20, 60}, {40, 40}}, kBlue));
    EXPECT_TRUE(coloursAt(image, {{20, 50}}, kWhite));

    const PathRenderable down = PathRenderable::line(QPointF(50, 0), QPointF(50, 80));
    VXPathDecorator chain;
    chain.setImage(solidImage(QSize(8, 2), kBlue));
    chain.setUsesChainMethod(true);
    placements = chain.motifPlacementsForObject(down);
    ASSERT_EQ(placements.size(), 10); // 8 long, end to end
    EXPECT_EQ(placements[0].centre, QPointF(50, 4));
    EXPECT_EQ(placements[9].centre, QPointF(50, 76));
    EXPECT_DOUBLE_EQ(placements[0].angle, M_PI / 2);
    chain.setUsesChainMethod(false);
    chain.setNormalToPath(false);
    chain.setLeadInAndOutLengthProportion(0.25); // 20 each end
    placements = chain.motifPlacementsForObject(down);
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
    EXPECT_TRUE(coloursAt(image, {{50, 50}, {21, 21}}, kBlue)); // a cut motif at the corner
    EXPECT_TRUE(coloursAt(image, {{19, 19}, {55, 55}}, kWhite));

    pattern->setDrawingOfClippedElementsSupressed(true);
    EXPECT_EQ(pattern->motifPlacementsForObject(square).size(), 5 * 5);
    EXPECT_TRUE(coloursAt(render(*pattern, square), {{21, 21}}, kWhite));

    pattern->setPatternAlternateYOffset(0.5); // odd columns half a row down
    image = render(*pattern, square);
    EXPECT_TRUE(coloursAt(image, {{30, 55}, {40, 50}}, kBlue));
    EXPECT_TRUE(coloursAt(image, {{30, 50}}, kWhite));

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
    EXPECT_TRUE(coloursAt(image, {{20, 20}, {41, 41}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{21, 20}, {18, 18}}, kWhite)); // the second outside the path
}
