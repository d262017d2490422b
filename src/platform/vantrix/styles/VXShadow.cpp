#include "platform/vantrix/styles/VXShadow.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/ImageEffects.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The mask in `colour`, its alpha scaled by the mask's.
QImage tinted(const QImage& mask, const QColor& colour)
{
    QImage image(mask.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
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
    announceChangeForKey(QStringLiteral("offset"), [&] { m_offset = offset; });
}

void VXShadow::setBlurRadius(double radius)
{
    radius = std::max(radius, 0.0);
    if (radius == m_blurRadius || !std::isfinite(radius))
        return;
    announceChangeForKey(QStringLiteral("blurRadius"), [&] { m_blurRadius = radius; });
}

void VXShadow::setColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    announceChangeForKey(QStringLiteral("colour"), [&] { m_colour = colour; });
}

QSizeF VXShadow::extraSpace() const
{
    return {std::abs(m_offset.width()) + m_blurRadius, std::abs(m_offset.height()) + m_blurRadius};
}

void VXShadow::drawShadowForPath(const QPainterPath& shape, const QColor& shapeColour) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !VXStyle::willDrawShadows() || !m_colour.isValid() || m_colour.alpha() == 0 || shape.isEmpty())
        return;
    QPainter* painter = context->painter();
    const bool hiddenUnderShape = shapeColour.isValid() && shapeColour.alpha() == 255 && painter->opacity() < 1;
    const QPainterPath moved = shape.translated(m_offset.width(), m_offset.height());
    if (m_blurRadius <= 0) {
        painter->fillPath(hiddenUnderShape ? moved.subtracted(shape) : moved, m_colour);
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
    platform::gaussianBlur(mask, std::ceil(m_blurRadius * layer.pixelsPerUnit()));
    QImage shadow = tinted(mask, m_colour);
    if (hiddenUnderShape) {
        QPainter cutter(&shadow);
        cutter.setRenderHint(QPainter::Antialiasing);
        cutter.setTransform(layer.userToLayer());
        cutter.setCompositionMode(QPainter::CompositionMode_Clear);
        cutter.fillPath(shape, Qt::black);
    }
    layer.drawBack(shadow);
}
