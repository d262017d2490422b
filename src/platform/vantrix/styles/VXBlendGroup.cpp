#include "platform/vantrix/styles/VXBlendGroup.h"

#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/ImageEffects.h"

VXBlendGroup::VXBlendGroup() = default;

QString VXBlendGroup::displayName() const
{
    return tr("Blend Group");
}

void VXBlendGroup::setBlendMode(int mode)
{
    if (platform::isBlendOperation(mode))
        setValueForKeyWithUndo(m_blendMode, mode, "blendMode");
}

void VXBlendGroup::drawLayer(platform::DeviceLayer& layer) const
{
    layer.drawBack(layer.image(), QPainter::CompositionMode(m_blendMode));
}
