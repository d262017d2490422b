#pragma once

// A shape that carries block labels: area names in a region, a lake's name in the lake. The
// application makes it wherever the drawing framework would make a plain shape.
//
// Labels sit round the shape's centre (its unit box's centre, where the shape is): a new one
// on the shape's visual centre (placement 10), sized to the shape unless the shape's style
// holds a text adornment to copy. Dragging a label's body picks the compass placement of the
// direction it is dragged in, at the shape's offset radius; near the visual centre it goes
// back there, close to the centre point onto it; with Shift it goes free. Dragging its knob
// turns it. A label gesture is one undo step named by the setter it used.
//
// While the shape is locked its labels cannot be added, pasted, deleted or hidden, and its
// label items stay out of its menu. Hidden labels are neither drawn nor hit but still count
// in the bounds. The shape's name is also kept in its attributes under "name", which new
// labels show ("%%name"). Only block labels belong on a shape: others are neither pasted
// nor read back from an archive.
//
// Archive keys, after the plain shape's: "VXQLabelledShape_labels" (array) and
// "VXQLabelledShape_labelsHidden" (bool).

#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/labels/DrawableTextLabelContainer.h"
#include "symbols/labels/VXQTextBlockLabel.h"

namespace platform {
class Menu;
class MenuItem;
} // namespace platform

class VXQLabelledShape : public VXDrawableShape, public DrawableTextLabelContainer {
    Q_OBJECT
    Q_CLASSINFO("displayName", "Shape")
    Q_CLASSINFO("forwardsCommandsToParts", "labels")

public:
    VXQLabelledShape();
    ~VXQLabelledShape() override;

    QString name() const override;
    void setName(const QString& name) override;

    // --- VXQTextLabelContainer ------------------------------------------------------------
    // Declared by both bases: the layer's label pass and the label protocol draw the same.
    void drawTextLabelsInView(VXDrawingView* view) const override { DrawableTextLabelContainer::drawTextLabelsInView(view); }
    // Asked by the track that carries the object.
    Q_INVOKABLE bool hasTextLabels() const { return !textLabels().isEmpty(); }
    bool locked() const override { return VXDrawableObject::locked(); }
    void setLocked(bool locked) override { VXDrawableObject::setLocked(locked); }
    QVariant metadataObjectForKey(const QString& key) const override;
    QRectF boundsIgnoringLabels() const override { return VXDrawableShape::bounds(); }

    // Placement of block labels: all from the shape's centre, mapped into the drawing.
    std::optional<QPointF> referencePointForLabel(const VXQTextLabel& label) const override;
    // North and south: half the height + 4; west and east: half the width + 4; others: half
    // the diagonal + 1.
    double labelOffsetRadiusForLabel(const VXQTextLabel& label) const override;
    std::optional<QSizeF> centroidOffset() const override;

    // A body dragged near the visual centre goes onto it, near the centre point onto that,
    // otherwise to the compass placement of its direction.
    int placementForLabelDraggedToPoint(const VXQTextLabel& label, QPointF point) const override;
    // The copy of the last text adornment of the shape's style, which new labels take; null when none.
    VXTextAdornmentPtr templateAdornmentForNewLabels() const override;

    // --- Drawable overrides -----------------------------------------------------------------
    // The shape's bounds with its labels'. Its logical bounds, which knobs, resizing and
    // snapping go by, stay the shape's own.
    QRectF bounds() const override;
    // Label parts first: kVXQTextLabelPartBase + the local code.
    int hitPart(QPointF point) const override;
    void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    QString mouseUpAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    // Edits the label's text in place, unless the shape is locked.
    void mouseDoubleClickedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void drawContent() const override;
    // Also the selected labels' highlights and, with labels, the visual centre's marker.
    void drawSelectedState() const override;
    // Shows the labels too.
    QImage swatchImageWithSize(QSizeF size) const override;
    bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point) override;
    void objectDidBecomeSelected() override;
    void objectIsNoLongerSelected() override;
    // A shape made from a labelled object (a conversion) carries copies of its block labels.
    void willBeAddedAsSubstituteForToLayer(const VXDrawableObject& original, VXObjectOwnerLayer* layer) override;
    // The selected labels when there are any.
    QList<ZQObjectPtr> subSelection() const override;
    // Actions the shape lacks go to its selected labels.
    QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const override;
    // The shape's own text, then its labels': Find finds a shape by what its labels say.
    QString searchableString() const override { return searchableStringWithLabels(VXDrawableShape::searchableString()); }
    QStringList searchableStrings() const { return searchableStringsWithLabels(VXDrawableShape::searchableString()); }

    // --- Commands ---------------------------------------------------------------------------
    Q_INVOKABLE void newTextLabel(QObject* sender = nullptr);
    Q_INVOKABLE void pasteLabel(QObject* sender = nullptr);
    Q_INVOKABLE void deleteLabels(QObject* sender = nullptr);
    // Named after the sender's title ("Hide Labels", "Show Labels").
    Q_INVOKABLE void toggleLabelsVisible(QObject* sender = nullptr);
    Q_INVOKABLE void selectAllLabels(QObject* sender = nullptr);
    Q_INVOKABLE void deselectAllLabels(QObject* sender = nullptr);
    // Selects the shape and shows the object inspector on its Attributes tab.
    Q_INVOKABLE void openAttributes(QObject* sender = nullptr);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void metadataDidChangeForKey(const QString& key) override;
    bool labelEditsRespectLock() const override { return true; }

private:
    void drawCentroidMarker() const;
    VXDrawingView* drawingView() const;

    mutable bool m_isDrawingSwatch = false;
};

using VXQLabelledShapePtr = std::shared_ptr<VXQLabelledShape>;
