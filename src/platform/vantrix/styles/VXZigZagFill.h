#pragma once

// A fill of the area a zig-zag of the object's outline encloses (see platform::ZigZagShape
// for the keys). Closed by default, so the edge joins up all round.

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/ZigZagComponent.h"

class VXZigZagFill : public platform::ZigZagComponent<VXFill> {
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
    VXZigZagFill();

    QString displayName() const override;
};

using VXZigZagFillPtr = std::shared_ptr<VXZigZagFill>;
