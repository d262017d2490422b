#pragma once

// Reduces an image to a palette for formats that carry at most 256 colours. Images with
// few colours keep them exactly; others get a median-cut palette, optionally with
// Floyd-Steinberg dithering. Pixels less than half opaque become one transparent entry.

#include <QImage>

namespace platform {

class ColourQuantizer {
public:
    struct Result {
        QImage image;              // Format_Indexed8; its colour table is the palette
        int transparentIndex = -1; // palette entry of transparent pixels, or -1 when none
    };

    // `maximumColours` is clamped to 2..256 and includes the transparent entry.
    static Result quantize(const QImage& image, int maximumColours, bool dither);
};

} // namespace platform
