#include "widgets/minicontrols/ZQMiniRadialControl2.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/ColourUtilities.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

using platform::BezierPath;

namespace {

bool isFinite(QPointF point) { return std::isfinite(point.x()) && std::isfinite(point.y()); }

constexpr double kPi = std::numbers::pi;

} // namespace

ZQMiniRadialControl2::ZQMiniRadialControl2(const QRectF& bounds)
    : ZQMiniControl(bounds),
      m_centre(bounds.center())
{
    setMaxValue(60);
    setInfoWindowMode(kInfoWindowNearPointer);
}

void ZQMiniRadialControl2::setBounds(const QRectF& bounds)
{
    ZQMiniControl::setBounds(bounds);
    setRingRadius(float(std::min(bounds.width(), bounds.height()) / 6));
}

float ZQMiniRadialControl2::tabAngleForRadius(float radius) const
{
    const double maximum = maxValue();
    return maximum == 0 ? kMinimumTabAngle : float(radius / (maximum * kPi) - kPi / 4);
}

void ZQMiniRadialControl2::setRadius(float radius)
{
    if (radius == m_radius || isNotifying() || !std::isfinite(radius))
        return;
    const auto self = retainedSelf();
    notifyDelegateWillChange({});
    m_radius = radius;
    notifyDelegateDidChange({});
    if (ZQMiniControlDelegate* told = delegate())
        notifying([&] { told->radialControlDidChangeRadius(this, m_radius); });
    setNeedsDisplay();
    if (m_irisDilating)
        return;
    // Within the tab's range the tab just follows; computing the radius back from the
    // angle would store (and announce) a rounded copy of what was set.
    const float angle = tabAngleForRadius(m_radius);
    if (angle >= kMinimumTabAngle && angle <= kMaximumTabAngle) {
        if (angle != m_tabAngle) {
            m_tabAngle = angle;
            setNeedsDisplay();
        }
    } else {
        setTabAngle(angle);
    }
}

void ZQMiniRadialControl2::setTabAngle(float angle)
{
    if (m_irisDilating || std::isnan(angle))
        return;
    angle = std::clamp(angle, kMinimumTabAngle, kMaximumTabAngle);
    if (angle == m_tabAngle)
        return;
    const auto self = retainedSelf();
    m_tabAngle = angle;
    setNeedsDisplay();
    m_irisDilating = true;
    setRadius(float(maxValue() * kPi * double(angle - kMinimumTabAngle)));
    m_irisDilating = false;
}

void ZQMiniRadialControl2::setCentre(QPointF centre)
{
    if (centre == m_centre || isNotifying() || !isFinite(centre))
        return;
    const auto self = retainedSelf();
    notifyDelegateWillChange({});
    m_centre = centre;
    notifyDelegateDidChange({});
    if (ZQMiniControlDelegate* told = delegate())
        notifying([&] { told->radialControlDidChangeCentre(this, m_centre); });
    setNeedsDisplay();
}

void ZQMiniRadialControl2::setRingRadius(float radius)
{
    m_ringRadius = radius;
    invalidatePathCache();
}

QColor ZQMiniRadialControl2::tabColor() const
{
    QColor colour = m_tabColour;
    colour.setAlphaF(float(colour.alphaF() * (cluster() ? cluster()->alpha() : 0.0)));
    return colour;
}

void ZQMiniRadialControl2::setTabColor(const QColor& colour)
{
    m_tabColour = colour;
    setNeedsDisplay();
}

void ZQMiniRadialControl2::invalidatePathCache()
{
    m_iris.reset();
    m_tab.reset();
    m_hitTab.reset();
}

double ZQMiniRadialControl2::ringWidth() const { return std::max(ringRadius() / 3.5, 8.0); }

void ZQMiniRadialControl2::buildPathCache()
{
    if (m_iris)
        return;
    const double ring = ringRadius();
    const double width = ringWidth();
    const double tabWidth = width + 5;
    m_iris = BezierPath::bezierPathWithIrisRingWithRadiusWidthTabSize(ring, width, QSizeF(1.5 * width, 1.5 * width))
                 .painterPathWithWindingRule();
    m_tab = BezierPath::bezierPathWithIrisTabWithRadiusWidthTabSize(ring, tabWidth,
                                                                    QSizeF(0.67 * tabWidth, 0.67 * tabWidth))
                .painterPathWithWindingRule();
    m_hitTab = BezierPath::bezierPathWithIrisTabWithRadiusWidthTabSize(ring, tabWidth,
                                                                       QSizeF(1.5 * tabWidth, 1.5 * tabWidth))
                   .painterPathWithWindingRule();
}

QPainterPath ZQMiniRadialControl2::placed(const QPainterPath& atOrigin) const
{
    QTransform transform;
    transform.translate(m_centre.x(), m_centre.y());
    transform.rotateRadians(m_tabAngle);
    return transform.map(atOrigin);
}

QPainterPath ZQMiniRadialControl2::irisPath()
{
    buildPathCache();
    return placed(*m_iris);
}

QPainterPath ZQMiniRadialControl2::tabPath()
{
    buildPathCache();
    return placed(*m_tab);
}

