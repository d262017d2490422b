// Style ranges: making, comparing within the tolerance, converting between relative and
// absolute, ranges that run to the end, and hostile numbers.

#include "tracks/model/ZQStyleRange.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

void expectRange(const ZQStyleRange& range, double location, double length, qint32 type)
{
    EXPECT_DOUBLE_EQ(range.location, location);
    EXPECT_DOUBLE_EQ(range.length, length);
    EXPECT_EQ(range.rangeType, type);
}

} // namespace

TEST(StyleRange, MakingAbsoluteRangesClampsEveryValue)
{
    expectRange(ZQMakeAbsoluteStyleRange(12.5, 30), 12.5, 30, kZQAbsoluteStyleRange);
    expectRange(ZQMakeAbsoluteStyleRange(-4, -1), 0, 0, kZQAbsoluteStyleRange);
    expectRange(ZQMakeAbsoluteStyleRange(kNaN, kNaN), 0, 0, kZQAbsoluteStyleRange);
    // An endless length runs to the end, and stays a finite number.
    const ZQStyleRange endless = ZQMakeAbsoluteStyleRange(kInfinity, kInfinity);
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(endless));
    EXPECT_DOUBLE_EQ(endless.length, kZQStyleRangeRunsToEnd);
    // Unknown types read as absolute.
    EXPECT_EQ(ZQMakeStyleRange(1, 2, 7).rangeType, kZQAbsoluteStyleRange);
}

TEST(StyleRange, EqualityHasATolerance)
{
    const ZQStyleRange a = ZQMakeAbsoluteStyleRange(10, 20);
    EXPECT_TRUE(ZQEqualStyleRanges(a, ZQMakeAbsoluteStyleRange(10.009, 19.991)));
    EXPECT_FALSE(ZQEqualStyleRanges(a, ZQMakeAbsoluteStyleRange(10.011, 20)));
    EXPECT_FALSE(ZQEqualStyleRanges(a, ZQMakeAbsoluteStyleRange(10, 20.02)));
    EXPECT_FALSE(ZQEqualStyleRanges(a, ZQMakeStyleRange(10, 20, kZQRelativeStyleRange)));
    // Two ranges to the end are the same however their lengths say it.
    EXPECT_TRUE(ZQEqualStyleRanges(ZQMakeAbsoluteStyleRange(5, 1e7), ZQMakeAbsoluteStyleRange(5, 5e7)));
    EXPECT_FALSE(ZQEqualStyleRanges(ZQMakeAbsoluteStyleRange(5, 1e7), ZQMakeAbsoluteStyleRange(5, 9'999'999)));
    EXPECT_FALSE(ZQEqualStyleRanges({kNaN, 1, 1}, {kNaN, 1, 1}));
}

TEST(StyleRange, ConvertsBetweenRelativeAndAbsolute)
{
    const ZQStyleRange relative = ZQMakeStyleRange(0.25, 0.5, kZQRelativeStyleRange);
    expectRange(ZQConvertStyleRange(relative, kZQAbsoluteStyleRange, 200), 50, 100, kZQAbsoluteStyleRange);
    expectRange(ZQConvertStyleRange(ZQMakeAbsoluteStyleRange(50, 100), kZQRelativeStyleRange, 200), 0.25, 0.5,
                kZQRelativeStyleRange);
    expectRange(ZQConvertStyleRange(relative, kZQRelativeStyleRange, 200), 0.25, 0.5, kZQRelativeStyleRange);
    // Running to the end survives both ways.
    const ZQStyleRange tail = ZQConvertStyleRange(ZQMakeAbsoluteStyleRange(50, 2e7), kZQRelativeStyleRange, 200);
    EXPECT_DOUBLE_EQ(tail.location, 0.25);
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(tail));
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(ZQConvertStyleRange(tail, kZQAbsoluteStyleRange, 400)));
    // A path without length (or with a broken one) has no fractions.
    expectRange(ZQConvertStyleRange(ZQMakeAbsoluteStyleRange(50, 100), kZQRelativeStyleRange, 0), 0, 0,
                kZQRelativeStyleRange);
    expectRange(ZQConvertStyleRange(relative, kZQAbsoluteStyleRange, kNaN), 0, 0, kZQAbsoluteStyleRange);
}

