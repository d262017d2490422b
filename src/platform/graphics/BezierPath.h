#pragma once

// A vector path with the stroke state drawing code keeps with it (line width, cap, join,
// miter limit, dash, winding rule) and the measuring operations of map drawing: length,
// point at a length, nearest length to a point, sub-path by length range, outline of a
// stroke, area and centroid.
//
// A value type. Measurements use a flattening built on first use and shared by copies;
// any change to the geometry drops it. Like Qt's value classes it is reentrant: one path
// must not be used from two threads at once.
//
// A subpath is closed when it ends where it started (closePath() adds that line when needed).
// Areas, centroids and containment treat every subpath as closed, as filling does.

#include "platform/graphics/PathGeometry.h"

#include <QList>
#include <QMetaType>
#include <QPainterPath>
#include <QPen>
#include <memory>
#include <vector>

namespace platform {

class PathMeasure;

enum class LineCapStyle { Butt, Round, Square };
enum class LineJoinStyle { Miter, Round, Bevel };
enum class PathElement { MoveTo, LineTo, CurveTo };

// Corners of bezierPathWithRoundedRectCornerRadiusCornerOptions, named for y-down drawing.
enum RoundedCorner {
    kRoundedCornerMinXMinY = 1,
    kRoundedCornerMinXMaxY = 2,
    kRoundedCornerMaxXMinY = 4,
    kRoundedCornerMaxXMaxY = 8,
    kRoundedCornerAll = 15,
};

struct LineDash {
    QList<double> lengths; // alternately on and off, in path units
    double phase = 0;
    bool isEmpty() const { return lengths.isEmpty(); }
    bool operator==(const LineDash&) const = default;
};

class BezierPath {
public:
    BezierPath() = default;
    explicit BezierPath(const QPainterPath& path);

    // Same geometry and stroke state.
    bool operator==(const BezierPath& other) const;

    // Building. Points with NaN or infinite coordinates are ignored, and so is a line to
    // the current point.
    void moveToPoint(QPointF p);
    void lineToPoint(QPointF p);
    void curveToPointControlPoint1ControlPoint2(QPointF end, QPointF control1, QPointF control2);
    void closePath();
    void removeAllPoints();
    void appendBezierPath(const BezierPath& other);
    void appendBezierPathWithRect(const QRectF& rect);
    void appendBezierPathWithOvalInRect(const QRectF& rect);
    void appendBezierPathWithPoints(const QPolygonF& points); // an open polyline
    // Angles in degrees, measured from +x towards +y; clockwise means decreasing angle.
    // Joins the current subpath with a line, or starts one at the arc's start.
    void appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise(QPointF centre, double radius,
                                                                            double startAngle, double endAngle,
                                                                            bool clockwise);
    void transformUsingAffineTransform(const QTransform& transform);

    // Elements as drawing code counts them: a curve is one element with three points.
    int elementCount() const;
    PathElement elementAtIndexAssociatedPoints(int index, QPointF points[3]) const;
    bool isEmpty() const { return m_path.elementCount() == 0; } // a lone move is an element
    QPointF currentPoint() const { return m_path.currentPosition(); }
    bool isClosed() const; // the last subpath ends where it began
    const QPainterPath& painterPath() const { return m_path; }
    QPainterPath painterPathWithWindingRule() const;

    QRectF bounds() const;             // of the curves themselves
    QRectF controlPointBounds() const; // of every point, control points included
    bool containsPoint(QPointF p) const;

    // Stroke state. Defaults: width 1, butt caps, miter joins, miter limit 10, no dash,
    // non-zero winding.
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width);
    LineCapStyle lineCapStyle() const { return m_lineCapStyle; }
    void setLineCapStyle(LineCapStyle style) { m_lineCapStyle = style; }
    LineJoinStyle lineJoinStyle() const { return m_lineJoinStyle; }
    void setLineJoinStyle(LineJoinStyle style) { m_lineJoinStyle = style; }
    double miterLimit() const { return m_miterLimit; } // miter length over line width
    void setMiterLimit(double limit);
    const LineDash& lineDash() const { return m_lineDash; }
    void setLineDash(const LineDash& dash);
    WindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(WindingRule rule) { m_windingRule = rule; }
    // A pen drawing this path's stroke state in `colour`; a dash that would repeat more than
    // 100,000 times along the path draws solid.
    QPen penWithColour(const QColor& colour) const;

