#include "widgets/minicontrols/ZQMiniSlider.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/ColourUtilities.h"
#include "widgets/minicontrols/ZQMiniControlCluster.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

using platform::BezierPath;
using platform::ShiftKeyMask;

ZQMiniSlider::ZQMiniSlider(const QRectF& bounds)
    : ZQMiniControl(bounds),
      m_knobImage(imageNamed(QStringLiteral("smallBlueKnob")))
{
}

void ZQMiniSlider::setShowTickMarks(bool show)
{
    if (show == m_ticks)
        return;
    m_ticks = show;
    setNeedsDisplay();
}

QSizeF ZQMiniSlider::knobSize(QSizeF fallback) const
{
    const QSizeF size = m_knobImage.size();
    return size.isEmpty() ? fallback : size;
}

QRectF ZQMiniSlider::knobRect() const
{
    const QRectF area = bounds();
    const QSizeF knob = knobSize(QSizeF(8, 8));
    const double span = float(area.width() - 2 * kTrackInset);
    return QRectF(area.left() + kTrackInset + span * value() - knob.width() / 2, area.center().y() - knob.height() / 2,
                  knob.width(), knob.height());
}

double ZQMiniSlider::valueForX(double x) const
{
    const QRectF area = bounds();
    const double span = area.width() - 2 * kTrackInset;
    if (!(span > 0))
        return 0.0;
    return float((x - (area.left() + kTrackInset)) / span);
}

int ZQMiniSlider::hitTestPoint(QPointF point)
{
    if (ZQMiniControl::hitTestPoint(point) == kNoPart)
        return kNoPart;
    return knobRect().contains(point) ? kKnobPart : kBodyPart;
}

bool ZQMiniSlider::mouseDownAt(QPointF point, int part, platform::ModifierFlags)
{
    if (part != kKnobPart)
        return false;
    setupInfoWindowAtPointWithValueAndFormat(point, value());
    return true;
}

bool ZQMiniSlider::mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags)
{
    const auto self = retainedSelf();
    ZQMiniControl::mouseDraggedAt(point, part, flags);
    const double moved = valueForX(point.x());
    setNeedsDisplayInRect(knobRect());
    setValue(moved);
    setNeedsDisplayInRect(knobRect());
    return true;
}

void ZQMiniSlider::draw(QPainter& painter)
{
    const QRectF area = bounds();
    const QPainterPath body = BezierPath::bezierPathWithRoundEndedRectInRect(area).painterPath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = themeColour(0);
    drawShadow(painter, body, fill);
    painter.fillPath(body, fill);
    const double y = area.center().y();
    const QPointF from(area.left() + kTrackInset, y);
    const QPointF to(area.right() - kTrackInset, y);
    painter.setPen(QPen(themeColour(1), 0.5));
    painter.drawLine(from, to);
    painter.setPen(QPen(themeColour(5), 0.5));
    painter.drawLine(from + QPointF(0, 1), to + QPointF(0, 1));
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.setOpacity(cluster() ? cluster()->alpha() : 0.0);
    m_knobImage.drawInRect(painter, knobRect());
    painter.restore();
}

ZQMiniCircularSlider::ZQMiniCircularSlider(const QRectF& bounds)
    : ZQMiniSlider(bounds)
{
    setMinValue(-std::numbers::pi);
    setMaxValue(std::numbers::pi);
    setInfoWindowMode(kInfoWindowNearPointer);
}

QRectF ZQMiniCircularSlider::circleBounds() const
{
    const QRectF inset = bounds().adjusted(8, 8, -8, -8);
    const double side = std::min(inset.width(), inset.height());
    QRectF square(0, 0, side, side);
    square.moveCenter(inset.center());
    return square;
}

QPainterPath ZQMiniCircularSlider::circlePath() const
{
    const QRectF circle = circleBounds();
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(circle.adjusted(4, 4, -4, -4));
    ring.addEllipse(circle.adjusted(-4, -4, 4, 4));
    return ring;
}

QRectF ZQMiniCircularSlider::knobRect() const
{
    const QRectF circle = circleBounds();
    const double radius = float(circle.width() / 2);
    const QPointF at = circle.center() + radius * QPointF(std::cos(value()), std::sin(value()));
    QRectF knob(QPointF(), knobSize(QSizeF(20, 20)));
    knob.moveCenter(at);
    return knob;
}

double ZQMiniCircularSlider::degreesForValue() const
{
    return float(std::fmod(value() * 180.0 / std::numbers::pi, 360.0));
}

bool ZQMiniCircularSlider::mouseDownAt(QPointF point, int part, platform::ModifierFlags flags)
{
    setShowTickMarks(flags & ShiftKeyMask);
    if (part != kKnobPart)
        return false;
    setupInfoWindowAtPointWithValueAndFormat(knobRect().topLeft(), degreesForValue(), kDegreesFormat);
    m_hilite = true;
    return true;
}

bool ZQMiniCircularSlider::mouseDraggedAt(QPointF point, int, platform::ModifierFlags flags)
{
    const auto self = retainedSelf();
    const QPointF centre = circleBounds().center();
    double angle = float(std::atan2(point.y() - centre.y(), point.x() - centre.x()));
    setShowTickMarks(flags & ShiftKeyMask);
    if (flags & ShiftKeyMask) {
        constexpr double step = std::numbers::pi / 12;
        angle = std::round(angle / step) * step;
    }
    setNeedsDisplayInRect(knobRect());
    setValue(angle);
    setNeedsDisplayInRect(knobRect());
    flagsChanged(flags);
    updateInfoWindowAtPointWithValue(knobRect().topLeft(), degreesForValue());
    return true;
}

void ZQMiniCircularSlider::mouseUpAt(QPointF point, int part, platform::ModifierFlags flags)
{
    m_hilite = false;
    flagsChanged(flags);
    ZQMiniSlider::mouseUpAt(point, part, flags);
}

void ZQMiniCircularSlider::flagsChanged(platform::ModifierFlags flags) { setShowTickMarks(flags & ShiftKeyMask); }

void ZQMiniCircularSlider::draw(QPainter& painter)
{
    QPainterPath path = circlePath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, themeColour(0));
    if (showTickMarks() && m_hilite) {
        const QRectF circle = circleBounds();
        const QPointF centre = circle.center();
        const double radius = float(circle.width() / 2);
        for (int tick = 0; tick < 24; ++tick) {
            const double angle = float(tick * std::numbers::pi / 12);
            const QPointF direction(std::cos(angle), std::sin(angle));
            path.moveTo(centre + (radius - 4) * direction);
            path.lineTo(centre + (radius + 4) * direction);
        }
    }
    painter.strokePath(path, QPen(themeColour(1), 0.5));
    const QRectF knob = knobRect().adjusted(4, 4, -4, -4);
    const QColor knobFill = platform::rgbGrey(2.0 / 3);
    painter.setBrush(m_hilite ? platform::shadowWithLevel(knobFill, 0.33) : knobFill);
    painter.setPen(QPen(themeColour(1), 0.5));
    painter.drawEllipse(knob);
    painter.restore();
}
