#include "tracks/styles/ZQRangeDrawingStyle.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PolylineStroke.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QPainter>
#include <utility>

namespace {

const QString kStyleKey = QStringLiteral("ZQRangeDrawingStyle_style");
const QString kLocationKey = QStringLiteral("ZQRangeDrawingStyle_rangeLocation");
const QString kLengthKey = QStringLiteral("ZQRangeDrawingStyle_rangeLength");
const QString kRangeTypeKey = QStringLiteral("ZQRangeDrawingStyle_rangeType");
const QString kPlacementKey = QStringLiteral("ZQRangeDrawingStyle_placement");
const QString kDisplayNameKey = QStringLiteral("ZQRangeDrawingStyle_displayName");

// Runs `draw` with the style's antialiasing, faded by its opacity.
template <class Draw>
void drawFadedByStyle(const VXStyle& style, Draw draw)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || style.opacity() <= 0)
        return;
    QPainter* painter = context->painter();
    // Set and put back by hand: a saved state costs more than the short stretch it wraps.
    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    const double opacity = painter->opacity();
    painter->setRenderHint(QPainter::Antialiasing, VXStyle::shouldAntialias());
    if (style.opacity() < 1)
        painter->setOpacity(opacity * style.opacity());
    draw();
    if (style.opacity() < 1)
        painter->setOpacity(opacity);
    painter->setRenderHint(QPainter::Antialiasing, antialiased);
}

// How many strokes the member is or holds, as the style's renderersOfClass<VXStroke> counts them.
qsizetype strokesIn(const VXRasterizer& member)
{
    const auto* group = qobject_cast<const VXRastGroup*>(&member);
    return (qobject_cast<const VXStroke*>(&member) ? 1 : 0) + (group ? group->renderersOfClass<VXStroke>().size() : 0);
}

// A stroke drawn as nothing but its outline, which can take areas into its fill.
const VXStroke* plainStroke(const VXRasterizer& member)
{
    if (member.metaObject() != &VXStroke::staticMetaObject)
        return nullptr;
    const auto& stroke = static_cast<const VXStroke&>(member);
    const bool plain = !stroke.shadow() && stroke.clipping() == kVXNoClipping && stroke.width() > 0
                    && stroke.colour().isValid();
    return plain ? &stroke : nullptr;
}

// Draws the enabled members for which `drawn` holds, each filling the areas of its strokes.
template <class Drawn>
void drawMembers(const VXStyle& style, const VXRenderable& object, const StrokeAreas& areas, bool casing, Drawn drawn)
{
    int firstStroke = 0;
    for (const VXRasterizerPtr& member : style.renderList()) {
        const auto strokes = int(strokesIn(*member));
        const int first = std::exchange(firstStroke, firstStroke + strokes);
        if (!member->enabled() || !drawn(member))
            continue;
        const StrokeArea* area = strokes == 1 ? areas.areaOfStroke(first) : nullptr;
        if (const VXStroke* stroke = plainStroke(*member); stroke && area) {
            const platform::BezierPath styled = stroke->styledPath(object.renderingPath());
            platform::strokePathAndFill(*platform::GraphicsContext::current()->painter(), styled.painterPath(),
                                        styled.penWithColour(stroke->colour()), area->area, area->flat);
            continue;
        }
        member->render(object);
        StrokeAreas held;
        for (const StrokeArea& each : areas.list())
            if (each.stroke >= first && each.stroke < first + strokes)
                held.add(each);
        held.fillSeparately(casing);
    }
}

} // namespace

ZQRangeDrawingStyle::ZQRangeDrawingStyle() = default;

ZQRangeDrawingStyle::~ZQRangeDrawingStyle() = default;

ZQRangeDrawingStylePtr ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(const VXStylePtr& style,
                                                                            const ZQStyleRange& range,
                                                                            ZQOverlayPlacement placement,
                                                                            const QString& displayName)
{
    auto result = std::make_shared<ZQRangeDrawingStyle>();
    result->m_style = style;
    result->m_range = ZQMakeStyleRange(range.location, range.length, range.rangeType);
    result->m_placement = placement;
    result->m_displayName = displayName;
    return result;
}

