#include "tracks/styles/ShimBlender.h"

#include "platform/graphics/GradientFilling.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// The later half of a width blend starts this much early, so the halves leave no antialiased seam.
constexpr double kHalfOverlap = 0.25;
// Curves are flattened as if magnified this much, so they stay smooth when zoomed in.
constexpr double kFlatteningScale = 8.0;
// Corners sharper than this (miter length over width) get a bevel instead of a long miter.
constexpr double kMiterLimit = 4.0;

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

QColor lerpColour(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF(), t)), float(lerp(a.greenF(), b.greenF(), t)),
                            float(lerp(a.blueF(), b.blueF(), t)), float(lerp(a.alphaF(), b.alphaF(), t)));
}

QPointF rightNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    return QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
}

struct StrokePair {
    VXStrokePtr before;
    VXStrokePtr after;
};

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

QList<StrokePair> strokePairs(const VXStylePtr& before, const VXStylePtr& after, bool casing)
{
    if (casing) {
        const VXStrokePtr casingBefore = before ? ZQRangeDrawingStyle::casingStrokeOfStyle(*before) : nullptr;
        const VXStrokePtr casingAfter = after ? ZQRangeDrawingStyle::casingStrokeOfStyle(*after) : nullptr;
        if (!casingBefore && !casingAfter)
            return {};
        return {{casingBefore, casingAfter}};
    }
    const QList<VXStrokePtr> above = strokesAboveCasing(before);
    const QList<VXStrokePtr> below = strokesAboveCasing(after);
    QList<StrokePair> pairs;
    for (qsizetype i = 0; i < std::max(above.size(), below.size()); ++i)
        pairs.append({above.value(i), below.value(i)});
    return pairs;
}

bool keepsItsWidth(const StrokePair& pair)
{
    return pair.before && pair.after && pair.before->width() == pair.after->width()
        && pair.before->lateralOffset() == pair.after->lateralOffset();
}

// A band along the centreline whose width and lateral offset change linearly from start to end.
struct Taper {
    double widthFrom;
    double widthTo;
    double offsetFrom;
    double offsetTo;
    double length;

    double halfWidthAt(double distance) const { return lerp(widthFrom, widthTo, distance / length) / 2; }
    double offsetAt(double distance) const { return lerp(offsetFrom, offsetTo, distance / length); }
};

// The stretch flattened into polylines, each point with its distance from the stretch's start.
class Centreline {
public:
    explicit Centreline(const platform::BezierPath& stretch)
    {
        const QTransform magnify = QTransform::fromScale(kFlatteningScale, kFlatteningScale);
        double distance = 0;
        for (const QPolygonF& magnified : stretch.painterPath().toSubpathPolygons(magnify)) {
            Polyline line;
            for (const QPointF& m : magnified) {
                const QPointF p = m / kFlatteningScale;
                if (!line.points.isEmpty()) {
                    const double step = QLineF(line.points.last(), p).length();
                    if (!(step > 1e-9))
                        continue;
                    distance += step;
                }
                line.points.append(p);
                line.distances.push_back(distance);
            }
            if (line.points.size() > 1)
                m_lines.append(line);
        }
        m_length = distance;
    }

    double length() const { return m_length; }
    QPointF start() const { return m_lines.isEmpty() ? QPointF() : m_lines.first().points.first(); }
    QPointF end() const { return m_lines.isEmpty() ? QPointF() : m_lines.last().points.last(); }

    // The outline of the band between two distances along the centreline.
    QPainterPath outline(double from, double to, const Taper& taper) const
    {
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        for (const Polyline& line : m_lines)
            addBand(outline, line.between(from, to), taper);
        return outline;
    }

private:
    struct Polyline {
        QPolygonF points;
        std::vector<double> distances;

        Polyline between(double from, double to) const
        {
            Polyline part;
            const auto add = [&](QPointF p, double distance) {
                if (part.points.isEmpty() || distance - part.distances.back() > 1e-9) {
                    part.points.append(p);
                    part.distances.push_back(distance);
                }
            };
            for (qsizetype i = 0; i + 1 < points.size(); ++i) {
                const double a = distances[size_t(i)];
                const double b = distances[size_t(i) + 1];
                if (b < from || a > to)
                    continue;
                const auto at = [&](double d) { return points[i] + (points[i + 1] - points[i]) * ((d - a) / (b - a)); };
                add(at(std::max(a, from)), std::max(a, from));
                add(at(std::min(b, to)), std::min(b, to));
            }
            return part;
        }
    };

