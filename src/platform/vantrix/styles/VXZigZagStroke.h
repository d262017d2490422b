#pragma once

// A stroke along a zig-zag of the object's path (see platform::ZigZagShape for the keys).

#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/ZigZagComponent.h"

class VXZigZagStroke : public platform::ZigZagComponent<VXStroke> {
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
};

using VXZigZagStrokePtr = std::shared_ptr<VXZigZagStroke>;
