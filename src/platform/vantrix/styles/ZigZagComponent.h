#pragma once

// A style component that draws along a zig-zag of the object's path rather than the path
// itself (zig-zag strokes and fills). The keys amplitude, wavelength, spread and closed are
// those of platform::ZigZagShape, each an undoable change of the component; the swing adds
// its amplitude to the room the component needs round the object. A subclass declares the
// keys as Q_PROPERTYs (the accessors are here).

#include "platform/vantrix/drawables/RenderableWithPath.h"
#include "platform/vantrix/styles/ZigZagShape.h"

namespace platform {

template <class Base>
class ZigZagComponent : public Base {
public:
    double amplitude() const { return m_shape.amplitude; }
    void setAmplitude(double amplitude)
    {
        this->setValueForKeyWithUndo(m_shape.amplitude, ZigZagShape::validAmplitude(amplitude), "amplitude");
    }
    double wavelength() const { return m_shape.wavelength; }
    void setWavelength(double wavelength)
    {
        this->setValueForKeyWithUndo(m_shape.wavelength, ZigZagShape::validWavelength(wavelength), "wavelength");
    }
    double spread() const { return m_shape.spread; }
    void setSpread(double spread)
    {
        this->setValueForKeyWithUndo(m_shape.spread, ZigZagShape::validSpread(spread), "spread");
    }
    bool closed() const { return m_shape.closed; }
    void setClosed(bool closed) { this->setValueForKeyWithUndo(m_shape.closed, closed, "closed"); }

    void render(const VXRenderable& object) const override
    {
        Base::render(RenderableWithPath(object, m_shape.pathAlong(object.renderingPath())));
    }
    QSizeF extraSpaceNeeded() const override
    {
        return Base::extraSpaceNeeded() + QSizeF(m_shape.amplitude, m_shape.amplitude);
    }

protected:
    explicit ZigZagComponent(bool closed) { m_shape.closed = closed; }

private:
    ZigZagShape m_shape;
};

} // namespace platform
