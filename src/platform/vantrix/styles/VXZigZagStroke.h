#pragma once

// A stroke along a zig-zag of the object's path (see platform::ZigZagShape for the keys).

#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/ZigZagShape.h"

class VXZigZagStroke : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(double amplitude READ amplitude WRITE setAmplitude)
    Q_PROPERTY(double wavelength READ wavelength WRITE setWavelength)
    Q_PROPERTY(double spread READ spread WRITE setSpread)
    Q_PROPERTY(bool closed READ closed WRITE setClosed)
    Q_CLASSINFO("actionName:amplitude", "Zig-Zag Amplitude")
    Q_CLASSINFO("actionName:wavelength", "Zig-Zag Wavelength")
    Q_CLASSINFO("actionName:spread", "Zig-Zag Spread")
    Q_CLASSINFO("actionName:closed", "Close Zig-Zag")

public:
    VXZigZagStroke();

    QString displayName() const override;

    double amplitude() const { return m_shape.amplitude; }
    void setAmplitude(double amplitude);
    double wavelength() const { return m_shape.wavelength; }
    void setWavelength(double wavelength);
    double spread() const { return m_shape.spread; }
    void setSpread(double spread);
    bool closed() const { return m_shape.closed; }
    void setClosed(bool closed);

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

private:
    platform::ZigZagShape m_shape;
};

using VXZigZagStrokePtr = std::shared_ptr<VXZigZagStroke>;
