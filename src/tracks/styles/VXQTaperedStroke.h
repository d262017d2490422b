#pragma once

// A stroke that narrows to a point towards either end of the path, like a brush line or a
// stream near its source. Each end tapers over a proportion of the path length; where the
// two tapers overlap the narrower wins. A tapering stroke draws solid; without an enabled
// taper it draws as a plain stroke, dash included.
//
// The taper shapes are shared with the tagged stroke (tag lengths) and the cutting and
// embankment rasterizer (motif sizes).

#include "platform/vantrix/styles/VXStroke.h"

#include <QPainterPath>

class VXQTaperedStroke : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(int taperKind READ taperKind WRITE setTaperKind)
    Q_PROPERTY(double leftTaperProportion READ leftTaperProportion WRITE setLeftTaperProportion)
    Q_PROPERTY(double rightTaperProportion READ rightTaperProportion WRITE setRightTaperProportion)
    Q_PROPERTY(bool leftTaperEnabled READ leftTaperEnabled WRITE setLeftTaperEnabled)
    Q_PROPERTY(bool rightTaperEnabled READ rightTaperEnabled WRITE setRightTaperEnabled)
    Q_CLASSINFO("actionName:taperKind", "#kind# Taper Shape")
    Q_CLASSINFO("actionName:leftTaperProportion", "#kind# Left Taper Length")
    Q_CLASSINFO("actionName:rightTaperProportion", "#kind# Right Taper Length")
    Q_CLASSINFO("actionName:leftTaperEnabled", "#kind# Left Taper Enable")
    Q_CLASSINFO("actionName:rightTaperEnabled", "#kind# Right Taper Enable")

public:
    // How the width grows from the tip to the full width.
    enum TaperKind {
        kNoTaper = 1,      // full width throughout
        kLinearTaper = 2,  // straight sides
        kRoundedTaper = 3, // a blunt, rounded tip
        kPointedTaper = 4, // a long, fine point
    };
    static bool isTaperKind(int kind);
    // The width factor at `t` (0 at the tip, 1 at full width) for a taper of `kind`;
    // unknown kinds taper linearly.
    static double taperFactor(int kind, double t);

    // Linear tapers over half the length at both ends.
    VXQTaperedStroke();

    QString displayName() const override;

    int taperKind() const { return m_taperKind; }
    void setTaperKind(int kind); // a TaperKind; others are ignored
    // Fractions of the path length, 0 ... 1.
    double leftTaperProportion() const { return m_leftTaperProportion; }
    void setLeftTaperProportion(double proportion);
    double rightTaperProportion() const { return m_rightTaperProportion; }
    void setRightTaperProportion(double proportion);
    // Left is the start of the path, right its end.
    bool leftTaperEnabled() const { return m_leftTaperEnabled; }
    void setLeftTaperEnabled(bool enabled);
    bool rightTaperEnabled() const { return m_rightTaperEnabled; }
    void setRightTaperEnabled(bool enabled);

    // The stroke's width factor `position` along a path of `length`.
    double widthFactorAtPositionOfLength(double position, double length) const;
    // The filled outline of the tapered stroke along `path` (lateral offset applied).
    QPainterPath taperedOutlineForPath(const platform::BezierPath& path) const;

    void render(const VXRenderable& object) const override;

private:
    bool tapers() const;

    int m_taperKind = kLinearTaper;
    double m_leftTaperProportion = 0.5;
    double m_rightTaperProportion = 0.5;
    bool m_leftTaperEnabled = true;
    bool m_rightTaperEnabled = true;
};

using VXQTaperedStrokePtr = std::shared_ptr<VXQTaperedStroke>;
