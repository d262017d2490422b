#include "style_editor/dash/ZQDashEditView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

ZQDashEditView::ZQDashEditView(QWidget* parent)
    : QWidget(parent)
{
    m_path.setLineWidth(5.0);
}

void ZQDashEditView::setDash(const VXStrokeDashPtr& dash)
{
    m_dash = dash;
    update();
}

void ZQDashEditView::setLineWidth(double width)
{
    m_path.setLineWidth(std::max(width, 1.0));
    update();
}

void ZQDashEditView::setLineCapStyle(int style)
{
    m_path.setLineCapStyle(platform::LineCapStyle(std::clamp(style, 0, 2)));
    update();
}

void ZQDashEditView::setLineJoinStyle(int style)
{
    m_path.setLineJoinStyle(platform::LineJoinStyle(std::clamp(style, 0, 2)));
    update();
}

void ZQDashEditView::setLineColour(const QColor& colour)
{
    m_lineColour = colour;
    update();
}

double ZQDashEditView::dashLineY() const
{
    return (rect().top() + rect().bottom() + 1) / 4.0;
}

double ZQDashEditView::scale() const
{
    return m_dash && m_dash->scalesToLineWidth() ? m_path.lineWidth() : 1.0;
}

QRectF ZQDashEditView::phaseHandle() const
{
    const double s = scale();
    const double phase = m_dash ? m_dash->phase() : 0;
    return {phase * s + kInset, dashLineY() + std::max(s, 2.0), 5, 10};
}

QList<QRectF> ZQDashEditView::calcHandles()
{
    m_handles.clear();
    if (!m_dash)
        return m_handles;
    const double s = scale();
    const double bottom = height();
    double x = kInset - kHandleSize / 2 + m_dash->phase() * s;
    for (double length : m_dash->dashPattern()) {
        x += length * s;
        QRectF handle(x, dashLineY() + 15.0, kHandleSize, kHandleSize);
        // Handles that would overlap stack downwards, within the view.
        for (const QRectF& earlier : std::as_const(m_handles)) {
            if (handle.intersects(earlier))
                handle.translate(0, earlier.height() + 1.0);
            if (handle.bottom() > bottom)
                handle.moveTop(bottom - kHandleSize);
        }
        m_handles.append(handle);
    }
    return m_handles;
}

int ZQDashEditView::mouseInHandle(QPointF point) const
{
    for (qsizetype i = 0; i < m_handles.size(); ++i)
        if (m_handles[i].contains(point))
            return int(i);
    return phaseHandle().contains(point) ? kPhaseHandle : kNoHandle;
}

void ZQDashEditView::dragSelectedTo(double x)
{
    if (!m_dash || m_selected == kNoHandle)
        return;
    double s = scale();
    if (s <= 0)
        s = 1.0;
    if (m_selected == kPhaseHandle) {
        m_dash->setPhase(std::max(0.0, (x - kInset) / s));
    } else {
        QList<double> pattern = m_dash->dashPattern();
        if (m_selected >= pattern.size())
            return;
        double start = m_dash->phase() * s + kInset;
        for (int i = 0; i < m_selected; ++i)
            start += pattern[i] * s;
        pattern[m_selected] = std::max(0.0, (x - start) / s);
        m_dash->setDashPattern(pattern);
    }
    if (dashChanged)
        dashChanged();
}

void ZQDashEditView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(Qt::lightGray, 1.0));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));

    const double y = dashLineY();
    platform::BezierPath line = m_path;
    line.moveToPoint({kInset, y});
    line.lineToPoint({width() - kInset, y});
    if (drawBackgroundForDashStroke)
        drawBackgroundForDashStroke(painter, line);
    line.setLineWidth(m_path.lineWidth());
    if (m_dash)
        m_dash->applyToPath(line);
    const bool valid = !m_dash || m_dash->isValid();
    painter.strokePath(line.painterPath(), line.penWithColour(valid ? m_lineColour : QColor(Qt::red)));

    calcHandles();
    const QPen thinnest(Qt::darkGray, 0);
    for (qsizetype i = 0; i < m_handles.size(); ++i) {
        const QRectF& handle = m_handles[i];
        if (i == m_selected)
            painter.setBrush(Qt::green);
        else
            painter.setBrush(Qt::NoBrush);
        painter.setPen(thinnest);
        painter.drawLine(QPointF(handle.center().x(), y + 3.0), QPointF(handle.center().x(), handle.top()));
        painter.drawEllipse(handle);
    }
    const QRectF phase = phaseHandle();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::darkGray);
    painter.drawPolygon(QPolygonF{phase.topLeft(), phase.bottomLeft(),
                                  QPointF(phase.right(), phase.top() + phase.height() / 2)});
}

void ZQDashEditView::mousePressEvent(QMouseEvent* event)
{
    m_selected = mouseInHandle(event->position());
    update();
}

void ZQDashEditView::mouseMoveEvent(QMouseEvent* event)
{
    dragSelectedTo(event->position().x());
    update();
}

void ZQDashEditView::mouseReleaseEvent(QMouseEvent*)
{
    m_selected = kNoHandle;
    update();
}
