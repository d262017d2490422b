#include "platform/graphics/RasterFill.h"

#include <QImage>
#include <QPainter>
#include <QVarLengthArray>

namespace platform {

namespace {

// Wider than the rasteriser's rounding, so what lies beyond the box lies in other pixels.
constexpr int kMarginPixels = 2;

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
    const int count = path.elementCount();
    for (int first = 0; first < count;) {
        int end = first + 1;
        while (end < count && !path.elementAt(end).isMoveTo())
            ++end;
        trimmer.trim(first, end);
        first = end;
    }
    return trimmer.changed() ? trimmer.trimmed() : path;
}

void fillPath(QPainter& painter, const QPainterPath& path, const QBrush& brush)
{
    // Gradients and patterns are fetched span by span, and trimming may split the spans elsewhere.
    const QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || brush.style() != Qt::SolidPattern) {
        painter.fillPath(path, brush);
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    QRect pixels = static_cast<const QImage*>(device)->rect();
    if (painter.hasClipping())
        pixels &= toDevice.mapRect(painter.clipBoundingRect()).toAlignedRect();
    const QPainterPath trimmed = pathTrimmedToPixels(path, toDevice, pixels);
    if (!trimmed.isEmpty())
        painter.fillPath(trimmed, brush);
}

} // namespace platform
