#include "app/import/QVNVectorizingPreviewView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kSnapLow = 0.9;
constexpr double kSnapHigh = 1.1;
constexpr double kWheelZoomOut = 0.9;
constexpr double kWheelZoomIn = 1.1;

double clampedCoordinate(double value, double scaledExtent, double boundsExtent)
{
    return std::clamp(value, 0.0, std::max(0.0, scaledExtent - boundsExtent));
}

} // namespace

QVNVectorizingPreviewView::QVNVectorizingPreviewView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::OpenHandCursor);
}

void QVNVectorizingPreviewView::setVectors(const QList<platform::TracedLevel>& vectors)
{
    m_vectors = vectors;
    update();
}

void QVNVectorizingPreviewView::setSourceImage(const QImage& image)
{
    if (image.cacheKey() == m_sourceImage.cacheKey())
        return;
    m_sourceImage = image;
    if (!image.isNull())
        m_minImageScale = std::max(double(width()) / image.width(), double(height()) / image.height());
    if (m_scaleSlider) {
        const QSignalBlocker blocker(m_scaleSlider);
        m_scaleSlider->setMinimum(int(std::ceil(m_minImageScale * kScaleSliderUnitsPerScale)));
    }
    m_imageOrigin = {};
    setImageScale(1.0);
    // The scale may have been clamped: the partner shows the same part at the same size.
    if (m_linkedView) {
        m_linkedView->setImageScale(m_imageScale);
        m_linkedView->setImageOffset(m_imageOrigin);
    }
    update();
}

const QVNVectorizingPreviewView* QVNVectorizingPreviewView::imageOwner() const
{
    if (!m_sourceImage.isNull())
        return this;
    if (m_linkedView && !m_linkedView->m_sourceImage.isNull())
        return m_linkedView;
    return nullptr;
}

void QVNVectorizingPreviewView::setImageScale(double scale)
{
    if (!std::isfinite(scale))
        return;
    const QVNVectorizingPreviewView* owner = imageOwner();
    const double minimum = std::min(owner ? owner->m_minImageScale : m_minImageScale, kMaximumImageScale);
    scale = std::clamp(scale, minimum, kMaximumImageScale);
    if (scale == m_imageScale)
        return;
    m_imageScale = scale;
    setImageOffset(m_imageOrigin);
    if (m_scaleSlider) {
        const QSignalBlocker blocker(m_scaleSlider);
        m_scaleSlider->setValue(qRound(scale * kScaleSliderUnitsPerScale));
    }
    update();
}

void QVNVectorizingPreviewView::setImageOffset(QPointF offset)
{
    if (!std::isfinite(offset.x()) || !std::isfinite(offset.y()))
        return;
    if (const QVNVectorizingPreviewView* owner = imageOwner()) {
        const QSizeF extent = QSizeF(owner->m_sourceImage.size()) * m_imageScale;
        offset = {clampedCoordinate(offset.x(), extent.width(), width()),
                  clampedCoordinate(offset.y(), extent.height(), height())};
    }
    if (offset == m_imageOrigin)
        return;
    m_imageOrigin = offset;
    update();
}

void QVNVectorizingPreviewView::setLinkedImageScale(double scale)
{
    setImageScale(scale);
    if (m_linkedView)
        m_linkedView->setImageScale(scale);
}

void QVNVectorizingPreviewView::scaleAction(QObject* sender)
{
    const auto* slider = qobject_cast<QSlider*>(sender);
    if (!slider)
        return;
    double scale = double(slider->value()) / kScaleSliderUnitsPerScale;
    if (scale >= kSnapLow && scale <= kSnapHigh)
        scale = 1.0;
    setLinkedImageScale(scale);
}

void QVNVectorizingPreviewView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.save();
    painter.translate(-m_imageOrigin);
    painter.scale(m_imageScale, m_imageScale);
    if (!m_sourceImage.isNull())
        painter.drawImage(QPointF(0, 0), m_sourceImage);
    else
        drawVectors(painter);
    painter.restore();
    painter.setPen(QPen(Qt::gray, 1.0));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void QVNVectorizingPreviewView::drawVectors(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    for (const platform::TracedLevel& level : m_vectors)
        painter.fillPath(level.vectorPath().painterPathWithWindingRule(), level.colour());
}

void QVNVectorizingPreviewView::mousePressEvent(QMouseEvent* event)
{
    m_mouseDown = true;
    m_lastMouse = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void QVNVectorizingPreviewView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouseDown)
        return;
    const QPointF point = event->position();
    setImageOffset(m_imageOrigin + (m_lastMouse - point));
    if (m_linkedView)
        m_linkedView->setImageOffset(m_imageOrigin);
    m_lastMouse = point;
}

void QVNVectorizingPreviewView::mouseReleaseEvent(QMouseEvent*)
{
    m_mouseDown = false;
    setCursor(Qt::OpenHandCursor);
}

void QVNVectorizingPreviewView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    // A sideways scroll has no vertical delta: it should not zoom.
    if (delta == 0)
        return;
    setLinkedImageScale(m_imageScale * (delta > 0 ? kWheelZoomOut : kWheelZoomIn));
}
