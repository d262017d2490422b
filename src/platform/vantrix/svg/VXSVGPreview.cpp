#include "platform/vantrix/svg/VXSVGPreview.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

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
#include <functional>

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

// Raised whenever pictures come out differently, so that those drawn before are not reused.
constexpr int kRenderingVersion = 2;

QString cacheFileName(const QFileInfo& file)
{
    return cacheNamePrefix(file.absoluteFilePath())
           + QStringLiteral("%1-%2-r%3.png")
                 .arg(file.lastModified().toMSecsSinceEpoch())
                 .arg(file.size())
                 .arg(kRenderingVersion);
}

void removeCachedFiles(const QString& folder, const QString& nameFilter)
{
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    for (const QString& name : dir.entryList({nameFilter}, QDir::Files))
        dir.remove(name);
}

// A transparent image of the size fitted into the preview square, with the painter's user
// space mapped onto it from the picture's `natural` size; null for a size with no area.
QImage fittedImage(QSizeF natural, const std::function<void(QPainter&, QSizeF)>& paint)
{
    if (!(natural.width() > 0 && natural.height() > 0 && std::isfinite(natural.width() * natural.height())))
        return {};
    const double scale = VXSVGPreview::kPreviewSide / std::max(natural.width(), natural.height());
    const QSize pixels(std::max(1, qRound(natural.width() * scale)), std::max(1, qRound(natural.height() * scale)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QSizeF(pixels));
    return image;
}

QImage renderWithQtSvg(const QByteArray& data)
{
    QSvgRenderer renderer(data);
    if (!renderer.isValid())
        return {};
    QSizeF natural = renderer.defaultSize();
    if (natural.isEmpty())
        natural = renderer.viewBoxF().size();
    return fittedImage(natural, [&](QPainter& painter, QSizeF pixels) {
        renderer.render(&painter, QRectF(QPointF(), pixels));
    });
}

// Drawn from what opening the file would give, so that clip paths, which QtSvg ignores,
// clip the picture as they clip the drawing.
QImage renderImported(const QByteArray& data, const QString& folder, QuorvaneError* error)
{
    const std::optional<VXSVGImporter::Result> svg = VXSVGImporter::importData(data, folder, error);
    if (!svg || svg->objects.isEmpty())
        return {};
    return fittedImage(svg->size, [&](QPainter& painter, QSizeF pixels) {
        painter.scale(pixels.width() / svg->size.width(), pixels.height() / svg->size.height());
        const platform::GraphicsContext::Scope scope(&painter);
        for (const VXDrawableObjectPtr& object : svg->objects)
            object->drawContent();
    });
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
    // Compressed files only QtSvg unpacks. A file the reader finds nothing to draw in is left
    // to QtSvg as well, which tells a blank page from one sized zero.
    const bool compressed = data.startsWith("\x1f\x8b");
    QuorvaneError error;
    QImage image = compressed ? QImage() : renderImported(data, file.absolutePath(), &error);
    if (error.isError())
        return {{}, {}, error.localizedDescription()};
    if (image.isNull())
        image = renderWithQtSvg(data);
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
    // Handed to the main thread without a receiver, so the preview may end (and go) inside finish.
    const std::weak_ptr<VXSVGPreview> preview = std::static_pointer_cast<VXSVGPreview>(shared_from_this());
    QtConcurrent::run(&VXSVGPreview::render, m_url.toLocalFile(), s_cacheFolder, m_cancelled)
        .then([preview](const Rendering& rendering) {
            platform::RunLoop::runOnMainThread([preview, rendering] {
                if (const VXSVGPreviewPtr alive = preview.lock())
                    alive->finish(rendering);
            });
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
