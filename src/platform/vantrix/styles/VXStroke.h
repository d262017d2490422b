#pragma once

// Strokes the object's path: width, colour, caps, joins, an optional dash and shadow, a
// lateral offset (the line runs parallel to the path, positive to the right of the direction
// of travel on screen) and clipping to the inside or outside of the path (a VXClipping).

#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/styles/VXShadow.h"
#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QColor>

namespace platform {
class BezierPath;
}

class VXStroke : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(double width READ width WRITE setWidth)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(int lineCapStyle READ lineCapStyle WRITE setLineCapStyle)
    Q_PROPERTY(int lineJoinStyle READ lineJoinStyle WRITE setLineJoinStyle)
    Q_PROPERTY(double miterLimit READ miterLimit WRITE setMiterLimit)
    Q_PROPERTY(VXStrokeDashPtr dash READ dash WRITE setDash)
    Q_PROPERTY(double lateralOffset READ lateralOffset WRITE setLateralOffset)
    Q_PROPERTY(VXShadowPtr shadow READ shadow WRITE setShadow)
    Q_PROPERTY(int clipping READ clipping WRITE setClipping)
    Q_CLASSINFO("actionName:width", "Stroke Width")
    Q_CLASSINFO("actionName:colour", "Stroke Colour")
    Q_CLASSINFO("actionName:lineCapStyle", "Line Cap Style")
    Q_CLASSINFO("actionName:lineJoinStyle", "Line Join Style")
    Q_CLASSINFO("actionName:miterLimit", "Miter Limit")
    Q_CLASSINFO("actionName:dash", "Stroke Dash")
    Q_CLASSINFO("actionName:lateralOffset", "Stroke Lateral Offset")
    Q_CLASSINFO("actionName:shadow", "Stroke Shadow")
    Q_CLASSINFO("actionName:clipping", "Stroke Clipping")

public:
    // Values of lineCapStyle and lineJoinStyle follow platform::LineCapStyle / LineJoinStyle.

    // Black, 1 wide, butt caps, miter joins limited to 10 widths.
    VXStroke();
    static std::shared_ptr<VXStroke> strokeWithWidthColour(double width, const QColor& colour);

    QString displayName() const override;

    double width() const { return m_width; }
    // Negative widths count as 0.
    void setWidth(double width);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    int lineCapStyle() const { return m_lineCapStyle; }
    void setLineCapStyle(int style); // out-of-range values are ignored
    int lineJoinStyle() const { return m_lineJoinStyle; }
    void setLineJoinStyle(int style);
    // Miter length over line width past which a miter join is drawn bevelled; values below 1
    // are ignored.
    double miterLimit() const { return m_miterLimit; }
    void setMiterLimit(double limit);
    VXStrokeDashPtr dash() const { return m_dash; }
    void setDash(const VXStrokeDashPtr& dash);
    double lateralOffset() const { return m_lateralOffset; }
    void setLateralOffset(double offset);
    VXShadowPtr shadow() const { return m_shadow; }
    void setShadow(const VXShadowPtr& shadow);
    int clipping() const { return m_clipping; }
    void setClipping(int clipping);

    // `path` with this stroke's width, caps, joins and dash, moved by the lateral offset.
    platform::BezierPath styledPath(const platform::BezierPath& path) const;
    void renderPath(const platform::BezierPath& path) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;

private:
    double m_width = 1.0;
    QColor m_colour = Qt::black;
    int m_lineCapStyle = 0;
    int m_lineJoinStyle = 0;
    double m_miterLimit = 10.0;
    VXStrokeDashPtr m_dash;
    double m_lateralOffset = 0;
    VXShadowPtr m_shadow;
    int m_clipping = kVXNoClipping; // a VXClipping
};

using VXStrokePtr = std::shared_ptr<VXStroke>;
