#pragma once

// GIF encoding through giflib: one frame, a palette of at most 256 colours (see
// ColourQuantizer), and a transparent entry when the image has transparent pixels.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QImage>

namespace platform {

class GifEncoder {
public:
    // The GIF bytes of `image`, or empty bytes and `error` set when it cannot be encoded.
    static QByteArray encode(const QImage& image, bool dither, QuorvaneError* error = nullptr);
};

} // namespace platform
