#include "platform/vantrix/styles/VXCIFilterRastGroup.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/ImageEffects.h"

VXCIFilterRastGroup::VXCIFilterRastGroup() = default;

QString VXCIFilterRastGroup::displayName() const
{
    return tr("Filter Group");
}

void VXCIFilterRastGroup::setClipping(int clipping)
{
    if (platform::isClippingValue(clipping))
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

void VXCIFilterRastGroup::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    QPainter* painter = context->painter();
    const QSizeF extra = extraSpaceNeeded();
    const QRectF area = object.renderingPath().bounds().adjusted(-extra.width(), -extra.height(), extra.width(),
                                                                 extra.height());
    const double devicePixels = platform::DeviceLayer::devicePixelsPerUnit(*painter);
    const double resolution = layerResolution(devicePixels);
    // Effects spread no further than kMaximumEffectRadius layer pixels.
    const double margin = std::min(effectReach(), platform::kMaximumEffectRadius / (devicePixels * resolution));
    platform::DeviceLayer layer(*painter, area, margin, resolution);
    layer.paint([&] { VXRastGroup::render(object); });
    if (layer.isEmpty())
        return;
    painter->save();
    platform::clipPainterToPath(*painter, object.renderingPath().painterPathWithWindingRule(), m_clipping);
    drawLayer(layer);
    painter->restore();
}

QSizeF VXCIFilterRastGroup::extraSpaceNeeded() const
{
    const double reach = effectReach();
    return VXRastGroup::extraSpaceNeeded() + QSizeF(reach, reach);
}

void VXCIFilterRastGroup::drawLayer(platform::DeviceLayer& layer) const
{
    layer.drawBack(layer.image());
}
