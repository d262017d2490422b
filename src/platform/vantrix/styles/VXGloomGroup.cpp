#include "platform/vantrix/styles/VXGloomGroup.h"

#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/ImageEffects.h"

VXGloomGroup::VXGloomGroup() = default;

QString VXGloomGroup::displayName() const
{
    return m_type == kBloom ? tr("Bloom Group") : tr("Gloom Group");
}

void VXGloomGroup::setRadius(double radius)
{
    setValueForKeyWithUndo(m_radius, std::max(radius, 0.0), "radius");
}

void VXGloomGroup::setIntensity(double intensity)
{
    setValueForKeyWithUndo(m_intensity, std::clamp(intensity, 0.0, kMaximumIntensity), "intensity");
}

void VXGloomGroup::setType(int type)
{
    if (type == kGloom || type == kBloom)
        setValueForKeyWithUndo(m_type, type, "type");
}

void VXGloomGroup::drawLayer(platform::DeviceLayer& layer) const
{
    QImage blurred = layer.image();
    platform::gaussianBlur(blurred, m_radius * layer.pixelsPerUnit());
    platform::scaleIntensity(blurred, m_intensity);
    {
        QPainter composer(&layer.image());
        composer.setCompositionMode(m_type == kBloom ? QPainter::CompositionMode_Plus
                                                     : QPainter::CompositionMode_Multiply);
        composer.drawImage(0, 0, blurred);
    }
    layer.drawBack(layer.image());
}
