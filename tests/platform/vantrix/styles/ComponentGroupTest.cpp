#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "platform/vantrix/styles/VXBlendGroup.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"

#include <QtMath>

using componenttest::isWhite;
using componenttest::paintedBounds;
using styletest::coloursAt;
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

TEST(ComponentGroup, RepeatsStepTurnScaleAndTint)
{
    const auto repeat = groupWithFill<VXRepeatTransformGroup>(kRed);
    repeat->setDeltaX(20);
    repeat->setDeltaY(0);
    repeat->setNumberOfRepeats(3);
    QImage image = render(*repeat, PathRenderable::rectangle(QRectF(10, 10, 10, 10)));
    EXPECT_TRUE(coloursAt(image, {{15, 15}, {35, 15}, {55, 15}, {75, 15}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{25, 15}, {45, 15}, {65, 15}, {95, 15}}, Qt::white));
    EXPECT_EQ(repeat->extraSpaceNeeded(), QSizeF(60, 60));

    // The blend colour tints later copies, the last one fully; reversed puts the original on top.
    repeat->setDeltaX(10);
    repeat->setNumberOfRepeats(2);
    repeat->setBlendColour(kBlue);
    const PathRenderable square = PathRenderable::rectangle(QRectF(10, 40, 20, 20));
    image = render(*repeat, square);
    EXPECT_TRUE(coloursAt(image, {{12, 50}}, kRed));                    // the original alone
    EXPECT_TRUE(coloursAt(image, {{25, 50}}, QColor(127, 0, 128), 2)); // copy 1 over it, half tinted
    EXPECT_TRUE(coloursAt(image, {{45, 50}}, kBlue));
    repeat->setReversed(true);
    image = render(*repeat, square);
    EXPECT_TRUE(coloursAt(image, {{25, 50}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{35, 50}}, QColor(127, 0, 128), 2));

    // One step turns a quarter and doubles x about the object: (60, 50), 10 right of the centre,
    // becomes 20 below it, then moves right.
    VXRepeatTransformGroup turning;
    turning.setDeltaX(10);
    turning.setDeltaY(0);
    turning.setDeltaAngle(M_PI / 2);
    turning.setScaleX(2);
    const PathRenderable turned = PathRenderable::rectangle(QRectF(40, 40, 20, 20), M_PI / 2);
    EXPECT_TRUE(turning.transformForCopyOfObject(0, turned).isIdentity());
    EXPECT_LT(QLineF(turning.transformForCopyOfObject(1, turned).map(QPointF(60, 50)), QPointF(60, 70)).length(), 1e-9);
    turning.setAngleIsRelative(true); // the move follows the object, turned a quarter: down
    EXPECT_LT(QLineF(turning.transformForCopyOfObject(1, turned).map(QPointF(50, 50)), QPointF(50, 60)).length(), 1e-9);
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
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, kRed));
    EXPECT_TRUE(coloursAt(image, {{60, 50}}, QColor(255, 130, 130), 40)); // just outside: partly coloured

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

TEST(ComponentGroup, BlursReachAsFarFromACoarserLayerAndOnAHighDensityImage)
{
    const auto blur = groupWithFill<VXCIFilterTypeBlurGroup>(kRed);
    blur->setBlurAmount(48); // 1.5 times the sharpest layer blur
    QImage image = render(*blur, PathRenderable::rectangle(QRectF(60, 60, 80, 80)), QSize(240, 240));
    QRect painted = paintedBounds(image);
    EXPECT_NEAR(painted.center().x(), 100, 2);
    EXPECT_GE(painted.right(), 140 + 36);
    EXPECT_LE(painted.right(), 140 + 50);
    EXPECT_TRUE(coloursAt(image, {{100, 100}}, kRed, 8));

    blur->setBlurAmount(3); // 6 device pixels each way at two pixels per unit
    image = render(*blur, PathRenderable::rectangle(kSmallSquare), QSize(100, 100), 2);
    painted = paintedBounds(image);
    EXPECT_NEAR(painted.center().x(), 100, 1); // in place
    EXPECT_NEAR(painted.center().y(), 100, 1);
    EXPECT_GE(painted.width(), 40 + 2 * 4);
    EXPECT_LE(painted.width(), 40 + 2 * 7);
    EXPECT_TRUE(coloursAt(image, {{100, 100}}, kRed));
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

    glow->setType(VXGloomGroup::kGloom);
    image = render(*glow, square);
    EXPECT_GE(reachBeyondRightEdge(image), 4);
    EXPECT_LT(image.pixelColor(50, 50).red(), 170); // darkened: multiplied by its blur

    glow->setIntensity(0); // no copy at all
    image = render(*glow, square);
    EXPECT_EQ(reachBeyondRightEdge(image), 0);
    EXPECT_TRUE(coloursAt(image, {{50, 50}}, QColor(200, 0, 0)));
}

TEST(ComponentGroup, BlendModeCombinesTheGroupWithWhatLiesBelow)
{
    VXRastGroup stack; // red below, blended blue above
    stack.addRenderer(VXFill::fillWithColour(kRed));
    const auto blend = groupWithFill<VXBlendGroup>(kBlue);
    stack.addRenderer(blend);
    for (const auto& [mode, expected] : {std::pair{QPainter::CompositionMode_Multiply, QColor(Qt::black)},
                                         std::pair{QPainter::CompositionMode_SourceOver, kBlue},
                                         std::pair{QPainter::CompositionMode_Screen, QColor(Qt::magenta)}}) {
        blend->setBlendMode(mode);
        EXPECT_TRUE(coloursAt(render(stack, PathRenderable::rectangle(kSmallSquare)), {{50, 50}}, expected)) << mode;
    }
    blend->setBlendMode(QPainter::RasterOp_SourceXorDestination); // not a blend: ignored
    EXPECT_EQ(blend->blendMode(), int(QPainter::CompositionMode_Screen));
}
