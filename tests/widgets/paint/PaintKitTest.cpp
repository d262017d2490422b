#include "platform/foundation/ZQAssert.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/CGShinyGradient.h"
#include "widgets/paint/CenterScanRect.h"
#include "widgets/paint/KitImage.h"
#include "support/LogCapture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QImage canvas(int width, int height, double ratio, QColor fill = Qt::transparent)
{
    QImage image(int(width * ratio), int(height * ratio), QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    image.setDevicePixelRatio(ratio);
    return image;
}

void expectComponents(const ShinyGradientFunction::Components& actual, std::array<float, 4> expected, const char* what)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], 2e-4) << what << " component " << i;
}

} // namespace

TEST(ApplicationPalette, FixedColoursGradientsAndFont)
{
    EXPECT_NEAR(VLTMWindowBackgroundColour().redF(), 0.9298, 1e-4);
    EXPECT_NEAR(VLTMWindowBackgroundColour().greenF(), 0.934, 1e-4);
    EXPECT_NEAR(VLTMMediumBackgroundColour().greenF(), 0.84, 1e-4);
    EXPECT_NEAR(VLTMControlFrameColour().blueF(), 0.35, 1e-4);
    EXPECT_EQ(VLTMUnselectedTitleTextColour(), VLTMUnselectedTitleTextColour());
    EXPECT_EQ(VLTMUnderpageBackgroundColour(), QGuiApplication::palette().color(QPalette::Mid));
    for (const QColor& colour : {VLTMDarkBackgroundColour(), VLTMLightBackgroundColour(), VLTMLightControlFrameColour(),
                                 VLTMTitleTextColour()})
        EXPECT_EQ(colour.alphaF(), 1.0f);

    // Gradients are made once; the title bar shares the unselected control gradient.
    EXPECT_EQ(&VLTMSelectedControlGradient(), &VLTMSelectedControlGradient());
    EXPECT_EQ(&VLTMTitleBarGradient(), &VLTMUnselectedControlGradient());
    EXPECT_NE(&VLTMSelectedButtonGradient(), &VLTMHighlightedControlGradient());
    EXPECT_EQ(VLTMSelectedControlGradient().endingColour(), VLTMLightBackgroundColour());
    EXPECT_NEAR(VLTMHighlightedControlGradient().endingColour().redF(), 0.4, 1e-4);
    // The selected row darkens the medium background by 5 % towards black.
    EXPECT_NEAR(VLTMSelectedTableRowGradient().startingColour().redF(), 0.83 * 0.95, 1e-3);
    EXPECT_EQ(VLTMSelectedTableRowGradient().endingColour(), VLTMMediumBackgroundColour());

    const QFont font = VLTMSmallTitleFont();
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSizeF(), 11.0);

    // A gradient at 90 degrees runs from the top edge down, at 0 from left to right.
    QImage image = canvas(20, 20, 1);
    QPainter painter(&image);
    platform::Gradient(Qt::black, Qt::white).drawInRect(painter, QRectF(0, 0, 20, 20), 90);
    painter.end();
    EXPECT_LT(qGray(image.pixel(10, 0)), 20);
    EXPECT_GT(qGray(image.pixel(10, 19)), 235);
    EXPECT_EQ(image.pixel(0, 10), image.pixel(19, 10));
}

TEST(CenterScanRect, SnapsEdgesToDevicePixelsAtEachRatio)
{
    for (double ratio : {1.0, 2.0}) {
        QImage image = canvas(100, 100, ratio);
        QPainter painter(&image);
        painter.translate(0.25, 0);
        const QRectF snapped = centerScanRect(painter, QRectF(10.2, 10.3, 20.6, 5.1));
        // In device pixels every edge is whole.
        const QRectF pixels = QTransform::fromScale(ratio, ratio).mapRect(snapped.translated(0.25, 0));
        for (double edge : {pixels.left(), pixels.top(), pixels.right(), pixels.bottom()})
            EXPECT_NEAR(edge, std::round(edge), 1e-9) << "ratio " << ratio;
        EXPECT_NEAR(snapped.width(), 20.6, 0.5 / ratio + 1e-9);
        // At ratio 2 a half point is a pixel and stays.
        if (ratio == 2.0) {
            EXPECT_EQ(centerScanRect(painter, QRectF(0.25, 0.5, 3.5, 1.5)), QRectF(0.25, 0.5, 3.5, 1.5));
        }
        painter.rotate(30);
        EXPECT_EQ(centerScanRect(painter, QRectF(0.3, 0.3, 2, 2)), QRectF(0.3, 0.3, 2, 2));
    }
}

