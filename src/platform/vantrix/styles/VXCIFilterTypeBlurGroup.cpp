#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"

#include "platform/vantrix/render/DeviceLayer.h"
#include "platform/vantrix/render/ImageEffects.h"

#include <QtMath>

VXCIFilterTypeBlurGroup::VXCIFilterTypeBlurGroup() = default;

QString VXCIFilterTypeBlurGroup::displayName() const
{
    return tr("Blur Group");
}

void VXCIFilterTypeBlurGroup::setBlurAmount(double amount)
{
    setValueForKeyWithUndo(m_blurAmount, std::max(amount, 0.0), "blurAmount");
}

void VXCIFilterTypeBlurGroup::setBlurAngle(double degrees)
{
    setValueForKeyWithUndo(m_blurAngle, degrees, "blurAngle");
}

void VXCIFilterTypeBlurGroup::setBlurType(int type)
{
    if (type >= kGaussianBlur && type <= kMotionBlur)
        setValueForKeyWithUndo(m_blurType, type, "blurType");
}

double VXCIFilterTypeBlurGroup::layerResolution(double devicePixelsPerUnit) const
{
    const double pixels = m_blurAmount * devicePixelsPerUnit;
    return pixels > kMaximumLayerBlurPixels ? kMaximumLayerBlurPixels / pixels : 1;
}

void VXCIFilterTypeBlurGroup::drawLayer(platform::DeviceLayer& layer) const
{
    QImage& image = layer.image();
    const double pixels = m_blurAmount * layer.pixelsPerUnit();
    switch (m_blurType) {
    case kBoxBlur: platform::boxBlur(image, pixels); break;
    case kDiscBlur: platform::discBlur(image, pixels); break;
    case kMotionBlur: {
        // The direction as the device sees it, the drawing may be turned or mirrored.
        const double angle = qDegreesToRadians(m_blurAngle);
        const QTransform& toLayer = layer.userToLayer();
        const QPointF direction = toLayer.map(QPointF(std::cos(angle), std::sin(angle))) - toLayer.map(QPointF());
        platform::motionBlur(image, pixels, std::atan2(direction.y(), direction.x()));
        break;
    }
    default: platform::gaussianBlur(image, pixels);
    }
    layer.drawBack(image);
}
