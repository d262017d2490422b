#include "platform/graphics/GradientFilling.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <optional>

namespace platform {

namespace {

// Pixels per inch of the images that stand in for gradients; huge ones get fewer.
constexpr double kGradientImageResolution = 300;
constexpr double kMaximumGradientImagePixels = 4096.0 * 4096.0;

bool losesGradientTransparency(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Pdf;
}

// The alpha all stops share; none when they differ.
std::optional<double> sharedAlpha(const QGradientStops& stops)
{
    if (stops.isEmpty())
        return std::nullopt;
    const int alpha = stops.first().second.alpha();
    for (const QGradientStop& stop : stops) {
        if (stop.second.alpha() != alpha)
            return std::nullopt;
    }
    return stops.first().second.alphaF();
}

QBrush withStopAlpha(const QBrush& brush, double alpha)
{
    // QGradient keeps its kind and geometry itself: a copy of the base is a whole gradient.
    QGradient gradient = *brush.gradient();
    QGradientStops stops = gradient.stops();
    for (QGradientStop& stop : stops)
        stop.second.setAlphaF(float(alpha));
    gradient.setStops(stops);
    QBrush result(gradient);
    result.setTransform(brush.transform());
    return result;
}

// The part of `path` that can show: inside the page and the clip, in user coordinates.
QRectF visibleBounds(const QPainter& painter, const QPainterPath& path)
{
    const QPaintDevice* device = painter.device();
    bool invertible = false;
    const QTransform fromDevice = painter.combinedTransform().inverted(&invertible);
    if (!device || !invertible)
        return {};
    QRectF area = path.boundingRect() & fromDevice.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (painter.hasClipping())
        area &= painter.clipBoundingRect();
    return area;
}

void fillWithImageOfGradient(QPainter& painter, const QPainterPath& path, const QBrush& gradient)
{
    const QRectF area = visibleBounds(painter, path);
    if (area.isEmpty())
        return;
    const double pointsPerUnit =
        std::sqrt(std::abs(painter.combinedTransform().determinant())) * 72.0 / painter.device()->logicalDpiX();
    const double pixelsPerUnit = std::min(pointsPerUnit * kGradientImageResolution / 72.0,
                                          std::sqrt(kMaximumGradientImagePixels / (area.width() * area.height())));
    if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0)
        return;
    QImage image(std::max(1, qCeil(area.width() * pixelsPerUnit)), std::max(1, qCeil(area.height() * pixelsPerUnit)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.fill(Qt::transparent);
    {
        QPainter imagePainter(&image);
        imagePainter.scale(image.width() / area.width(), image.height() / area.height());
        imagePainter.translate(-area.topLeft());
        imagePainter.fillRect(area, gradient);
    }
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, image);
    painter.restore();
}

} // namespace

void fillPathWithGradient(QPainter& painter, const QPainterPath& path, const QBrush& gradient,
                          UnevenGradientAlpha uneven)
{
    if (!gradient.gradient() || !losesGradientTransparency(painter)) {
        painter.fillPath(path, gradient);
        return;
    }
    if (const std::optional<double> alpha = sharedAlpha(gradient.gradient()->stops())) {
        const double opacity = painter.opacity();
        painter.setOpacity(1);
        painter.fillPath(path, withStopAlpha(gradient, *alpha * opacity));
        painter.setOpacity(opacity);
        return;
    }
    if (uneven == UnevenGradientAlpha::AsImage)
        fillWithImageOfGradient(painter, path, gradient);
    else
        painter.fillPath(path, gradient);
}

} // namespace platform
