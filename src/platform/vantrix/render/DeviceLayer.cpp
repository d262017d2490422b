#include "platform/vantrix/render/DeviceLayer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/render/RenderSteps.h"

#include <QPaintDevice>
#include <QtMath>

namespace platform {

namespace {

constexpr qint64 kMaximumFadedLayerPixels = qint64(1) << 28;
// Blurs reach a pixel or two further than their radius, rounded to whole box passes.
constexpr double kEffectRoundingPixels = 3;

} // namespace

double DeviceLayer::devicePixelsPerUnit(const QPainter& painter)
{
    return std::sqrt(std::abs(userToDevicePixels(painter).determinant()));
}

QTransform DeviceLayer::userToDevicePixels(const QPainter& painter)
{
    // The view transform already holds the device pixel ratio.
    return painter.combinedTransform();
}

DeviceLayer::DeviceLayer(QPainter& target, const QRectF& area, double margin, double resolution, qint64 maximumPixels)
    : m_target(target)
{
    const QPaintDevice* device = target.device();
    const QTransform toDevice = userToDevicePixels(target);
    const double unitScale = devicePixelsPerUnit(target);
    if (!device || !area.isValid() || !std::isfinite(unitScale) || unitScale <= 0 || !(resolution > 0))
        return;
    const double ratio = device->devicePixelRatioF();
    const double marginPixels = margin > 0 ? std::min(margin * unitScale + kEffectRoundingPixels, 1e6) : 0;
    QRectF shown(0, 0, device->width() * ratio, device->height() * ratio);
    // Through a clip (a tile of a larger image, say) no more can show.
    if (target.hasClipping())
        shown &= toDevice.mapRect(target.clipBoundingRect());
    const QRectF visible = shown.adjusted(-marginPixels, -marginPixels, marginPixels, marginPixels);
    const QRectF deviceArea = toDevice.mapRect(area) & visible;
    if (deviceArea.isEmpty())
        return;
    const QRect pixels = deviceArea.toAlignedRect();
    const double count = double(pixels.width()) * pixels.height();
    const double scale = std::min({resolution, 1.0, std::sqrt(double(maximumPixels) / count)});
    const QSize size(std::max(1, qCeil(pixels.width() * scale)), std::max(1, qCeil(pixels.height() * scale)));

    m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (m_image.isNull())
        return;
    m_image.fill(Qt::transparent);
    m_layerToDevice = QTransform::fromScale(1 / scale, 1 / scale) * QTransform::fromTranslate(pixels.x(), pixels.y());
    m_userToLayer = toDevice * m_layerToDevice.inverted();
    m_pixelsPerUnit = unitScale * scale;
}

void DeviceLayer::paint(const std::function<void()>& draw)
{
    if (isEmpty())
        return;
    QPainter painter(&m_image);
    painter.setRenderHints(m_target.renderHints());
    painter.setTransform(m_userToLayer);
    const GraphicsContext* context = GraphicsContext::current();
    const GraphicsContext::Scope scope(&painter, context ? context->isFlipped() : true,
                                       context && context->isDrawingToScreen());
    draw();
}

void DeviceLayer::drawBack(const QImage& image, QPainter::CompositionMode mode) const
{
    if (isEmpty())
        return;
    // Device pixels come from the world transform followed by the view transform (which holds the
    // pixel ratio); keep the latter and replace the former.
    bool invertible = false;
    const QTransform deviceToWorld = userToDevicePixels(m_target).inverted(&invertible) * m_target.worldTransform();
    if (!invertible)
        return;
    m_target.save();
    m_target.setWorldTransform(m_layerToDevice * deviceToWorld);
    m_target.setCompositionMode(mode);
    m_target.setRenderHint(QPainter::SmoothPixmapTransform);
    m_target.drawImage(QPointF(0, 0), image);
    m_target.restore();
}

void drawInFadedLayer(QPainter& painter, const QRectF& area, double opacity, const std::function<void()>& draw,
                      const void* steppedLayer)
{
    const QPaintDevice* device = painter.device();
    const int type = device ? device->devType() : QInternal::UnknownDevice;
    if (type != QInternal::Image && type != QInternal::Pixmap && type != QInternal::Widget) {
        painter.save();
        painter.setOpacity(painter.opacity() * opacity);
        draw();
        painter.restore();
        return;
    }
    // Fading changes colours, not detail: the layer keeps the device's resolution up to the
    // size of the largest image the program makes.
    DeviceLayer layer(painter, area, 0, 1, kMaximumFadedLayerPixels);
    const RenderSteps::Composing apart(steppedLayer, layer.image());
    layer.paint(draw);
    if (layer.isEmpty() || apart.stopped())
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    layer.drawBack(layer.image());
    painter.restore();
}

} // namespace platform
