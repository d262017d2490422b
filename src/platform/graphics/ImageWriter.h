#pragma once

// Image files: encoding an image as TIFF, BMP, GIF, JPEG, PNG or PDF, and writing pages of
// vector drawing as PDF. Files are written atomically: a failed write leaves the old file.
// Failures answer an error in the "Quorvane Error" domain: 101 when the file cannot be
// written (missing or unwritable folder, full disk), 102 when no data could be encoded.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

class QPainter;

namespace platform {

enum class ImageFileType { TIFF, BMP, GIF, JPEG, PNG, PDF };

struct ImageWriteOptions {
    double compressionFactor = 0.9; // JPEG quality, 0 (smallest) to 1 (best)
    bool ditherGif = true;          // dither photographs reduced to the GIF palette
};

class ImageWriter {
public:
    using PageDrawing = std::function<void(QPainter& painter)>;

    // The file bytes of `image` in `type`; a PDF page of the image's size with one
    // pixel per point. Empty bytes and `error` set on failure.
    static QByteArray representationUsingTypeProperties(const QImage& image, ImageFileType type,
                                                        const ImageWriteOptions& options = {},
                                                        QuorvaneError* error = nullptr);
    static QuorvaneError writeImageToFile(const QImage& image, const QString& path, ImageFileType type,
                                          const ImageWriteOptions& options = {});

    // A one-page vector PDF of `pageSize` points; `draw` paints it y-down from the top left,
    // one unit per point, inside a GraphicsContext scope.
    static QByteArray pdfRepresentation(QSizeF pageSize, const PageDrawing& draw, QuorvaneError* error = nullptr);
    static QuorvaneError writePDFToFile(const QString& path, QSizeF pageSize, const PageDrawing& draw);

    // A JPEG of the image scaled smoothly to `size` (its own size when empty).
    static QByteArray JPEGRepresentationWithSizeCompression(const QImage& image, QSize size, double compression);

    // "tif"/"tiff", "bmp", "gif", "jpg"/"jpeg", "png", "pdf" in any case.
    static std::optional<ImageFileType> fileTypeForExtension(const QString& extension);

    // Writes `bytes` to `path` atomically.
    static QuorvaneError writeDataToFile(const QByteArray& bytes, const QString& path);
};

} // namespace platform
