#include "widgets/paint/KitImage.h"

#include "platform/vantrix/render/DeviceLayer.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QMutex>
#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

struct KitImage::Artwork {
    QString name;
    QSizeF size;
    QByteArray svg; // bundle artwork
    QIcon icon;     // system artwork

    // The image at that pixel size and ratio, made again only when not among the latest
    // small ones: lists draw the same icon in every row of every frame, and drawing bundle
    // artwork reads its vector form anew each time.
    QImage rendering(const QSize& pixels, qreal ratio) const
    {
        const QMutexLocker lock(&renderingsLock);
        const auto kept = std::find_if(renderings.cbegin(), renderings.cend(), [&](const QImage& image) {
            return image.size() == pixels && image.devicePixelRatio() == ratio;
        });
        if (kept != renderings.cend())
            return *kept;
        QImage image = render(pixels, ratio);
        if (!image.isNull() && qint64(pixels.width()) * pixels.height() <= kKeptPixels) {
            if (renderings.size() == kKeptRenderings)
                renderings.removeFirst();
            renderings.append(image);
        }
        return image;
    }

private:
    static constexpr qsizetype kKeptRenderings = 8;
    static constexpr qint64 kKeptPixels = 256 * 256;

    QImage render(const QSize& pixels, qreal ratio) const
    {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return {};
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            if (!svg.isEmpty()) {
                QSvgRenderer renderer(svg);
                renderer.render(&painter, image.rect());
            } else {
                // Icons come in a few sizes; the nearest one stretches to fill.
                painter.drawPixmap(image.rect(), icon.pixmap(pixels));
            }
        }
        image.setDevicePixelRatio(ratio);
        return image;
    }

    mutable QMutex renderingsLock;
    mutable QList<QImage> renderings; // the latest last
};

namespace {

std::shared_ptr<const KitImage::Artwork> bundleArtwork(const QString& name)
{
    QFile file(QStringLiteral(":/bundle/images/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto artwork = std::make_shared<KitImage::Artwork>();
    artwork->name = name;
    artwork->svg = file.readAll();
    const QSvgRenderer renderer(artwork->svg);
    if (!renderer.isValid())
        return nullptr;
    artwork->size = renderer.viewBoxF().size();
    return artwork;
}

std::shared_ptr<const KitImage::Artwork> systemArtwork(const QString& name)
{
    QStyle* style = QApplication::style();
    if (!style)
        return nullptr;
    auto artwork = std::make_shared<KitImage::Artwork>();
    artwork->name = name;
    if (name == QLatin1String("NSInfo")) {
        artwork->icon = style->standardIcon(QStyle::SP_MessageBoxInformation);
        artwork->size = QSizeF(32, 32);
    } else if (name == QLatin1String("NSRemoveTemplate")) {
        artwork->icon = QIcon::fromTheme(QStringLiteral("list-remove"), style->standardIcon(QStyle::SP_TitleBarMinButton));
        artwork->size = QSizeF(11, 11);
    } else if (name == QLatin1String("NSApplicationIcon")) {
        const QIcon windowIcon = QApplication::windowIcon();
        artwork->icon = windowIcon.isNull() ? style->standardIcon(QStyle::SP_ComputerIcon) : windowIcon;
        artwork->size = QSizeF(128, 128);
    } else {
        return nullptr;
    }
    return artwork;
}

} // namespace

KitImage::KitImage(std::shared_ptr<const Artwork> artwork)
    : m_artwork(std::move(artwork))
{
}

QSize KitImage::pixelSizeFor(const QSizeF& size, qreal ratio)
{
    const double width = std::ceil(size.width() * ratio - 1e-9);
    const double height = std::ceil(size.height() * ratio - 1e-9);
    if (!(width >= 1 && height >= 1) || width * height > double(kMaximumPixels))
        return {};
    return QSize(int(width), int(height));
}

QString KitImage::name() const { return m_artwork ? m_artwork->name : QString(); }
QSizeF KitImage::size() const { return m_artwork ? m_artwork->size : QSizeF(); }
bool KitImage::isTemplate() const { return name().endsWith(QLatin1String("Template")); }

QImage KitImage::imageOfSize(const QSizeF& size, qreal ratio) const
{
    const QSize pixels = pixelSizeFor(size, ratio);
    if (!m_artwork || pixels.isEmpty())
        return {};
    return m_artwork->rendering(pixels, ratio);
}

void KitImage::drawInRect(QPainter& painter, const QRectF& rect, qreal fraction) const
{
    const QImage image = imageOfSize(rect.size(), platform::DeviceLayer::devicePixelsPerUnit(painter));
    if (image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal opacity = painter.opacity() * fraction;
    if (isTemplate()) {
        QImage engraving = image;
        QPainter tint(&engraving);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(engraving.rect(), Qt::white);
        tint.end();
        painter.setOpacity(opacity * 0.75);
        painter.drawImage(rect.translated(0, 1), engraving);
    }
    painter.setOpacity(opacity);
    painter.drawImage(rect, image);
    painter.restore();
}

KitImage imageNamed(const QString& name)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const KitImage::Artwork>> artworks;
    const QMutexLocker lock(&mutex);
    if (const auto found = artworks.constFind(name); found != artworks.constEnd())
        return KitImage(*found);
    std::shared_ptr<const KitImage::Artwork> artwork = bundleArtwork(name);
    if (!artwork)
        artwork = systemArtwork(name);
    if (artwork)
        artworks.insert(name, artwork);
    return KitImage(artwork);
}
