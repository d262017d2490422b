#pragma once

// The cross section of a terrain layer: a closed path from the section's grid line out to the
// profile of the heights along it, drawn as a smooth curve. Its container is the terrain
// layer. Selected, it shows a graticule of fine lines through its profile points, clipped to
// the profile, and knobs on its points.
//
// It is drawn in strips (see StripPainting.h): the profile of a noisy grid, drawn whole, kept a
// view waiting a tenth of a second per tile.
//
// Part codes: 0 nothing, -1 the section as a whole, i + 1 the knob of the path's element i.

#include "platform/vantrix/drawables/VXDrawablePath.h"

#include <optional>

class VXQContourCrossSection : public VXDrawablePath {
    Q_OBJECT

public:
    // Orange fill at alpha 0.15, red stroke 0.75 wide.
    static VXStylePtr sectionStyle();

    // Taller than wide.
    bool isVertical() const;
    // A line across the bounds through every line-to point: horizontal lines for a vertical
    // section, vertical ones for a horizontal section.
    const platform::BezierPath& graticule() const;

    void setPath(const platform::BezierPath& path) override;
    platform::BezierPath renderingPath() const override;
    QRectF logicalBounds() const override { return renderingPath().bounds(); }
    int hitPart(QPointF point) const override;
    void drawContent() const override;
    void drawSelectedState() const override;

private:
    mutable std::optional<platform::BezierPath> m_graticule;
    // Smoothed once per profile: drawing, hit testing and every mouse move ask for it.
    mutable std::optional<platform::BezierPath> m_smoothed;
};
