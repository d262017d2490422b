#include "platform/graphics/BezierPath.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PathMeasure.h"
#include "platform/graphics/RasterFill.h"

#include <QLineF>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace platform {

namespace {

// Past this many repetitions a dash is drawn solid: the dasher's time grows with the count (a
// hostile file can ask for billions), and no eye tells so many dashes apart.
constexpr double kMaximumDashRepetitions = 100'000;

// An upper bound of the path's length, without flattening it: its control polygon's.
double controlPolygonLength(const QPainterPath& path)
{
    double total = 0;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPainterPath::Element& element = path.elementAt(i);
        if (!element.isMoveTo())
            total += QLineF(path.elementAt(i - 1), element).length();
    }
    return total;
}

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// A subpath as drawing code sees it: a start point and elements that each end somewhere.
struct Element {
    PathElement type = PathElement::LineTo;
    QPointF control1, control2, end;
};
struct Subpath {
    QPointF start;
    QList<Element> elements;
    bool isClosed() const { return !elements.isEmpty() && elements.last().end == start; }
};

QList<Subpath> subpathsOf(const QPainterPath& path)
{
    QList<Subpath> subpaths;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement || subpaths.isEmpty()) {
            subpaths.append({e, {}});
        } else if (e.type == QPainterPath::LineToElement) {
            subpaths.last().elements.append({PathElement::LineTo, {}, {}, e});
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            subpaths.last().elements.append({PathElement::CurveTo, e, path.elementAt(i + 1), path.elementAt(i + 2)});
            i += 2;
        }
    }
    return subpaths;
}

// The on-curve points of a subpath without repeats; a closed ring does not repeat its start.
QList<QPointF> onCurvePoints(const Subpath& subpath, bool* closed)
{
    QList<QPointF> points{subpath.start};
    for (const Element& e : subpath.elements) {
        if (e.end != points.last())
            points.append(e.end);
    }
    *closed = points.size() > 2 && points.last() == points.first();
    if (*closed)
        points.removeLast();
    return points;
}

Qt::PenCapStyle qtCap(LineCapStyle cap)
{
    switch (cap) {
    case LineCapStyle::Butt: return Qt::FlatCap;
    case LineCapStyle::Round: return Qt::RoundCap;
    case LineCapStyle::Square: return Qt::SquareCap;
    }
    return Qt::FlatCap;
}

Qt::PenJoinStyle qtJoin(LineJoinStyle join)
{
    switch (join) {
    case LineJoinStyle::Miter: return Qt::SvgMiterJoin;
    case LineJoinStyle::Round: return Qt::RoundJoin;
    case LineJoinStyle::Bevel: return Qt::BevelJoin;
    }
    return Qt::SvgMiterJoin;
}

} // namespace

BezierPath::BezierPath(const QPainterPath& path)
    : m_path(path)
{
}

bool BezierPath::operator==(const BezierPath& other) const
{
    return m_path == other.m_path && m_lineWidth == other.m_lineWidth && m_lineCapStyle == other.m_lineCapStyle
        && m_lineJoinStyle == other.m_lineJoinStyle && m_miterLimit == other.m_miterLimit
        && m_lineDash == other.m_lineDash && m_windingRule == other.m_windingRule;
}

void BezierPath::geometryChanged()
{
    m_measure.reset();
    m_elementStarts.reset();
}

BezierPath BezierPath::withPath(const QPainterPath& path) const
{
    BezierPath result = *this;
    result.m_path = path;
    result.geometryChanged();
    return result;
}

const PathMeasure& BezierPath::measure() const
{
    if (!m_measure)
        m_measure = std::make_shared<const PathMeasure>(m_path);
    return *m_measure;
}

const std::vector<int>& BezierPath::elementStarts() const
{
    if (!m_elementStarts) {
        auto starts = std::make_shared<std::vector<int>>();
        for (int i = 0; i < m_path.elementCount(); ++i) {
            if (m_path.elementAt(i).type != QPainterPath::CurveToDataElement)
                starts->push_back(i);
        }
        m_elementStarts = std::move(starts);
    }
    return *m_elementStarts;
}

