#pragma once

// A rectangle whose chosen corners are rounded by a radius in points, whatever the size.

#include "platform/vantrix/drawables/VXDrawableShape.h"

class VXRoundRectShape : public VXDrawableShape {
    Q_OBJECT
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(int cornerFlags READ cornerFlags WRITE setCornerFlags)
    Q_CLASSINFO("displayName", "Round-Cornered Rectangle")

public:
    VXRoundRectShape();

    static std::shared_ptr<VXRoundRectShape> roundRectInRectCornerRadiusStyle(const QRectF& rect, double radius,
                                                                             const VXStylePtr& style);

    double cornerRadius() const { return m_cornerRadius; }
    // Negative radii count as 0; the radius never exceeds half the shorter side when drawn.
    void setCornerRadius(double radius);
    // platform::RoundedCorner bits; only the low four count.
    int cornerFlags() const { return m_cornerFlags; }
    void setCornerFlags(int flags);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    platform::BezierPath unitPath() const override;

private:
    double m_cornerRadius = 10;
    int m_cornerFlags = platform::kRoundedCornerAll;
};
