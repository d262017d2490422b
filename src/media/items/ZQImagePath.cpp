#include "media/items/ZQImagePath.h"

#include "media/items/MediaFileTypes.h"
#include "media/photos/ZQiPhotoMediaInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QImageReader>

bool ZQImagePath::showsFileExtensions()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kZQMediaBrowserShowFileExtensions);
}

ZQImagePath::ZQImagePath(const QUrl& url, const ZQMediaItemBrowser* browser)
    : m_browser(browser)
    , m_url(url)
{
}

ZQImagePath::ZQImagePath(const ZQURLWithThumb& url, const ZQMediaItemBrowser* browser)
    : ZQImagePath(url.url, browser)
{
    m_thumbnailURL = url.thumbnailURL;
}

ZQImagePath::~ZQImagePath()
{
    // A dead delegate hears no more from its fetch: whoever counts fetches still hears it end.
    fetchEnded();
}

QString ZQImagePath::fileExtension() const
{
    return QFileInfo(m_url.path()).suffix();
}

QString ZQImagePath::name() const
{
    const QFileInfo file(m_url.path());
    return showsFileExtensions() ? file.fileName() : file.completeBaseName();
}

bool ZQImagePath::isSVG() const
{
    return media::isSVGFileType(fileExtension());
}

QVariantMap ZQImagePath::imageAttributes()
{
    if (!m_attributes) {
        m_attributes.emplace();
        // The SVG reader would parse the whole file just to size it.
        if (!isSVG()) {
            const QSize size = QImageReader(path()).size();
            if (size.isValid()) {
                m_attributes->insert(QStringLiteral("PixelWidth"), size.width());
                m_attributes->insert(QStringLiteral("PixelHeight"), size.height());
            }
        }
    }
    return *m_attributes;
}

QImage ZQImagePath::image()
{
    if (m_image.isNull() && !m_requestInProgress && isVisible()) {
        m_requestInProgress = true;
        if (isSVG()) {
            VXSVGPreview::svgPreviewWithSVGURLDelegate(m_url, this);
        } else {
            fetchStarted();
            ZQAsynchronousImageLoader::fetchImageAtURLForDelegate(m_url, this);
        }
    }
    return m_image;
}

void ZQImagePath::setImage(const QImage& image)
{
    m_image = image;
    post(kZQImagePathItemImageUpdated);
}

void ZQImagePath::remakeThumbnail()
{
    if (!isSVG() || m_requestInProgress)
        return;
    VXSVGPreview::removeCachedSVGPreviewForURL(m_url);
    setImage({});
}

void ZQImagePath::revealInFinder() const
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path()).absolutePath()));
}

QString ZQImagePath::imageUID() const
{
    if (m_identifier.isNull())
        m_identifier = path();
    return m_identifier;
}

QString ZQImagePath::imageSubtitle()
{
    const QVariantMap attributes = imageAttributes();
    const qint64 width = attributes.value(QStringLiteral("PixelWidth")).toLongLong();
    const qint64 height = attributes.value(QStringLiteral("PixelHeight")).toLongLong();
    if (width < 1 || height < 1)
        return QString();
    return QStringLiteral("%1 x %2").arg(width).arg(height);
}

ZQImagePath::RepresentationType ZQImagePath::imageRepresentationType() const
{
    if (platform::UserDefaults::standardUserDefaults()->boolForKey(kZQMediaBrowserPrefersQL))
        return RepresentationType::ThumbnailPath;
    return isSVG() ? RepresentationType::Image : RepresentationType::Path;
}

QVariant ZQImagePath::imageRepresentation()
{
    if (imageRepresentationType() == RepresentationType::Image)
        return image();
    // A library's ready-made thumbnail is shown; the file itself is what drags.
    return m_thumbnailURL.isEmpty() ? path() : m_thumbnailURL.toLocalFile();
}

QUrl ZQImagePath::previewItemURL() const
{
    return m_svgPreviewURL.isEmpty() ? m_url : m_svgPreviewURL;
}

QString ZQImagePath::description() const
{
    const auto yesNo = [](bool flag) { return flag ? QStringLiteral("YES") : QStringLiteral("NO"); };
    return QStringLiteral("%1 %2 image=%3, waiting=%4, failed=%5")
        .arg(ZQObject::description(), path(), m_image.isNull() ? QStringLiteral("(null)") : QStringLiteral("yes"),
             yesNo(m_requestInProgress), yesNo(m_previewFailed));
}

bool ZQImagePath::svgPreviewShouldStart(VXSVGPreview*)
{
    // Declined, the preview says nothing more: the item asks again when it is shown.
    if (!isVisible())
        m_requestInProgress = false;
    return m_requestInProgress;
}

void ZQImagePath::svgPreviewDidStart(VXSVGPreview*)
{
    fetchStarted();
}

void ZQImagePath::svgPreviewImageAvailable(VXSVGPreview* preview)
{
    setImage(preview->image());
    m_requestInProgress = false;
}

void ZQImagePath::svgPreviewFailed(VXSVGPreview*)
{
    m_previewFailed = true;
}

void ZQImagePath::svgPreviewDidEnd(VXSVGPreview* preview)
{
    m_svgPreviewURL = preview->cachedPreviewURL();
    // A cancelled preview (the window closed) leaves the item to be asked again when shown.
    if (preview->isCancelled() && !m_previewFailed && m_image.isNull())
        m_requestInProgress = false;
    fetchEnded();
}

void ZQImagePath::imageLoaderImageAvailable(ZQAsynchronousImageLoader* loader)
{
    const QImage image = loader->image();
    if (!image.isNull()) {
        setImage(image);
        m_requestInProgress = false;
    } else if (loader->isCancelled()) {
        m_requestInProgress = false;
    } else {
        m_previewFailed = true;
    }
    fetchEnded();
}

bool ZQImagePath::isVisible() const
{
    return m_browser && m_browser->isItemVisible(*this);
}

void ZQImagePath::fetchStarted()
{
    m_fetchAnnounced = true;
    post(kZQImagePathWillStartAsynchronousFetch);
}

void ZQImagePath::fetchEnded()
{
    if (std::exchange(m_fetchAnnounced, false))
        post(kQZImagePathDidCompleteAsynchronousFetch);
}

void ZQImagePath::post(const QString& name)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(name, this);
}
