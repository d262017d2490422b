#include "platform/graphics/RasterFill.h"

#include <QImage>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <optional>

namespace platform {

namespace {

// Wider than the rasteriser's rounding, so what lies beyond the box lies in other pixels.
constexpr int kMarginPixels = 2;
// Pens this wide or thinner may be drawn as hairlines, which are not outlines.
constexpr double kThinPenPixels = 1.5;

enum Side : unsigned { Left = 1, Right = 2, Above = 4, Below = 8 };

// A line or a cubic curve of a subpath, by the indices of its elements.
struct Segment {
    int start = 0; // the element of its start point
    int end = 0;   // the element of its end point; a curve's control points come just before
    bool curve = false;
    unsigned sides = 0; // the sides of the box all its points lie beyond
};

// Part of a trimmed subpath: a segment kept as it is, or a run of segments all beyond the same
// sides of the box, drawn as one line.
struct Piece {
    qsizetype firstSegment = 0;
    unsigned sides = 0; // none for a kept segment
};

// Trims one subpath at a time into `trimmed`, noting whether anything changed.
//
// The point where two runs meet moves beyond the box on the sides of both. Runs beyond the left
// side still span the same heights in the box's rows: either the point joins two of them, or it
// lies above (or below) the box before the move and after.
class SubpathTrimmer {
public:
    SubpathTrimmer(const QPainterPath& path, const QTransform& toDevice, const QTransform& toPath, const QRectF& box)
        : m_path(path), m_toDevice(toDevice), m_toPath(toPath), m_box(box)
    {
        m_trimmed.setFillRule(path.fillRule());
    }

    // The subpath of the elements from `first` up to `end`.
    void trim(int first, int end)
    {
        m_sides.resize(end - first);
        unsigned common = ~0u;
        for (int i = first; i < end; ++i)
            common &= m_sides[i - first] = sidesOf(m_path.elementAt(i));
        if (common) {
            m_changed = true;
            return;
        }
        collectSegments(first, end);
        // Start where a run cannot continue from the end, so that runs are not cut in two there.
        const qsizetype count = m_segments.size();
        qsizetype start = 0;
        for (qsizetype i = 0; i < count; ++i) {
            const unsigned sides = m_segments[i].sides;
            if (!sides || !(sides & m_segments[(i + count - 1) % count].sides)) {
                start = i;
                break;
            }
        }
        m_pieces.clear();
        for (qsizetype j = 0; j < count; ++j) {
            const qsizetype index = (start + j) % count;
            const unsigned sides = m_segments[index].sides;
            if (sides && !m_pieces.isEmpty() && (m_pieces.last().sides & sides))
                m_pieces.last().sides &= sides;
            else
                m_pieces.append({index, sides});
        }
        appendPieces();
    }

    bool changed() const { return m_changed; }
    const QPainterPath& trimmed() const { return m_trimmed; }

private:
    QPointF pointAt(int index) const { return m_path.elementAt(index); }

    unsigned sidesOf(const QPainterPath::Element& element) const
    {
        double x = 0, y = 0;
        m_toDevice.map(element.x, element.y, &x, &y);
        return (x < m_box.left() ? Left : 0u) | (x > m_box.right() ? Right : 0u) | (y < m_box.top() ? Above : 0u)
               | (y > m_box.bottom() ? Below : 0u);
    }

    // The lines and curves of the subpath, with the line closing it when it does not end where it
    // starts.
    void collectSegments(int first, int end)
    {
        m_segments.clear();
        for (int i = first + 1; i < end;) {
            const bool curve = m_path.elementAt(i).isCurveTo();
            const int last = curve ? i + 2 : i;
            unsigned sides = m_sides[i - 1 - first];
            for (int p = i; p <= last; ++p)
                sides &= m_sides[p - first];
            m_segments.append({i - 1, last, curve, sides});
            i = last + 1;
        }
        const QPainterPath::Element &from = m_path.elementAt(end - 1), &to = m_path.elementAt(first);
        if (from.x != to.x || from.y != to.y)
            m_segments.append({end - 1, first, false, m_sides[end - 1 - first] & m_sides[0]});
    }

    // The point where the piece before `piece` ends and `piece` starts.
    QPointF pointBefore(qsizetype piece) const
    {
        const Piece& previous = m_pieces[(piece + m_pieces.size() - 1) % m_pieces.size()];
        const Piece& next = m_pieces[piece];
        if (previous.sides && next.sides)
            return pointBeyond(previous.sides | next.sides);
        return pointAt(m_segments[next.firstSegment].start);
    }

    // A pixel beyond the box on `sides`, midway along the sides it is not beyond.
    QPointF pointBeyond(unsigned sides) const
    {
        const QPointF centre = m_box.center();
        const double x = sides & Left ? m_box.left() - 1 : sides & Right ? m_box.right() + 1 : centre.x();
        const double y = sides & Above ? m_box.top() - 1 : sides & Below ? m_box.bottom() + 1 : centre.y();
        return m_toPath.map(QPointF(x, y));
    }

