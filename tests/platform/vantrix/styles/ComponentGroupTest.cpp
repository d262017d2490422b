#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/vantrix/styles/VXBlendGroup.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"

#include <QtMath>

using componenttest::isWhite;
using componenttest::paintedBounds;
using styletest::colourNear;
using styletest::PathRenderable;
using styletest::render;

namespace {

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QRectF kSmallSquare(40, 40, 20, 20);

template <class Group>
std::shared_ptr<Group> groupWithFill(const QColor& colour)
{
    auto group = std::make_shared<Group>();
    group->addRenderer(VXFill::fillWithColour(colour));
    return group;
}

// How far colour reaches right of the small square along its middle row.
int reachBeyondRightEdge(const QImage& image)
{
    int x = 60;
    while (x < image.width() && !isWhite(image, x, 50))
        ++x;
    return x - 60;
}

} // namespace

TEST(ComponentGroup, RepeatsLieAtTheDeltas)
{
    const auto repeat = groupWithFill<VXRepeatTransformGroup>(kRed);
    repeat->setDeltaX(20);
    repeat->setDeltaY(0);
    repeat->setNumberOfRepeats(3);
    const QImage image = render(*repeat, PathRenderable::rectangle(QRectF(10, 10, 10, 10)));
    for (int x : {15, 35, 55, 75})
        EXPECT_TRUE(colourNear(image.pixelColor(x, 15), kRed, 0)) << x;
    for (int x : {25, 45, 65, 95})
        EXPECT_TRUE(isWhite(image, x, 15)) << x;
    EXPECT_EQ(repeat->extraSpaceNeeded(), QSizeF(60, 60));
}

TEST(ComponentGroup, RepeatStepsTurnAndScaleAboutTheObject)
{
    VXRepeatTransformGroup repeat;
    repeat.setDeltaX(10);
    repeat.setDeltaY(0);
    repeat.setDeltaAngle(M_PI / 2);
    repeat.setScaleX(2);
    const PathRenderable square = PathRenderable::rectangle(QRectF(40, 40, 20, 20), M_PI / 2);
    // One step: (60, 50) is 10 right of the centre; scaled 20, turned to below, moved right.
    EXPECT_TRUE(repeat.transformForCopyOfObject(0, square).isIdentity());
    const QPointF once = repeat.transformForCopyOfObject(1, square).map(QPointF(60, 50));
    EXPECT_NEAR(once.x(), 60, 1e-9);
    EXPECT_NEAR(once.y(), 70, 1e-9);
    repeat.setAngleIsRelative(true); // the move follows the object, turned a quarter: down
    const QPointF relative = repeat.transformForCopyOfObject(1, square).map(QPointF(50, 50));
    EXPECT_NEAR(relative.x(), 50, 1e-9);
    EXPECT_NEAR(relative.y(), 60, 1e-9);
}

TEST(ComponentGroup, BlendColourTintsLaterCopiesAndReversedPutsTheOriginalOnTop)
{
    const auto repeat = groupWithFill<VXRepeatTransformGroup>(kRed);
    repeat->setDeltaX(10);
    repeat->setDeltaY(0);
    repeat->setNumberOfRepeats(2);
    repeat->setBlendColour(kBlue);
    const PathRenderable square = PathRenderable::rectangle(QRectF(10, 40, 20, 20));
    QImage image = render(*repeat, square);
    EXPECT_TRUE(colourNear(image.pixelColor(12, 50), kRed, 0));                 // the original alone
    EXPECT_TRUE(colourNear(image.pixelColor(25, 50), QColor(127, 0, 128), 2)); // copy 1 over it, half tinted
    EXPECT_TRUE(colourNear(image.pixelColor(45, 50), kBlue, 0));                // the last copy, fully

    repeat->setReversed(true);
    image = render(*repeat, square);
    EXPECT_TRUE(colourNear(image.pixelColor(25, 50), kRed, 0));
    EXPECT_TRUE(colourNear(image.pixelColor(35, 50), QColor(127, 0, 128), 2));
}

