#include "tracks/rasterizers/VXQBridgeRasterizer.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "tracks/styles/StrokeWidthSource.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr double kDefaultLineWidth = 2.0;
constexpr double kMinimumReadSize = 1.0;
// Wing walls splay out at 45 degrees, this fraction of the bridge width long.
constexpr double kWingProportion = 0.3;
// Corners sharper than this get a bevel rather than a long miter.
constexpr double kMiterLimit = 4.0;
// Beyond this many piers on one object they are drawn further apart.
constexpr double kMaximumPierCount = 100000;

QPointF rightNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    return QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
}

QPolygonF withoutRepeatedPoints(const QPolygonF& polyline)
{
    QPolygonF points;
    for (const QPointF& p : polyline)
        if (points.isEmpty() || QLineF(points.last(), p).length() > 1e-9)
            points.append(p);
    return points;
}

// The open polyline `distance` to the right of travel, mitered at corners.
QPolygonF parallelPolyline(const QPolygonF& polyline, double distance)
{
    const QPolygonF points = withoutRepeatedPoints(polyline);
    const qsizetype n = points.size();
    QPolygonF result;
    if (n < 2)
        return result;
    result.append(points[0] + rightNormal(points[0], points[1]) * distance);
    for (qsizetype i = 1; i < n - 1; ++i) {
        const QPointF in = rightNormal(points[i - 1], points[i]);
        const QPointF out = rightNormal(points[i], points[i + 1]);
        const double cosHalf = std::sqrt(std::max(0.0, (1 + QPointF::dotProduct(in, out)) / 2));
        if (cosHalf < 1 / kMiterLimit) {
            result.append(points[i] + in * distance);
            result.append(points[i] + out * distance);
        } else {
            const QPointF sum = in + out;
            result.append(points[i] + sum / std::hypot(sum.x(), sum.y()) * (distance / cosHalf));
        }
    }
    result.append(points[n - 1] + rightNormal(points[n - 2], points[n - 1]) * distance);
    return result;
}

// A wing leaving `end` of a parapet, away from the bridge and away from the path.
QPointF wingEnd(QPointF end, QPointF awayFromBridge, QPointF awayFromPath, double wing)
{
    const QPointF a = awayFromBridge / std::hypot(awayFromBridge.x(), awayFromBridge.y());
    return end + (a + awayFromPath) * (wing / M_SQRT2);
}

} // namespace

VXQBridgeRasterizer::Dimensions VXQBridgeRasterizer::automaticDimensionsForStrokeWidth(double strokeWidth)
{
    const double span = strokeWidth * M_SQRT2;
    return {span, span * 0.125, span * 0.25, span * 2};
}

VXQBridgeRasterizer::VXQBridgeRasterizer()
{
    const RestoringScope restoring(this);
    setWidth(kDefaultLineWidth);
    setLineCapStyle(int(platform::LineCapStyle::Round));
    setLineJoinStyle(int(platform::LineJoinStyle::Round));
}

QString VXQBridgeRasterizer::displayName() const
{
    return tr("Bridge");
}

double VXQBridgeRasterizer::bridgeWidth() const
{
    return std::max(m_bridgeWidth, kMinimumReadSize);
}

void VXQBridgeRasterizer::setBridgeWidth(double width)
{
    setValueForKeyWithUndo(m_bridgeWidth, std::max(width, 0.0), "bridgeWidth");
}

void VXQBridgeRasterizer::setPierSize(double size)
{
    setValueForKeyWithUndo(m_pierSize, std::max(size, 0.0), "pierSize");
}

double VXQBridgeRasterizer::pierSpacing() const
{
    return std::max(m_pierSpacing, kMinimumReadSize);
}

void VXQBridgeRasterizer::setPierSpacing(double spacing)
{
    setValueForKeyWithUndo(m_pierSpacing, std::max(spacing, 0.0), "pierSpacing");
}

void VXQBridgeRasterizer::setSizesAutomatically(bool automatic)
{
    setValueForKeyWithUndo(m_sizesAutomatically, automatic, "sizesAutomatically");
}

