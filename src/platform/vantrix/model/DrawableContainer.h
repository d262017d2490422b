#pragma once

// What a drawable's container (an object layer, a group, later a symbol master) does for
// its members: it places them in a layer and drawing, lends them an undo manager and a
// transform, answers attribute look-ups they cannot, and hears about their geometry.

#include <QRectF>
#include <QTransform>
#include <QVariant>

class VXDrawableObject;
class VXDrawing;
class VXObjectOwnerLayer;
class ZQUndoManager;

namespace platform {

class DrawableContainer {
public:
    virtual ~DrawableContainer() = default;

    virtual VXObjectOwnerLayer* layer() const = 0;
    virtual VXDrawing* drawing() const = 0;
    virtual ZQUndoManager* undoManager() const = 0;
    // Maps the members' coordinates to the drawing; identity for a layer.
    virtual QTransform renderingTransform() const = 0;
    // A member's bounds changed from `oldBounds` to its current bounds; `oldBounds` is null
    // while the container redraws for its members.
    virtual void objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds) = 0;
    // While true, members that change shape leave the redrawing to the container, which moves
    // many of them at once and knows the area they cover without measuring each.
    virtual bool redrawsForMembers() const { return false; }
    // Drawing coordinates.
    virtual void setNeedsDisplayInRect(const QRectF& rect) = 0;
    // An attribute a member lacks; invalid when the container has none either.
    virtual QVariant metadataObjectForKey(const QString& key) const = 0;
};

// Whether two rectangles overlap, edges included, so the zero-width bounds of a
// horizontal or vertical line still meet what touches them. Rectangles with NaN meet nothing.
inline bool rectsMeet(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace platform
