#pragma once

// The selection tool. A click selects the object under the pointer (Shift toggles it in or
// out of the selection); a press on empty paper drags a marquee that selects every object it
// meets (added to the selection with Shift); dragging a selected object moves the selection
// as one undo step "Move" (its bounds snap to guides); dragging a knob of a selected object
// resizes it as one step "Resize" (corner knobs keep the proportions with Shift or a locked
// aspect ratio). A turned object resizes along its own axes, the knob opposite the dragged
// one staying where it is. Dragging the rotation knob turns the object about its centre as
// one step "Rotate" (in 15 degree steps with Shift). Dragging one of a selected object's own
// parts (a path's style boundary, say) is the object's gesture, named by the object. Presses
// on an object's label parts go to the object whether or not it is selected (the object is
// selected first, added to the selection with Shift), and a double click on one is the
// object's to handle. A double click on a text shape or text path edits its string in place.

#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/tools/VXDrawingTool.h"
#include "platform/vantrix/view/VXKnob.h"

#include <QList>
#include <QPointer>
#include <optional>

class VXDrawableObject;
class VXObjectDrawingLayer;
class VXStyle;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

class VXSelectAndEditTool : public VXDrawingTool {
    Q_OBJECT

public:
    VXSelectAndEditTool();
    ~VXSelectAndEditTool() override;

    // How tools draw a marquee or other rubber-band feedback: a thin grey outline over a pale
    // blue tint. One style, shared.
    static std::shared_ptr<VXStyle> defaultMarqueeStyle();

    // Whether a move drags the selections of every layer, not the active layer's alone (the
    // preference; moves keep to the active layer in this version).
    static bool moveOperatesOnAllLayers();

    bool isSelectionTool() const override { return true; }
    int supportedLibraryItemKind() const override { return kAnyLibraryItemKind; }
    QString actionName() const override;

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    // Edits made so far stay (inside the gesture's undo step); the marquee goes.
    void abandonGesture() override;
    // The marquee, and the rotation knobs of the active layer's selection.
    void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const override;

private:
    enum class Operation { None, Move, Resize, Rotate, ObjectPart, Marquee };

    // The selected object whose knob is under the point, with that knob's part code
    // (a bounds knob or kVXRotationKnobPart).
    std::pair<VXDrawableObjectPtr, int> knobHit(const VXObjectDrawingLayer& layer, QPointF point) const;
    void selectObjectWithModifiers(VXObjectDrawingLayer& layer, VXDrawableObject* target, bool toggle);
    void moveSelectionTo(QPointF point);
    // Corner knobs keep the proportions with Shift, or when the object's aspect ratio is locked.
    void resizeTo(QPointF point, bool constrain);
    void rotateTo(QPointF point, bool constrain);
    void marqueeTo(QPointF point);
    void setMarquee(const QRectF& marquee);

    Operation m_operation = Operation::None;
    Operation m_lastChange = Operation::None;
    QPointer<VXObjectDrawingLayer> m_layer;
    QPointer<VXDrawingView> m_view;
    QPointF m_anchor;
    // Whether the pointer has moved since the press: a release without it is a click, not a drag
    bool m_dragged = false;
    bool m_changed = false;
    // Moving: what moves (the selection at the press), its logical bounds, and how far it has gone
    std::optional<VXObjectOwnerLayer::Translation> m_moving;
    QRectF m_startBounds;
    QPointF m_movedBy;
    std::optional<platform::ObjectStorage::ReindexDeferral> m_reindexDeferral;
    // An object's own part being dragged, and the name of the change it made
    int m_part = 0; // kVXDrawingNoPart
    QString m_partActionName;
    // Resizing, rotating and part dragging: the object, its knob box when the gesture began, the knob
    VXDrawableObjectPtr m_edited;
    platform::KnobBox m_startBox;
    QRectF m_currentBox; // in the start box's frame
    VXBoundsKnob m_knob = kVXNoBoundsKnob;
    double m_rotatedBy = 0;
    // Marquee
    QRectF m_marquee;
    QList<VXDrawableObjectPtr> m_selectionBeforeMarquee;
    // The double-clicked object: its text is edited in place once the gesture ends, or it gets the double click
    VXDrawableObjectPtr m_textToEdit;
    // A double click on a label part, handed to the object once the gesture ends
    bool m_labelDoubleClicked = false;
    QPointF m_doubleClickPoint;
};
