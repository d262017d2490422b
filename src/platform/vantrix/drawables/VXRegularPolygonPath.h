#pragma once

// A regular polygon or star about its location. The first tip points up (before the angle
// turns it). A tip spread (0..1) flattens each tip into an edge spanning that fraction of
// the gap to the next tip; a valley spread does the same to a star's inner corners.

#include "platform/vantrix/drawables/ParametricPath.h"

class VXRegularPolygonPath : public platform::ParametricPath {
    Q_OBJECT
    Q_PROPERTY(int numberOfSides READ numberOfSides WRITE setNumberOfSides)
    Q_PROPERTY(double innerRadius READ innerRadius WRITE setInnerRadius)
    Q_PROPERTY(double tipSpread READ tipSpread WRITE setTipSpread)
    Q_PROPERTY(double valleySpread READ valleySpread WRITE setValleySpread)
    Q_PROPERTY(bool isStar READ isStar WRITE setIsStar)
    Q_CLASSINFO("displayName", "Regular Polygon")

public:
    static constexpr int kMinimumSides = 3;
    static constexpr int kMaximumSides = 100;

    VXRegularPolygonPath();

    int numberOfSides() const { return m_numberOfSides; }
    void setNumberOfSides(int sides); // clamped to 3..100
    // A star's inner corners, as a fraction (0..1) of the radius.
    double innerRadius() const { return m_innerRadius; }
    void setInnerRadius(double fraction);
    double tipSpread() const { return m_tipSpread; }
    void setTipSpread(double spread);
    double valleySpread() const { return m_valleySpread; }
    void setValleySpread(double spread);
    bool isStar() const { return m_isStar; }
    void setIsStar(bool star);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    platform::BezierPath makePath() const override;

private:
    int m_numberOfSides = 6;
    double m_innerRadius = 0.5;
    double m_tipSpread = 0;
    double m_valleySpread = 0;
    bool m_isStar = false;
};
