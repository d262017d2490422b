#pragma once

// A group drawn as one picture: its components are drawn into an offscreen layer of device
// pixels, the layer is processed, and the result is drawn where the components would have
// been, kept inside or outside the path by `clipping`. This class leaves the layer as it
// is, which already keeps overlapping components from showing through each other;
// subclasses blur it, make it glow or blend it with what lies below.

#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/styles/VXRastGroup.h"

namespace platform {
class DeviceLayer;
}

class VXCIFilterRastGroup : public VXRastGroup {
    Q_OBJECT
    Q_PROPERTY(int clipping READ clipping WRITE setClipping)
    Q_CLASSINFO("actionName:clipping", "#kind# Clipping")

public:
    VXCIFilterRastGroup();

    QString displayName() const override;

    int clipping() const { return m_clipping; }
    void setClipping(int clipping); // VXClipping values

    void render(const VXRenderable& object) const override;
    // The members' reach plus the effect's.
    QSizeF extraSpaceNeeded() const override;

protected:
    // How far beyond the members' drawing the effect spreads, in drawing units.
    virtual double effectReach() const { return 0; }
    // Layer pixels per device pixel (at most 1) when the device shows `devicePixelsPerUnit`.
    virtual double layerResolution(double devicePixelsPerUnit) const { return 1; }
    // Draws the layer, which holds the members' drawing, back onto the target.
    virtual void drawLayer(platform::DeviceLayer& layer) const;

private:
    int m_clipping = kVXNoClipping;
};

using VXCIFilterRastGroupPtr = std::shared_ptr<VXCIFilterRastGroup>;
