#include "media/window/MediaPreviewWindow.h"

#include "media/items/ZQImagePath.h"
#include "platform/foundation/RunLoop.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QThreadPool>
#include <QVBoxLayout>
#include <algorithm>

MediaPreviewWindow::MediaPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_label(new QLabel(this))
{
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMinimumSize(1, 1);
    m_label->setBackgroundRole(QPalette::Base);
    m_label->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    resize(480, 400);
}

MediaPreviewWindow::~MediaPreviewWindow() = default;

void MediaPreviewWindow::showItem(ZQImagePath* item)
{
    const quint64 request = ++m_request;
    m_path = item ? item->path() : QString();
    setWindowTitle(item ? QFileInfo(m_path).fileName() : QString());
    if (!item || item->isSVG()) {
        // The SVG thumbnail was made by the preview service, which guards against hostile files.
        setPicture(item ? item->image() : QImage());
        return;
    }
    setPicture(item->image()); // the thumbnail until the larger picture arrives
    const QPointer<MediaPreviewWindow> self(this);
    ZQAsynchronousImageLoader::imageLoaderQueue().start([self, request, path = m_path] {
        // Small images keep their size: enlarged they would only blur.
        const QSize natural = QImageReader(path).size();
        const int side = natural.isValid() ? std::min(kPreviewSide, std::max(natural.width(), natural.height()))
                                           : kPreviewSide;
        const QImage picture = ZQAsynchronousImageLoader::thumbnailOfImageAtPath(path, side);
        if (QCoreApplication::closingDown())
            return; // the queue is being emptied as the application quits
        platform::RunLoop::runOnMainThread([self, request, picture] {
            if (self && self->m_request == request && !picture.isNull())
                self->setPicture(picture);
        });
    });
}

void MediaPreviewWindow::setPicture(const QImage& picture)
{
    m_picture = picture;
    updateLabel();
    Q_EMIT pictureChanged();
}

void MediaPreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLabel();
}

void MediaPreviewWindow::updateLabel()
{
    if (m_picture.isNull()) {
        m_label->setPixmap({});
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize target = m_label->size() * ratio;
    // Never enlarged: a small picture stays sharp at its own size.
    QPixmap pixmap = QPixmap::fromImage(m_picture.size().boundedTo(target) == m_picture.size()
                                            ? m_picture
                                            : m_picture.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    m_label->setPixmap(pixmap);
}
