#include "tracks/styles/RangeStyleLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Absolute start and end of a range; one running to the end ends at kZQStyleRangeRunsToEnd,
// past any path.
struct Interval {
    double start;
    double end;
};

Interval intervalOf(const ZQStyleRange& range, double pathLength)
{
    const ZQStyleRange absolute = ZQNormalizedStyleRange(ZQConvertStyleRange(range, kZQAbsoluteStyleRange, pathLength));
    const double end = ZQStyleRangeRunsToEnd(absolute) ? kZQStyleRangeRunsToEnd
                                                       : std::min(ZQMaxStyleRange(absolute), kZQStyleRangeRunsToEnd);
    return {absolute.location, end};
}

ZQStyleRange rangeOf(const Interval& interval)
{
    const double length = interval.end >= kZQStyleRangeRunsToEnd ? kZQStyleRangeRunsToEnd : interval.end - interval.start;
    return ZQMakeAbsoluteStyleRange(interval.start, length);
}

bool isEmpty(const Interval& interval)
{
    return interval.end - interval.start < kZQStyleRangeTolerance;
}

} // namespace

RangeStyleLayout::RangeStyles RangeStyleLayout::normalizedMainStyles(RangeStyles styles, double pathLength)
{
    styles.removeIf([](const ZQRangeDrawingStylePtr& s) { return !s || !s->style(); });
    std::stable_sort(styles.begin(), styles.end(), [pathLength](const auto& a, const auto& b) {
        return intervalOf(a->range(), pathLength).start < intervalOf(b->range(), pathLength).start;
    });
    RangeStyles result;
    QList<double> starts;
    for (const ZQRangeDrawingStylePtr& style : std::as_const(styles)) {
        const double start = result.isEmpty() ? 0.0 : intervalOf(style->range(), pathLength).start;
        if (!result.isEmpty() && start - starts.last() < kZQStyleRangeTolerance) {
            result.last() = style;
        } else if (result.isEmpty() || result.last()->style() != style->style()) {
            result.append(style);
            starts.append(start);
        }
    }
    for (qsizetype i = 0; i < result.size(); ++i) {
        const double end = i + 1 < result.size() ? starts[i + 1] : kZQStyleRangeRunsToEnd;
        result[i] = result[i]->withRange(rangeOf({starts[i], end}));
    }
    return result;
}

RangeStyleLayout::RangeStyles RangeStyleLayout::mainStylesWithStyleApplied(const RangeStyles& styles,
                                                                           const ZQRangeDrawingStylePtr& applied,
                                                                           double pathLength)
{
    Interval over = intervalOf(applied->range(), pathLength);
    // A sliver at the end would survive as an empty last style.
    if (!styles.isEmpty() && isEmpty({over.start, std::min(over.end, pathLength)}))
        return styles;
    if (over.end >= pathLength - kZQStyleRangeTolerance)
        over.end = kZQStyleRangeRunsToEnd;
    RangeStyles result;
    for (const ZQRangeDrawingStylePtr& existing : styles) {
        const Interval kept = intervalOf(existing->range(), pathLength);
        if (const Interval before{kept.start, std::min(kept.end, over.start)}; !isEmpty(before))
            result.append(existing->withRange(rangeOf(before)));
        if (const Interval after{std::max(kept.start, over.end), kept.end}; !isEmpty(after))
            result.append(existing->withRange(rangeOf(after)));
    }
    result.append(applied->withRange(rangeOf(over)));
    return normalizedMainStyles(result, pathLength);
}

RangeStyleLayout::RangeStyles RangeStyleLayout::mainStylesWithBoundaryMoved(const RangeStyles& styles, int k,
                                                                            double position, double pathLength)
{
    if (k < 0 || k + 1 >= styles.size() || std::isnan(position))
        return styles;
    const Interval before = intervalOf(styles[k]->range(), pathLength);
    const Interval after = intervalOf(styles[k + 1]->range(), pathLength);
    const double lowest = before.start + kShortestDraggedStretch;
    const double highest = std::min(after.end, pathLength) - kShortestDraggedStretch;
    if (highest < lowest)
        return styles;
    const double at = std::clamp(position, lowest, highest);
    RangeStyles result = styles;
    result[k] = styles[k]->withRange(rangeOf({before.start, at}));
    result[k + 1] = styles[k + 1]->withRange(rangeOf({at, after.end}));
    return result;
}

QList<double> RangeStyleLayout::boundaryPositions(const RangeStyles& styles, double pathLength)
{
    QList<double> positions;
    for (qsizetype k = 1; k < styles.size(); ++k)
        positions.append(ZQResolvedStyleRange(styles[k]->range(), pathLength).location);
    return positions;
}

ZQRangeDrawingStylePtr RangeStyleLayout::mainStyleAtPosition(const RangeStyles& styles, double position,
                                                             double pathLength)
{
    if (styles.isEmpty())
        return nullptr;
    if (!(position > 0))
        return styles.first();
    if (position >= pathLength)
        return styles.last();
    const auto covering = std::find_if(styles.cbegin(), styles.cend(), [&](const ZQRangeDrawingStylePtr& style) {
        return ZQLocationInStyleRange(ZQResolvedStyleRange(style->range(), pathLength), position);
    });
    return covering != styles.cend() ? *covering : styles.last();
}

RangeStyleLayout::RangeStyles RangeStyleLayout::stylesOverStretch(const RangeStyles& styles, double from, double to,
                                                                  double pathLength)
{
    const bool reachesEnd = to >= pathLength - kZQStyleRangeTolerance;
    RangeStyles result;
    for (const ZQRangeDrawingStylePtr& style : styles) {
        const Interval range = intervalOf(style->range(), pathLength);
        const Interval kept{std::max(range.start, from), std::min(range.end, to)};
        if (isEmpty(kept))
            continue;
        const bool runsOn = reachesEnd && range.end >= kZQStyleRangeRunsToEnd;
        result.append(style->withRange(rangeOf({kept.start - from, runsOn ? kZQStyleRangeRunsToEnd : kept.end - from})));
    }
    return result;
}

RangeStyleLayout::RangeStyles RangeStyleLayout::shimsBetween(const RangeStyles& styles, double pathLength)
{
    RangeStyles shims;
    for (qsizetype k = 0; k + 1 < styles.size(); ++k) {
        const VXStylePtr& before = styles[k]->style();
        const VXStylePtr& after = styles[k + 1]->style();
        if (before->isEqualToStyle(after.get()))
            continue;
        const ZQStyleRange first = ZQResolvedStyleRange(styles[k]->range(), pathLength);
        const ZQStyleRange second = ZQResolvedStyleRange(styles[k + 1]->range(), pathLength);
        const double wanted = kShimLengthPerStrokeWidth * std::max(before->maxStrokeWidth(), after->maxStrokeWidth());
        const double half = std::min({wanted, first.length, second.length}) / 2;
        if (half >= kZQStyleRangeTolerance)
            shims.append(ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(
                nullptr, ZQMakeAbsoluteStyleRange(second.location - half, 2 * half)));
    }
    return shims;
}
