#pragma once

// The contour levels of a height grid: every multiple of the interval from the one at or
// below the lowest height up to the first strictly above the highest. The lowest of them is
// never drawn, so level i (from 0) is lowest + (i + 1) x interval, and the last lies above
// every height. Remainders are taken in single precision, as the heights are stored.

#include <QtGlobal>
#include <utility>

class ZQMatrixArray;

struct ContourLevels {
    // More levels than this in one drawing would stall it (a tiny interval); the rest are left out.
    static constexpr quint64 kMaximumCount = 1000;

    double lowest = 0; // the level at or below the lowest height, not drawn
    double highest = 0;
    double interval = 0;
    quint64 count = 0;

    double level(quint64 index) const { return lowest + double(index + 1) * interval; }
    bool operator==(const ContourLevels&) const = default;

    // No levels for an empty range (minimum above maximum), non-finite heights or an interval
    // that is not a positive, finite number.
    static ContourLevels forHeightsAtInterval(double minimum, double maximum, double interval);
    // The lowest and highest height of the grid, read in single precision (+inf, -inf for none).
    static std::pair<double, double> heightRangeOfGrid(const ZQMatrixArray* grid);
};
