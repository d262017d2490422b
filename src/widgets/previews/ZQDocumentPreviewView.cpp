#include "widgets/previews/ZQDocumentPreviewView.h"

#include "platform/graphics/PathGeometry.h"
#include "widgets/paint/CenterScanRect.h"
#include "widgets/paint/DropShadow.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

ZQDocumentPreviewView::ZQDocumentPreviewView(const QRect& frame, QWidget* parent)
    : QWidget(parent)
    , m_aspect(frame.size())
{
    setGeometry(frame);
    setFocusPolicy(Qt::NoFocus);
}

void ZQDocumentPreviewView::setAspect(const QSizeF& aspect)
{
    m_aspect = aspect;
    update();
}

void ZQDocumentPreviewView::setDocumentColour(const QColor& colour)
{
    m_documentColour = colour;
    update();
}

void ZQDocumentPreviewView::setBackgroundColour(const QColor& colour)
{
    m_backgroundColour = colour;
    setAttribute(Qt::WA_OpaquePaintEvent, isOpaque());
}

QRectF ZQDocumentPreviewView::pageRect() const
{
    const QRectF r = QRectF(rect()).adjusted(m_inset, m_inset, -m_inset, -m_inset);
    if (m_aspect.isEmpty() || r.isEmpty())
        return {};
    return platform::ScaledRectForSize(m_aspect, r);
}

void ZQDocumentPreviewView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_backgroundColour.isValid())
        painter.fillRect(event->rect(), m_backgroundColour);
    const QRectF page = centerScanRect(painter, pageRect());
    if (page.isEmpty())
        return;
    if (m_drawsShadow) {
        QPainterPath shape;
        shape.addRect(page);
        drawDropShadow(painter, shape, kShadowOffset, kShadowBlur, QColor::fromRgbF(0, 0, 0, 0.5));
    }
    painter.fillRect(page, m_documentColour.isValid() ? m_documentColour : QColor(Qt::white));
    if (m_documentTexture.style() != Qt::NoBrush) {
        // Scaled as the page is, from its corner, so it looks as it will on the drawing.
        QBrush texture = m_documentTexture;
        const double scale = page.width() / m_aspect.width();
        texture.setTransform(QTransform::fromScale(scale, scale) * QTransform::fromTranslate(page.left(), page.top()));
        painter.fillRect(page, texture);
    }
    painter.setPen(QPen(Qt::darkGray, 0.5));
    painter.drawRect(page);
    if (!m_contentImage.isNull()) {
        painter.save();
        painter.setClipRect(page);
        painter.setOpacity(0.67);
        painter.drawImage(page.adjusted(1, 1, -1, -1), m_contentImage);
        painter.restore();
    }
}