QPainterPath ZQMiniRadialControl2::hitTabPath()
{
    buildPathCache();
    return placed(*m_hitTab);
}

QPointF ZQMiniRadialControl2::trackPointForAngle(float degrees) const
{
    const double radians = degrees * kPi / 180;
    return m_centre + ringRadius() * QPointF(std::cos(radians), std::sin(radians));
}

int ZQMiniRadialControl2::hitTestPoint(QPointF point)
{
    if (!bounds().contains(point))
        return kNoPart;
    if (hitTabPath().contains(point))
        return kTabPart;
    return irisPath().contains(point) ? kIrisPart : kNoPart;
}

bool ZQMiniRadialControl2::mouseDownAt(QPointF point, int part, platform::ModifierFlags)
{
    if (part == kTabPart)
        setupInfoWindowAtPointWithValueAndFormat(tabPath().boundingRect().topLeft(), m_radius, kRadiusFormat);
    else if (part == kIrisPart)
        m_offset = point - m_centre;
    else
        return false;
    m_hilite = true;
    return true;
}

bool ZQMiniRadialControl2::mouseDraggedAt(QPointF point, int part, platform::ModifierFlags)
{
    const auto self = retainedSelf();
    if (part == kTabPart) {
        setTabAngle(float(std::atan2(point.y() - m_centre.y(), point.x() - m_centre.x())));
        updateInfoWindowAtPointWithValue(tabPath().boundingRect().topLeft(), m_radius);
    } else if (part == kIrisPart) {
        setCentre(point - m_offset);
    }
    return true;
}

void ZQMiniRadialControl2::mouseUpAt(QPointF point, int part, platform::ModifierFlags flags)
{
    m_hilite = false;
    ZQMiniControl::mouseUpAt(point, part, flags);
}

void ZQMiniRadialControl2::draw(QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath iris = irisPath();
    const QColor fill = themeColour(4);
    painter.fillPath(iris, m_hilite ? platform::shadowWithLevel(fill, 0.33) : fill);
    painter.strokePath(iris, QPen(QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3), 0.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(themeColour(2));
    for (float degrees : {-45.0f, 45.0f}) {
        QRectF dot(0, 0, 4, 4);
        dot.moveCenter(trackPointForAngle(degrees));
        painter.drawEllipse(dot);
    }
    painter.restore();

    const double tabWidth = ringWidth() + 5;
    const QPointF knobCentre =
        m_centre + (ringRadius() + 1.3 * tabWidth) * QPointF(std::cos(m_tabAngle), std::sin(m_tabAngle));
    const double diameter = 0.58 * tabWidth;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tabColor());
    painter.drawEllipse(knobCentre, diameter / 2, diameter / 2);
    painter.restore();
}

ZQMiniRadialControls::ZQMiniRadialControls(const QRectF& bounds)
    : ZQMiniControl(bounds),
      m_centre(bounds.center())
{
}

void ZQMiniRadialControls::setCentre(QPointF centre)
{
    if (centre == m_centre || !isFinite(centre))
        return;
    const auto self = retainedSelf();
    notifyDelegateWillChange({});
    m_centre = centre;
    notifyDelegateDidChange({});
}

void ZQMiniRadialControls::setRadius(double radius)
{
    if (radius == m_radius || !std::isfinite(radius))
        return;
    const auto self = retainedSelf();
    notifyDelegateWillChange({});
    m_radius = radius;
    notifyDelegateDidChange({});
}

QRectF ZQMiniRadialControls::targetRect() const
{
    QRectF target(0, 0, 20, 20);
    target.moveCenter(m_centre);
    return target;
}

QRectF ZQMiniRadialControls::rectForRadius() const
{
    QRectF square(0, 0, 25, 25);
    square.moveCenter(m_centre);
    return square;
}

int ZQMiniRadialControls::hitTestPoint(QPointF point)
{
    if (!bounds().contains(point))
        return kNoPart;
    return targetRect().contains(point) ? kTargetPart : kNoPart;
}

bool ZQMiniRadialControls::mouseDraggedAt(QPointF point, int part, platform::ModifierFlags)
{
    if (part == kTargetPart)
        setCentre(point);
    return true;
}

void ZQMiniRadialControls::draw(QPainter& painter) { drawRadControlInRect(painter, targetRect(), m_radius); }

void ZQMiniRadialControls::drawRadControlInRect(QPainter& painter, const QRectF& rect, double radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor grey = platform::rgbGrey(0.5);
    const QPainterPath target = BezierPath::bezierPathWithTargetInRect(rect).painterPathWithWindingRule();
    painter.fillPath(target, grey);
    painter.strokePath(target, QPen(platform::contrastingColor(grey), 0.7));
    if (radius > 0) {
        const QPointF centre = rect.center();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.25f), 5));
        painter.drawEllipse(centre, radius, radius);
        QPen dashed(QColor::fromRgbF(1.0f, 0.5f, 0.0f), 1);
        dashed.setDashPattern({5, 5}); // in line widths, which are 1 here
        dashed.setDashOffset(0);
        painter.setPen(dashed);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.restore();
}
