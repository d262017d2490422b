#include "tracks/styles/MultiStyleDrawingList.h"

#include "platform/vantrix/drawables/RenderableWithPath.h"
#include "tracks/styles/RangeStyleLayout.h"
#include "tracks/styles/StrokeWidthSource.h"

#include <algorithm>
#include <cmath>

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
    , m_ends(contents.ends)
{
    const QList<ZQStyleRange> shimRanges = addShims(contents);
    addMainStretches(contents, shimRanges);
    handOverAreas(shimRanges, contents.pathLength);
    quint64 index = m_main.size();
    for (const ZQRangeDrawingStylePtr& overlay : contents.overlays) {
        auto& layer = overlay->placement() == ZQOverlayPlacement::Below ? m_below : m_above;
        layer.append({overlay, stretchOf(overlay->range(), contents.pathLength), index++, 0, 0, {}});
    }
}

platform::BezierPath MultiStyleDrawingList::stretchOf(const ZQStyleRange& range, double pathLength) const
{
    // A container's transform may have scaled the rendering path.
    const double scale = pathLength > 0 ? m_renderingPath.length() / pathLength : 0.0;
    const ZQStyleRange resolved = ZQResolvedStyleRange(range, pathLength);
    const double start = std::max(resolved.location, m_ends.undrawn.first);
    const double end = std::min(ZQMaxStyleRange(resolved), pathLength - m_ends.undrawn.second);
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
        m_main.append({run.style, stretchOf(range, contents.pathLength), index++, run.start, run.end, {}});
    }
}

void MultiStyleDrawingList::handOverAreas(const QList<ZQStyleRange>& shimRanges, double pathLength)
{
    const auto stretchAt = [this](auto meets) -> Stretch* {
        const auto found = std::find_if(m_main.begin(), m_main.end(), meets);
        return found == m_main.end() ? nullptr : &*found;
    };
    const auto meet = [](double a, double b) { return std::abs(a - b) < kZQStyleRangeTolerance; };
    // A shim's piece carries a stretch on from its flat end where the path runs straight on
    // into the shim; at a corner the end's square would leave a notch.
    const auto runsStraightOn = [](const platform::BezierPath& from, const platform::BezierPath& into) {
        constexpr double kTolerance = 0.02; // radians
        double leaving = 0;
        double entering = 0;
        from.pointOnPathAtLengthSlope(from.length(), &leaving);
        into.pointOnPathAtLengthSlope(0, &entering);
        return !from.isEmpty() && !into.isEmpty()
            && std::abs(std::remainder(leaving - entering, 2 * M_PI)) < kTolerance;
    };
    for (qsizetype i = 0; i < m_shims.size(); ++i) {
        const ZQStyleRange& covered = shimRanges[i];
        const platform::BezierPath shim = stretchOf(covered, pathLength);
        Stretch* before = stretchAt([&](const Stretch& main) { return meet(main.end, covered.location); });
        if (before && runsStraightOn(before->path, shim))
            before->areas.add(m_shims[i].takeContinuation(ShimBlender::Side::Before), {false, true});
        Stretch* after = stretchAt([&](const Stretch& main) { return meet(main.start, ZQMaxStyleRange(covered)); });
        if (after && runsStraightOn(shim, after->path))
            after->areas.add(m_shims[i].takeContinuation(ShimBlender::Side::After), {true, false});
    }
    // The first and last stretches reach the ends unless a shim covers them.
    const std::array<Stretch*, 2> atEnds = {
        m_main.isEmpty() || m_main.first().start > m_ends.undrawn.first + kZQStyleRangeTolerance ? nullptr
                                                                                                : &m_main.first(),
        m_main.isEmpty() || m_main.last().end < pathLength - m_ends.undrawn.second - kZQStyleRangeTolerance
            ? nullptr
            : &m_main.last()};
    // Near sides carry the strokes on square from their ends.
    if (atEnds[0])
        atEnds[0]->areas.add(m_ends.areas[0], {true, false});
    if (atEnds[1])
        atEnds[1]->areas.add(m_ends.areas[1], {false, true});
    for (size_t end = 0; end < atEnds.size(); ++end)
        if (!atEnds[end])
            m_looseAreas.add(m_ends.areas[end]);
}

void MultiStyleDrawingList::drawCasing(const VXRenderable& path) const
{
    for (const Stretch& main : m_main)
        main.style->drawCasing(PathStretch(path, main.path, main.index, m_widest), main.areas);
    for (const ShimBlender& shim : m_shims)
        shim.drawCasing();
    m_looseAreas.fillSeparately(true);
}

void MultiStyleDrawingList::drawContentWithoutCasing(const VXRenderable& path) const
{
    const auto drawOverlays = [&](const QList<Stretch>& overlays) {
        for (const Stretch& overlay : overlays)
            overlay.style->drawContent(PathStretch(path, overlay.path, overlay.index, m_widest));
    };
    drawOverlays(m_below);
    for (const Stretch& main : m_main)
        main.style->drawContentWithoutCasing(PathStretch(path, main.path, main.index, m_widest), main.areas);
    for (const ShimBlender& shim : m_shims)
        shim.drawContentWithoutCasing();
    m_looseAreas.fillSeparately(false);
    for (const VXQAdornmentPtr& adornment : m_adornments)
        adornment->drawOnPath(m_renderingPath);
    drawOverlays(m_above);
}
