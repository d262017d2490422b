#include "tracks/MultiStyleDrawingList.h"

#include "platform/vantrix/drawables/RenderableWithPath.h"
#include "tracks/RangeStyleLayout.h"
#include "tracks/StrokeWidthSource.h"

namespace {

class PathStretch : public platform::RenderableWithPath, public StrokeWidthSource {
public:
    // Rasterizers caching per object tell the stretches apart by their checksums.
    PathStretch(const VXRenderable& path, platform::BezierPath stretch, quint64 index, double widest)
        : RenderableWithPath(path, std::move(stretch), {}, (index + 1) * 0x9E3779B97F4A7C15ULL), m_widest(widest)
    {
    }
    double widestStrokeWidth() const override { return m_widest; }

private:
    double m_widest;
};

bool looksAlike(const ZQRangeDrawingStyle& a, const ZQRangeDrawingStyle& b)
{
    return a.style() && b.style() && (a.style() == b.style() || a.style()->isEqualToStyle(b.style().get()));
}

} // namespace

MultiStyleDrawingList::MultiStyleDrawingList(const Contents& contents)
    : m_adornments(contents.adornments)
    , m_renderingPath(contents.renderingPath)
    , m_widest(contents.widestStrokeWidth)
    , m_undrawnEnds(contents.undrawnEnds)
{
    addMainStretches(contents, addShims(contents));
    quint64 index = m_main.size();
    for (const ZQRangeDrawingStylePtr& overlay : contents.overlays) {
        auto& layer = overlay->placement() == ZQOverlayPlacement::Below ? m_below : m_above;
        layer.append({overlay, stretchOf(overlay->range(), contents.pathLength), index++});
    }
}

platform::BezierPath MultiStyleDrawingList::stretchOf(const ZQStyleRange& range, double pathLength) const
{
    // A container's transform may have scaled the rendering path.
    const double scale = pathLength > 0 ? m_renderingPath.length() / pathLength : 0.0;
    const ZQStyleRange resolved = ZQResolvedStyleRange(range, pathLength);
    const double start = std::max(resolved.location, m_undrawnEnds.first);
    const double end = std::min(ZQMaxStyleRange(resolved), pathLength - m_undrawnEnds.second);
    if (!(end > start))
        return {};
    return m_renderingPath.bezierPathWithRange(start * scale, (end - start) * scale);
}

QList<ZQStyleRange> MultiStyleDrawingList::addShims(const Contents& contents)
{
    QList<ZQStyleRange> covering;
    if (contents.shimBlending == kZQShimBlendNone)
        return covering;
    const auto styleAt = [&](double position) {
        return RangeStyleLayout::mainStyleAtPosition(contents.styles, position, contents.pathLength);
    };
    for (const ZQRangeDrawingStylePtr& shim : contents.shims) {
        const ZQStyleRange covered = ZQResolvedStyleRange(shim->range(), contents.pathLength);
        const ZQRangeDrawingStylePtr before = styleAt(covered.location);
        const ZQRangeDrawingStylePtr after = styleAt(ZQMaxStyleRange(covered));
        if (covered.length <= 0 || !before || !after)
            continue;
        ShimBlender blender(before->style(), after->style(), contents.shimBlending,
                            stretchOf(covered, contents.pathLength));
        if (!blender.isNeeded())
            continue;
        covering.append(covered);
        m_shims.append(std::move(blender));
    }
    return covering;
}

void MultiStyleDrawingList::addMainStretches(const Contents& contents, const QList<ZQStyleRange>& shimRanges)
{
    struct Run {
        ZQRangeDrawingStylePtr style;
        double start;
        double end;
    };
    QList<Run> runs;
    for (const ZQRangeDrawingStylePtr& style : contents.styles) {
        const ZQStyleRange covered = ZQResolvedStyleRange(style->range(), contents.pathLength);
        double start = covered.location;
        double end = ZQMaxStyleRange(covered);
        // Shims take over the ends they cover.
        for (const ZQStyleRange& shim : shimRanges) {
            if (shim.location <= start && start < ZQMaxStyleRange(shim))
                start = ZQMaxStyleRange(shim);
            if (shim.location < end && end <= ZQMaxStyleRange(shim))
                end = shim.location;
        }
        if (!(end > start))
            continue;
        const bool continuesAlike = !runs.isEmpty() && start - runs.last().end < kZQStyleRangeTolerance
            && looksAlike(*runs.last().style, *style);
        if (continuesAlike)
            runs.last().end = end;
        else
            runs.append({style, start, end});
    }
    quint64 index = 0;
    for (const Run& run : std::as_const(runs)) {
        const ZQStyleRange range = ZQMakeAbsoluteStyleRange(run.start, run.end - run.start);
        m_main.append({run.style, stretchOf(range, contents.pathLength), index++});
    }
}

void MultiStyleDrawingList::drawCasing(const VXRenderable& path) const
{
    for (const Stretch& main : m_main)
        main.style->drawCasing(PathStretch(path, main.path, main.index, m_widest));
    for (const ShimBlender& shim : m_shims)
        shim.drawCasing();
}

void MultiStyleDrawingList::drawContentWithoutCasing(const VXRenderable& path) const
{
    const auto drawOverlays = [&](const QList<Stretch>& overlays) {
        for (const Stretch& overlay : overlays)
            overlay.style->drawContent(PathStretch(path, overlay.path, overlay.index, m_widest));
    };
    drawOverlays(m_below);
    for (const Stretch& main : m_main)
        main.style->drawContentWithoutCasing(PathStretch(path, main.path, main.index, m_widest));
    for (const ShimBlender& shim : m_shims)
        shim.drawContentWithoutCasing();
    for (const VXQAdornmentPtr& adornment : m_adornments)
        adornment->drawOnPath(m_renderingPath);
    drawOverlays(m_above);
}
