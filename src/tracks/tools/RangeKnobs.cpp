#include "tracks/tools/RangeKnobs.h"

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/view/VXKnob.h"
#include "tracks/styles/RangeStyleLayout.h"

#include <algorithm>

RangeKnobs::RangeKnobs(const RangeStyles& styles, const RangeStyles& overlays, double pathLength, bool showsBoundaries)
{
    if (showsBoundaries) {
        const QList<double> positions = RangeStyleLayout::boundaryPositions(styles, pathLength);
        for (qsizetype k = 0; k < positions.size(); ++k)
            m_knobs.append({kZQStyleBoundaryKnobPartBase + int(k), positions[k], kVXBaselineKnobType});
    }
    for (qsizetype i = 0; i < overlays.size(); ++i) {
        const ZQStyleRange covered = ZQResolvedStyleRange(overlays[i]->range(), pathLength);
        const int startPart = kZQOverlayKnobPartBase + 2 * int(i);
        m_knobs.append({startPart, covered.location, kVXRangeStartKnobType});
        m_knobs.append({startPart + 1, ZQMaxStyleRange(covered), kVXRangeEndKnobType});
    }
}

int RangeKnobs::partHitByPoint(QPointF point, const platform::BezierPath& path) const
{
    const VXKnob& knobs = VXKnob::knobs();
    for (const Knob& knob : m_knobs)
        if (knobs.hitTestPointInKnobAtPointOfTypeUserInfo(point, path.pointOnPathAtLengthSlope(knob.position), knob.type, {}))
            return knob.part;
    return kVXDrawingNoPart;
}

bool RangeKnobs::dragKnob(int part, double position, double pathLength, RangeStyles& styles, RangeStyles& overlays)
{
    const int n = part - kZQOverlayKnobPartBase;
    if (n < 0) {
        styles = RangeStyleLayout::mainStylesWithBoundaryMoved(styles, part - kZQStyleBoundaryKnobPartBase, position,
                                                               pathLength);
        return true;
    }
    const int index = n / 2;
    if (index >= overlays.size())
        return false;
    const ZQStyleRange covered = ZQResolvedStyleRange(overlays[index]->range(), pathLength);
    const double at = std::clamp(position, 0.0, pathLength);
    const ZQStyleRange dragged = n % 2 == 0 ? ZQStyleRange{at, ZQMaxStyleRange(covered) - at, kZQAbsoluteStyleRange}
                                            : ZQStyleRange{covered.location, at - covered.location, kZQAbsoluteStyleRange};
    overlays[index] = overlays[index]->withRange(ZQNormalizedStyleRange(dragged));
    return true;
}
