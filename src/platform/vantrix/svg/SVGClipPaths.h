#pragma once

// SVG clipPath elements as regions on the page. The drawing framework has no clipping
// group, so a clip is applied to geometry: the importer cuts each painted area (a fill, or
// a stroke's outline) to the region, which keeps the result editable paths.
//
// A region is the union of the clipPath's shapes under their clip-rule, in the clipPath's
// units and transform, cut further by the clipPath's own clip-path. Text inside a clipPath
// is not used (logged).

#include "platform/vantrix/svg/SVGStyleResolver.h"

#include <QPainterPath>
#include <QSet>
#include <QTransform>

#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace platform {

class SVGClipPaths {
public:
    // The outline of a basic shape or path element in its user units, none without geometry.
    using Geometry = std::function<std::optional<QPainterPath>(const SVGElement&, QSizeF viewport)>;
    // The bounding box, in its own user units, of an element's geometry.
    using ObjectBounds = std::function<QRectF()>;

    SVGClipPaths(const SVGElementTree& tree, const SVGStyleSheet& sheet, Geometry geometry)
        : m_tree(tree), m_sheet(sheet), m_geometry(std::move(geometry))
    {
    }

    // Where the clipPath `id` lets an element draw whose user units map to the page by
    // `toPage`; `objectBounds` is asked only for objectBoundingBox units. None when `id` names
    // no clipPath or the region is too complex to build: the element is then drawn unclipped.
    std::optional<QPainterPath> regionFor(const QString& id, const QTransform& toPage, QSizeF viewport,
                                          const ObjectBounds& objectBounds);

    // Whether `region` leaves all of `rect` visible, so clipping would change nothing.
    static bool covers(const QPainterPath& region, const QRectF& rect);
    // The part of `area` inside `region`; none when the two are too complex to intersect in
    // reasonable time, or the import has spent its time for clipping.
    std::optional<QPainterPath> intersected(const QPainterPath& area, const QPainterPath& region);

private:
    // The union of a clipPath's shapes in its own units, built once per clipPath and viewport.
    const std::optional<QPainterPath>& contentRegion(const SVGElement& clipPath, const SVGStyle& clipStyle,
                                                     QSizeF viewport);
    std::optional<QPainterPath> childArea(const SVGElement& child, const SVGStyle& clipStyle, QSizeF viewport);
    // Charges a boolean operation on paths this large; false when it would cost too much.
    bool spend(const QPainterPath& a, const QPainterPath& b);

    const SVGElementTree& m_tree;
    const SVGStyleSheet& m_sheet;
    Geometry m_geometry;
    QSet<SVGElement> m_inProgress; // clipPaths that clip themselves
    std::map<std::tuple<SVGElement, double, double>, std::optional<QPainterPath>> m_contentRegions;
    double m_work = 0;                     // of boolean operations so far, see spend()
};

} // namespace platform
