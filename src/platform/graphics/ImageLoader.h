#pragma once

// Reads images in any format Qt's image plugins know (PNG, JPEG, GIF, BMP, TIFF...),
// applying orientation tags. Failures answer a null image and an error 101. Images up to
// kMaximumDecodedMegabytes decode; callers keep their own, smaller limits in pixels.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

class ImageLoader {
public:
    // 64 million pixels of 16-bit colour: Qt's own default limit refuses half of that.
    static constexpr int kMaximumDecodedMegabytes = 512;

    static QImage imageWithContentsOfFile(const QString& path, QuorvaneError* error = nullptr);
    static QImage imageWithData(const QByteArray& data, QuorvaneError* error = nullptr);
};

} // namespace platform
