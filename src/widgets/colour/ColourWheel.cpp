#include "widgets/colour/ColourWheel.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

int& computations()
{
    static int count = 0;
    return count;
}

} // namespace

ColourWheel::ColourWheel(const QRectF& bounds)
{
    const QRectF square = bounds.adjusted(kInset, kInset, -kInset, -kInset);
    m_centre = square.center();
    m_radius = float(square.width() / 2);
}

bool ColourWheel::contains(const QPointF& point) const
{
    const QPointF offset = point - m_centre;
    return std::hypot(offset.x(), offset.y()) <= m_radius;
}

double ColourWheel::hueAt(const QPointF& point) const
{
    const QPointF offset = point - m_centre;
    double angle = std::atan2(offset.y(), offset.x());
    if (angle < 0)
        angle += 2 * std::numbers::pi;
    const double hue = 1 - angle / (2 * std::numbers::pi);
    return hue >= 1 ? hue - 1 : hue;
}

double ColourWheel::saturationAt(const QPointF& point) const
{
    if (m_radius <= 0)
        return 0;
    const QPointF offset = point - m_centre;
    return std::min(1.0, std::hypot(offset.x(), offset.y()) / m_radius);
}

QColor ColourWheel::colourAt(const QPointF& point, double brightness) const
{
    return QColor::fromHsvF(float(hueAt(point)), float(saturationAt(point)), float(std::clamp(brightness, 0.0, 1.0)));
}

QPointF ColourWheel::pointForColour(const QColor& colour) const
{
    const QColor hsv = colour.toHsv();
    const double hue = std::max(0.0, double(hsv.hsvHueF())); // achromatic colours have hue −1
    const float theta = float(2 * std::numbers::pi * (1 - hue));
    const double reach = hsv.hsvSaturationF() * m_radius;
    return m_centre + QPointF(reach * std::cos(theta), reach * std::sin(theta));
}

QImage ColourWheel::image(const QSize& size, qreal ratio)
{
    // Pickers of one size share the image; a drag never recomputes it. A few sizes are kept
    // (the pop-up picker, the panel's page, icons).
    constexpr qsizetype kKeptImages = 4;
    static QList<QImage> kept;
    const QSize pixels(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    for (const QImage& image : kept)
        if (image.size() == pixels && image.devicePixelRatio() == ratio)
            return image;
    if (pixels.isEmpty() || !(ratio > 0) || qint64(pixels.width()) * pixels.height() > qint64(8192) * 8192)
        return {};
    ++computations();
    const ColourWheel wheel(QRectF(QPointF(0, 0), QSizeF(size)));
    QImage image(pixels, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QPointF point((x + 0.5) / ratio, (y + 0.5) / ratio);
            line[x] = wheel.colourAt(point, 1.0).rgb();
        }
    }
    image.setDevicePixelRatio(ratio);
    if (kept.size() == kKeptImages)
        kept.removeFirst();
    kept << image;
    return image;
}

int ColourWheel::imagesComputed()
{
    return computations();
}
