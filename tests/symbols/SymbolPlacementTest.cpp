#include "symbols/placed/SymbolPlacement.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

void expectNear(QPointF actual, QPointF expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

} // namespace

TEST(SymbolPlacement, TransformingAPlacementComposesWithItsLocalTransformAndRefusesFlatOnes)
{
    SymbolPlacement placement;
    placement.location = {30, -20};
    placement.angle = 0.4;
    placement.scaleFactor = 1.5;
    const QPointF inGraphic(7, 3);

    // A turn and uniform scale about another point: the moved placement puts every point of
    // the graphic where the transform takes the old one.
    QTransform transform;
    transform.translate(5, 8).rotateRadians(-1.1).scale(2, 2);
    const std::optional<SymbolPlacement> moved = placement.transformedBy(transform);
    ASSERT_TRUE(moved);
    expectNear(moved->localTransform().map(inGraphic), transform.map(placement.localTransform().map(inGraphic)));
    EXPECT_NEAR(moved->angle, 0.4 - 1.1, 1e-12);
    EXPECT_NEAR(moved->scaleFactor, 3.0, 1e-12);

    // An uneven scale takes its smaller factor; a mirror does not flatten.
    EXPECT_NEAR(placement.transformedBy(QTransform::fromScale(4, 0.5))->scaleFactor, 0.75, 1e-12);
    EXPECT_NEAR(placement.transformedBy(QTransform::fromScale(-2, 2))->angle, 0.4 + std::numbers::pi, 1e-12);

    // A move keeps an archived scale beyond the setter's range untouched.
    placement.scaleFactor = 20;
    EXPECT_EQ(placement.transformedBy(QTransform::fromTranslate(3, 4))->scaleFactor, 20);
    EXPECT_EQ(placement.transformedBy(QTransform().rotate(90))->scaleFactor, 20);

    EXPECT_FALSE(placement.transformedBy(QTransform::fromScale(0, 3)));
    EXPECT_FALSE(placement.transformedBy(QTransform(1, 0, 0.01, 0, 1, 0, 0, 0, 1)));
    EXPECT_FALSE(placement.transformedBy(QTransform::fromScale(qInf(), 1)));
}

TEST(SymbolPlacement, AnAbsoluteAngleLeavesTheGraphicUnturnedAndTheScaleIsClamped)
{
    SymbolPlacement placement;
    placement.location = {10, 10};
    placement.angle = std::numbers::pi / 2;
    placement.scaleFactor = 2;
    expectNear(placement.localTransform().map(QPointF(1, 0)), {10, 12});
    placement.absoluteAngle = true;
    expectNear(placement.localTransform().map(QPointF(1, 0)), {12, 10});

    EXPECT_EQ(SymbolPlacement::clampedScaleFactor(0.05), 0.1);
    EXPECT_EQ(SymbolPlacement::clampedScaleFactor(25), 10.0);
    EXPECT_EQ(SymbolPlacement::clampedScaleFactor(3.5), 3.5);
}

TEST(SymbolPlacement, TheSizeHandleScalesByItsDistanceOverHalfTheDiagonal)
{
    const QRectF master(-3, -2, 6, 8); // diagonal 10
    expectNear(SymbolPlacement::sizeHandleInGraphic(master), {2, 5});
    EXPECT_DOUBLE_EQ(*SymbolPlacement::scaleFactorForSizeHandle({110, 100}, {100, 100}, master), 2.0);
    EXPECT_DOUBLE_EQ(*SymbolPlacement::scaleFactorForSizeHandle({97, 96}, {100, 100}, master), 1.0);
    EXPECT_EQ(*SymbolPlacement::scaleFactorForSizeHandle({100, 100}, {100, 100}, master), 0.0);
    EXPECT_FALSE(SymbolPlacement::scaleFactorForSizeHandle({5, 5}, {0, 0}, QRectF()));
    EXPECT_FALSE(SymbolPlacement::scaleFactorForSizeHandle({qInf(), 0}, {0, 0}, master));
}
