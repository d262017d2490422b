#pragma once

// What a multi-style path draws, cut from its rendering path once per change: the overlays
// below, the main styles (trimmed where shims take over), the shims, the adornments and the
// overlays above. Shims that would change nothing are left out (all of them without a
// blend), the main styles running to their boundaries. Neighbouring main styles that look
// alike draw as one stretch, so a translucent road shows no seam where they meet. Each
// stretch goes to its style as a renderable that stands in for the path and answers the
// path's widest stroke, so rasterizers that size themselves to the line they lie on
// (bridges) measure the road, not themselves.
//
// Immutable once made, so a path can hand it to drawing on other threads.

#include "platform/graphics/BezierPath.h"
#include "tracks/ShimBlender.h"
#include "tracks/VXQAdornment.h"
#include "tracks/ZQRangeDrawingStyle.h"

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
        // Lengths at the start and end that no stretch draws, in the ranges' measure.
        std::pair<double, double> undrawnEnds{0, 0};
    };

    explicit MultiStyleDrawingList(const Contents& contents);

    const std::pair<double, double>& undrawnEnds() const { return m_undrawnEnds; }

    // Into GraphicsContext::current(); `path` is the object the stretches stand in for.
    void drawCasing(const VXRenderable& path) const;
    void drawContentWithoutCasing(const VXRenderable& path) const;

private:
    // `index` tells the stretches' checksums apart, the same in both passes.
    struct Stretch {
        ZQRangeDrawingStylePtr style;
        platform::BezierPath path;
        quint64 index;
    };
    // The part of the rendering path a range covers; `pathLength` is what the range measures.
    platform::BezierPath stretchOf(const ZQStyleRange& range, double pathLength) const;
    // The shims worth drawing; answers the ranges they take over from the main styles.
    QList<ZQStyleRange> addShims(const Contents& contents);
    void addMainStretches(const Contents& contents, const QList<ZQStyleRange>& shimRanges);

    QList<Stretch> m_below;
    QList<Stretch> m_main;
    QList<ShimBlender> m_shims;
    QList<Stretch> m_above;
    QList<VXQAdornmentPtr> m_adornments;
    platform::BezierPath m_renderingPath;
    double m_widest;
    std::pair<double, double> m_undrawnEnds;
};
