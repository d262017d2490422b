#include "platform/graphics/PolylineStroke.h"

#include "platform/graphics/RasterFill.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace platform {

namespace {

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// A quarter turn from x towards y.
QPointF quarterTurn(QPointF v)
{
    return {-v.y(), v.x()};
}

QPointF unit(QPointF v)
{
    return v / std::hypot(v.x(), v.y());
}

class OutlineBuilder {
public:
    OutlineBuilder(QPainterPath& outline, const QPen& pen)
        : m_outline(outline)
        , m_radius(pen.widthF() / 2)
        , m_roundJoins(pen.joinStyle() == Qt::RoundJoin)
        , m_cap(pen.capStyle())
    {
    }

    // `points` has no two neighbours equal, at least two of them; a closed one does not repeat
    // its first point at the end. Flat ends of an open one take no cap.
    void appendSubpath(const QList<QPointF>& points, bool closed, FlatEnds flat)
    {
        if (closed) {
            // Two loops, the left sides of both directions.
            appendSide(points, true, true);
            appendSide(reversed(points), true, true);
            return;
        }
        appendSide(points, false, true);
        appendCap(points.last(), unit(points.last() - points[points.size() - 2]), flat.last);
        appendSide(reversed(points), false, false);
        appendCap(points.first(), unit(points.first() - points[1]), flat.first);
        m_outline.closeSubpath();
    }

private:
    static QList<QPointF> reversed(const QList<QPointF>& points) { return {points.rbegin(), points.rend()}; }

    // The offset on the left of travel from the first point to the last, with its corners.
    void appendSide(const QList<QPointF>& points, bool closed, bool starting)
    {
        const qsizetype count = points.size();
        const qsizetype segments = closed ? count : count - 1;
        const auto direction = [&](qsizetype i) { return unit(points[(i + 1) % count] - points[i]); };
        QPointF heading = direction(0);
        const QPointF start = points[0] + quarterTurn(heading) * m_radius;
        if (starting)
            m_outline.moveTo(start);
        else
            m_outline.lineTo(start);
        for (qsizetype i = 0; i < segments; ++i) {
            const QPointF corner = points[(i + 1) % count];
            m_outline.lineTo(corner + quarterTurn(heading) * m_radius);
            if (i + 1 == segments && !closed)
                break;
            const QPointF next = direction((i + 1) % count);
            appendCorner(corner, heading, next);
            heading = next;
        }
        if (closed)
            m_outline.closeSubpath();
    }

    void appendCorner(QPointF corner, QPointF heading, QPointF next)
    {
        const double turn = cross(heading, next);
        const QPointF to = quarterTurn(next) * m_radius;
        if (turn > 0) {
            // The inner side: through the corner itself, so the two segments' quads meet.
            m_outline.lineTo(corner);
            m_outline.lineTo(corner + to);
        } else if (turn < 0 || QPointF::dotProduct(heading, next) < 0) {
            if (m_roundJoins)
                appendRoundTurn(corner, quarterTurn(heading) * m_radius, to, heading);
            else
                m_outline.lineTo(corner + to);
        }
    }

    // From the left offset of the last point, heading along `heading`, to its right offset.
    void appendCap(QPointF end, QPointF heading, bool flat)
    {
        const QPointF left = quarterTurn(heading) * m_radius;
        switch (flat ? Qt::FlatCap : m_cap) {
        case Qt::RoundCap:
            appendRoundTurn(end, left, -left, heading);
            break;
        case Qt::SquareCap:
            m_outline.lineTo(end + left + heading * m_radius);
            m_outline.lineTo(end - left + heading * m_radius);
            m_outline.lineTo(end - left);
            break;
        default:
            m_outline.lineTo(end - left);
            break;
        }
    }

    // The arc around `centre` from offset `from` to offset `to` bulging along `heading`, in
    // arcs of at most a quarter turn.
    void appendRoundTurn(QPointF centre, QPointF from, QPointF to, QPointF heading)
    {
        if (QPointF::dotProduct(from, to) >= 0) {
            appendArc(centre, from, to);
            return;
        }
        const QPointF sum = from + to;
        const double length = std::hypot(sum.x(), sum.y());
        const QPointF middle = length > 1e-9 * m_radius ? sum * (m_radius / length) : heading * m_radius;
        appendArc(centre, from, middle);
        appendArc(centre, middle, to);
    }