void BezierPath::moveToPoint(QPointF p)
{
    if (!isFinite(p))
        return;
    m_path.moveTo(p);
    geometryChanged();
}

void BezierPath::lineToPoint(QPointF p)
{
    if (!isFinite(p))
        return;
    m_path.lineTo(p);
    geometryChanged();
}

void BezierPath::curveToPointControlPoint1ControlPoint2(QPointF end, QPointF control1, QPointF control2)
{
    if (!isFinite(end) || !isFinite(control1) || !isFinite(control2))
        return;
    m_path.cubicTo(control1, control2, end);
    geometryChanged();
}

void BezierPath::closePath()
{
    m_path.closeSubpath();
    geometryChanged();
}

void BezierPath::removeAllPoints()
{
    m_path.clear();
    geometryChanged();
}

void BezierPath::appendBezierPath(const BezierPath& other)
{
    m_path.addPath(other.m_path);
    geometryChanged();
}

void BezierPath::appendBezierPathWithRect(const QRectF& rect)
{
    m_path.addRect(rect);
    geometryChanged();
}

void BezierPath::appendBezierPathWithOvalInRect(const QRectF& rect)
{
    m_path.addEllipse(rect);
    geometryChanged();
}

void BezierPath::appendBezierPathWithPoints(const QPolygonF& points)
{
    m_path.addPolygon(points);
    geometryChanged();
}

void BezierPath::appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise(QPointF centre, double radius,
                                                                                    double startAngle, double endAngle,
                                                                                    bool clockwise)
{
    // Counter-clockwise sweeps run 0..360 degrees, clockwise ones 0..-360; a full turn stays one.
    double sweep = endAngle - startAngle;
    if (!clockwise)
        sweep = sweep >= 360 ? 360 : sweep < 0 ? std::fmod(sweep, 360.0) + 360 : sweep;
    else
        sweep = sweep <= -360 ? -360 : sweep > 0 ? std::fmod(sweep, 360.0) - 360 : sweep;
    if (!std::isfinite(sweep) || !std::isfinite(radius) || !isFinite(centre))
        return;
    auto at = [&](double radians) { return centre + radius * QPointF(std::cos(radians), std::sin(radians)); };
    double angle = qDegreesToRadians(startAngle);
    const QPointF start = at(angle);
    if (m_path.elementCount() == 0)
        m_path.moveTo(start);
    else if (QLineF(m_path.currentPosition(), start).length() > 1e-9 * (1 + std::abs(radius)))
        m_path.lineTo(start);
    // At most a quarter turn per cubic keeps the radial error below 3e-4 of the radius.
    const int pieces = std::max(1, int(std::ceil(std::abs(sweep) / 90 - 1e-9)));
    const double step = qDegreesToRadians(sweep) / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4) * radius;
    for (int i = 0; i < pieces; ++i, angle += step) {
        const QPointF tangentStart(-std::sin(angle), std::cos(angle));
        const QPointF tangentEnd(-std::sin(angle + step), std::cos(angle + step));
        m_path.cubicTo(at(angle) + handle * tangentStart, at(angle + step) - handle * tangentEnd, at(angle + step));
    }
    geometryChanged();
}

void BezierPath::transformUsingAffineTransform(const QTransform& transform)
{
    m_path = transform.map(m_path);
    geometryChanged();
}

int BezierPath::elementCount() const
{
    return int(elementStarts().size());
}

PathElement BezierPath::elementAtIndexAssociatedPoints(int index, QPointF points[3]) const
{
    ZQ_ASSERT(index >= 0 && index < elementCount(), QStringLiteral("path element index %1 out of range").arg(index));
    const int start = elementStarts()[size_t(index)];
    const QPainterPath::Element e = m_path.elementAt(start);
    points[0] = e;
    switch (e.type) {
    case QPainterPath::MoveToElement:
        return PathElement::MoveTo;
    case QPainterPath::CurveToElement:
        points[1] = m_path.elementAt(start + 1);
        points[2] = m_path.elementAt(start + 2);
        return PathElement::CurveTo;
    default:
        return PathElement::LineTo;
    }
}

