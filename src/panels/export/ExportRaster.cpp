#include "panels/export/ExportRaster.h"

#include "panels/export/ExportColourSpaces.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingExclusion.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QCoreApplication>
#include <QPainter>
#include <cmath>

namespace exportraster {

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kMetresPerInch = 0.0254;

bool isPositive(double value) { return std::isfinite(value) && value > 0; }

QuorvaneError sizeError(const QSizeF& region, double dpi, double scale)
{
    return QuorvaneError(kQuorvaneNoDrawingDataError,
                         QCoreApplication::translate("VLTMExportOperation",
                                                     "A bitmap of %1 x %2 points at %3 dpi and scale %4 cannot be made.")
                             .arg(region.width())
                             .arg(region.height())
                             .arg(dpi)
                             .arg(scale));
}

// Whole pixels covering a fractional size; a hair over a whole number is rounding, not a pixel.
int wholePixels(double pixels) { return int(std::ceil(pixels - 1e-6)); }

} // namespace

std::optional<QSize> pixelSizeForRegion(const QSizeF& region, double dpi, double scale)
{
    if (!isPositive(region.width()) || !isPositive(region.height()) || !isPositive(dpi) || !isPositive(scale))
        return std::nullopt;
    const double width = dpi * region.width() * scale / kPointsPerInch;
    const double height = dpi * region.height() * scale / kPointsPerInch;
    if (!(width * height <= double(kMaximumPixels)) || width > kMaximumPixels || height > kMaximumPixels)
        return std::nullopt;
    const QSize pixels(std::max(1, wholePixels(width)), std::max(1, wholePixels(height)));
    if (qint64(pixels.width()) * pixels.height() > kMaximumPixels)
        return std::nullopt;
    return pixels;
}

QByteArray imageData(const QRectF& region, const Parameters& parameters, const RegionRenderer& render,
                     QuorvaneError* error)
{
    const std::optional<QSize> pixels = pixelSizeForRegion(region.size(), parameters.dpi, parameters.scale);
    if (!pixels || !std::isfinite(region.x()) || !std::isfinite(region.y())) {
        if (error)
            *error = sizeError(region.size(), parameters.dpi, parameters.scale);
        return {};
    }
    QImage image = render(*pixels, parameters.background);
    if (image.isNull()) {
        if (error)
            *error = sizeError(region.size(), parameters.dpi, parameters.scale);
        return {};
    }
    const int dotsPerMetre = int(std::lround(parameters.dpi / kMetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image = exportcolour::convertedImage(std::move(image), parameters.colourSpace);
    platform::ImageWriteOptions options;
    options.compressionFactor = parameters.quality;
    return platform::ImageWriter::representationUsingTypeProperties(image, parameters.format, options, error);
}

RegionRenderer drawingRenderer(const VXDrawing& drawing, const QRectF& region)
{
    return [&drawing, region](QSize pixels, const QColor& background) {
        return platform::DrawingRenderer::imageOfDrawing(drawing, region, pixels, background);
    };
}

RegionRenderer layerRenderer(const VXLayer& layer, const QRectF& region)
{
    return [&layer, region](QSize pixels, const QColor& background) {
        layer.prepareToDrawRect(region);
        return platform::DrawingRenderer::imageOfRect(region, pixels, background, [&layer](QPainter& painter,
                                                                                          const QRectF& area) {
            const platform::GraphicsContext::Scope scope(&painter);
            platform::DrawingRenderer::Options options;
            options.printing = true;
            options.includeHidden = true;
            platform::DrawingRenderer::drawLayer(layer, area, options);
        });
    };
}

RegionRenderer objectRenderer(const VXDrawableObject& object, const QRectF& region)
{
    return [&object, region](QSize pixels, const QColor& background) {
        object.prepareToDraw();
        return platform::DrawingRenderer::imageOfRect(region, pixels, background, [&object](QPainter& painter,
                                                                                           const QRectF&) {
            const platform::GraphicsContext::Scope scope(&painter);
            const platform::DrawingExclusion exclusion(&object, platform::DrawingExclusion::Level::Object);
            object.drawContent();
            object.drawTextLabelsInView(nullptr);
        });
    };
}

} // namespace exportraster
