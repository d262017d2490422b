#include "platform/graphics/ImageWriter.h"

#include "platform/graphics/GifEncoder.h"
#include "platform/graphics/GraphicsContext.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

QuorvaneError encodingError(const QString& reason)
{
    return QuorvaneError(kQuorvaneNoDrawingDataError, reason);
}

QByteArray fail(QuorvaneError* error, const QuorvaneError& reason)
{
    if (error)
        *error = reason;
    return {};
}

QByteArray encodeWithQt(const QImage& image, const char* format, int quality, int compression,
                        QuorvaneError* error)
{
    if (!QImageWriter::supportedImageFormats().contains(format))
        return fail(error, encodingError(QStringLiteral("no %1 encoder is installed").arg(QLatin1String(format))));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setCompression(compression);
    if (!writer.write(image))
        return fail(error, encodingError(QStringLiteral("%1 encoding failed: %2")
                                             .arg(QLatin1String(format), writer.errorString())));
    return bytes;
}

// JPEG has no alpha: transparent parts become white, as on paper.
QImage onWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

int jpegQuality(double compressionFactor)
{
    const double factor = std::isnan(compressionFactor) ? 0.9 : std::clamp(compressionFactor, 0.0, 1.0);
    return int(std::lround(factor * 100));
}

} // namespace

QByteArray ImageWriter::representationUsingTypeProperties(const QImage& image, ImageFileType type,
                                                          const ImageWriteOptions& options, QuorvaneError* error)
{
    if (image.isNull())
        return fail(error, encodingError(QStringLiteral("there is no image to encode")));
    switch (type) {
    case ImageFileType::PNG: return encodeWithQt(image, "png", -1, -1, error);
    case ImageFileType::JPEG: return encodeWithQt(onWhite(image), "jpeg", jpegQuality(options.compressionFactor), -1, error);
    case ImageFileType::TIFF: return encodeWithQt(image, "tiff", -1, 1 /* LZW */, error);
    case ImageFileType::BMP: return encodeWithQt(image, "bmp", -1, -1, error);
    case ImageFileType::GIF: return GifEncoder::encode(image, options.ditherGif, error);
    case ImageFileType::PDF:
        return pdfRepresentation(QSizeF(image.size()), [&](QPainter& painter) { painter.drawImage(0, 0, image); },
                                 error);
    }
    return fail(error, encodingError(QStringLiteral("unknown image type")));
}

QuorvaneError ImageWriter::writeImageToFile(const QImage& image, const QString& path, ImageFileType type,
                                            const ImageWriteOptions& options)
{
    QuorvaneError error;
    const QByteArray bytes = representationUsingTypeProperties(image, type, options, &error);
    return error ? error : writeDataToFile(bytes, path);
}

QByteArray ImageWriter::pdfRepresentation(QSizeF pageSize, const PageDrawing& draw, QuorvaneError* error)
{
    if (!(pageSize.width() > 0 && pageSize.height() > 0 && std::isfinite(pageSize.width() * pageSize.height())))
        return fail(error, encodingError(QStringLiteral("a PDF page needs a positive size")));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(error, encodingError(QStringLiteral("the PDF writer could not start")));
        {
            GraphicsContext::Scope scope(&painter);
            draw(painter);
        }
        painter.end();
    }
    if (bytes.isEmpty())
        return fail(error, encodingError(QStringLiteral("the PDF writer produced no data")));
    return bytes;
}

QuorvaneError ImageWriter::writePDFToFile(const QString& path, QSizeF pageSize, const PageDrawing& draw)
{
    QuorvaneError error;
    const QByteArray bytes = pdfRepresentation(pageSize, draw, &error);
    return error ? error : writeDataToFile(bytes, path);
}

QByteArray ImageWriter::JPEGRepresentationWithSizeCompression(const QImage& image, QSize size, double compression)
{
    const QImage scaled = size.isEmpty() || image.isNull()
                              ? image
                              : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ImageWriteOptions options;
    options.compressionFactor = compression;
    return representationUsingTypeProperties(scaled, ImageFileType::JPEG, options);
}

std::optional<ImageFileType> ImageWriter::fileTypeForExtension(const QString& extension)
{
    const QString e = extension.toLower();
    if (e == QLatin1String("tif") || e == QLatin1String("tiff"))
        return ImageFileType::TIFF;
    if (e == QLatin1String("jpg") || e == QLatin1String("jpeg"))
        return ImageFileType::JPEG;
    if (e == QLatin1String("bmp"))
        return ImageFileType::BMP;
    if (e == QLatin1String("gif"))
        return ImageFileType::GIF;
    if (e == QLatin1String("png"))
        return ImageFileType::PNG;
    if (e == QLatin1String("pdf"))
        return ImageFileType::PDF;
    return std::nullopt;
}

QuorvaneError ImageWriter::writeDataToFile(const QByteArray& bytes, const QString& path)
{
    QSaveFile file(path);
    auto failure = [&] {
        return QuorvaneError(kQuorvaneDocumentError,
                             QStringLiteral("could not write '%1': %2").arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure();
    if (file.write(bytes) != bytes.size()) {
        const QuorvaneError error = failure();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return failure();
    return {};
}

} // namespace platform
