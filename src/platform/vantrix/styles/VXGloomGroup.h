#pragma once

// Softens the drawing of its components with a blurred copy of it, reaching `radius`
// drawing units and weighted by `intensity`: a gloom darkens and dulls (the copy multiplied
// over the drawing), a bloom brightens and glows (the copy added to it). Either way the
// copy spreads beyond the drawing's edges.

#include "platform/vantrix/styles/VXCIFilterRastGroup.h"

class VXGloomGroup : public VXCIFilterRastGroup {
    Q_OBJECT
    Q_PROPERTY(double radius READ radius WRITE setRadius)
    Q_PROPERTY(double intensity READ intensity WRITE setIntensity)
    Q_PROPERTY(int type READ type WRITE setType)
    Q_CLASSINFO("actionName:radius", "#kind# Radius")
    Q_CLASSINFO("actionName:intensity", "#kind# Intensity")
    Q_CLASSINFO("actionName:type", "#kind# Type")

public:
    enum Type { kGloom = 0, kBloom = 1 };
    static constexpr double kMaximumIntensity = 10;

    // A gloom of radius 10 at intensity 1.
    VXGloomGroup();

    // "Gloom Group" or "Bloom Group", by type.
    QString displayName() const override;

    double radius() const { return m_radius; }
    void setRadius(double radius); // negative radii count as 0
    double intensity() const { return m_intensity; }
    void setIntensity(double intensity); // 0 ... kMaximumIntensity
    int type() const { return m_type; }
    void setType(int type);

protected:
    double effectReach() const override { return m_radius; }
    void drawLayer(platform::DeviceLayer& layer) const override;

private:
    double m_radius = 10;
    double m_intensity = 1;
    int m_type = kGloom;
};

using VXGloomGroupPtr = std::shared_ptr<VXGloomGroup>;
