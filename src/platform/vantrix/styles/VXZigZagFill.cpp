#include "platform/vantrix/styles/VXZigZagFill.h"

#include "platform/vantrix/drawables/RenderableWithPath.h"

VXZigZagFill::VXZigZagFill()
{
    m_shape.closed = true;
}

QString VXZigZagFill::displayName() const
{
    return tr("Zig-Zag Fill");
}

void VXZigZagFill::setAmplitude(double amplitude)
{
    setValueForKeyWithUndo(m_shape.amplitude, platform::ZigZagShape::validAmplitude(amplitude), "amplitude");
}

void VXZigZagFill::setWavelength(double wavelength)
{
    setValueForKeyWithUndo(m_shape.wavelength, platform::ZigZagShape::validWavelength(wavelength), "wavelength");
}

void VXZigZagFill::setSpread(double spread)
{
    setValueForKeyWithUndo(m_shape.spread, platform::ZigZagShape::validSpread(spread), "spread");
}

void VXZigZagFill::setClosed(bool closed)
{
    setValueForKeyWithUndo(m_shape.closed, closed, "closed");
}

void VXZigZagFill::render(const VXRenderable& object) const
{
    VXFill::render(platform::RenderableWithPath(object, m_shape.pathAlong(object.renderingPath())));
}

QSizeF VXZigZagFill::extraSpaceNeeded() const
{
    return VXFill::extraSpaceNeeded() + QSizeF(m_shape.amplitude, m_shape.amplitude);
}
