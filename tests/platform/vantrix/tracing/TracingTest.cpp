#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/tracing/ImageTracing.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "support/SettingScope.h"

using namespace drawingtest;
using platform::TracedLevel;

namespace {

void paintRect(QImage& image, const QRect& rect, const QColor& colour)
{
    QPainter(&image).fillRect(rect, colour);
}

// The pixels whose centres the path encloses: the traced counterpart of a mask's pixel count.
int enclosedPixels(const platform::BezierPath& path, QSize size)
{
    const QPainterPath outline = path.painterPathWithWindingRule();
    int count = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            count += outline.contains(QPointF(x + 0.5, y + 0.5)) ? 1 : 0;
    return count;
}

qsizetype subpathCount(const platform::BezierPath& path)
{
    return path.painterPath().toSubpathPolygons().size();
}

QVariantMap parameters(int colourMode, int levels, int turdsize = 0)
{
    QVariantMap map = platform::defaultTracingParameters();
    map.insert(kVXTracingParam_colourmode, colourMode);
    map.insert(kVXTracingParam_levels, levels);
    map.insert(kVXTracingParam_turdsize, turdsize);
    return map;
}

// White 100 x 80 with a black 40 x 30 block holding a white 10 x 10 hole, and a separate black 10 x 10 square.
QImage twoColourScan()
{
    QImage image = filledImage({100, 80}, Qt::white);
    paintRect(image, {20, 10, 40, 30}, Qt::black);
    paintRect(image, {35, 20, 10, 10}, Qt::white);
    paintRect(image, {70, 50, 10, 10}, Qt::black);
    return image;
}

} // namespace

TEST(ImageTracingTest, TwoColoursTraceToStackedOutlinesWithTheRightAreas)
{
    const QImage scan = twoColourScan();
    const QList<TracedLevel> levels = tracedLevelsWithParameters(scan, parameters(0, 1));
    ASSERT_EQ(levels.size(), 2);
    EXPECT_EQ(levels[0].colour(), QColor(Qt::white)); // the most common colour lies under the rest
    EXPECT_EQ(levels[1].colour(), QColor(Qt::black));
    EXPECT_EQ(subpathCount(levels[0].vectorPath()), 1);
    EXPECT_EQ(enclosedPixels(levels[0].vectorPath(), scan.size()), 100 * 80);
    // The block, its hole and the square: three outlines enclosing exactly the black pixels.
    EXPECT_EQ(subpathCount(levels[1].vectorPath()), 3);
    EXPECT_EQ(enclosedPixels(levels[1].vectorPath(), scan.size()), 40 * 30 - 10 * 10 + 10 * 10);
    EXPECT_NEAR(levels[1].vectorPath().bounds().left(), 20, 0.5);
    EXPECT_NEAR(levels[1].vectorPath().bounds().bottom(), 60, 0.5); // y runs down, as in the image
}

TEST(ImageTracingTest, GreyLevelsStackFromLightestToDarkest)
{
    QImage bands = filledImage({80, 20}, Qt::white);
    for (int band = 0; band < 4; ++band)
        paintRect(bands, {band * 20, 0, 20, 20}, QColor(band * 85, band * 85, band * 85));
    const QList<TracedLevel> four = tracedLevelsWithParameters(bands, parameters(1, 2));
    ASSERT_EQ(four.size(), 4);
    for (int level = 0; level < 4; ++level) {
        EXPECT_EQ(four[level].colour(), QColor(255 - level * 85, 255 - level * 85, 255 - level * 85));
        EXPECT_EQ(enclosedPixels(four[level].vectorPath(), bands.size()), (4 - level) * 400) << level;
    }
    // Two levels split the greys at the middle; levels without pixels of their own go.
    const QList<TracedLevel> two = vectorizeToGrayscaleWithPrecision(bands, 1);
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two[1].colour(), QColor(Qt::black));
    EXPECT_EQ(vectorizeToGrayscaleWithPrecision(filledImage({8, 8}, Qt::white), 3).size(), 1);
}

TEST(ImageTracingTest, ColourLevelsKeepExactColoursByFrequencyAndSkipTransparency)
{
    QImage image = filledImage({60, 40}, Qt::transparent);
    paintRect(image, {0, 0, 30, 40}, QColor(200, 30, 40));  // 1200 pixels
    paintRect(image, {30, 0, 20, 40}, QColor(10, 150, 60)); // 800
    paintRect(image, {52, 0, 8, 10}, QColor(20, 40, 220));  // 80; the rest stays transparent
    const QList<TracedLevel> levels = vectorizeToColourWithPrecisionQuantizationMethod(image, 2, kVXQuantizeMedianCut);
    ASSERT_EQ(levels.size(), 3);
    EXPECT_EQ(levels[0].colour(), QColor(200, 30, 40));
    EXPECT_EQ(levels[1].colour(), QColor(10, 150, 60));
    EXPECT_EQ(levels[2].colour(), QColor(20, 40, 220));
    EXPECT_EQ(enclosedPixels(levels[0].vectorPath(), image.size()), 1200 + 800 + 80);
    EXPECT_EQ(enclosedPixels(levels[2].vectorPath(), image.size()), 80);
    EXPECT_TRUE(vectorizeToColourWithPrecisionQuantizationMethod(filledImage({5, 5}, Qt::transparent), 3, 3).isEmpty());
    EXPECT_TRUE(vectorizeToColourWithPrecisionQuantizationMethod(QImage(), 3, 3).isEmpty());
}

