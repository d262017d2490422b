#include "platform/vantrix/tools/PathPointEditing.h"

#include <QLineF>
#include <algorithm>
#include <vector>

namespace platform {

namespace {

struct Element {
    PathElement type;
    QPointF points[3]; // a curve's two control points then its end; otherwise the end first

    QPointF end() const { return type == PathElement::CurveTo ? points[2] : points[0]; }
    void setEnd(QPointF p) { (type == PathElement::CurveTo ? points[2] : points[0]) = p; }
};

std::vector<Element> elementsOf(const BezierPath& path)
{
    std::vector<Element> elements(size_t(path.elementCount()));
    for (int i = 0; i < path.elementCount(); ++i)
        elements[size_t(i)].type = path.elementAtIndexAssociatedPoints(i, elements[size_t(i)].points);
    return elements;
}

// The same path (line width, winding rule and the rest) drawing `elements`.
BezierPath withElements(const BezierPath& original, const std::vector<Element>& elements)
{
    BezierPath path = original;
    path.removeAllPoints();
    for (const Element& e : elements) {
        switch (e.type) {
        case PathElement::MoveTo:
            path.moveToPoint(e.points[0]);
            break;
        case PathElement::LineTo:
            path.lineToPoint(e.points[0]);
            break;
        case PathElement::CurveTo:
            path.curveToPointControlPoint1ControlPoint2(e.points[2], e.points[0], e.points[1]);
            break;
        }
    }
    return path;
}

QPointF lerp(QPointF a, QPointF b, double t) { return a + t * (b - a); }

QPointF pointOnCurve(QPointF p0, const Element& curve, double t)
{
    const QPointF a = lerp(p0, curve.points[0], t), b = lerp(curve.points[0], curve.points[1], t),
                  c = lerp(curve.points[1], curve.points[2], t);
    return lerp(lerp(a, b, t), lerp(b, c, t), t);
}

// The parameter of the point of the segment from `start` nearest `point`.
double nearestParameter(QPointF start, const Element& segment, QPointF point)
{
    if (segment.type == PathElement::LineTo) {
        const QPointF d = segment.points[0] - start;
        const double lengthSquared = QPointF::dotProduct(d, d);
        return lengthSquared > 0 ? std::clamp(QPointF::dotProduct(point - start, d) / lengthSquared, 0.0, 1.0) : 0.0;
    }
    // Coarse samples, then halving the bracket around the best one.
    constexpr int kSamples = 64;
    auto distance = [&](double t) { return QLineF(pointOnCurve(start, segment, t), point).length(); };
    double best = 0;
    for (int i = 1; i <= kSamples; ++i)
        if (distance(double(i) / kSamples) < distance(best))
            best = double(i) / kSamples;
    double step = 1.0 / kSamples;
    for (int i = 0; i < 30; ++i, step /= 2) {
        for (const double t : {best - step, best + step})
            if (t >= 0 && t <= 1 && distance(t) < distance(best))
                best = t;
    }
    return best;
}

} // namespace

std::optional<BezierPath> bezierPathByInsertingPointNear(const BezierPath& path, QPointF point, double tolerance)
{
    std::vector<Element> elements = elementsOf(path);
    size_t bestIndex = 0;
    double bestT = 0, bestDistance = tolerance;
    bool found = false;
    QPointF current;
    for (size_t i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        if (e.type != PathElement::MoveTo) {
            const double t = nearestParameter(current, e, point);
            const QPointF onPath = e.type == PathElement::LineTo ? lerp(current, e.points[0], t) : pointOnCurve(current, e, t);
            // The ends are points already.
            if (const double d = QLineF(onPath, point).length(); t > 0 && t < 1 && d <= bestDistance) {
                bestDistance = d;
                bestIndex = i;
                bestT = t;
                found = true;
            }
        }
        current = e.end();
    }
    if (!found)
        return std::nullopt;
    const QPointF start = bestIndex > 0 ? elements[bestIndex - 1].end() : QPointF();
    const Element segment = elements[bestIndex];
    Element first = segment, second = segment;
    if (segment.type == PathElement::LineTo) {
        first.points[0] = lerp(start, segment.points[0], bestT);
    } else {
        // De Casteljau at t: both halves trace the original curve exactly.
        const double t = bestT;
        const QPointF a = lerp(start, segment.points[0], t), b = lerp(segment.points[0], segment.points[1], t),
                      c = lerp(segment.points[1], segment.points[2], t), ab = lerp(a, b, t), bc = lerp(b, c, t),
                      mid = lerp(ab, bc, t);
        first.points[0] = a;
        first.points[1] = ab;
        first.points[2] = mid;
        second.points[0] = bc;
        second.points[1] = c;
    }
    elements[bestIndex] = second;
    elements.insert(elements.begin() + qsizetype(bestIndex), first);
    return withElements(path, elements);
}

std::optional<BezierPath> bezierPathByDeletingPointNear(const BezierPath& path, QPointF point, double tolerance)
{
    std::vector<Element> elements = elementsOf(path);
    auto hit = std::find_if(elements.begin(), elements.end(),
                            [&](const Element& e) { return QLineF(e.end(), point).length() <= tolerance; });
    if (hit == elements.end())
        return std::nullopt;
    const size_t index = size_t(hit - elements.begin());
    size_t subpathStart = index;
    while (elements[subpathStart].type != PathElement::MoveTo && subpathStart > 0)
        --subpathStart;
    size_t subpathEnd = index + 1;
    while (subpathEnd < elements.size() && elements[subpathEnd].type != PathElement::MoveTo)
        ++subpathEnd;
    const bool closed = subpathEnd - subpathStart > 2 && elements[subpathEnd - 1].end() == elements[subpathStart].end();
    // A closed subpath repeats its start as its last point, which is not a point of its own.
    const size_t points = subpathEnd - subpathStart - (closed ? 1 : 0);
    if (points <= 2)
        return std::nullopt;

    if (index == subpathStart) {
        // The next point starts the subpath; a closed one now closes on it.
        const QPointF newStart = elements[index + 1].end();
        elements[index + 1] = Element{PathElement::MoveTo, {newStart}};
        if (closed)
            elements[subpathEnd - 1].setEnd(newStart);
    } else if (index + 1 < subpathEnd && elements[index + 1].type == PathElement::CurveTo
               && elements[index].type == PathElement::CurveTo) {
        // Two curves join into one keeping the outer control points.
        elements[index + 1].points[0] = elements[index].points[0];
    }
    elements.erase(elements.begin() + qsizetype(index));
    return withElements(path, elements);
}

} // namespace platform
