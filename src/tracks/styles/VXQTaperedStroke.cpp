#include "tracks/styles/VXQTaperedStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QtMath>

namespace {

// Sample spacing along the outline: fine enough for smooth tapers, bounded on long paths.
constexpr double kMinimumSampleStep = 0.5;
constexpr double kMaximumSamples = 20000;

QPointF rightNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    return QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
}

double signedArea(const QPolygonF& polygon)
{
    double twice = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i];
        const QPointF b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2;
}

// Every piece goes in turning the same way, so non-zero filling draws their union.
void addPiece(QPainterPath& outline, QPolygonF piece)
{
    const double area = signedArea(piece);
    if (std::abs(area) < 1e-12)
        return;
    if (area < 0)
        std::reverse(piece.begin(), piece.end());
    outline.addPolygon(piece);
    outline.closeSubpath();
}

double polylineLength(const QPolygonF& polyline)
{
    double length = 0;
    for (qsizetype i = 1; i < polyline.size(); ++i)
        length += QLineF(polyline[i - 1], polyline[i]).length();
    return length;
}

} // namespace

bool VXQTaperedStroke::isTaperKind(int kind)
{
    return kind >= kNoTaper && kind <= kPointedTaper;
}

double VXQTaperedStroke::taperFactor(int kind, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    switch (kind) {
    case kNoTaper: return 1;
    case kRoundedTaper: return std::sqrt(1 - (1 - t) * (1 - t));
    case kPointedTaper: return t * t;
    default: return t;
    }
}

VXQTaperedStroke::VXQTaperedStroke() = default;

QString VXQTaperedStroke::displayName() const
{
    return tr("Tapered Stroke");
}

void VXQTaperedStroke::setTaperKind(int kind)
{
    if (isTaperKind(kind))
        setValueForKeyWithUndo(m_taperKind, kind, "taperKind");
}

void VXQTaperedStroke::setLeftTaperProportion(double proportion)
{
    setValueForKeyWithUndo(m_leftTaperProportion, std::clamp(proportion, 0.0, 1.0), "leftTaperProportion");
}

void VXQTaperedStroke::setRightTaperProportion(double proportion)
{
    setValueForKeyWithUndo(m_rightTaperProportion, std::clamp(proportion, 0.0, 1.0), "rightTaperProportion");
}

void VXQTaperedStroke::setLeftTaperEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_leftTaperEnabled, enabled, "leftTaperEnabled");
}

void VXQTaperedStroke::setRightTaperEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_rightTaperEnabled, enabled, "rightTaperEnabled");
}

double VXQTaperedStroke::widthFactorAtPositionOfLength(double position, double length) const
{
    double factor = 1;
    if (!(length > 0))
        return factor;
    if (m_leftTaperEnabled && m_leftTaperProportion > 0)
        factor = std::min(factor, taperFactor(m_taperKind, position / (m_leftTaperProportion * length)));
    if (m_rightTaperEnabled && m_rightTaperProportion > 0)
        factor = std::min(factor, taperFactor(m_taperKind, (length - position) / (m_rightTaperProportion * length)));
    return factor;
}

QPainterPath VXQTaperedStroke::taperedOutlineForPath(const platform::BezierPath& path) const
{
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    const QList<QPolygonF> polylines = styledPath(path).painterPath().toSubpathPolygons();
    double length = 0;
    for (const QPolygonF& polyline : polylines)
        length += polylineLength(polyline);
    if (!(length > 0))
        return outline;
    const double step = std::max(kMinimumSampleStep, length / kMaximumSamples);
    const auto halfWidthAt = [&](double position) {
        return width() / 2 * widthFactorAtPositionOfLength(position, length);
    };
    // Quadrilaterals along each segment, bevels filling the outer side of each corner.
    double position = 0;
    for (const QPolygonF& polyline : polylines) {
        QPointF previousNormal;
        for (qsizetype i = 1; i < polyline.size(); ++i) {
            const QLineF segment(polyline[i - 1], polyline[i]);
            if (segment.length() < 1e-9)
                continue;
            const QPointF normal = rightNormal(segment.p1(), segment.p2());
            const double here = halfWidthAt(position);
            if (!previousNormal.isNull()) {
                addPiece(outline, {segment.p1(), segment.p1() + previousNormal * here, segment.p1() + normal * here});
                addPiece(outline, {segment.p1(), segment.p1() - previousNormal * here, segment.p1() - normal * here});
            }
            const int pieces = std::max(1, qCeil(segment.length() / step));
            for (int k = 0; k < pieces; ++k) {
                const QPointF a = segment.pointAt(double(k) / pieces);
                const QPointF b = segment.pointAt(double(k + 1) / pieces);
                const double from = halfWidthAt(position + segment.length() * k / pieces);
                const double to = halfWidthAt(position + segment.length() * (k + 1) / pieces);
                addPiece(outline, {a + normal * from, b + normal * to, b - normal * to, a - normal * from});
            }
            position += segment.length();
            previousNormal = normal;
        }
    }
    return outline;
}

void VXQTaperedStroke::render(const VXRenderable& object) const
{
    if (!tapers()) {
        VXStroke::render(object);
        return;
    }
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const platform::BezierPath path = object.renderingPath();
    const QPainterPath outline = taperedOutlineForPath(path);
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(), clipping());
    if (shadow())
        shadow()->drawShadowForPath(outline);
    if (colour().isValid())
        painter->fillPath(outline, colour());
    painter->restore();
}

bool VXQTaperedStroke::tapers() const
{
    return m_taperKind != kNoTaper && ((m_leftTaperEnabled && m_leftTaperProportion > 0)
                                       || (m_rightTaperEnabled && m_rightTaperProportion > 0));
}
