#include "media/items/ZQAsynchronousImageLoader.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QThreadPool>
#include <atomic>

namespace {

// Bumped by a cancel: fetches queued under an older generation do no work.
std::atomic<quint64> s_generation{0};

} // namespace

ZQAsynchronousImageLoader::ZQAsynchronousImageLoader(const QUrl& url, QObject* delegate)
    : m_url(url)
    , m_delegate(delegate)
{
}

ZQAsynchronousImageLoader::~ZQAsynchronousImageLoader() = default;

QThreadPool& ZQAsynchronousImageLoader::imageLoaderQueue()
{
    static QThreadPool* queue = [] {
        auto* pool = new QThreadPool(QCoreApplication::instance());
        pool->setObjectName(QStringLiteral("ZQAsynchronousImageLoader"));
        platform::WorkInFlight::waitForPoolAtEnd(pool);
        return pool;
    }();
    return *queue;
}

ZQAsynchronousImageLoaderPtr ZQAsynchronousImageLoader::fetchImageAtURLForDelegate(const QUrl& url,
                                                                                  QObject* delegate)
{
    auto loader = std::make_shared<ZQAsynchronousImageLoader>(url, delegate);
    const quint64 generation = s_generation.load();
    imageLoaderQueue().start([loader, generation] { loader->load(generation); });
    return loader;
}

void ZQAsynchronousImageLoader::cancelAllFetches()
{
    ++s_generation;
}

QImage ZQAsynchronousImageLoader::thumbnailOfImageAtPath(const QString& path, int side)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isEmpty())
        return {};
    reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    const QImage decoded = reader.read();
    if (decoded.isNull())
        return {};
    // Transparent pixels would take whatever the grid's cell is painted with.
    QImage thumbnail(decoded.size(), QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.drawImage(0, 0, decoded);
    return thumbnail;
}

bool ZQAsynchronousImageLoader::isCancelled() const
{
    QMutexLocker locker(&m_lock);
    return m_cancelled;
}

QImage ZQAsynchronousImageLoader::image() const
{
    QMutexLocker locker(&m_lock);
    return m_image;
}

void ZQAsynchronousImageLoader::setImage(const QImage& image)
{
    {
        QMutexLocker locker(&m_lock);
        m_image = image;
    }
    handBack();
}

void ZQAsynchronousImageLoader::load(quint64 generation)
{
    if (generation != s_generation.load()) {
        QMutexLocker locker(&m_lock);
        m_cancelled = true;
    } else if (m_url.isLocalFile()) {
        setImage(thumbnailOfImageAtPath(m_url.toLocalFile()));
        return;
    }
    handBack();
}

void ZQAsynchronousImageLoader::handBack()
{
    if (QCoreApplication::closingDown())
        return; // the queue is being emptied as the application quits: nobody is left to tell
    auto self = std::static_pointer_cast<ZQAsynchronousImageLoader>(shared_from_this());
    platform::RunLoop::runOnMainThread([self] {
        if (auto* delegate = dynamic_cast<ZQImageLoaderDelegate*>(self->m_delegate.data()))
            delegate->imageLoaderImageAvailable(self.get());
    });
}

QString ZQAsynchronousImageLoader::description() const
{
    return ZQObject::description() + QLatin1Char(' ') + m_url.toString();
}
