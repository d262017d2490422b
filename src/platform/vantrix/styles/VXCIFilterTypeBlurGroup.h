#pragma once

// Blurs the drawing of its components: Gaussian, box or disc blurs reach `blurAmount`
// drawing units; a motion blur smears `blurAmount` units along `blurAngle` (degrees,
// clockwise on screen from the x axis).

#include "platform/vantrix/styles/VXCIFilterRastGroup.h"

class VXCIFilterTypeBlurGroup : public VXCIFilterRastGroup {
    Q_OBJECT
    Q_PROPERTY(double blurAmount READ blurAmount WRITE setBlurAmount)
    Q_PROPERTY(double blurAngle READ blurAngle WRITE setBlurAngle)
    Q_PROPERTY(int blurType READ blurType WRITE setBlurType)
    Q_CLASSINFO("actionName:blurAmount", "Blur Amount")
    Q_CLASSINFO("actionName:blurAngle", "Blur Angle")
    Q_CLASSINFO("actionName:blurType", "Blur Type")

public:
    enum BlurType { kGaussianBlur = 0, kBoxBlur = 1, kDiscBlur = 2, kMotionBlur = 3 };
    // Blurs reach at most this many layer pixels; wider ones use a coarser layer.
    static constexpr double kMaximumLayerBlurPixels = 32;

    // A Gaussian blur reaching 4 units.
    VXCIFilterTypeBlurGroup();

    QString displayName() const override;

    double blurAmount() const { return m_blurAmount; }
    void setBlurAmount(double amount); // negative amounts count as 0
    double blurAngle() const { return m_blurAngle; }
    void setBlurAngle(double degrees);
    int blurType() const { return m_blurType; }
    void setBlurType(int type);

protected:
    double effectReach() const override { return m_blurAmount; }
    // Wide blurs work on a coarser layer: the result is as smooth and the cost stays bounded.
    double layerResolution(double devicePixelsPerUnit) const override;
    void drawLayer(platform::DeviceLayer& layer) const override;

private:
    double m_blurAmount = 4;
    double m_blurAngle = 0;
    int m_blurType = kGaussianBlur;
};

using VXCIFilterTypeBlurGroupPtr = std::shared_ptr<VXCIFilterTypeBlurGroup>;