TEST(ShinyGradient, ShadingAtTheEdgesOfEachHalf)
{
    // A mid grey: p = 0.5^0.2; whitened by 0.6 p at the top and 0.3 p just above the middle.
    const ShinyGradientFunction grey(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    const float top = 0.5f * (1 - 0.6f * 0.870551f) + 0.6f * 0.870551f;
    const float middle = 0.5f * (1 - 0.3f * 0.870551f) + 0.3f * 0.870551f;
    expectComponents(grey.valueAt(0), {top, top, top, 1}, "t = 0");
    expectComponents(grey.valueAt(0.4999999f), {middle, middle, middle, 1}, "t just below 0.5");
    expectComponents(grey.valueAt(0.5f), {0.5f, 0.5f, 0.5f, 1}, "t = 0.5");
    // Grey has no hue: its caustic is yellow of saturation 0.1, brightness 1 x 0.6 + 0.5 x 0.4.
    expectComponents(grey.valueAt(1), {0.8f, 0.8f, 0.72f, 1}, "t = 1, grey caustic");

    // Black: no whitening at all; its caustic lightens towards yellow.
    const ShinyGradientFunction black(Qt::black);
    expectComponents(black.valueAt(0), {0, 0, 0, 1}, "black at the top");
    expectComponents(black.caustic(), {0.6f, 0.6f, 0.54f, 1}, "black caustic");

    // Hues move towards yellow, purples towards magenta; a hue just below red wraps first.
    expectComponents(ShinyGradientFunction(Qt::red).caustic(), {1, 0.5229f, 0, 1}, "red caustic");
    expectComponents(ShinyGradientFunction(Qt::blue).caustic(), {0, 0.3710f, 1, 1}, "blue caustic");
    expectComponents(ShinyGradientFunction(QColor::fromRgbF(0.5f, 0, 1)).caustic(), {0.7900f, 0, 1, 1}, "purple");
    expectComponents(ShinyGradientFunction(QColor::fromRgbF(1, 0, 0.2f)).caustic(), {1, 0.3895f, 0, 1}, "pink");

    // The sampled stops keep the step at the middle and end on the caustic.
    const QGradientStops stops = grey.stops();
    ASSERT_GE(stops.size(), 16);
    EXPECT_EQ(stops.first().first, 0.0);
    EXPECT_EQ(stops.last().first, 1.0);
    const auto step = std::find_if(stops.begin(), stops.end(), [](const QGradientStop& s) { return s.first >= 0.5; });
    ASSERT_NE(step, stops.begin());
    EXPECT_NEAR((step - 1)->first, 0.5, 1e-5);
    EXPECT_NEAR((step - 1)->second.redF(), middle, 1e-3);
    EXPECT_NEAR(step->second.redF(), 0.5, 1e-3);
}

TEST(ShinyGradient, GlossAtTheVisualTopInEitherOrientationAndStateKept)
{
    const QColor blue = QColor::fromRgbF(0.2f, 0.3f, 0.8f);
    for (bool flipped : {true, false}) {
        QImage image = canvas(40, 16, 2, Qt::white);
        QPainter painter(&image);
        if (!flipped) // a y-up painter, as for PDF pages
            painter.setTransform(QTransform(1, 0, 0, -1, 0, 16));
        painter.setOpacity(0.3);
        painter.setClipRect(QRectF(0, 0, 40, 16));
        const QRectF rect(4, 2, 30, 12);
        CGContextDrawShinyGradient(&painter, rect, blue, flipped);
        EXPECT_EQ(painter.opacity(), 0.3);
        EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 40, 16));
        painter.end();
        // Device rows: the rect covers pixel rows 4..27 whichever way the painter runs.
        const QRgb topRow = image.pixel(40, 4);
        const QRgb aboveMiddle = image.pixel(40, 15);
        const QRgb belowMiddle = image.pixel(40, 16);
        const QRgb bottomRow = image.pixel(40, 27);
        EXPECT_GT(qGray(topRow), qGray(aboveMiddle)) << "flipped " << flipped;
        EXPECT_GT(qGray(aboveMiddle), qGray(belowMiddle) + 20) << "the gloss ends sharply at the middle";
        EXPECT_GT(qGreen(bottomRow), qGreen(belowMiddle)) << "the caustic rises towards the bottom";
        EXPECT_EQ(image.pixel(40, 2), qRgb(255, 255, 255)) << "nothing drawn outside the rectangle";
        EXPECT_EQ(image.pixel(40, 29), qRgb(255, 255, 255));
    }
    // Without a colour or a painter nothing is drawn, and painting goes on.
    QImage image = canvas(4, 4, 1);
    const QImage before = image;
    QPainter painter(&image);
    CGContextDrawShinyGradient(&painter, QRectF(0, 0, 4, 4), QColor(), true);
    CGContextDrawShinyGradient(nullptr, QRectF(0, 0, 4, 4), Qt::red, true);
    painter.end();
    EXPECT_EQ(image, before);
}

