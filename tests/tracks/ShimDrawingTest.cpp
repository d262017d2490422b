// Shims drawn as tapered bands: widths, colours and lateral offsets along the stretch, strokes
// without a partner, sharp corners; and what a multi-style path draws with no blend or with
// neighbouring styles that look alike.

#include "TrackTestSupport.h"

#include "platform/vantrix/DrawingTestSupport.h"
#include "support/PdfRaster.h"
#include "tracks/styles/ShimBlender.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QBuffer>
#include <QPdfWriter>
#include <gtest/gtest.h>

using tracktest::polyline;
using tracktest::strokes;

namespace {

constexpr int kLineY = 50;

QImage paintAntialiased(const std::function<void()>& draw)
{
    return tracktest::paint(draw, true);
}

// How wide the drawing is across column x, antialiased edges counted by their coverage.
double coveredHeight(const QImage& image, int x)
{
    double height = 0;
    for (int y = 0; y < image.height(); ++y)
        height += image.pixelColor(x, y).alphaF();
    return height;
}

// The middle of the drawing across column x.
double coveredCentre(const QImage& image, int x)
{
    double moment = 0;
    for (int y = 0; y < image.height(); ++y)
        moment += image.pixelColor(x, y).alphaF() * (y + 0.5);
    return moment / coveredHeight(image, x);
}

const platform::BezierPath kStretch = polyline({{0, kLineY}, {200, kLineY}});

} // namespace

TEST(ShimDrawing, WidthsTaperSteadilyAndColoursChangeAtTheBoundary)
{
    const ShimBlender blender(strokes({{Qt::black, 10}, {Qt::white, 6}}), strokes({{Qt::black, 20}, {Qt::red, 8}}),
                              kZQShimBlendWidth, kStretch);
    const QImage casing = paintAntialiased([&] { blender.drawCasing(); });
    double previous = 0;
    for (int x = 0; x < 200; x += 10) {
        const double expected = 10 + 10 * (x + 0.5) / 200;
        EXPECT_NEAR(coveredHeight(casing, x), expected, 0.1) << x;
        EXPECT_GT(coveredHeight(casing, x), previous);
        previous = coveredHeight(casing, x);
    }

    const QImage content = paintAntialiased([&] { blender.drawContentWithoutCasing(); });
    EXPECT_NEAR(coveredHeight(content, 0), 6, 0.1);
    EXPECT_NEAR(coveredHeight(content, 199), 8, 0.1);
    EXPECT_EQ(content.pixelColor(98, kLineY), QColor(Qt::white));
    EXPECT_EQ(content.pixelColor(101, kLineY), QColor(Qt::red));
}

TEST(ShimDrawing, ColoursBlendAlongTheStretchWhenAsked)
{
    const ShimBlender blender(strokes({{Qt::black, 10}, {Qt::white, 6}}), strokes({{Qt::black, 10}, {Qt::red, 6}}),
                              kZQShimBlendWidthAndColour, kStretch);
    const QImage content = paintAntialiased([&] { blender.drawContentWithoutCasing(); });
    int previous = 256;
    for (int x = 5; x < 200; x += 10) {
        const QColor colour = content.pixelColor(x, kLineY);
        EXPECT_EQ(colour.red(), 255);
        EXPECT_LT(colour.green(), previous) << x;
        previous = colour.green();
    }
    EXPECT_NEAR(content.pixelColor(100, kLineY).green(), 128, 8);
}

TEST(ShimDrawing, UnpartneredStrokesTaperToNothingAndOffsetsMoveAcross)
{
    // A centre line only the first style has, and an offset edge line moving 6 to the right.
    const VXStylePtr before = strokes({{Qt::black, 12}, {Qt::white, 8}, {Qt::blue, 4}});
    const VXStylePtr after = strokes({{Qt::black, 12}, {Qt::white, 8}});
    const ShimBlender tapering(before, after, kZQShimBlendWidth, kStretch);
    const QImage content = paintAntialiased([&] { tapering.drawContentWithoutCasing(); });
    EXPECT_EQ(content.pixelColor(2, kLineY), QColor(Qt::blue));
    EXPECT_LT(content.pixelColor(100, kLineY).red(), 15); // half as wide halfway
    EXPECT_EQ(content.pixelColor(100, kLineY + 1), QColor(Qt::white));
    EXPECT_GT(content.pixelColor(198, kLineY).red(), 245);

    const VXStylePtr left = strokes({{Qt::black, 4}});
    const VXStylePtr right = strokes({{Qt::black, 4}});
    std::dynamic_pointer_cast<VXStroke>(right->renderList().first())->setLateralOffset(6);
    const ShimBlender moving(left, right, kZQShimBlendWidth, kStretch);
    const QImage moved = paintAntialiased([&] { moving.drawContentWithoutCasing(); });
    EXPECT_NEAR(coveredCentre(moved, 0), kLineY, 0.1);
    EXPECT_NEAR(coveredCentre(moved, 100), kLineY + 3, 0.1);
    EXPECT_NEAR(coveredCentre(moved, 199), kLineY + 6, 0.1);
    EXPECT_NEAR(coveredHeight(moved, 100), 4, 0.1);
}

