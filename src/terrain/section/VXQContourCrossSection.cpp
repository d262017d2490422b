#include "terrain/section/VXQContourCrossSection.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PolylineStroke.h"
#include "platform/graphics/RasterFill.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXKnob.h"
#include "terrain/section/StripPainting.h"

#include <QPainter>
#include <QScopeGuard>

namespace {

constexpr double kGraticuleWidth = 0.1;
constexpr double kSmoothing = 1.0;
// Points this dense lie a few pixels apart at most zooms, where a curve through them looks as
// the lines between them do, and costs many times as much to fill and stroke.
constexpr int kMostSmoothedPoints = 512;
const QColor kFillColour = QColor::fromRgbF(1.0, 0.5, 0.0, 0.15);
const QColor kStrokeColour = Qt::red;
constexpr double kStrokeWidth = 0.75;

// The pen of the section's style.
QPen outlinePen()
{
    QPen pen(kStrokeColour, kStrokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

// The on-path point of every element of the path.
QList<QPointF> pathPoints(const platform::BezierPath& path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        QPointF p[3];
        const platform::PathElement kind = path.elementAtIndexAssociatedPoints(i, p);
        points.append(kind == platform::PathElement::CurveTo ? p[2] : p[0]);
    }
    return points;
}

} // namespace

VXStylePtr VXQContourCrossSection::sectionStyle()
{
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(kFillColour, kStrokeColour, kStrokeWidth);
}

bool VXQContourCrossSection::isVertical() const
{
    const QRectF box = bounds();
    return box.height() > box.width();
}

const platform::BezierPath& VXQContourCrossSection::graticule() const
{
    if (m_graticule)
        return *m_graticule;
    const QRectF box = path().bounds();
    const bool vertical = isVertical();
    platform::BezierPath lines;
    const platform::BezierPath& profile = path();
    for (int i = 0; i < profile.elementCount(); ++i) {
        QPointF p[3];
        if (profile.elementAtIndexAssociatedPoints(i, p) != platform::PathElement::LineTo)
            continue;
        if (vertical) {
            lines.moveToPoint({box.left(), p[0].y()});
            lines.lineToPoint({box.right(), p[0].y()});
        } else {
            lines.moveToPoint({p[0].x(), box.top()});
            lines.lineToPoint({p[0].x(), box.bottom()});
        }
    }
    return m_graticule.emplace(lines);
}

void VXQContourCrossSection::setPath(const platform::BezierPath& path)
{
    m_graticule.reset();
    m_smoothed.reset();
    VXDrawablePath::setPath(path);
    renderingPath(); // made here, on the owning thread, before any drawing asks for it
}

platform::BezierPath VXQContourCrossSection::renderingPath() const
{
    if (!m_smoothed) {
        const platform::BezierPath plain = VXDrawablePath::renderingPath();
        m_smoothed = plain.elementCount() > kMostSmoothedPoints ? plain : plain.bezierPathByInterpolatingPath(kSmoothing);
    }
    return *m_smoothed;
}

int VXQContourCrossSection::hitPart(QPointF point) const
{
    const QList<QPointF> points = pathPoints(path());
    const VXKnob& knobs = VXKnob::knobs();
    for (qsizetype i = 0; i < points.size(); ++i)
        if (knobs.hitTestPointInKnobAtPointOfTypeUserInfo(point, points[i], kVXBoundingRectKnobType, {}))
            return int(i) + 1;
    return VXDrawablePath::hitPart(point);
}

// As the section's style draws it, strip by strip.
void VXQContourCrossSection::drawContent() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter& painter = *context->painter();
    const QTransform toDevice = painter.deviceTransform();
    const QPen pen = outlinePen();
    const double scale = std::sqrt(std::abs(toDevice.determinant()));
    const double reach = platform::penReach(pen) * scale;
    // Qt draws pens up to a pixel wide line by line, cheaply; wider ones it outlines and fills.
    const bool hairline = kStrokeWidth * scale <= 1;
    const QPainterPath shape = renderingPath().painterPathWithWindingRule();
    const Qt::Orientation cuts = isVertical() ? Qt::Horizontal : Qt::Vertical; // across the profile
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, VXStyle::shouldAntialias());
    const QList<QPolygonF> outline = sectionstrips::devicePolygons(shape, toDevice);
    const QRectF extent = shape.controlPointRect();
    sectionstrips::paintInStrips(painter, extent, 0, cuts, sectionstrips::kStripPixels, [&](const QRect& strip) {
        if (strip.isEmpty())
            platform::fillPath(painter, shape, kFillColour);
        else
            sectionstrips::fillWithin(painter, outline, strip, kFillColour);
    });
    if (hairline) {
        platform::strokePath(painter, shape, pen);
    } else {
        // Each strip is given what the pen reaches it from on both sides: strips twice as wide as
        // that reach cost least.
        using sectionstrips::kStripPixels;
        const int width = kStripPixels * std::max(1, int(std::ceil(2 * reach / kStripPixels)));
        sectionstrips::paintInStrips(painter, extent, reach, cuts, width, [&](const QRect& strip) {
            const QPainterPath reaching =
                strip.isEmpty() ? shape : platform::pathTrimmedForStroke(shape, toDevice, strip, reach);
            platform::strokePath(painter, reaching, pen);
        });
    }
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

void VXQContourCrossSection::drawSelectedState() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    platform::KnobStampBatch::flushCurrent();
    QPainter& painter = *context->painter();
    {
        painter.save();
        const auto restore = qScopeGuard([&] { painter.restore(); });
        painter.setClipPath(renderingPath().painterPath(), Qt::IntersectClip);
        painter.setPen(QPen(Qt::black, kGraticuleWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(graticule().painterPath());
    }
    const VXKnob& knobs = VXKnob::knobs();
    for (const QPointF& point : pathPoints(path()))
        knobs.drawKnobAtPointOfTypeAngleHighlightColour(point, kVXBoundingRectKnobType, 0, Qt::red);
}
