#include "platform/vantrix/VXBlendGroup.h"

#include "platform/vantrix/DeviceLayer.h"
#include "platform/vantrix/ImageEffects.h"

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
