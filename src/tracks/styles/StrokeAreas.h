#pragma once

// Areas that a range style's strokes fill as they draw a stretch: the near side of a junction,
// the half of a shim that continues the stretch. Filled in one go with the stroke's own outline,
// an area meets the stroke without an antialiased seam and costs no fill of its own.
//
// An area names its stroke by the stroke's place among the style's strokes (in the order of
// VXRastGroup::renderersOfClass<VXStroke>), which styles alike share, and carries the colour and
// pass it is filled with when no stretch's stroke can take it. Its subpaths turn the way stroke
// outlines do (see platform::strokePathAndFill). An area that carries the stroke on square from
// the stretch's first or last end has the stroke leave that end flat.

#include "platform/graphics/PolylineStroke.h"

#include <QColor>
#include <QList>
#include <QPainterPath>

struct StrokeArea {
    int stroke = 0;
    QPainterPath area;
    QColor colour;
    bool casing = false;
    platform::FlatEnds flat;

    bool operator==(const StrokeArea& other) const
    {
        return stroke == other.stroke && area == other.area && colour == other.colour && casing == other.casing
            && flat.first == other.flat.first && flat.last == other.flat.last;
    }
};

class StrokeAreas {
public:
    // Joins `area` to the one already there for the same stroke.
    void add(const StrokeArea& area);
    // The same for each, with the stroke leaving `flat` ends.
    void add(const StrokeAreas& areas, platform::FlatEnds flat = {});
    bool isEmpty() const { return m_areas.isEmpty(); }
    // The area of the stroke in that place, or null.
    const StrokeArea* areaOfStroke(int stroke) const;
    const QList<StrokeArea>& list() const { return m_areas; }

    // Fills each area with its colour into GraphicsContext::current(): those of one pass.
    void fillSeparately(bool casing) const;

    bool operator==(const StrokeAreas&) const = default;

private:
    QList<StrokeArea> m_areas;
};