TEST(KitImage, BundleAndSystemArtworkDrawnAtTheDevicePixelRatio)
{
    const KitImage mask = imageNamed(QStringLiteral("CTBadge_3"));
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.size(), QSizeF(32, 23));
    EXPECT_FALSE(mask.isTemplate());
    const QImage sharp = mask.imageOfSize(QSizeF(32, 23), 2);
    EXPECT_EQ(sharp.size(), QSize(64, 46));
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(qAlpha(sharp.pixel(32, 23)), 255);
    EXPECT_EQ(qAlpha(sharp.pixel(0, 0)), 0) << "a lozenge has round ends";
    EXPECT_TRUE(mask.imageOfSize(QSizeF(1e6, 1e6), 2).isNull());
    EXPECT_TRUE(mask.imageOfSize(QSizeF(0, 10), 2).isNull());

    EXPECT_TRUE(imageNamed(QStringLiteral("no such artwork")).isNull());
    for (const char* name : {"NSInfo", "NSRemoveTemplate", "NSApplicationIcon"}) {
        const KitImage image = imageNamed(QString::fromLatin1(name));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_FALSE(image.size().isEmpty());
        EXPECT_FALSE(image.imageOfSize(QSizeF(16, 16), 2).isNull());
    }
    EXPECT_TRUE(imageNamed(QStringLiteral("NSRemoveTemplate")).isTemplate());

    // Drawn into a ratio-2 image, the artwork fills its rectangle's device pixels.
    QImage target = canvas(40, 30, 2);
    QPainter painter(&target);
    mask.drawInRect(painter, QRectF(4, 3, 32, 23));
    painter.end();
    EXPECT_EQ(qAlpha(target.pixel(40, 30)), 255);
    EXPECT_EQ(qAlpha(target.pixel(40, 6)), 255) << "the top edge lands on device row 6";
    EXPECT_EQ(qAlpha(target.pixel(40, 5)), 0);
}

TEST(KitImage, RepeatedRenderingsAreTheSameWhateverCameBetween)
{
    const KitImage mask = imageNamed(QStringLiteral("CTBadge_3"));
    ASSERT_FALSE(mask.isNull());
    QImage first = mask.imageOfSize(QSizeF(32, 23), 1);
    const QImage pristine = first.copy();
    // The same pixels at another ratio are another image.
    const QImage halved = mask.imageOfSize(QSizeF(16, 11.5), 2);
    EXPECT_EQ(halved.size(), QSize(32, 23));
    EXPECT_EQ(halved.devicePixelRatio(), 2.0);
    EXPECT_EQ(mask.imageOfSize(QSizeF(32, 23), 1).devicePixelRatio(), 1.0);
    // A caller painting on its image leaves the next caller's alone.
    first.fill(Qt::red);
    EXPECT_EQ(mask.imageOfSize(QSizeF(32, 23), 1), pristine);
    // Many sizes later, and beyond the sizes worth keeping, the first size draws the same.
    for (int width = 1; width <= 20; ++width)
        EXPECT_EQ(mask.imageOfSize(QSizeF(width, width), 1).size(), QSize(width, width));
    EXPECT_EQ(mask.imageOfSize(QSizeF(600, 400), 1).size(), QSize(600, 400));
    EXPECT_EQ(mask.imageOfSize(QSizeF(32, 23), 1), pristine);
    EXPECT_EQ(imageNamed(QStringLiteral("CTBadge_3")).imageOfSize(QSizeF(16, 11.5), 2), halved);
}
