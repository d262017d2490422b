#include "platform/vantrix/styles/VXShadow.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// Blurs wider than this (device pixels) look no different and only cost time.
constexpr int kMaximumBlurPixels = 128;

// One pass of a box blur of `radius` along `count` lines of `length` bytes; outside is 0.
void boxBlurLines(uchar* data, int count, int length, qsizetype lineStep, qsizetype pixelStep, int radius)
{
    QVarLengthArray<uchar, 1024> source(length);
    const int window = 2 * radius + 1;
    for (int line = 0; line < count; ++line) {
        uchar* first = data + line * lineStep;
        for (int i = 0; i < length; ++i)
            source[i] = first[i * pixelStep];
        int sum = 0;
        for (int i = 0; i < std::min(radius, length); ++i)
            sum += source[i];
        for (int i = 0; i < length; ++i) {
            if (i + radius < length)
                sum += source[i + radius];
            if (i - radius - 1 >= 0)
                sum -= source[i - radius - 1];
            first[i * pixelStep] = uchar((sum + window / 2) / window);
        }
    }
}

// Three box passes each way approximate a Gaussian reaching `radius` pixels.
void blurAlpha(QImage& mask, int radius)
{
    const int box = std::max(1, (radius + 2) / 3);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurLines(mask.bits(), mask.height(), mask.width(), mask.bytesPerLine(), 1, box);
        boxBlurLines(mask.bits(), mask.width(), mask.height(), 1, mask.bytesPerLine(), box);
    }
}

QImage tinted(const QImage& mask, const QColor& colour)
{
    QImage image(mask.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb rgb = colour.rgba();
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            const int alpha = in[x] * qAlpha(rgb) / 255;
            out[x] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha));
        }
    }
    return image;
}

} // namespace

VXShadow::VXShadow()
    : m_colour(0, 0, 0, 85)
{
}

std::shared_ptr<VXShadow> VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF offset, double blurRadius,
                                                                     const QColor& colour)
{
    auto shadow = std::make_shared<VXShadow>();
    shadow->setOffset(offset);
    shadow->setBlurRadius(blurRadius);
    shadow->setColour(colour);
    return shadow;
}

void VXShadow::setOffset(QSizeF offset)
{
    if (offset == m_offset || !std::isfinite(offset.width()) || !std::isfinite(offset.height()))
        return;
    ZQ_CHANGE_SCOPE("offset");
    m_offset = offset;
}

void VXShadow::setBlurRadius(double radius)
{
    radius = std::max(radius, 0.0);
    if (radius == m_blurRadius || !std::isfinite(radius))
        return;
    ZQ_CHANGE_SCOPE("blurRadius");
    m_blurRadius = radius;
}

void VXShadow::setColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    ZQ_CHANGE_SCOPE("colour");
    m_colour = colour;
}

QSizeF VXShadow::extraSpace() const
{
    return {std::abs(m_offset.width()) + m_blurRadius, std::abs(m_offset.height()) + m_blurRadius};
}

void VXShadow::drawShadowForPath(const QPainterPath& shape) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !VXStyle::willDrawShadows() || !m_colour.isValid() || m_colour.alpha() == 0 || shape.isEmpty())
        return;
    QPainter* painter = context->painter();
    const QPainterPath moved = shape.translated(m_offset.width(), m_offset.height());
    if (m_blurRadius <= 0) {
        painter->fillPath(moved, m_colour);
        return;
    }

    // Blur in device pixels, so the shadow looks the same at every zoom.
    platform::DeviceLayer layer(*painter, moved.boundingRect().adjusted(-m_blurRadius, -m_blurRadius, m_blurRadius,
                                                                        m_blurRadius),
                                m_blurRadius);
    layer.paint([&] {
        QPainter* layerPainter = platform::GraphicsContext::current()->painter();
        layerPainter->setRenderHint(QPainter::Antialiasing);
        layerPainter->fillPath(moved, Qt::black);
    });
    if (layer.isEmpty())
        return;
    QImage mask = layer.image().convertToFormat(QImage::Format_Alpha8);
    blurAlpha(mask, std::min(kMaximumBlurPixels, qCeil(m_blurRadius * layer.pixelsPerUnit())));
    layer.drawBack(tinted(mask, m_colour));
}
