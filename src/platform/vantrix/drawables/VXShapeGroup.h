#pragma once

// Objects treated as one. Members keep their geometry in the group's own frame, centred on
// the origin; the group places that frame with a location, a size and an angle, and hands
// the placement to its members as their container transform, so moving, scaling or turning
// the group touches no member. Ungrouping applies the placement to the members for good.

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/DrawableContainer.h"

class VXShapeGroup;
using VXShapeGroupPtr = std::shared_ptr<VXShapeGroup>;

class VXShapeGroup : public VXDrawableObject, public platform::DrawableContainer {
    Q_OBJECT
    Q_PROPERTY(QPointF location READ location WRITE setLocation)
    Q_PROPERTY(QSizeF size READ size WRITE setSize)
    Q_PROPERTY(double angle READ angle WRITE setAngle)
    Q_PROPERTY(bool isGroupObject READ isGroupObject STORED false)
    Q_CLASSINFO("displayName", "Group")

public:
    VXShapeGroup();
    ~VXShapeGroup() override;

    // A group of the objects, which must be free (in no container); they keep their place
    // on the page. Null for fewer than one object.
    static VXShapeGroupPtr groupWithObjects(const QList<VXDrawableObjectPtr>& objects);

    const QList<VXDrawableObjectPtr>& groupObjects() const { return m_objects; }
    bool isGroupObject() const { return true; }
    // The members' bounds on the page.
    QRectF groupBoundingRect() const { return logicalBounds(); }
    // Dissolves the group: the members, placed where they appear, free to be added elsewhere.
    QList<VXDrawableObjectPtr> ungroupObjects();

    QPointF location() const override
    {
        fitFrameToMembers();
        return m_location;
    }
    void setLocation(QPointF location) override;
    QSizeF size() const override
    {
        fitFrameToMembers();
        return m_size;
    }
    void setSize(QSizeF size) override;
    double angle() const override { return m_angle; }
    void setAngle(double radians) override;
    void resizeWidthByHeightBy(double xFactor, double yFactor) override;
    void rotateByAngle(double radians) override { setAngle(m_angle + radians); }
    void applyTransform(const QTransform& transform) override;
    void containerTransformDidChange() override;

    QRectF bounds() const override;
    QRectF logicalBounds() const override;
    // The members' outlines together.
    platform::BezierPath renderingPath() const override;
    void drawContent() const override;
    void prepareToDraw() const override;
    void drawTextLabelsInView(VXDrawingView* view) const override;
    int hitPart(QPointF point) const override;
    bool intersectsRect(const QRectF& rect) const override;

    // An empty group may; otherwise when every member may.
    bool canBeConvertedToSymbol() const override;

    QList<VXStylePtr> allStyles() const override;
    bool usesStyle(const VXStyle& style) const override;
    void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) override;
    void adoptStylesFrom(const VXDrawableObject& original) override;
    void objectWasAddedToLayer(VXObjectOwnerLayer* layer) override;

    // --- Container -----------------------------------------------------------------------
    VXObjectOwnerLayer* layer() const override { return VXDrawableObject::layer(); }
    VXDrawing* drawing() const override { return VXDrawableObject::drawing(); }
    ZQUndoManager* undoManager() const override { return VXDrawableObject::undoManager(); }
    // Members' frame -> the group's container -> the drawing.
    QTransform renderingTransform() const override;
    void objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds) override;
    void setNeedsDisplayInRect(const QRectF& rect) override { VXDrawableObject::setNeedsDisplayInRect(rect); }
    QVariant metadataObjectForKey(const QString& key) const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void invalidateGeometryCaches() override;

private:
    void adoptMembers(const QList<VXDrawableObjectPtr>& objects);
    // Members' frame -> the group's container.
    QTransform framePlacement() const;
    // After a member changed inside the group, so size and location describe the members again;
    // the page placement of the members does not change.
    void fitFrameToMembers() const;

    QList<VXDrawableObjectPtr> m_objects;
    // The frame, refitted lazily: a refit describes the same placement.
    mutable QPointF m_location;
    mutable QSizeF m_size{1, 1};
    mutable QSizeF m_originalSize{1, 1}; // the frame's size in the members' own units: the placement scales from it
    mutable QPointF m_frameCentre;       // the frame's centre among the members, which the location places
    mutable bool m_frameNeedsFitting = false;
    double m_angle = 0;
    mutable std::optional<QRectF> m_logicalBounds;
};
