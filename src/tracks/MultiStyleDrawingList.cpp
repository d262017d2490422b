#include "tracks/MultiStyleDrawingList.h"

#include "platform/vantrix/RenderableWithPath.h"
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

} // namespace

MultiStyleDrawingList::MultiStyleDrawingList(const Contents& contents)
    : m_adornments(contents.adornments), m_renderingPath(contents.renderingPath), m_widest(contents.widestStrokeWidth)
{
    const double pathLength = contents.pathLength;
    const double scale = pathLength > 0 ? m_renderingPath.length() / pathLength : 0.0;
    const auto stretchOf = [&](const ZQStyleRange& range) {
        const ZQStyleRange resolved = ZQResolvedStyleRange(range, pathLength);
        return m_renderingPath.bezierPathWithRange(resolved.location * scale, resolved.length * scale);
    };

    quint64 index = 0;
    QList<ZQStyleRange> shimRanges;
    for (const ZQRangeDrawingStylePtr& shim : contents.shims) {
        const ZQStyleRange covered = ZQResolvedStyleRange(shim->range(), pathLength);
        const auto before = RangeStyleLayout::mainStyleAtPosition(contents.styles, covered.location, pathLength);
        const auto after = RangeStyleLayout::mainStyleAtPosition(contents.styles, ZQMaxStyleRange(covered), pathLength);
        if (covered.length <= 0 || !before || !after)
            continue;
        shimRanges.append(covered);
        m_shims.append({ShimBlender(before->style(), after->style(), contents.shimBlending), stretchOf(covered), index++});
    }
    for (const ZQRangeDrawingStylePtr& style : contents.styles) {
        const ZQStyleRange covered = ZQResolvedStyleRange(style->range(), pathLength);
        double start = covered.location;
        double end = ZQMaxStyleRange(covered);
        // Shims take over the ends they cover.
        for (const ZQStyleRange& shim : std::as_const(shimRanges)) {
            if (shim.location <= start && start < ZQMaxStyleRange(shim))
                start = ZQMaxStyleRange(shim);
            if (shim.location < end && end <= ZQMaxStyleRange(shim))
                end = shim.location;
        }
        if (end > start)
            m_main.append({style, stretchOf(ZQMakeAbsoluteStyleRange(start, end - start)), index++});
    }
    for (const ZQRangeDrawingStylePtr& overlay : contents.overlays) {
        auto& layer = overlay->placement() == ZQOverlayPlacement::Below ? m_below : m_above;
        layer.append({overlay, stretchOf(overlay->range()), index++});
    }
}

void MultiStyleDrawingList::drawCasing(const VXRenderable& path) const
{
    for (const Stretch& main : m_main)
        main.style->drawCasing(PathStretch(path, main.path, main.index, m_widest));
    for (const Shim& shim : m_shims)
        shim.blender.drawCasing(PathStretch(path, shim.path, shim.index, m_widest), shim.path);
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
    for (const Shim& shim : m_shims)
        shim.blender.drawContentWithoutCasing(PathStretch(path, shim.path, shim.index, m_widest), shim.path);
    for (const VXQAdornmentPtr& adornment : m_adornments)
        adornment->drawOnPath(m_renderingPath);
    drawOverlays(m_above);
}
