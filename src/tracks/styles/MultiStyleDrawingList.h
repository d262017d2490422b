#pragma once

// What a multi-style path draws, cut from its rendering path once per change: the overlays
// below, the main styles (trimmed where shims take over), the shims, the adornments and the
// overlays above. Shims that would change nothing are left out (all of them without a
// blend), the main styles running to their boundaries. Neighbouring main styles that look
// alike draw as one stretch, so a translucent road shows no seam where they meet. Each
// stretch goes to its style as a renderable that stands in for the path and answers the
// path's widest stroke, so rasterizers that size themselves to the line they lie on
// (bridges) measure the road, not themselves. The pieces of shims that continue a main stretch
// in its colours, and the areas the path's owner gives the stretches at its ends, are filled
// by the stretch's strokes (see StrokeAreas); areas that no stretch can take, after the shims.
//
// Immutable once made, so a path can hand it to drawing on other threads.

#include "platform/graphics/BezierPath.h"
#include "tracks/styles/ShimBlender.h"
#include "tracks/model/StretchEnds.h"
#include "tracks/model/VXQAdornment.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QList>

class VXRenderable;

class MultiStyleDrawingList {
public:
    struct Contents {
        platform::BezierPath renderingPath;
        // The length the ranges measure, which a container's transform may scale when drawn.
        double pathLength = 0;
        QList<ZQRangeDrawingStylePtr> styles;
        QList<ZQRangeDrawingStylePtr> overlays;
        QList<ZQRangeDrawingStylePtr> shims;
        QList<VXQAdornmentPtr> adornments;
        int shimBlending = kZQShimBlendWidth;
        double widestStrokeWidth = 0;
        StretchEnds ends;
    };

    explicit MultiStyleDrawingList(const Contents& contents);

    const StretchEnds& ends() const { return m_ends; }

    // Into GraphicsContext::current(); `path` is the object the stretches stand in for.
    void drawCasing(const VXRenderable& path) const;
    void drawContentWithoutCasing(const VXRenderable& path) const;

private:
    // `index` tells the stretches' checksums apart, the same in both passes. Main stretches
    // know the range they cover, in the ranges' measure.
    struct Stretch {
        ZQRangeDrawingStylePtr style;
        platform::BezierPath path;
        quint64 index;
        double start = 0;
        double end = 0;
        StrokeAreas areas;
    };
    // The part of the rendering path a range covers; `pathLength` is what the range measures.
    platform::BezierPath stretchOf(const ZQStyleRange& range, double pathLength) const;
    // The shims worth drawing; answers the ranges they take over from the main styles.
    QList<ZQStyleRange> addShims(const Contents& contents);
    void addMainStretches(const Contents& contents, const QList<ZQStyleRange>& shimRanges);
    // Hands the stretches the shims' pieces and the end areas that continue them.
    void handOverAreas(const QList<ZQStyleRange>& shimRanges, double pathLength);

    QList<Stretch> m_below;
    QList<Stretch> m_main;
    QList<ShimBlender> m_shims;
    // End areas that no main stretch reaches.
    StrokeAreas m_looseAreas;
    QList<Stretch> m_above;
    QList<VXQAdornmentPtr> m_adornments;
    platform::BezierPath m_renderingPath;
    double m_widest;
    StretchEnds m_ends;
};
