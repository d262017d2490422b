#pragma once

// The arithmetic of a multi-style path's range styles, apart from the path itself: main
// styles laid end to end, a style laid over a stretch, a boundary moved, and the shims between
// unlike neighbours. Ranges are measured against `pathLength`; answers are new lists of new
// range styles, as range styles never change.

#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QList>

class RangeStyleLayout {
public:
    using RangeStyles = QList<ZQRangeDrawingStylePtr>;

    // A shim is this many times the wider style's widest stroke long.
    static constexpr double kShimLengthPerStrokeWidth = 2.0;
    // A dragged boundary stays this far inside the two styles it divides.
    static constexpr double kShortestDraggedStretch = 1.0;

    // Sorted, contiguous from 0 with the last running to the end; entries without a style
    // dropped, neighbours sharing a style merged, and of two starting together the later kept.
    static RangeStyles normalizedMainStyles(RangeStyles styles, double pathLength);
    // `applied` laid over the main styles, cutting those it covers; a range reaching the end
    // of the path keeps to the end however the path grows. A range covering less than the
    // tolerance of the path changes nothing.
    static RangeStyles mainStylesWithStyleApplied(const RangeStyles& styles, const ZQRangeDrawingStylePtr& applied,
                                                  double pathLength);
    // The end of style k (where k + 1 begins) moved to `position`; unchanged when there is no
    // such boundary.
    static RangeStyles mainStylesWithBoundaryMoved(const RangeStyles& styles, int k, double position,
                                                   double pathLength);
    // Where each boundary lies: the start of every style after the first.
    static QList<double> boundaryPositions(const RangeStyles& styles, double pathLength);
    // The main style covering the position, ends included, the earlier at a boundary: the
    // first at or before 0, the last at or past the end. Null without styles.
    static ZQRangeDrawingStylePtr mainStyleAtPosition(const RangeStyles& styles, double position, double pathLength);
    // The parts of the styles over the stretch from..to, moved to start at 0; styles missing
    // it go. A range running to the end still does when the stretch reaches the end.
    static RangeStyles stylesOverStretch(const RangeStyles& styles, double from, double to, double pathLength);
    // A shim centred on each boundary between unlike styles, at most half as long as either.
    static RangeStyles shimsBetween(const RangeStyles& styles, double pathLength);
};
