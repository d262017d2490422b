#pragma once

// Makes gradient fills from SVG linearGradient and radialGradient elements: stops,
// gradientUnits, gradientTransform and attributes and stops inherited through href. The
// SVG gradient is laid out on the page and re-expressed in the fill's own terms: a linear
// gradient across the object's bounds (stops re-positioned, padding kept) or a radial one
// between a focal point and a circle.

#include "platform/vantrix/styles/VXGradient.h"
#include "platform/vantrix/svg/SVGStyleResolver.h"

#include <QRectF>
#include <QTransform>

#include <memory>

class VXRasterizer;

namespace platform {

class SVGGradientBuilder {
public:
    SVGGradientBuilder(const SVGElementTree& tree, const SVGStyleSheet& sheet) : m_tree(tree), m_sheet(sheet)
    {
    }

    bool isGradient(const QString& id) const;

    // Where the painted element is: its geometry's bounds in user units, the user-to-page
    // transform, its bounds on the page and the viewport that "%" refers to.
    struct Placement {
        QRectF userBounds;
        QTransform toPage;
        QRectF pageBounds;
        QSizeF viewport;
    };
    // A VXGradientFill, or a VXFill when the gradient is one colour; null when `id` names
    // no gradient or it has no stops (SVG paints nothing then).
    std::shared_ptr<VXRasterizer> fillFor(const QString& id, const Placement& placement, double opacity) const;
    // A single colour standing for the gradient (strokes cannot take gradients).
    QColor representativeColour(const QString& id, double opacity) const;

private:
    SVGElement gradientElement(const QString& id) const;
    // The attribute from the gradient or the first one up its href chain that has it.
    QStringView inheritedAttribute(const SVGElement& gradient, const QString& key) const;
    QList<VXGradient::ColourStop> stops(const SVGElement& gradient, double opacity) const;

    const SVGElementTree& m_tree;
    const SVGStyleSheet& m_sheet;
};

} // namespace platform
