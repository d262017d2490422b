#include "widgets/views/ZQLineEdgeView.h"

#include "platform/graphics/ColourUtilities.h"

#include <QPainter>
#include <cmath>

namespace {

// Stand-in until the kit's pixel alignment lands: whole device pixels around `rect`.
QRectF alignedToDevicePixels(const QPainter& painter, const QRectF& rect)
{
    const QTransform& toDevice = painter.deviceTransform();
    const QRectF device = toDevice.mapRect(rect);
    const QRectF snapped(QPointF(std::round(device.left()), std::round(device.top())),
                         QPointF(std::round(device.right()), std::round(device.bottom())));
    return toDevice.inverted().mapRect(snapped);
}

} // namespace

ZQLineEdgeView::ZQLineEdgeView(QWidget* parent)
    : QWidget(parent), m_lineColour(platform::rgbGrey(0.8))
{
    setFocusPolicy(Qt::NoFocus);
}

void ZQLineEdgeView::setLineColour(const QColor& colour)
{
    m_lineColour = colour;
    update();
}

void ZQLineEdgeView::setLineWidth(double width)
{
    m_lineWidth = width;
    update();
}

QLineF ZQLineEdgeView::edgeLineInBounds(const QRectF& bounds)
{
    if (bounds.height() > bounds.width())
        return {bounds.left() + 0.5, bounds.bottom(), bounds.left() + 0.5, bounds.top()};
    return {bounds.left(), bounds.bottom() - 0.5, bounds.right(), bounds.bottom() - 0.5};
}

void ZQLineEdgeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_lineColour, m_lineWidth));
    painter.drawLine(edgeLineInBounds(alignedToDevicePixels(painter, rect())));
}
