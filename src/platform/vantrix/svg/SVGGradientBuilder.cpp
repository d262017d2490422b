#include "platform/vantrix/svg/SVGGradientBuilder.h"

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/svg/SVGNumberScanner.h"
#include "platform/vantrix/svg/SVGTransformParser.h"

#include <algorithm>

#include <cmath>

namespace platform {

namespace {

using ColourStop = VXGradient::ColourStop;

// href chains longer than this are treated as cycles.
constexpr int kMaximumHrefChain = 32;

QString hrefId(const SVGElement& element)
{
    const QStringView href = element.attribute(QStringLiteral("href"));
    return href.startsWith(u'#') ? href.sliced(1).toString() : QString();
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    const auto lerp = [t](float x, float y) { return x + float(t) * (y - x); };
    return QColor::fromRgbF(lerp(a.redF(), b.redF()), lerp(a.greenF(), b.greenF()), lerp(a.blueF(), b.blueF()),
                            lerp(a.alphaF(), b.alphaF()));
}

// The colour of padded stops at `position`.
QColor colourAt(const QList<ColourStop>& stops, double position)
{
    if (position <= stops.first().position)
        return stops.first().colour;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        if (position <= stops[i].position) {
            const double span = stops[i].position - stops[i - 1].position;
            return span > 0 ? mix(stops[i - 1].colour, stops[i].colour, (position - stops[i - 1].position) / span)
                            : stops[i].colour;
        }
    }
    return stops.last().colour;
}

// Stops placed at `mapped` positions, cut to 0..1 with the colours found at the cuts.
QList<ColourStop> clippedStops(QList<ColourStop> stops)
{
    if (stops.first().position > stops.last().position)
        std::reverse(stops.begin(), stops.end());
    QList<ColourStop> clipped{{colourAt(stops, 0), 0}};
    for (const ColourStop& stop : stops) {
        if (stop.position > 0 && stop.position < 1)
            clipped.append(stop);
    }
    clipped.append({colourAt(stops, 1), 1});
    return clipped;
}

} // namespace

SVGElement SVGGradientBuilder::gradientElement(const QString& id) const
{
    const SVGElement element = m_tree.elementById(id);
    if (element && (element.name() == u"linearGradient" || element.name() == u"radialGradient"))
        return element;
    return {};
}

bool SVGGradientBuilder::isGradient(const QString& id) const
{
    return bool(gradientElement(id));
}

QStringView SVGGradientBuilder::inheritedAttribute(const SVGElement& gradient, const QString& key) const
{
    SVGElement element = gradient;
    for (int step = 0; element && step < kMaximumHrefChain; ++step) {
        if (element.hasAttribute(key))
            return element.attribute(key);
        element = gradientElement(hrefId(element));
    }
    return {};
}

QList<ColourStop> SVGGradientBuilder::stops(const SVGElement& gradient, double opacity) const
{
    SVGElement element = gradient;
    for (int step = 0; element && step < kMaximumHrefChain; ++step) {
        QList<ColourStop> stops;
        for (const SVGElement child : element.children()) {
            if (child.name() != u"stop" || stops.size() == VXGradient::kMaximumStops)
                continue;
            const SVGStyle style = SVGStyleResolver::resolve(child, SVGStyle(), m_sheet);
            const QStringView offsetText = child.attribute(QStringLiteral("offset")).trimmed();
            const bool percent = offsetText.endsWith(u'%');
            const double offset = parseSVGLength(percent ? offsetText.chopped(1) : offsetText, 0).value_or(0);
            const double previous = stops.isEmpty() ? 0.0 : stops.last().position;
            QColor colour = style.stopColour;
            colour.setAlphaF(float(colour.alphaF() * style.stopOpacity * opacity));
            stops.append({colour, std::max(previous, std::clamp(percent ? offset / 100 : offset, 0.0, 1.0))});
        }
        if (!stops.isEmpty())
            return stops;
        element = gradientElement(hrefId(element));
    }
    return {};
}

QColor SVGGradientBuilder::representativeColour(const QString& id, double opacity) const
{
    const SVGElement gradient = gradientElement(id);
    const QList<ColourStop> colourStops = gradient ? stops(gradient, opacity) : QList<ColourStop>();
    return colourStops.isEmpty() ? QColor() : colourAt(colourStops, 0.5);
}