TEST(ImageTracingTest, ParametersAreClampedAndReachTheTracer)
{
    QImage image = filledImage({60, 60}, Qt::white);
    paintRect(image, {10, 10, 30, 30}, Qt::black);
    paintRect(image, {50, 50, 3, 3}, Qt::black); // a speck of 9 pixels
    QList<TracedLevel> levels = vectorizeToGrayscaleWithPrecision(image, 1);
    ASSERT_EQ(levels.size(), 2);
    TracedLevel& black = levels[1];
    black.setTracingParameters(parameters(1, 1, 0));
    EXPECT_EQ(subpathCount(black.vectorPath()), 2);
    black.setTracingParameters(parameters(1, 1, 9)); // specks up to 9 pixels go
    EXPECT_EQ(subpathCount(black.vectorPath()), 1);
    EXPECT_EQ(enclosedPixels(black.vectorPath(), image.size()), 900);

    // Sharp corners (alphamax 0) keep the square square; the largest rounds them off.
    QVariantMap corners = parameters(1, 1, 9);
    corners.insert(kVXTracingParam_alphamax, 0.0);
    black.setTracingParameters(corners);
    EXPECT_NEAR(black.vectorPath().area(), 900, 1);
    corners.insert(kVXTracingParam_alphamax, 1.3334);
    black.setTracingParameters(corners);
    EXPECT_LT(std::abs(black.vectorPath().area()), 890);

    // Bad values keep the defaults; out-of-range ones are clamped.
    const platform::TracingSettings defaults;
    EXPECT_EQ(platform::TracingSettings::fromParameters({}), defaults);
    const platform::TracingSettings odd = platform::TracingSettings::fromParameters(
        {{kVXTracingParam_turdsize, -5}, {kVXTracingParam_turnpolicy, 99}, {kVXTracingParam_alphamax, qQNaN()},
         {kVXTracingParam_opttolerance, QStringLiteral("lots")}, {kVXTracingParam_opticurve, false}});
    EXPECT_EQ(odd.turdsize, 0);
    EXPECT_EQ(odd.turnpolicy, 6);
    EXPECT_EQ(odd.alphamax, defaults.alphamax);
    EXPECT_EQ(odd.opttolerance, defaults.opttolerance);
    EXPECT_FALSE(odd.opticurve);
    EXPECT_EQ(platform::tracingLevelCount(0), 2);
    EXPECT_EQ(platform::tracingLevelCount(3), 8);
    EXPECT_EQ(platform::tracingLevelCount(40), 64);
}

TEST(ImageTracingTest, MasksOfAnyWidthTraceToTheirPixels)
{
    // Fill sets the row padding too: bits past the width must not become pixels.
    platform::TracingSettings sharp;
    sharp.alphamax = 0;
    for (int width : {9, 63, 64, 65, 67, 130}) {
        QImage mask(width, 20, QImage::Format_Mono);
        mask.fill(1);
        EXPECT_EQ(enclosedPixels(platform::traceMask(mask, sharp), mask.size()), width * 20) << width;
    }
    EXPECT_TRUE(platform::traceMask(QImage(4, 4, QImage::Format_ARGB32), {}).isEmpty());
    EXPECT_TRUE(platform::traceMask(QImage(), {}).isEmpty());
}

