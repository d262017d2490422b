#include "tracks/model/ZQStyleRange.h"

#include <algorithm>
#include <cmath>

namespace {

double finiteOrZero(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, -kZQStyleRangeRunsToEnd, kZQStyleRangeRunsToEnd);
}

double clampedToRange(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, kZQStyleRangeRunsToEnd);
}

double usableLength(double pathLength)
{
    return std::isfinite(pathLength) && pathLength > 0 ? pathLength : 0.0;
}

qint32 validType(qint32 type)
{
    return type == kZQRelativeStyleRange ? kZQRelativeStyleRange : kZQAbsoluteStyleRange;
}

// The length of a whole path in the range's own units.
double wholeLengthInType(qint32 type, double pathLength)
{
    return type == kZQRelativeStyleRange ? 1.0 : usableLength(pathLength);
}

} // namespace

ZQStyleRange ZQMakeStyleRange(double location, double length, qint32 rangeType)
{
    return {finiteOrZero(location), finiteOrZero(length), validType(rangeType)};
}

ZQStyleRange ZQMakeAbsoluteStyleRange(double location, double length)
{
    return {clampedToRange(location), clampedToRange(length), kZQAbsoluteStyleRange};
}

ZQStyleRange ZQWholeStyleRange()
{
    return {0.0, kZQStyleRangeRunsToEnd, kZQAbsoluteStyleRange};
}

bool ZQStyleRangeRunsToEnd(const ZQStyleRange& range)
{
    return range.length >= kZQStyleRangeRunsToEnd;
}

bool ZQEqualStyleRanges(const ZQStyleRange& a, const ZQStyleRange& b)
{
    if (a.rangeType != b.rangeType || !(std::abs(a.location - b.location) < kZQStyleRangeTolerance))
        return false;
    if (ZQStyleRangeRunsToEnd(a) || ZQStyleRangeRunsToEnd(b))
        return ZQStyleRangeRunsToEnd(a) && ZQStyleRangeRunsToEnd(b);
    return std::abs(a.length - b.length) < kZQStyleRangeTolerance;
}

ZQStyleRange ZQConvertStyleRange(const ZQStyleRange& range, qint32 rangeType, double pathLength)
{
    const ZQStyleRange clean = ZQMakeStyleRange(range.location, range.length, range.rangeType);
    const qint32 type = validType(rangeType);
    if (clean.rangeType == type)
        return clean;
    const double length = usableLength(pathLength);
    // Absolute to relative divides by the path length; a path without length has no fractions.
    const double factor = type == kZQAbsoluteStyleRange ? length : (length > 0 ? 1.0 / length : 0.0);
    const double convertedLength = ZQStyleRangeRunsToEnd(clean) ? kZQStyleRangeRunsToEnd : clean.length * factor;
    return ZQMakeStyleRange(clean.location * factor, convertedLength, type);
}

ZQStyleRange ZQResolvedStyleRange(const ZQStyleRange& range, double pathLength)
{
    const double length = usableLength(pathLength);
    const ZQStyleRange absolute = ZQNormalizedStyleRange(ZQConvertStyleRange(range, kZQAbsoluteStyleRange, length));
    const double start = std::clamp(absolute.location, 0.0, length);
    const double end = ZQStyleRangeRunsToEnd(absolute) ? length : std::clamp(ZQMaxStyleRange(absolute), 0.0, length);
    return {start, std::max(0.0, end - start), kZQAbsoluteStyleRange};
}

double ZQMaxStyleRange(const ZQStyleRange& range)
{
    return range.location + range.length;
}

ZQStyleRange ZQNormalizedStyleRange(const ZQStyleRange& range)
{
    if (!(range.length < 0))
        return range;
    return {range.location + range.length, -range.length, range.rangeType};
}

ZQStyleRange ZQCentreStyleRangeOnRange(const ZQStyleRange& range, const ZQStyleRange& target, double pathLength)
{
    if (ZQStyleRangeRunsToEnd(range) || ZQStyleRangeRunsToEnd(target))
        return range;
    const ZQStyleRange clean = ZQMakeStyleRange(range.location, range.length, range.rangeType);
    const ZQStyleRange onto = ZQConvertStyleRange(target, clean.rangeType, pathLength);
    const double middle = onto.location + onto.length / 2;
    return ZQMakeStyleRange(middle - clean.length / 2, clean.length, clean.rangeType);
}

ZQStyleRange ZQReversedStyleRange(const ZQStyleRange& range, double pathLength)
{
    const ZQStyleRange clean = ZQNormalizedStyleRange(ZQMakeStyleRange(range.location, range.length, range.rangeType));
    const double whole = wholeLengthInType(clean.rangeType, pathLength);
    if (ZQStyleRangeRunsToEnd(clean))
        return ZQMakeStyleRange(0, std::max(0.0, whole - clean.location), clean.rangeType);
    return ZQMakeStyleRange(whole - ZQMaxStyleRange(clean), clean.length, clean.rangeType);
}

bool ZQLocationInStyleRange(const ZQStyleRange& range, double x)
{
    return range.location <= x && x <= ZQMaxStyleRange(range);
}