std::shared_ptr<VXRasterizer> SVGGradientBuilder::fillFor(const QString& id, const Placement& placement,
                                                          double opacity) const
{
    const SVGElement gradient = gradientElement(id);
    if (!gradient)
        return nullptr;
    QList<ColourStop> colourStops = stops(gradient, opacity);
    if (colourStops.isEmpty())
        return nullptr;
    if (colourStops.size() == 1)
        return VXFill::fillWithColour(colourStops.first().colour);

    const bool userSpace = inheritedAttribute(gradient, QStringLiteral("gradientUnits")) == u"userSpaceOnUse";
    const QRectF box = placement.userBounds;
    // Bounding-box units take plain fractions; percentages are fractions too.
    const auto coordinate = [&](const QString& key, QStringView fallback, double percentBase) {
        const QStringView text = inheritedAttribute(gradient, key);
        const QStringView value = text.isEmpty() ? fallback : text;
        return parseSVGLength(value, userSpace ? percentBase : 1.0).value_or(0);
    };
    const double width = placement.viewport.width();
    const double height = placement.viewport.height();
    const double diagonal = std::hypot(width, height) / std::sqrt(2.0);
    QTransform toPage = SVGTransformParser::parse(inheritedAttribute(gradient, QStringLiteral("gradientTransform")))
                            .value_or(QTransform());
    if (!userSpace)
        toPage *= QTransform(box.width(), 0, 0, box.height(), box.x(), box.y());
    toPage *= placement.toPage;
    const QRectF bounds = placement.pageBounds;

    auto fill = std::make_shared<VXGradientFill>();
    fill->setAngleIsRelative(false);
    if (gradient.name() == u"linearGradient") {
        const QPointF start = toPage.map(QPointF(coordinate(QStringLiteral("x1"), QStringLiteral("0%"), width),
                                                 coordinate(QStringLiteral("y1"), QStringLiteral("0%"), height)));
        const QPointF end = toPage.map(QPointF(coordinate(QStringLiteral("x2"), QStringLiteral("100%"), width),
                                               coordinate(QStringLiteral("y2"), QStringLiteral("0%"), height)));
        const QPointF vector = end - start;
        if (QPointF::dotProduct(vector, vector) < 1e-18)
            return VXFill::fillWithColour(colourStops.last().colour);
        const double angle = std::atan2(vector.y(), vector.x());
        const QPointF direction(std::cos(angle), std::sin(angle));
        // The fill spans the bounds' projection on the direction, through their centre.
        const double half = (bounds.width() * std::abs(direction.x()) + bounds.height() * std::abs(direction.y())) / 2;
        if (half <= 0)
            return VXFill::fillWithColour(colourStops.last().colour);
        const double t0 = QPointF::dotProduct(start - bounds.center(), direction);
        const double t1 = QPointF::dotProduct(end - bounds.center(), direction);
        for (ColourStop& stop : colourStops)
            stop.position = (t0 + stop.position * (t1 - t0) + half) / (2 * half);
        fill->setGradientType(VXGradientFill::kLinearGradient);
        fill->setGradientAngle(angle);
        fill->setGradient(VXGradient::gradientWithColourStops(clippedStops(colourStops)));
    } else {
        const double cx = coordinate(QStringLiteral("cx"), QStringLiteral("50%"), width);
        const double cy = coordinate(QStringLiteral("cy"), QStringLiteral("50%"), height);
        const QStringView fx = inheritedAttribute(gradient, QStringLiteral("fx"));
        const QStringView fy = inheritedAttribute(gradient, QStringLiteral("fy"));
        const QPointF centre = toPage.map(QPointF(cx, cy));
        const QPointF focus = toPage.map(QPointF(fx.isEmpty() ? cx : coordinate(QStringLiteral("fx"), fx, width),
                                                 fy.isEmpty() ? cy : coordinate(QStringLiteral("fy"), fy, height)));
        const double radius = coordinate(QStringLiteral("r"), QStringLiteral("50%"), diagonal)
            * std::sqrt(std::abs(toPage.determinant()));
        fill->setGradientType(VXGradientFill::kRadialGradient);
        fill->setRadialParametersAreRelative(false);
        fill->setStartingLocation(focus - bounds.center());
        fill->setStartingRadius(0);
        fill->setEndingLocation(centre - bounds.center());
        fill->setEndingRadius(radius);
        fill->setGradient(VXGradient::gradientWithColourStops(colourStops));
    }
    return fill;
}

} // namespace platform
