#pragma once

// One template of the chooser's grid: a map package (or file) with its name, thumbnail, size
// text and map scale. Items are kept in a class-wide cache by path, so what they read is read
// once per template until the cache is emptied (after an import or a change on disk).
//
// The thumbnail is the package's "QuickLook/Thumbnail.jpg", decoded at most
// kMaximumThumbnailSide pixels a side on the shared image-loading pool and handed back on the main
// thread. Each item asks for it once: a template without a usable thumbnail stays without
// one instead of being fetched again at every repaint.

#include "mapscale/VXQMapScale.h"
#include "platform/foundation/ZQObject.h"

#include <QImage>
#include <QUrl>
#include <QVariantMap>
#include <optional>

class QVNTemplateItem;
using QVNTemplateItemPtr = std::shared_ptr<QVNTemplateItem>;

class QVNTemplateItem : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name)
    Q_PROPERTY(QUrl url READ url)

public:
    static constexpr int kMaximumThumbnailSide = 512;

    static QVNTemplateItemPtr makeWithURL(const QUrl& url);
    static QVNTemplateItemPtr makeWithFile(const QString& path);

    QUrl url() const { return m_url; }
    QString path() const { return m_url.toLocalFile(); }
    // The file name without its extension.
    QString name() const { return m_name; }

    // The thumbnail so far (null until it arrives); the first call starts making it.
    QImage image();
    // Tells the grid through imageChanged, only when the image is another one.
    void setImage(const QImage& image);
    bool isFetchingImage() const { return m_fetchingImage; }
    // Whether the one attempt ended without a picture.
    bool imageFetchFailed() const { return m_imageFetchFailed; }

    // "29.7 x 21.0 cm", from the package's info property list; made once it can be read, empty
    // (and tried again next time) while it cannot.
    QString dimensionsAndScaleInfo();
    // The template's map scale, from its auxiliary archive; null when there is none to read.
    VXQMapScalePtr scale();

    // --- The cache ---------------------------------------------------------------------------
    static void cacheObject(const QVNTemplateItemPtr& item);
    static void invalidateCache();
    static QVNTemplateItemPtr cachedObjectForPath(const QString& path);
    static QVNTemplateItemPtr cachedObjectForURL(const QUrl& url);
    // The cached item of each URL (made and cached when missing), sorted by name with a plain
    // case-sensitive comparison.
    static QList<QVNTemplateItemPtr> templateItemsWithURLs(const QList<QUrl>& urls);
    static QList<QVNTemplateItemPtr> templateItemsFromArray(const QStringList& paths);
    // The items of the URLs whose names contain `filter` in any case (all for an empty one),
    // each replaced by the item of `replaced` with an equal URL when there is one.
    static QList<QVNTemplateItemPtr>
    templateItemsWithURLsReplacingTemplateItemsFilteredByString(const QList<QUrl>& urls,
                                                                const QList<QVNTemplateItemPtr>& replaced,
                                                                const QString& filter);

    // --- Reading a template (any thread) -----------------------------------------------------
    // The package's thumbnail fitted into `maximumSide` pixels; null when it is missing, no
    // JPEG or empty.
    static QImage thumbnailOfTemplateAtPath(const QString& path, int maximumSide = kMaximumThumbnailSide);
    // "%.1f x %.1f <unit symbol>" from an info property list; nullopt when the size is missing
    // or no plausible length (text, not finite, not positive, absurdly large).
    static std::optional<QString> dimensionsTextFromInfo(const QVariantMap& info);
    QString description() const override;

Q_SIGNALS:
    void imageChanged();

private:
    void startFetchingImage();
    void fetchDidEnd(const QImage& image);

    QUrl m_url;
    QString m_name;
    QImage m_image;
    std::optional<QString> m_info;
    std::optional<VXQMapScalePtr> m_scale;
    bool m_fetchingImage = false;
    bool m_imageFetchFailed = false;
};
