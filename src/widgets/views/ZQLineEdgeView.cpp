#include "widgets/views/ZQLineEdgeView.h"

#include "platform/graphics/ColourUtilities.h"
#include "widgets/paint/CenterScanRect.h"

#include <QPainter>

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
    painter.drawLine(edgeLineInBounds(centerScanRect(painter, rect())));
}
