#pragma once

// Fills the object's path with parallel lines: `spacing` apart, at `angleInDegrees`
// (clockwise on screen from the x axis; turned with the object when
// angleIsRelativeToObject), the first line `leadInProportion` of the spacing from the
// anchor (the object's location when relative, else the drawing origin, so neighbouring
// areas line up). Roughness moves lines off their regular places and wobblyness bends them,
// both as fractions of the spacing, the same way on every redraw of an object.

#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QColor>

namespace platform {
class BezierPath;
}

class VXHatching : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(double width READ width WRITE setWidth)
    Q_PROPERTY(double spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(double leadInProportion READ leadInProportion WRITE setLeadInProportion)
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees)
    Q_PROPERTY(double roughness READ roughness WRITE setRoughness)
    Q_PROPERTY(double wobblyness READ wobblyness WRITE setWobblyness)
    Q_PROPERTY(int lineCapStyle READ lineCapStyle WRITE setLineCapStyle)
    Q_PROPERTY(int lineJoinStyle READ lineJoinStyle WRITE setLineJoinStyle)
    Q_PROPERTY(VXStrokeDashPtr dash READ dash WRITE setDash)
    Q_PROPERTY(bool angleIsRelativeToObject READ angleIsRelativeToObject WRITE setAngleIsRelativeToObject)
    Q_CLASSINFO("actionName:colour", "Hatch Colour")
    Q_CLASSINFO("actionName:width", "Hatch Line Width")
    Q_CLASSINFO("actionName:spacing", "Hatch Spacing")
    Q_CLASSINFO("actionName:leadInProportion", "Hatch Lead-in")
    Q_CLASSINFO("actionName:angleInDegrees", "Hatch Angle")
    Q_CLASSINFO("actionName:roughness", "Hatch Roughness")
    Q_CLASSINFO("actionName:wobblyness", "Hatch Wobble")
    Q_CLASSINFO("actionName:lineCapStyle", "Hatch Line Cap")
    Q_CLASSINFO("actionName:lineJoinStyle", "Hatch Line Join")
    Q_CLASSINFO("actionName:dash", "Hatch Dash")
    Q_CLASSINFO("actionName:angleIsRelativeToObject", "Relative Hatch Angle")

public:
    // More lines than this in one object are drawn further apart.
    static constexpr int kMaximumLineCount = 100000;
    static constexpr double kMinimumSpacing = 0.1;

    // Black lines 0.5 wide, 8 apart, at 45 degrees.
    VXHatching();

    QString displayName() const override;

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    double width() const { return m_width; }
    void setWidth(double width); // negative widths count as 0
    double spacing() const { return m_spacing; }
    void setSpacing(double spacing); // at least kMinimumSpacing
    double leadInProportion() const { return m_leadInProportion; }
    void setLeadInProportion(double proportion); // 0 ... 1
    double angleInDegrees() const { return m_angleInDegrees; }
    void setAngleInDegrees(double angle);
    double roughness() const { return m_roughness; }
    void setRoughness(double roughness); // 0 ... 1
    double wobblyness() const { return m_wobblyness; }
    void setWobblyness(double wobblyness); // 0 ... 1
    // platform::LineCapStyle / LineJoinStyle values; others are ignored.
    int lineCapStyle() const { return m_lineCapStyle; }
    void setLineCapStyle(int style);
    int lineJoinStyle() const { return m_lineJoinStyle; }
    void setLineJoinStyle(int style);
    VXStrokeDashPtr dash() const { return m_dash; }
    void setDash(const VXStrokeDashPtr& dash);
    bool angleIsRelativeToObject() const { return m_angleIsRelativeToObject; }
    void setAngleIsRelativeToObject(bool relative);

    // The lines (not yet clipped) covering the object, with this hatching's stroke state.
    platform::BezierPath hatchPathForObject(const VXRenderable& object) const;

    void render(const VXRenderable& object) const override;
    bool isValid() const override;

private:
    QColor m_colour = Qt::black;
    double m_width = 0.5;
    double m_spacing = 8;
    double m_leadInProportion = 0;
    double m_angleInDegrees = 45;
    double m_roughness = 0;
    double m_wobblyness = 0;
    int m_lineCapStyle = 0;
    int m_lineJoinStyle = 0;
    VXStrokeDashPtr m_dash;
    bool m_angleIsRelativeToObject = false;
};

using VXHatchingPtr = std::shared_ptr<VXHatching>;
