#pragma once

// Reads images in any format Qt's image plugins know (PNG, JPEG, GIF, BMP, TIFF...),
// applying orientation tags. Failures answer a null image and an error 101.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

class ImageLoader {
public:
    static QImage imageWithContentsOfFile(const QString& path, QuorvaneError* error = nullptr);
    static QImage imageWithData(const QByteArray& data, QuorvaneError* error = nullptr);
};

} // namespace platform