TEST(ShimDrawing, SharpCornersAndDegenerateStretches)
{
    const VXStylePtr before = strokes({{Qt::black, 10}, {Qt::white, 6}});
    const VXStylePtr after = strokes({{Qt::black, 12}, {Qt::red, 8}});
    // Back on itself at a 150 degree turn: the band covers the corner without a hole or a spike.
    const ShimBlender corner(before, after, kZQShimBlendWidth, polyline({{40, kLineY}, {140, kLineY}, {40, 75}}));
    const QImage image = paintAntialiased([&] { corner.drawCasing(); });
    EXPECT_EQ(image.pixelColor(138, kLineY).alpha(), 255);
    EXPECT_EQ(image.pixelColor(100, kLineY + 5).alpha(), 255); // inside of the turn stays filled
    EXPECT_EQ(image.pixelColor(170, kLineY).alpha(), 0);

    for (const platform::BezierPath& stretch : {platform::BezierPath(), polyline({{10, 10}, {10, 10}})}) {
        const ShimBlender empty(before, after, kZQShimBlendWidthAndColour, stretch);
        const QImage nothing = paintAntialiased([&] {
            empty.drawCasing();
            empty.drawContentWithoutCasing();
        });
        EXPECT_EQ(nothing.pixelColor(10, 10).alpha(), 0);
    }
}

TEST(ShimDrawing, ShimsThatChangeNothingAreNotDrawn)
{
    // White up to 100, then `second`; the image with the blend, and with shims turned off.
    const auto drawnWithAndWithoutShims = [](const VXStylePtr& second, int blending) {
        drawingtest::Fixture f;
        const ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(
            kStretch, strokes({{Qt::black, 10}, {Qt::white, 6}}));
        f.layer->addObject(path);
        path->setSelectionRange(ZQMakeAbsoluteStyleRange(100, 100));
        path->setStyle(second);
        path->setShimBlending(blending);
        EXPECT_EQ(path->shims().size(), 1);
        const QImage blended = paintAntialiased([&] { path->drawContent(); });
        path->setAutoInsertsShims(false);
        return std::pair{blended, paintAntialiased([&] { path->drawContent(); })};
    };

    // Without a blend the styles meet at the boundary.
    const auto [meeting, unshimmed] = drawnWithAndWithoutShims(strokes({{Qt::black, 14}, {Qt::red, 8}}),
                                                               kZQShimBlendNone);
    EXPECT_EQ(meeting, unshimmed);
    EXPECT_EQ(meeting.pixelColor(99, kLineY), QColor(Qt::white));
    EXPECT_EQ(meeting.pixelColor(100, kLineY), QColor(Qt::red));
    EXPECT_EQ(meeting.pixelColor(100, kLineY + 6), QColor(Qt::black)); // red's wider casing starts there
    EXPECT_EQ(meeting.pixelColor(99, kLineY + 6).alpha(), 0);

    // Strokes of the same widths only change colour, which a width blend does at the boundary.
    const auto [recoloured, plain] = drawnWithAndWithoutShims(strokes({{Qt::darkGray, 10}, {Qt::red, 6}}),
                                                              kZQShimBlendWidth);
    EXPECT_EQ(recoloured, plain);
    EXPECT_EQ(recoloured.pixelColor(100, kLineY), QColor(Qt::red));

    // But blending the colours needs the shim: halfway through it the centre is between white and red.
    const auto [faded, abrupt] = drawnWithAndWithoutShims(strokes({{Qt::darkGray, 10}, {Qt::red, 6}}),
                                                          kZQShimBlendWidthAndColour);
    EXPECT_NE(faded, abrupt);
    EXPECT_EQ(faded.pixelColor(30, kLineY), QColor(Qt::white));
    EXPECT_EQ(faded.pixelColor(170, kLineY), QColor(Qt::red));
    EXPECT_EQ(faded.pixelColor(100, kLineY).red(), 255);
    EXPECT_GT(faded.pixelColor(100, kLineY).green(), 40);
    EXPECT_LT(faded.pixelColor(100, kLineY).green(), 215);
}

