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
#include <cmath>

struct KitImage::Artwork {
    QString name;
    QSizeF size;
    QByteArray svg; // bundle artwork
    QIcon icon;     // system artwork

    void render(QPainter& painter, const QRect& pixels) const
    {
        if (!svg.isEmpty()) {
            QSvgRenderer renderer(svg);
            renderer.render(&painter, pixels);
        } else {
            // Icons come in a few sizes; the nearest one stretches to fill.
            painter.drawPixmap(pixels, icon.pixmap(pixels.size()));
        }
    }
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
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        m_artwork->render(painter, image.rect());
    }
    image.setDevicePixelRatio(ratio);
    return image;
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
