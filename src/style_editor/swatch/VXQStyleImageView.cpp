#include "style_editor/swatch/VXQStyleImageView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

VXQStyleImageView::VXQStyleImageView(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_AcceptTouchEvents, false);
}

VXQStyleImageView::~VXQStyleImageView()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void VXQStyleImageView::setStyle(const VXStylePtr& style)
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    if (m_styleObservation)
        centre.removeObserver(std::exchange(m_styleObservation, 0));
    m_style = style;
    if (style)
        m_styleObservation = centre.addObserver(this, kVXStyleDidChangeNotification, style.get(),
                                                [this](const platform::Notification&) { updateImage(); });
    updateImage();
}

void VXQStyleImageView::updateImage()
{
    m_image = m_style ? m_style->image() : QImage();
    update();
}

bool VXQStyleImageView::canAcceptDropFromSource(const QMimeData* data, const QObject* source) const
{
    return data && source != this
        && (data->hasFormat(kVXStylePasteboardType) || data->hasFormat(kVXStyleKeyPasteboardType));
}

bool VXQStyleImageView::performDropFromSource(const QMimeData* data, const QObject* source)
{
    if (!canAcceptDropFromSource(data, source))
        return false;
    const VXStylePtr dropped = VXStyle::styleFromPasteboard(data);
    if (!dropped)
        return false;
    setStyle(dropped);
    if (!m_action.isEmpty())
        platform::Application::sendActionToFrom(m_action, m_target, this);
    return true;
}

Qt::DropActions VXQStyleImageView::draggingSourceOperationMaskForLocal(bool local) const
{
    return local ? Qt::CopyAction : Qt::IgnoreAction;
}

void VXQStyleImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (!m_image.isNull()) {
        QSizeF imageSize = m_image.deviceIndependentSize();
        imageSize.scale(QSizeF(size()), Qt::KeepAspectRatio);
        QRectF target(QPointF(), imageSize);
        target.moveCenter(QRectF(rect()).center());
        painter.drawImage(target, m_image);
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void VXQStyleImageView::mousePressEvent(QMouseEvent* event)
{
    if (m_style && event->button() == Qt::LeftButton)
        StyleDragging::dragStyleOrSymbolEvent(this, m_style, event);
}

void VXQStyleImageView::dragEnterEvent(QDragEnterEvent* event)
{
    if (canAcceptDropFromSource(event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void VXQStyleImageView::dropEvent(QDropEvent* event)
{
    if (performDropFromSource(event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
