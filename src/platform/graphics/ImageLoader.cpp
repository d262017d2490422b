#include "platform/graphics/ImageLoader.h"

#include <QBuffer>
#include <QImageReader>

namespace platform {

namespace {

QImage read(QImageReader& reader, const QString& source, QuorvaneError* error)
{
    static const bool limitRaised = [] {
        QImageReader::setAllocationLimit(ImageLoader::kMaximumDecodedMegabytes);
        return true;
    }();
    Q_UNUSED(limitRaised);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull() && error) {
        *error = QuorvaneError(kQuorvaneDocumentError,
                               QStringLiteral("could not read image %1: %2").arg(source, reader.errorString()));
    }
    return image;
}

} // namespace

QImage ImageLoader::imageWithContentsOfFile(const QString& path, QuorvaneError* error)
{
    QImageReader reader(path);
    return read(reader, QLatin1Char('\'') + path + QLatin1Char('\''), error);
}

QImage ImageLoader::imageWithData(const QByteArray& data, QuorvaneError* error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return read(reader, QStringLiteral("data (%1 bytes)").arg(data.size()), error);
}

} // namespace platform
