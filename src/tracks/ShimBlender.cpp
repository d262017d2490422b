#include "tracks/ShimBlender.h"

#include "platform/vantrix/RenderableWithPath.h"
#include "tracks/ZQRangeDrawingStyle.h"

namespace {

// Steps overlap by this much so their butt ends leave no antialiased seam.
constexpr double kStepOverlap = 0.25;

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

QColor lerpColour(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF(), t)), float(lerp(a.greenF(), b.greenF(), t)),
                            float(lerp(a.blueF(), b.blueF(), t)), float(lerp(a.alphaF(), b.alphaF(), t)));
}

// The style's enabled strokes above its casing, bottom to top.
QList<VXStrokePtr> strokesAboveCasing(const VXStylePtr& style)
{
    QList<VXStrokePtr> strokes;
    if (!style)
        return strokes;
    const VXStrokePtr casing = ZQRangeDrawingStyle::casingStrokeOfStyle(*style);
    for (const VXRasterizerPtr& member : style->renderList())
        if (auto stroke = std::dynamic_pointer_cast<VXStroke>(member); stroke && stroke->enabled() && stroke != casing)
            strokes.append(stroke);
    return strokes;
}

} // namespace

ShimBlender::ShimBlender(VXStylePtr before, VXStylePtr after, int blending)
    : m_before(std::move(before)), m_after(std::move(after)), m_blending(blending)
{
}

void ShimBlender::drawCasing(const VXRenderable& object, const platform::BezierPath& stretch) const
{
    draw(object, stretch, true);
}

void ShimBlender::drawContentWithoutCasing(const VXRenderable& object, const platform::BezierPath& stretch) const
{
    draw(object, stretch, false);
}

void ShimBlender::draw(const VXRenderable& object, const platform::BezierPath& stretch, bool casing) const
{
    if (m_blending == kZQShimBlendNone)
        drawMeeting(object, stretch, casing);
    else
        drawGradually(stretch, casing);
}

void ShimBlender::drawMeeting(const VXRenderable& object, const platform::BezierPath& stretch, bool casing) const
{
    const double half = stretch.length() / 2;
    const std::pair<VXStylePtr, platform::BezierPath> halves[] = {
        {m_before, stretch.bezierPathWithRange(0, half)},
        {m_after, stretch.bezierPathWithRange(half, half)},
    };
    for (const auto& [style, path] : halves) {
        const auto rangeStyle = ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, ZQWholeStyleRange());
        const platform::RenderableWithPath half(object, path);
        if (casing)
            rangeStyle->drawCasing(half);
        else
            rangeStyle->drawContentWithoutCasing(half);
    }
}

void ShimBlender::drawGradually(const platform::BezierPath& stretch, bool casing) const
{
    const QList<StrokePair> pairs = strokePairs(casing);
    const double length = stretch.length();
    if (pairs.isEmpty() || !(length > 0))
        return;
    const double step = length / kSteps;
    for (int i = 0; i < kSteps; ++i) {
        const double t = (i + 0.5) / kSteps;
        const double start = std::max(0.0, i * step - kStepOverlap);
        const platform::BezierPath stepPath = stretch.bezierPathWithRange(start, std::min(length, (i + 1) * step) - start);
        for (const StrokePair& pair : pairs)
            if (const VXStrokePtr stroke = strokeAt(pair, t))
                stroke->renderPath(stepPath);
    }
}

QList<ShimBlender::StrokePair> ShimBlender::strokePairs(bool casing) const
{
    if (casing) {
        const VXStrokePtr before = m_before ? ZQRangeDrawingStyle::casingStrokeOfStyle(*m_before) : nullptr;
        const VXStrokePtr after = m_after ? ZQRangeDrawingStyle::casingStrokeOfStyle(*m_after) : nullptr;
        if (!before && !after)
            return {};
        return {{before, after}};
    }
    const QList<VXStrokePtr> before = strokesAboveCasing(m_before);
    const QList<VXStrokePtr> after = strokesAboveCasing(m_after);
    QList<StrokePair> pairs;
    for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i)
        pairs.append({before.value(i), after.value(i)});
    return pairs;
}

VXStrokePtr ShimBlender::strokeAt(const StrokePair& pair, double t) const
{
    const VXStrokePtr& near = t < 0.5 ? (pair.before ? pair.before : pair.after) : (pair.after ? pair.after : pair.before);
    if (!near)
        return nullptr;
    const double widthBefore = pair.before ? pair.before->width() : 0.0;
    const double widthAfter = pair.after ? pair.after->width() : 0.0;
    const QColor colourBefore = pair.before ? pair.before->colour() : near->colour();
    const QColor colourAfter = pair.after ? pair.after->colour() : near->colour();
    const QColor colour = m_blending == kZQShimBlendWidthAndColour ? lerpColour(colourBefore, colourAfter, t)
                                                                   : near->colour();
    auto stroke = VXStroke::strokeWithWidthColour(lerp(widthBefore, widthAfter, t), colour);
    stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
    stroke->setLateralOffset(lerp(pair.before ? pair.before->lateralOffset() : near->lateralOffset(),
                                  pair.after ? pair.after->lateralOffset() : near->lateralOffset(), t));
    return stroke;
}
