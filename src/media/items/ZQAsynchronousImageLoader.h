#pragma once

// Thumbnails of image files made off the main thread. Every fetch runs on one shared pool;
// the file is decoded straight at thumbnail size (never whole, and never past the reader's
// allocation limit) and the result goes to the delegate on the main thread, always after
// the call that started the fetch has returned. A fetch always reports once, also when it
// failed (no image) or was cancelled (`isCancelled`, no image).

#include "platform/foundation/ZQObject.h"

#include <QImage>
#include <QMutex>
#include <QPointer>
#include <QUrl>
#include <memory>

class QThreadPool;
class ZQAsynchronousImageLoader;
using ZQAsynchronousImageLoaderPtr = std::shared_ptr<ZQAsynchronousImageLoader>;

// What a loader tells its delegate, a QObject that also derives from this class.
class ZQImageLoaderDelegate {
public:
    virtual ~ZQImageLoaderDelegate() = default;
    virtual void imageLoaderImageAvailable(ZQAsynchronousImageLoader* loader) = 0;
};

class ZQAsynchronousImageLoader : public ZQObject {
    Q_OBJECT

public:
    // 150 points at twice the screen resolution, as SVG previews.
    static constexpr int kThumbnailSide = 300;

    ZQAsynchronousImageLoader(const QUrl& url, QObject* delegate);
    ~ZQAsynchronousImageLoader() override;

    static QThreadPool& imageLoaderQueue();
    // Queues a thumbnail of the local file for the delegate, which must derive from
    // ZQImageLoaderDelegate; one that dies before the hand-back hears nothing.
    static ZQAsynchronousImageLoaderPtr fetchImageAtURLForDelegate(const QUrl& url, QObject* delegate);
    // Fetches queued or running now skip their work and report cancelled.
    static void cancelAllFetches();

    // The image fitted to a square of `side` pixels on white; null when the file holds no
    // image that can be decoded at that size.
    static QImage thumbnailOfImageAtPath(const QString& path, int side = kThumbnailSide);

    QUrl url() const { return m_url; }
    QObject* delegate() const { return m_delegate; }
    bool isCancelled() const;
    // Guarded: the worker sets it, the main thread reads it.
    QImage image() const;
    void setImage(const QImage& image);

    QString description() const override;

private:
    void load(quint64 generation);
    void handBack();

    const QUrl m_url;
    const QPointer<QObject> m_delegate;
    mutable QMutex m_lock;
    QImage m_image;
    bool m_cancelled = false;
};