VXQBridgeRasterizer::Dimensions VXQBridgeRasterizer::dimensionsForObject(const VXRenderable& object) const
{
    if (m_sizesAutomatically) {
        const auto* source = dynamic_cast<const StrokeWidthSource*>(&object);
        if (const double widest = source ? source->widestStrokeWidth() : 0; widest > 0 && std::isfinite(widest))
            return automaticDimensionsForStrokeWidth(widest);
    }
    return manualDimensions();
}

VXQBridgeRasterizer::Dimensions VXQBridgeRasterizer::manualDimensions() const
{
    return {bridgeWidth(), width(), m_pierSize, pierSpacing()};
}

QPainterPath VXQBridgeRasterizer::parapetPathForPath(const platform::BezierPath& path,
                                                     const Dimensions& dimensions) const
{
    QPainterPath parapets;
    const double wing = dimensions.bridgeWidth * kWingProportion;
    for (const QPolygonF& polyline : path.painterPath().toSubpathPolygons()) {
        for (const double side : {-1.0, 1.0}) {
            QPolygonF parapet = parallelPolyline(polyline, side * dimensions.bridgeWidth / 2);
            if (parapet.size() < 2)
                continue;
            const QPointF outward = rightNormal(parapet[0], parapet[1]) * side;
            const QPointF outwardAtEnd = rightNormal(parapet[parapet.size() - 2], parapet.last()) * side;
            parapet.prepend(wingEnd(parapet[0], parapet[0] - parapet[1], outward, wing));
            parapet.append(wingEnd(parapet.last(), parapet.last() - parapet[parapet.size() - 2], outwardAtEnd, wing));
            parapets.addPolygon(parapet);
        }
    }
    return parapets;
}

QPainterPath VXQBridgeRasterizer::pierPathForPath(const platform::BezierPath& path, const Dimensions& dimensions) const
{
    QPainterPath piers;
    const double length = path.length();
    const double spacing = std::max({dimensions.pierSpacing, kMinimumReadSize, length / kMaximumPierCount});
    const int count = int(std::floor(length / spacing));
    if (count < 1 || dimensions.pierSize <= 0)
        return piers;
    // Centred on the bridge, so both ends look alike.
    const double first = (length - (count - 1) * spacing) / 2;
    const QRectF block(-dimensions.pierSize / 2, -dimensions.pierSize / 2, dimensions.pierSize, dimensions.pierSize);
    for (int i = 0; i < count; ++i) {
        double slope = 0;
        const QPointF point = path.pointOnPathAtLengthSlope(first + i * spacing, &slope);
        const QPointF across(-std::sin(slope), std::cos(slope));
        for (const double side : {-1.0, 1.0}) {
            QTransform transform;
            transform.translate(point.x() + across.x() * side * dimensions.bridgeWidth / 2,
                                point.y() + across.y() * side * dimensions.bridgeWidth / 2);
            transform.rotateRadians(slope);
            piers.addPolygon(transform.map(QPolygonF(block)));
            piers.closeSubpath();
        }
    }
    return piers;
}

void VXQBridgeRasterizer::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !colour().isValid())
        return;
    const Dimensions dimensions = dimensionsForObject(object);
    const platform::BezierPath path = object.renderingPath();
    platform::BezierPath parapets(parapetPathForPath(path, dimensions));
    parapets.setLineWidth(dimensions.lineWidth);
    parapets.setLineCapStyle(platform::LineCapStyle(lineCapStyle()));
    parapets.setLineJoinStyle(platform::LineJoinStyle(lineJoinStyle()));
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(), clipping());
    painter->strokePath(parapets.painterPath(), parapets.penWithColour(colour()));
    painter->fillPath(pierPathForPath(path, dimensions), colour());
    painter->restore();
}

QSizeF VXQBridgeRasterizer::extraSpaceNeeded() const
{
    // Automatic sizes depend on the object; the manual ones are the best guess here.
    const Dimensions dimensions = manualDimensions();
    const double reach = dimensions.bridgeWidth * (0.5 + kWingProportion)
        + std::max(dimensions.lineWidth, dimensions.pierSize) / 2 * M_SQRT2;
    return {reach, reach};
}
