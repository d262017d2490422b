#include "widgets/controls/ZQRoundRectSelectorControl.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/ColourUtilities.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/DropShadow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

constexpr int kCornersInOrder[] = {1, 4, 8, 2};

QRectF snapped(const QRectF& rect, qreal ratio)
{
    const auto snap = [ratio](double v) { return std::round(v * ratio) / ratio; };
    const double left = snap(rect.left()), top = snap(rect.top());
    return QRectF(left, top, snap(rect.right()) - left, snap(rect.bottom()) - top);
}

} // namespace

ZQRoundRectSelectorControl::ZQRoundRectSelectorControl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void ZQRoundRectSelectorControl::setCorners(int corners)
{
    m_corners = corners;
    update();
}

void ZQRoundRectSelectorControl::setState(int state)
{
    m_state = state;
    update();
}

QRectF ZQRoundRectSelectorControl::frameRect(qreal ratio) const
{
    return snapped(QRectF(rect()).adjusted(5, 5, -5, -5), ratio).translated(0.5, -0.5);
}

QRectF ZQRoundRectSelectorControl::quarterRect(int corner, qreal ratio) const
{
    const QRectF r = frameRect(ratio);
    const QSizeF half(r.width() / 2, r.height() / 2);
    switch (corner) {
    case 1:
        return QRectF(r.topLeft(), half);
    case 4:
        return QRectF(QPointF(r.center().x(), r.y()), half);
    case 8:
        return QRectF(r.center(), half);
    case 2:
        return QRectF(QPointF(r.x(), r.center().y()), half);
    default:
        return {};
    }
}

int ZQRoundRectSelectorControl::cornerAt(const QPointF& point) const
{
    const QRectF r = frameRect(devicePixelRatioF());
    if (!r.contains(point))
        return 0;
    const bool left = point.x() < r.center().x();
    const bool upper = point.y() < r.center().y();
    return left ? (upper ? 1 : 2) : (upper ? 4 : 8);
}

QString ZQRoundRectSelectorControl::description() const
{
    return QStringLiteral("<%1: 0x%2> corners=%3")
        .arg(QString::fromLatin1(metaObject()->className()))
        .arg(quintptr(this), 0, 16)
        .arg(m_corners);
}

void ZQRoundRectSelectorControl::toggle(int corner)
{
    setCorners(m_corners ^ corner);
    sendActionFrom(this);
}

// --- Mouse and keys --------------------------------------------------------------------------

void ZQRoundRectSelectorControl::mousePressEvent(QMouseEvent* event)
{
    const int corner = event->button() == Qt::LeftButton ? cornerAt(event->position()) : 0;
    if (!corner || !isEnabled())
        return;
    m_mouseTrackingCorner = corner;
    m_mouseInSegment = true;
    update();
}

void ZQRoundRectSelectorControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouseTrackingCorner)
        return;
    const bool inside = quarterRect(m_mouseTrackingCorner, devicePixelRatioF()).contains(event->position());
    if (inside != m_mouseInSegment) {
        m_mouseInSegment = inside;
        update();
    }
}

void ZQRoundRectSelectorControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_mouseTrackingCorner)
        return;
    const int corner = m_mouseTrackingCorner;
    const bool inside = quarterRect(corner, devicePixelRatioF()).contains(event->position());
    m_mouseTrackingCorner = 0;
    m_mouseInSegment = false;
    if (inside)
        toggle(corner);
    update();
}

void ZQRoundRectSelectorControl::keyPressEvent(QKeyEvent* event)
{
    const bool left = m_focusCorner == 1 || m_focusCorner == 2;
    const bool upper = m_focusCorner == 1 || m_focusCorner == 4;
    int corner = m_focusCorner;
    switch (event->key()) {
    case Qt::Key_Left:
        corner = upper ? 1 : 2;
        break;
    case Qt::Key_Right:
        corner = upper ? 4 : 8;
        break;
    case Qt::Key_Up:
        corner = left ? 1 : 4;
        break;
    case Qt::Key_Down:
        corner = left ? 2 : 8;
        break;
    case Qt::Key_Space:
        toggle(m_focusCorner);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_focusCorner = corner;
    update();
}

// --- Drawing ---------------------------------------------------------------------------------

void ZQRoundRectSelectorControl::drawSegmentInRectCornerHighlighted(QPainter& painter, QRectF rect, bool highlighted) const
{
    rect = snapped(rect, painter.device()->devicePixelRatioF()).translated(0.5, -0.5);
    if (highlighted)
        VLTMHighlightedControlGradient().drawInRect(painter, rect, 90);
    painter.setPen(QPen(isEnabled() ? QColor(Qt::black) : QColor(Qt::gray), 0.25));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
}

void ZQRoundRectSelectorControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal ratio = devicePixelRatioF();
    const QRectF r = frameRect(ratio);
    const QPainterPath outline =
        platform::BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(r, r.width() / 6, m_corners).painterPath();

    if (isEnabled()) {
        drawDropShadow(painter, outline, QPointF(2, 2), 4.0, QColor::fromRgbF(0.5, 0.5, 0.5, 0.66));
        painter.fillPath(outline, QColor(Qt::lightGray));
        painter.save();
        painter.setClipPath(outline);
        VLTMSelectedButtonGradient().drawInRect(painter, r, 90);
        painter.restore();
    } else {
        painter.fillPath(outline, platform::rgbGrey(0.8));
    }

    painter.save();
    painter.setClipPath(outline);
    for (int corner : kCornersInOrder)
        drawSegmentInRectCornerHighlighted(painter, quarterRect(corner, ratio),
                                           corner == m_mouseTrackingCorner && m_mouseInSegment);
    painter.restore();

    QPen pen(isEnabled() ? VLTMControlFrameColour() : VLTMLightControlFrameColour(), 0.5);
    if (m_state == kMixedState)
        pen.setDashPattern({3 / 0.5, 3 / 0.5}); // Qt counts dashes in pen widths
    painter.strokePath(outline, pen);

    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.drawRect(quarterRect(m_focusCorner, ratio).adjusted(2, 2, -2, -2));
    }
}
