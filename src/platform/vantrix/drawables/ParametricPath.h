#pragma once

// A path built from parameters about a centre (regular polygons, arcs): the location is
// the centre, the angle turns the figure, the radius sizes it. Transforms move the centre,
// turn the angle and scale the radius; the path itself cannot be set.

#include "platform/vantrix/drawables/VXDrawablePath.h"

namespace platform {

class ParametricPath : public VXDrawablePath {
    Q_OBJECT
    Q_PROPERTY(QPointF location READ location WRITE setLocation)
    Q_PROPERTY(double angle READ angle WRITE setAngle)
    Q_PROPERTY(double radius READ radius WRITE setRadius)

public:
    const platform::BezierPath& path() const override;
    // A figure's path follows its parameters; setting it does nothing.
    void setPath(const platform::BezierPath&) override {}

    QPointF location() const override { return m_location; }
    void setLocation(QPointF location) override;
    double angle() const override { return m_angle; }
    void setAngle(double radians) override;
    double radius() const { return m_radius; }
    // Negative radii count as 0.
    void setRadius(double radius);

    void resizeWidthByHeightBy(double xFactor, double yFactor) override;
    void rotateByAngle(double radians) override { setAngle(m_angle + radians); }
    void applyTransform(const QTransform& transform) override;
    // The path and what derives from it follow every parameter (this class's and subclasses').
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;

    void encodeWithCoder(KeyedArchiver& coder) const override;
    void initWithCoder(KeyedUnarchiver& coder) override;

protected:
    ParametricPath();
    // The figure for the current parameters, in the container's coordinates.
    virtual platform::BezierPath makePath() const = 0;
    void invalidateGeometryCaches() override;

private:
    QPointF m_location;
    double m_angle = 0;
    double m_radius = 50;
    mutable std::optional<platform::BezierPath> m_path;
};

} // namespace platform
