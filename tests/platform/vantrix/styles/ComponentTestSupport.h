#pragma once

// Helpers of the component tests: plain motif images and scans of rendered images.

#include "platform/vantrix/styles/StyleTestSupport.h"

#include <QImage>
#include <QRect>

namespace componenttest {

inline QImage solidImage(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

inline bool isWhite(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// The smallest rectangle holding every pixel that is not white; null when all are.
inline QRect paintedBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!isWhite(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The number of separate painted runs crossed going down column `x`.
inline int paintedRunsInColumn(const QImage& image, int x)
{
    int runs = 0;
    bool inside = false;
    for (int y = 0; y < image.height(); ++y) {
        const bool painted = !isWhite(image, x, y);
        runs += painted && !inside;
        inside = painted;
    }
    return runs;
}

} // namespace componenttest