TEST(StyleRange, ResolvesToTheStretchOnThePath)
{
    expectRange(ZQResolvedStyleRange(ZQMakeAbsoluteStyleRange(40, 1e7), 100), 40, 60, kZQAbsoluteStyleRange);
    expectRange(ZQResolvedStyleRange(ZQMakeAbsoluteStyleRange(80, 50), 100), 80, 20, kZQAbsoluteStyleRange);
    // Beyond the path: empty, at its end.
    expectRange(ZQResolvedStyleRange(ZQMakeAbsoluteStyleRange(150, 10), 100), 100, 0, kZQAbsoluteStyleRange);
    // Backwards ranges turn round; relative ones scale.
    expectRange(ZQResolvedStyleRange(ZQMakeStyleRange(60, -20, kZQAbsoluteStyleRange), 100), 40, 20,
                kZQAbsoluteStyleRange);
    expectRange(ZQResolvedStyleRange(ZQMakeStyleRange(0.5, 0.25, kZQRelativeStyleRange), 100), 50, 25,
                kZQAbsoluteStyleRange);
}

TEST(StyleRange, MaxNormalizeAndMembership)
{
    EXPECT_DOUBLE_EQ(ZQMaxStyleRange(ZQMakeAbsoluteStyleRange(10, 15)), 25);
    expectRange(ZQNormalizedStyleRange(ZQMakeStyleRange(30, -10, kZQAbsoluteStyleRange)), 20, 10, kZQAbsoluteStyleRange);
    expectRange(ZQNormalizedStyleRange(ZQMakeAbsoluteStyleRange(30, 10)), 30, 10, kZQAbsoluteStyleRange);

    const ZQStyleRange range = ZQMakeAbsoluteStyleRange(10, 5);
    EXPECT_TRUE(ZQLocationInStyleRange(range, 10));
    EXPECT_TRUE(ZQLocationInStyleRange(range, 15));
    EXPECT_FALSE(ZQLocationInStyleRange(range, 9.999));
    EXPECT_FALSE(ZQLocationInStyleRange(range, 15.001));
    EXPECT_FALSE(ZQLocationInStyleRange(range, kNaN));
}

TEST(StyleRange, CentresOnAnotherRange)
{
    // Label 20 long centred on a selection 40..60 of a 200-long path.
    expectRange(ZQCentreStyleRangeOnRange(ZQMakeAbsoluteStyleRange(0, 20), ZQMakeAbsoluteStyleRange(40, 20), 200), 40,
                20, kZQAbsoluteStyleRange);
    // The target converts to the range's type first.
    expectRange(ZQCentreStyleRangeOnRange(ZQMakeStyleRange(0, 0.1, kZQRelativeStyleRange),
                                          ZQMakeAbsoluteStyleRange(100, 0), 200),
                0.45, 0.1, kZQRelativeStyleRange);
    // Ranges to the end stay where they are.
    const ZQStyleRange tail = ZQMakeAbsoluteStyleRange(30, 1e7);
    expectRange(ZQCentreStyleRangeOnRange(tail, ZQMakeAbsoluteStyleRange(0, 10), 200), 30, 1e7, kZQAbsoluteStyleRange);
    expectRange(ZQCentreStyleRangeOnRange(ZQMakeAbsoluteStyleRange(0, 10), tail, 200), 0, 10, kZQAbsoluteStyleRange);
}

TEST(StyleRange, ReversesAgainstThePathLength)
{
    expectRange(ZQReversedStyleRange(ZQMakeAbsoluteStyleRange(10, 30), 100), 60, 30, kZQAbsoluteStyleRange);
    expectRange(ZQReversedStyleRange(ZQMakeStyleRange(0.1, 0.3, kZQRelativeStyleRange), 100), 0.6, 0.3,
                kZQRelativeStyleRange);
    // The end seen from the other side is the start.
    expectRange(ZQReversedStyleRange(ZQMakeAbsoluteStyleRange(70, 1e7), 100), 0, 30, kZQAbsoluteStyleRange);
    // Reversing twice gives the range back.
    const ZQStyleRange range = ZQMakeAbsoluteStyleRange(12.5, 7.25);
    EXPECT_TRUE(ZQEqualStyleRanges(ZQReversedStyleRange(ZQReversedStyleRange(range, 80), 80), range));
}
