#pragma once

// One entry of the media browser: an image or SVG file shown as a thumbnail with its name
// and pixel size. Thumbnails are made only while the browser says the item is on screen,
// and only once: SVG files by the SVG preview service, other images by the shared image
// loader, both reporting back on the main thread. Between start and end the item posts
// "kZQImagePathWillStartAsynchronousFetch" and "kQZImagePathDidCompleteAsynchronousFetch";
// every new image posts "kZQImagePathItemImageUpdated". A failed item is not asked again;
// a cancelled one is, the next time it is shown.

#include "media/items/ZQAsynchronousImageLoader.h"
#include "media/items/ZQURLWithThumb.h"
#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/svg/VXSVGPreview.h"

#include <QImage>
#include <QUrl>
#include <QVariantMap>
#include <optional>

class ZQImagePath;
using ZQImagePathPtr = std::shared_ptr<ZQImagePath>;

inline const QString kZQImagePathWillStartAsynchronousFetch =
    QStringLiteral("kZQImagePathWillStartAsynchronousFetch");
inline const QString kQZImagePathDidCompleteAsynchronousFetch =
    QStringLiteral("kQZImagePathDidCompleteAsynchronousFetch");
inline const QString kZQImagePathItemImageUpdated = QStringLiteral("kZQImagePathItemImageUpdated");
inline const QString kZQMediaBrowserShowFileExtensions = QStringLiteral("kZQMediaBrowserShowFileExtensions");
inline const QString kZQMediaBrowserPrefersQL = QStringLiteral("kZQMediaBrowserPrefersQL");

// What an item asks the browser that shows it.
class ZQMediaItemBrowser {
public:
    virtual ~ZQMediaItemBrowser() = default;
    virtual bool isItemVisible(const ZQImagePath& item) const = 0;
};

class ZQImagePath : public ZQObject, public VXSVGPreviewDelegate, public ZQImageLoaderDelegate {
    Q_OBJECT

public:
    // How the grid should read `imageRepresentation`.
    enum class RepresentationType {
        Path,          // a file path to show: the ready-made thumbnail's, else the file's
        ThumbnailPath, // the same, asked for by the Quick Look preference
        Image,         // a QImage, null until made
    };

    static bool showsFileExtensions();

    // The browser (null for none: then nothing is visible) must outlive the item.
    ZQImagePath(const QUrl& url, const ZQMediaItemBrowser* browser);
    ZQImagePath(const ZQURLWithThumb& url, const ZQMediaItemBrowser* browser);
    ~ZQImagePath() override;

    QUrl url() const { return m_url; }
    QString path() const { return m_url.toLocalFile(); }
    QString fileExtension() const;
    // The file name, without its extension unless extensions are shown.
    QString name() const;
    bool isSVG() const;

    // "PixelWidth" and "PixelHeight" from the file's header, read on first use; empty for
    // a file that is no readable image (SVG files included).
    QVariantMap imageAttributes();

    // The thumbnail so far; starts making one when the item is visible and has none.
    QImage image();
    void setImage(const QImage& image);
    bool hasImage() const { return !m_image.isNull(); }
    // SVG items only, and not while a preview is under way.
    void remakeThumbnail();
    // Opens the folder holding the file.
    void revealInFinder() const;

    bool requestInProgress() const { return m_requestInProgress; }
    bool previewFailed() const { return m_previewFailed; }
    void setPreviewFailed(bool failed) { m_previewFailed = failed; }
    QUrl svgPreviewURL() const { return m_svgPreviewURL; }
    void setSVGPreviewURL(const QUrl& url) { m_svgPreviewURL = url; }
    QUrl thumbnailURL() const { return m_thumbnailURL; }
    void setThumbnailURL(const QUrl& url) { m_thumbnailURL = url; }

    // --- What the grid shows -------------------------------------------------------------
    QString imageUID() const;
    QString imageTitle() const { return name(); }
    // "W x H", or empty when either is unknown or below 1.
    QString imageSubtitle();
    RepresentationType imageRepresentationType() const;
    // A path (QString) or, for RepresentationType::Image, the image.
    QVariant imageRepresentation();
    // What a preview window shows: the SVG preview's picture when there is one.
    QUrl previewItemURL() const;

    bool isEqualTo(const ZQImagePath& other) const { return imageUID() == other.imageUID(); }
    QString description() const override;

    // --- From the SVG preview service and the image loader -------------------------------
    bool svgPreviewShouldStart(VXSVGPreview* preview) override;
    void svgPreviewDidStart(VXSVGPreview* preview) override;
    void svgPreviewImageAvailable(VXSVGPreview* preview) override;
    void svgPreviewFailed(VXSVGPreview* preview) override;
    void svgPreviewDidEnd(VXSVGPreview* preview) override;
    void imageLoaderImageAvailable(ZQAsynchronousImageLoader* loader) override;

private:
    bool isVisible() const;
    // Each start is followed by one end, also when the item goes before its fetch reports.
    void fetchStarted();
    void fetchEnded();
    void post(const QString& name);

    const ZQMediaItemBrowser* m_browser;
    QUrl m_url;
    std::optional<QVariantMap> m_attributes;
    QImage m_image;
    bool m_requestInProgress = false;
    bool m_previewFailed = false;
    bool m_fetchAnnounced = false;
    QUrl m_svgPreviewURL;
    QUrl m_thumbnailURL;
    mutable QString m_identifier;
};