    void appendPieces()
    {
        if (m_pieces.isEmpty())
            return;
        m_trimmed.moveTo(pointBefore(0));
        for (qsizetype p = 0; p < m_pieces.size(); ++p) {
            if (m_pieces[p].sides) {
                m_changed = true;
                m_trimmed.lineTo(pointBefore((p + 1) % m_pieces.size()));
                continue;
            }
            const Segment& segment = m_segments[m_pieces[p].firstSegment];
            if (segment.curve)
                m_trimmed.cubicTo(pointAt(segment.end - 2), pointAt(segment.end - 1), pointAt(segment.end));
            else
                m_trimmed.lineTo(pointAt(segment.end));
        }
    }

    const QPainterPath& m_path;
    const QTransform& m_toDevice;
    const QTransform& m_toPath;
    const QRectF m_box;
    QPainterPath m_trimmed;
    QVarLengthArray<unsigned, 64> m_sides;
    QList<Segment> m_segments;
    QList<Piece> m_pieces;
    bool m_changed = false;
};

// The segments of one subpath for a stroke that lie within reach of the box. Where a segment out of
// reach meets one within, the join lies out of reach too, so it may become two ends.
class StrokeTrimmer {
public:
    StrokeTrimmer(const QPainterPath& path, const QTransform& toDevice, const QRectF& box)
        : m_path(path), m_toDevice(toDevice), m_box(box)
    {
    }

    // Appends the part of the subpath of the elements from `first` up to `end` to keep; answers
    // whether that is less than all of it.
    bool appendKeptPart(QPainterPath& trimmed, int first, int end)
    {
        collectSegments(first, end);
        const qsizetype count = m_segments.size();
        const bool anyNear = std::any_of(m_segments.cbegin(), m_segments.cend(), [](const auto& s) { return s.near; });
        const bool allNear = std::all_of(m_segments.cbegin(), m_segments.cend(), [](const auto& s) { return s.near; });
        // A closed subpath joins its ends: kept whole when that join is within reach.
        const bool closed = count > 1 && pointAt(end - 1) == pointAt(first);
        if (allNear || (closed && (m_segments.first().near || m_segments.last().near))) {
            appendElements(trimmed, first, end);
            return false;
        }
        if (!anyNear)
            return true;
        // Qt draws a path of one line with flat or square caps as a quadrilateral, not as an
        // outline: a segment out of reach keeps a lone one company.
        QVarLengthArray<bool, 64> kept(count);
        for (qsizetype i = 0; i < count; ++i)
            kept[i] = m_segments[i].near;
        for (qsizetype i = 0; i < count; ++i) {
            const bool alone = m_segments[i].near && (i == 0 || !m_segments[i - 1].near)
                               && (i + 1 == count || !m_segments[i + 1].near);
            if (alone)
                kept[i + 1 < count ? i + 1 : i - 1] = true;
        }
        for (qsizetype i = 0; i < count; ++i) {
            if (!kept[i])
                continue;
            trimmed.moveTo(pointAt(m_segments[i].start));
            for (; i < count && kept[i]; ++i)
                appendSegment(trimmed, m_segments[i]);
        }
        return true;
    }

private:
    struct StrokeSegment {
        int start = 0; // the element of its start point
        int end = 0;   // the element of its end point
        bool near = false;
    };

    QPointF pointAt(int index) const { return m_path.elementAt(index); }

    void collectSegments(int first, int end)
    {
        m_segments.clear();
        for (int i = first + 1; i < end;) {
            const int last = m_path.elementAt(i).isCurveTo() ? i + 2 : i;
            const QPointF start = m_toDevice.map(pointAt(i - 1));
            QRectF bounds(start, start);
            for (int p = i; p <= last; ++p) {
                const QPointF point = m_toDevice.map(pointAt(p));
                bounds.setLeft(std::min(bounds.left(), point.x()));
                bounds.setRight(std::max(bounds.right(), point.x()));
                bounds.setTop(std::min(bounds.top(), point.y()));
                bounds.setBottom(std::max(bounds.bottom(), point.y()));
            }
            const bool near = bounds.right() >= m_box.left() && bounds.left() <= m_box.right()
                              && bounds.bottom() >= m_box.top() && bounds.top() <= m_box.bottom();
            m_segments.append({i - 1, last, near});
            i = last + 1;
        }
    }

    void appendElements(QPainterPath& trimmed, int first, int end) const
    {
        trimmed.moveTo(pointAt(first));
        for (const StrokeSegment& segment : m_segments)
            appendSegment(trimmed, segment);
    }

    void appendSegment(QPainterPath& trimmed, const StrokeSegment& segment) const
    {
        if (segment.end - segment.start == 3)
            trimmed.cubicTo(pointAt(segment.end - 2), pointAt(segment.end - 1), pointAt(segment.end));
        else
            trimmed.lineTo(pointAt(segment.end));
    }

