#pragma once

// A path object: a Bezier path kept in its container's coordinates (lines, polylines,
// freehand strokes, outlines made by boolean operations). Its location is the centre of the
// path's bounds, its size their size; moving, scaling and turning transform the path.
// Subclasses that build the path from parameters (polygons, arcs) override path().

#include "platform/vantrix/drawables/VXDrawableObject.h"

class VXDrawablePath;
using VXDrawablePathPtr = std::shared_ptr<VXDrawablePath>;

class VXDrawablePath : public VXDrawableObject {
    Q_OBJECT
    Q_PROPERTY(platform::BezierPath path READ path WRITE setPath)
    Q_PROPERTY(double length READ length WRITE setLength STORED false)
    Q_PROPERTY(bool isSimpleStraightLine READ isSimpleStraightLine STORED false)
    Q_PROPERTY(double lengthInDrawingUnits READ lengthInDrawingUnits STORED false)
    Q_PROPERTY(double trackWidth READ trackWidth STORED false)
    Q_CLASSINFO("displayName", "Path")

public:
    VXDrawablePath();
    ~VXDrawablePath() override;

    static VXDrawablePathPtr drawablePathWithBezierPath(const platform::BezierPath& path);
    static VXDrawablePathPtr drawablePathWithBezierPathWithStyle(const platform::BezierPath& path, const VXStylePtr& style);

    // A reference, so the path's measure (lengths, hit tests) is built once and kept with it.
    virtual const platform::BezierPath& path() const { return m_path; }
    virtual void setPath(const platform::BezierPath& path);

    double length() const { return path().length(); }
    // Straight lines only: moves the end point along the line so it has that length.
    void setLength(double length);
    // One move and one line.
    bool isSimpleStraightLine() const;
    // The length, and the style's widest stroke, converted by the drawing (searches read them).
    double lengthInDrawingUnits() const;
    double trackWidth() const;
    platform::BezierPath strokedPathWithStrokeWidth(double width) const { return path().strokedPathWithStrokeWidth(width); }

    QPointF location() const override;
    QSizeF size() const override;
    // A path has no angle of its own (rotateByAngle turns its points); setting one does nothing.
    void setAngle(double) override {}
    platform::BezierPath renderingPath() const override;
    // The rendering path's bounds; a subclass that renders another path than path() gives
    // that path's bounds too.
    QRectF logicalBounds() const override;
    void applyTransform(const QTransform& transform) override;
    bool everyTranslatedPoint(const std::function<bool(QPointF)>& test) const override;
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;

    // The preferences (VXDrawingPreferences) paths follow.
    static bool defaultOnPathHitDetectionPriority();
    static bool autoClosesPath();
    static double defaultFreehandEpsilon();
    static bool combinesEndPointsOfClosedPath();

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void invalidateGeometryCaches() override;

private:
    platform::BezierPath m_path;
    // The bounds of path(), kept with the object: a paint of a large selection reads them for
    // every object twice, and the path's own data lies elsewhere in memory.
    mutable std::optional<QRectF> m_pathBounds;
};
