#pragma once

// Knobs: the small handles drawn on selected objects and hit by the pointer. A knob keeps
// one size on screen whatever the zoom, so its size in drawing units comes from the scale
// of the current view (or the painter while drawing).
//
// Every object layer shares the knobs of its class (VXKnob::knobs); subclasses of VXKnob
// may change the look by overriding knobPath.

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QVariant>

class VXDrawableObject;

enum VXKnobType {
    kVXBaselineKnobType = 2,      // a diamond
    kVXBoundingRectKnobType = 3,  // a filled square: resizing
    kVXRotationKnobType = 4,      // a filled circle
    kVXCentreTargetKnobType = 5,  // a circle with a cross: an object's location
    kVXHotspotKnobType = 6,       // hit rectangles of label knobs; drawn as an outlined square
    kVXRangeStartKnobType = 1024, // a triangle pointing along the angle
    kVXRangeEndKnobType = 1025,   // a triangle pointing back
};

// The eight bounds knobs of a selected object, as part codes of resizing.
enum VXBoundsKnob {
    kVXNoBoundsKnob = 0,
    kVXTopLeftKnob,
    kVXTopKnob,
    kVXTopRightKnob,
    kVXRightKnob,
    kVXBottomRightKnob,
    kVXBottomKnob,
    kVXBottomLeftKnob,
    kVXLeftKnob,
};

class VXKnob {
public:
    virtual ~VXKnob() = default;

    // The knobs object layers use.
    static VXKnob& knobs();

    // Width and height on screen, in pixels (default 6 x 6).
    static QSizeF controlKnobSize();
    // Non-positive or non-finite sizes are ignored.
    static void setControlKnobSize(QSizeF size);

    // Draws into GraphicsContext::current(). `userInfo` may hold a QColor that replaces the
    // default highlight colour.
    void drawKnobAtPointOfTypeAngleUserInfo(QPointF point, int type, double angle, const QVariant& userInfo) const;
    void drawKnobAtPointOfTypeAngleHighlightColour(QPointF point, int type, double angle, const QColor& colour) const;
    // Whether `point` lies in the knob of that type centred on `knobPoint` (drawing coordinates).
    bool hitTestPointInKnobAtPointOfTypeUserInfo(QPointF point, QPointF knobPoint, int type,
                                                 const QVariant& userInfo) const;
    // The knob's square hit area in drawing coordinates at the current view's scale.
    QRectF controlKnobRectAtPoint(QPointF point, int type) const;

    // --- Bounds knobs ---------------------------------------------------------------------
    // The point of a bounds knob on a rectangle.
    static QPointF pointOfBoundsKnob(const QRectF& bounds, VXBoundsKnob knob);
    // Draws the eight resize knobs on the object's logical bounds.
    void drawBoundsKnobsOfObject(const VXDrawableObject& object, const QColor& colour) const;
    // The bounds knob of the object under `point`, or kVXNoBoundsKnob.
    VXBoundsKnob boundsKnobHitByPoint(const VXDrawableObject& object, QPointF point) const;
    // The knob across the rectangle (top left for bottom right, left for right).
    static VXBoundsKnob oppositeBoundsKnob(VXBoundsKnob knob);
    // `bounds` with `knob` dragged to `point`: the opposite side or corner stays.
    static QRectF boundsByDraggingKnobToPoint(const QRectF& bounds, VXBoundsKnob knob, QPointF point);

protected:
    // The knob's outline about the origin, one unit wide, pointing along +x.
    virtual QPainterPath knobPath(int type) const;

private:
    // Drawing units per screen pixel now.
    static double drawingUnitsPerPixel();
};
