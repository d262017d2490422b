#pragma once

// What the owner of a multi-style path does to its stretches at the path's ends, when it
// finishes the ends itself (a track at its junctions): the lengths at the start and at the end
// that no stretch draws, in the ranges' measure, and the areas that the strokes of the stretch
// at each end fill as they draw it.

#include "tracks/styles/StrokeAreas.h"

#include <array>
#include <utility>

struct StretchEnds {
    std::pair<double, double> undrawn{0, 0};
    // Indexed start, end.
    std::array<StrokeAreas, 2> areas;

    bool operator==(const StretchEnds&) const = default;
};
