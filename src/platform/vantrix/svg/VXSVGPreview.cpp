#include "platform/vantrix/svg/VXSVGPreview.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/svg/SVGMarkupScan.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

struct VXSVGPreview::Rendering {
    QImage image;
    QString cachedFile; // empty when the picture is not cached
    QString failure;    // why there is no image
};

namespace {

QString s_cacheFolder;

// Previews under way, kept alive until they end (main thread only).
QList<VXSVGPreviewPtr>& previewsUnderWay()
{
    static QList<VXSVGPreviewPtr> previews;
    return previews;
}

QString pathHash(const QString& absolutePath)
{
    return QString::fromLatin1(QCryptographicHash::hash(absolutePath.toUtf8(), QCryptographicHash::Sha1).toHex());
}

// Every version of one file shares the prefix, so its stale pictures can be found.
QString cacheNamePrefix(const QString& absolutePath)
{
    return pathHash(absolutePath) + QLatin1Char('-');
}

QString cacheFileName(const QFileInfo& file)
{
    return cacheNamePrefix(file.absoluteFilePath())
           + QStringLiteral("%1-%2.png").arg(file.lastModified().toMSecsSinceEpoch()).arg(file.size());
}

void removeCachedFiles(const QString& folder, const QString& nameFilter)
{
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    for (const QString& name : dir.entryList({nameFilter}, QDir::Files))
        dir.remove(name);
}

QImage renderFitted(QSvgRenderer& renderer)
{
    QSizeF natural = renderer.defaultSize();
    if (natural.isEmpty())
        natural = renderer.viewBoxF().size();
    if (!(natural.width() > 0 && natural.height() > 0 && std::isfinite(natural.width() * natural.height())))
        return {};
    const double scale = VXSVGPreview::kPreviewSide / std::max(natural.width(), natural.height());
    const QSize pixels(std::max(1, qRound(natural.width() * scale)), std::max(1, qRound(natural.height() * scale)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(), QSizeF(pixels)));
    return image;
}

bool writeAtomically(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

} // namespace

VXSVGPreview::Rendering VXSVGPreview::render(const QString& svgPath, const QString& cacheFolder,
                                             const std::shared_ptr<std::atomic_bool>& cancelled)
{
    const QFileInfo file(svgPath);
    if (!file.isFile())
        return {{}, {}, QStringLiteral("no such file")};
    if (file.size() > VXSVGPreview::kMaximumFileSize)
        return {{}, {}, QStringLiteral("file too large (%1 bytes)").arg(file.size())};
    const QString cachedFile = cacheFolder.isEmpty() ? QString() : QDir(cacheFolder).filePath(cacheFileName(file));
    if (!cachedFile.isEmpty()) {
        const QImage cached(cachedFile, "PNG");
        if (!cached.isNull())
            return {cached, cachedFile, {}};
    }
    if (*cancelled)
        return {};
    QString reason;
    const std::optional<QByteArray> read = platform::readRegularFile(svgPath, VXSVGPreview::kMaximumFileSize, &reason);
    if (!read)
        return {{}, {}, reason};
    const QByteArray& data = *read;
    // Compressed files are QtSvg's to unpack; plain markup is checked before its reader takes it.
    QString refusal;
    if (!data.startsWith("\x1f\x8b") && !platform::SVGMarkupScan::scan(data, &refusal))
        return {{}, {}, refusal};
    QSvgRenderer renderer(data);
    const QImage image = renderer.isValid() ? renderFitted(renderer) : QImage();
    if (image.isNull())
        return {{}, {}, QStringLiteral("not a renderable SVG file")};
    if (cachedFile.isEmpty() || !QDir().mkpath(cacheFolder))
        return {image, {}, {}};
    removeCachedFiles(cacheFolder, cacheNamePrefix(file.absoluteFilePath()) + QLatin1Char('*'));
    if (!writeAtomically(image, cachedFile))
        return {image, {}, {}};
    return {image, cachedFile, {}};
}

VXSVGPreview::VXSVGPreview() = default;

VXSVGPreview::~VXSVGPreview() = default;

VXSVGPreviewPtr VXSVGPreview::svgPreviewWithSVGURLDelegate(const QUrl& url, QObject* delegate)
{
    ZQ_ASSERT(!delegate || dynamic_cast<VXSVGPreviewDelegate*>(delegate), "the delegate is no VXSVGPreviewDelegate");
    auto preview = std::make_shared<VXSVGPreview>();
    preview->m_url = url;
    preview->m_delegateObject = delegate;
    preview->m_hasDelegate = delegate != nullptr;
    previewsUnderWay().append(preview);
    platform::RunLoop::runOnMainThread([preview] { preview->begin(); });
    return preview;
}

VXSVGPreviewDelegate* VXSVGPreview::delegate() const
{
    return dynamic_cast<VXSVGPreviewDelegate*>(m_delegateObject.data());
}

void VXSVGPreview::begin()
{
    const bool delegateDied = m_hasDelegate && !m_delegateObject;
    if (isCancelled() || delegateDied || (delegate() && !delegate()->svgPreviewShouldStart(this))) {
        end();
        return;
    }
    if (delegate())
        delegate()->svgPreviewDidStart(this);
    // The application is the context, so the preview may end (and go) inside finish.
    const std::weak_ptr<VXSVGPreview> preview = std::static_pointer_cast<VXSVGPreview>(shared_from_this());
    QtConcurrent::run(&VXSVGPreview::render, m_url.toLocalFile(), s_cacheFolder, m_cancelled)
        .then(QCoreApplication::instance(), [preview](const Rendering& rendering) {
            if (const VXSVGPreviewPtr alive = preview.lock())
                alive->finish(rendering);
        });
}

void VXSVGPreview::finish(const Rendering& rendering)
{
    if (!isCancelled()) {
        m_image = rendering.image;
        if (!rendering.cachedFile.isEmpty())
            m_cachedPreviewURL = QUrl::fromLocalFile(rendering.cachedFile);
        if (!rendering.failure.isEmpty())
            LogEvent(kFileEvent,
                     QStringLiteral("SVG preview of %1 failed: %2").arg(m_url.toString(), rendering.failure));
        if (VXSVGPreviewDelegate* d = delegate()) {
            if (m_image.isNull())
                d->svgPreviewFailed(this);
            else
                d->svgPreviewImageAvailable(this);
        }
    }
    if (VXSVGPreviewDelegate* d = delegate())
        d->svgPreviewDidEnd(this);
    end();
}

void VXSVGPreview::end()
{
    previewsUnderWay().removeIf([this](const VXSVGPreviewPtr& preview) { return preview.get() == this; });
}

void VXSVGPreview::removeCachedSVGPreviewForURL(const QUrl& url)
{
    const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
    removeCachedFiles(s_cacheFolder, cacheNamePrefix(path) + QLatin1Char('*'));
}

void VXSVGPreview::cancelAllPreviews()
{
    for (const VXSVGPreviewPtr& preview : previewsUnderWay())
        *preview->m_cancelled = true;
}

void VXSVGPreview::emptyCache()
{
    removeCachedFiles(s_cacheFolder, QStringLiteral("*.png"));
}

QString VXSVGPreview::cacheFolder()
{
    return s_cacheFolder;
}

void VXSVGPreview::setCacheFolder(const QString& folder)
{
    s_cacheFolder = folder;
}

QString VXSVGPreview::description() const
{
    return ZQObject::description() + QLatin1Char(' ') + m_url.toString();
}