TEST(ShimDrawing, AlikeNeighbouringStylesDrawAsOneStretch)
{
    // Translucent with round caps: two stretches would overlap where they meet and show darker.
    const auto translucent = [] {
        VXStylePtr style = strokes({{Qt::blue, 8}});
        std::dynamic_pointer_cast<VXStroke>(style->renderList().first())
            ->setLineCapStyle(int(platform::LineCapStyle::Round));
        style->setOpacity(0.5);
        return style;
    };
    drawingtest::Fixture f;
    const ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(kStretch, translucent());
    f.layer->addObject(path);
    path->setSelectionRange(ZQMakeAbsoluteStyleRange(100, 100));
    path->setStyle(translucent());
    ASSERT_EQ(path->styles().size(), 2);
    ASSERT_TRUE(path->shims().isEmpty());

    const QImage image = paintAntialiased([&] { path->drawContent(); });
    EXPECT_EQ(image.pixelColor(100, kLineY), image.pixelColor(50, kLineY));
    EXPECT_EQ(image.pixelColor(100, kLineY).alpha(), image.pixelColor(150, kLineY).alpha());
}

TEST(ShimDrawing, TranslucentStretchesRunOnIntoTheirShimHalvesWithoutASeam)
{
    const auto translucent = [](const QColor& colour, double width) {
        VXStylePtr style = strokes({{colour, width}});
        const auto stroke = std::dynamic_pointer_cast<VXStroke>(style->renderList().first());
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        return style;
    };
    drawingtest::Fixture f;
    const ZQMultiStylePathPtr path =
        ZQMultiStylePath::multiStylePathWithPathStyle(kStretch, translucent(QColor(255, 0, 0, 100), 8));
    f.layer->addObject(path);
    path->setSelectionRange(ZQMakeAbsoluteStyleRange(100, 100));
    path->setStyle(translucent(QColor(0, 0, 255, 100), 14));
    path->setShimBlending(kZQShimBlendWidth);
    ASSERT_EQ(path->shims().size(), 1);

    // Each style's round cap lies under the half of the shim in its colour, painted once with it.
    const QImage image = paintAntialiased([&] { path->drawContent(); });
    for (int x = 60; x < 99; ++x)
        EXPECT_EQ(image.pixelColor(x, kLineY), image.pixelColor(50, kLineY)) << x;
    for (int x = 101; x < 140; ++x)
        EXPECT_EQ(image.pixelColor(x, kLineY), image.pixelColor(150, kLineY)) << x;
}

TEST(ShimDrawing, ColourBlendsKeepAFadedTracksTransparencyInPdf)
{
    // Qt's PDF engine ignores the painter's opacity for gradient brushes: a half-faded track
    // printed its colour blend opaque over whatever lay beneath.
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const ShimBlender blender(strokes({{Qt::black, 10}, {Qt::red, 30}}), strokes({{Qt::black, 10}, {Qt::yellow, 30}}),
                              kZQShimBlendWidthAndColour, kStretch);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(200, 100), QPageSize::Point));
        writer.setPageMargins({});
        QPainter painter(&writer);
        painter.fillRect(QRectF(0, 0, 200, 100), Qt::black);
        painter.setOpacity(0.5);
        const platform::GraphicsContext::Scope scope(&painter);
        blender.drawContentWithoutCasing();
    }
    const QImage page = testsupport::rasterisedPdfPage(pdf.data());
    ASSERT_FALSE(page.isNull());
    // Red runs full along the blend, so half of it over black is half red wherever it is.
    for (const int x : {20, 100, 180})
        EXPECT_NEAR(page.pixelColor(x, kLineY).red(), 128, 12) << "at " << x;
}