    static void addBand(QPainterPath& outline, const Polyline& line, const Taper& taper)
    {
        const qsizetype n = line.points.size();
        if (n < 2)
            return;
        QPolygonF right;
        QPolygonF left;
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF p = line.points[i];
            const double offset = taper.offsetAt(line.distances[size_t(i)]);
            const double halfWidth = taper.halfWidthAt(line.distances[size_t(i)]);
            const auto put = [&](QPointF normal) {
                right.append(p + normal * (offset + halfWidth));
                left.append(p + normal * (offset - halfWidth));
            };
            if (i == 0 || i == n - 1) {
                put(i == 0 ? rightNormal(p, line.points[1]) : rightNormal(line.points[i - 1], p));
                continue;
            }
            const QPointF in = rightNormal(line.points[i - 1], p);
            const QPointF out = rightNormal(p, line.points[i + 1]);
            const QPointF sum = in + out;
            const double cosHalf = std::sqrt(std::max(0.0, (1 + QPointF::dotProduct(in, out)) / 2));
            if (cosHalf < 1 / kMiterLimit) {
                put(in);
                put(out);
            } else {
                put(sum / std::hypot(sum.x(), sum.y()) / cosHalf);
            }
        }
        std::reverse(left.begin(), left.end());
        outline.addPolygon(right + left);
        outline.closeSubpath();
    }

    QList<Polyline> m_lines;
    double m_length = 0;
};

} // namespace

ShimBlender::ShimBlender(const VXStylePtr& before, const VXStylePtr& after, int blending,
                         const platform::BezierPath& stretch)
{
    const Centreline centreline(stretch);
    const double length = centreline.length();
    if (!(length > 0))
        return;
    m_needed = blending == kZQShimBlendWidthAndColour;
    const QList<VXStrokePtr> strokesBefore = before ? before->renderersOfClass<VXStroke>() : QList<VXStrokePtr>();
    const QList<VXStrokePtr> strokesAfter = after ? after->renderersOfClass<VXStroke>() : QList<VXStrokePtr>();
    const auto addPieces = [&](bool casing) {
        QList<Piece>& blended = casing ? m_casing : m_content;
        const auto continuing = [&](Side side, const QPainterPath& outline, const VXStrokePtr& stroke) {
            const QList<VXStrokePtr>& strokes = side == Side::Before ? strokesBefore : strokesAfter;
            m_continuations[int(side)].add({int(strokes.indexOf(stroke)), outline, stroke->colour(), casing, {}});
        };
        for (const StrokePair& pair : strokePairs(before, after, casing)) {
            const VXStroke& first = pair.before ? *pair.before : *pair.after;
            const VXStroke& last = pair.after ? *pair.after : *pair.before;
            m_needed = m_needed || !keepsItsWidth(pair);
            const Taper taper{pair.before ? first.width() : 0.0, pair.after ? last.width() : 0.0,
                              first.lateralOffset(), last.lateralOffset(), length};
            const QColor from = first.colour();
            const QColor to = last.colour();
            if (!from.isValid() || !to.isValid())
                continue;
            if (from == to) {
                const Side side = pair.before ? Side::Before : Side::After;
                continuing(side, centreline.outline(0, length, taper), side == Side::Before ? pair.before : pair.after);
            } else if (blending == kZQShimBlendWidthAndColour) {
                QBrush brush = lerpColour(from, to, 0.5);
                if (centreline.start() != centreline.end()) {
                    QLinearGradient gradient(centreline.start(), centreline.end());
                    gradient.setColorAt(0, from);
                    gradient.setColorAt(1, to);
                    brush = gradient;
                }
                blended.append({centreline.outline(0, length, taper), brush});
            } else {
                continuing(Side::Before, centreline.outline(0, length / 2, taper), pair.before);
                continuing(Side::After, centreline.outline(length / 2 - kHalfOverlap, length, taper), pair.after);
            }
        }
    };
    addPieces(true);
    addPieces(false);
}

StrokeAreas ShimBlender::takeContinuation(Side side)
{
    return std::exchange(m_continuations[int(side)], {});
}

void ShimBlender::drawCasing() const
{
    draw(m_casing, true);
}

void ShimBlender::drawContentWithoutCasing() const
{
    draw(m_content, false);
}

void ShimBlender::draw(const QList<Piece>& pieces, bool casing) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    for (const StrokeAreas& continuation : m_continuations)
        continuation.fillSeparately(casing);
    // Colour blends are gradients: filled so that PDF output keeps a faded track's transparency.
    for (const Piece& piece : pieces)
        platform::fillPathWithGradient(*context->painter(), piece.outline, piece.brush);
}