    // One cubic for an arc of at most a quarter turn, without trigonometry: tan(angle / 4)
    // follows from the sine and cosine of the angle.
    void appendArc(QPointF centre, QPointF from, QPointF to)
    {
        const double squared = QPointF::dotProduct(from, from);
        const double sine = cross(from, to);
        const double tanHalf = std::abs(sine) / (squared + QPointF::dotProduct(from, to));
        const double handle = 4.0 / 3.0 * tanHalf / (1 + std::sqrt(1 + tanHalf * tanHalf)) * (sine < 0 ? -1 : 1);
        m_outline.cubicTo(centre + from + quarterTurn(from) * handle, centre + to - quarterTurn(to) * handle,
                          centre + to);
    }

    QPainterPath& m_outline;
    double m_radius;
    bool m_roundJoins;
    Qt::PenCapStyle m_cap;
};

bool isOutlinedHere(const QPen& pen)
{
    return pen.style() == Qt::SolidLine && !pen.isCosmetic() && pen.widthF() > 0 && std::isfinite(pen.widthF())
           && pen.brush().style() == Qt::SolidPattern
           && (pen.joinStyle() == Qt::RoundJoin || pen.joinStyle() == Qt::BevelJoin);
}

// The outline to fill instead of stroking: on raster devices, for pens wider than a device pixel
// whose outline is made here; empty otherwise (vector output keeps its strokes, and thinner pens
// Qt's own fast path for hairlines).
QPainterPath outlineToFill(const QPainter& painter, const QPainterPath& path, const QPen& pen, FlatEnds flat = {})
{
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform toDevice = painter.deviceTransform();
    if (engine && engine->type() == QPaintEngine::Raster && toDevice.type() < QTransform::TxProject
        && pen.widthF() * stretchesOf(toDevice).smallest > 1)
        return polylineStrokeOutline(path, pen, flat);
    return {};
}

// Whether a stroke of `path` lies wholly outside the painter's clip. Qt rasterises a shape over
// the whole device before the clip trims it: an image painted by tiles through clips would
// rasterise each stroke reaching into a tile in full, once per tile it reaches.
bool strokeMissesClip(const QPainter& painter, const QPainterPath& path, const QPen& pen)
{
    if (!painter.hasClipping() || pen.isCosmetic())
        return false;
    const double reach = penReach(pen);
    const QRectF clip = painter.clipBoundingRect();
    return !clip.isEmpty() && !path.controlPointRect().adjusted(-reach, -reach, reach, reach).intersects(clip);
}

} // namespace

QPainterPath polylineStrokeOutline(const QPainterPath& path, const QPen& pen, FlatEnds flat)
{
    if (!isOutlinedHere(pen) || path.isEmpty())
        return {};
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    OutlineBuilder builder(outline, pen);
    QList<QPointF> points;
    qsizetype elementsOfSubpath = 0;
    bool firstSubpath = true;
    // False when the subpath cannot be outlined here.
    const auto finishSubpath = [&](bool last) {
        const bool closed = points.size() >= 3 && points.first() == points.last();
        if (closed)
            points.removeLast();
        if (points.size() >= 2) {
            builder.appendSubpath(points, closed, {flat.first && firstSubpath, flat.last && last});
            firstSubpath = false;
        }
        // A lone move draws nothing; a segment of no length draws a dot, left to Qt.
        const bool dot = points.size() == 1 && elementsOfSubpath > 1;
        points.clear();
        elementsOfSubpath = 0;
        return !dot;
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isCurveTo() || !std::isfinite(element.x) || !std::isfinite(element.y))
            return {};
        if (element.isMoveTo() && !finishSubpath(false))
            return {};
        ++elementsOfSubpath;
        const QPointF point(element.x, element.y);
        if (points.isEmpty() || points.last() != point)
            points.append(point);
    }
    if (!finishSubpath(true))
        return {};
    return outline;
}

void strokePath(QPainter& painter, const QPainterPath& path, const QPen& pen)
{
    if (strokeMissesClip(painter, path, pen))
        return;
    const QPainterPath outline = outlineToFill(painter, path, pen);
    if (outline.isEmpty())
        strokePathWithQt(painter, path, pen);
    else
        fillPath(painter, outline, pen.brush());
}

void strokePathAndFill(QPainter& painter, const QPainterPath& path, const QPen& pen, const QPainterPath& area,
                       FlatEnds flat)
{
    if (strokeMissesClip(painter, path, pen) && !painter.clipBoundingRect().intersects(area.controlPointRect()))
        return;
    QPainterPath outline = outlineToFill(painter, path, pen, flat);
    if (outline.isEmpty() && !path.isEmpty()) {
        strokePathWithQt(painter, path, pen);
        painter.fillPath(area, pen.brush());
        return;
    }
    outline.addPath(area);
    outline.setFillRule(Qt::WindingFill);
    fillPath(painter, outline, pen.brush());
}

} // namespace platform
