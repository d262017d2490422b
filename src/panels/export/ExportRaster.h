#pragma once

// Bitmaps of exported regions: the pixel size a region gets at a resolution and scale, and
// the encoded file of a region that a renderer paints. The file carries the resolution, the
// colour space and the compression factor it was asked for.

#include "platform/foundation/QuorvaneError.h"
#include "platform/graphics/ImageWriter.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>
#include <optional>

class VXDrawableObject;
class VXDrawing;
class VXLayer;

namespace exportraster {

// The largest bitmap an export makes, in pixels.
constexpr qint64 kMaximumPixels = qint64(1) << 28;

struct Parameters {
    platform::ImageFileType format = platform::ImageFileType::PNG;
    double quality = 0.75; // compression factor
    double dpi = 72.0;
    double scale = 1.0;
    QString colourSpace;  // an exportcolour identifier
    QColor background;    // invalid: transparent
};

// dpi × size × scale / 72, each side raised to whole pixels; none for a region, resolution or
// scale that is not finite and positive, or a bitmap larger than kMaximumPixels.
std::optional<QSize> pixelSizeForRegion(const QSizeF& region, double dpi, double scale);

// Paints the region onto an image of the pixel size, over the background.
using RegionRenderer = std::function<QImage(QSize pixels, const QColor& background)>;

// The encoded bitmap of `region`; empty with `error` set when the parameters or the size
// cannot make one.
QByteArray imageData(const QRectF& region, const Parameters& parameters, const RegionRenderer& render,
                     QuorvaneError* error);

// Renderers of a drawing's region (as it prints), of one layer alone (hidden or not) and of
// one object alone with its text labels.
RegionRenderer drawingRenderer(const VXDrawing& drawing, const QRectF& region);
RegionRenderer layerRenderer(const VXLayer& layer, const QRectF& region);
RegionRenderer objectRenderer(const VXDrawableObject& object, const QRectF& region);

} // namespace exportraster