ZQRangeDrawingStylePtr ZQRangeDrawingStyle::withRange(const ZQStyleRange& range) const
{
    return rangeDrawingStyleWithStyleRange(m_style, range, m_placement, m_displayName);
}

QString ZQRangeDrawingStyle::displayName() const
{
    if (!m_displayName.isEmpty())
        return m_displayName;
    return m_style ? m_style->name() : QString();
}

VXStrokePtr ZQRangeDrawingStyle::casingStrokeOfStyle(const VXStyle& style)
{
    QList<VXStrokePtr> strokes;
    bool strokeAtBottom = false;
    bool bottom = true;
    for (const VXRasterizerPtr& member : style.renderList()) {
        if (!member->enabled())
            continue;
        const auto stroke = std::dynamic_pointer_cast<VXStroke>(member);
        if (bottom)
            strokeAtBottom = stroke != nullptr;
        bottom = false;
        if (stroke)
            strokes.append(stroke);
    }
    if (!strokeAtBottom || strokes.size() < 2)
        return nullptr;
    const auto widest = std::max_element(strokes.cbegin(), strokes.cend(), [](const auto& a, const auto& b) {
        return a->width() < b->width();
    });
    return strokes.first()->width() >= (*widest)->width() ? strokes.first() : nullptr;
}

void ZQRangeDrawingStyle::drawCasing(const VXRenderable& object, const StrokeAreas& areas) const
{
    if (const VXStrokePtr casing = casingStroke())
        drawFadedByStyle(*m_style, [&] {
            drawMembers(*m_style, object, areas, true, [&](const VXRasterizerPtr& member) { return member == casing; });
        });
}

void ZQRangeDrawingStyle::drawContentWithoutCasing(const VXRenderable& object, const StrokeAreas& areas) const
{
    if (!m_style)
        return;
    const VXStrokePtr casing = casingStroke();
    if (!casing && (areas.isEmpty() || m_style->opacity() < 1)) {
        // A translucent style draws in a layer of its own, where areas cannot join its strokes.
        m_style->render(object);
        if (!areas.isEmpty())
            drawFadedByStyle(*m_style, [&] { areas.fillSeparately(false); });
        return;
    }
    // Member by member: a copy of the style without its casing would have to be made per draw.
    drawFadedByStyle(*m_style, [&] {
        drawMembers(*m_style, object, areas, false, [&](const VXRasterizerPtr& member) { return member != casing; });
    });
}

void ZQRangeDrawingStyle::drawContent(const VXRenderable& object) const
{
    if (m_style)
        m_style->render(object);
}

std::shared_ptr<ZQObject> ZQRangeDrawingStyle::copy() const
{
    return withRange(m_range);
}

void ZQRangeDrawingStyle::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_style.get(), kStyleKey);
    coder.encodeDouble(m_range.location, kLocationKey);
    coder.encodeDouble(m_range.length, kLengthKey);
    coder.encodeInt(m_range.rangeType, kRangeTypeKey);
    coder.encodeInt(int(m_placement), kPlacementKey);
    if (!m_displayName.isEmpty())
        coder.encodeString(m_displayName, kDisplayNameKey);
}

void ZQRangeDrawingStyle::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_style = reader.object<VXStyle>(kStyleKey);
    const auto type = qint32(reader.integer(kRangeTypeKey, kZQAbsoluteStyleRange, kZQRelativeStyleRange,
                                            kZQAbsoluteStyleRange));
    m_range = ZQMakeStyleRange(reader.real(kLocationKey, 0), reader.real(kLengthKey, 0), type);
    m_placement = ZQOverlayPlacement(reader.integer(kPlacementKey, 0, 0, 1));
    m_displayName = reader.string(kDisplayNameKey);
}
