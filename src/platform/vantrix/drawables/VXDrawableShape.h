#pragma once

// A shape: a path in a unit box (centred on the origin, from -0.5 to 0.5) placed by a
// location, a size, an angle and an offset. The offset is the point of the unit box that
// sits at the location (the centre by default), so a shape can turn about any point.
// Negative sizes flip the shape.
//
// New shapes are made through the class registry, so an application can substitute its
// own subclass (platform::ClassRegistry::setSubstituteClass("VXDrawableShape", ...)).

#include "platform/vantrix/drawables/VXDrawableObject.h"

class VXDrawableShape;
using VXDrawableShapePtr = std::shared_ptr<VXDrawableShape>;

class VXDrawableShape : public VXDrawableObject {
    Q_OBJECT
    Q_PROPERTY(QSizeF offset READ offset WRITE setOffset)
    Q_PROPERTY(platform::BezierPath path READ path WRITE setPath)
    Q_CLASSINFO("displayName", "Shape")

public:
    VXDrawableShape();
    ~VXDrawableShape() override;

    // A shape (or its substitute) of the style with a unit rectangle path, 100 x 100 at the origin.
    static VXDrawableShapePtr drawableShapeWithStyle(const VXStylePtr& style);
    // A shape that draws `path` (drawing coordinates) where it is.
    static VXDrawableShapePtr drawableShapeWithBezierPathWithStyle(const platform::BezierPath& path, const VXStylePtr& style);
    static VXDrawableShapePtr drawableShapeWithRect(const QRectF& rect, const VXStylePtr& style);
    static VXDrawableShapePtr drawableShapeWithOvalInRect(const QRectF& rect, const VXStylePtr& style);

    // The path in the unit box.
    const platform::BezierPath& path() const { return m_path; }
    void setPath(const platform::BezierPath& path);
    // Makes the shape draw `path` (drawing coordinates) unrotated, sized and placed to fit it.
    void adoptPathFromDrawing(const platform::BezierPath& path);

    QPointF location() const override { return m_location; }
    void setLocation(QPointF location) override;
    QSizeF size() const override { return m_size; }
    void setSize(QSizeF size) override;
    double angle() const override { return m_angle; }
    void setAngle(double radians) override;
    QSizeF offset() const { return m_offset; }
    // Components outside -0.5..0.5 are clamped.
    void setOffset(QSizeF offset);
    // The location of the unit box's centre.
    QPointF locationIgnoringOffset() const;

    // Unit box -> container: offset, size, angle, location.
    QTransform transform() const override;
    platform::BezierPath renderingPath() const override;
    QRectF logicalBounds() const override;
    void resizeWidthByHeightBy(double xFactor, double yFactor) override;
    void rotateByAngle(double radians) override;
    // Keeps the shape a shape: location, size and angle follow the transform (exact for
    // moves, uniform scales, flips and turns).
    void applyTransform(const QTransform& transform) override;
    bool everyTranslatedPoint(const std::function<bool(QPointF)>& test) const override;

    static bool showsDirectControls();

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // The path drawn in the unit box; subclasses that build it from parameters override.
    virtual platform::BezierPath unitPath() const { return m_path; }
    void invalidateGeometryCaches() override;
    // The placed path is the shape's own, whatever it is drawn with.
    bool geometryFollowsStyle() const override { return false; }
    // Makes an object of this class's registered (possibly substituted) kind.
    static VXDrawableShapePtr makeShape();

private:
    platform::BezierPath m_path;
    QPointF m_location;
    QSizeF m_size{100, 100};
    double m_angle = 0;
    QSizeF m_offset{0, 0};
    mutable std::optional<platform::BezierPath> m_renderingPath;
};
