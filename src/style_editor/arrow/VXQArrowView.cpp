#include "style_editor/arrow/VXQArrowView.h"

#include "platform/graphics/GraphicsContext.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr double kInset = 8.0;

} // namespace

VXQArrowView::VXQArrowView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VXQArrowView::setRasterizer(const std::shared_ptr<VXArrowStroke>& stroke)
{
    m_stroke = stroke;
    updateArrow();
}

void VXQArrowView::updateArrow()
{
    const auto stroke = m_stroke.lock();
    m_showHeadDragOnRight = stroke && stroke->arrowHeadAtStart() == VXArrowStroke::kArrowHeadNone
                            && stroke->arrowHeadAtEnd() != VXArrowStroke::kArrowHeadNone;
    calcTargetRect();
    update();
}

void VXQArrowView::setHandleEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void VXQArrowView::calcTargetRect()
{
    const auto stroke = m_stroke.lock();
    if (!stroke) {
        m_headAdjustmentTarget = {};
        return;
    }
    const QRectF b = rect();
    const int kind = m_showHeadDragOnRight ? stroke->arrowHeadAtEnd() : stroke->arrowHeadAtStart();
    const double trim = stroke->trimLengthForKind(kind);
    const double x = m_showHeadDragOnRight ? b.right() - kInset - trim : b.left() + kInset + trim;
    const double y = b.center().y() - stroke->arrowHeadWidth() / 2;
    m_headAdjustmentTarget = QRectF(x - 4, y - 4, 8, 8);
}

QSizeF VXQArrowView::headSizeForPoint(QPointF p) const
{
    const auto stroke = m_stroke.lock();
    const QRectF b = rect();
    const double length = m_showHeadDragOnRight ? (b.right() - kInset) - p.x() : p.x() - (b.left() + kInset);
    const double halfWidth = std::max(b.center().y() - p.y(), stroke ? stroke->width() / 2 : 0.0);
    return {length, 2 * halfWidth};
}

platform::BezierPath VXQArrowView::renderingPath() const
{
    const QRectF b = rect();
    platform::BezierPath path;
    path.moveToPoint({b.left() + kInset, b.center().y()});
    path.lineToPoint({b.right() - kInset, b.center().y()});
    return path;
}

void VXQArrowView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(event->rect(), Qt::white);
    painter.setPen(QPen(Qt::lightGray, 1.0));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    const auto stroke = m_stroke.lock();
    if (!stroke)
        return;
    {
        const platform::GraphicsContext::Scope context(&painter);
        stroke->render(*this);
    }
    if (m_enabled) {
        const QColor green(Qt::green);
        painter.setBrush(m_draggingHead ? green.darker(200) : green);
        painter.setPen(QPen(Qt::black, 0.5));
        painter.drawEllipse(m_headAdjustmentTarget);
    }
}

void VXQArrowView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    calcTargetRect();
}

void VXQArrowView::mousePressEvent(QMouseEvent* event)
{
    if (!m_enabled)
        return;
    m_draggingHead = m_headAdjustmentTarget.contains(event->position());
    update();
}

void VXQArrowView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_enabled || !m_draggingHead)
        return;
    if (setArrowHeadSize)
        setArrowHeadSize(headSizeForPoint(event->position()));
    updateArrow();
}

void VXQArrowView::mouseReleaseEvent(QMouseEvent*)
{
    m_draggingHead = false;
    update();
}
