#include "platform/vantrix/svg/SVGClipPaths.h"

#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/svg/SVGNumberScanner.h"
#include "platform/vantrix/svg/SVGTransformParser.h"

namespace platform {

namespace {

// Path boolean operations take time up to the square of the elements involved (paths that
// cross each other often); beyond these the clip is left out rather than stall the import.
constexpr qsizetype kMaximumElementsToIntersect = 10'000;
constexpr double kMaximumWork = 1e9; // elements squared, summed over the import: seconds at worst
// clipPaths clipped by clipPaths, each a boolean operation.
constexpr int kMaximumClipNesting = 8;

void logClip(const QString& message)
{
    LogEvent(kFileEvent, QStringLiteral("SVG import: %1").arg(message));
}

QTransform transformOf(const SVGElement& element)
{
    return SVGTransformParser::parse(element.attribute(QStringLiteral("transform"))).value_or(QTransform());
}

} // namespace

std::optional<QPainterPath> SVGClipPaths::regionFor(const QString& id, const QTransform& toPage, QSizeF viewport,
                                                    const ObjectBounds& objectBounds)
{
    const SVGElement clipPath = m_tree.elementById(id);
    if (!clipPath || clipPath.name() != u"clipPath") {
        logClip(QStringLiteral("clip-path \"%1\" names no clipPath; drawn unclipped").arg(id));
        return std::nullopt;
    }
    if (m_inProgress.contains(clipPath)) {
        logClip(QStringLiteral("clipPath \"%1\" clips itself; drawn unclipped").arg(id));
        return std::nullopt;
    }
    if (m_inProgress.size() >= kMaximumClipNesting) {
        logClip(QStringLiteral("clipPath \"%1\" ends a chain of more than %2 clipPaths clipping each other; drawn unclipped")
                    .arg(id)
                    .arg(kMaximumClipNesting));
        return std::nullopt;
    }
    QTransform units;
    if (clipPath.attribute(QStringLiteral("clipPathUnits")).trimmed() == u"objectBoundingBox") {
        const QRectF box = objectBounds();
        if (box.isEmpty())
            return QPainterPath(); // nothing to scale the clip to: nothing shows
        units = QTransform(box.width(), 0, 0, box.height(), box.x(), box.y());
    }
    const SVGStyle clipStyle = SVGStyleResolver::resolve(clipPath, SVGStyle(), m_sheet);
    const std::optional<QPainterPath>& content = contentRegion(clipPath, clipStyle, viewport);
    if (!content)
        return std::nullopt;
    const QPainterPath region = (units * transformOf(clipPath) * toPage).map(*content);
    if (clipStyle.clipPath.isEmpty())
        return region;
    m_inProgress.insert(clipPath);
    const std::optional<QPainterPath> outer = regionFor(clipStyle.clipPath, toPage, viewport, objectBounds);
    m_inProgress.remove(clipPath);
    return outer ? intersected(region, *outer) : region;
}

const std::optional<QPainterPath>& SVGClipPaths::contentRegion(const SVGElement& clipPath, const SVGStyle& clipStyle,
                                                              QSizeF viewport)
{
    const auto key = std::tuple(clipPath, viewport.width(), viewport.height());
    if (const auto found = m_contentRegions.find(key); found != m_contentRegions.end())
        return found->second;
    std::optional<QPainterPath> region{std::in_place};
    region->setFillRule(Qt::WindingFill);
    for (const SVGElement child : clipPath.children()) {
        const std::optional<QPainterPath> area = childArea(child, clipStyle, viewport);
        if (!area)
            continue;
        if (region->isEmpty()) {
            region = area;
        } else if (spend(*region, *area)) {
            region = region->united(*area);
        } else {
            logClip(QStringLiteral("clipPath \"%1\" is too complex; drawn unclipped")
                        .arg(clipPath.attribute(QStringLiteral("id"))));
            region.reset();
            break;
        }
    }
    return m_contentRegions.emplace(key, std::move(region)).first->second;
}

std::optional<QPainterPath> SVGClipPaths::childArea(const SVGElement& child, const SVGStyle& clipStyle, QSizeF viewport)
{
    if (child.name() == u"#text" || child.name() == u"title" || child.name() == u"desc")
        return std::nullopt;
    SVGStyle style = SVGStyleResolver::resolve(child, clipStyle, m_sheet);
    SVGElement shape = child;
    QTransform transform = transformOf(child);
    if (child.name() == u"use") {
        const QStringView href = child.attribute(QStringLiteral("href"));
        shape = href.startsWith(u'#') ? m_tree.elementById(href.sliced(1)) : SVGElement();
        if (!shape || shape.name() == u"use")
            return std::nullopt;
        const QTransform offset = QTransform::fromTranslate(
            parseSVGLength(child.attribute(QStringLiteral("x")), viewport.width()).value_or(0),
            parseSVGLength(child.attribute(QStringLiteral("y")), viewport.height()).value_or(0));
        transform = transformOf(shape) * offset * transform;
        style = SVGStyleResolver::resolve(shape, style, m_sheet);
    }
    if (!style.displayed || !style.visible)
        return std::nullopt;
    std::optional<QPainterPath> path = m_geometry(shape, viewport);
    if (!path) {
        logClip(QStringLiteral("<%1> inside a clipPath adds no area").arg(shape.name()));
        return std::nullopt;
    }
    path->setFillRule(style.clipRuleEvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    return transform.map(*path);
}

bool SVGClipPaths::covers(const QPainterPath& region, const QRectF& rect)
{
    return region.elementCount() <= kMaximumElementsToIntersect && region.contains(rect);
}

std::optional<QPainterPath> SVGClipPaths::intersected(const QPainterPath& area, const QPainterPath& region)
{
    if (!area.controlPointRect().intersects(region.controlPointRect()))
        return QPainterPath();
    if (!spend(area, region))
        return std::nullopt;
    return area.intersected(region);
}

bool SVGClipPaths::spend(const QPainterPath& a, const QPainterPath& b)
{
    const double elements = double(a.elementCount()) + double(b.elementCount());
    if (elements > kMaximumElementsToIntersect || m_work + elements * elements > kMaximumWork)
        return false;
    m_work += elements * elements;
    return true;
}

} // namespace platform
