#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "symbols/utilities/SymbolUtilities.h"
#include "tracks/VXQTrack.h"
#include "tracks/ZQMultiStylePath.h"

#include <gtest/gtest.h>

namespace {

VXDrawableObjectPtr box(QPointF at)
{
    return VXDrawableShape::drawableShapeWithRect({at, QSizeF(10, 10)}, drawingtest::fillStyle(Qt::red));
}

platform::BezierPath line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

} // namespace

TEST(SymbolUtilities, GroupsConvertToSymbolsOnlyWhenEveryMemberDoes)
{
    const VXDrawableObjectPtr shape = box({0, 0});
    const VXQTrackPtr track = VXQTrack::trackWithPathType(line({0, 0}, {50, 0}), kVXQRoadTrackType);
    const ZQMultiStylePathPtr road =
        ZQMultiStylePath::multiStylePathWithPathStyle(line({0, 20}, {80, 20}), drawingtest::strokeStyle(Qt::black, 2));

    EXPECT_TRUE(shape->canBeConvertedToSymbol());
    EXPECT_FALSE(track->canBeConvertedToSymbol());
    EXPECT_TRUE(std::make_shared<VXShapeGroup>()->canBeConvertedToSymbol()); // nothing in it says no

    const VXShapeGroupPtr plain = VXShapeGroup::groupWithObjects({box({0, 0}), box({20, 0})});
    EXPECT_TRUE(plain->canBeConvertedToSymbol());
    // A track two groups down still says no for the outer group.
    const VXShapeGroupPtr inner = VXShapeGroup::groupWithObjects({box({0, 40}), track});
    const VXShapeGroupPtr outer = VXShapeGroup::groupWithObjects({box({40, 40}), inner});
    EXPECT_FALSE(outer->canBeConvertedToSymbol());

    // A path carrying a track may not become a graphic; one carrying a plain shape may.
    EXPECT_TRUE(road->canBeConvertedToSymbol());
    road->addAdornmentWithObjectAtPositionDisplayName(box({0, 0}), 10, QStringLiteral("box"));
    EXPECT_TRUE(road->canBeConvertedToSymbol());
    road->addAdornmentWithObjectAtPositionDisplayName(
        VXQTrack::trackWithPathType(line({0, 0}, {5, 0}), kVXQRoadTrackType), 30, QStringLiteral("spur"));
    EXPECT_FALSE(road->canBeConvertedToSymbol());

    const VXDrawableObjectPtr first = box({0, 0});
    const VXDrawableObjectPtr last = box({9, 9});
    EXPECT_EQ(validSymbolDonorObjectsFromArray({first, track, outer, road, plain, nullptr, last}),
              (QList<VXDrawableObjectPtr>{first, plain, last}));
}