    // Measuring. Lengths run through the subpaths in order.
    double length() const;
    // The point at `length` (clamped to the path) and the direction of travel there in
    // radians; (0, 0) and 0 for an empty path.
    QPointF pointOnPathAtLengthSlope(double length, double* slope = nullptr) const;
    // The length at the point of the path nearest to `p`, or -1 when the path passes
    // farther than `tolerance` from it.
    double lengthForPointTolerance(QPointF p, double tolerance) const;
    double lengthForPoint(QPointF p) const; // tolerance kDefaultHitTolerance
    static constexpr double kDefaultHitTolerance = 4.0;
    // The part of the path between `location` and `location + length` (a negative length
    // runs backwards), clamped to the path; curves stay curves. Keeps the stroke state.
    BezierPath bezierPathWithRange(double location, double length) const;

    // Derived paths; all keep the stroke state.
    BezierPath bezierPathByFlatteningPath() const;
    BezierPath bezierPathByReversingPath() const;
    // A smooth curve through the path's on-curve points; 0 keeps the polyline, 1 is a
    // Catmull-Rom curve.
    BezierPath bezierPathByInterpolatingPath(double smoothing) const;
    // The outline of this path stroked at `width` with its caps, joins, miter limit and dash,
    // as a non-zero filled path; empty for a width that is not positive.
    BezierPath strokedPathWithStrokeWidth(double width) const;
    BezierPath bufferedPathWithBufferDistance(double distance) const; // round caps and joins
    BezierPath bufferedPathWithBufferDistanceLineCapStyleLineJoinStyle(double distance, LineCapStyle cap,
                                                                        LineJoinStyle join) const;

    // The enclosed area (never negative) and its centroid under the winding rule. A path
    // that encloses nothing has area 0 and, as centroid, the centroid of its lines (its
    // first point when it has no length).
    double area() const;
    QPointF centroid() const;

    // Drawing into GraphicsContext::current(); nothing happens without a current context.
    void fill() const;
    void stroke() const;
    void addClip() const;

    // Shapes.
    static BezierPath bezierPathWithRect(const QRectF& rect);
    static BezierPath bezierPathWithOvalInRect(const QRectF& rect);
    // Rounds the corners named by `cornerOptions` (RoundedCorner bits) with quarter circles;
    // the radius is limited to half the shorter side.
    static BezierPath bezierPathWithRoundedRectCornerRadiusCornerOptions(const QRectF& rect, double radius,
                                                                         int cornerOptions);
    // A box whose left and right ends are half circles of radius height / 2.
    static BezierPath bezierPathWithCappedBoxInRect(const QRectF& rect);
    // A ring of radius `radius` and width `width` about the origin whose outer edge opens
    // into a square-ended tab along +x; even-odd winding.
    static BezierPath bezierPathWithIrisRingWithRadiusWidthTabSize(double radius, double width, QSizeF tabSize);
    static BezierPath bezierPathWithIrisTabWithRadiusWidthTabSize(double radius, double width, QSizeF tabSize);
    // A circle of half the rectangle's size at its centre and the two centre lines across it.
    static BezierPath bezierPathWithTargetInRect(const QRectF& rect);
    // A capsule whose short sides are half circles; an oval in a square.
    static BezierPath bezierPathWithRoundEndedRectInRect(const QRectF& rect);

private:
    const PathMeasure& measure() const;
    const std::vector<int>& elementStarts() const;
    void geometryChanged();
    BezierPath withPath(const QPainterPath& path) const;

    QPainterPath m_path;
    double m_lineWidth = 1.0;
    LineCapStyle m_lineCapStyle = LineCapStyle::Butt;
    LineJoinStyle m_lineJoinStyle = LineJoinStyle::Miter;
    double m_miterLimit = 10.0;
    LineDash m_lineDash;
    WindingRule m_windingRule = WindingRule::NonZero;

    mutable std::shared_ptr<const PathMeasure> m_measure;
    mutable std::shared_ptr<const std::vector<int>> m_elementStarts; // QPainterPath index of each element
};

} // namespace platform

Q_DECLARE_METATYPE(platform::BezierPath)
