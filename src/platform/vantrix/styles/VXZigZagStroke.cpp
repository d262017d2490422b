#include "platform/vantrix/styles/VXZigZagStroke.h"

#include "platform/vantrix/drawables/RenderableWithPath.h"

VXZigZagStroke::VXZigZagStroke() = default;

QString VXZigZagStroke::displayName() const
{
    return tr("Zig-Zag Stroke");
}

void VXZigZagStroke::setAmplitude(double amplitude)
{
    setValueForKeyWithUndo(m_shape.amplitude, platform::ZigZagShape::validAmplitude(amplitude), "amplitude");
}

void VXZigZagStroke::setWavelength(double wavelength)
{
    setValueForKeyWithUndo(m_shape.wavelength, platform::ZigZagShape::validWavelength(wavelength), "wavelength");
}

void VXZigZagStroke::setSpread(double spread)
{
    setValueForKeyWithUndo(m_shape.spread, platform::ZigZagShape::validSpread(spread), "spread");
}

void VXZigZagStroke::setClosed(bool closed)
{
    setValueForKeyWithUndo(m_shape.closed, closed, "closed");
}

void VXZigZagStroke::render(const VXRenderable& object) const
{
    VXStroke::render(platform::RenderableWithPath(object, m_shape.pathAlong(object.renderingPath())));
}

QSizeF VXZigZagStroke::extraSpaceNeeded() const
{
    return VXStroke::extraSpaceNeeded() + QSizeF(m_shape.amplitude, m_shape.amplitude);
}
