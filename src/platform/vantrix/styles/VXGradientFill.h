#pragma once

// Fills the object's path with a gradient: linear along an angle across the object's box, or
// radial between a starting and an ending circle. Locations are relative to the box, (0, 0)
// its centre and -0.5 / 0.5 its edges; radii are fractions of the box's larger side when
// radialParametersAreRelative, else lengths. With angleIsRelative the gradient turns and
// sizes with the object; otherwise it lies across the path's bounds in drawing coordinates.

#include "platform/vantrix/styles/VXGradient.h"

#include <QPointF>
#include <QRectF>

class QPainterPath;

class VXGradientFill : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(VXGradientPtr gradient READ gradient WRITE setGradient)
    Q_PROPERTY(double gradientAngle READ gradientAngle WRITE setGradientAngle)
    Q_PROPERTY(QPointF startingLocation READ startingLocation WRITE setStartingLocation)
    Q_PROPERTY(QPointF endingLocation READ endingLocation WRITE setEndingLocation)
    Q_PROPERTY(int gradientType READ gradientType WRITE setGradientType)
    Q_PROPERTY(double startingRadius READ startingRadius WRITE setStartingRadius)
    Q_PROPERTY(double endingRadius READ endingRadius WRITE setEndingRadius)
    Q_PROPERTY(bool angleIsRelative READ angleIsRelative WRITE setAngleIsRelative)
    Q_PROPERTY(bool radialParametersAreRelative READ radialParametersAreRelative WRITE setRadialParametersAreRelative)
    Q_CLASSINFO("actionName:gradient", "Gradient Colours")
    Q_CLASSINFO("actionName:gradientAngle", "Gradient Angle")
    Q_CLASSINFO("actionName:startingLocation", "Gradient Start")
    Q_CLASSINFO("actionName:endingLocation", "Gradient End")
    Q_CLASSINFO("actionName:gradientType", "Gradient Type")
    Q_CLASSINFO("actionName:startingRadius", "Gradient Starting Radius")
    Q_CLASSINFO("actionName:endingRadius", "Gradient Ending Radius")
    Q_CLASSINFO("actionName:angleIsRelative", "Relative Gradient Angle")
    Q_CLASSINFO("actionName:radialParametersAreRelative", "Relative Gradient Geometry")

public:
    enum GradientType { kLinearGradient = 0, kRadialGradient = 1 };

    // Black to white, linear at angle 0 (left to right), relative geometry; radial: from the
    // centre to a circle of half the larger side.
    VXGradientFill();
    static std::shared_ptr<VXGradientFill> gradientFillWithGradient(const VXGradientPtr& gradient);

    QString displayName() const override;

    VXGradientPtr gradient() const { return m_gradient; }
    void setGradient(const VXGradientPtr& gradient);
    // Radians, clockwise on screen; 0 runs from left to right.
    double gradientAngle() const { return m_gradientAngle; }
    void setGradientAngle(double angle);
    QPointF startingLocation() const { return m_startingLocation; }
    void setStartingLocation(QPointF location);
    QPointF endingLocation() const { return m_endingLocation; }
    void setEndingLocation(QPointF location);
    int gradientType() const { return m_gradientType; }
    void setGradientType(int type);
    double startingRadius() const { return m_startingRadius; }
    void setStartingRadius(double radius); // negative radii count as 0
    double endingRadius() const { return m_endingRadius; }
    void setEndingRadius(double radius);
    bool angleIsRelative() const { return m_angleIsRelative; }
    void setAngleIsRelative(bool relative);
    bool radialParametersAreRelative() const { return m_radialParametersAreRelative; }
    void setRadialParametersAreRelative(bool relative);

    // The gradient's colours; invalid without a gradient or outside its stops.
    QColor colourAtStopIndex(int index) const;
    int numberOfColours() const;

    // Whether PDF output and printing draw gradients whose stops differ in alpha as images, as
    // the PDF engine cannot draw them (on unless turned off; the gradient pane warns when off).
    static bool pdfTransparencyWorkaround();
    static void setPdfTransparencyWorkaround(bool workaround);

    // Fills `rect` as if it were an object turned by `angle` (radians).
    void drawInRectAngle(const QRectF& rect, double angle) const;

    void render(const VXRenderable& object) const override;
    bool isValid() const override;

private:
    // Fills `path` with the gradient laid on `box` (local coordinates) placed by `boxToDrawing`.
    void fillPathInBox(const QPainterPath& path, const QRectF& box, double angle, const QTransform& boxToDrawing) const;

    VXGradientPtr m_gradient;
    double m_gradientAngle = 0;
    QPointF m_startingLocation;
    QPointF m_endingLocation;
    int m_gradientType = kLinearGradient;
    double m_startingRadius = 0;
    double m_endingRadius = 0.5;
    bool m_angleIsRelative = false;
    bool m_radialParametersAreRelative = true;
};

using VXGradientFillPtr = std::shared_ptr<VXGradientFill>;
