#pragma once

// A picture of an SVG file for browsers, made without blocking the interface. The file is
// rendered on a worker thread, or the picture cached for that version of the file is read,
// and the delegate hears about it on the main thread, always after the call that started
// the preview has returned:
//   svgPreviewShouldStart (may decline: nothing more follows), svgPreviewDidStart,
//   then svgPreviewImageAvailable or svgPreviewFailed, and last svgPreviewDidEnd.
//
// Pictures fit a square of kPreviewSide pixels. Once a cache folder is set they are kept
// there as PNG files named after the file's path, modification time and size, so an edited
// file is rendered again and an unchanged one is not.

#include "platform/foundation/ZQObject.h"

#include <QImage>
#include <QPointer>
#include <QUrl>
#include <atomic>
#include <memory>

class VXSVGPreview;
using VXSVGPreviewPtr = std::shared_ptr<VXSVGPreview>;

// What a preview tells its delegate, a QObject that also derives from this class.
class VXSVGPreviewDelegate {
public:
    virtual ~VXSVGPreviewDelegate() = default;

    virtual bool svgPreviewShouldStart(VXSVGPreview* preview) { return true; }
    virtual void svgPreviewDidStart(VXSVGPreview* preview) {}
    virtual void svgPreviewImageAvailable(VXSVGPreview* preview) {}
    // The file could not be read or rendered.
    virtual void svgPreviewFailed(VXSVGPreview* preview) {}
    // The last call, whatever the outcome, cancelled previews included.
    virtual void svgPreviewDidEnd(VXSVGPreview* preview) {}
};

class VXSVGPreview : public ZQObject {
    Q_OBJECT

public:
    // 150 points at twice the screen resolution.
    static constexpr int kPreviewSide = 300;
    // Larger files fail unread.
    static constexpr qint64 kMaximumFileSize = 64LL * 1024 * 1024;

    VXSVGPreview();
    ~VXSVGPreview() override;

    // Starts a preview of the local file. The delegate (null for none) must derive from
    // VXSVGPreviewDelegate; one that dies silences the preview. The preview keeps itself
    // alive until it ends.
    static VXSVGPreviewPtr svgPreviewWithSVGURLDelegate(const QUrl& url, QObject* delegate);

    QUrl svgURL() const { return m_url; }
    // Null until available.
    QImage image() const { return m_image; }
    // The PNG the picture is cached in; empty while there is none.
    QUrl cachedPreviewURL() const { return m_cachedPreviewURL; }
    bool isCancelled() const { return *m_cancelled; }

    // Forgets the cached pictures of every version of the file.
    static void removeCachedSVGPreviewForURL(const QUrl& url);
    // Previews under way report nothing more than svgPreviewDidEnd (those not yet started, nothing).
    static void cancelAllPreviews();
    // Removes every cached picture.
    static void emptyCache();
    // Empty (the default) keeps no pictures.
    static QString cacheFolder();
    static void setCacheFolder(const QString& folder);

    QString description() const override;

private:
    struct Rendering;
    // Runs on a worker: touches nothing but its arguments.
    static Rendering render(const QString& svgPath, const QString& cacheFolder,
                            const std::shared_ptr<std::atomic_bool>& cancelled);

    void begin();
    void finish(const Rendering& rendering);
    // Lets the preview go from those under way; callers hold it until they return.
    void end();
    VXSVGPreviewDelegate* delegate() const;

    QUrl m_url;
    QPointer<QObject> m_delegateObject;
    bool m_hasDelegate = false;
    QImage m_image;
    QUrl m_cachedPreviewURL;
    // Shared with the worker, which skips rendering once it is set.
    std::shared_ptr<std::atomic_bool> m_cancelled = std::make_shared<std::atomic_bool>(false);
};
