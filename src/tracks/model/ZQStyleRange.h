#pragma once

// A stretch of a path: where it starts and how long it is, either as fractions of the path
// length (relative) or in path-length units (absolute). A length of kZQStyleRangeRunsToEnd or
// more means "to the end of the path, however long it gets"; conversions keep that meaning.
//
// The functions take any input: values that are not numbers count as 0, so every answer is
// defined. Ranges come from archives written by anyone.

#include <QMetaType>
#include <QtGlobal>

enum ZQStyleRangeType : qint32 {
    kZQRelativeStyleRange = 0,
    kZQAbsoluteStyleRange = 1,
};

inline constexpr double kZQStyleRangeRunsToEnd = 10'000'000.0;
// Locations and lengths closer than this are the same.
inline constexpr double kZQStyleRangeTolerance = 0.01;

struct ZQStyleRange {
    double location = 0;
    double length = 0;
    qint32 rangeType = kZQAbsoluteStyleRange;
};

ZQStyleRange ZQMakeStyleRange(double location, double length, qint32 rangeType);
// Each value clamped to [0, kZQStyleRangeRunsToEnd]; NaN gives 0.
ZQStyleRange ZQMakeAbsoluteStyleRange(double location, double length);
// The whole of any path: from 0, running to the end.
ZQStyleRange ZQWholeStyleRange();

bool ZQStyleRangeRunsToEnd(const ZQStyleRange& range);
// Same type, and locations and lengths each within the tolerance (two ranges that both run
// to the end have equal lengths).
bool ZQEqualStyleRanges(const ZQStyleRange& a, const ZQStyleRange& b);
// The range in the other type against `pathLength`; a range that runs to the end still does.
// Against a path without length a relative range is empty.
ZQStyleRange ZQConvertStyleRange(const ZQStyleRange& range, qint32 rangeType, double pathLength);
// The absolute stretch the range covers on a path of that length: clipped to 0..pathLength,
// the end resolved, a negative length turned round.
ZQStyleRange ZQResolvedStyleRange(const ZQStyleRange& range, double pathLength);
// location + length.
double ZQMaxStyleRange(const ZQStyleRange& range);
// A negative length turned round: the same stretch, starting at its lower end.
ZQStyleRange ZQNormalizedStyleRange(const ZQStyleRange& range);
// `range` moved so its middle is the middle of `target`, keeping its length and type;
// unchanged when either runs to the end.
ZQStyleRange ZQCentreStyleRangeOnRange(const ZQStyleRange& range, const ZQStyleRange& target, double pathLength);
// The stretch seen from the other end of the path, same type.
ZQStyleRange ZQReversedStyleRange(const ZQStyleRange& range, double pathLength);
// location <= x <= location + length.
bool ZQLocationInStyleRange(const ZQStyleRange& range, double x);

Q_DECLARE_METATYPE(ZQStyleRange)
