#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/vantrix/render/ImageEffects.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"

#include <QtMath>

using componenttest::paintedBounds;
using componenttest::solidImage;
using styletest::PathRenderable;
using styletest::render;

namespace {

// Sums of the alpha channel, to see that a blur moves coverage without making or losing much.
qint64 alphaSum(const QImage& image)
{
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

QImage dot(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixel(size / 2, size / 2, qRgba(255, 255, 255, 255));
    return image;
}

} // namespace

TEST(ComponentModel, SettersClampAndRefuse)
{
    const struct {
        VXRasterizerPtr component;
        const char* key;
        QVariant given;
        double kept;
    } cases[] = {
        {std::make_shared<VXHatching>(), "spacing", 0, VXHatching::kMinimumSpacing},
        {std::make_shared<VXHatching>(), "angleInDegrees", qQNaN(), 45},
        {std::make_shared<VXHatching>(), "lineCapStyle", 3, 0},
        {std::make_shared<VXArrowStroke>(), "arrowHeadAtEnd", 42, VXArrowStroke::kArrowHeadStandard},
        {std::make_shared<VXArrowStroke>(), "dimensionToleranceOption", 5, 1}, // a checkbox state: on
        {std::make_shared<VXArrowStroke>(), "arrowHeadWidth", -3, 0},
        {std::make_shared<VXZigZagStroke>(), "wavelength", 0, platform::ZigZagShape::kMinimumWavelength},
        {std::make_shared<VXZigZagStroke>(), "spread", 3, 1},
        {std::make_shared<VXZigZagFill>(), "amplitude", -2, 0},
        {std::make_shared<VXZigZagFill>(), "wavelength", qInf(), VXZigZagFill().wavelength()},
        {std::make_shared<VXRepeatTransformGroup>(), "numberOfRepeats", -4, 0},
        {std::make_shared<VXRepeatTransformGroup>(), "scaleY", 0, 1e-3},
        {std::make_shared<VXRepeatTransformGroup>(), "scaleX", 1e300, VXRepeatTransformGroup::kMaximumScale},
    };
    for (const auto& c : cases) {
        c.component->setValueForKey(c.given, QString::fromLatin1(c.key));
        EXPECT_DOUBLE_EQ(c.component->valueForKey(QString::fromLatin1(c.key)).toDouble(), c.kept) << c.key;
    }
}

TEST(ComponentModel, DegenerateInputDrawsLittleAndEnds)
{
    // Tiny spacing on a huge object: the element counts are capped.
    const PathRenderable huge = PathRenderable::rectangle(QRectF(-1e7, -1e7, 2e7, 2e7));
    VXHatching hatching;
    hatching.setSpacing(0);
    hatching.setWobblyness(1);
    EXPECT_LE(hatching.hatchPathForObject(huge).elementCount(), 1000000 + 2 * (VXHatching::kMaximumLineCount + 1));
    VXFillPattern pattern;
    pattern.setImage(solidImage(QSize(1, 1), Qt::red));
    pattern.setInterval(0);
    EXPECT_LE(pattern.motifPlacementsForObject(huge).size(), VXPathDecorator::kMaximumMotifCount);
    VXPathDecorator decorator;
    decorator.setImage(solidImage(QSize(1, 1), Qt::red));
    decorator.setUsesChainMethod(true);
    decorator.setScaleRandomness(1); // some links of no length at all
    EXPECT_LE(decorator.motifPlacementsForObject(huge).size(), VXPathDecorator::kMaximumMotifCount);
    platform::ZigZagShape shape;
    shape.wavelength = 0;
    EXPECT_LE(shape.pathAlong(huge.renderingPath()).elementCount(), platform::ZigZagShape::kMaximumPeakCount + 8);

    // Empty and broken paths draw nothing.
    platform::BezierPath broken;
    broken.moveToPoint(QPointF(qQNaN(), 1));
    broken.lineToPoint(QPointF(qInf(), 2));
    for (const VXRasterizerPtr& component :
         QList<VXRasterizerPtr>{std::make_shared<VXHatching>(), std::make_shared<VXArrowStroke>(),
                                std::make_shared<VXZigZagStroke>(), std::make_shared<VXFillPattern>()}) {
        for (const platform::BezierPath& path : {platform::BezierPath(), broken})
            EXPECT_EQ(paintedBounds(render(*component, PathRenderable(path))), QRect())
                << qPrintable(component->className());
    }

    // The most repeats at the largest scale overflow long before the last copy: they are skipped.
    VXRepeatTransformGroup repeat;
    repeat.addRenderer(VXFill::fillWithColour(Qt::red));
    repeat.setNumberOfRepeats(std::numeric_limits<int>::max());
    repeat.setScaleX(1e9);
    repeat.setScaleY(1e9);
    EXPECT_EQ(repeat.numberOfRepeats(), VXRepeatTransformGroup::kMaximumNumberOfRepeats);
    render(repeat, PathRenderable::rectangle(QRectF(40, 40, 20, 20)));
}

TEST(ComponentModel, BlursSpreadAPixelOverTheirKernelAndIntensityStaysPremultiplied)
{
    QImage image = dot(21);
    platform::boxBlur(image, 2); // a 5 x 5 square
    EXPECT_GT(qAlpha(image.pixel(12, 12)), 0);
    EXPECT_EQ(qAlpha(image.pixel(13, 10)), 0);
    EXPECT_EQ(qAlpha(image.pixel(10, 8)), 10); // 255 / 25
    image = dot(21);
    platform::discBlur(image, 3); // 29 pixels in the disc
    EXPECT_GT(qAlpha(image.pixel(13, 10)), 0);
    EXPECT_EQ(qAlpha(image.pixel(13, 13)), 0); // the corner of the square is outside the disc
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 9);
    image = dot(21);
    platform::motionBlur(image, 6, 0); // a horizontal line of 7
    EXPECT_EQ(qAlpha(image.pixel(7, 10)), 36);
    EXPECT_EQ(qAlpha(image.pixel(10, 9)), 0);

    image = QImage(41, 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 15; y < 26; ++y)
        for (int x = 15; x < 26; ++x)
            image.setPixel(x, y, qRgba(255, 0, 0, 255));
    const qint64 before = alphaSum(image);
    platform::gaussianBlur(image, 6);
    EXPECT_NEAR(double(alphaSum(image)), double(before), before * 0.02);
    EXPECT_GT(qAlpha(image.pixel(30, 20)), 0);
    EXPECT_EQ(qAlpha(image.pixel(35, 20)), 0);
    platform::gaussianBlur(image, qInf()); // nothing happens rather than anything unbounded
    platform::motionBlur(image, 4, qQNaN());

    image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, qRgba(100, 50, 0, 160));
    platform::scaleIntensity(image, 2);
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 100, 0, 255));
    image.setPixel(0, 0, qRgba(150, 50, 0, 160));
    platform::scaleIntensity(image, 2);
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 100, 0, 255));
    platform::scaleIntensity(image, 0);
    EXPECT_EQ(image.pixel(0, 0), qRgba(0, 0, 0, 0));
}
