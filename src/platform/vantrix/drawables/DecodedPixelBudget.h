#pragma once

// The pixels the images of one import or one opened document may decode to together. An
// image counts once however many shapes show it, and is counted from its header before it
// is decoded, so a file that asks for too much is refused before it takes the memory.

#include "platform/vantrix/drawables/SharedImage.h"

#include <QString>

#include <unordered_set>

class VXDrawing;

namespace platform {

class DecodedPixelBudget {
public:
    // Four images of the largest size one image may have.
    static constexpr qint64 kMaximumPixels = 4 * SharedImage::kMaximumPixels;

    explicit DecodedPixelBudget(qint64 pixels = kMaximumPixels) : m_pixels(pixels), m_remaining(pixels) {}

    // False, with the reason, when the image has more pixels than one image may have or
    // would take the images past the budget: it is then not to be shown.
    bool admit(const std::shared_ptr<const SharedImage>& image, QString* reason);
    // The images of every image shape in the drawing, members of groups included.
    bool admitImagesOf(const VXDrawing& drawing, QString* reason);

private:
    qint64 m_pixels;
    qint64 m_remaining;
    std::unordered_set<std::shared_ptr<const SharedImage>> m_admitted;
};

} // namespace platform