TEST(ComponentGroup, BlurSpreadsColourBeyondTheEdge)
{
    const PathRenderable square = PathRenderable::rectangle(kSmallSquare);
    const auto blur = groupWithFill<VXCIFilterTypeBlurGroup>(kRed);
    blur->setBlurAmount(0);
    EXPECT_EQ(reachBeyondRightEdge(render(*blur, square)), 0);

    blur->setBlurAmount(6);
    QImage image = render(*blur, square);
    EXPECT_GE(reachBeyondRightEdge(image), 4);
    EXPECT_LE(reachBeyondRightEdge(image), 7);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kRed, 0));
    const QColor edge = image.pixelColor(60, 50); // just outside: partly coloured
    EXPECT_GT(edge.green(), 90);
    EXPECT_LT(edge.green(), 170);

    blur->setBlurType(VXCIFilterTypeBlurGroup::kMotionBlur); // horizontal: nothing above or below
    image = render(*blur, square);
    EXPECT_GE(reachBeyondRightEdge(image), 2);
    EXPECT_TRUE(isWhite(image, 50, 38));
    blur->setBlurAngle(90);
    image = render(*blur, square);
    EXPECT_EQ(reachBeyondRightEdge(image), 0);
    EXPECT_FALSE(isWhite(image, 50, 38));

    for (int type : {VXCIFilterTypeBlurGroup::kBoxBlur, VXCIFilterTypeBlurGroup::kDiscBlur}) {
        blur->setBlurType(type);
        EXPECT_GE(reachBeyondRightEdge(render(*blur, square)), 4) << type;
    }

    blur->setClipping(kVXClipInsidePath);
    EXPECT_EQ(reachBeyondRightEdge(render(*blur, square)), 0);
}

TEST(ComponentGroup, WideBlursReachAsFarFromACoarserLayer)
{
    const auto blur = groupWithFill<VXCIFilterTypeBlurGroup>(kRed);
    blur->setBlurAmount(48); // 1.5 times the sharpest layer blur
    const QImage image = render(*blur, PathRenderable::rectangle(QRectF(60, 60, 80, 80)), QSize(240, 240));
    const QRect painted = paintedBounds(image);
    EXPECT_NEAR(painted.center().x(), 100, 2);
    EXPECT_GE(painted.right(), 140 + 36);
    EXPECT_LE(painted.right(), 140 + 50);
    EXPECT_TRUE(colourNear(image.pixelColor(100, 100), kRed, 8));
}

TEST(ComponentGroup, BlurWorksInDevicePixelsOnAHighDensityImage)
{
    const auto blur = groupWithFill<VXCIFilterTypeBlurGroup>(kRed);
    blur->setBlurAmount(3);
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    image.setDevicePixelRatio(2);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        blur->render(PathRenderable::rectangle(kSmallSquare));
    }
    const QRect painted = paintedBounds(image);
    EXPECT_NEAR(painted.center().x(), 100, 1); // in place
    EXPECT_NEAR(painted.center().y(), 100, 1);
    EXPECT_GE(painted.width(), 40 + 2 * 4); // 3 units are 6 pixels each way
    EXPECT_LE(painted.width(), 40 + 2 * 7);
    EXPECT_TRUE(colourNear(image.pixelColor(100, 100), kRed, 0));
}

TEST(ComponentGroup, GloomAndBloomSpreadADimmedOrBrightenedCopy)
{
    const PathRenderable square = PathRenderable::rectangle(kSmallSquare);
    const auto glow = groupWithFill<VXGloomGroup>(QColor(200, 0, 0));
    glow->setType(VXGloomGroup::kBloom);
    glow->setRadius(6);
    QImage image = render(*glow, square);
    EXPECT_GE(reachBeyondRightEdge(image), 4);
    EXPECT_GT(image.pixelColor(50, 50).red(), 240); // brightened: its own blur added
    EXPECT_EQ(glow->displayName(), "Bloom Group");

    glow->setType(VXGloomGroup::kGloom);
    image = render(*glow, square);
    EXPECT_GE(reachBeyondRightEdge(image), 4);
    EXPECT_LT(image.pixelColor(50, 50).red(), 170); // darkened: multiplied by its blur

    glow->setIntensity(0); // no copy at all
    image = render(*glow, square);
    EXPECT_EQ(reachBeyondRightEdge(image), 0);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), QColor(200, 0, 0), 0));
}

TEST(ComponentGroup, BlendModeCombinesTheGroupWithWhatLiesBelow)
{
    VXRastGroup stack; // red below, blended blue above
    stack.addRenderer(VXFill::fillWithColour(kRed));
    const auto blend = groupWithFill<VXBlendGroup>(kBlue);
    stack.addRenderer(blend);
    const PathRenderable square = PathRenderable::rectangle(kSmallSquare);

    QImage image = render(stack, square); // multiply: red times blue is black
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), Qt::black, 0));
    blend->setBlendMode(QPainter::CompositionMode_SourceOver);
    image = render(stack, square);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), kBlue, 0));
    blend->setBlendMode(QPainter::CompositionMode_Screen);
    image = render(stack, square);
    EXPECT_TRUE(colourNear(image.pixelColor(50, 50), QColor(Qt::magenta), 0));
    blend->setBlendMode(QPainter::RasterOp_SourceXorDestination); // not a blend: ignored
    EXPECT_EQ(blend->blendMode(), int(QPainter::CompositionMode_Screen));
}
