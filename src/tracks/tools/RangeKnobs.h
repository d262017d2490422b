#pragma once

// The knobs a selected multi-style path shows on its range styles, and the range end each one
// moves. A knob sits at every boundary between main styles (while the path shows them) and at
// both ends of every overlay, in that order, which is also the order hit testing tries them.
// Boundary k, the end of main style k, is part kZQStyleBoundaryKnobPartBase + k; overlay i has
// its start knob at kZQOverlayKnobPartBase + 2i and its end knob one further.

#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QList>
#include <QPointF>

inline constexpr int kZQStyleBoundaryKnobPartBase = 64001;
inline constexpr int kZQOverlayKnobPartBase = 128001;

class RangeKnobs {
public:
    using RangeStyles = QList<ZQRangeDrawingStylePtr>;

    struct Knob {
        int part;
        double position; // length along the path
        int type;        // a VXKnob type
    };

    RangeKnobs(const RangeStyles& styles, const RangeStyles& overlays, double pathLength, bool showsBoundaries);

    const QList<Knob>& knobs() const { return m_knobs; }
    // The part of the first knob whose hit area, placed on `path`, holds the point;
    // kVXDrawingNoPart when there is none.
    int partHitByPoint(QPointF point, const platform::BezierPath& path) const;

    // Moves the range end of knob `part` to `position`: a boundary within the two styles it
    // divides (see RangeStyleLayout), an overlay end within the path, the overlay's range
    // normalised when the end crosses the other one. Answers false, leaving both lists alone,
    // for an overlay knob without an overlay.
    static bool dragKnob(int part, double position, double pathLength, RangeStyles& styles, RangeStyles& overlays);

private:
    QList<Knob> m_knobs;
};
