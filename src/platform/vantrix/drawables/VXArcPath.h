#pragma once

// An arc of a circle about its location, from a start to an end angle (degrees, clockwise
// on the page from the +x axis, the object's angle added); drawn open, as a wedge or as a
// segment closed by its chord.

#include "platform/vantrix/drawables/ParametricPath.h"

class VXArcPath : public platform::ParametricPath {
    Q_OBJECT
    Q_PROPERTY(double startAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(double endAngle READ endAngle WRITE setEndAngle)
    Q_PROPERTY(double subtendedAngle READ subtendedAngle WRITE setSubtendedAngle STORED false)
    Q_PROPERTY(int arcType READ arcType WRITE setArcType)
    Q_CLASSINFO("displayName", "Arc")

public:
    enum ArcType { kVXArcPathOpenArc = 0, kVXArcPathWedge = 1, kVXArcPathCircleSegment = 2 };

    VXArcPath();

    double startAngle() const { return m_startAngle; }
    void setStartAngle(double degrees);
    double endAngle() const { return m_endAngle; }
    void setEndAngle(double degrees);
    // End minus start, 0..360; setting it moves the end angle.
    double subtendedAngle() const;
    void setSubtendedAngle(double degrees);
    int arcType() const { return m_arcType; }
    void setArcType(int type);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    platform::BezierPath makePath() const override;

private:
    double m_startAngle = 0;
    double m_endAngle = 90;
    int m_arcType = kVXArcPathOpenArc;
};
