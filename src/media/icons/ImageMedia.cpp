#include "media/icons/ImageMedia.h"

#include "media/folders/FilePackages.h"
#include "media/icons/ExifDateTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileIconProvider>
#include <QImageReader>
#include <QPainter>

namespace {

constexpr qreal kIconPixelRatio = 2.0;

// The bits per component and the colour model of an image format; nullopt for none.
struct FormatFacts {
    int depth;
    const char* model;
};

std::optional<FormatFacts> factsOfFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Invalid:
        return std::nullopt;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return FormatFacts{1, "Gray"};
    case QImage::Format_Alpha8:
    case QImage::Format_Grayscale8:
        return FormatFacts{8, "Gray"};
    case QImage::Format_Grayscale16:
        return FormatFacts{16, "Gray"};
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
        return FormatFacts{16, "RGB"};
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied:
        return FormatFacts{32, "RGB"};
    default:
        return FormatFacts{8, "RGB"};
    }
}

// Artwork from this application's resources, rendered for an icon when it is vector artwork.
QImage ownResource(const QString& name)
{
    const QString extension = pathExtension(name);
    const QString base = extension.isEmpty() ? name : name.chopped(extension.size() + 1);
    QStringList candidates = {QStringLiteral(":/bundle/images/") + name};
    // There is no PDF reader here: PDF artwork ships as SVG.
    if (extension.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0 || extension.isEmpty())
        candidates.append(QStringLiteral(":/bundle/images/%1.svg").arg(base));
    for (const QString& path : std::as_const(candidates)) {
        if (!QFile::exists(path))
            continue;
        QImageReader reader(path);
        if (path.endsWith(QLatin1String(".svg")))
            reader.setScaledSize(reader.size() * kIconPixelRatio);
        QImage image = reader.read();
        if (image.isNull())
            continue;
        if (path.endsWith(QLatin1String(".svg")))
            image.setDevicePixelRatio(kIconPixelRatio);
        return image;
    }
    return {};
}

} // namespace

QImage iMedia::imageResourceNamedFromApplicationFallbackTo(const QString& name, const QString& bundleID,
                                                           const QString& fallbackName)
{
    // No other application's bundle can be found here.
    QImage image = bundleID == kApplicationBundleIdentifier ? ownResource(name) : QImage();
    if (image.isNull() && !fallbackName.isEmpty())
        image = ownResource(fallbackName);
    return image;
}

QImage iMedia::iconFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const int side = int(kIconSide * kIconPixelRatio);
    QImage icon = image.size() == QSize(side, side)
                      ? image
                      : image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    icon.setDevicePixelRatio(kIconPixelRatio);
    return icon;
}

QImage iMedia::sharedGenericFolderIcon()
{
    static const QImage folder = [] {
        const QImage platform = QFileIconProvider()
                                    .icon(QFileIconProvider::Folder)
                                    .pixmap(QSize(kIconSide, kIconSide), kIconPixelRatio)
                                    .toImage();
        return iconFromImage(platform.isNull() ? ownResource(QStringLiteral("folder")) : platform);
    }();
    return folder;
}

QImage iMedia::genericFolderIcon()
{
    return sharedGenericFolderIcon().copy();
}

QImage iMedia::imageWithDataMimeType(const QByteArray& data, const QString& mimeType)
{
    return QImage::fromData(data);
}

QVariantMap iMedia::metadataFromImageAtPath(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return {};
    QVariantMap metadata;
    const QSize size = reader.size();
    if (size.width() > 0 && size.height() > 0) {
        metadata.insert(QStringLiteral("width"), size.width());
        metadata.insert(QStringLiteral("height"), size.height());
    }
    if (const std::optional<FormatFacts> facts = factsOfFormat(reader.imageFormat())) {
        metadata.insert(QStringLiteral("depth"), facts->depth);
        metadata.insert(QStringLiteral("model"), QString::fromLatin1(facts->model));
    }
    if (const QString extension = pathExtension(path); !extension.isEmpty())
        metadata.insert(QStringLiteral("filetype"), extension.toUpper());
    if (reader.format() == "jpeg") {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (const std::optional<QString> taken = exifDateTimeOriginal(file))
                metadata.insert(QStringLiteral("dateTime"), *taken);
        }
    }
    return metadata;
}

QString iMedia::imageMetadataDescriptionForMetadata(const QVariantMap& metadata)
{
    const auto label = [](const char* text) { return QCoreApplication::translate("IMBConfig", text); };
    const auto text = [&metadata](const char* key) { return metadata.value(QLatin1String(key)).toString(); };
    const auto has = [&metadata](const char* key) { return metadata.contains(QLatin1String(key)); };

    QString description;
    if (has("width") && has("height"))
        description += QStringLiteral("%1: %2x%3\n").arg(label("Size"), text("width"), text("height"));
    if (!has("depth") && !has("model") && !has("ImageType"))
        return description;
    description += label("Type") + QStringLiteral(": ");
    if (has("depth"))
        description += text("depth") + QStringLiteral("bit ");
    if (has("model"))
        description += text("model") + QLatin1Char(' ');
    if (has("ImageType"))
        description += text("ImageType");
    else if (has("filetype"))
        description += text("filetype");
    return description + QLatin1Char('\n');
}

QImage iMedia::imageCroppedToRect(const QImage& image, const QRect& rect)
{
    if (rect.isEmpty())
        return {};
    QImage cropped(rect.size(), QImage::Format_ARGB32_Premultiplied);
    cropped.fill(Qt::transparent);
    QPainter painter(&cropped);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(-rect.topLeft(), image);
    return cropped;
}