TEST(ImageShapeTracingTest, VectorizeReplacesTheShapeByItsTracedGroupUndoably)
{
    Fixture fixture({400, 400});
    const auto shape = VXImageShape::imageShapeWithImageData(pngData(twoColourScan()));
    ASSERT_TRUE(shape);
    shape->setSize({200, 160}); // twice the image's size
    shape->setLocation({150, 200});
    fixture.layer->addObject(shape);
    fixture.layer->replaceSelectionWithObject(shape);
    fixture.endStep();

    const testsupport::SettingScope tracing(&VXImageShape::tracingParameters, &VXImageShape::setTracingParameters,
                                            parameters(0, 1));
    QObject sender;
    sender.setProperty("title", QStringLiteral("Trace It"));
    shape->vectorize(&sender);
    fixture.endStep();

    ASSERT_EQ(fixture.layer->objects().size(), 1);
    const auto group = std::dynamic_pointer_cast<VXShapeGroup>(fixture.layer->objects().first());
    ASSERT_TRUE(group);
    EXPECT_EQ(fixture.layer->selection(), QList<VXDrawableObjectPtr>{group});
    ASSERT_EQ(group->groupObjects().size(), 2);
    const QRectF expected(50, 120, 200, 160);
    const QRectF traced = group->logicalBounds();
    EXPECT_NEAR(traced.left(), expected.left(), 0.5);
    EXPECT_NEAR(traced.top(), expected.top(), 0.5);
    EXPECT_NEAR(traced.width(), expected.width(), 0.5);
    EXPECT_NEAR(traced.height(), expected.height(), 0.5);
    // The rendering matches the image: black inside the block, white in its hole (the levels
    // are the mean colours of the smoothed, scaled-up image).
    const QImage picture = render(*fixture.drawing);
    EXPECT_TRUE(near(picture.pixelColor(50 + 25 * 2, 120 + 12 * 2), Qt::black, 8));
    EXPECT_TRUE(near(picture.pixelColor(50 + 40 * 2, 120 + 25 * 2), Qt::white, 8));

    EXPECT_EQ(fixture.undo->undoActionName(), QStringLiteral("Trace It"));
    fixture.undo->undo();
    EXPECT_EQ(fixture.layer->objects(), QList<VXDrawableObjectPtr>{shape});
    EXPECT_EQ(fixture.layer->selection(), QList<VXDrawableObjectPtr>{shape});
    fixture.undo->redo();
    EXPECT_EQ(fixture.layer->objects(), QList<VXDrawableObjectPtr>{group});
}

// Anti-aliased black text on orange: every level is a mean of image colours, so it lies
// between black and orange, and nothing drawn after the trace brings in another colour.
TEST(ImageShapeTracingTest, TracedColoursStayAmongTheImagesColours)
{
    QImage sign = filledImage({240, 90}, QColor(255, 140, 0));
    {
        QPainter painter(&sign);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font;
        font.setPixelSize(48);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(sign.rect(), Qt::AlignCenter, QStringLiteral("Map Go"));
    }
    // Orange's hue, and black: a colour of the image has blue 0 and green about 0.55 of red.
    const auto amongImageColours = [](const QColor& colour) {
        return colour.blue() <= 8 && std::abs(colour.green() - colour.red() * 140 / 255) <= 12;
    };
    Fixture fixture({400, 300});
    const auto shape = VXImageShape::imageShapeWithImageData(pngData(sign));
    ASSERT_TRUE(shape);
    shape->setSize({240, 90});
    shape->setLocation({200, 150});
    fixture.layer->addObject(shape);
    fixture.endStep();
    for (int levels : {1, 2, 3, 4}) {
        SCOPED_TRACE(levels);
        const testsupport::SettingScope tracing(&VXImageShape::tracingParameters, &VXImageShape::setTracingParameters,
                                                parameters(0, levels));
        const QList<VXDrawableObjectPtr> traced = shape->vectorizedObjects();
        ASSERT_GE(traced.size(), 2);
        for (const VXDrawableObjectPtr& object : traced) {
            const QColor fill = object->style()->fillColour();
            EXPECT_TRUE(amongImageColours(fill)) << qPrintable(fill.name());
            EXPECT_FALSE(object->style()->hasStroke());
        }
    }
    const testsupport::SettingScope tracing(&VXImageShape::tracingParameters, &VXImageShape::setTracingParameters,
                                            parameters(0, 3));
    shape->vectorize(nullptr);
    fixture.endStep();
    fixture.layer->deselectAll();
    const QImage picture = render(*fixture.drawing);
    for (int y = 110; y < 190; y += 2)
        for (int x = 85; x < 315; x += 2)
            ASSERT_TRUE(amongImageColours(picture.pixelColor(x, y))) << x << "," << y << " "
                                                                    << qPrintable(picture.pixelColor(x, y).name());
}

TEST(ImageShapeTracingTest, OnlyAShownImageOnALayerIsVectorized)
{
    Fixture fixture;
    auto free = VXImageShape::imageShapeWithImageData(pngData(twoColourScan()));
    free->vectorize(nullptr); // in no layer: nothing happens
    EXPECT_TRUE(VXImageShape().resampledAndCroppedImage().isNull());
    EXPECT_TRUE(VXImageShape().vectorizedObjects().isEmpty());

    // The image is scaled and clipped as the shape shows it.
    free->setSize({50, 40});
    const QImage shown = free->resampledAndCroppedImage();
    EXPECT_EQ(shown.size(), QSize(50, 40));
    free->setImageScale(0.5);
    EXPECT_EQ(free->resampledAndCroppedImage().pixelColor(2, 2).alpha(), 0);

    fixture.layer->addObject(free);
    free->setLocked(true);
    free->vectorize(nullptr);
    EXPECT_EQ(fixture.layer->objects().size(), 1);
    EXPECT_EQ(fixture.layer->objects().first().get(), free.get());
}
