#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/render/ImageEffects.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"

#include <QtMath>

using componenttest::solidImage;
using styletest::PathRenderable;
using styletest::render;

namespace {

// Edits under an undo manager, one explicit group each.
class ComponentEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        undo.setGroupsByEvent(false);
        style->setUndoManager(&undo);
    }

    template <class Edit>
    void edit(Edit change)
    {
        undo.beginUndoGrouping();
        change();
        undo.endUndoGrouping();
    }

    ZQUndoManager undo;
    VXStylePtr style = std::make_shared<VXStyle>();
};

// Sums of the channels, to see that a blur moves colour without making or losing much.
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

TEST_F(ComponentEditing, KeyChangesUndoUnderTheirActionNames)
{
    const auto hatching = std::make_shared<VXHatching>();
    const auto pattern = std::make_shared<VXFillPattern>();
    const auto gloom = std::make_shared<VXGloomGroup>();
    edit([&] {
        style->addRenderer(hatching);
        style->addRenderer(pattern);
        style->addRenderer(gloom);
    });

    edit([&] { hatching->setSpacing(3); });
    EXPECT_EQ(undo.undoActionName(), "Hatch Spacing");
    edit([&] { pattern->setInterval(7); });
    EXPECT_EQ(undo.undoActionName(), "Pattern Spacing"); // named for the kind of decorator
    edit([&] { pattern->setAutoTile(true); });
    EXPECT_EQ(undo.undoActionName(), "Pattern Auto-Tile");
    edit([&] { gloom->setType(VXGloomGroup::kBloom); });
    edit([&] { gloom->setRadius(4); });
    EXPECT_EQ(undo.undoActionName(), "Bloom Group Radius");

    undo.undo();
    undo.undo();
    EXPECT_DOUBLE_EQ(gloom->radius(), 10);
    EXPECT_EQ(gloom->type(), VXGloomGroup::kGloom);
    undo.undo();
    undo.undo();
    EXPECT_FALSE(pattern->autoTile());
    EXPECT_DOUBLE_EQ(pattern->interval(), 20);
    undo.redo();
    EXPECT_DOUBLE_EQ(pattern->interval(), 7);
    undo.undo();
    undo.undo();
    EXPECT_DOUBLE_EQ(hatching->spacing(), 8);

    // A motif image is one undoable change, and a locked style takes none.
    edit([&] { pattern->setImage(solidImage(QSize(2, 2), Qt::red)); });
    EXPECT_EQ(undo.undoActionName(), "Change Pattern Image");
    undo.undo();
    EXPECT_TRUE(pattern->image().isNull());
    edit([&] { style->setLocked(true); });
    edit([&] { hatching->setSpacing(30); });
    EXPECT_DOUBLE_EQ(hatching->spacing(), 8);
}

TEST(ComponentModel, SettersClampAndRefuse)
{
    VXHatching hatching;
    hatching.setSpacing(0);
    EXPECT_DOUBLE_EQ(hatching.spacing(), VXHatching::kMinimumSpacing);
    hatching.setAngleInDegrees(qQNaN());
    EXPECT_DOUBLE_EQ(hatching.angleInDegrees(), 45);
    hatching.setLineCapStyle(3);
    EXPECT_EQ(hatching.lineCapStyle(), 0);

    VXArrowStroke arrow;
    arrow.setArrowHeadAtEnd(42);
    EXPECT_EQ(arrow.arrowHeadAtEnd(), VXArrowStroke::kArrowHeadStandard);
    arrow.setDimensionToleranceOption(5); // a checkbox state: on
    EXPECT_EQ(arrow.dimensionToleranceOption(), 1);
    arrow.setArrowHeadWidth(-3);
    EXPECT_DOUBLE_EQ(arrow.arrowHeadWidth(), 0);

    VXZigZagStroke zigZag;
    zigZag.setWavelength(0);
    EXPECT_DOUBLE_EQ(zigZag.wavelength(), platform::ZigZagShape::kMinimumWavelength);
    zigZag.setSpread(3);
    EXPECT_DOUBLE_EQ(zigZag.spread(), 1);

    VXRepeatTransformGroup repeat;
    repeat.setNumberOfRepeats(-4);
    EXPECT_EQ(repeat.numberOfRepeats(), 0);
    repeat.setScaleY(0);
    EXPECT_GT(repeat.scaleY(), 0);
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
    const PathRenderable empty{platform::BezierPath()};
    platform::BezierPath broken;
    broken.moveToPoint(QPointF(qQNaN(), 1));
    broken.lineToPoint(QPointF(qInf(), 2));
    for (const VXRasterizerPtr& component :
         QList<VXRasterizerPtr>{std::make_shared<VXHatching>(), std::make_shared<VXArrowStroke>(),
                                std::make_shared<VXZigZagStroke>(), std::make_shared<VXFillPattern>()}) {
        EXPECT_EQ(componenttest::paintedBounds(render(*component, empty)), QRect())
            << qPrintable(component->className());
        EXPECT_EQ(componenttest::paintedBounds(render(*component, PathRenderable(broken))), QRect())
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

TEST(ComponentModel, BlursSpreadAPixelOverTheirKernel)
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
}

TEST(ComponentModel, IntensityScalingKeepsColoursPremultiplied)
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, qRgba(100, 50, 0, 160));
    platform::scaleIntensity(image, 2);
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 100, 0, 255));
    image.setPixel(0, 0, qRgba(150, 50, 0, 160));
    platform::scaleIntensity(image, 2);
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 100, 0, 255));
    platform::scaleIntensity(image, 0);
    EXPECT_EQ(image.pixel(0, 0), qRgba(0, 0, 0, 0));
}
