#pragma once

// Knobs: the small handles drawn on selected objects and hit by the pointer. A knob keeps
// one size on screen whatever the zoom, so its size in drawing units comes from the scale
// of the current view (or the painter while drawing).
//
// Every object layer shares the knobs of its class (VXKnob::knobs); subclasses of VXKnob
// may change the look by overriding knobPath.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <QVariant>
#include <memory>

class QPainter;

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

// The part code of the rotation knob that sits above a selected object's top edge.
inline constexpr int kVXRotationKnobPart = 9;

namespace platform {

// The box an object's knobs sit on: the bounds of its outline measured along the object's
// own axes, that is in a frame turned by its angle. For an object without an angle it is
// the logical bounds. A gesture keeps the frame it started with while the object changes.
struct KnobBox {
    QRectF box;       // in the turned frame
    double angle = 0; // radians, clockwise on screen

    static KnobBox ofObject(const VXDrawableObject& object);

    QTransform frameToDrawing() const { return QTransform().rotateRadians(angle); }
    // An unturned frame is the drawing's own: no transform is made for it.
    QPointF toFrame(QPointF drawingPoint) const
    {
        return angle == 0 ? drawingPoint : frameToDrawing().inverted().map(drawingPoint);
    }
    QPointF toDrawing(QPointF framePoint) const { return angle == 0 ? framePoint : frameToDrawing().map(framePoint); }
    // Where a bounds knob is, in drawing coordinates.
    QPointF pointOfKnob(VXBoundsKnob knob) const;
    QPointF centre() const { return toDrawing(box.center()); }
};

} // namespace platform

class VXKnob {
public:
    VXKnob();
    virtual ~VXKnob();

    // The knobs object layers use.
    static VXKnob& knobs();

    // Width and height on screen, in pixels (default 6 x 6).
    static QSizeF controlKnobSize();

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
    // Draws the eight resize knobs on the object's knob box.
    void drawBoundsKnobsOfObject(const VXDrawableObject& object, const QColor& colour) const;
    void drawBoundsKnobsOnBox(const platform::KnobBox& box, const QColor& colour) const;
    void drawRotationKnobOfObject(const VXDrawableObject& object, const QColor& colour) const;
    void drawRotationKnobOnBox(const platform::KnobBox& box, const QColor& colour) const;
    // Whether bounds knobs in `colour` on `box`, drawn with `painter`, hide the outline of the
    // object in the box: the outline of an unturned object on at most three device pixels each
    // way touches no pixel that the opaque middles of its corner knobs leave uncovered, so it
    // need not be drawn.
    bool boundsKnobsHideOutlineInBox(const QPainter& painter, const platform::KnobBox& box,
                                     const QColor& colour) const;
    // The bounds knob of the object under `point`, or kVXNoBoundsKnob.
    VXBoundsKnob boundsKnobHitByPoint(const VXDrawableObject& object, QPointF point) const;
    // The rotation knob: a fixed distance on screen above the middle of the box's top edge.
    QPointF rotationKnobPoint(const platform::KnobBox& box) const;
    bool rotationKnobIsHitByPoint(const VXDrawableObject& object, QPointF point) const;
    // The knob across the rectangle (top left for bottom right, left for right).
    static VXBoundsKnob oppositeBoundsKnob(VXBoundsKnob knob);
    // `bounds` with `knob` dragged to `point`: the opposite side or corner stays. Knob boxes
    // of turned objects are dragged with the point in their frame.
    static QRectF boundsByDraggingKnobToPoint(const QRectF& bounds, VXBoundsKnob knob, QPointF point);

    // How far past an object's knob box its knobs reach on screen, in pixels.
    static double knobReachInPixels();
    // The area the knobs of an object with those bounds may cover at any angle, before the
    // reach on screen: a turned knob box reaches past the bounds.
    static QRectF knobAreaForBounds(const QRectF& bounds);
    // Whether any knob of an object with those bounds, turned or not, may show in `rect` when
    // the view draws at `scale`.
    static bool knobsMayMeetRect(const QRectF& bounds, const QRectF& rect, double scale);

protected:
    // The knob's outline about the origin, one unit wide, pointing along +x.
    virtual QPainterPath knobPath(int type) const;

private:
    // Drawing units per screen pixel now.
    static double drawingUnitsPerPixel();
    // Knob points as an unturned world maps them: a box's eight knobs lie on three columns and
    // three rows, each mapped and rounded once.
    struct MappedKnobs;
    // Unturned knobs on an unturned painter are stamped from images made once per look:
    // thousands of selected objects are drawn without filling a path for each knob. One image
    // serves all the knobs. The knobs of an unturned box on at most three device pixels each
    // way go to the current KnobStampBatch, which leaves out those that later ones hide.
    void stampMappedKnobs(QPainter& painter, const MappedKnobs& knobs, int type, const QColor& colour,
                          bool ofSmallBox) const;
    void stampKnobAtPoint(QPainter& painter, QPointF point, qreal ratio, int type, const QColor& colour,
                          bool ofSmallBox) const;
    // A knob image and the offset of its middle, in the painter's pixels.
    struct Stamp {
        QImage image;
        QPointF middle;
    };
    // Valid until the next call on this thread: a paint asks for one per selected object.
    const Stamp& knobStamp(int type, const QColor& colour, qreal ratio, bool antialiased) const;

    struct ImageCache;
    struct ImageLook;
    // The image of a look from the cache all threads share, made there the first time.
    QImage sharedKnobImage(const ImageLook& look, const QColor& colour) const;
    std::unique_ptr<ImageCache> m_images;
};