    const QPainterPath& m_path;
    const QTransform& m_toDevice;
    const QRectF m_box;
    QList<StrokeSegment> m_segments;
};

// Calls `subpath(first, end)` with the elements of each subpath of `path`, in order.
template <class Subpath>
void forEachSubpath(const QPainterPath& path, Subpath&& subpath)
{
    const int count = path.elementCount();
    for (int first = 0; first < count;) {
        int end = first + 1;
        while (end < count && !path.elementAt(end).isMoveTo())
            ++end;
        subpath(first, end);
        first = end;
    }
}

// The pixels of a raster image the painter may change: its device, narrowed by its clip; none for
// other devices.
std::optional<QRect> changeablePixels(const QPainter& painter, const QTransform& toDevice)
{
    const QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image)
        return std::nullopt;
    QRect pixels = static_cast<const QImage*>(device)->rect();
    if (painter.hasClipping())
        pixels &= toDevice.mapRect(painter.clipBoundingRect()).toAlignedRect();
    return pixels;
}

// Qt keeps what it converts a painted path into (over 3 KB, however short the path) with the
// path's shared data for as long as that data lives. Drawables paint copies sharing their stored
// path's data, so a map would keep one conversion per object for its whole life; a copy of its
// own takes the conversion with it.
QPainterPath unsharedCopy(const QPainterPath& path)
{
    QPainterPath copy;
    copy.setFillRule(path.fillRule());
    copy.addPath(path);
    return copy;
}

} // namespace

QPainterPath pathTrimmedToPixels(const QPainterPath& path, const QTransform& toDevice, const QRect& pixels)
{
    const QRectF box = QRectF(pixels).adjusted(-kMarginPixels, -kMarginPixels, kMarginPixels, kMarginPixels);
    if (toDevice.type() == QTransform::TxProject || box.contains(toDevice.mapRect(path.controlPointRect())))
        return path;
    bool invertible = false;
    const QTransform toPath = toDevice.inverted(&invertible);
    if (!invertible)
        return path;
    SubpathTrimmer trimmer(path, toDevice, toPath, box);
    forEachSubpath(path, [&](int first, int end) { trimmer.trim(first, end); });
    return trimmer.changed() ? trimmer.trimmed() : path;
}

QPainterPath pathTrimmedForStroke(const QPainterPath& path, const QTransform& toDevice, const QRect& pixels,
                                  double reach)
{
    const double widening = kMarginPixels + std::max(reach, 0.0);
    const QRectF box = QRectF(pixels).adjusted(-widening, -widening, widening, widening);
    if (toDevice.type() == QTransform::TxProject || box.contains(toDevice.mapRect(path.controlPointRect())))
        return path;
    StrokeTrimmer trimmer(path, toDevice, box);
    QPainterPath trimmed;
    bool changed = false;
    forEachSubpath(path, [&](int first, int end) { changed |= trimmer.appendKeptPart(trimmed, first, end); });
    return changed ? trimmed : path;
}

double penReach(const QPen& pen)
{
    // A miter reaches out from its join point up to the miter limit times the width.
    return pen.widthF() * std::max(pen.miterLimit(), 1.0);
}

Stretches stretchesOf(const QTransform& transform)
{
    const double a = transform.m11(), b = transform.m12(), c = transform.m21(), d = transform.m22();
    const double sum = a * a + b * b + c * c + d * d;
    const double determinant = a * d - b * c;
    const double spread = std::sqrt(std::max(0.0, sum * sum - 4 * determinant * determinant));
    return {std::sqrt(std::max(0.0, (sum - spread) / 2)), std::sqrt((sum + spread) / 2)};
}

void fillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush)
{
    // Gradients and patterns are fetched span by span, and trimming may split the spans elsewhere.
    const QTransform toDevice = painter.deviceTransform();
    const std::optional<QRect> pixels = changeablePixels(painter, toDevice);
    if (!pixels || brush.style() != Qt::SolidPattern) {
        painter.fillPath(unsharedCopy(path), brush);
        return;
    }
    const QPainterPath trimmed = pathTrimmedToPixels(path, toDevice, *pixels);
    if (!trimmed.isEmpty())
        painter.fillPath(unsharedCopy(trimmed), brush);
}

void strokePathWithQt(QPainter& painter, const QPainterPath& path, const QPen& pen)
{
    // Dash patterns run on from the start of each subpath, and Qt draws pens up to a pixel wide
    // segment by segment.
    const QTransform toDevice = painter.deviceTransform();
    const std::optional<QRect> pixels = changeablePixels(painter, toDevice);
    const Stretches stretches = stretchesOf(toDevice);
    if (!pixels || pen.style() != Qt::SolidLine || pen.isCosmetic() || pen.brush().style() != Qt::SolidPattern
        || !(pen.widthF() * stretches.smallest > kThinPenPixels) || !std::isfinite(pen.widthF() * stretches.largest)) {
        painter.strokePath(unsharedCopy(path), pen);
        return;
    }
    const double reach = penReach(pen) * stretches.largest;
    const QPainterPath trimmed = pathTrimmedForStroke(path, toDevice, *pixels, reach);
    if (!trimmed.isEmpty())
        painter.strokePath(unsharedCopy(trimmed), pen);
}

} // namespace platform