bool BezierPath::isClosed() const
{
    const int last = m_path.elementCount() - 1;
    int start = last;
    while (start > 0 && m_path.elementAt(start).type != QPainterPath::MoveToElement)
        --start;
    return start >= 0 && start < last && QPointF(m_path.elementAt(last)) == QPointF(m_path.elementAt(start));
}

QPainterPath BezierPath::painterPathWithWindingRule() const
{
    QPainterPath path = m_path;
    path.setFillRule(m_windingRule == WindingRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    return path;
}

QRectF BezierPath::bounds() const
{
    return m_path.boundingRect();
}

QRectF BezierPath::controlPointBounds() const
{
    return m_path.controlPointRect();
}

bool BezierPath::containsPoint(QPointF p) const
{
    return isFinite(p) && painterPathWithWindingRule().contains(p);
}

void BezierPath::setLineWidth(double width)
{
    if (width >= 0 && std::isfinite(width))
        m_lineWidth = width;
}

void BezierPath::setMiterLimit(double limit)
{
    if (limit >= 1 && std::isfinite(limit))
        m_miterLimit = limit;
}

void BezierPath::setLineDash(const LineDash& dash)
{
    const bool lengthsValid = std::all_of(dash.lengths.begin(), dash.lengths.end(),
                                          [](double length) { return length >= 0 && std::isfinite(length); });
    const double total = std::accumulate(dash.lengths.begin(), dash.lengths.end(), 0.0);
    // A pattern without length would never advance along the path.
    m_lineDash = lengthsValid && total > 0 && std::isfinite(total) && std::isfinite(dash.phase) ? dash : LineDash();
}

QPen BezierPath::penWithColour(const QColor& colour) const
{
    QPen pen(colour, m_lineWidth, Qt::SolidLine, qtCap(m_lineCapStyle), qtJoin(m_lineJoinStyle));
    pen.setMiterLimit(m_miterLimit);
    const double period = std::accumulate(m_lineDash.lengths.begin(), m_lineDash.lengths.end(), 0.0);
    if (period > 0 && controlPolygonLength(m_path) / period <= kMaximumDashRepetitions) {
        const double unit = m_lineWidth > 0 ? m_lineWidth : 1.0;
        QList<qreal> pattern;
        for (double length : m_lineDash.lengths)
            pattern.append(length / unit);
        if (pattern.size() % 2 == 1)
            pattern += pattern;
        pen.setDashPattern(pattern);
        pen.setDashOffset(m_lineDash.phase / unit);
    }
    return pen;
}

double BezierPath::length() const
{
    return measure().length();
}

QPointF BezierPath::pointOnPathAtLengthSlope(double length, double* slope) const
{
    return measure().pointAtLength(length, slope);
}

double BezierPath::lengthForPointTolerance(QPointF p, double tolerance) const
{
    return measure().nearestPoint(p, tolerance).length;
}

double BezierPath::lengthForPoint(QPointF p) const
{
    return lengthForPointTolerance(p, kDefaultHitTolerance);
}

BezierPath BezierPath::bezierPathWithRange(double location, double length) const
{
    return withPath(measure().pathBetweenLengths(location, location + length));
}

BezierPath BezierPath::bezierPathByFlatteningPath() const
{
    QPainterPath flat;
    for (const QPolygonF& polyline : measure().flattenedSubpaths()) {
        flat.moveTo(polyline.first());
        for (qsizetype i = 1; i < polyline.size(); ++i)
            flat.lineTo(polyline[i]);
    }
    return withPath(flat);
}

BezierPath BezierPath::bezierPathByReversingPath() const
{
    QPainterPath reversed;
    for (const Subpath& subpath : subpathsOf(m_path)) {
        reversed.moveTo(subpath.elements.isEmpty() ? subpath.start : subpath.elements.last().end);
        for (qsizetype i = subpath.elements.size() - 1; i >= 0; --i) {
            const Element& e = subpath.elements[i];
            const QPointF to = i > 0 ? subpath.elements[i - 1].end : subpath.start;
            if (e.type == PathElement::CurveTo)
                reversed.cubicTo(e.control2, e.control1, to);
            else
                reversed.lineTo(to);
        }
    }
    return withPath(reversed);
}

BezierPath BezierPath::bezierPathByInterpolatingPath(double smoothing) const
{
    const double s = std::isfinite(smoothing) ? smoothing / 6 : 0.0;
    QPainterPath curve;
    for (const Subpath& subpath : subpathsOf(m_path)) {
        bool closed = false;
        const QList<QPointF> p = onCurvePoints(subpath, &closed);
        const qsizetype n = p.size();
        auto at = [&](qsizetype i) {
            return closed ? p[(i % n + n) % n] : p[std::clamp<qsizetype>(i, 0, n - 1)];
        };
        curve.moveTo(p.first());
        const qsizetype spans = closed ? n : n - 1;
        for (qsizetype i = 0; i < spans; ++i)
            curve.cubicTo(at(i) + s * (at(i + 1) - at(i - 1)), at(i + 1) - s * (at(i + 2) - at(i)), at(i + 1));
    }
    return withPath(curve);
}

BezierPath BezierPath::strokedPathWithStrokeWidth(double width) const
{
    if (!(width > 0 && std::isfinite(width)))
        return withPath({});
    BezierPath widened = *this;
    widened.m_lineWidth = width;
    QPainterPathStroker stroker(widened.penWithColour(Qt::black));
    BezierPath outline = withPath(stroker.createStroke(m_path));
    outline.m_windingRule = WindingRule::NonZero;
    return outline;
}

BezierPath BezierPath::bufferedPathWithBufferDistance(double distance) const
{
    return bufferedPathWithBufferDistanceLineCapStyleLineJoinStyle(distance, LineCapStyle::Round, LineJoinStyle::Round);
}

BezierPath BezierPath::bufferedPathWithBufferDistanceLineCapStyleLineJoinStyle(double distance, LineCapStyle cap,
                                                                                LineJoinStyle join) const
{
    BezierPath styled = *this;
    styled.m_lineCapStyle = cap;
    styled.m_lineJoinStyle = join;
    BezierPath buffer = styled.strokedPathWithStrokeWidth(2 * distance);
    buffer.m_lineCapStyle = m_lineCapStyle;
    buffer.m_lineJoinStyle = m_lineJoinStyle;
    return buffer;
}

double BezierPath::area() const
{
    return measureRegion(measure().flattenedSubpaths(), m_windingRule).area;
}

QPointF BezierPath::centroid() const
{
    const QList<QPolygonF> rings = measure().flattenedSubpaths();
    const RegionMeasure region = measureRegion(rings, m_windingRule);
    if (region.area > 0)
        return region.centroid;
    // Nothing enclosed: the centroid of the lines themselves.
    double total = 0;
    QPointF moment;
    for (const QPolygonF& polyline : rings) {
        for (qsizetype i = 1; i < polyline.size(); ++i) {
            const double length = QLineF(polyline[i - 1], polyline[i]).length();
            total += length;
            moment += length * (polyline[i - 1] + polyline[i]) / 2;
        }
    }
    if (total > 0)
        return moment / total;
    return rings.isEmpty() ? QPointF() : rings.first().first();
}

void BezierPath::fill() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        platform::fillPath(*context->painter(), painterPathWithWindingRule(), context->fillColour());
}

void BezierPath::stroke() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        platform::strokePathWithQt(*context->painter(), m_path, penWithColour(context->strokeColour()));
}

void BezierPath::addClip() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->painter()->setClipPath(painterPathWithWindingRule(),
                                        context->painter()->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

} // namespace platform
